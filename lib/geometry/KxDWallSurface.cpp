#include "KxDWallSurface.h"

#include "IOException.h"
#include "KxDEarPointTree.h"
#include "KxDExactTurn.h"
#include "KxDOutlineCrossings.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace {

// Meetings of stretches named in a message about an outline, at most.
constexpr size_t kNamedMeetings = 3;

// a / b, or 0 when b is 0: the light-map layout maps a zero-sized outline or area onto one
// line or point of the area instead of dividing by zero.
float ratio(float a, float b) { return b == 0.0f ? 0.0f : a / b; }

void difference(_KxDVector2D *d, const _WallPos *from, const _WallPos *to) {
    kxdVecSet(d, to->x - from->x, to->y - from->y);
}

float distanceBetween(const _WallPos *from, const _WallPos *to) {
    _KxDVector2D d;
    difference(&d, from, to);
    return kxdVecLen(&d);
}

// The turn at b on the way a -> b -> c: +1 left, -1 right, 0 straight on (or a repeated point).
int sideOf(const _WallPos *a, const _WallPos *b, const _WallPos *c) {
    _KxDVector2D ab, ac;
    difference(&ab, a, b);
    difference(&ac, a, c);
    float cross = kxdVecCross(&ab, &ac);
    return cross > 0.0f ? 1 : (cross < 0.0f ? -1 : 0);
}

_KxDWallConnection connectionOf(const _WallPos *p) {
    bool bottom = p->bottom != 0.0f, top = p->top != 0.0f;
    if (bottom) return top ? KXD_WALL_OPENING : KXD_WALL_BOTTOM_ONLY;
    return top ? KXD_WALL_TOP_ONLY : KXD_WALL_OPEN;
}

// The heights of a wall quad's corners: 0 and 1 at the stretch's start (upper, lower edge),
// 2 and 3 at its end (lower, upper edge).
struct WallPiece {
    float z[4];
};

// A stretch whose ends coincide has no direction, hence no normal, and no area either: it
// gets no pieces.
bool hasDirection(const _WallPos *p1, const _WallPos *p2) {
    float length = distanceBetween(p1, p2);
    return length > 0.0f && std::isfinite(length);
}

// The pieces of the stretch p1 -> p2 on a wall of height h, at most two. Counting before
// allocating and building use this one rule, so the counts are exact.
int stretchPieces(const _WallPos *p1, const _WallPos *p2, float h, WallPiece *out) {
    if (!hasDirection(p1, p2)) return 0;
    _KxDWallConnection own = connectionOf(p1);
    // Leaving an opening, the stretch takes its shape from where it ends; towards a point
    // without an opening its level piece is the whole wall (fraction 1).
    bool leavingOpening = own == KXD_WALL_OPENING;
    switch (leavingOpening ? connectionOf(p2) : own) {
    case KXD_WALL_OPEN:
        return 0;
    case KXD_WALL_BOTTOM_ONLY: {
        if (p1->excludeBottom) return 0;
        float b = leavingOpening ? 1.0f : p1->bottom;
        out[0] = {{b * h, 0.0f, 0.0f, b * h}};
        return 1;
    }
    case KXD_WALL_TOP_ONLY: {
        if (p1->excludeTop) return 0;
        float low = h - (leavingOpening ? 1.0f : p1->top) * h;
        out[0] = {{h, low, low, h}};
        return 1;
    }
    case KXD_WALL_OPENING:
        break;
    }
    int n = 0;
    if (!p1->excludeBottom) out[n++] = {{p1->bottom * h, 0.0f, 0.0f, p2->bottom * h}};
    if (!p1->excludeTop) out[n++] = {{h, h - p1->top * h, h - p2->top * h, h}};
    return n;
}

void checkVertexLimit(const char *mesh, long long vertices, const std::string &detail) {
    if (vertices > KXD_MAX_MESH_VERTICES)
        throw IOException(std::string(mesh) + " mesh would need " + std::to_string(vertices) + " vertices" + detail +
                          "; one mesh holds at most 65536");
}

