#include "KxDWallSurface.h"

#include "IOException.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {
// A wall co-ordinate as a room file gives it: an opening from bottom to top (0, 0: plain).
struct Coord {
    float x, y, bottom, top;
    bool excludeBottom = false, excludeTop = false;
};
using Outline = std::vector<Coord>;
using Mesh = std::unique_ptr<KxDMeshData>;

const Outline kSquareCcw = {{0, 0, 0, 0}, {4, 0, 0, 0}, {4, 4, 0, 0}, {0, 4, 0, 0}};
const Outline kSquareCw = {{0, 0, 0, 0}, {0, 4, 0, 0}, {4, 4, 0, 0}, {4, 0, 0, 0}};

std::unique_ptr<KxDWallSurface> makeSurface(const Outline &outline, bool interior = true, bool closed = true) {
    std::unique_ptr<KxDWallSurface> s(new KxDWallSurface(3.0f, true, true));
    s->setIsInterior(interior);
    s->setAttachFinalWall(closed);
    for (const Coord &c : outline) {
        s->addWallCoord(c.x, c.y, c.bottom, c.top);
        s->setWallExclusion(s->getWallCoordCount() - 1, c.excludeBottom, c.excludeTop);
    }
    return s;
}

Mesh meshOfKind(KxDWallSurface &s, _KxDWallMeshKind kind, bool lightmap = false) {
    for (int i = 0; i < s.getMeshCount(); i++)
        if (s.getMeshKind(i) == kind) return Mesh(s.getMeshData(i, lightmap));
    return nullptr;
}

std::vector<int> indicesOf(const KxDMeshData &m) {
    return std::vector<int>(m.getIndexList(), m.getIndexList() + m.getIndexCount());
}

// Twice the signed area of triangle f (z of the right-hand normal of its corners in order),
// and its right-hand normal.
_KxDVector3D faceNormal(const KxDMeshData &m, int f) {
    const _KxDTexVertex *v = m.getVertexList();
    const uint16_t *i = m.getIndexList() + 3 * f;
    _KxDVector3D ab, ac, n;
    kxdVecSub(&ab, &v[i[1]].position, &v[i[0]].position);
    kxdVecSub(&ac, &v[i[2]].position, &v[i[0]].position);
    kxdVecCross(&n, &ab, &ac);
    return n;
}

void expectFinite(const KxDMeshData &m, const std::string &what) {
    for (int i = 0; i < m.getVertexCount(); i++) {
        const float *f = &m.getVertexList()[i].position.x;
        for (int k = 0; k < 8; k++) EXPECT_TRUE(std::isfinite(f[k])) << what << " vertex " << i;
        if (m.hasLightMap()) {
            EXPECT_TRUE(std::isfinite(m.getLightMapList()[i].x)) << what << " light-map " << i;
            EXPECT_TRUE(std::isfinite(m.getLightMapList()[i].y)) << what << " light-map " << i;
        }
    }
}
}  // namespace

TEST(TexTiling, mapsDistancesForwardBackwardAndFlat) {
    KxDTexTiling t(3.0f, 2.0f);
    t.setOffset(0.5f, 1.0f);
    EXPECT_EQ(2.0f, t.getXCoord(4.5f));  // 0.5 + 4.5 / 3
    EXPECT_EQ(2.0f, t.getYCoord(2.0f));  // 1 + 2 / 2
    t.setReverse(true, false);
    EXPECT_EQ(-1.0f, t.getXCoord(4.5f));  // 0.5 - 1.5
    t.setWrap(0.0f);
    EXPECT_EQ(0.5f, t.getXCoord(4.5f));  // a wrap of 0 stays at the offset
}

