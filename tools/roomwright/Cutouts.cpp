#include "Cutouts.h"

#include "IOException.h"
#include "KxRlIniFile.h"
#include "KxRlUtil.h"
#include "RoomData.h"
#include "RoomFiles.h"
#include "ToolFrame.h"

#include <cstring>

// ---------------------------------------------------------------------------------------
// CutoutClass

CutoutClass::CutoutClass(const KxRlIniGroup *section)
    : name(section->getValue("name")), prop(section->getValue("prop")), xcenter(section->getFloatValue("xcenter", 0)),
      ycenter(section->getFloatValue("ycenter", 0)), rotate(section->getFloatValue("rotate", 0)), invalid(!name) {
    if (!prop) prop = name;
    size_t counts[3] = {0, 0, 0};
    for (int i = 0; i < section->getPropertyCount(); i++) {
        const char *key = section->getPropertyName(i);
        int which = std::strcmp(key, "x") == 0        ? 0
                    : std::strcmp(key, "bottom") == 0 ? 1
                    : std::strcmp(key, "top") == 0    ? 2
                                                      : -1;
        if (which < 0) continue;
        if (counts[which] == coords.size()) coords.emplace_back();
        float value = section->getProperty(i)->getFloatValue(kCutoutUnset);
        CutoutCoordClass &coord = coords[counts[which]++];
        (which == 0 ? coord.x : which == 1 ? coord.bottom : coord.top) = value;
    }
    for (const CutoutCoordClass &coord : coords)
        if (coord.x == kCutoutUnset || coord.bottom == kCutoutUnset || coord.top == kCutoutUnset) invalid = true;
}

// ---------------------------------------------------------------------------------------
// CutoutListClass

CutoutListClass::CutoutListClass(const RoomDataClass *room) {
    if (room->getLibrary()) loadAllLibraries(room->getLibrary(), room->getFileName());
}

CutoutListClass::~CutoutListClass() {
    table.clear();  // the cut-outs go before the texts they borrow
}

const CutoutClass *CutoutListClass::getCutout(const char *name) const {
    auto found = table.find(name ? name : "");
    return found == table.end() ? nullptr : found->second.get();
}

void CutoutListClass::loadAllLibraries(const KxRlIniGroup *library, const char *roomFile) {
    for (int i = 0; i < library->getPropertyCount(); i++) {
        if (std::strcmp(library->getPropertyName(i), "cutouts") != 0) continue;
        const char *path = library->getPropertyValue(i);
        std::vector<std::string> places = besideRoomFile(roomFile, path);
        size_t found = 0;
        while (found < places.size() && !kxrlFileExists(places[found].c_str())) found++;
        if (found == places.size()) {
            toolError("Error : Could not find cutout INI file %s\n", path);
            toolDiagnostic(path, "cut-out library not found; looked for %s", describePlaces(places).c_str());
            continue;
        }
        const char *place = places[found].c_str();
        try {
            libraries.emplace_back(new KxRlIniFile(place));
        } catch (const IOException &e) {
            toolError("Error : Could not find cutout INI file %s\n", path);
            toolDiagnostic(place, "cut-out library: %s", e.getErrorString());
            continue;
        }
        loadLibrary(libraries.back().get(), place);
    }
}

void CutoutListClass::loadLibrary(const KxRlIniFile *file, const char *path) {
    for (int g = 0; g < file->getGroupCount(); g++) {
        const KxRlIniGroup *section = file->getGroup(g);
        if (std::strcmp(section->getName(), "cutout") != 0) continue;
        std::unique_ptr<CutoutClass> cutout(new CutoutClass(section));
        if (!cutout->getName()) {
            toolError("Error in [cutout] section : All cutouts must be given a name!\n");
            toolDiagnostic(path, "a [cutout] section has no \"name\" key; it is left out");
        } else if (cutout->isInvalid()) {
            toolError("Error in [cutout] section (%s) : Cutouts must have an equal number of \"x\", \"bottom\", and "
                      "\"top\" values!\n",
                      cutout->getName());
            toolDiagnostic(path, "cut-out %s: every \"x\", \"bottom\" and \"top\" needs its two partners, all numbers; "
                                 "it is left out",
                           cutout->getName());
        } else {
            std::string key = cutout->getName();
            table[key] = std::move(cutout);
        }
    }
}