// The texture cursor is kept within (-1, 1] between quads, so that long walls do not lose
// float precision in their texture co-ordinates.
float reduceCursor(float u) {
    if (u > 1.0f) return u - std::floor(u);
    if (u < 0.0f) return u - std::ceil(u);
    return u;
}

bool samePlace(const _WallPos *a, const _WallPos *b) { return a->x == b->x && a->y == b->y; }

std::string pointText(const _KxDVector2D &p) {
    char text[64];
    std::snprintf(text, sizeof text, "(%g, %g)", p.x, p.y);
    return text;
}

// "the stretch from (0, 0) to (4, 4) crosses the stretch from (4, 0) to (0, 4)", for each
// meeting up to kNamedMeetings, then "and more" when there are more.
std::string describeMeetings(const std::vector<_KxDVector2D> &ring, const std::vector<_KxDOutlineMeeting> &meetings) {
    const size_t n = ring.size();
    auto stretch = [&](int k) {
        return "the stretch from " + pointText(ring[static_cast<size_t>(k)]) + " to " +
               pointText(ring[(static_cast<size_t>(k) + 1) % n]);
    };
    std::string text;
    for (size_t i = 0; i < meetings.size() && i < kNamedMeetings; i++) {
        const _KxDOutlineMeeting &m = meetings[i];
        if (i > 0) text += "; ";
        text += stretch(m.first) + (m.crossing ? " crosses " : " touches ") + stretch(m.second);
    }
    if (meetings.size() > kNamedMeetings) text += "; and more";
    return text;
}

}  // namespace

// --- Construction and settings -----------------------------------------------------------

KxDWallSurface::KxDWallSurface(float height) : KxDWallSurface(height, false, false) {}

KxDWallSurface::KxDWallSurface(float height, bool floor, bool ceiling)
    : height(height), hasWalls(true), hasFloor(floor), hasCeiling(ceiling), isInterior(false),
      attachFinalWall(true), wallTiling(height), floorTiling(3.0f), lmArea(0.0f, 1.0f, 0.0f, 1.0f), meshCount(-1),
      meshKinds{KXD_MESH_WALL, KXD_MESH_WALL, KXD_MESH_WALL}, clockwise(true), floorVertexCount(0),
      totalDistance(0.0f) {}

KxDWallSurface::~KxDWallSurface() = default;

void KxDWallSurface::setHeight(float h) {
    height = h;
    resetMeshes();
}

void KxDWallSurface::setHasWalls(bool b) {
    hasWalls = b;
    resetMeshes();
}

void KxDWallSurface::setHasFloor(bool b) {
    hasFloor = b;
    resetMeshes();
}

void KxDWallSurface::setHasCeiling(bool b) {
    hasCeiling = b;
    resetMeshes();
}

void KxDWallSurface::setIsInterior(bool b) { isInterior = b; }

void KxDWallSurface::setAttachFinalWall(bool b) {
    attachFinalWall = b;
    resetMeshes();
}

void KxDWallSurface::setLmCoords(float x1, float x2, float y1, float y2) {
    lmArea.clear();
    lmArea.clipTo(x1, y1);
    lmArea.clipTo(x2, y2);
    lmArea.correct();
    resetMeshes();
}

void KxDWallSurface::setLmCoords(const KxDClipRegion2D *area) {
    setLmCoords(area->getMinX(), area->getMaxX(), area->getMinY(), area->getMaxY());
}

// --- Outline -----------------------------------------------------------------------------

void KxDWallSurface::checkIndex(int index, bool allowEnd) const {
    if (index < 0 || static_cast<size_t>(index) > coords.size() ||
        (!allowEnd && static_cast<size_t>(index) == coords.size()))
        throw IndexOutOfBoundsException;
}

