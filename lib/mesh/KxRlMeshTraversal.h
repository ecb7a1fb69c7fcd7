#ifndef KX_MESH_KXRLMESHTRAVERSAL_H
#define KX_MESH_KXRLMESHTRAVERSAL_H

#include "KxDClipRegion.h"
#include "KxRlVertexTriangles.h"

#include <cstdint>
#include <memory>
#include <vector>

class KxRlMesh;
class KxRlMeshFile;
class KxRlMeshGroup;

// The separate 3D objects of a mesh, as found by traverseAll: one starting vertex per object,
// each the lowest-numbered vertex of its object, in increasing order, and each object's box.
class KxRlTraverseAllResult {
public:
    // Takes `vertices` (new[], `count` entries; null when count is 0) and `boxes` (new[],
    // `count` entries, or null when the boxes are not known).
    KxRlTraverseAllResult(int count, int *vertices, KxDClipRegion3D *boxes = nullptr);
    ~KxRlTraverseAllResult();
    KxRlTraverseAllResult(const KxRlTraverseAllResult &) = delete;
    KxRlTraverseAllResult &operator=(const KxRlTraverseAllResult &) = delete;

    int getCount() const { return count; }
    // Starting vertex i, 0 <= i < getCount() (unchecked).
    int getVertex(int i) const { return vertices[i]; }
    const int *getVertices() const { return vertices; }
    // The bounding box of object i: the box that traverse(getVertex(i)) grows after a reset,
    // every end equal to it as a float (owned by the result; its steps are not computed).
    // Null when the result was made without boxes.
    const KxDClipRegion3D *getClipRegion(int i) const { return boxes ? &boxes[i] : nullptr; }

private:
    int count;
    int *vertices;
    KxDClipRegion3D *boxes;
};

// Finds the separate 3D objects of one mesh. Two vertices belong to the same object when a
// chain of links joins them, a link being either a triangle that holds both or two vertices
// at exactly the same position (every co-ordinate equal as floats: 0.0 equals -0.0, and a
// position with a not-a-number co-ordinate equals no other). traverse(v) attaches the object
// that holds v and grows a bounding box over it; traverseAll lists one starting vertex per
// object.
//
// Each vertex is 0 (not reached), 1 (to be processed) or 2 (attached). Vertices are processed
// lowest-numbered first, so the box is grown in the same order whatever the mesh's layout.
// The links of every vertex are worked out once, on first need, and kept for every later
// call, so a traversal costs time in proportion to the mesh's vertices and indices (plus a
// logarithmic factor for the processing order). traverseAll needs no processing order: it
// merges linked vertices into objects in one pass over the triangles and the equal positions.
// Index entries at or beyond the vertex count link nothing.
//
// The mesh is not owned and must outlive the traversal; it must not change meanwhile.
class KxRlMeshTraversal {
public:
    // Each takes the mesh and resets; the links are worked out when first needed. A null mesh
    // has no vertices.
    explicit KxRlMeshTraversal(const KxRlMesh *mesh);
    // Mesh `mesh` of the group / of group `group` of the file (indices unchecked).
    KxRlMeshTraversal(const KxRlMeshGroup *group, int mesh);
    KxRlMeshTraversal(const KxRlMeshFile *file, int group, int mesh);
    ~KxRlMeshTraversal();
    KxRlMeshTraversal(const KxRlMeshTraversal &) = delete;
    KxRlMeshTraversal &operator=(const KxRlMeshTraversal &) = delete;

    // Empties the box and sets every vertex to 0.
    void reset();
    // Attaches the object that holds `vertex` and grows the box by its vertices. Does not
    // reset first: successive calls add to the attached vertices and the box. A vertex
    // number out of range changes nothing.
    void traverse(int vertex);
    // A new result (owned by the caller) with one starting vertex and one box per object.
    // Resets, so the box is empty and no vertex is attached afterwards. With `objectOfVertex`,
    // also the object of every vertex (its position in the result), one entry per vertex.
    KxRlTraverseAllResult *traverseAll(std::vector<int> *objectOfVertex = nullptr);

    // The box of the vertices attached since the last reset (owned by the traversal; callers
    // copy it). Its steps are not kept up to date.
    const KxDClipRegion3D *getClipRegion() const { return &clipRegion; }
    float getMinX() const { return clipRegion.getMinX(); }
    float getMaxX() const { return clipRegion.getMaxX(); }
    float getMinY() const { return clipRegion.getMinY(); }
    float getMaxY() const { return clipRegion.getMaxY(); }
    float getMinZ() const { return clipRegion.getMinZ(); }
    float getMaxZ() const { return clipRegion.getMaxZ(); }
    // (min + max) / 2 on that axis.
    float getMidX() const { return (getMinX() + getMaxX()) / 2.0f; }
    float getMidY() const { return (getMinY() + getMaxY()) / 2.0f; }
    float getMidZ() const { return (getMinZ() + getMaxZ()) / 2.0f; }

    int getVertexCount() const { return vertexCount; }
    // True when `vertex` is attached; false for a number out of range.
    bool isInTraversal(int vertex) const;

private:
    void init(const KxRlMesh *source);
    // Works out, once, what traverse needs: the states, the triangles of every vertex and
    // the rings of equal positions.
    void prepareTraverse();
    // Attaches v and marks every vertex linked to it that was not reached yet.
    void processVertex(int v);
    // Takes the lowest-numbered vertex waiting to be processed; -1 when none waits.
    int findNextVertex();
    // Marks the unreached vertices at exactly v's position.
    void findEqualVertices(int v);
    // State 0 -> 1: v waits to be processed.
    void indicateToBeProcessed(int v);
    // State 2 and the box grown by v's position.
    void indicateAttached(int v);

    const KxRlMesh *mesh;
    KxDClipRegion3D clipRegion;
    int vertexCount;
    // One state per vertex; empty until the first traverse (no vertex reached).
    std::vector<uint8_t> states;

    // Waiting vertices, a binary min-heap.
    std::vector<int> pending;
    int pendingCount;
    // The triangles of every vertex.
    std::unique_ptr<KxRlVertexTriangles> triangles;
    // Vertices at the same position form a ring through nextEqual (a vertex alone points at
    // itself); ringLeader is the ring's lowest vertex, ringDone marks rings already marked.
    std::vector<int> nextEqual;
    std::vector<int> ringLeader;
    std::vector<uint8_t> ringDone;
};

#endif
