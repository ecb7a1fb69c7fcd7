#ifndef KX_ROOMWRIGHT_ROOMDATA_H
#define KX_ROOMWRIGHT_ROOMDATA_H

// The rooms of one run: the prop record (every room INI file of the command line, the prop
// name and the category) and one room INI file with the sections the builder reads.

#include "KxDTransformList.h"
#include "PropName.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class KxRlIniFile;
class KxRlIniGroup;

// pi as the angles of room files and command lines are worked out with.
constexpr double kRoomPi = 3.141592653589793;

// An angle of a room file or a command line, in degrees, as the radians the geometry works
// in: degrees / 180 x pi, worked out in double precision.
float roomRadians(double degrees);

// One room INI file. The file is read when the room is made; a file that cannot be read
// leaves the room without INI text and with the reason, for the builder to report.
class RoomDataClass {
public:
    // `fileName` is borrowed (a command-line word, alive for the whole run). Never throws for a
    // missing or unreadable file. When the room has [global], its transform list starts with
    // the translation by (0, 0, raise).
    explicit RoomDataClass(const char *fileName);
    ~RoomDataClass();
    RoomDataClass(const RoomDataClass &) = delete;
    RoomDataClass &operator=(const RoomDataClass &) = delete;

    const char *getFileName() const { return fileName; }
    // Null when the file could not be read; getErrorText() then says why.
    KxRlIniFile *getIniFile() const { return ini.get(); }
    const char *getErrorText() const { return errorText.c_str(); }

    // The first section of that name (lower case), or null.
    KxRlIniGroup *findGroup(const char *name) const;
    KxRlIniGroup *getLibrary() const { return library; }
    KxRlIniGroup *getGlobal() const { return global; }
    KxRlIniGroup *getTexture() const { return texture; }
    KxRlIniGroup *getLightmap() const { return lightmap; }
    KxRlIniGroup *getWallTiling() const { return wallTiling; }
    KxRlIniGroup *getFloorTiling() const { return floorTiling; }
    // The [texture] or [lightmap] section, added to the INI text in memory when the file has
    // none (the file on disk is not changed); null when the file could not be read.
    KxRlIniGroup *makeTexture();
    KxRlIniGroup *makeLightmap();

    KxDTransformList *getTransforms() { return &transforms; }

private:
    KxRlIniGroup *makeGroup(KxRlIniGroup **section, const char *name);

    const char *fileName;
    std::unique_ptr<KxRlIniFile> ini;
    std::string errorText;
    KxRlIniGroup *library = nullptr;
    KxRlIniGroup *global = nullptr;
    KxRlIniGroup *texture = nullptr;
    KxRlIniGroup *lightmap = nullptr;
    KxRlIniGroup *wallTiling = nullptr;
    KxRlIniGroup *floorTiling = nullptr;
    KxDTransformList transforms;
};

// Everything one run builds into its one prop.
class PropDataClass {
public:
    // The longest prop name, "p_" included, that -propname may give (PropName.h).
    static constexpr size_t kMaxNameLength = kMaxPropNameLength;
    // The longest name a room INI file name may give (the part after "p_"): with "p_" and
    // ".msh" it still fits the 31 characters of the prop INI's mesh value, as the names of the
    // other prop tools do.
    static constexpr size_t kMaxDerivedNameLength = kMaxPropNameLength - 2;

    PropDataClass() = default;
    PropDataClass(const PropDataClass &) = delete;
    PropDataClass &operator=(const PropDataClass &) = delete;

    // Reads the room INI file at once and appends the room. While the prop has no name, the
    // file name gives it: the text after the last separator, without a leading "p_", up to
    // its first dot, after "p_". A name longer than kMaxDerivedNameLength is not taken (the
    // prop stays unnamed; see getRefusedName).
    void addRoomData(const char *fileName);
    // The room of the most recent room INI file, or null.
    RoomDataClass *getLastRoom() const { return rooms.empty() ? nullptr : rooms.back().get(); }
    int getRoomCount() const { return static_cast<int>(rooms.size()); }
    RoomDataClass *getRoom(int i) const { return rooms[static_cast<size_t>(i)].get(); }

    // Empty until -propname or a room file names the prop.
    const char *getName() const { return name.c_str(); }
    // The prop name -propname `word` gives: "p_" + word, or the word alone when it begins
    // with "p_".
    static std::string nameOf(const char *word);
    // -propname (nameOf(word) at most kMaxNameLength characters, checked by the caller; other
    // faults of the name are refused when the package is written). Replaces any earlier name.
    void setName(const char *word);
    // The name a room file would have given when it was too long; empty when none was refused.
    const char *getRefusedName() const { return refusedName.c_str(); }

    int getCategory() const { return category; }
    void setCategory(int value) { category = value; }

private:
    std::vector<std::unique_ptr<RoomDataClass>> rooms;
    std::string name;
    std::string refusedName;
    int category = 9;
};

#endif
