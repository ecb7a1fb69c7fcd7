#include "PropOptions.h"

#include "KxDTransformList.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "ToolFrame.h"
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

void OptionArguments::reportAbandoned(const char *nextOption) const {
    if (hasEnough()) return;
    toolOptionCutShort(option, count, nextOption);
}

void reportBadNumber(const char *option, const char *word) {
    toolDiagnostic(option, "'%s' %s; the option is ignored", word, describeNumberWord(word).c_str());
}

void reportFlatteningScale(const char *option, const char *word, const char *subject) {
    toolDiagnostic(option, "'%s' is a scale factor of 0, which would flatten the %s; the option is ignored", word,
                   subject);
}

KxDClipRegion3D clipBoxOf(const OptionArguments &arguments) {
    float x1 = arguments.getFloat(0), y1 = arguments.getFloat(1), z1 = arguments.getFloat(2);
    float x2 = arguments.getFloat(3), y2 = arguments.getFloat(4), z2 = arguments.getFloat(5);
    return KxDClipRegion3D(x1, x2, y1, y2, z1, z2);
}

float degreesToRadians(float degrees) { return degrees / 180.0f * 3.14159265358979323846f; }

void readCategory(const char *word, int *category) {
    int value = resOptionValue(word);
    if (value < 0 || value > 9) {
        toolMessage("Warning : invalid category number (%s)\n", word);
        return;
    }
    *category = value;
}

const char *textureNameOf(const char *word) { return std::strcmp(word, "null") == 0 ? KxRlNoBitmap : word; }

bool textureNameFits(const char *word) { return std::strlen(textureNameOf(word)) < KXRL_MESH_NAME_FIELD; }

void reportNameTooLong(const char *option, const char *name) {
    toolDiagnostic(option, "'%s' has %u characters; a name field holds at most %u", name,
                   static_cast<unsigned>(std::strlen(name)), static_cast<unsigned>(KXRL_MESH_NAME_FIELD - 1));
}

bool acceptNewTextureName(const char *option, const char *word, bool nullSwitchesOff) {
    if (nullSwitchesOff ? textureNameFits(word) : std::strlen(word) < KXRL_MESH_NAME_FIELD) return true;
    toolError("Error with %s option : new texture name (%s) exceeds 31 characters\n", option, word);
    reportNameTooLong(option, word);
    return false;
}

void applyTransformOption(KxDTransformList *list, TransformKind kind, int axis, const OptionArguments &arguments,
                          const char *subject) {
    const char *option = arguments.getOption();
    const char *bad = "";
    bool numbers = arguments.allFloats(&bad);
    // A scaling by 0 flattens the prop to nothing; it is refused like a word that is no number.
    bool flattens = numbers && kind == TRANSFORM_SCALE && arguments.getFloat(0) == 0.0f;
    if (!numbers || flattens) {
        if (flattens) bad = arguments.getWord(0);
        if (kind == TRANSFORM_CENTRE)
            toolError("Error with %s option : Invalid number: %s will not be centered\n", option, subject);
        else
            toolError("Error with %s option : Invalid number (%s): %s will not be %s\n", option, bad, subject,
                      kind == TRANSFORM_SCALE ? "scaled" : "rotated");
        if (flattens)
            reportFlatteningScale(option, bad, subject);
        else
            reportBadNumber(option, bad);
        return;
    }
    float value = arguments.getFloat(0);
    if (kind == TRANSFORM_CENTRE) {
        list->addTranslation(-value, -arguments.getFloat(1), -arguments.getFloat(2));
    } else if (kind == TRANSFORM_ROTATE) {
        list->addRotation(static_cast<_KxDRotationAxis>(axis), degreesToRadians(value));
    } else if (axis == kUniformScale) {
        list->addScaling(value);
    } else {
        list->addScaling(axis == 0 ? value : 1.0f, axis == 1 ? value : 1.0f, axis == 2 ? value : 1.0f);
    }
}
