#include "KxRlMeshSkeleton.h"

#include "KxDMatTransform.h"
#include "KxRlMeshReadCheck.h"
#include "RandomAccessFile.h"

#include <cstring>
#include <memory>

namespace {

// A bone record: 32-byte name, parent index, 12-float matrix.
constexpr int32_t kBoneRecordSize = 32 + 4 + 48;

}  // namespace

// ---------------------------------------------------------------------------------------
// KxRlMeshBone

KxRlMeshBone::KxRlMeshBone()
    : skeleton(nullptr), index(0), parentIndex(-1), childCount(-1), children(nullptr),
      matrix(new KxDMatTransform()) {
    std::memset(boneName, 0, sizeof boneName);
}

KxRlMeshBone::~KxRlMeshBone() {
    delete[] children;
    delete matrix;
}

KxRlMeshBone *KxRlMeshBone::CreateFromFile(RandomAccessFile *file, KxRlMeshSkeleton *skeleton, int index) {
    std::unique_ptr<KxRlMeshBone> bone(new KxRlMeshBone());
    bone->skeleton = skeleton;
    bone->index = index;
    kxrlReadMeshName(file, bone->boneName);
    bone->parentIndex = file->readInt();
    delete bone->matrix;
    bone->matrix = nullptr;
    bone->matrix = KxDMatTransform::CreateFromFile(file);
    return bone.release();
}

KxRlMeshBone *KxRlMeshBone::getParent() const {
    if (!skeleton || parentIndex < 0 || parentIndex >= skeleton->getBoneCount()) return nullptr;
    return skeleton->getBone(parentIndex);
}

int KxRlMeshBone::getChildCount() {
    if (childCount >= 0) return childCount;
    int bones = skeleton ? skeleton->getBoneCount() : 0;
    int count = 0;
    for (int i = 0; i < bones; i++) {
        if (skeleton->getBone(i)->getParentIndex() == index) count++;
    }
    delete[] children;
    children = count > 0 ? new int[count] : nullptr;
    int n = 0;
    for (int i = 0; i < bones; i++) {
        if (skeleton->getBone(i)->getParentIndex() == index) children[n++] = i;
    }
    childCount = count;
    return childCount;
}

KxRlMeshBone *KxRlMeshBone::getChild(int i) {
    getChildCount();
    return skeleton->getBone(children[i]);
}

void KxRlMeshBone::toString(StringBuffer *) const {}

// ---------------------------------------------------------------------------------------
// KxRlMeshSkeleton

KxRlMeshSkeleton::KxRlMeshSkeleton() : skeletonIdent(0), boneCount(0), bones(nullptr) {}

KxRlMeshSkeleton::~KxRlMeshSkeleton() {
    for (int i = 0; i < boneCount; i++) delete bones[i];
    delete[] bones;
}

KxRlMeshSkeleton *KxRlMeshSkeleton::CreateFromFile(RandomAccessFile *file, int32_t fileLength) {
    fileLength = kxrlMeshFileLength(file, fileLength);
    std::unique_ptr<KxRlMeshSkeleton> skeleton(new KxRlMeshSkeleton());
    skeleton->skeletonIdent = file->readInt();
    int32_t count = file->readInt();
    kxrlCheckMeshCount(file, fileLength, count, kBoneRecordSize, "bones");
    if (count > 0) {
        skeleton->bones = new KxRlMeshBone *[count]();
        skeleton->boneCount = count;
    }
    for (int i = 0; i < count; i++) {
        skeleton->bones[i] = KxRlMeshBone::CreateFromFile(file, skeleton.get(), i);
    }
    return skeleton.release();
}

void KxRlMeshSkeleton::toString(StringBuffer *) const {}

// ---------------------------------------------------------------------------------------
// KxRlMeshNamedMatrix

KxRlMeshNamedMatrix::KxRlMeshNamedMatrix() : matrix(new KxDMatTransform()) { std::memset(name, 0, sizeof name); }

KxRlMeshNamedMatrix::~KxRlMeshNamedMatrix() { delete matrix; }

KxRlMeshNamedMatrix *KxRlMeshNamedMatrix::CreateFromFile(RandomAccessFile *file) {
    std::unique_ptr<KxRlMeshNamedMatrix> named(new KxRlMeshNamedMatrix());
    kxrlReadMeshName(file, named->name);
    delete named->matrix;
    named->matrix = nullptr;
    named->matrix = KxDMatTransform::CreateFromFile(file);
    return named.release();
}

void KxRlMeshNamedMatrix::toString(StringBuffer *) const {}

// ---------------------------------------------------------------------------------------
// KxRlMeshPosMatrix

KxRlMeshPosMatrix::KxRlMeshPosMatrix() : unk1(0), matrix(new KxDMatTransform()), pos(new _KxDVector3D()) {
    kxdVecSet(pos, 0.0f, 0.0f, 0.0f);
}

KxRlMeshPosMatrix::~KxRlMeshPosMatrix() {
    delete matrix;
    delete pos;
}

KxRlMeshPosMatrix *KxRlMeshPosMatrix::CreateFromFile(RandomAccessFile *file) {
    std::unique_ptr<KxRlMeshPosMatrix> posMatrix(new KxRlMeshPosMatrix());
    posMatrix->unk1 = file->readInt();
    delete posMatrix->matrix;
    posMatrix->matrix = nullptr;
    posMatrix->matrix = KxDMatTransform::CreateFromFile(file);
    kxdVecLoad(posMatrix->pos, file);
    return posMatrix.release();
}

void KxRlMeshPosMatrix::toString(StringBuffer *) const {}
