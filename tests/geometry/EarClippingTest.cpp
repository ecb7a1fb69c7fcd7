// The floor of a wall surface is cut by ear clipping. The surface skips the co-ordinates that
// a clip cannot have changed and looks for points in a candidate ear through a tree of boxes;
// these tests hold it to the plain rule, a walk over every remaining co-ordinate that tests
// every other one against each candidate, on outlines built to stress the shortcuts: grids full
// of collinear and repeated points, nearly straight zigzags, outlines that touch or cross
// themselves, and spirals whose ears lie far apart along the outline. Where float rounding
// decides an ear of the plain rule, the surface clips with the exact turn test instead; so
// every outline that does not meet itself is filled exactly, which thousands of generated ones
// on a whole-number grid (where the areas can be summed without rounding) show.

#include "KxDWallSurface.h"

#include "KxDExactTurn.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct Point {
    float x, y;
};
using Outline = std::vector<Point>;
using Triangles = std::vector<int>;

// The turn at b on the way from a to c, in floats as the surface computes it.
int turnOf(const _WallPos *a, const _WallPos *b, const _WallPos *c) {
    float abx = b->x - a->x, aby = b->y - a->y, acx = c->x - a->x, acy = c->y - a->y;
    float cross = abx * acy - aby * acx;
    return cross > 0.0f ? 1 : (cross < 0.0f ? -1 : 0);
}

// The float turn cannot be wrong: the cross product is far larger than what rounding changes
// in it.
bool turnIsClear(const _WallPos *a, const _WallPos *b, const _WallPos *c) {
    float abx = b->x - a->x, aby = b->y - a->y, acx = c->x - a->x, acy = c->y - a->y;
    float cross = abx * acy - aby * acx;
    return std::fabs(cross) > 1.0e-4f * (std::fabs(abx * acy) + std::fabs(aby * acx));
}

int exactTurnOf(const _WallPos *a, const _WallPos *b, const _WallPos *c) {
    _KxDVector2D pa = {a->x, a->y}, pb = {b->x, b->y}, pc = {c->x, c->y};
    return kxdExactTurn(&pa, &pb, &pc);
}

