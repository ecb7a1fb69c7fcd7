#ifndef KX_ROOMWRIGHT_ROOMBUILD_H
#define KX_ROOMWRIGHT_ROOMBUILD_H

// One room of a run while it is built: its cut-out table, its wall surface, its wall report
// and the last point of its outline so far. RoomBuilder makes one for each room and drops it
// when the room is done, so nothing of one room is left over for the next.

#include "Cutouts.h"
#include "KxDWallSurface.h"
#include "WallReport.h"

#include <optional>

class KxRlIniFile;
class KxRlIniGroup;
class RoomBuilder;
class RoomDataClass;

class RoomBuild {
public:
    // Reads the room's cut-out libraries (reporting those that cannot be read or hold invalid
    // cut-outs). `room` has INI text. The props of the room are placed through `builder`.
    RoomBuild(RoomBuilder &builder, RoomDataClass *room);
    RoomBuild(const RoomBuild &) = delete;
    RoomBuild &operator=(const RoomBuild &) = delete;

    // Sets the wall surface up from [global], [lightmap] and the tiling sections, then adds
    // every [wall] section in order, placing the props of the cut-outs; a section that is
    // refused is reported and left out. Throws IOException when the outline would grow beyond
    // what a mesh holds.
    void buildWalls();
    KxDWallSurface *getWallSurface() { return &wallSurface; }
    // The wall report's table, on standard output.
    void printWallReport() { wallReport.printReport(&wallSurface); }
    // Places the props of the room's [prop] sections; a section without a prop name, or whose
    // prop cannot be read, is reported and left out.
    void addDressing();

private:
    struct WallPoint {
        float x, y;
    };

    void initWallSurface(const KxRlIniGroup *global);
    void initLightmap(const KxRlIniGroup *lightmap);
    void initTexTiling(bool wall);
    // Checks the `number`-th [wall] section and adds it; false when it was refused (already
    // reported). Throws IOException when the outline would grow too long for a mesh.
    bool addWallSection(const KxRlIniGroup *wall, int number);
    void addWallCoord(const KxRlIniGroup *wall);
    void addWallCutout(const KxRlIniGroup *wall, const CutoutClass *cutout, WallPoint from);
    void placeCutoutProp(const KxRlIniGroup *wall, const CutoutClass *cutout, float dx, float dy);
    // Throws IOException when `more` points would grow the outline beyond what a mesh holds.
    void reserveWallCoords(int more) const;

    RoomBuilder &builder;
    RoomDataClass *room;
    KxRlIniFile *ini;
    CutoutListClass cutouts;
    KxDWallSurface wallSurface;
    WallReportClass wallReport;
    // The last point put into the outline. None before the first: a cut-out then has no wall
    // to run along.
    std::optional<WallPoint> previous;
};

#endif
