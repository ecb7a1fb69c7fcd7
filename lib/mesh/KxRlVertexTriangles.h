#ifndef KX_MESH_KXRLVERTEXTRIANGLES_H
#define KX_MESH_KXRLVERTEXTRIANGLES_H

#include <cstdint>
#include <vector>

// The triangles of every vertex of an indexed triangle list, for searches that go from a
// vertex to its neighbours. Triangle t is the index entries 3t, 3t + 1, 3t + 2; it is listed
// once under each of its distinct corners below the vertex count (entries at or beyond it
// belong to no vertex), and each vertex's triangles come in increasing order. Built once, in
// time and memory proportional to the indices and vertices.
class KxRlVertexTriangles {
public:
    // `indices` holds `indexCount` entries (a trailing partial triangle is ignored); it is read
    // only while the lists are built.
    KxRlVertexTriangles(const uint16_t *indices, int indexCount, int vertexCount);

    // Triangles of vertex v, 0 <= v < vertex count (unchecked).
    int getCount(int v) const { return start[v + 1] - start[v]; }
    const int *getTriangles(int v) const { return list.data() + start[v]; }

private:
    // Triangles of vertex v: list[start[v] .. start[v + 1]).
    std::vector<int> start;
    std::vector<int> list;
};

#endif
