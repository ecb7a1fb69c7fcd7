#include "KxRlMeshGroup.h"

#include "KxDClipRegion.h"
#include "KxDMatTransform.h"
#include "KxDMeshData.h"
#include "KxRlControlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshReadCheck.h"
#include "KxRlUtil.h"
#include "RandomAccessFile.h"
#include "StringBuffer.h"

#include <cstring>
#include <memory>

namespace {

// The smallest mesh record: material index, face and vertex counts, flags, and the bounds
// that every readable mesh carries.
constexpr int32_t kMinMeshRecordSize = 16 + 56;

}  // namespace

void KxRlMeshGroup::initPrefill() {
    meshCount = 0;
    meshes = nullptr;
    groupFlags[0] = 0x00;
    groupFlags[1] = KXRL_GROUPFLAG1_HIDDEN;
    matrix = nullptr;
    hiddenOn = 0;
    hiddenOff = 0;
    std::memset(name, 0, sizeof name);
}

KxRlMeshGroup::KxRlMeshGroup() { initPrefill(); }

KxRlMeshGroup::~KxRlMeshGroup() {
    for (int i = 0; i < meshCount; i++) delete meshes[i];
    delete[] meshes;
    delete matrix;
}

void KxRlMeshGroup::setMeshes(int count, KxRlMesh **list) {
    meshCount = count;
    meshes = list;
}

void KxRlMeshGroup::setName(const char *text) {
    std::memset(name, 0, sizeof name);
    kxrlStrCopy(name, text, KXRL_MESH_NAME_FIELD);
}

KxRlMeshGroup *KxRlMeshGroup::CreateFromFile(RandomAccessFile *file, KxRlMeshMaterial **materials,
                                             int materialCount, int32_t fileLength) {
    fileLength = kxrlMeshFileLength(file, fileLength);
    std::unique_ptr<KxRlMeshGroup> group(new KxRlMeshGroup());
    int16_t count = file->readShort();
    file->readChars(reinterpret_cast<char *>(group->groupFlags), 2, false);
    group->matrix = KxDMatTransform::CreateFromFile(file);
    if (group->groupFlags[1] & KXRL_GROUPFLAG1_HIDDEN) {
        group->hiddenOn = file->readShort();
        group->hiddenOff = file->readShort();
    }
    kxrlCheckMeshCount(file, fileLength, count, kMinMeshRecordSize, "meshes");
    // Null entries until read, so that a failure part-way frees exactly what was made.
    if (count > 0) group->setMeshes(count, new KxRlMesh *[count]());
    for (int i = 0; i < count; i++) {
        group->meshes[i] = KxRlMesh::CreateFromFile(file, materials, materialCount, fileLength);
    }
    return group.release();
}

KxRlMeshGroup *KxRlMeshGroup::CreateFromControl(KxRlMeshMaterial *material, const KxRlControlMesh *control) {
    std::unique_ptr<KxRlMeshGroup> group(new KxRlMeshGroup());
    group->matrix = new KxDMatTransform();
    group->setMeshes(1, new KxRlMesh *[1]());
    group->meshes[0] = KxRlMesh::CreateFromControl(material, control);
    group->setName(control->getControlType() == KXRL_CONTROL_ROOM ? control->getRoomName()
                                                                   : control->getControlTypeName());
    return group.release();
}

KxRlMeshGroup *KxRlMeshGroup::CreateFromControl(KxRlMeshMaterial *material, const KxRlMeshFile *file) {
    std::unique_ptr<KxRlMeshGroup> group(new KxRlMeshGroup());
    group->matrix = new KxDMatTransform();
    group->setName("Control");
    int controls = file->getControlMeshCount();
    int count = controls + file->getRoomCount();
    if (count > 0) group->setMeshes(count, new KxRlMesh *[count]());
    for (int i = 0; i < controls; i++) {
        group->meshes[i] = KxRlMesh::CreateFromControl(material, file->getControlMesh(i));
    }
    for (int i = controls; i < count; i++) {
        group->meshes[i] = KxRlMesh::CreateFromControl(material, file->getRoom(i - controls));
    }
    return group.release();
}

KxRlMeshGroup *KxRlMeshGroup::CreateFromData(KxRlMeshMaterial *material, int count, KxDMeshData **data) {
    std::unique_ptr<KxRlMeshGroup> group(new KxRlMeshGroup());
    group->matrix = new KxDMatTransform();
    group->setName("Data");
    if (count > 0) group->setMeshes(count, new KxRlMesh *[count]());
    for (int i = 0; i < count; i++) group->meshes[i] = KxRlMesh::CreateFromData(material, data[i]);
    return group.release();
}

KxRlMeshGroup *KxRlMeshGroup::CreateFromData(int count, KxRlMeshMaterial **materials, KxDMeshData **data) {
    std::unique_ptr<KxRlMeshGroup> group(new KxRlMeshGroup());
    group->matrix = new KxDMatTransform();
    group->setName("Data");
    if (count > 0) group->setMeshes(count, new KxRlMesh *[count]());
    for (int i = 0; i < count; i++) group->meshes[i] = KxRlMesh::CreateFromData(materials[i], data[i]);
    return group.release();
}

void KxRlMeshGroup::loadName(RandomAccessFile *file) { kxrlReadMeshName(file, name); }

void KxRlMeshGroup::calcPosBounds(KxDClipRegion3D *region) const {
    region->clear();
    KxDClipRegion3D scratch;
    for (int i = 0; i < meshCount; i++) {
        meshes[i]->calcPosBounds(&scratch);
        region->merge(&scratch);
    }
}

void KxRlMeshGroup::toString(StringBuffer *buffer) const {
    buffer->append('"');
    buffer->append(name);
    buffer->appendFormat("\" : %d Meshes (Flag = %02X %02X )\n", meshCount, groupFlags[0], groupFlags[1]);
    KxDClipRegion3D box;
    calcPosBounds(&box);
    buffer->append(" 3D Co-ordinate Range :\n");
    buffer->appendFormat("  X = (%7.3f, %7.3f)\n", box.getMinX(), box.getMaxX());
    buffer->appendFormat("  Y = (%7.3f, %7.3f)\n", box.getMinY(), box.getMaxY());
    buffer->appendFormat("  Z = (%7.3f, %7.3f)\n", box.getMinZ(), box.getMaxZ());
    for (int i = 0; i < meshCount; i++) {
        buffer->appendFormat("Mesh #%d : ", i);
        meshes[i]->toString(buffer);
        buffer->append('\n');
    }
}