// Counts and distances: a square of side 4 (stretches 4 long, total 16), with a straight
// extra point (one more stretch, the floor still 4 corners), open, and two points closed
// (one stretch drawn, the way back counted: total 8, the wall's light-map U ends at 0.5); a
// point given twice in a row, also at a corner, is one corner of the floor and has no wall.
TEST(WallSurface, countsStretchesFloorCornersAndDistances) {
    struct Row {
        const char *name;
        Outline outline;
        bool closed;
        int meshes, wallFaces, floorVertices;
        float total;
        std::vector<float> lmStarts;
    } rows[] = {
        {"square", kSquareCcw, true, 3, 8, 4, 16.0f, {0.0f, 0.25f, 0.5f, 0.75f}},
        {"straight point", {{0, 0, 0, 0}, {2, 0, 0, 0}, {4, 0, 0, 0}, {4, 4, 0, 0}, {0, 4, 0, 0}}, true, 3, 10, 4, 16.0f,
         {0.0f, 0.125f, 0.25f, 0.5f, 0.75f}},
        {"open square", kSquareCcw, false, 3, 6, 4, 12.0f, {0.0f, 1 / 3.0f, 2 / 3.0f, 1.0f}},
        {"two points", {{0, 0, 0, 0}, {4, 0, 0, 0}}, true, 1, 2, 0, 8.0f, {0.0f, 0.5f}},
        {"first point again at the end", {{0, 0, 0, 0}, {4, 0, 0, 0}, {4, 4, 0, 0}, {0, 4, 0, 0}, {0, 0, 0, 0}}, true,
         3, 8, 4, 16.0f, {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}},
        {"a corner twice", {{0, 0, 0, 0}, {4, 0, 0, 0}, {4, 0, 0, 0}, {4, 4, 0, 0}, {0, 4, 0, 0}}, true, 3, 8, 4,
         16.0f, {0.0f, 0.25f, 0.25f, 0.5f, 0.75f}},
    };
    for (const Row &r : rows) {
        auto s = makeSurface(r.outline, true, r.closed);
        ASSERT_EQ(r.meshes, s->getMeshCount()) << r.name;
        Mesh wall(s->getMeshData(0, true));
        EXPECT_EQ(r.wallFaces, wall->getFaceCount()) << r.name;
        EXPECT_EQ(2 * r.wallFaces, wall->getVertexCount()) << r.name;
        EXPECT_EQ(3 * r.wallFaces, wall->getIndexCount()) << r.name;
        EXPECT_EQ(r.total, s->getTotalDistance()) << r.name;
        for (size_t i = 0; i < r.lmStarts.size(); i++) EXPECT_FLOAT_EQ(r.lmStarts[i], s->getWallLmX(i)) << r.name << i;
        if (r.meshes == 1) {
            EXPECT_EQ(0.5f, wall->getLightMapList()[2].x) << r.name;  // corner 2 at the stretch end
        }
        for (_KxDWallMeshKind kind : {KXD_MESH_FLOOR, KXD_MESH_CEILING}) {
            Mesh m = meshOfKind(*s, kind);
            if (r.floorVertices == 0) {
                EXPECT_EQ(nullptr, m) << r.name;
                continue;
            }
            ASSERT_NE(nullptr, m) << r.name;
            EXPECT_EQ(r.floorVertices, m->getVertexCount()) << r.name;
            EXPECT_EQ(r.floorVertices - 2, m->getFaceCount()) << r.name;
        }
    }
}

// The heights of each wall quad's corners (P1 upper, P1 lower, P2 lower, P2 upper), height 3,
// outline open so that only the listed stretches stand.
TEST(WallSurface, cutsOpeningsIntoLevelAndAngledPieces) {
    struct Row {
        const char *name;
        Outline outline;
        std::vector<std::vector<float>> quads;
    } rows[] = {
        // b = 1/3, t = (3 - 2)/3 on both ends: angled bottom 0..1, angled top 2..3; leaving the
        // window towards a plain point, the level piece is the whole wall.
        {"window", {{0, 0, 1, 2}, {4, 0, 1, 2}, {4, 4, 0, 0}}, {{1, 0, 0, 1}, {3, 2, 2, 3}, {3, 0, 0, 3}}},
        // b = 0, t = 0.9/3: only the top piece, from 3 - 0.9 = 2.1 to 3.
        {"door", {{0, 0, 0, 2.1f}, {4, 0, 0, 0}}, {{3, 2.1f, 2.1f, 3}}},
        // A plain point is a top piece of fraction 1: exclude-top drops it, exclude-bottom does not.
        {"exclude top", {{0, 0, 0, 0, false, true}, {4, 0, 0, 0}}, {}},
        {"exclude bottom", {{0, 0, 0, 0, true, false}, {4, 0, 0, 0}}, {{3, 0, 0, 3}}},
        // t = (3 - 5)/3 < 0 becomes 0: only the bottom piece of b = 1/3.
        {"top above the wall", {{0, 0, 1, 5}, {4, 0, 0, 0}}, {{1, 0, 0, 1}}},
        {"full-height opening", {{0, 0, 0, 3}, {4, 0, 0, 0}}, {}},
        // A repeated point has no direction and no area: no pieces on the stretch between.
        {"repeated point", {{0, 0, 0, 0}, {0, 0, 0, 0}, {4, 0, 0, 0}}, {{3, 0, 0, 3}}},
    };
    for (const Row &r : rows) {
        auto s = makeSurface(r.outline, true, false);
        Mesh wall(s->getMeshData(0, false));
        ASSERT_EQ(4 * r.quads.size(), static_cast<size_t>(wall->getVertexCount())) << r.name;
        for (size_t q = 0; q < r.quads.size(); q++)
            for (int c = 0; c < 4; c++)
                EXPECT_FLOAT_EQ(r.quads[q][c], wall->getVertexList()[4 * q + c].position.z) << r.name << q << c;
    }
}

