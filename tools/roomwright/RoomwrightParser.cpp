#include "RoomwrightParser.h"

#include "KxRlIniFile.h"
#include "RoomData.h"
#include "ToolFrame.h"
#include "ToolOptions.h"
#include "ToolOutput.h"

#include <cstdio>
#include <cstring>

// An option of the command line: its word, its code, and how many values it takes.
struct RoomwrightParser::Option {
    const char *name;
    int code;
    int values;
};

namespace {

enum OptionCode {
    NEWDATA = 1, WORKDATA = 2, PROPNAME = 3, CATEGORY = 4, CENTRE = 5,
    SCALE = 6, SCALE_X = 7, SCALE_Y = 8, SCALE_Z = 9, ROTATE_X = 10, ROTATE_Y = 11, ROTATE_Z = 12,
    FIRST_TEXTURE = 101, LIGHTMAP_TEXTURE = 110, LIGHTMAP_AREA = 201
};

const RoomwrightParser::Option kOptions[] = {
    {"-newdata", NEWDATA, 1},   {"-workdata", WORKDATA, 1}, {"-propname", PROPNAME, 1}, {"-cat", CATEGORY, 1},
    {"-c", CENTRE, 3},          {"-s", SCALE, 1},           {"-sx", SCALE_X, 1},        {"-sy", SCALE_Y, 1},
    {"-sz", SCALE_Z, 1},        {"-rx", ROTATE_X, 1},       {"-ry", ROTATE_Y, 1},       {"-rz", ROTATE_Z, 1},
    {"-wt0", 101, 1},           {"-wt1", 102, 1},           {"-wt3", 103, 1},           {"-ft0", 104, 1},
    {"-ft1", 105, 1},           {"-ft3", 106, 1},           {"-ct0", 107, 1},           {"-ct1", 108, 1},
    {"-ct3", 109, 1},           {"-t2", LIGHTMAP_TEXTURE, 1}, {"-lm", LIGHTMAP_AREA, 4},
};

// The room INI keys the texture options set, by code - 101: the same keys as in the file's
// [texture] section, and "lightmap" of its [lightmap] section.
const char *const kTextureParams[] = {"wall",    "wallreflective",    "wallspecular",    "floor",    "floorreflective",
                                      "floorspecular", "ceiling", "ceilingreflective", "ceilingspecular", "lightmap"};

const size_t kMaxTextureName = 31;

const RoomwrightParser::Option *findOption(const char *word) {
    for (const RoomwrightParser::Option &option : kOptions)
        if (std::strcmp(word, option.name) == 0) return &option;
    return nullptr;
}

}  // namespace

RoomwrightParser::RoomwrightParser(PropDataClass *data) : propData(data) {}

void RoomwrightParser::takeWord(const char *word) {
    if (const Option *option = findOption(word)) {
        if (pending && !valueRefused)
            toolDiagnostic(pending->name, "the option got %d of its values before %s; it is ignored",
                           arguments.getCount(), word);
        pending = option;
        valueRefused = false;
        arguments.begin(option->name, option->values);
        return;
    }
    if (pending) {
        takeValue(word);
        return;
    }
    propData->addRoomData(word);
    if (!roomSeen && resOutputDir(word)) folderMade = getOutputFolder();
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
    const char *option = pending->name;
    RoomDataClass *room = propData->getLastRoom();
    const int code = pending->code;

    if (code == NEWDATA) {
        if (addNewDataFolder(word)) done();
        else refused();
        return;
    }
    if (code == WORKDATA) {
        lockOutputDir(word);
        done();
        return;
    }
    if (code == PROPNAME) {
        if (std::strlen(word) > PropDataClass::kMaxNameLength) {
            toolError("Error with -propname option : %s : name given is too long!  Do not exceed 27 characters.\n",
                      word);
            toolDiagnostic(word, "%d characters; -propname takes at most %d", static_cast<int>(std::strlen(word)),
                           static_cast<int>(PropDataClass::kMaxNameLength));
            refused();
            return;
        }
        propData->setName(word);
        done();
        return;
    }
    if (code == CATEGORY) {
        int value = resOptionValue(word);
        if (value < 0 || value > 9) {
            toolError("Error with -cat option: %s out of range: must be a number from 0 to 9!\n", word);
            toolDiagnostic(option, "%s is not a category from 0 to 9", word);
            refused();
            return;
        }
        propData->setCategory(value);
        done();
        return;
    }

    // Everything else acts on the last room.
    done();
    if (!room) {
        toolError("Error with %s option: no room INI file has been specified yet!\n", option);
        toolDiagnostic(option, "the option stands before any room INI file; it is ignored");
        return;
    }
    if (code >= FIRST_TEXTURE && code <= LIGHTMAP_TEXTURE) {
        if (std::strlen(word) > kMaxTextureName) {
            toolError("Error with %s option: Filename given (%s) is too long!  Do not exceed 31 characters.\n", option,
                      word);
            toolDiagnostic(option, "%s has %d characters; a texture name holds at most 31", word,
                           static_cast<int>(std::strlen(word)));
            return;
        }
        KxRlIniGroup *section = code == LIGHTMAP_TEXTURE ? room->makeLightmap() : room->makeTexture();
        // A room whose file could not be read has no sections; its loading error is reported.
        if (section) section->setValue(kTextureParams[code - FIRST_TEXTURE], word);
        return;
    }
    const char *bad = nullptr;
    if (!arguments.allFloats(&bad)) {
        if (code == CENTRE) {
            toolError("Error with -c option: Invalid number: room will not be centered\n");
        } else if (code == LIGHTMAP_AREA) {
            toolError("Error with -lm option: invalid number: lightmap coordinates will not be used\n");
        } else {
            toolError(code <= SCALE_Z ? "Error with %s option: Invalid number (%s): room will not be scaled\n"
                                      : "Error with %s option: Invalid number (%s): room will not be rotated\n",
                      option, word);
        }
        toolDiagnostic(option, "%s is not a number; the option is ignored", bad);
        return;
    }
    KxDTransformList *transforms = room->getTransforms();
    float v = arguments.getFloat(0);
    switch (code) {
    case CENTRE:
        transforms->addTranslation(arguments.getFloat(0), arguments.getFloat(1), arguments.getFloat(2));
        break;
    case SCALE: transforms->addScaling(v); break;
    case SCALE_X: transforms->addScaling(v, 1, 1); break;
    case SCALE_Y: transforms->addScaling(1, v, 1); break;
    case SCALE_Z: transforms->addScaling(1, 1, v); break;
    case ROTATE_X: transforms->addRotation(KXD_AXIS_X, roomRadians(v)); break;
    case ROTATE_Y: transforms->addRotation(KXD_AXIS_Y, roomRadians(v)); break;
    case ROTATE_Z: transforms->addRotation(KXD_AXIS_Z, roomRadians(v)); break;
    case LIGHTMAP_AREA:
        if (KxRlIniGroup *section = room->makeLightmap()) {
            float x1 = arguments.getFloat(0), y1 = arguments.getFloat(1);
            section->setValue("xoffset", x1);
            section->setValue("yoffset", y1);
            section->setValue("xsize", arguments.getFloat(2) - x1);
            section->setValue("ysize", arguments.getFloat(3) - y1);
        }
        break;
    }
}
