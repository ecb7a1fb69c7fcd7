#ifndef KX_GEOMETRY_KXDEARPOINTTREE_H
#define KX_GEOMETRY_KXDEARPOINTTREE_H

#include "KxDVector.h"

#include <cstdint>
#include <vector>

// The points left to ear clipping, in a tree of nested boxes, so that the search for a point
// inside a candidate ear looks only into the boxes the ear's triangle reaches instead of at
// every point left: for the shapes rooms have, a search looks at a few boxes, so an outline of
// tens of thousands of points is cut in well under a second instead of testing every point
// against every ear.
//
// The ear test is the float turn test or the exact one (a point lies in the triangle, edges
// included, when it is on the same side of all three edges or on them). A box is passed over
// only when every point in it fails the float test for certain, beyond what float rounding can
// change in it, and so fails the exact test too: two edges see the whole box on opposite
// sides; or, for a triangle whose area is larger than that rounding, one edge sees it on the
// outer side (the three edges' turn values of a point add up to twice the area, so they cannot
// all come out on the outer side or zero). So a search finds what testing every point finds,
// for flat and nearly flat triangles too. Points that
// are not finite numbers, which no box holds, are tested always, and so are boxes so far out
// that the float test itself overflows there.
class KxDEarPointTree {
public:
    // The points `members` (indices into `points`); `points` must outlive the tree unchanged.
    KxDEarPointTree(const std::vector<_KxDVector2D> &points, const std::vector<int> &members);
    KxDEarPointTree(const KxDEarPointTree &) = delete;
    KxDEarPointTree &operator=(const KxDEarPointTree &) = delete;

    // Takes point i out; the boxes above it shrink to what is left in them.
    void remove(int i);

    // The first point left for which `holds(m)` (the caller's turn test, which also leaves out
    // a, b and c themselves) is true, among those that may lie in the triangle of the points
    // a, b and c, nearest b first; -1 when there is none.
    template <typename Test>
    int findInside(int a, int b, int c, Test holds) const;

private:
    // The points order[first .. first + count) lie in the box; an inner node has two halves,
    // a leaf -1 there. `alive` counts the points not removed.
    struct Node {
        double minX, minY, maxX, maxY;
        int first, count, left, right, parent, alive;
    };

    // A candidate ear, for deciding which boxes cannot hold a point it holds.
    class Triangle {
    public:
        Triangle(const _KxDVector2D *a, const _KxDVector2D *b, const _KxDVector2D *c);
        // Every point of the box fails the turn test against the triangle.
        bool passesOver(const Node &box) const;

    private:
        double cross(int edge, double x, double y) const;
        double rounding(int edge, const Node &box) const;

        const _KxDVector2D *corners[3];
        double ex[3], ey[3], size[3];
        double twiceArea;
        bool inReach;  // the corners lie where the float test cannot overflow
    };

    int build(int first, int count, int parent);
    // True when the left half of `node` lies nearer to p than the right one.
    bool leftIsNearer(const Node &node, const _KxDVector2D *p) const;

    const std::vector<_KxDVector2D> &points;
    std::vector<uint8_t> removed;
    std::vector<int> leafOf;
    std::vector<int> unplaced;  // points that are not finite numbers
    std::vector<int> order;
    std::vector<Node> nodes;
    mutable std::vector<int> stack;
};

template <typename Test>
int KxDEarPointTree::findInside(int a, int b, int c, Test holds) const {
    for (int m : unplaced)
        if (!removed[m] && holds(m)) return m;
    Triangle triangle(&points[a], &points[b], &points[c]);
    stack.clear();
    if (!nodes.empty()) stack.push_back(0);
    while (!stack.empty()) {
        const Node &node = nodes[stack.back()];
        stack.pop_back();
        if (node.alive == 0 || triangle.passesOver(node)) continue;
        if (node.left < 0) {
            for (int k = node.first; k < node.first + node.count; k++)
                if (!removed[order[k]] && holds(order[k])) return order[k];
        } else {
            // A point in the way of an ear mostly lies close to its corner b.
            bool leftFirst = leftIsNearer(node, &points[b]);
            stack.push_back(leftFirst ? node.right : node.left);
            stack.push_back(leftFirst ? node.left : node.right);
        }
    }
    return -1;
}

#endif
