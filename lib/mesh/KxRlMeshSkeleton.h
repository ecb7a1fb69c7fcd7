#ifndef KX_MESH_KXRLMESHSKELETON_H
#define KX_MESH_KXRLMESHSKELETON_H

#include "KxDVector.h"
#include "KxRlMeshMaterial.h"

#include <cstdint>

class KxDMatTransform;
class KxRlMeshSkeleton;
class RandomAccessFile;
class StringBuffer;

// One bone of a skeleton: its position in the skeleton, a name, the position of its parent
// and a matrix. The children are counted on first request and cached.
class KxRlMeshBone {
public:
    // Index 0 in no skeleton, empty name, parent -1, children not counted, identity matrix.
    KxRlMeshBone();
    ~KxRlMeshBone();
    KxRlMeshBone(const KxRlMeshBone &) = delete;
    KxRlMeshBone &operator=(const KxRlMeshBone &) = delete;

    // A new bone (owned by the caller) from a bone record (32-byte name, int32 parent index,
    // matrix), given its skeleton and its position there. The parent index is kept as read,
    // whatever its value. An IOException of the file passes through.
    static KxRlMeshBone *CreateFromFile(RandomAccessFile *file, KxRlMeshSkeleton *skeleton, int index);

    int getIndex() const { return index; }
    const char *getBoneName() const { return boneName; }
    // As read: -1 (any negative value) for a root.
    int32_t getParentIndex() const { return parentIndex; }
    // Null for a root, and also for a parent index at or above the bone count (such a bone
    // is treated as a root, never as an index into the bone array); else the parent bone.
    KxRlMeshBone *getParent() const;
    // Number of bones whose parent index is this bone's index, counted once.
    int getChildCount();
    // The i-th child, in index order (i below getChildCount()).
    KxRlMeshBone *getChild(int i);
    KxDMatTransform *getMatrix() const { return matrix; }

    // Bones are not shown in reports: appends nothing.
    void toString(StringBuffer *buffer) const;

private:
    KxRlMeshSkeleton *skeleton;
    int index;
    char boneName[KXRL_MESH_NAME_SIZE];
    int32_t parentIndex;
    int childCount;
    int *children;
    KxDMatTransform *matrix;
};

// A skeleton: an ident and its bones (owned), bone i being the i-th bone record.
class KxRlMeshSkeleton {
public:
    // Ident 0, no bones.
    KxRlMeshSkeleton();
    ~KxRlMeshSkeleton();
    KxRlMeshSkeleton(const KxRlMeshSkeleton &) = delete;
    KxRlMeshSkeleton &operator=(const KxRlMeshSkeleton &) = delete;

    // A new skeleton (owned by the caller): ident, bone count (checked against the bytes
    // left before allocating; `fileLength` -1 asks the file), then the bones. Throws
    // IOException for a malformed record; nothing is left allocated then.
    static KxRlMeshSkeleton *CreateFromFile(RandomAccessFile *file, int32_t fileLength = -1);

    int32_t getSkeletonIdent() const { return skeletonIdent; }
    int getBoneCount() const { return boneCount; }
    KxRlMeshBone *getBone(int i) const { return bones[i]; }

    // Appends nothing.
    void toString(StringBuffer *buffer) const;

private:
    int32_t skeletonIdent;
    int boneCount;
    KxRlMeshBone **bones;
};

// A named matrix of an MSH file (read and offered, never written).
class KxRlMeshNamedMatrix {
public:
    // Empty name, identity matrix.
    KxRlMeshNamedMatrix();
    ~KxRlMeshNamedMatrix();
    KxRlMeshNamedMatrix(const KxRlMeshNamedMatrix &) = delete;
    KxRlMeshNamedMatrix &operator=(const KxRlMeshNamedMatrix &) = delete;

    // 32-byte name, then 12 floats. An IOException of the file passes through.
    static KxRlMeshNamedMatrix *CreateFromFile(RandomAccessFile *file);

    const char *getName() const { return name; }
    KxDMatTransform *getMatrix() const { return matrix; }
    // Appends nothing.
    void toString(StringBuffer *buffer) const;

private:
    char name[KXRL_MESH_NAME_SIZE];
    KxDMatTransform *matrix;
};

// A position matrix of an MSH file: an int32 of unknown meaning, a matrix and a position.
class KxRlMeshPosMatrix {
public:
    // 0, identity matrix, position (0, 0, 0).
    KxRlMeshPosMatrix();
    ~KxRlMeshPosMatrix();
    KxRlMeshPosMatrix(const KxRlMeshPosMatrix &) = delete;
    KxRlMeshPosMatrix &operator=(const KxRlMeshPosMatrix &) = delete;

    // int32, 12 floats, 3 floats. An IOException of the file passes through.
    static KxRlMeshPosMatrix *CreateFromFile(RandomAccessFile *file);

    int32_t getUnk1() const { return unk1; }
    KxDMatTransform *getMatrix() const { return matrix; }
    _KxDVector3D *getPos() const { return pos; }
    // Appends nothing.
    void toString(StringBuffer *buffer) const;

private:
    int32_t unk1;
    KxDMatTransform *matrix;
    _KxDVector3D *pos;
};

#endif