bool inTriangle(int (*turn)(const _WallPos *, const _WallPos *, const _WallPos *), const _WallPos *a,
                const _WallPos *b, const _WallPos *c, const _WallPos *m) {
    int s1 = turn(a, b, m), s2 = turn(b, c, m), s3 = turn(c, a, m);
    return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

bool samePlace(const _WallPos *a, const _WallPos *b) { return a->x == b->x && a->y == b->y; }

// The plain rule; false when a full round finds no ear. Each triangle as the surface writes an
// interior floor's, in ranks: (previous, next, corner) when the outline runs clockwise, else
// (previous, corner, next). `misjudged` is set when float rounding decided something: a point
// left out as straight that truly turns, an ear that does not truly turn the outline's way or
// that truly holds a point the float test places outside.
bool clipEveryEar(KxDWallSurface &s, Triangles *out, bool *misjudged) {
    int n = s.getWallCoordCount();
    std::vector<int> side(n), rank(n, -1), ring;
    for (int i = 0; i < n; i++) {
        side[i] = s.getPointSide(i);
        if (side[i] != 0) {
            rank[i] = static_cast<int>(ring.size());
            ring.push_back(i);
        } else if (!samePlace(s.getWallCoord(i), s.getWallCoord((i + n - 1) % n))) {
            int next = (i + 1) % n;
            while (samePlace(s.getWallCoord(next), s.getWallCoord(i))) next = (next + 1) % n;
            if (exactTurnOf(s.getWallCoord((i + n - 1) % n), s.getWallCoord(i), s.getWallCoord(next)) != 0)
                *misjudged = true;
        }
    }
    const bool clockwise = s.getIsClockwise();
    const int turn = clockwise ? -1 : 1;
    size_t at = 0, visits = 0;
    while (ring.size() > 2) {
        if (visits++ >= ring.size()) return false;
        at %= ring.size();
        size_t count = ring.size();
        int a = ring[(at + count - 1) % count], k = ring[at], c = ring[(at + 1) % count];
        if (side[k] != turn) {
            at++;
            continue;
        }
        const _WallPos *pa = s.getWallCoord(a), *pk = s.getWallCoord(k), *pc = s.getWallCoord(c);
        bool holds = false;
        for (size_t j = 2; j + 1 < count && !holds; j++) {
            const _WallPos *m = s.getWallCoord(ring[(at + j) % count]);
            holds = inTriangle(turnOf, pa, pk, pc, m);
            bool clear = turnIsClear(pa, pk, m) && turnIsClear(pk, pc, m) && turnIsClear(pc, pa, m);
            if (!holds && !clear && inTriangle(exactTurnOf, pa, pk, pc, m)) *misjudged = true;
        }
        if (holds) {
            at++;
            continue;
        }
        if (exactTurnOf(pa, pk, pc) != turn) *misjudged = true;
        out->insert(out->end(), {rank[a], clockwise ? rank[c] : rank[k], clockwise ? rank[k] : rank[c]});
        ring.erase(ring.begin() + static_cast<long>(at));
        count--;
        int na = ring[(at + count - 1) % count], nc = ring[at % count];
        side[na] = turnOf(s.getWallCoord(ring[(at + count - 2) % count]), s.getWallCoord(na), s.getWallCoord(nc));
        side[nc] = turnOf(s.getWallCoord(na), s.getWallCoord(nc), s.getWallCoord(ring[(at + 1) % count]));
        visits = 0;
    }
    return true;
}

std::unique_ptr<KxDWallSurface> floorOf(const Outline &outline) {
    std::unique_ptr<KxDWallSurface> s(new KxDWallSurface(3.0f, true, false));
    s->setIsInterior(true);
    for (const Point &p : outline) s->addWallCoord(p.x, p.y);
    return s;
}

// The floor mesh (the walls come first), or null.
std::unique_ptr<KxDMeshData> floorMesh(KxDWallSurface &s) {
    if (s.getMeshCount() < 2) return nullptr;
    return std::unique_ptr<KxDMeshData>(s.getMeshData(1, false));
}

// n corners at random angles and distances from the centre (a twentieth of `reach` to
// `reach`), snapped to a grid of the given step (none for 0): a coarse grid puts many corners
// on a line and some on top of each other.
Outline star(std::mt19937 &random, int n, float step, float reach = 20.0f) {
    std::uniform_real_distribution<float> angle(0.0f, 6.2831853f), radius(reach / 20.0f, reach);
    std::vector<float> angles(n);
    for (float &a : angles) a = angle(random);
    std::sort(angles.begin(), angles.end());
    Outline o;
    for (float a : angles) {
        float r = radius(random);
        Point p = {r * std::cos(a), r * std::sin(a)};
        o.push_back(step > 0 ? Point{std::round(p.x / step) * step, std::round(p.y / step) * step} : p);
    }
    return o;
}

// Corners anywhere on a small grid: mostly outlines that cross or touch themselves.
Outline scribble(std::mt19937 &random, int n) {
    std::uniform_int_distribution<int> cell(0, 5);
    Outline o;
    for (int i = 0; i < n; i++) o.push_back({static_cast<float>(cell(random)), static_cast<float>(cell(random))});
    return o;
}

// A zigzag a few float steps high along a slanted line, closed below: its ears are slivers
// that float rounding can barely tell from a line.
Outline nearlyStraight(std::mt19937 &random, int n) {
    std::uniform_int_distribution<int> wiggle(-2, 2);
    Outline o;
    for (int i = 0; i < n; i++) {
        float x = 0.1f * static_cast<float>(i);
        float y = 0.3f * x;
        o.push_back({x, std::nextafter(y, wiggle(random) > 0 ? 100.0f : -100.0f)});
    }
    o.push_back({0.1f * static_cast<float>(n), -5.0f});
    return o;
}

// A corner whose ear is bounded by the chord from a to c, and the tip of a notch from the other
// side on that chord as far as floats can place it there: whether the tip lies in the ear
// (edges included) is up to the rounding of the turn test.
Outline notch(std::mt19937 &random) {
    std::uniform_real_distribution<float> at(-10.0f, 10.0f), along(0.05f, 0.95f);
    Point a = {at(random), at(random)}, c = {at(random), at(random)};
    float t = along(random), dx = c.x - a.x, dy = c.y - a.y;
    Point tip = {a.x + t * dx, a.y + t * dy};
    // The corner below the chord; above it the notch's two curved sides, down to the tip from
    // d and back up to e, with enough corners that the tree keeps the tip in a box of its own.
    Point k = {a.x + 0.5f * dx + dy, a.y + 0.5f * dy - dx};
    Outline o = {k, c};  // the walk starts at the corner
    for (int side = 0; side < 2; side++) {
        for (int i = 0; i < 12; i++) {
            float u = static_cast<float>(side ? i + 1 : 12 - i) / 12.0f, w = u * u;
            Point from = side ? a : c;
            o.push_back({tip.x + (from.x - tip.x) * u - dy * w, tip.y + (from.y - tip.y) * u + dx * w});
        }
        if (side == 0) o.push_back(tip);
    }
    o.push_back(a);
    return o;
}

// A band wound `turns` times around the centre, going in along one edge and out along the
// other. With few corners to a turn, a corner's ear reaches over the neighbouring windings,
// whose corners lie far away along the outline.
Outline spiral(int n, float turns) {
    Outline in, out;
    int half = n / 2;
    float band = 36.0f / turns;  // 0.4 of the distance between windings
    for (int i = 0; i < half; i++) {
        float t = static_cast<float>(i) / static_cast<float>(half);
        float a = 6.2831853f * turns * t, r = 100.0f * (1.0f - 0.9f * t);
        in.push_back({r * std::cos(a), r * std::sin(a)});
        out.push_back({(r - band) * std::cos(a), (r - band) * std::sin(a)});
    }
    in.insert(in.end(), out.rbegin(), out.rend());
    return in;
}

// --- Checks without rounding ------------------------------------------------------------
// Every float is a whole number times a power of two: an outline's co-ordinates, all scaled by
// one power of two to whole numbers below 2^56, have turns and areas that 128 bits hold.

using Wide = __int128;
struct ExactPoint {
    Wide x, y;
    bool operator==(const ExactPoint &o) const { return x == o.x && y == o.y; }
    bool operator!=(const ExactPoint &o) const { return !(*this == o); }
};

// The power of two that makes every co-ordinate whole; false when that would not fit.
bool exactScale(const Outline &o, int *scale) {
    int needed = -1000, largest = -1000;
    for (const Point &p : o) {
        for (float f : {p.x, p.y}) {
            if (f == 0.0f) continue;
            int e;
            std::frexp(f, &e);
            needed = std::max(needed, 24 - e);
            largest = std::max(largest, e);
        }
    }
    *scale = std::max(needed, 0);
    return largest + *scale <= 56;
}

ExactPoint exactOf(float x, float y, int scale) {
    return {static_cast<Wide>(std::ldexp(static_cast<double>(x), scale)),
            static_cast<Wide>(std::ldexp(static_cast<double>(y), scale))};
}

Wide cross(const ExactPoint &a, const ExactPoint &b, const ExactPoint &c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

Wide twiceArea(const std::vector<ExactPoint> &o) {
    Wide area = 0;
    for (size_t i = 1; i + 1 < o.size(); i++) area += cross(o[0], o[i], o[i + 1]);
    return area;
}

// Simple: apart from points repeated one after the other, no stretch meets another except
// where they follow each other, and two that follow each other do not run back over each
// other; some area enclosed.
bool isSimple(const Outline &outline) {
    int scale;
    if (!exactScale(outline, &scale)) return false;
    std::vector<ExactPoint> p;
    for (const Point &f : outline) {
        ExactPoint q = exactOf(f.x, f.y, scale);
        if (p.empty() || p.back() != q) p.push_back(q);
    }
    while (p.size() > 1 && p.back() == p[0]) p.pop_back();
    size_t n = p.size();
    if (n < 3 || twiceArea(p) == 0) return false;
    auto sign = [](Wide v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); };
    auto within = [](const ExactPoint &a, const ExactPoint &b, const ExactPoint &m) {
        return std::min(a.x, b.x) <= m.x && m.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= m.y &&
               m.y <= std::max(a.y, b.y);
    };
    for (size_t i = 0; i < n; i++) {
        const ExactPoint &a = p[i], &b = p[(i + 1) % n], &c = p[(i + 2) % n];
        // Back over the stretch before: c on the line through a and b, on a's side of b.
        if (cross(a, b, c) == 0 && (c.x - b.x) * (a.x - b.x) + (c.y - b.y) * (a.y - b.y) > 0) return false;
        for (size_t j = i + 2; j < n; j++) {
            if (i == 0 && j == n - 1) continue;
            const ExactPoint &e = p[j], &f = p[(j + 1) % n];
            if (std::max(e.x, f.x) < std::min(a.x, b.x) || std::max(a.x, b.x) < std::min(e.x, f.x) ||
                std::max(e.y, f.y) < std::min(a.y, b.y) || std::max(a.y, b.y) < std::min(e.y, f.y))
                continue;  // their boxes lie apart
            int o1 = sign(cross(a, b, e)), o2 = sign(cross(a, b, f)), o3 = sign(cross(e, f, a)),
                o4 = sign(cross(e, f, b));
            if (o1 * o2 < 0 && o3 * o4 < 0) return false;
            if ((o1 == 0 && within(a, b, e)) || (o2 == 0 && within(a, b, f)) || (o3 == 0 && within(e, f, a)) ||
                (o4 == 0 && within(e, f, b)))
                return false;
        }
    }
    return true;
}

// The floor fills the outline: every triangle turns the floor's way, and twice their areas add
// up to twice the outline's, exactly. Outlines whose co-ordinates span too many powers of two
// for 128 bits are not checked.
void expectFilledExactly(const Outline &outline, const KxDMeshData &floor, const std::string &name) {
    int scale;
    if (!exactScale(outline, &scale)) return;
    std::vector<ExactPoint> exact;
    for (const Point &p : outline) exact.push_back(exactOf(p.x, p.y, scale));
    const _KxDTexVertex *v = floor.getVertexList();
    auto at = [&](int index) {
        const _KxDVector3D &p = v[floor.getIndexList()[index]].position;
        return exactOf(p.x, p.y, scale);
    };
    Wide sum = 0;
    for (int t = 0; t < floor.getFaceCount(); t++) {
        Wide twice = cross(at(3 * t), at(3 * t + 1), at(3 * t + 2));
        ASSERT_GT(twice, 0) << name << ": triangle " << t;
        sum += twice;
    }
    Wide area = twiceArea(exact);
    EXPECT_TRUE(sum == (area < 0 ? -area : area)) << name << ": the triangles cover "
                                                  << static_cast<double>(sum) / static_cast<double>(area);
}

// The surface against the plain rule: the same triangles in the same order wherever rounding
// decides nothing; elsewhere, and where the plain rule runs out of ears, a floor that fills
// the outline (checked where its co-ordinates allow it, see expectFilledExactly), unless the
// outline meets itself.
void expectSameEars(const Outline &outline, const std::string &name) {
    auto s = floorOf(outline);
    Triangles expected;
    bool misjudged = false;
    bool clipped = clipEveryEar(*s, &expected, &misjudged);
    std::unique_ptr<KxDMeshData> floor = floorMesh(*s);
    if (!floor) return;  // fewer than 3 co-ordinates turn, or the outline meets itself
    if (clipped && !misjudged) {
        Triangles made(floor->getIndexList(), floor->getIndexList() + floor->getIndexCount());
        EXPECT_EQ(expected, made) << name;
    }
    expectFilledExactly(outline, *floor, name);
}

// --- Outlines on a whole-number grid -------------------------------------------------------
// Co-ordinates are whole numbers below 2^23, which floats hold exactly.

using GridPoint = std::array<int64_t, 2>;
using GridOutline = std::vector<GridPoint>;

Outline asFloats(const GridOutline &o) {
    Outline out;
    for (const GridPoint &p : o) out.push_back({static_cast<float>(p[0]), static_cast<float>(p[1])});
    return out;
}

// A star on the grid, up to `reach` from the centre.
GridOutline gridStar(std::mt19937 &random, int n, float reach) {
    GridOutline o;
    for (const Point &p : star(random, n, 1.0f, reach)) o.push_back({std::llround(p.x), std::llround(p.y)});
    return o;
}

// Columns `width` wide of random heights standing on a floor line that has a point under
// every column edge (a long run of points in a line), stepped along the top.
GridOutline histogram(std::mt19937 &random, int columns, int64_t width) {
    std::uniform_int_distribution<int64_t> height(1, 8);
    std::vector<int64_t> heights(columns);
    for (int64_t &h : heights) h = height(random) * width;
    GridOutline o;
    for (int c = 0; c <= columns; c++) o.push_back({c * width, 0});
    for (int c = columns - 1; c >= 0; c--) {
        o.push_back({(c + 1) * width, heights[c]});
        o.push_back({c * width, heights[c]});
    }
    return o;
}

// A comb: `teeth` slots cut alternately from the bottom and from the top of a `size` square,
// each reaching to `gap` from the other side, so every slot's end nearly touches the edge
// across from it.
GridOutline comb(int teeth, int64_t size, int64_t gap) {
    int64_t pitch = size / (2 * teeth + 1);
    GridOutline o = {{0, 0}};
    for (int t = 0; t < teeth; t++) {
        if (t % 2 == 1) continue;
        int64_t x = (2 * t + 1) * pitch;
        o.insert(o.end(), {{x, 0}, {x, size - gap}, {x + pitch, size - gap}, {x + pitch, 0}});
    }
    o.push_back({size, 0});
    o.push_back({size, size});
    for (int t = teeth - 1; t >= 0; t--) {
        if (t % 2 == 0) continue;
        int64_t x = (2 * t + 1) * pitch;
        o.insert(o.end(), {{x + pitch, size}, {x + pitch, gap}, {x, gap}, {x, size}});
    }
    o.push_back({0, size});
    return o;
}

// Adds, each where the outline stays simple: a point repeated after itself, a run of points in
// a line along a stretch, a thin spike out of a stretch and a thin notch into it (one grid
// step wide at the base, reaching far).
GridOutline withFeatures(std::mt19937 &random, GridOutline o) {
    std::uniform_int_distribution<int> kind(0, 3), reach(1, 40);
    std::uniform_real_distribution<double> share(0.05, 0.95);
    int features = 1 + static_cast<int>(random() % 6);
    for (int f = 0; f < features; f++) {
        size_t i = random() % o.size();
        const GridPoint p = o[i], q = o[(i + 1) % o.size()];
        GridOutline added;
        switch (kind(random)) {
        case 0:
            added = {p};
            break;
        case 1: {  // points on the stretch where whole numbers put them exactly on it
            int64_t dx = q[0] - p[0], dy = q[1] - p[1];
            for (int64_t parts = 6; parts >= 2; parts--) {
                if (dx % parts || dy % parts) continue;
                for (int64_t k = 1; k < parts; k++) added.push_back({p[0] + dx / parts * k, p[1] + dy / parts * k});
                break;
            }
            break;
        }
        default: {  // a spike (2) or a notch (3), its tip square to the stretch from its base
            double t = share(random), length = std::hypot(double(q[0] - p[0]), double(q[1] - p[1]));
            if (length < 4) break;
            GridPoint base = {p[0] + std::llround(t * (q[0] - p[0])), p[1] + std::llround(t * (q[1] - p[1]))};
            GridPoint next = {base[0] + std::llround((q[0] - p[0]) / length), base[1] + std::llround((q[1] - p[1]) / length)};
            double away = length * reach(random) / 20.0 * (kind(random) % 2 ? 1 : -1) * (random() % 2 ? 1.0 : 0.05);
            GridPoint tip = {base[0] + std::llround(-(q[1] - p[1]) / length * away),
                             base[1] + std::llround((q[0] - p[0]) / length * away)};
            added = {base, tip, next};
            break;
        }
        }
        GridOutline tried = o;
        tried.insert(tried.begin() + static_cast<long>(i) + 1, added.begin(), added.end());
        if (isSimple(asFloats(tried))) o = tried;
    }
    return o;
}

// `steps` float steps from v towards `to`.
float stepsTowards(float v, float to, int steps) {
    for (int i = 0; i < steps && v != to; i++) v = std::nextafter(v, to);
    return v;
}

// A star in floats whose stretches carry thin spikes out and thin notches in, each a few float
// steps wide at its base: whether its tip turns, and whether a notch's tip lies in an ear,
// is too close for float rounding to call.
Outline spikyStar(std::mt19937 &random, int corners, int spikes) {
    std::uniform_real_distribution<float> along(0.1f, 0.9f), reach(0.05f, 0.98f);
    Outline o = star(random, corners, 0.0f, 1000.0f);
    for (int k = 0; k < spikes; k++) {
        size_t i = random() % o.size();
        Point p = o[i], q = o[(i + 1) % o.size()];
        float t = along(random);
        Point base = {p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)};
        int width = 1 + static_cast<int>(random() % 6);
        Point next = {stepsTowards(base.x, q.x, width), stepsTowards(base.y, q.y, width)};
        // Out of the star (a spike) or into it towards the centre (a notch).
        float out = random() % 2 ? 1.0f + 2.0f * reach(random) : 1.0f - reach(random);
        Point tip = {base.x * out, base.y * out};
        Outline tried = o;
        tried.insert(tried.begin() + static_cast<long>(i) + 1, {base, tip, next});
        if (isSimple(tried)) o = tried;
    }
    return o;
}

}  // namespace