// Stretches 4.5 and 3 long, wrap 3: U runs 0 -> 1.5, the cursor is reduced to 0.5 and the next
// stretch runs 0.5 -> 1.5. Reversed: 0 -> -1.5, reduced to -0.5, then -0.5 -> -1.5.
// V measures down from the top: (3 - z) / 3.
TEST(WallSurface, carriesTheTextureCursorAcrossStretches) {
    for (bool reverse : {false, true}) {
        auto s = makeSurface({{0, 0, 0, 0}, {4.5f, 0, 0, 0}, {4.5f, 3, 0, 0}}, true, false);
        s->getWallTiling()->setReverse(reverse, false);
        Mesh wall(s->getMeshData(0, false));
        float sign = reverse ? -1.0f : 1.0f;
        const float u[8] = {0, 0, 1.5f, 1.5f, 0.5f, 0.5f, 1.5f, 1.5f};
        for (int i = 0; i < 8; i++) EXPECT_EQ(sign * u[i], wall->getVertexList()[i].texture.x) << reverse << i;
        EXPECT_EQ(0.0f, wall->getVertexList()[0].texture.y);
        EXPECT_EQ(1.0f, wall->getVertexList()[1].texture.y);
    }
}

// Floor triangles by ear clipping, as vertex ranks. Clockwise: the first ear is at (0,0)
// between (4,0) [3] and (0,4) [1], emitted (prev, next, k) = 3 1 0 for an interior floor, then
// 3 2 1. Counter-clockwise: the described ear (0,4) (4,0) (0,0) = 3 1 0 faces down, so its
// last two corners are swapped: 3 0 1, then 3 1 2. All face up.
TEST(WallSurface, fillsTheFloorByEarClippingFacingItsNormal) {
    struct Row {
        Outline outline;
        std::vector<int> indices;
    } rows[] = {{kSquareCw, {3, 1, 0, 3, 2, 1}}, {kSquareCcw, {3, 0, 1, 3, 1, 2}}};
    for (const Row &r : rows) {
        auto s = makeSurface(r.outline);
        Mesh floor = meshOfKind(*s, KXD_MESH_FLOOR);
        EXPECT_EQ(r.indices, indicesOf(*floor));
        for (int f = 0; f < 2; f++) EXPECT_GT(faceNormal(*floor, f).z, 0.0f);
        EXPECT_EQ(1.0f, floor->getVertexList()[0].normal.z);
    }
}

