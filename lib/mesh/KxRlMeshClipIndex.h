#ifndef KX_MESH_KXRLMESHCLIPINDEX_H
#define KX_MESH_KXRLMESHCLIPINDEX_H

#include "KxRlVertexTriangles.h"

#include <cstdint>
#include <vector>

class KxDClipRegion3D;
class KxRlMesh;
class KxRlMeshGroupRef;

// A spatial index of one mesh, for clipping it many times to small boxes (one export per
// object of the mesh) without a scan of every vertex and triangle each time. The vertex
// positions are held in a tree of nested boxes, and the triangles of every vertex in lists,
// both built once, in time proportional to the mesh (times a logarithmic factor).
//
// A clip selects exactly what the MSH writer's scan selects: the vertices whose positions the
// group reference's regions contain, in increasing order, and the triangles whose three
// corners are all selected, in the mesh's order. A position with a not-a-number co-ordinate
// lies in no region.
//
// The mesh is not owned and must outlive the index; it must not change meanwhile.
class KxRlMeshClipIndex {
public:
    explicit KxRlMeshClipIndex(const KxRlMesh *mesh);
    KxRlMeshClipIndex(const KxRlMeshClipIndex &) = delete;
    KxRlMeshClipIndex &operator=(const KxRlMeshClipIndex &) = delete;

    const KxRlMesh *getMesh() const { return mesh; }

    // Clips the mesh, which is mesh `meshNumber` of the group of `ref`, to the reference's
    // group and mesh clip regions (at least one must be set). Fills `vertices` with the kept
    // vertices in increasing order and `indices` with the kept triangles' corners, renumbered
    // to positions in `vertices`.
    void clip(const KxRlMeshGroupRef *ref, int meshNumber, std::vector<int> *vertices,
              std::vector<uint16_t> *indices) const;

private:
    // A position and its vertex.
    struct Point {
        float position[3];
        int vertex;
    };
    // A box of the tree: points[first .. first + count) lie in it. An inner node splits them
    // into two halves, the nodes `left` and `right`; a leaf has -1 there.
    struct Node {
        float min[3];
        float max[3];
        int first;
        int count;
        int left;
        int right;
    };

    // Builds the node for points[first .. first + count), which lie within `low` to `high`
    // on each axis, and below it its halves; returns its number.
    int build(int first, int count, const float *low, const float *high);
    // Appends to `found` every vertex of the tree in `region` that `ref` keeps.
    void collect(const KxDClipRegion3D *region, const KxRlMeshGroupRef *ref, int meshNumber,
                 std::vector<int> *found) const;

    const KxRlMesh *mesh;
    int vertexCount;
    // The vertices whose positions are numbers, ordered so that each node's are together.
    std::vector<Point> points;
    std::vector<Node> nodes;
    KxRlVertexTriangles triangles;
    // New number of each vertex during a clip, -1 otherwise.
    mutable std::vector<int> renumber;
    mutable std::vector<int> keptTriangles;
};

#endif