TEST(EarClipping, cutsTheEarsThePlainRuleCutsInTheSameOrder) {
    std::mt19937 random(18);
    for (int round = 0; round < 300; round++) {
        int n = 4 + round % 60;
        expectSameEars(star(random, n, round % 3 == 0 ? 1.0f : 0.01f), "star " + std::to_string(round));
        expectSameEars(scribble(random, 4 + round % 9), "scribble " + std::to_string(round));
        expectSameEars(notch(random), "notch " + std::to_string(round));
        if (round % 10 == 0) expectSameEars(nearlyStraight(random, 5 + round), "zigzag " + std::to_string(round));
    }
    for (int n : {40, 400, 4000}) {
        for (float turns : {3.0f, n / 16.0f}) expectSameEars(spiral(n, turns), "spiral " + std::to_string(n));
    }
}

// Thousands of simple outlines, either way round: stars from a few to sixty corners and
// from a hundred to millions of grid steps across, columns with long runs of points in a
// line, combs whose slots end one grid step from the edge across, each with repeated points,
// runs in a line, thin spikes and notches added; and in floats, stars with spikes and notches
// a few float steps wide, and corners with a notch's tip on their ear's edge as far as floats
// can place it there. Every one is filled.
TEST(EarClipping, fillsEverySimpleOutline) {
    std::mt19937 random(26);
    const float radii[] = {100.0f, 1.0e4f, 4.0e6f};
    int filled = 0;
    for (int round = 0; round < 1200; round++) {
        Outline o;
        switch (round % 5) {
        case 0: o = asFloats(withFeatures(random, gridStar(random, 3 + round % 60, radii[round % 15 / 5]))); break;
        case 1: o = asFloats(withFeatures(random, histogram(random, 1 + round % 25, round % 2 ? 1 : 1000))); break;
        case 2: o = asFloats(withFeatures(random, comb(1 + round % 20, 60000 + round, 1 + round % 4))); break;
        case 3: o = spikyStar(random, 3 + round % 40, 1 + round % 12); break;
        case 4: o = notch(random); break;
        }
        if (!isSimple(o)) continue;  // a star whose rounding made it touch itself
        if (random() % 4 == 0) o.push_back(o[0]);
        for (bool reversed : {false, true}) {
            if (reversed) std::reverse(o.begin(), o.end());
            const std::string name = "outline " + std::to_string(round) + (reversed ? " reversed" : "");
            auto s = floorOf(o);
            ASSERT_EQ("", s->getFloorProblem()) << name;
            std::unique_ptr<KxDMeshData> floor = floorMesh(*s);
            ASSERT_NE(nullptr, floor) << name;
            expectFilledExactly(o, *floor, name);
            filled++;
        }
    }
    EXPECT_GT(filled, 2000);
}

