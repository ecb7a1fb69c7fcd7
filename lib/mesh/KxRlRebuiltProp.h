#ifndef KX_MESH_KXRLREBUILTPROP_H
#define KX_MESH_KXRLREBUILTPROP_H

#include "ArrayList.h"
#include "KxDClipRegion.h"
#include "KxDMeshData.h"
#include "KxRlBitmapReplacements.h"
#include "KxRlMesh.h"

#include <cstdint>
#include <vector>

class KxDMatTransform;
class KxRlMeshClipIndex;
class KxRlMeshGroupRef;
class KxRlMeshSkeleton;
class RandomAccessFile;

// Settings bytes of a material record (raw bytes 4 to 23).
constexpr int KXRL_MATERIAL_SETTINGS_SIZE = 20;

// One material of the file being written: the four texture names its slots resolve to (not
// owned; null for an empty slot, possibly KxRlNoBitmap for a slot switched off) and the
// settings bytes 4 to 23 of the source material.
struct _KxRlExportMaterial {
    const char *bitmaps[4];
    uint8_t settings[KXRL_MATERIAL_SETTINGS_SIZE];
};

// Writes a new MSH file out of mesh groups of loaded mesh files. Each group reference added
// becomes one group of the output, holding the reference's active meshes with its changes
// applied: clip regions (tested on the source co-ordinates), transforms, texture overrides
// and replacements, texture translation. Textures and materials used by the active meshes
// are gathered once per export and equal ones merged. The loaded models are never changed:
// clipping and transformation work on copies of a mesh's lists.
//
// The prop owns the group references given to it; the models they point into, the
// replacement texts and the skeleton with its transform stay the caller's and must outlive
// the prop (or at least every export).
class KxRlRebuiltProp {
public:
    KxRlRebuiltProp();
    // Destroys the group references it holds.
    ~KxRlRebuiltProp();
    KxRlRebuiltProp(const KxRlRebuiltProp &) = delete;
    KxRlRebuiltProp &operator=(const KxRlRebuiltProp &) = delete;

    // Appends `ref`; the prop owns it from then on.
    void addMeshGroupRef(KxRlMeshGroupRef *ref);
    int getMeshGroupRefCount() const { return static_cast<int>(groupRefs.getLength()); }
    KxRlMeshGroupRef *getMeshGroupRef(int i) const;
    // Takes reference i out of the prop; the caller owns it again. Throws
    // IndexOutOfBoundsException for a position out of range.
    KxRlMeshGroupRef *removeMeshGroupRef(int i);

    // Appends a whole-prop replacement, applied when the file is written: every texture named
    // `oldName` (exactly) is written as `newName`; KxRlNoBitmap switches it off. The first pair
    // added for a name wins. Both texts stay the caller's.
    void replaceBitmap(const char *oldName, const char *newName) { bitmapReplacements.add(oldName, newName); }
    const KxRlBitmapReplacements &getBitmapReplacements() const { return bitmapReplacements; }

    // The skeleton to write after the groups (null for none) and the transform applied to a
    // copy of every bone matrix on output (null for none). Neither is owned; the transform
    // is read at export time, so later changes to it still count.
    void setSkeleton(KxRlMeshSkeleton *skeleton, KxDMatTransform *transform);
    KxRlMeshSkeleton *getSkeleton() const { return skeleton; }
    KxDMatTransform *getSkeletonTransform() const { return skeletonTransform; }

    // An index of one mesh that clipping of that mesh uses instead of a scan of all its
    // vertices and triangles; what is kept stays the same. Not owned; null for none. The
    // index must outlive every export that uses it.
    void setClipIndex(const KxRlMeshClipIndex *index) { clipIndex = index; }

    // Writes the whole file at `path` (at most 255 characters): it is written under a
    // temporary name of this process (kxrlTemporaryPath) and renamed over `path` only once
    // complete, so a failed export leaves any earlier file at `path` as it was and no partial
    // file behind. A mesh that is not finite after its transforms is not written (see
    // checkWorkingMesh), and nothing of the file then. Throws IOException: "File could not be
    // opened" when it cannot be created
    // or an existing file at `path` is read-only (error number EACCES), a text
    // naming the path when it is too long or the rename fails, "Too many textures ..." when
    // more than 255 distinct textures would be written, and the stream's own errors. The
    // prop can be exported again afterwards, whether the export succeeded or not.
    void exportMesh(const char *path);

    // --- The steps of an export, in the order exportMesh uses them --------------------------

    // Gathers the texture names of every slot of every active mesh, in first-use order.
    void resExportBitmaps();
    // Gathers one export material per distinct material of the active meshes, in first-use order.
    void resExportMaterials();
    // Empties the export bitmaps and frees the export materials.
    void clearAfterExport();

    int getExportBitmapCount() const { return static_cast<int>(exportBitmapList.size()); }
    // Name i, 0 <= i < getExportBitmapCount(), as read (before the whole-prop replacements).
    const char *getExportBitmap(int i) const { return exportBitmapList[static_cast<size_t>(i)]; }
    int getExportMaterialCount() const { return static_cast<int>(exportMaterialList.getLength()); }
    const _KxRlExportMaterial *getExportMaterial(int i) const {
        return static_cast<const _KxRlExportMaterial *>(exportMaterialList.get(i));
    }

