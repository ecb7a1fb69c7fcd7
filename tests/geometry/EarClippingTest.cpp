// The floor of a wall surface is cut by ear clipping. The surface skips the co-ordinates that
// a clip cannot have changed and looks for points in a candidate ear through a tree of boxes;
// these tests hold it to the plain rule, a walk over every remaining co-ordinate that tests
// every other one against each candidate, on outlines built to stress the shortcuts: grids full
// of collinear and repeated points, nearly straight zigzags, outlines that touch or cross
// themselves, and spirals whose ears lie far apart along the outline.

#include "KxDWallSurface.h"

#include "IOException.h"

#include <algorithm>
#include <cmath>
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

// The plain rule; false when a full round finds no ear. Each triangle as the surface writes an
// interior floor's, in ranks: (previous, next, corner) when the outline runs clockwise, else
// (previous, corner, next).
bool clipEveryEar(KxDWallSurface &s, Triangles *out) {
    int n = s.getWallCoordCount();
    std::vector<int> side(n), rank(n, -1), ring;
    for (int i = 0; i < n; i++) {
        side[i] = s.getPointSide(i);
        if (side[i] != 0) {
            rank[i] = static_cast<int>(ring.size());
            ring.push_back(i);
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
            int s1 = turnOf(pa, pk, m), s2 = turnOf(pk, pc, m), s3 = turnOf(pc, pa, m);
            holds = (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
        }
        if (holds) {
            at++;
            continue;
        }
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

// n corners at random angles and distances from the centre, snapped to a grid of the given
// step: a coarse grid puts many corners on a line and some on top of each other.
Outline star(std::mt19937 &random, int n, float step) {
    std::uniform_real_distribution<float> angle(0.0f, 6.2831853f), radius(1.0f, 20.0f);
    std::vector<float> angles(n);
    for (float &a : angles) a = angle(random);
    std::sort(angles.begin(), angles.end());
    Outline o;
    for (float a : angles) {
        float r = radius(random);
        o.push_back({std::round(r * std::cos(a) / step) * step, std::round(r * std::sin(a) / step) * step});
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

void expectSameEars(const Outline &outline, const std::string &name) {
    auto s = floorOf(outline);
    Triangles expected;
    bool simple = clipEveryEar(*s, &expected);
    if (s->getMeshCount() < 2) return;  // the walls, then the floor when 3 co-ordinates turn
    try {
        std::unique_ptr<KxDMeshData> floor(s->getMeshData(1, false));
        ASSERT_TRUE(simple) << name << ": the rule finds no ear where the surface did";
        Triangles made(floor->getIndexList(), floor->getIndexList() + floor->getIndexCount());
        EXPECT_EQ(expected, made) << name;
    } catch (const IOException &e) {
        EXPECT_FALSE(simple) << name << ": " << e.getErrorString();
    }
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
