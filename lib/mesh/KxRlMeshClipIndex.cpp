#include "KxRlMeshClipIndex.h"

#include "KxDClipRegion.h"
#include "KxRlMesh.h"
#include "KxRlMeshGroupRef.h"

#include <algorithm>

namespace {

// Positions per leaf: small enough that a leaf that touches a box is cheap to test whole.
constexpr int kLeafSize = 16;
// The tree halves its positions at each level, so no path is longer than 32 nodes.
constexpr int kMaxDepth = 64;

bool hasNaN(const _KxDVector3D *p) { return p->x != p->x || p->y != p->y || p->z != p->z; }

// Reorders [first, last) so that no point before `middle` lies above it on the axis and no
// point after it below.
template <int Axis, typename Point>
void splitAt(Point *first, Point *middle, Point *last) {
    std::nth_element(first, middle, last,
                     [](const Point &a, const Point &b) { return a.position[Axis] < b.position[Axis]; });
}

}  // namespace

KxRlMeshClipIndex::KxRlMeshClipIndex(const KxRlMesh *source)
    : mesh(source),
      vertexCount(source && source->getVertexList() && source->getVertexCount() > 0 ? source->getVertexCount() : 0),
      triangles(source ? source->getIndexList() : nullptr, source ? source->getIndexCount() : 0, vertexCount),
      renumber(static_cast<size_t>(vertexCount), -1) {
    const _KxDTexVertex *vertices = vertexCount > 0 ? mesh->getVertexList() : nullptr;
    points.reserve(static_cast<size_t>(vertexCount));
    for (int v = 0; v < vertexCount; v++) {
        const _KxDVector3D *p = &vertices[v].position;
        if (!hasNaN(p)) points.push_back({{p->x, p->y, p->z}, v});
    }
    if (points.empty()) return;
    float low[3], high[3];
    for (int axis = 0; axis < 3; axis++) low[axis] = high[axis] = points[0].position[axis];
    for (const Point &p : points) {
        for (int axis = 0; axis < 3; axis++) {
            low[axis] = std::min(low[axis], p.position[axis]);
            high[axis] = std::max(high[axis], p.position[axis]);
        }
    }
    nodes.reserve(4 * points.size() / kLeafSize + 1);
    build(0, static_cast<int>(points.size()), low, high);
}

int KxRlMeshClipIndex::build(int first, int count, const float *low, const float *high) {
    Node node;
    node.first = first;
    node.count = count;
    node.left = node.right = -1;
    if (count <= kLeafSize) {
        // A leaf's box is exactly that of its points.
        const Point *begin = &points[first];
        for (int axis = 0; axis < 3; axis++) node.min[axis] = node.max[axis] = begin->position[axis];
        for (const Point *p = begin + 1; p < begin + count; p++) {
            for (int axis = 0; axis < 3; axis++) {
                node.min[axis] = std::min(node.min[axis], p->position[axis]);
                node.max[axis] = std::max(node.max[axis], p->position[axis]);
            }
        }
        nodes.push_back(node);
        return static_cast<int>(nodes.size()) - 1;
    }
    // An inner node's box is the part of its parent's on its side of the split: it may be
    // larger than its points need, never smaller.
    for (int axis = 0; axis < 3; axis++) {
        node.min[axis] = low[axis];
        node.max[axis] = high[axis];
    }
    int index = static_cast<int>(nodes.size());
    nodes.push_back(node);

    // Halve along the longest side (an infinite extent counts as the longest).
    int axis = 0;
    float longest = -1.0f;
    for (int a = 0; a < 3; a++) {
        float extent = high[a] - low[a];
        if (extent != extent) extent = high[a];  // infinity minus infinity
        if (extent > longest) {
            longest = extent;
            axis = a;
        }
    }
    int half = count / 2;
    Point *begin = &points[first];
    if (axis == 0) splitAt<0>(begin, begin + half, begin + count);
    if (axis == 1) splitAt<1>(begin, begin + half, begin + count);
    if (axis == 2) splitAt<2>(begin, begin + half, begin + count);
    float split = begin[half].position[axis];
    float leftHigh[3] = {high[0], high[1], high[2]};
    float rightLow[3] = {low[0], low[1], low[2]};
    leftHigh[axis] = split;
    rightLow[axis] = split;
    int left = build(first, half, low, leftHigh);
    int right = build(first + half, count - half, rightLow, high);
    nodes[index].left = left;
    nodes[index].right = right;
    return index;
}

void KxRlMeshClipIndex::collect(const KxDClipRegion3D *region, const KxRlMeshGroupRef *ref, int meshNumber,
                                std::vector<int> *found) const {
    if (nodes.empty()) return;
    const float low[3] = {region->getMinX(), region->getMinY(), region->getMinZ()};
    const float high[3] = {region->getMaxX(), region->getMaxY(), region->getMaxZ()};
    const _KxDTexVertex *vertices = mesh->getVertexList();
    int stack[kMaxDepth];
    int depth = 0;
    stack[depth++] = 0;
    while (depth > 0) {
        const Node &node = nodes[stack[--depth]];
        bool touches = true;
        for (int axis = 0; axis < 3; axis++)
            touches = touches && node.min[axis] <= high[axis] && node.max[axis] >= low[axis];
        if (!touches) continue;
        if (node.left < 0) {
            // The same test as the writer's scan, so that exactly its vertices are kept.
            for (int k = node.first; k < node.first + node.count; k++) {
                int v = points[k].vertex;
                if (ref->isInClipRegions(meshNumber, &vertices[v].position)) found->push_back(v);
            }
        } else {
            stack[depth++] = node.left;
            stack[depth++] = node.right;
        }
    }
}

void KxRlMeshClipIndex::clip(const KxRlMeshGroupRef *ref, int meshNumber, std::vector<int> *vertices,
                             std::vector<uint16_t> *indices) const {
    vertices->clear();
    indices->clear();
    // A vertex is kept when any region contains it, so the boxes of all regions are searched.
    for (int i = 0; i < ref->getClipCount(); i++) collect(ref->getClipRegion(i), ref, meshNumber, vertices);
    for (int i = 0; i < ref->getClipCount(meshNumber); i++)
        collect(ref->getClipRegion(meshNumber, i), ref, meshNumber, vertices);
    std::sort(vertices->begin(), vertices->end());
    vertices->erase(std::unique(vertices->begin(), vertices->end()), vertices->end());

    for (size_t k = 0; k < vertices->size(); k++) renumber[(*vertices)[k]] = static_cast<int>(k);
    // A kept triangle has every corner kept; it is taken once, from its lowest corner.
    const uint16_t *source = mesh->getIndexList();
    keptTriangles.clear();
    for (int v : *vertices) {
        const int *list = triangles.getTriangles(v);
        for (int k = 0, count = triangles.getCount(v); k < count; k++) {
            const uint16_t *corners = &source[3 * list[k]];
            int a = corners[0], b = corners[1], c = corners[2];
            if (v != std::min(a, std::min(b, c))) continue;
            if (a >= vertexCount || b >= vertexCount || c >= vertexCount) continue;
            if (renumber[a] < 0 || renumber[b] < 0 || renumber[c] < 0) continue;
            keptTriangles.push_back(list[k]);
        }
    }
    std::sort(keptTriangles.begin(), keptTriangles.end());
    indices->reserve(3 * keptTriangles.size());
    for (int t : keptTriangles) {
        for (int corner = 0; corner < 3; corner++)
            indices->push_back(static_cast<uint16_t>(renumber[source[3 * t + corner]]));
    }
    for (int v : *vertices) renumber[v] = -1;
}
