#include "RoomwrightParser.h"

#include "KxRlIniFile.h"
#include "MadeOutputFolder.h"
#include "RoomData.h"
#include "ToolFrame.h"
#include "ToolOptions.h"
#include "ToolOutput.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// How an option's value is taken.
enum class OptionKind {
    RUN,            // a setting of the whole run (takeRunOption)
    TEXTURE,        // a texture name for a key of the last room's INI text (takeTexture)
    TRANSFORM,      // numbers for a step of the last room's transforms (takeTransform)
    LIGHTMAP_AREA,  // the last room's light-map area (takeLightmapArea)
};

enum class RunSetting { NONE, NEWDATA, WORKDATA, PROPNAME, CATEGORY };

enum class TransformStep { NONE, TRANSLATE, SCALE, SCALE_X, SCALE_Y, SCALE_Z, ROTATE_X, ROTATE_Y, ROTATE_Z };

bool isScaling(TransformStep step) {
    return step == TransformStep::SCALE || step == TransformStep::SCALE_X || step == TransformStep::SCALE_Y ||
           step == TransformStep::SCALE_Z;
}

bool isRotation(TransformStep step) {
    return step == TransformStep::ROTATE_X || step == TransformStep::ROTATE_Y || step == TransformStep::ROTATE_Z;
}

// The section of a room's INI text that a texture option writes into (made when the file has
// none).
typedef KxRlIniGroup *(RoomDataClass::*RoomSection)();

}  // namespace

// An option of the command line: its word, its kind, how many words its value takes, and what
// it sets (the field of its kind).
struct RoomwrightParser::Option {
    const char *name;
    OptionKind kind;
    int values;
    RunSetting run;       // RUN
    RoomSection section;  // TEXTURE: the section and the key it sets
    const char *iniKey;
    TransformStep step;   // TRANSFORM
};

namespace {

using Option = RoomwrightParser::Option;

constexpr Option runOption(const char *name, RunSetting run) {
    return {name, OptionKind::RUN, 1, run, nullptr, nullptr, TransformStep::NONE};
}
// The keys are those of the room file's [texture] section, and "lightmap" of its [lightmap].
constexpr Option textureOption(const char *name, RoomSection section, const char *iniKey) {
    return {name, OptionKind::TEXTURE, 1, RunSetting::NONE, section, iniKey, TransformStep::NONE};
}
constexpr Option transformOption(const char *name, TransformStep step, int values = 1) {
    return {name, OptionKind::TRANSFORM, values, RunSetting::NONE, nullptr, nullptr, step};
}

const RoomSection kTexture = &RoomDataClass::makeTexture;
const RoomSection kLightmap = &RoomDataClass::makeLightmap;

const Option kOptions[] = {
    runOption("-newdata", RunSetting::NEWDATA),
    runOption("-workdata", RunSetting::WORKDATA),
    runOption("-propname", RunSetting::PROPNAME),
    runOption("-cat", RunSetting::CATEGORY),
    transformOption("-c", TransformStep::TRANSLATE, 3),
    transformOption("-s", TransformStep::SCALE),
    transformOption("-sx", TransformStep::SCALE_X),
    transformOption("-sy", TransformStep::SCALE_Y),
    transformOption("-sz", TransformStep::SCALE_Z),
    transformOption("-rx", TransformStep::ROTATE_X),
    transformOption("-ry", TransformStep::ROTATE_Y),
    transformOption("-rz", TransformStep::ROTATE_Z),
    textureOption("-wt0", kTexture, "wall"),
    textureOption("-wt1", kTexture, "wallreflective"),
    textureOption("-wt3", kTexture, "wallspecular"),
    textureOption("-ft0", kTexture, "floor"),
    textureOption("-ft1", kTexture, "floorreflective"),
    textureOption("-ft3", kTexture, "floorspecular"),
    textureOption("-ct0", kTexture, "ceiling"),
    textureOption("-ct1", kTexture, "ceilingreflective"),
    textureOption("-ct3", kTexture, "ceilingspecular"),
    textureOption("-t2", kLightmap, "lightmap"),
    {"-lm", OptionKind::LIGHTMAP_AREA, 4, RunSetting::NONE, nullptr, nullptr, TransformStep::NONE},  // x1 y1 x2 y2
};

const size_t kMaxTextureName = 31;

const Option *findOption(const char *word) {
    for (const Option &option : kOptions)
        if (std::strcmp(word, option.name) == 0) return &option;
    return nullptr;
}

}  // namespace

RoomwrightParser::RoomwrightParser(PropDataClass *data, MadeOutputFolder *folder)
    : propData(data), outputFolder(folder) {}

void RoomwrightParser::takeWord(const char *word) {
    if (const Option *option = findOption(word)) {
        if (pending && !valueRefused) toolOptionCutShort(pending->name, arguments.getCount(), word);
        pending = option;
        valueRefused = false;
        arguments.begin(option->name, option->values);
        return;
    }
    if (pending) {
        takeValue(word);
        return;
    }
    if (word[0] == '-' && word[1] != 0)
        toolDiagnostic(word, "warning: not an option of roomwright; taken as a room INI file name");
    propData->addRoomData(word);
    if (!roomSeen) outputFolder->nameAfterInput(word);
    roomSeen = true;
}

void RoomwrightParser::finish() {
    if (pending && !valueRefused) toolMissingValue(pending->name);
    pending = nullptr;
}

void RoomwrightParser::refused() {
    valueRefused = true;
    arguments.begin(pending->name, pending->values);
}

