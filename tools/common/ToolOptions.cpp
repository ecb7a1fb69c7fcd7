#include "ToolOptions.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

int resOptionValue(const char *text) {
    if (!text) return -1;
    char *end = nullptr;
    long long value = std::strtoll(text, &end, 0);
    if (end == text) return -1;
    // The same result on every platform, whatever the width of long.
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

float resFloatValue(const char *text) {
    float value;
    if (!text || std::sscanf(text, "%f", &value) != 1) return kFloatNotGiven;
    return value;
}

void initFloatArray(float *values, int count) {
    for (int i = 0; i < count; i++) values[i] = kFloatNotGiven;
}

bool checkFloatArray(const float *values, int count) {
    for (int i = 0; i < count; i++)
        if (values[i] == kFloatNotGiven) return false;
    return true;
}