    // --- Lookups used by the steps -----------------------------------------------------------

    // True when `name` names a texture of the file: not null, not KxRlNoBitmap and not
    // switched off by the whole-prop replacements.
    bool isWrittenBitmap(const char *name) const;
    // Position of `name` among the export bitmaps; -1 for null, KxRlNoBitmap, a name replaced
    // by KxRlNoBitmap, or a name that is not there.
    int findBitmapIndex(const char *name) const;
    // Appends `name` to the export bitmaps unless it is null, KxRlNoBitmap, replaced by
    // KxRlNoBitmap or already there.
    void addExportBitmap(const char *name);
    // Fills `material` for mesh `mesh` of `ref`: the names ref->getBitmap(mesh, slot) and the
    // settings bytes of the mesh's material with bit 0x02 of settings byte 14 cleared.
    void makeExportMaterial(const KxRlMeshGroupRef *ref, int mesh, _KxRlExportMaterial *material) const;
    // Position of the first export material with identical settings and the same name in
    // every slot (both null, or both the same text; KxRlNoBitmap matches only itself); -1
    // when there is none.
    int findMaterialIndex(const _KxRlExportMaterial *material) const;

    // Number of active meshes of `ref`.
    static int resMeshCount(const KxRlMeshGroupRef *ref);
    // The group or the mesh has a clip region.
    static bool needsClipping(const KxRlMeshGroupRef *ref, int mesh);
    // The group or the mesh has a transform.
    static bool needsTransform(const KxRlMeshGroupRef *ref, int mesh);
    // The mesh's light-map slot (2) names a texture that is written.
    bool needsLightMap(const KxRlMeshGroupRef *ref, int mesh) const;
    // A skeleton is set and the mesh carries bone data (mesh flag 0 bit 0x01 and a bone list).
    bool needsBones(const KxRlMeshGroupRef *ref, int mesh) const;

private:
    void exportFileHeader(RandomAccessFile *file);
    void exportBitmaps(RandomAccessFile *file);
    void exportMaterials(RandomAccessFile *file);
    void exportMeshGroupRefs(RandomAccessFile *file);
    // Writes mesh `mesh` of `ref`; returns at once for an inactive mesh.
    void exportMesh(RandomAccessFile *file, const KxRlMeshGroupRef *ref, int mesh);
    void exportSkeleton(RandomAccessFile *file);
    void exportMeshGroupNames(RandomAccessFile *file);
    // Writes the whole file to `path` (the temporary name).
    void writeFile(const char *path);

    // The working mesh: first the source mesh's own lists, then the copies that clipping and
    // transformation make.
    void setVertexInfo(const KxRlMesh *mesh);
    void clipMesh(const KxRlMeshGroupRef *ref, int mesh);
    // Fills clipVertices and clipIndices as clipMesh needs them, testing every vertex.
    void scanClip(const KxRlMeshGroupRef *ref, int mesh);
    // Moves the working positions and normals; true when the transform mirrors.
    bool transformMesh(const KxRlMeshGroupRef *ref, int mesh);
    void calcMeshBounds();
    // The last guard before mesh `mesh` of `ref` is written (after calcMeshBounds): every
    // working position, normal and texture co-ordinate (and light-map co-ordinate, with
    // `lightMap`) is a finite number, and the position, texture and light-map bounds and the
    // steps the codes are made with stay within the float range. Otherwise throws
    // IOException "Mesh <m> of group <g> (<name>) cannot be written: <what>", with the
    // mesh's number in its source group and the group's position in the output.
    void checkWorkingMesh(const KxRlMeshGroupRef *ref, int mesh, bool lightMap) const;
    void clearAfterMesh();

    // Writes the mesh record's lists: indices (corners b and c swapped when `mirrored`) and
    // padding, quantised vertices, light-map pairs and bone data as asked.
    void exportMeshLists(RandomAccessFile *file, const KxRlMesh *source, bool mirrored, bool lightMap, bool bones);

    ArrayList groupRefs;
    KxRlBitmapReplacements bitmapReplacements;
    KxRlMeshSkeleton *skeleton;
    KxDMatTransform *skeletonTransform;
    const KxRlMeshClipIndex *clipIndex;
    std::vector<const char *> exportBitmapList;  // the texture names as read, not owned
    ArrayList exportMaterialList;
    int exportGroupNumber;  // the output group being written, for messages

    KxDClipRegion3D workBounds;
    int workIndexCount;
    const uint16_t *workIndexList;
    int workVertexCount;
    const _KxDTexVertex *workVertexList;
    const _KxDVector2D *workLightMapList;
    const _KxRlBoneData *workBoneList;
    // A clip's kept vertices (source numbers, increasing) and kept triangles (renumbered).
    std::vector<int> clipVertices;
    std::vector<uint16_t> clipIndices;
    // Lists made by clipping or transformation (null while the source's own are used).
    _KxDTexVertex *ownVertexList;
    _KxDVector2D *ownLightMapList;
    _KxRlBoneData *ownBoneList;
    // Encoded bytes of one list before they go to the file in one write.
    std::vector<uint8_t> encodeBuffer;
};

#endif
