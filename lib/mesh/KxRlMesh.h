#ifndef KX_MESH_KXRLMESH_H
#define KX_MESH_KXRLMESH_H

#include "KxDClipRegion.h"
#include "KxDMeshData.h"
#include "KxDVector.h"

#include <cstdint>
#include <memory>

class KxRlControlMesh;
class KxRlMeshMaterial;
class RandomAccessFile;
class StringBuffer;

// Mesh flag bits that the system interprets (the others are kept as read).
constexpr uint8_t KXRL_MESHFLAG0_BONES = 0x01;       // a bone list follows the vertices
constexpr uint8_t KXRL_MESHFLAG0_REFLECTIVE = 0x02;  // a reflective floor, kept apart by the room builder
constexpr uint8_t KXRL_MESHFLAG0_IDENTS = 0x10;      // index, vertex and bone idents are stored
constexpr uint8_t KXRL_MESHFLAG0_BOUNDS = 0x20;      // the three bounds regions are stored
constexpr uint8_t KXRL_MESHFLAG0_JOINTS = 0x40;      // a joint count is stored
constexpr uint8_t KXRL_MESHFLAG1_LIGHTMAP = 0x01;    // light-map co-ordinates follow the vertices

// One vertex of a mesh in memory is a _KxDTexVertex (KxDMeshData.h): position x, y, z,
// normal x, y, z, texture u, v as 8 floats.

// Per-vertex bone binding, kept as it stands in the file: 4 floats and 4 bytes.
struct _KxRlBoneData {
    float values[4];
    uint8_t bytes[4];
};
static_assert(sizeof(_KxRlBoneData) == 20, "bone data is 20 packed bytes per vertex");

// One joint: a vertex number (below the vertex count) and a joint position value.
struct _KxRlMeshJoint {
    int32_t vertex;
    int32_t pos;
};

// One indexed triangle list with one material: the in-memory form of a mesh record. Read
// only once built, except the mesh flags, which tools may change: the box of the vertex
// positions is worked out when the lists are made. Owns its lists and its three regions; the
// material belongs to the file (or to whoever built the mesh).
// Every index of the index list and every joint's vertex is below the vertex count.
class KxRlMesh {
public:
    // No material, no vertices or indices, flags {0x70, 0, 0, 0}, idents 0, -1, 0, three
    // empty regions, no joints.
    KxRlMesh();
    ~KxRlMesh();
    KxRlMesh(const KxRlMesh &) = delete;
    KxRlMesh &operator=(const KxRlMesh &) = delete;

    // A new mesh (owned by the caller) from one mesh record. The material index must be
    // below `materialCount`; the mesh then uses that entry of `materials`. Mesh flag 0 must
    // have bit 0x20 (vertices cannot be decoded without the bounds). `fileLength` is the
    // file's total size (-1: ask the file); every count is checked against the bytes left
    // before its list is allocated, and every triangle and joint vertex against the vertex
    // count. Throws IOException with a text that says what is wrong; the file's own
    // IOException passes through; nothing is left allocated then.
    static KxRlMesh *CreateFromFile(RandomAccessFile *file, KxRlMeshMaterial **materials, int materialCount,
                                    int32_t fileLength = -1);
    // Most indices a control mesh may have to become a visible mesh: one vertex per index.
    static constexpr int kMaxControlIndices = 65536;
    // A visible mesh of the control mesh's triangles (owned by the caller): every index
    // gets a vertex of its own, each triangle a flat normal, and each pair of triangles
    // covers the unit texture square. Texture and light-map bounds are 0 to 1. Throws
    // IOException, before allocating, for more than kMaxControlIndices indices.
    static KxRlMesh *CreateFromControl(KxRlMeshMaterial *material, const KxRlControlMesh *control);
    // A mesh (owned by the caller) that copies the lists of `data`; position and texture
    // bounds are the boxes of its positions and texture co-ordinates, light-map bounds 0 to 1.
    static KxRlMesh *CreateFromData(KxRlMeshMaterial *material, const KxDMeshData *data);