void KxDWallSurface::insertCoord(int index, float x, float y, float bottomFraction, float topFraction) {
    checkIndex(index, true);
    coords.insert(coords.begin() + index, _WallPos{x, y, bottomFraction, topFraction, false, false, 0.0f, 0.0f, 0.0f});
    resetMeshes();
}

void KxDWallSurface::addWallCoord(float x, float y) { insertCoord(getWallCoordCount(), x, y, 1.0f, 0.0f); }

void KxDWallSurface::addWallCoord(float x, float y, float bottom, float top) {
    insertWallCoord(getWallCoordCount(), x, y, bottom, top);
}

void KxDWallSurface::insertWallCoord(int index, float x, float y) { insertCoord(index, x, y, 1.0f, 0.0f); }

void KxDWallSurface::insertWallCoord(int index, float x, float y, float bottom, float top) {
    insertCoord(index, x, y, 1.0f, 0.0f);
    setWallHeight(index, bottom, top);
}

void KxDWallSurface::setWallCoord(int index, float x, float y) {
    _WallPos *p = coord(index);
    p->x = x;
    p->y = y;
    resetMeshes();
}

void KxDWallSurface::removeWallCoord(int index) {
    checkIndex(index, false);
    coords.erase(coords.begin() + index);
    resetMeshes();
}

void KxDWallSurface::setWallHeight(int index, float bottom, float top) {
    _WallPos *p = coord(index);
    float b = 0.0f, t = 1.0f;
    if (height != 0.0f) {
        b = bottom / height;
        t = (height - top) / height;
        // No opening left (or a value that is no number): a plain full wall.
        if (!std::isfinite(b) || !std::isfinite(t) || t - b >= 1.0f) {
            b = 0.0f;
            t = 1.0f;
        } else {
            if (b < 0.0f) b = 0.0f;
            if (t < 0.0f) t = 0.0f;
        }
    }
    p->bottom = b;
    p->top = t;
}

void KxDWallSurface::setWallExclusion(int index, bool excludeBottom, bool excludeTop) {
    _WallPos *p = coord(index);
    p->excludeBottom = excludeBottom;
    p->excludeTop = excludeTop;
}

_KxDWallConnection KxDWallSurface::getWallConnection(int index) const { return connectionOf(coord(index)); }

// --- Resolving the layout ----------------------------------------------------------------

void KxDWallSurface::resMeshInfo() {
    int count = 0;
    if (hasWalls && getWallCoordCount() >= 2) meshKinds[count++] = KXD_MESH_WALL;
    resPointSides();
    resFloorFaces();
    if (!floorTriangles.empty()) {
        if (hasFloor) meshKinds[count++] = KXD_MESH_FLOOR;
        if (hasCeiling) meshKinds[count++] = KXD_MESH_CEILING;
    }
    resLmWallX();
    resLmWallY();
    resLmFloor();
    meshCount = count;
}

void KxDWallSurface::resPointSides() {
    int n = getWallCoordCount();
    pointSides.assign(n, 0);
    outlineRing.clear();
    floorVertexCount = 0;
    // A point that repeats the one before it (the first: the last one) is no corner of its own:
    // the turn is taken at the first of the equal points, towards the next point that differs.
    std::vector<int> nextDistinct(n, -1);
    int following = -1;
    for (int pass = 0; pass < 2; pass++) {
        for (int i = n - 1; i >= 0; i--) {
            nextDistinct[i] = following;
            if (!samePlace(coord(i), coord((i + n - 1) % n))) following = i;
        }
    }
    // Twice the signed area (shoelace), positive when the outline runs counter-clockwise.
    double area = 0.0;
    for (int i = 0; i < n; i++) {
        const _WallPos *p = coord(i), *next = coord((i + 1) % n);
        area += static_cast<double>(p->x) * next->y - static_cast<double>(next->x) * p->y;
        if (samePlace(p, coord((i + n - 1) % n))) continue;
        outlineRing.push_back(i);
        pointSides[i] = sideOf(coord((i + n - 1) % n), p, coord(nextDistinct[i]));
        if (pointSides[i] != 0) floorVertexCount++;
    }
    // The sign of the area, not a count of left against right turns: a star-shaped or
    // crescent-shaped room turns the other way more often than its outline runs, and
    // counting would turn its walls inside out.
    clockwise = area <= 0.0;
}

