#ifndef KX_ROOMWRIGHT_CUTOUTS_H
#define KX_ROOMWRIGHT_CUTOUTS_H

// Cut-outs: openings (doors, windows) defined once in cut-out library INI files and placed in
// a room's outline by its [wall] sections, each with the prop that fills it.

#include <map>
#include <memory>
#include <string>
#include <vector>

class KxRlIniFile;
class KxRlIniGroup;
class RoomDataClass;

// A co-ordinate value a library did not give.
constexpr float kCutoutUnset = -3.0e37f;

// One point of a cut-out's outline: its offset along the wall from the anchor, and the
// opening there (bottom and top both 0: a point of full wall).
struct CutoutCoordClass {
    float x = kCutoutUnset;
    float bottom = kCutoutUnset;
    float top = kCutoutUnset;
};

// One [cutout] section. The texts are borrowed from the library's INI text.
class CutoutClass {
public:
    // The n-th "x", "bottom" and "top" keys, each counted on its own in key order, make the
    // n-th co-ordinate. Invalid without a name, or when a co-ordinate lacks a value (unequal
    // counts, or a value that is not a number).
    explicit CutoutClass(const KxRlIniGroup *section);

    const char *getName() const { return name; }  // null when the section has none
    const char *getProp() const { return prop; }  // "prop", else the name
    float getXCenter() const { return xcenter; }
    float getYCenter() const { return ycenter; }
    float getRotate() const { return rotate; }  // degrees
    int getCoordCount() const { return static_cast<int>(coords.size()); }
    const CutoutCoordClass &getCoord(int i) const { return coords[static_cast<size_t>(i)]; }
    bool isInvalid() const { return invalid; }

private:
    const char *name;
    const char *prop;
    float xcenter, ycenter, rotate;
    std::vector<CutoutCoordClass> coords;
    bool invalid;
};

// The cut-outs known to one room: those of every library its [library] section names, in
// order, a later cut-out replacing an earlier one of the same name. A library is looked for as
// named (from the current folder), then beside the room file. Libraries not found (stderr names
// every place looked at) or unreadable, and invalid cut-outs, are reported (stdout and stderr)
// and left out.
class CutoutListClass {
public:
    explicit CutoutListClass(const RoomDataClass *room);
    ~CutoutListClass();
    CutoutListClass(const CutoutListClass &) = delete;
    CutoutListClass &operator=(const CutoutListClass &) = delete;

    // The cut-out of that name, or null.
    const CutoutClass *getCutout(const char *name) const;

private:
    void loadAllLibraries(const KxRlIniGroup *library, const char *roomFile);
    void loadLibrary(const KxRlIniFile *file, const char *path);

    std::vector<std::unique_ptr<KxRlIniFile>> libraries;  // the cut-outs borrow their texts
    std::map<std::string, std::unique_ptr<CutoutClass>> table;
};

#endif
