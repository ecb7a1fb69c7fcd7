#include "PropOptions.h"

#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "ToolOptions.h"

#include <cstdio>
#include <cstring>

void OptionArguments::begin(const char *optionWord, int neededWords) {
    option = optionWord;
    needed = neededWords;
    count = 0;
    initFloatArray(floats, kMaxWords);
}

bool OptionArguments::add(const char *word) {
    if (count < kMaxWords) {
        words[count] = word;
        floats[count] = resFloatValue(word);
    }
    count++;
    return needed != kAnyNumber && count >= needed;
}

int OptionArguments::getInt(int i) const { return resOptionValue(words[i]); }

bool OptionArguments::allFloats(const char **bad) const {
    int checked = needed == kAnyNumber ? count : needed;
    if (checked > kMaxWords) checked = kMaxWords;
    if (checkFloatArray(floats, checked)) return true;
    if (bad) {
        for (int i = 0; i < checked; i++) {
            if (floats[i] != kFloatNotGiven) continue;
            *bad = i < count ? words[i] : "";
            break;
        }
    }
    return false;
}

float degreesToRadians(float degrees) { return degrees / 180.0f * 3.14159265358979323846f; }

void readCategory(const char *word, int *category) {
    int value = resOptionValue(word);
    if (value < 0 || value > 9) {
        std::printf("Warning : invalid category number (%s)\n", word);
        return;
    }
    *category = value;
}

const char *textureNameOf(const char *word) { return std::strcmp(word, "null") == 0 ? KxRlNoBitmap : word; }

bool textureNameFits(const char *word) { return std::strlen(textureNameOf(word)) < KXRL_MESH_NAME_FIELD; }