void KxDWallSurface::resLmWallX() {
    int n = getWallCoordCount();
    float s = 0.0f;
    for (int i = 0; i < n; i++) {
        _WallPos *p = coord(i);
        const _WallPos *next = i + 1 < n ? coord(i + 1) : (attachFinalWall ? coord(0) : nullptr);
        p->distance = next ? distanceBetween(p, next) : 0.0f;
        p->lmStart = s;
        s += p->distance;
        p->lmEnd = s;
    }
    totalDistance = s;
    // The walls cover the area's whole width, in outline order.
    float minX = lmArea.getMinX(), width = lmArea.getMaxX() - lmArea.getMinX();
    for (int i = 0; i < n; i++) {
        _WallPos *p = coord(i);
        p->lmStart = minX + ratio(p->lmStart, totalDistance) * width;
        p->lmEnd = minX + ratio(p->lmEnd, totalDistance) * width;
    }
}

void KxDWallSurface::resLmWallY() {
    // The walls fill the upper half of the area: their bottom at its middle, their top at min y.
    float hy = (lmArea.getMaxY() - lmArea.getMinY()) / 2.0f;
    wallLmTiling.setOffset(0.0f, lmArea.getMinY() + hy);
    wallLmTiling.setReverse(false, true);
    wallLmTiling.setWrap(ratio(height, hy));
}

void KxDWallSurface::resLmFloor() {
    // The outline's bounding box stretched over the lower-left (floor) and lower-right
    // (ceiling) quarters of the area, Y running downwards in texture space.
    KxDClipRegion2D box(0.0f, 0.0f, 0.0f, 0.0f);
    if (getWallCoordCount() > 0) {
        box.clear();
        for (const _WallPos &p : coords) box.clipTo(p.x, p.y);
    }
    float hx = (lmArea.getMaxX() - lmArea.getMinX()) / 2.0f;
    float hy = (lmArea.getMaxY() - lmArea.getMinY()) / 2.0f;
    float wrapX = ratio(box.getMaxX() - box.getMinX(), hx);
    float wrapY = ratio(box.getMaxY() - box.getMinY(), hy);
    float offsetX = lmArea.getMinX() - ratio(box.getMinX(), wrapX);
    float offsetY = ratio(box.getMinY(), wrapY) + lmArea.getMinY() + hy + hy;
    floorLmTiling.setOffset(offsetX, offsetY);
    floorLmTiling.setWrap(wrapX, wrapY);
    floorLmTiling.setReverse(false, true);
    ceilingLmTiling = floorLmTiling;
    ceilingLmTiling.setOffset(offsetX + hx, offsetY);
}

// --- Results -------------------------------------------------------------------------------

int KxDWallSurface::getMeshCount() {
    resolve();
    return meshCount;
}

_KxDWallMeshKind KxDWallSurface::getMeshKind(int index) {
    resolve();
    if (index < 0 || index >= meshCount)
        throw IOException("Wall surface has no mesh " + std::to_string(index) + " (it has " +
                          std::to_string(meshCount) + ")");
    return meshKinds[index];
}

KxDMeshData *KxDWallSurface::getMeshData(int index, bool lightmap) {
    switch (getMeshKind(index)) {
    case KXD_MESH_WALL:
        return makeWallMesh(lightmap);
    case KXD_MESH_FLOOR:
        return makeFloorMesh(false, lightmap);
    case KXD_MESH_CEILING:
        return makeFloorMesh(true, lightmap);
    }
    return nullptr;
}

