#ifndef KX_ROOMWRIGHT_WALLREPORT_H
#define KX_ROOMWRIGHT_WALLREPORT_H

// The wall report printed for every room with at least two wall co-ordinates: each point of
// the outline (cut-outs as their start, anchor and end) with its co-ordinates, the distance
// from the point before, the running fraction of the whole length, the light-map U there and
// the floor's and ceiling's light-map co-ordinates, so that a room's author can check it.

#include <optional>
#include <vector>

class CutoutClass;
class KxDWallSurface;

// One row after the first.
struct WallReportPieceClass {
    enum Kind { WALL = 0, CUTOUT_START = 1, CUTOUT_CENTER = 2, CUTOUT_END = 3 };
    int kind;
    float x, y;
    float distance;  // from the previous point of the report
};

class WallReportClass {
public:
    WallReportClass();

    // A plain wall point: the first one becomes the start (no row), later ones a WALL row.
    void addWall(float x, float y);
    // A row of that kind at (x, y), measured from the last point, which it then becomes.
    void addWall(int kind, float x, float y);
    // A cut-out anchored at (x, y): rows for its start, its anchor and its end, along the
    // direction from the last point to the anchor (ends swapped when flipped).
    void addCutout(const CutoutClass *cutout, float x, float y, float scale, bool flip);
    // The closing stretch back to the start.
    void addFinalWall();

    // U of the surface's light-map area at fraction `f` of its width.
    static float getLmFraction(KxDWallSurface *surface, float f);
    // Prints the table on standard output; nothing before the first wall point.
    void printReport(KxDWallSurface *surface) const;

private:
    struct Point {
        float x, y;
    };

    std::optional<Point> start;  // the room's first wall point; none before it
    float lastX, lastY;          // the most recent point
    float totalDistance;
    std::vector<WallReportPieceClass> pieces;
};

#endif