// Every triangle winds counter-clockwise seen from where its normals point, for outlines
// running either way; walls face into an interior; the floor covers exactly the outline's area;
// an exterior is the interior seen from the other side (same positions, normals negated, corner
// order reversed). A five-pointed star turns left as often as right: only its area tells which
// way it runs.
TEST(WallSurface, windsEveryTriangleRoundItsNormalsInsideAndOut) {
    auto star = [](bool cw) {
        Outline o;
        for (int i = 0; i < 10; i++) {
            float a = static_cast<float>((cw ? -i : i) * 3.14159265358979 / 5), r = i % 2 ? 1.5f : 4.0f;
            o.push_back({r * std::cos(a), r * std::sin(a), 0, 0});
        }
        return o;
    };
    struct Row {
        const char *name;
        Outline outline;
        bool clockwise;
    } rows[] = {{"square ccw", kSquareCcw, false},
                {"square cw", kSquareCw, true},
                {"L ccw", {{0, 0, 0, 0}, {4, 0, 0, 0}, {4, 2, 0, 0}, {2, 2, 0, 0}, {2, 4, 0, 0}, {0, 4, 0, 0}}, false},
                {"star ccw", star(false), false},
                {"star cw", star(true), true}};
    for (const Row &r : rows) {
        auto in = makeSurface(r.outline, true), out = makeSurface(r.outline, false);
        EXPECT_EQ(r.clockwise, in->getIsClockwise()) << r.name;
        double area = 0;  // shoelace, positive
        for (size_t i = 0; i < r.outline.size(); i++) {
            const Coord &a = r.outline[i], &b = r.outline[(i + 1) % r.outline.size()];
            area += 0.5 * (a.x * b.y - b.x * a.y) * (r.clockwise ? -1 : 1);
        }
        for (int m = 0; m < in->getMeshCount(); m++) {
            Mesh a(in->getMeshData(m, false)), b(out->getMeshData(m, false));
            ASSERT_EQ(a->getIndexCount(), b->getIndexCount());
            double covered = 0;
            for (int f = 0; f < a->getFaceCount(); f++) {
                _KxDVector3D na = faceNormal(*a, f), nb = faceNormal(*b, f);
                covered += 0.5 * std::fabs(na.z);
                for (int c = 0; c < 3; c++) {
                    // (x, y, z) reversed is (x, z, y).
                    int ia = a->getIndexList()[3 * f + c], ib = b->getIndexList()[3 * f + (3 - c) % 3];
                    const _KxDTexVertex &va = a->getVertexList()[ia], &vb = b->getVertexList()[ib];
                    EXPECT_GT(kxdVecDot(&na, &va.normal), 0.0f) << r.name << " mesh " << m << " face " << f;
                    EXPECT_GT(kxdVecDot(&nb, &vb.normal), 0.0f) << r.name << " mesh " << m << " face " << f;
                    EXPECT_EQ(ia, ib);
                    EXPECT_TRUE(kxdVecEqual(&va.position, &vb.position));
                    EXPECT_TRUE(va.normal.x == -vb.normal.x && va.normal.y == -vb.normal.y && va.normal.z == -vb.normal.z);
                }
            }
            if (in->getMeshKind(m) != KXD_MESH_WALL) {
                EXPECT_NEAR(area, covered, 1e-4 * area) << r.name << " mesh " << m;
                continue;
            }
            // The inside lies left of a counter-clockwise outline's stretches.
            for (int q = 0; q < a->getVertexCount(); q += 4) {
                const _KxDTexVertex *v = a->getVertexList() + q;
                float dx = v[2].position.x - v[0].position.x, dy = v[2].position.y - v[0].position.y;
                EXPECT_GT((r.clockwise ? 1 : -1) * (dy * v[0].normal.x - dx * v[0].normal.y), 0) << r.name << q;
            }
        }
    }
}

