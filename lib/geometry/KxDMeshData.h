#ifndef KX_GEOMETRY_KXDMESHDATA_H
#define KX_GEOMETRY_KXDMESHDATA_H

#include "ArrayList.h"
#include "KxDMatTransform.h"
#include "KxDTransformList.h"
#include "KxDVector.h"

#include <cstdint>

// Indices are unsigned 16-bit, so one mesh holds at most this many vertices.
constexpr int KXD_MAX_MESH_VERTICES = 65536;

// One vertex of generated geometry: 8 floats, the same layout as a vertex of the mesh model.
struct _KxDTexVertex {
    _KxDVector3D position;
    _KxDVector3D normal;   // unit length
    _KxDVector2D texture;  // u, v of the base texture
};
static_assert(sizeof(_KxDTexVertex) == 32, "a vertex is 8 packed floats");

// One triangle mesh on its way from generated geometry to the mesh model: vertices, optional
// light-map co-ordinates (one u, v pair per vertex) and three 16-bit indices per triangle, in
// the mesh's winding order. The object owns its arrays.
class KxDMeshData {
public:
    // Both counts 0, no arrays.
    KxDMeshData();
    ~KxDMeshData();
    KxDMeshData(const KxDMeshData &) = delete;
    KxDMeshData &operator=(const KxDMeshData &) = delete;

    // Frees the present arrays and allocates new ones of exactly `vertexCount` vertices (and
    // as many light-map pairs when `lightMap`) and 3 x `faceCount` indices, for the producer
    // to fill; their contents are zero. Throws IOException for a negative count or more than
    // KXD_MAX_MESH_VERTICES vertices, before anything is freed. A count of 0 gives no array.
    void allocate(int vertexCount, int faceCount, bool lightMap);

    int getVertexCount() const { return vertexCount; }
    int getFaceCount() const { return faceCount; }
    int getIndexCount() const { return 3 * faceCount; }
    bool hasLightMap() const { return lightMapList != nullptr; }

    // The arrays, owned by the mesh; null while absent.
    _KxDTexVertex *getVertexList() { return vertexList; }
    const _KxDTexVertex *getVertexList() const { return vertexList; }
    _KxDVector2D *getLightMapList() { return lightMapList; }
    const _KxDVector2D *getLightMapList() const { return lightMapList; }
    uint16_t *getIndexList() { return indexList; }
    const uint16_t *getIndexList() const { return indexList; }

    // In place: positions as points, normals as directions (no translation, renormalised,
    // perpendicular to the transformed surface). When `t` mirrors, every triangle's corner
    // order is reversed so that faces keep facing out. Texture and light-map co-ordinates
    // stay as they are.
    void transform(const KxDMatTransform *t);

private:
    void release();

    int vertexCount;
    _KxDTexVertex *vertexList;
    _KxDVector2D *lightMapList;
    int faceCount;
    uint16_t *indexList;
};

// Anything that produces triangle meshes.
class KxDAbsMeshPrimitive {
public:
    virtual ~KxDAbsMeshPrimitive() {}
    virtual int getMeshCount() = 0;
    // A new mesh (owned by the caller); with `lightmap` it carries light-map co-ordinates.
    virtual KxDMeshData *getMeshData(int index, bool lightmap) = 0;
};

// Glues several meshes into one, in the order they were added. The parts are borrowed: the
// caller keeps them alive until the binder's last getMeshData.
class KxDMeshBinder : public KxDAbsMeshPrimitive {
public:
    KxDMeshBinder();
    // Frees the list, not the parts.
    ~KxDMeshBinder() override;
    KxDMeshBinder(const KxDMeshBinder &) = delete;
    KxDMeshBinder &operator=(const KxDMeshBinder &) = delete;

    void addMeshData(KxDMeshData *part);
    int getPartCount() const { return static_cast<int>(parts.getLength()); }

    // 1 when at least one part was added, else 0.
    int getMeshCount() override;
    // The glued mesh (the index is ignored): the parts' vertices one after the other, each
    // part's indices offset by the vertices before it, each part's winding kept. With
    // `lightmap`, a part without light-map co-ordinates contributes (0, 0) pairs. Throws
    // IOException "Glued mesh would exceed 65536 vertices" before allocating anything when
    // the parts hold more vertices than 16-bit indices can reach.
    KxDMeshData *getMeshData(int index, bool lightmap) override;

private:
    ArrayList parts;
};

// A primitive and a transform list for callers that place it. The meshes are forwarded
// unchanged: the transforms are not applied by getMeshData.
class KxDMeshObject : public KxDAbsMeshPrimitive {
public:
    // Borrows `primitive`.
    explicit KxDMeshObject(KxDAbsMeshPrimitive *primitive);
    // Destroys the transform list, not the primitive.
    ~KxDMeshObject() override;
    KxDMeshObject(const KxDMeshObject &) = delete;
    KxDMeshObject &operator=(const KxDMeshObject &) = delete;

    KxDTransformList *getTransformList() { return &transforms; }
    KxDAbsMeshPrimitive *getPrimitive() const { return primitive; }

    int getMeshCount() override;
    KxDMeshData *getMeshData(int index, bool lightmap) override;

private:
    KxDTransformList transforms;
    KxDAbsMeshPrimitive *primitive;
};

#endif