float KxDWallSurface::getTotalDistance() {
    resolve();
    return totalDistance;
}

float KxDWallSurface::getWallDistance(int index) {
    resolve();
    return coord(index)->distance;
}

float KxDWallSurface::getWallLmX(int index) {
    resolve();
    return coord(index)->lmStart;
}

void KxDWallSurface::getFloorLmCoords(int index, _KxDVector2D *out) {
    const _WallPos *p = coord(index);
    getFloorLmCoords(p->x, p->y, out);
}

void KxDWallSurface::getFloorLmCoords(float x, float y, _KxDVector2D *out) {
    resolve();
    kxdVecSet(out, floorLmTiling.getXCoord(x), floorLmTiling.getYCoord(y));
}

void KxDWallSurface::getCeilingLmCoords(int index, _KxDVector2D *out) {
    const _WallPos *p = coord(index);
    getCeilingLmCoords(p->x, p->y, out);
}

void KxDWallSurface::getCeilingLmCoords(float x, float y, _KxDVector2D *out) {
    resolve();
    kxdVecSet(out, ceilingLmTiling.getXCoord(x), ceilingLmTiling.getYCoord(y));
}

int KxDWallSurface::getPointSide(int index) {
    checkIndex(index, false);
    resolve();
    return pointSides[index];
}

bool KxDWallSurface::getIsClockwise() {
    resolve();
    return clockwise;
}

const std::string &KxDWallSurface::getFloorProblem() {
    resolve();
    return floorProblem;
}

// --- Wall mesh ---------------------------------------------------------------------------

int KxDWallSurface::wallStretchCount() const {
    int n = getWallCoordCount();
    if (n < 2) return 0;
    // Two co-ordinates make one stretch: the way back would stand on the same line.
    return attachFinalWall && n >= 3 ? n : n - 1;
}

KxDMeshData *KxDWallSurface::makeWallMesh(bool lightmap) {
    int n = getWallCoordCount(), stretches = wallStretchCount();
    WallPiece pieces[2];
    long long pieceCount = 0;
    for (int i = 0; i < stretches; i++) pieceCount += stretchPieces(coord(i), coord((i + 1) % n), height, pieces);
    checkVertexLimit("Wall", 4 * pieceCount, " (" + std::to_string(pieceCount) + " pieces)");

    std::unique_ptr<KxDMeshData> mesh(new KxDMeshData());
    mesh->allocate(static_cast<int>(4 * pieceCount), static_cast<int>(2 * pieceCount), lightmap);
    _KxDTexVertex *vertices = mesh->getVertexList();
    _KxDVector2D *lightMap = mesh->getLightMapList();
    uint16_t *indices = mesh->getIndexList();

    // Seen from the side the walls face, every triangle winds counter-clockwise.
    bool flip = clockwise != isInterior;
    float u = wallTiling.getOffsetX();
    int q = 0;
    for (int i = 0; i < stretches; i++) {
        const _WallPos *p1 = coord(i), *p2 = coord((i + 1) % n);
        int count = stretchPieces(p1, p2, height, pieces);
        if (count == 0) continue;
        _KxDVector3D normal;
        kxdVecSet(&normal, p2->y - p1->y, -(p2->x - p1->x), 0.0f);
        if (flip) kxdVecSet(&normal, -normal.x, -normal.y, 0.0f);
        kxdVecNormalize(&normal);
        // Both pieces of a stretch start from the same texture U.
        float uEnd = u + wallTiling.getXStep(distanceBetween(p1, p2));
        const _WallPos *ends[4] = {p1, p1, p2, p2};
        for (int piece = 0; piece < count; piece++) {
            const float *z = pieces[piece].z;
            for (int c = 0; c < 4; c++) {
                _KxDTexVertex &v = vertices[q + c];
                kxdVecSet(&v.position, ends[c]->x, ends[c]->y, z[c]);
                v.normal = normal;
                kxdVecSet(&v.texture, c < 2 ? u : uEnd, wallTiling.getYCoord(height - z[c]));
                if (lightMap) kxdVecSet(&lightMap[q + c], c < 2 ? p1->lmStart : p1->lmEnd, wallLmTiling.getYCoord(z[c]));
            }
            const int order[2][6] = {{0, 1, 2, 0, 2, 3}, {0, 2, 1, 0, 3, 2}};
            for (int k = 0; k < 6; k++) *indices++ = static_cast<uint16_t>(q + order[flip][k]);
            q += 4;
        }
        u = reduceCursor(uEnd);
    }
    return mesh.release();
}

