#include "RoomData.h"

#include "IOException.h"
#include "KxRlIniFile.h"
#include "ToolOutput.h"

#include <cstring>

float roomRadians(double degrees) { return static_cast<float>(degrees / 180.0 * kRoomPi); }

// ---------------------------------------------------------------------------------------
// RoomDataClass

RoomDataClass::RoomDataClass(const char *name) : fileName(name ? name : "") {
    try {
        ini.reset(new KxRlIniFile(fileName));
    } catch (const IOException &e) {
        errorText = e.getErrorString();
    }
    library = findGroup("library");
    global = findGroup("global");
    texture = findGroup("texture");
    lightmap = findGroup("lightmap");
    wallTiling = findGroup("wall tiling");
    floorTiling = findGroup("floor tiling");
    if (global) transforms.addTranslation(0.0f, 0.0f, global->getFloatValue("raise", 0.0f));
}

RoomDataClass::~RoomDataClass() = default;

KxRlIniGroup *RoomDataClass::findGroup(const char *name) const {
    if (!ini) return nullptr;
    int index = ini->getGroupIndex(name);
    return index < 0 ? nullptr : ini->getGroup(index);
}

KxRlIniGroup *RoomDataClass::makeGroup(KxRlIniGroup **section, const char *name) {
    if (!*section && ini) *section = ini->addGroup(name);
    return *section;
}

KxRlIniGroup *RoomDataClass::makeTexture() { return makeGroup(&texture, "texture"); }
KxRlIniGroup *RoomDataClass::makeLightmap() { return makeGroup(&lightmap, "lightmap"); }

// ---------------------------------------------------------------------------------------
// PropDataClass

void PropDataClass::addRoomData(const char *fileName) {
    rooms.emplace_back(new RoomDataClass(fileName));
    if (!name.empty()) return;
    const char *base = fileNameOf(rooms.back()->getFileName());
    if (std::strncmp(base, "p_", 2) == 0) base += 2;
    std::string cut(base, std::strcspn(base, "."));
    if (cut.size() > kMaxDerivedNameLength) {
        if (refusedName.empty()) refusedName = "p_" + cut;
        return;
    }
    name = "p_" + cut;
}

std::string PropDataClass::nameOf(const char *word) {
    return std::strncmp(word, "p_", 2) == 0 ? std::string(word) : "p_" + std::string(word);
}

void PropDataClass::setName(const char *word) { name = nameOf(word); }
