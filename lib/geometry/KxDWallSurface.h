#ifndef KX_GEOMETRY_KXDWALLSURFACE_H
#define KX_GEOMETRY_KXDWALLSURFACE_H

#include "KxDClipRegion.h"
#include "KxDMeshData.h"
#include "KxDTexTiling.h"
#include "KxDVector.h"

#include <cstddef>
#include <string>
#include <vector>

// One wall co-ordinate of an outline. The fractions are parts of the surface height: the
// wall piece below an opening is `bottom` high, the piece above it `top` high. The last
// three fields belong to the resolved layout.
struct _WallPos {
    float x, y;
    float bottom;        // fraction of the height below the opening
    float top;           // fraction of the height above the opening
    bool excludeBottom;  // leave out the piece below the opening on the stretch to the next point
    bool excludeTop;     // leave out the piece above it
    float distance;      // length of the stretch to the next co-ordinate
    float lmStart;       // light-map U at the start and at the end of that stretch
    float lmEnd;
};

// Connection kinds of a co-ordinate, from its fractions: an opening over the whole height,
// a bottom piece only, a top piece only, an opening with wall below and above.
enum _KxDWallConnection {
    KXD_WALL_OPEN = 0,
    KXD_WALL_BOTTOM_ONLY = 1,
    KXD_WALL_TOP_ONLY = 2,
    KXD_WALL_OPENING = 3
};

// What each mesh of a surface is.
enum _KxDWallMeshKind { KXD_MESH_WALL = 0, KXD_MESH_CEILING = 2, KXD_MESH_FLOOR = 4 };

// Walls standing on an outline on the ground plane (Z up, the outline at Z = 0), with
// openings cut into them, and a floor and a ceiling filling the outline; plus one light-map
// area for the whole room: the walls as one strip across its upper half, the floor in the
// lower-left quarter and the ceiling in the lower-right one.
//
// Configure first (height, flags, light-map area, tilings, outline), then query. The first
// query resolves the layout (turning directions, distances, light-map mappings); the changes
// documented below as "drops the layout" make the next query resolve it again.
class KxDWallSurface : public KxDAbsMeshPrimitive {
public:
    // Walls only; not interior; outline closed; wall tiling wraps `height`, floor tiling
    // wraps 3; light-map area 0..1 on both axes.
    explicit KxDWallSurface(float height);
    // The same, with the floor and the ceiling as given.
    KxDWallSurface(float height, bool floor, bool ceiling);
    ~KxDWallSurface() override;
    KxDWallSurface(const KxDWallSurface &) = delete;
    KxDWallSurface &operator=(const KxDWallSurface &) = delete;

    // --- Settings ---------------------------------------------------------------------
    float getHeight() const { return height; }
    // Keeps the stored fractions, so openings scale with the wall. Drops the layout (the
    // walls' light-map V depends on the height).
    void setHeight(float h);
    bool getHasWalls() const { return hasWalls; }
    void setHasWalls(bool b);    // drops the layout
    bool getHasFloor() const { return hasFloor; }
    void setHasFloor(bool b);    // drops the layout
    bool getHasCeiling() const { return hasCeiling; }
    void setHasCeiling(bool b);  // drops the layout
    // Interior: walls, floor and ceiling are seen from inside the outline.
    bool getIsInterior() const { return isInterior; }
    void setIsInterior(bool b);
    // Closed outline: a stretch from the last co-ordinate back to the first.
    bool getAttachFinalWall() const { return attachFinalWall; }
    void setAttachFinalWall(bool b);  // drops the layout

    // The tilings themselves, to be changed in place before the first mesh request.
    KxDTexTiling *getWallTiling() { return &wallTiling; }
    KxDTexTiling *getFloorTiling() { return &floorTiling; }  // floor and ceiling

    // The room's area in light-map texture space.
    const KxDClipRegion2D *getLmCoords() const { return &lmArea; }
    // The area becomes the rectangle with these corners, in either order. Drops the layout.
    void setLmCoords(float x1, float x2, float y1, float y2);
    void setLmCoords(const KxDClipRegion2D *area);

    // --- Outline ------------------------------------------------------------------------
    // Indices are the caller's to keep within the outline; a position outside it throws
    // IndexOutOfBoundsException. Every add, insert, set and remove of a co-ordinate drops the
    // layout.

    // A co-ordinate with one full-height bottom piece (fractions 1 and 0).
    void addWallCoord(float x, float y);
    // A co-ordinate with an opening from height `bottom` to height `top` (world units);
    // bottom = top = 0 is a plain point of full wall. See setWallHeight.
    void addWallCoord(float x, float y, float bottom, float top);
    // The same, inserted before `index` (0 <= index <= count).
    void insertWallCoord(int index, float x, float y);
    void insertWallCoord(int index, float x, float y, float bottom, float top);
    void setWallCoord(int index, float x, float y);
    void removeWallCoord(int index);
    // Stores the opening from `bottom` to `top` (world units) as fractions of the height:
    // b = bottom / H, t = (H - top) / H. With no opening left (t - b >= 1, which includes
    // bottom = top = 0) a plain full wall, b = 0 and t = 1; else negative fractions become 0,
    // so a top at or above H leaves no top piece. With a height of 0 every co-ordinate is a
    // plain full wall (there is nothing to measure an opening against).
    void setWallHeight(int index, float bottom, float top);
    void setWallExclusion(int index, bool excludeBottom, bool excludeTop);