// --- Floor and ceiling -------------------------------------------------------------------

// Turning points and triangles of the floor (the ceiling has the same ones). The outline is
// checked for stretches that cross each other first: no floor can fill such an outline, and
// ear clipping might still cut triangles from it that overlap. Then the points where the
// float test sees a turn are clipped as they always were; where that test's rounding leads
// the clipping astray (a thin spike seen as straight, a notch's tip seen on an ear's edge),
// the clipping runs again with the exact test, on the points that truly turn. On an outline
// that neither crosses nor touches itself, that clipping finds an ear every time; one that only
// touches itself is filled when an ear can still be found, and reported otherwise.
void KxDWallSurface::resFloorFaces() {
    floorPoints.clear();
    floorTriangles.clear();
    floorProblem.clear();
    if ((!hasFloor && !hasCeiling) || floorVertexCount <= 2) return;
    std::vector<_KxDVector2D> ring(outlineRing.size());
    for (size_t r = 0; r < ring.size(); r++) kxdVecSet(&ring[r], coord(outlineRing[r])->x, coord(outlineRing[r])->y);
    std::vector<_KxDOutlineMeeting> crossings = kxdFindOutlineMeetings(ring, false, kNamedMeetings + 1);
    if (!crossings.empty()) {
        floorProblem = "Wall outline crosses itself: " + describeMeetings(ring, crossings);
        return;
    }
    std::vector<int> corners;
    bool straightForSure = true;
    for (size_t r = 0; r < outlineRing.size(); r++) {
        int i = outlineRing[r];
        if (pointSides[i] != 0) corners.push_back(i);
        else if (kxdExactTurn(&ring[(r + ring.size() - 1) % ring.size()], &ring[r], &ring[(r + 1) % ring.size()]))
            straightForSure = false;  // a turn that rounding hides: leaving it out would lose floor
    }
    if (straightForSure && clipEars(corners, pointSides, false)) return;
    std::vector<int> sides;
    corners = exactCorners(&sides);
    if (corners.size() < 3 || clipEars(corners, sides, true)) return;  // fewer: it encloses nothing
    floorTriangles.clear();
    std::vector<_KxDOutlineMeeting> touchings = kxdFindOutlineMeetings(ring, true, kNamedMeetings + 1);
    floorProblem = touchings.empty() ? std::string("Wall outline cannot be cut into triangles")
                                     : "Wall outline touches itself: " + describeMeetings(ring, touchings);
}

