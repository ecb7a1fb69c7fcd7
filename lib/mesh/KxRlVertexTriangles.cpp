#include "KxRlVertexTriangles.h"

#include <cstddef>

namespace {

// Calls `visit(corner, triangle)` for each distinct corner of each triangle that lies below
// the vertex count.
template <typename Visit>
void forEachCorner(const uint16_t *indices, int triangleCount, int vertexCount, Visit visit) {
    for (int t = 0; t < triangleCount; t++) {
        int a = indices[3 * t], b = indices[3 * t + 1], c = indices[3 * t + 2];
        if (a < vertexCount) visit(a, t);
        if (b < vertexCount && b != a) visit(b, t);
        if (c < vertexCount && c != a && c != b) visit(c, t);
    }
}

}  // namespace

KxRlVertexTriangles::KxRlVertexTriangles(const uint16_t *indices, int indexCount, int vertexCount)
    : start(static_cast<size_t>(vertexCount > 0 ? vertexCount : 0) + 1, 0) {
    const int n = vertexCount > 0 ? vertexCount : 0;
    const int triangleCount = (n > 0 && indices && indexCount > 0) ? indexCount / 3 : 0;
    // A counting sort by corner: count, sum up, then fill in triangle order.
    forEachCorner(indices, triangleCount, n, [&](int v, int) { start[v + 1]++; });
    for (int v = 0; v < n; v++) start[v + 1] += start[v];
    list.resize(static_cast<size_t>(start[n]));
    std::vector<int> fill(start.begin(), start.end() - 1);
    forEachCorner(indices, triangleCount, n, [&](int v, int t) { list[fill[v]++] = t; });
}