// A square (2,1)..(6,5) in the area x 0.25..0.75, y 0.5..1: hx = hy = 0.25. Walls: U over
// 0.25..0.75, V = 0.75 - z / (3 / 0.25), so 0.75 at the foot and 0.5 at the top. Floor: wraps
// 4 / 0.25 = 16, U = 0.25 - 2/16 + x/16 (0.25..0.5), V = 1/16 + 0.5 + 0.5 - y/16 (1..0.75);
// the ceiling 0.25 further right.
TEST(WallSurface, laysTheRoomOutInsideItsLightMapArea) {
    auto s = makeSurface({{2, 1, 0, 0}, {6, 1, 0, 0}, {6, 5, 0, 0}, {2, 5, 0, 0}});
    s->setLmCoords(0.75f, 0.25f, 1.0f, 0.5f);
    struct Row {
        _KxDWallMeshKind kind;
        float minU, maxU, minV, maxV;
    } rows[] = {{KXD_MESH_WALL, 0.25f, 0.75f, 0.5f, 0.75f},
                {KXD_MESH_FLOOR, 0.25f, 0.5f, 0.75f, 1.0f},
                {KXD_MESH_CEILING, 0.5f, 0.75f, 0.75f, 1.0f}};
    for (const Row &r : rows) {
        Mesh m = meshOfKind(*s, r.kind, true);
        float lowU = 9, highU = -9, lowV = 9, highV = -9;
        for (int i = 0; i < m->getVertexCount(); i++) {
            const _KxDVector2D &lm = m->getLightMapList()[i];
            lowU = std::fmin(lowU, lm.x), highU = std::fmax(highU, lm.x);
            lowV = std::fmin(lowV, lm.y), highV = std::fmax(highV, lm.y);
        }
        EXPECT_EQ(r.minU, lowU) << r.kind;
        EXPECT_EQ(r.maxU, highU) << r.kind;
        EXPECT_EQ(r.minV, lowV) << r.kind;
        EXPECT_EQ(r.maxV, highV) << r.kind;
    }
    _KxDVector2D at;
    s->getFloorLmCoords(0, &at);  // (2, 1)
    EXPECT_EQ(0.25f, at.x);
    EXPECT_EQ(1.0f, at.y);
    s->getCeilingLmCoords(4.0f, 3.0f, &at);  // the middle
    EXPECT_EQ(0.625f, at.x);
    EXPECT_EQ(0.875f, at.y);
}

// Degenerate input never divides by zero nor loops: every mesh that can be built holds finite
// numbers; an outline that crosses itself has walls but no floor or ceiling, and says why; one
// that touches itself where three of its points end up in a line is filled all the same.
TEST(WallSurface, endsCleanlyOnDegenerateOutlinesAndAreas) {
    struct Row {
        const char *name;
        Outline outline;
        std::function<void(KxDWallSurface &)> setup;
        int meshes;
        const char *problem;
    } rows[] = {
        {"zero area", kSquareCcw, [](KxDWallSurface &s) { s.setLmCoords(0.5f, 0.5f, 0.5f, 0.5f); }, 3, ""},
        {"zero-width area", kSquareCcw, [](KxDWallSurface &s) { s.setLmCoords(0.5f, 0.5f, 0, 1); }, 3, ""},
        {"height 0", kSquareCcw, [](KxDWallSurface &s) { s.setHeight(0); }, 3, ""},
        {"wrap 0", kSquareCcw, [](KxDWallSurface &s) { s.getWallTiling()->setWrap(0); }, 3, ""},
        {"one point twice", {{1, 1, 0, 0}, {1, 1, 0, 0}}, nullptr, 1, ""},
        {"bow tie", {{0, 0, 0, 0}, {4, 4, 0, 0}, {4, 0, 0, 0}, {0, 4, 0, 0}}, nullptr, 1,
         "Wall outline crosses itself: the stretch from (0, 0) to (4, 4) crosses the stretch from (4, 0) to (0, 4)"},
        {"three in a line", {{0, 0, 0, 0}, {1, 1, 0, 0}, {2, 0, 0, 0}, {3, 1, 0, 0}, {4, 0, 0, 0}}, nullptr, 3, ""},
    };
    for (const Row &r : rows) {
        auto s = makeSurface(r.outline);
        if (r.setup) r.setup(*s);
        ASSERT_EQ(r.meshes, s->getMeshCount()) << r.name;
        EXPECT_EQ(r.problem, s->getFloorProblem()) << r.name;
        for (int m = 0; m < s->getMeshCount(); m++) {
            Mesh mesh(s->getMeshData(m, true));
            expectFinite(*mesh, std::string(r.name) + " mesh " + std::to_string(m));
        }
    }
    // The two triangles either side of (2, 0): the way back from (4, 0) to (0, 0) runs through it.
    auto touching = makeSurface(rows[6].outline);
    EXPECT_EQ(2, meshOfKind(*touching, KXD_MESH_FLOOR)->getFaceCount());
    // The zero-sized area puts everything on its one point: (0.5, 0.5).
    auto s = makeSurface(kSquareCcw);
    s->setLmCoords(0.5f, 0.5f, 0.5f, 0.5f);
    Mesh floor = meshOfKind(*s, KXD_MESH_FLOOR, true);
    EXPECT_EQ(0.5f, floor->getLightMapList()[2].x);
    EXPECT_EQ(0.5f, floor->getLightMapList()[2].y);
    // A straight wall has a flat bounding box: U = 0 + 2 / (4 / 0.5), V = 0 + 0 + 0.5 + 0.5.
    auto straight = makeSurface({{0, 0, 0, 0}, {4, 0, 0, 0}});
    _KxDVector2D at;
    straight->getFloorLmCoords(2.0f, 0.0f, &at);
    EXPECT_EQ(0.25f, at.x);
    EXPECT_EQ(1.0f, at.y);
}