    int getWallCoordCount() const { return static_cast<int>(coords.size()); }
    // Valid until the next add, insert or remove of a co-ordinate.
    const _WallPos *getWallCoord(int index) const { return coord(index); }
    // The fractions, not heights.
    float getWallBottomHeight(int index) const { return coord(index)->bottom; }
    float getWallTopHeight(int index) const { return coord(index)->top; }
    bool getWallHasBottom(int index) const { return !coord(index)->excludeBottom; }
    bool getWallHasTop(int index) const { return !coord(index)->excludeTop; }
    _KxDWallConnection getWallConnection(int index) const;

    // --- Results (each resolves the layout first when it was dropped) -----------------------
    // The wall mesh when walls are on and there are at least 2 co-ordinates, then the floor
    // and the ceiling, each when on and the outline has more than 2 turning co-ordinates and
    // can be filled (see getFloorProblem).
    int getMeshCount() override;
    _KxDWallMeshKind getMeshKind(int index);
    // A new mesh (owned by the caller), built afresh on every call; with `lightmap` it has
    // light-map co-ordinates. Each mesh is allocated once with its exact counts.
    // Throws IOException, before allocating, when the mesh would need more than 65,536
    // vertices (16,384 wall pieces), and for an index outside 0..getMeshCount()-1.
    KxDMeshData *getMeshData(int index, bool lightmap) override;
    // Why the floor and the ceiling that were asked for are not made although the outline
    // turns: "Wall outline crosses itself: the stretch from (0, 0) to (4, 4) crosses the
    // stretch from (4, 0) to (0, 4)" (at most three named, then "; and more"), or, for an
    // outline that meets itself where no ear can be cut, "Wall outline touches itself: ...".
    // Empty when they are made, or not asked for. The walls are made either way.
    //
    // Every outline that neither crosses nor touches itself is filled: points repeated one
    // after the other count once, points on a line between their neighbours are no corners,
    // and where the float turn test of the clipping is led astray by rounding (thin spikes,
    // notches that nearly touch an edge), the clipping is done again with the exact test.
    const std::string &getFloorProblem();

    // Sum of the stretch lengths; for an open outline the way back from the last co-ordinate
    // to the first counts too, although no wall stands there.
    float getTotalDistance();
    // Length of the stretch that starts at the co-ordinate.
    float getWallDistance(int index);
    // Light-map U at the start of that stretch.
    float getWallLmX(int index);
    // Light-map co-ordinates of the floor and of the ceiling at a co-ordinate, or at any
    // point of the ground plane.
    void getFloorLmCoords(int index, _KxDVector2D *out);
    void getFloorLmCoords(float x, float y, _KxDVector2D *out);
    void getCeilingLmCoords(int index, _KxDVector2D *out);
    void getCeilingLmCoords(float x, float y, _KxDVector2D *out);
    // The turn of the outline at a co-ordinate: +1 left, -1 right, 0 straight on; 0 also for
    // a co-ordinate equal to the one before it (the turn is the first one's, towards the next
    // co-ordinate that differs).
    int getPointSide(int index);
    // The outline runs clockwise seen from above (its signed area is not positive).
    bool getIsClockwise();

private:
    // Throws IndexOutOfBoundsException unless 0 <= index < count (or <= count, `allowEnd`).
    void checkIndex(int index, bool allowEnd) const;
    _WallPos *coord(int index) {
        checkIndex(index, false);
        return &coords[static_cast<std::size_t>(index)];
    }
    const _WallPos *coord(int index) const {
        checkIndex(index, false);
        return &coords[static_cast<std::size_t>(index)];
    }
    void insertCoord(int index, float x, float y, float bottomFraction, float topFraction);
    void resetMeshes() { meshCount = -1; }
    void resolve() {
        if (meshCount < 0) resMeshInfo();
    }
    void resMeshInfo();
    void resPointSides();
    void resLmWallX();
    void resLmWallY();
    void resLmFloor();
    int wallStretchCount() const;
    KxDMeshData *makeWallMesh(bool lightmap);
    void resFloorFaces();
    std::vector<int> exactCorners(std::vector<int> *sides);
    bool clipEars(const std::vector<int> &members, const std::vector<int> &sides, bool exact);
    KxDMeshData *makeFloorMesh(bool ceiling, bool lightmap);

    float height;
    bool hasWalls;
    bool hasFloor;
    bool hasCeiling;
    bool isInterior;
    bool attachFinalWall;
    std::vector<_WallPos> coords;  // in outline order
    KxDTexTiling wallTiling;
    KxDTexTiling floorTiling;
    KxDClipRegion2D lmArea;

    // The resolved layout, valid while meshCount >= 0.
    int meshCount;
    _KxDWallMeshKind meshKinds[3];
    std::vector<int> pointSides;   // 0 also for a point that repeats the one before it
    std::vector<int> outlineRing;  // the co-ordinates that do not repeat the one before them
    bool clockwise;
    int floorVertexCount;          // co-ordinates with a turn
    std::vector<int> floorPoints;     // the floor's vertices: co-ordinate indices in outline order
    std::vector<int> floorTriangles;  // (previous, corner, next) of each ear, as floor vertex ranks
    std::string floorProblem;
    float totalDistance;
    KxDTexTiling wallLmTiling;
    KxDTexTiling floorLmTiling;
    KxDTexTiling ceilingLmTiling;
};

#endif
