#include "KxDOutlineCrossings.h"

#include "KxDExactTurn.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLeafSize = 8;

struct Box {
    float minX, minY, maxX, maxY;
    bool overlaps(const Box &other) const {
        return minX <= other.maxX && other.minX <= maxX && minY <= other.maxY && other.minY <= maxY;
    }
};

// The stretches order[first .. first + count) lie in the box; an inner node has two halves,
// a leaf -1 there.
struct Node {
    Box box;
    int first, count, left, right;
};

class StretchTree {
public:
    explicit StretchTree(const std::vector<_KxDVector2D> &outline) : points(outline) {
        int n = static_cast<int>(points.size());
        boxes.resize(points.size());
        for (int k = 0; k < n; k++) {
            const _KxDVector2D &p = points[k], &q = points[(k + 1) % n];
            boxes[k] = {std::fmin(p.x, q.x), std::fmin(p.y, q.y), std::fmax(p.x, q.x), std::fmax(p.y, q.y)};
            // A stretch with an end that is not a finite number is left out of the tree.
            if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(q.x) && std::isfinite(q.y))
                order.push_back(k);
        }
        nodes.reserve(2 * order.size() / kLeafSize + 2);
        if (!order.empty()) build(0, static_cast<int>(order.size()));
    }

    // Calls meet(k) for every stretch k > j whose box overlaps the box of stretch j, until it
    // returns false; returns false then.
    template <typename Meet>
    bool forEachNear(int j, Meet meet) const {
        const Box &box = boxes[j];
        if (nodes.empty() || !(std::isfinite(box.minX) && std::isfinite(box.minY) && std::isfinite(box.maxX) &&
                               std::isfinite(box.maxY)))
            return true;
        stack.clear();
        stack.push_back(0);
        while (!stack.empty()) {
            const Node &node = nodes[stack.back()];
            stack.pop_back();
            if (!node.box.overlaps(box)) continue;
            if (node.left >= 0) {
                stack.push_back(node.left);
                stack.push_back(node.right);
                continue;
            }
            for (int i = node.first; i < node.first + node.count; i++) {
                int k = order[i];
                if (k > j && boxes[k].overlaps(box) && !meet(k)) return false;
            }
        }
        return true;
    }

private:
    int build(int first, int count) {
        int self = static_cast<int>(nodes.size());
        Box box = boxes[order[first]];
        for (int i = first + 1; i < first + count; i++) {
            const Box &b = boxes[order[i]];
            box = {std::fmin(box.minX, b.minX), std::fmin(box.minY, b.minY), std::fmax(box.maxX, b.maxX),
                   std::fmax(box.maxY, b.maxY)};
        }
        nodes.push_back({box, first, count, -1, -1});
        if (count <= kLeafSize) return self;
        // Halves by the stretches' middles along the longer side of the box.
        bool alongX = box.maxX - box.minX >= box.maxY - box.minY;
        auto middle = [&](int k) {
            const Box &b = boxes[k];
            return alongX ? 0.5 * b.minX + 0.5 * b.maxX : 0.5 * b.minY + 0.5 * b.maxY;
        };
        int half = count / 2;
        std::nth_element(order.begin() + first, order.begin() + first + half, order.begin() + first + count,
                         [&](int a, int b) { return middle(a) < middle(b); });
        int left = build(first, half);
        int right = build(first + half, count - half);
        nodes[self].left = left;
        nodes[self].right = right;
        return self;
    }

    const std::vector<_KxDVector2D> &points;
    std::vector<Box> boxes;
    std::vector<int> order;
    std::vector<Node> nodes;
    mutable std::vector<int> stack;
};

// m lies on the stretch from p to q, given that the three lie on one line.
bool withinStretch(const _KxDVector2D &p, const _KxDVector2D &q, const _KxDVector2D &m) {
    return std::fmin(p.x, q.x) <= m.x && m.x <= std::fmax(p.x, q.x) && std::fmin(p.y, q.y) <= m.y &&
           m.y <= std::fmax(p.y, q.y);
}

}  // namespace

std::vector<_KxDOutlineMeeting> kxdFindOutlineMeetings(const std::vector<_KxDVector2D> &points, bool touching,
                                                       size_t limit) {
    std::vector<_KxDOutlineMeeting> crossings, touchings;
    const int n = static_cast<int>(points.size());
    if (n < 4 || limit == 0) return crossings;
    StretchTree tree(points);
    for (int j = 0; j < n; j++) {
        const _KxDVector2D &p = points[j], &q = points[(j + 1) % n];
        bool more = tree.forEachNear(j, [&](int k) {
            if (k == j + 1 || (j == 0 && k == n - 1)) return true;  // they share a point
            const _KxDVector2D &r = points[k], &s = points[(k + 1) % n];
            int o1 = kxdExactTurn(&p, &q, &r), o2 = kxdExactTurn(&p, &q, &s);
            int o3 = kxdExactTurn(&r, &s, &p), o4 = kxdExactTurn(&r, &s, &q);
            if (o1 * o2 < 0 && o3 * o4 < 0) {
                if (crossings.size() < limit) crossings.push_back({j, k, true});
            } else if (touching && touchings.size() < limit &&
                       ((o1 == 0 && withinStretch(p, q, r)) || (o2 == 0 && withinStretch(p, q, s)) ||
                        (o3 == 0 && withinStretch(r, s, p)) || (o4 == 0 && withinStretch(r, s, q)))) {
                touchings.push_back({j, k, false});
            }
            return crossings.size() < limit || (touching && touchings.size() < limit);
        });
        if (!more) break;
    }
    auto byStretch = [](const _KxDOutlineMeeting &a, const _KxDOutlineMeeting &b) {
        return a.first != b.first ? a.first < b.first : a.second < b.second;
    };
    std::sort(crossings.begin(), crossings.end(), byStretch);
    std::sort(touchings.begin(), touchings.end(), byStretch);
    crossings.insert(crossings.end(), touchings.begin(), touchings.end());
    return crossings;
}