// The outline's distinct points without those that lie exactly on the line from the point
// before to the point after: taking one out can put its neighbour on a line (the way back from
// a spike without width), so neighbours are tested again. `sides` receives the exact turn of
// each point left, by co-ordinate index. Fewer than 3 points left: the outline encloses nothing.
std::vector<int> KxDWallSurface::exactCorners(std::vector<int> *sides) {
    const int m = static_cast<int>(outlineRing.size());
    std::vector<_KxDVector2D> at(m);
    std::vector<int> prev(m), next(m), side(m), straight;
    for (int r = 0; r < m; r++) {
        kxdVecSet(&at[r], coord(outlineRing[r])->x, coord(outlineRing[r])->y);
        prev[r] = (r + m - 1) % m;
        next[r] = (r + 1) % m;
    }
    auto turnAt = [&](int r) { return kxdExactTurn(&at[prev[r]], &at[r], &at[next[r]]); };
    for (int r = 0; r < m; r++)
        if ((side[r] = turnAt(r)) == 0) straight.push_back(r);
    std::vector<uint8_t> gone(m, 0);
    int alive = m;
    while (!straight.empty() && alive > 2) {
        int r = straight.back();
        straight.pop_back();
        if (gone[r] || side[r] != 0) continue;
        gone[r] = 1;
        alive--;
        next[prev[r]] = next[r];
        prev[next[r]] = prev[r];
        for (int q : {prev[r], next[r]})
            if ((side[q] = turnAt(q)) == 0) straight.push_back(q);
    }
    sides->assign(getWallCoordCount(), 0);
    std::vector<int> corners;
    if (alive <= 2) return corners;
    for (int r = 0; r < m; r++) {
        if (gone[r]) continue;
        corners.push_back(outlineRing[r]);
        (*sides)[outlineRing[r]] = side[r];
    }
    return corners;
}

// Ear clipping over `members` (co-ordinate indices in outline order, each with its turn in
// `sides`). Each round walks the remaining points in outline order and cuts off every ear it
// meets: a point that turns the way the outline runs, whose triangle with its two remaining
// neighbours holds no other remaining point (one on an edge counts as inside). Nothing changes
// between clips, so a full round without one means that no ear is left. With the float test
// that ends the clipping (false); with the exact test, points left all in one line enclose
// nothing and the clipping is done.
//
// The float test also gives up (false) as soon as it cuts an ear that the exact test would
// not: one that does not truly turn the outline's way, or that holds a point the float test
// placed just outside it. So what it returns is always right, and it returns what it always
// did wherever rounding did not decide an ear.
//
// The walk skips what cannot have changed: a point found not to be an ear stays one until a
// clip gives it new neighbours or removes the point that lay in its triangle. So only those
// are visited again ("waiting", in outline order), which cuts the same ears in the same order
// as visiting every point, and a round ends when none waits.
//
// On success the floor's points are `members` and its triangles (previous, corner, next) of
// each ear, as ranks among the members.
bool KxDWallSurface::clipEars(const std::vector<int> &members, const std::vector<int> &sides, bool exact) {
    int n = getWallCoordCount(), count = static_cast<int>(members.size());
    std::vector<int> side(sides), rank(n, -1), prevOf(n, -1), nextOf(n, -1);
    std::vector<_KxDVector2D> points(n);
    for (int i = 0; i < n; i++) kxdVecSet(&points[i], coord(i)->x, coord(i)->y);
    for (int r = 0; r < count; r++) {
        int i = members[r];
        rank[i] = r;
        nextOf[i] = members[(r + 1) % count];
        prevOf[i] = members[(r + count - 1) % count];
    }
    auto exactTurn = [&](int a, int b, int c) { return kxdExactTurn(&points[a], &points[b], &points[c]); };
    auto floatTurn = [&](int a, int b, int c) { return sideOf(coord(a), coord(b), coord(c)); };
    auto turn = [&](int a, int b, int c) { return exact ? exactTurn(a, b, c) : floatTurn(a, b, c); };
    // The turn test of a point m against the triangle (a, b, c): inside, edges included, when
    // it is on the same side of all three edges (or on them).
    auto liesInTriangle = [](auto test, int a, int b, int c, int m) {
        int s1 = test(a, b, m), s2 = test(b, c, m), s3 = test(c, a, m);
        return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
    };

    KxDEarPointTree tree(points, members);
    std::set<int> waiting(members.begin(), members.end());
    // blocked[m]: the points whose triangles held m when they were last tested.
    std::vector<std::vector<int>> blocked(n);
    std::vector<uint8_t> inRing(n, 0);
    for (int i : members) inRing[i] = 1;

    floorTriangles.clear();
    const int ear = clockwise ? -1 : 1;
    int faces = count - 2, made = 0;
    int k = members.front();
    while (made < faces) {
        if (waiting.empty()) {
            if (!exact) return false;
            for (int at = nextOf[k];; at = nextOf[at]) {
                if (side[at] != 0) return false;
                if (at == k) break;
            }
            break;
        }
        auto next = waiting.lower_bound(k);
        k = next != waiting.end() ? *next : *waiting.begin();
        waiting.erase(k);
        if (side[k] != ear) continue;
        int a = prevOf[k], c = nextOf[k];
        bool misjudged = false;
        int inside = tree.findInside(a, k, c, [&](int m) {
            if (m == a || m == k || m == c) return false;
            if (liesInTriangle(turn, a, k, c, m)) return true;
            misjudged = misjudged || (!exact && liesInTriangle(exactTurn, a, k, c, m));
            return false;
        });
        if (inside >= 0) {
            blocked[inside].push_back(k);
            continue;
        }
        if (misjudged || (!exact && exactTurn(a, k, c) != ear)) return false;
        floorTriangles.insert(floorTriangles.end(), {rank[a], rank[k], rank[c]});
        made++;
        nextOf[a] = c;
        prevOf[c] = a;
        inRing[k] = 0;
        tree.remove(k);
        side[a] = turn(prevOf[a], a, c);
        side[c] = turn(a, c, nextOf[c]);
        waiting.insert(a);
        waiting.insert(c);
        for (int j : blocked[k])
            if (inRing[j]) waiting.insert(j);
        std::vector<int>().swap(blocked[k]);
        k = c;
    }
    floorPoints = members;
    return true;
}