    KxRlMeshMaterial *getMaterial() const { return material; }
    int getMaterialIndex() const { return materialIndex; }
    int getVertexCount() const { return vertexCount; }
    _KxDTexVertex *getVertexList() const { return vertexList.get(); }
    // Null unless mesh flag 1 has bit 0x01 (or the mesh data had light-map co-ordinates).
    _KxDVector2D *getLightMapList() const { return lightMapList.get(); }
    // Null unless mesh flag 0 has bit 0x01.
    _KxRlBoneData *getBoneList() const { return boneList.get(); }
    // 3 x the number of triangles.
    int getIndexCount() const { return indexCount; }
    uint16_t *getIndexList() const { return indexList.get(); }

    // The four flag bytes, writable by tools.
    uint8_t *getMeshFlags() { return meshFlags; }
    const uint8_t *getMeshFlags() const { return meshFlags; }
    uint8_t getMeshFlag(int i) const { return meshFlags[i]; }

    int32_t getIndexIdent() const { return indexIdent; }
    int32_t getVertexIdent() const { return vertexIdent; }
    int32_t getBoneIdent() const { return boneIdent; }

    // The bounds as read (normalised with correct()), owned by the mesh.
    KxDClipRegion3D *getPosBounds() const { return posBounds.get(); }
    float getMinX() const { return posBounds->getMinX(); }
    float getMaxX() const { return posBounds->getMaxX(); }
    float getMinY() const { return posBounds->getMinY(); }
    float getMaxY() const { return posBounds->getMaxY(); }
    float getMinZ() const { return posBounds->getMinZ(); }
    float getMaxZ() const { return posBounds->getMaxZ(); }
    KxDClipRegion2D *getTexBounds() const { return texBounds.get(); }
    float getMinTx() const { return texBounds->getMinX(); }
    float getMaxTx() const { return texBounds->getMaxX(); }
    float getMinTy() const { return texBounds->getMinY(); }
    float getMaxTy() const { return texBounds->getMaxY(); }
    KxDClipRegion2D *getLmTexBounds() const { return lmTexBounds.get(); }
    float getMinLmTx() const { return lmTexBounds->getMinX(); }
    float getMaxLmTx() const { return lmTexBounds->getMaxX(); }
    float getMinLmTy() const { return lmTexBounds->getMinY(); }
    float getMaxLmTy() const { return lmTexBounds->getMaxY(); }

    int getJointCount() const { return jointCount; }
    int32_t getJointVertex(int i) const { return jointList[i].vertex; }
    int32_t getJointPos(int i) const { return jointList[i].pos; }
    _KxRlMeshJoint *getJoint(int i) const { return &jointList[i]; }

    // Clears `region`, then grows it by every vertex position (the stored bounds are not
    // used), with the box worked out once. A mesh without vertices leaves it empty.
    void calcPosBounds(KxDClipRegion3D *region) const;

    // Appends "Using material ", the material's report, the mesh's own box as "%7.3f"
    // ranges, the vertex and index counts and the four flags as " %02X". No newline.
    void toString(StringBuffer *buffer) const;

private:
    void initPrefill();
    // Reads the record's lists; the caller frees the mesh on failure.
    void load(RandomAccessFile *file, KxRlMeshMaterial **materials, int materialCount, int32_t fileLength);

    KxRlMeshMaterial *material;
    int32_t materialIndex;
    int32_t vertexCount;
    std::unique_ptr<_KxDTexVertex[]> vertexList;
    std::unique_ptr<_KxDVector2D[]> lightMapList;
    std::unique_ptr<_KxRlBoneData[]> boneList;
    int32_t indexCount;
    std::unique_ptr<uint16_t[]> indexList;
    uint8_t meshFlags[4];
    int32_t indexIdent;
    int32_t vertexIdent;
    int32_t boneIdent;
    std::unique_ptr<KxDClipRegion3D> posBounds;
    std::unique_ptr<KxDClipRegion2D> texBounds;
    std::unique_ptr<KxDClipRegion2D> lmTexBounds;
    // The box of the vertex positions, grown vertex by vertex from the empty box.
    KxDClipRegion3D vertexBox;
    int32_t jointCount;
    std::unique_ptr<_KxRlMeshJoint[]> jointList;
};

#endif