// Three points that lie exactly on one line, however far apart their co-ordinates' sizes,
// and the same with the last moved by the smallest float step either way.
TEST(ExactTurn, decidesPointsOnALineAndOneFloatStepBeside) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> small(-9, 9), exponent(-60, 60);
    int checked = 0;
    for (int round = 0; round < 2000; round++) {
        int dx = small(random), dy = small(random);
        if (dx == 0 && dy == 0) continue;
        // Powers of two times a direction of small whole numbers: exact floats on one line
        // through the origin.
        float s[3];
        for (float &f : s) f = std::ldexp(static_cast<float>(random() % 2 ? 1 : -1), exponent(random));
        _KxDVector2D a = {dx * s[0], dy * s[0]}, b = {dx * s[1], dy * s[1]}, c = {dx * s[2], dy * s[2]};
        if (a.x == b.x && a.y == b.y) continue;
        EXPECT_EQ(0, kxdExactTurn(&a, &b, &c)) << round;
        for (float towards : {-INFINITY, INFINITY}) {
            // Moving c along X by e changes the cross product by -(b.y - a.y) e; along Y by
            // (b.x - a.x) e.
            _KxDVector2D cx = {std::nextafter(c.x, towards), c.y}, cy = {c.x, std::nextafter(c.y, towards)};
            int e = towards > 0 ? 1 : -1;
            int alongX = b.y > a.y ? -e : (b.y < a.y ? e : 0), alongY = b.x > a.x ? e : (b.x < a.x ? -e : 0);
            EXPECT_EQ(alongX, kxdExactTurn(&a, &b, &cx)) << round;
            EXPECT_EQ(alongY, kxdExactTurn(&a, &b, &cy)) << round;
        }
        checked++;
    }
    EXPECT_GT(checked, 1500);
}