// 16,384 pieces of 4 vertices fill 16-bit indices exactly; one more is refused before
// anything is allocated, and so is a floor of more than 65,536 corners.
TEST(WallSurface, refusesMeshesBeyondSixteenBitIndices) {
    Outline line;
    for (int i = 0; i <= 16384; i++) line.push_back({static_cast<float>(i), 0, 0, 0});
    auto s = makeSurface(line, true, false);
    EXPECT_EQ(65536, Mesh(s->getMeshData(0, true))->getVertexCount());
    s->addWallCoord(16385, 0, 0, 0);
    EXPECT_THROW(Mesh(s->getMeshData(0, true)), IOException);

    auto zigzag = makeSurface({}, true, false);
    for (int i = 0; i < 65537; i++) zigzag->addWallCoord(static_cast<float>(i), static_cast<float>(i % 2));
    zigzag->addWallCoord(65536, -5);
    ASSERT_EQ(KXD_MESH_FLOOR, zigzag->getMeshKind(1));
    EXPECT_THROW(Mesh(zigzag->getMeshData(1, false)), IOException);
}

// Each of these changes drops the resolved layout, so the next query sees it.
TEST(WallSurface, dropsTheLayoutOnEveryChangeOfOutlineOrArea) {
    struct Row {
        const char *name;
        std::function<void(KxDWallSurface &)> change;
        std::function<float(KxDWallSurface &)> query;
        float expected;
    } rows[] = {
        {"add", [](KxDWallSurface &s) { s.addWallCoord(-3, 0); }, &KxDWallSurface::getTotalDistance, 20.0f},
        {"insert", [](KxDWallSurface &s) { s.insertWallCoord(1, 2, -2, 0, 0); },
         [](KxDWallSurface &s) { return s.getWallDistance(0); }, std::sqrt(8.0f)},
        {"set", [](KxDWallSurface &s) { s.setWallCoord(1, 8, 0); }, [](KxDWallSurface &s) { return s.getWallDistance(0); },
         8.0f},
        {"remove", [](KxDWallSurface &s) { s.removeWallCoord(3); }, &KxDWallSurface::getTotalDistance,
         4 + 4 + std::sqrt(32.0f)},
        {"open", [](KxDWallSurface &s) { s.setAttachFinalWall(false); }, &KxDWallSurface::getTotalDistance, 12.0f},
        {"area", [](KxDWallSurface &s) { s.setLmCoords(1, 3, 0, 1); }, [](KxDWallSurface &s) { return s.getWallLmX(2); },
         2.0f},
        {"no floor", [](KxDWallSurface &s) { s.setHasFloor(false); },
         [](KxDWallSurface &s) { return static_cast<float>(s.getMeshCount()); }, 2.0f},
        {"no ceiling", [](KxDWallSurface &s) { s.setHasCeiling(false); },
         [](KxDWallSurface &s) { return static_cast<float>(s.getMeshCount()); }, 2.0f},
        // The walls' light-map V at the top: 0.5 - 6 / (6 / 0.5) = 0.
        {"height", [](KxDWallSurface &s) { s.setHeight(6); },
         [](KxDWallSurface &s) { return Mesh(s.getMeshData(0, true))->getLightMapList()[0].y; }, 0.0f},
    };
    for (const Row &r : rows) {
        auto s = makeSurface(kSquareCcw);
        ASSERT_EQ(3, s->getMeshCount());
        r.change(*s);
        EXPECT_FLOAT_EQ(r.expected, r.query(*s)) << r.name;
    }
}
