#include "KxDWallSurface.h"

#include "IOException.h"
#include "KxDEarPointTree.h"

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace {

const char *const kNotSimple =
    "Wall outline is not simple (it crosses or touches itself): no floor or ceiling can fill it";

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

// The turn test of ear clipping for a point m and a triangle (a, b, c): m lies in the
// triangle, edges included, when it is on the same side of all three edges (or on them).
bool liesInTriangle(const _WallPos *a, const _WallPos *b, const _WallPos *c, const _WallPos *m) {
    int s1 = sideOf(a, b, m), s2 = sideOf(b, c, m), s3 = sideOf(c, a, m);
    return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
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
    if (floorVertexCount > 2) {
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
    floorVertexCount = 0;
    // Twice the signed area (shoelace), positive when the outline runs counter-clockwise.
    double area = 0.0;
    for (int i = 0; i < n; i++) {
        const _WallPos *p = coord(i), *next = coord((i + 1) % n);
        pointSides[i] = sideOf(coord((i + n - 1) % n), p, next);
        if (pointSides[i] != 0) floorVertexCount++;
        area += static_cast<double>(p->x) * next->y - static_cast<double>(next->x) * p->y;
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

KxDMeshData *KxDWallSurface::makeFloorMesh(bool ceiling, bool lightmap) {
    checkVertexLimit(ceiling ? "Ceiling" : "Floor", floorVertexCount, "");
    std::unique_ptr<KxDMeshData> mesh(new KxDMeshData());
    mesh->allocate(floorVertexCount, floorVertexCount - 2, lightmap);
    // An interior floor faces up and an interior ceiling down; an exterior's floor faces
    // down and its roof up.
    float normalZ = ceiling == isInterior ? -1.0f : 1.0f;
    float z = ceiling ? height : 0.0f;
    const KxDTexTiling &lmTiling = ceiling ? ceilingLmTiling : floorLmTiling;
    int r = 0;
    for (int i = 0; i < getWallCoordCount(); i++) {
        if (pointSides[i] == 0) continue;
        const _WallPos *p = coord(i);
        _KxDTexVertex &v = mesh->getVertexList()[r];
        kxdVecSet(&v.position, p->x, p->y, z);
        kxdVecSet(&v.normal, 0.0f, 0.0f, normalZ);
        kxdVecSet(&v.texture, floorTiling.getXCoord(p->x), floorTiling.getYCoord(p->y));
        if (lightmap) kxdVecSet(&mesh->getLightMapList()[r], lmTiling.getXCoord(p->x), lmTiling.getYCoord(p->y));
        r++;
    }
    makeFloorFaces(ceiling, mesh->getIndexList());
    return mesh.release();
}

// Ear clipping over the turning co-ordinates (straight ones are no vertices). Each round
// walks the remaining co-ordinates in outline order and cuts off every ear it meets: a
// co-ordinate that turns the way the outline runs, whose triangle with its two remaining
// neighbours holds no other remaining co-ordinate (one on an edge counts as inside).
// Nothing changes between clips, so a full round without one means that no ear is left.
//
// The walk skips what cannot have changed: a co-ordinate found not to be an ear stays one
// until a clip gives it new neighbours or removes the co-ordinate that lay in its triangle.
// So only those are visited again ("waiting", in outline order), which cuts the same ears in
// the same order as visiting every co-ordinate, and a round ends when none waits.
void KxDWallSurface::makeFloorFaces(bool ceiling, uint16_t *indices) {
    int n = getWallCoordCount();
    std::vector<int> side(pointSides), rank(n, -1), prevOf(n, -1), nextOf(n, -1), members;
    std::vector<_KxDVector2D> points(n);
    int first = -1, last = -1;
    for (int i = 0; i < n; i++) {
        kxdVecSet(&points[i], coord(i)->x, coord(i)->y);
        if (side[i] == 0) continue;
        rank[i] = static_cast<int>(members.size());
        members.push_back(i);
        if (first < 0) first = i;
        else {
            nextOf[last] = i;
            prevOf[i] = last;
        }
        last = i;
    }
    if (first < 0) return;
    nextOf[last] = first;
    prevOf[first] = last;

    KxDEarPointTree tree(points, members);
    std::set<int> waiting(members.begin(), members.end());
    // blocked[m]: the co-ordinates whose triangles held m when they were last tested.
    std::vector<std::vector<int>> blocked(n);
    std::vector<uint8_t> inRing(n, 0);
    for (int i : members) inRing[i] = 1;

    int turn = clockwise ? -1 : 1;
    int faces = floorVertexCount - 2, made = 0;
    int k = first;
    while (made < faces) {
        if (waiting.empty()) throw IOException(kNotSimple);
        auto next = waiting.lower_bound(k);
        k = next != waiting.end() ? *next : *waiting.begin();
        waiting.erase(k);
        if (side[k] != turn) continue;
        int a = prevOf[k], c = nextOf[k];
        int inside = tree.findInside(a, k, c, [&](int m) {
            return m != a && m != k && m != c && liesInTriangle(coord(a), coord(k), coord(c), coord(m));
        });
        if (inside >= 0) {
            blocked[inside].push_back(k);
            continue;
        }
        // (prev, k, next) for an interior floor's view, (prev, next, k) for the other side;
        // an outline that runs counter-clockwise picks its ears from the other side too.
        int second = rank[k], third = rank[c];
        if (ceiling != isInterior) std::swap(second, third);
        if (!clockwise) std::swap(second, third);
        *indices++ = static_cast<uint16_t>(rank[a]);
        *indices++ = static_cast<uint16_t>(second);
        *indices++ = static_cast<uint16_t>(third);
        made++;
        nextOf[a] = c;
        prevOf[c] = a;
        inRing[k] = 0;
        tree.remove(k);
        side[a] = sideOf(coord(prevOf[a]), coord(a), coord(c));
        side[c] = sideOf(coord(a), coord(c), coord(nextOf[c]));
        waiting.insert(a);
        waiting.insert(c);
        for (int j : blocked[k])
            if (inRing[j]) waiting.insert(j);
        std::vector<int>().swap(blocked[k]);
        k = c;
    }
}