void RoomwrightParser::takeValue(const char *word) {
    if (!arguments.add(word)) return;  // -c and -lm wait for all their numbers
    if (pending->kind == OptionKind::RUN) {
        takeRunOption(word);
        return;
    }
    // Everything else acts on the last room.
    const Option &option = *pending;
    done();
    RoomDataClass *room = propData->getLastRoom();
    if (!room) {
        toolError("Error with %s option: no room INI file has been specified yet!\n", option.name);
        toolDiagnostic(option.name, "the option stands before any room INI file; it is ignored");
        return;
    }
    switch (option.kind) {
    case OptionKind::TEXTURE: takeTexture(option, room, word); break;
    case OptionKind::TRANSFORM: takeTransform(option, room, word); break;
    case OptionKind::LIGHTMAP_AREA: takeLightmapArea(option, room, word); break;
    case OptionKind::RUN: break;
    }
}

void RoomwrightParser::takeRunOption(const char *word) {
    const Option &option = *pending;
    switch (option.run) {
    case RunSetting::NEWDATA:
        if (addNewDataFolder(word)) done();
        else refused();
        return;
    case RunSetting::WORKDATA:
        lockOutputDir(word);
        done();
        return;
    case RunSetting::PROPNAME: {
        // The name as the prop gets it, "p_" added, is what the game stores.
        const std::string name = PropDataClass::nameOf(word);
        if (name.size() > PropDataClass::kMaxNameLength) {
            toolError("Error with -propname option : %s : name given is too long!  Do not exceed 27 characters.\n",
                      word);
            toolDiagnostic(word, "the prop name %s has %d characters; at most %d fit, \"p_\" included", name.c_str(),
                           static_cast<int>(name.size()), static_cast<int>(PropDataClass::kMaxNameLength));
            refused();
            return;
        }
        propData->setName(word);
        done();
        return;
    }
    case RunSetting::CATEGORY: {
        int value = resOptionValue(word);
        if (value < 0 || value > 9) {
            toolError("Error with -cat option: %s out of range: must be a number from 0 to 9!\n", word);
            toolDiagnostic(option.name, "%s is not a category from 0 to 9", word);
            refused();
            return;
        }
        propData->setCategory(value);
        done();
        return;
    }
    case RunSetting::NONE:
        return;
    }
}

void RoomwrightParser::takeTexture(const Option &option, RoomDataClass *room, const char *word) {
    if (std::strlen(word) > kMaxTextureName) {
        toolError("Error with %s option: Filename given (%s) is too long!  Do not exceed 31 characters.\n", option.name,
                  word);
        toolDiagnostic(option.name, "%s has %d characters; a texture name holds at most 31", word,
                       static_cast<int>(std::strlen(word)));
        return;
    }
    // A room whose file could not be read has no sections; its loading error is reported.
    if (KxRlIniGroup *section = (room->*option.section)()) section->setValue(option.iniKey, word);
}

bool RoomwrightParser::numbersGiven(const Option &option, const char *word) const {
    const char *bad = nullptr;
    bool numbers = arguments.allFloats(&bad);
    // A scaling by 0 flattens the room to nothing: refused like a word that is no number.
    bool flattens = numbers && option.kind == OptionKind::TRANSFORM && isScaling(option.step) &&
                    arguments.getFloat(0) == 0.0f;
    if (numbers && !flattens) return true;
    if (option.kind == OptionKind::LIGHTMAP_AREA)
        toolError("Error with -lm option: invalid number: lightmap coordinates will not be used\n");
    else if (option.step == TransformStep::TRANSLATE)
        toolError("Error with -c option: Invalid number: room will not be centered\n");
    else if (isRotation(option.step))
        toolError("Error with %s option: Invalid number (%s): room will not be rotated\n", option.name, word);
    else
        toolError("Error with %s option: Invalid number (%s): room will not be scaled\n", option.name, word);
    if (flattens)
        reportFlatteningScale(option.name, word, "room");
    else
        reportBadNumber(option.name, bad);
    return false;
}

void RoomwrightParser::takeTransform(const Option &option, RoomDataClass *room, const char *word) {
    if (!numbersGiven(option, word)) return;
    KxDTransformList *transforms = room->getTransforms();
    float v = arguments.getFloat(0);
    switch (option.step) {
    case TransformStep::TRANSLATE:
        transforms->addTranslation(arguments.getFloat(0), arguments.getFloat(1), arguments.getFloat(2));
        break;
    case TransformStep::SCALE: transforms->addScaling(v); break;
    case TransformStep::SCALE_X: transforms->addScaling(v, 1, 1); break;
    case TransformStep::SCALE_Y: transforms->addScaling(1, v, 1); break;
    case TransformStep::SCALE_Z: transforms->addScaling(1, 1, v); break;
    case TransformStep::ROTATE_X: transforms->addRotation(KXD_AXIS_X, roomRadians(v)); break;
    case TransformStep::ROTATE_Y: transforms->addRotation(KXD_AXIS_Y, roomRadians(v)); break;
    case TransformStep::ROTATE_Z: transforms->addRotation(KXD_AXIS_Z, roomRadians(v)); break;
    case TransformStep::NONE: break;
    }
}

void RoomwrightParser::takeLightmapArea(const Option &option, RoomDataClass *room, const char *word) {
    if (!numbersGiven(option, word)) return;
    if (KxRlIniGroup *section = room->makeLightmap()) {
        float x1 = arguments.getFloat(0), y1 = arguments.getFloat(1);
        section->setValue("xoffset", x1);
        section->setValue("yoffset", y1);
        section->setValue("xsize", arguments.getFloat(2) - x1);
        section->setValue("ysize", arguments.getFloat(3) - y1);
    }
}