KxDMeshData *KxDWallSurface::makeFloorMesh(bool ceiling, bool lightmap) {
    const int vertexCount = static_cast<int>(floorPoints.size());
    checkVertexLimit(ceiling ? "Ceiling" : "Floor", vertexCount, "");
    std::unique_ptr<KxDMeshData> mesh(new KxDMeshData());
    mesh->allocate(vertexCount, static_cast<int>(floorTriangles.size() / 3), lightmap);
    // An interior floor faces up and an interior ceiling down; an exterior's floor faces
    // down and its roof up.
    float normalZ = ceiling == isInterior ? -1.0f : 1.0f;
    float z = ceiling ? height : 0.0f;
    const KxDTexTiling &lmTiling = ceiling ? ceilingLmTiling : floorLmTiling;
    for (int r = 0; r < vertexCount; r++) {
        const _WallPos *p = coord(floorPoints[r]);
        _KxDTexVertex &v = mesh->getVertexList()[r];
        kxdVecSet(&v.position, p->x, p->y, z);
        kxdVecSet(&v.normal, 0.0f, 0.0f, normalZ);
        kxdVecSet(&v.texture, floorTiling.getXCoord(p->x), floorTiling.getYCoord(p->y));
        if (lightmap) kxdVecSet(&mesh->getLightMapList()[r], lmTiling.getXCoord(p->x), lmTiling.getYCoord(p->y));
    }
    // (previous, corner, next) for an interior floor's view, (previous, next, corner) for the
    // other side; an outline that runs counter-clockwise picks its ears from the other side too.
    const bool swap = (ceiling != isInterior) != !clockwise;
    uint16_t *indices = mesh->getIndexList();
    for (size_t t = 0; t < floorTriangles.size(); t += 3) {
        indices[t] = static_cast<uint16_t>(floorTriangles[t]);
        indices[t + 1] = static_cast<uint16_t>(floorTriangles[t + (swap ? 2 : 1)]);
        indices[t + 2] = static_cast<uint16_t>(floorTriangles[t + (swap ? 1 : 2)]);
    }
    return mesh.release();
}
