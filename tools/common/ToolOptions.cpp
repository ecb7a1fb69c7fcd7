#include "ToolOptions.h"

#include <climits>
#include <cmath>
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
    // Not-a-number, infinity and values beyond the float range (read as infinity) would make
    // geometry the game cannot use: they count as no number.
    if (!std::isfinite(value)) return kFloatNotGiven;
    return value;
}

std::string describeNumberWord(const char *text) {
    float value;
    if (!text || std::sscanf(text, "%f", &value) != 1) return "is not a number";
    if (std::isnan(value)) return "is not a number (it reads as not-a-number)";
    if (std::isinf(value)) return "is beyond the float range (its magnitude is at most 3.4e38)";
    if (value == kFloatNotGiven) return "is not taken as a number (1000000 marks a value not given)";
    return "is a number";
}

void initFloatArray(float *values, int count) {
    for (int i = 0; i < count; i++) values[i] = kFloatNotGiven;
}

bool checkFloatArray(const float *values, int count) {
    for (int i = 0; i < count; i++)
        if (values[i] == kFloatNotGiven) return false;
    return true;
}
