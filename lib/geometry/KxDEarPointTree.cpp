#include "KxDEarPointTree.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLeafSize = 8;
// Float rounding of the turn test: 2^-24.
constexpr double kFloatUnit = 5.9604644775390625e-8;
// Up to here the float test's differences and products stay far below the float maximum.
constexpr double kFarOut = 1.0e18;

bool isFinitePoint(const _KxDVector2D &p) { return std::isfinite(p.x) && std::isfinite(p.y); }

template <typename Box>
void setEmpty(Box &box) {
    box.minX = box.minY = HUGE_VAL;
    box.maxX = box.maxY = -HUGE_VAL;
}

template <typename Box>
void grow(Box &box, double x, double y) {
    box.minX = std::fmin(box.minX, x);
    box.maxX = std::fmax(box.maxX, x);
    box.minY = std::fmin(box.minY, y);
    box.maxY = std::fmax(box.maxY, y);
}

// Squared distance from p to the box (0 inside it).
template <typename Box>
double distanceToBox(const Box &box, const _KxDVector2D *p) {
    double dx = std::fmax(0.0, std::fmax(box.minX - p->x, p->x - box.maxX));
    double dy = std::fmax(0.0, std::fmax(box.minY - p->y, p->y - box.maxY));
    return dx * dx + dy * dy;
}

}  // namespace

KxDEarPointTree::KxDEarPointTree(const std::vector<_KxDVector2D> &points, const std::vector<int> &members)
    : points(points), removed(points.size(), 1), leafOf(points.size(), -1) {
    for (int i : members) {
        removed[i] = 0;
        (isFinitePoint(points[i]) ? order : unplaced).push_back(i);
    }
    nodes.reserve(2 * order.size() / kLeafSize + 2);
    if (!order.empty()) build(0, static_cast<int>(order.size()), -1);
}

void KxDEarPointTree::remove(int i) {
    removed[i] = 1;
    int n = leafOf[i];
    if (n < 0) return;
    Node &leaf = nodes[n];
    leaf.alive--;
    setEmpty(leaf);
    for (int k = leaf.first; k < leaf.first + leaf.count; k++)
        if (!removed[order[k]]) grow(leaf, points[order[k]].x, points[order[k]].y);
    for (n = leaf.parent; n >= 0; n = nodes[n].parent) {
        Node &node = nodes[n];
        node.alive--;
        setEmpty(node);
        for (int child : {node.left, node.right}) {
            const Node &part = nodes[child];
            if (part.alive == 0) continue;
            grow(node, part.minX, part.minY);
            grow(node, part.maxX, part.maxY);
        }
    }
}

int KxDEarPointTree::build(int first, int count, int parent) {
    int self = static_cast<int>(nodes.size());
    Node box = {0, 0, 0, 0, first, count, -1, -1, parent, count};
    setEmpty(box);
    for (int k = first; k < first + count; k++) grow(box, points[order[k]].x, points[order[k]].y);
    nodes.push_back(box);
    if (count <= kLeafSize) {
        for (int k = first; k < first + count; k++) leafOf[order[k]] = self;
        return self;
    }
    // Halves along the longer side of the box.
    bool alongX = box.maxX - box.minX >= box.maxY - box.minY;
    int half = count / 2;
    std::nth_element(order.begin() + first, order.begin() + first + half, order.begin() + first + count,
                     [&](int i, int j) { return alongX ? points[i].x < points[j].x : points[i].y < points[j].y; });
    int left = build(first, half, self);
    int right = build(first + half, count - half, self);
    nodes[self].left = left;
    nodes[self].right = right;
    return self;
}

bool KxDEarPointTree::leftIsNearer(const Node &node, const _KxDVector2D *p) const {
    return distanceToBox(nodes[node.left], p) <= distanceToBox(nodes[node.right], p);
}

// --- Triangle --------------------------------------------------------------------------------

KxDEarPointTree::Triangle::Triangle(const _KxDVector2D *a, const _KxDVector2D *b, const _KxDVector2D *c)
    : corners{a, b, c}, inReach(true) {
    for (int e = 0; e < 3; e++) {
        const _KxDVector2D *p = corners[e], *q = corners[(e + 1) % 3];
        ex[e] = static_cast<double>(q->x) - p->x;
        ey[e] = static_cast<double>(q->y) - p->y;
        size[e] = std::fabs(ex[e]) + std::fabs(ey[e]);
        inReach = inReach && std::fabs(p->x) <= kFarOut && std::fabs(p->y) <= kFarOut;
    }
    twiceArea = cross(0, c->x, c->y);
}

// Twice the signed area of the triangle (p, q, (x, y)) for the edge from p to q.
double KxDEarPointTree::Triangle::cross(int edge, double x, double y) const {
    const _KxDVector2D *p = corners[edge];
    return ex[edge] * (y - p->y) - ey[edge] * (x - p->x);
}

// What float rounding can change in the turn test of a point of the box against the edge: at
// most 4 x 2^-24 x |edge| x |point - start of the edge| (L1 lengths); here twice that.
double KxDEarPointTree::Triangle::rounding(int edge, const Node &box) const {
    const _KxDVector2D *p = corners[edge];
    double dx = std::fmax(std::fabs(box.minX - p->x), std::fabs(box.maxX - p->x));
    double dy = std::fmax(std::fabs(box.minY - p->y), std::fabs(box.maxY - p->y));
    return 8.0 * kFloatUnit * size[edge] * (dx + dy) + 1.0e-40;
}

bool KxDEarPointTree::Triangle::passesOver(const Node &box) const {
    if (!inReach || std::fabs(box.minX) > kFarOut || std::fabs(box.maxX) > kFarOut || std::fabs(box.minY) > kFarOut ||
        std::fabs(box.maxY) > kFarOut)
        return false;
    // side[e]: +1 when the float test gives every point of the box a left turn against edge e,
    // -1 when a right turn, 0 when it may give either or none.
    int side[3];
    double margins = 0.0;
    for (int e = 0; e < 3; e++) {
        double low = HUGE_VAL, high = -HUGE_VAL;
        for (double x : {box.minX, box.maxX}) {
            for (double y : {box.minY, box.maxY}) {
                low = std::fmin(low, cross(e, x, y));
                high = std::fmax(high, cross(e, x, y));
            }
        }
        double margin = rounding(e, box);
        margins += margin;
        side[e] = low > margin ? 1 : (high < -margin ? -1 : 0);
    }
    for (int e = 0; e < 3; e++)
        if (side[e] != 0 && (side[(e + 1) % 3] == -side[e] || side[(e + 2) % 3] == -side[e])) return true;
    // One edge is enough when the area is too large for the other two to come out zero or on
    // the same outer side.
    if (std::fabs(twiceArea) <= margins) return false;
    int outer = twiceArea > 0.0 ? -1 : 1;
    return side[0] == outer || side[1] == outer || side[2] == outer;
}
