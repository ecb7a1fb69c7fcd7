#include "KxRlRebuiltProp.h"

#include "ByteOrder.h"
#include "IOException.h"
#include "KxDMatTransform.h"
#include "KxRlMeshClipIndex.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshSkeleton.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "RandomAccessFile.h"
#include "TemporaryFile.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr int32_t kMagicNumber = 10;
// A material's bitmap index byte 0xFF means "no bitmap", so 255 textures is the most a file
// can name.
constexpr int kMaxExportBitmaps = 255;
// Group flag 1: the writer always writes the hidden pair (0x10); 0x04 is never written.
constexpr uint8_t kGroupFlag1Clear = 0x04;
// Mesh flag 0 bits kept from the source: reflective floor and the uninterpreted 0x04, 0x08, 0x80.
constexpr uint8_t kMeshFlag0Kept = 0x8E;
constexpr uint8_t kMeshFlag0Written = KXRL_MESHFLAG0_IDENTS | KXRL_MESHFLAG0_BOUNDS | KXRL_MESHFLAG0_JOINTS;
// Settings byte 14 (raw byte 14, settings offset 10): bit 0x02 is cleared in every material written.
constexpr int kSettingsByte14 = 14 - 4;
constexpr uint8_t kSettingsByte14Cleared = 0x02;

uint8_t *put16(uint8_t *p, uint16_t value) {
    kxStoreLE16(p, value);
    return p + 2;
}

uint8_t *putFloat(uint8_t *p, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    kxStoreLE32(p, bits);
    return p + 4;
}

// Normal code: (n + 1) x 32767.5 rounded to the nearest integer, so -1 is 0, +1 is 65535 and
// every code the reader decodes writes back as itself (truncating would move a read-and-
// rewritten normal down by one code for thousands of codes). Values past either end stay at
// the end; a not-a-number normal codes to 0.
uint16_t normalCode(float n) {
    float q = (n + 1.0f) * 32767.5f;
    if (!(q > 0.0f)) return 0;
    if (q >= 65535.0f) return 65535;
    return static_cast<uint16_t>(std::lround(q));
}

// Light-map code: the integer part of u x 65535, low 16 bits (co-ordinates beyond 0..1 wrap
// like tiled textures); not-a-number codes to 0.
uint16_t lightMapCode(float u) { return kxdTruncateToShort(u * 65535.0f); }

// Two fresh random halves, the low one drawn first.
void writeRandomIdent(RandomAccessFile *file) {
    int low = kxrlRand15();
    int high = kxrlRand15();
    file->writeShort(static_cast<int16_t>(low));
    file->writeShort(static_cast<int16_t>(high));
}

// A zero-filled 32-byte name field with at most 31 characters of `name`.
void writeNameField(RandomAccessFile *file, const char *name) {
    char field[KXRL_MESH_NAME_FIELD];
    std::memset(field, 0, sizeof field);
    if (name) {
        size_t length = std::strlen(name);
        if (length > KXRL_MESH_NAME_FIELD - 1) length = KXRL_MESH_NAME_FIELD - 1;
        std::memcpy(field, name, length);
    }
    file->writeChars(field, sizeof field, false);
}

void writeMatrix(RandomAccessFile *file, const KxDMatTransform *matrix) {
    KxDMatTransform identity;
    if (!matrix) matrix = &identity;
    for (int row = 0; row < 4; row++)
        for (int column = 0; column < 3; column++) file->writeFloat(matrix->getValue(row, column));
}

bool finite(const _KxDVector3D &v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
bool finite(const _KxDVector2D &v) { return std::isfinite(v.x) && std::isfinite(v.y); }

bool allFinite(const float *values, int count) {
    for (int i = 0; i < count; i++)
        if (!std::isfinite(values[i])) return false;
    return true;
}

// The ends and the quantising steps of a box: a box whose extent overflows the float range
// has an infinite step, and every code made with it would be 0.
bool finiteBox(const KxDClipRegion2D &box) {
    const float values[6] = {box.getMinX(), box.getMinY(), box.getMaxX(), box.getMaxY(), box.getStepX(),
                             box.getStepY()};
    return allFinite(values, 6);
}

bool finiteBox(const KxDClipRegion3D &box) {
    const float values[3] = {box.getMinZ(), box.getMaxZ(), box.getStepZ()};
    return finiteBox(static_cast<const KxDClipRegion2D &>(box)) && allFinite(values, 3);
}

// A box whose diagonal cannot be measured in float (its squared length overflows, as for walls
// at x = 1e38) holds geometry whose lengths and distances cannot be worked out either: the
// wall report of such a room is full of inf and nan, and so would be the game's sums.
bool measurableBox(const KxDClipRegion3D &box) {
    const float dx = box.getMaxX() - box.getMinX(), dy = box.getMaxY() - box.getMinY(),
                dz = box.getMaxZ() - box.getMinZ();
    return std::isfinite(dx * dx + dy * dy + dz * dz);
}

// Two texture names of a material slot are the same when both are empty or both are the
// same text; the switched-off marker matches only itself.
bool sameSlotName(const char *a, const char *b) {
    if (a == b) return true;
    if (!a || !b || a == KxRlNoBitmap || b == KxRlNoBitmap) return false;
    return std::strcmp(a, b) == 0;
}

}  // namespace

KxRlRebuiltProp::KxRlRebuiltProp()
    : skeleton(nullptr),
      skeletonTransform(nullptr),
      clipIndex(nullptr),
      exportGroupNumber(0),
      workIndexCount(0),
      workIndexList(nullptr),
      workVertexCount(0),
      workVertexList(nullptr),
      workLightMapList(nullptr),
      workBoneList(nullptr),
      ownVertexList(nullptr),
      ownLightMapList(nullptr),
      ownBoneList(nullptr) {}

KxRlRebuiltProp::~KxRlRebuiltProp() {
    clearAfterMesh();
    clearAfterExport();
    for (int i = 0; i < getMeshGroupRefCount(); i++) delete getMeshGroupRef(i);
}

void KxRlRebuiltProp::addMeshGroupRef(KxRlMeshGroupRef *ref) { groupRefs.add(ref); }

KxRlMeshGroupRef *KxRlRebuiltProp::getMeshGroupRef(int i) const {
    return static_cast<KxRlMeshGroupRef *>(groupRefs.get(i));
}

KxRlMeshGroupRef *KxRlRebuiltProp::removeMeshGroupRef(int i) {
    return static_cast<KxRlMeshGroupRef *>(groupRefs.remove(i));
}

void KxRlRebuiltProp::setSkeleton(KxRlMeshSkeleton *newSkeleton, KxDMatTransform *transform) {
    skeleton = newSkeleton;
    skeletonTransform = transform;
}

// ---------------------------------------------------------------------------------------
// Texture names and materials

bool KxRlRebuiltProp::isWrittenBitmap(const char *name) const {
    return name && name != KxRlNoBitmap && bitmapReplacements.resolve(name) != KxRlNoBitmap;
}

int KxRlRebuiltProp::findBitmapIndex(const char *name) const {
    if (!isWrittenBitmap(name)) return -1;
    for (int i = 0; i < getExportBitmapCount(); i++) {
        if (std::strcmp(getExportBitmap(i), name) == 0) return i;
    }
    return -1;
}

void KxRlRebuiltProp::addExportBitmap(const char *name) {
    // The list holds the names as read: two names replaced by the same one stay two entries.
    if (!isWrittenBitmap(name) || findBitmapIndex(name) >= 0) return;
    exportBitmapList.push_back(name);
}

void KxRlRebuiltProp::resExportBitmaps() {
    for (int r = 0; r < getMeshGroupRefCount(); r++) {
        const KxRlMeshGroupRef *ref = getMeshGroupRef(r);
        for (int mesh = 0; mesh < ref->getMeshCount(); mesh++) {
            if (!ref->getMeshActive(mesh)) continue;
            for (int slot = 0; slot < 4; slot++) addExportBitmap(ref->getBitmap(mesh, slot));
        }
    }
}

void KxRlRebuiltProp::makeExportMaterial(const KxRlMeshGroupRef *ref, int mesh, _KxRlExportMaterial *material) const {
    for (int slot = 0; slot < 4; slot++) material->bitmaps[slot] = ref->getBitmap(mesh, slot);
    const KxRlMeshMaterial *source = ref->getMeshGroup()->getMesh(mesh)->getMaterial();
    if (source) {
        std::memcpy(material->settings, source->getRawData() + 4, KXRL_MATERIAL_SETTINGS_SIZE);
    } else {
        KxRlMeshMaterial defaults;
        std::memcpy(material->settings, defaults.getRawData() + 4, KXRL_MATERIAL_SETTINGS_SIZE);
    }
    material->settings[kSettingsByte14] &= static_cast<uint8_t>(~kSettingsByte14Cleared);
}

int KxRlRebuiltProp::findMaterialIndex(const _KxRlExportMaterial *material) const {
    for (int i = 0; i < getExportMaterialCount(); i++) {
        const _KxRlExportMaterial *listed = getExportMaterial(i);
        if (std::memcmp(listed->settings, material->settings, KXRL_MATERIAL_SETTINGS_SIZE) != 0) continue;
        bool same = true;
        for (int slot = 0; slot < 4 && same; slot++)
            same = sameSlotName(listed->bitmaps[slot], material->bitmaps[slot]);
        if (same) return i;
    }
    return -1;
}

void KxRlRebuiltProp::resExportMaterials() {
    for (int r = 0; r < getMeshGroupRefCount(); r++) {
        const KxRlMeshGroupRef *ref = getMeshGroupRef(r);
        for (int mesh = 0; mesh < ref->getMeshCount(); mesh++) {
            if (!ref->getMeshActive(mesh)) continue;
            _KxRlExportMaterial material;
            makeExportMaterial(ref, mesh, &material);
            if (findMaterialIndex(&material) < 0) exportMaterialList.add(new _KxRlExportMaterial(material));
        }
    }
}

void KxRlRebuiltProp::clearAfterExport() {
    exportBitmapList.clear();
    for (int i = 0; i < getExportMaterialCount(); i++) delete getExportMaterial(i);
    exportMaterialList.clear();
}

// ---------------------------------------------------------------------------------------
// Decisions per mesh

int KxRlRebuiltProp::resMeshCount(const KxRlMeshGroupRef *ref) {
    int count = 0;
    for (int mesh = 0; mesh < ref->getMeshCount(); mesh++)
        if (ref->getMeshActive(mesh)) count++;
    return count;
}

bool KxRlRebuiltProp::needsClipping(const KxRlMeshGroupRef *ref, int mesh) { return ref->needsClipping(mesh); }

bool KxRlRebuiltProp::needsTransform(const KxRlMeshGroupRef *ref, int mesh) { return ref->needsTransform(mesh); }

bool KxRlRebuiltProp::needsLightMap(const KxRlMeshGroupRef *ref, int mesh) const {
    return isWrittenBitmap(ref->getBitmap(mesh, 2));
}

bool KxRlRebuiltProp::needsBones(const KxRlMeshGroupRef *ref, int mesh) const {
    const KxRlMesh *source = ref->getMeshGroup()->getMesh(mesh);
    return skeleton && (source->getMeshFlag(0) & KXRL_MESHFLAG0_BONES) && source->getBoneList();
}

// ---------------------------------------------------------------------------------------
// The whole file

void KxRlRebuiltProp::exportMesh(const char *path) {
    if (!path || !*path) throw IOException("No output file name given");
    if (std::strlen(path) >= KXRL_PATH_SIZE)
        throw IOException("Output path exceeds 255 characters: " + platform::nativePath(path));
    // Renaming would replace a read-only file on POSIX; it is refused everywhere, as opening it is.
    if (platform::isReadOnlyFile(path)) throw IOException(EACCES, "File could not be opened");
    TemporaryFile part(path);
    const std::string &partPath = part.path();

    try {
        resExportBitmaps();
        resExportMaterials();
        if (getExportBitmapCount() > kMaxExportBitmaps) {
            throw IOException("Too many textures: the prop uses " + std::to_string(getExportBitmapCount()) +
                              ", a mesh file holds at most 255");
        }
        writeFile(partPath.c_str());
        if (!part.moveIntoPlace()) {
            const char *why = platform::isDirectory(path) ? "A folder is in the way of the finished file: "
                                                          : "Could not move the finished file into place: ";
            throw IOException(why + platform::nativePath(path));
        }
    } catch (...) {
        clearAfterMesh();
        clearAfterExport();
        throw;
    }
    clearAfterExport();
}

void KxRlRebuiltProp::writeFile(const char *path) {
    RandomAccessFile file(path, "wb");
    exportFileHeader(&file);
    exportBitmaps(&file);
    exportMaterials(&file);
    exportMeshGroupRefs(&file);
    exportSkeleton(&file);
    exportMeshGroupNames(&file);
    file.close();
}

void KxRlRebuiltProp::exportFileHeader(RandomAccessFile *file) {
    file->writeInt(kMagicNumber);
    file->writeInt(getExportBitmapCount());
    file->writeInt(getExportMaterialCount());
    file->writeInt(getMeshGroupRefCount());
    uint8_t flags[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    flags[0] = skeleton ? KXRL_FILEFLAG0_SKELETON : 0;
    // Position matrix, sub mesh and room counts present (all three written as 0 below).
    flags[6] = 0xC2;
    flags[7] = 1;
    file->writeChars(reinterpret_cast<const char *>(flags), sizeof flags, false);
    file->writeInt(0);
    file->writeInt(0);
    file->writeInt(0);
}

void KxRlRebuiltProp::exportBitmaps(RandomAccessFile *file) {
    for (int i = 0; i < getExportBitmapCount(); i++)
        writeNameField(file, bitmapReplacements.resolve(getExportBitmap(i)));
}

void KxRlRebuiltProp::exportMaterials(RandomAccessFile *file) {
    for (int i = 0; i < getExportMaterialCount(); i++) {
        const _KxRlExportMaterial *material = getExportMaterial(i);
        for (int slot = 0; slot < 4; slot++)
            file->writeByte(static_cast<int8_t>(findBitmapIndex(material->bitmaps[slot])));
        file->writeChars(reinterpret_cast<const char *>(material->settings), KXRL_MATERIAL_SETTINGS_SIZE, false);
    }
}

void KxRlRebuiltProp::exportMeshGroupRefs(RandomAccessFile *file) {
    for (int r = 0; r < getMeshGroupRefCount(); r++) {
        exportGroupNumber = r;
        const KxRlMeshGroupRef *ref = getMeshGroupRef(r);
        const KxRlMeshGroup *group = ref->getMeshGroup();
        file->writeShort(static_cast<int16_t>(resMeshCount(ref)));
        file->writeUByte(group->getGroupFlag(0));
        // The hidden pair is always written, so its flag must announce it.
        uint8_t flag1 = static_cast<uint8_t>((group->getGroupFlag(1) & ~kGroupFlag1Clear) | KXRL_GROUPFLAG1_HIDDEN);
        file->writeUByte(flag1);
        writeMatrix(file, group->getMatrix());
        file->writeShort(0);
        file->writeShort(0);
        for (int mesh = 0; mesh < ref->getMeshCount(); mesh++) exportMesh(file, ref, mesh);
    }
}

void KxRlRebuiltProp::exportSkeleton(RandomAccessFile *file) {
    if (!skeleton) return;
    int boneCount = skeleton->getBoneCount();
    // Bones moved by a transform make a different skeleton: it gets a fresh ident.
    if (skeletonTransform && boneCount > 0) {
        writeRandomIdent(file);
    } else {
        file->writeInt(skeleton->getSkeletonIdent());
    }
    file->writeInt(boneCount);
    for (int i = 0; i < boneCount; i++) {
        const KxRlMeshBone *bone = skeleton->getBone(i);
        writeNameField(file, bone->getBoneName());
        file->writeInt(bone->getParentIndex());
        KxDMatTransform matrix(bone->getMatrix());
        if (skeletonTransform) matrix.multiply(skeletonTransform);
        writeMatrix(file, &matrix);
    }
}

void KxRlRebuiltProp::exportMeshGroupNames(RandomAccessFile *file) {
    for (int r = 0; r < getMeshGroupRefCount(); r++) writeNameField(file, getMeshGroupRef(r)->getGroupName());
}

// ---------------------------------------------------------------------------------------
// One mesh

void KxRlRebuiltProp::exportMesh(RandomAccessFile *file, const KxRlMeshGroupRef *ref, int mesh) {
    if (!ref->getMeshActive(mesh)) return;
    const KxRlMesh *source = ref->getMeshGroup()->getMesh(mesh);

    bool clipping = needsClipping(ref, mesh);
    bool transform = needsTransform(ref, mesh);
    bool lightMap = needsLightMap(ref, mesh);
    bool bones = needsBones(ref, mesh);

    setVertexInfo(source);
    if (clipping) clipMesh(ref, mesh);
    bool mirrored = transform ? transformMesh(ref, mesh) : false;
    calcMeshBounds();
    checkWorkingMesh(ref, mesh, lightMap);

    _KxRlExportMaterial material;
    makeExportMaterial(ref, mesh, &material);
    file->writeInt(findMaterialIndex(&material));
    file->writeInt(workIndexCount / 3);
    file->writeInt(workVertexCount);

    uint8_t flag0 = static_cast<uint8_t>((source->getMeshFlag(0) & kMeshFlag0Kept) | kMeshFlag0Written);
    if (bones) flag0 |= KXRL_MESHFLAG0_BONES;
    file->writeUByte(flag0);
    file->writeUByte(lightMap ? KXRL_MESHFLAG1_LIGHTMAP : 0);
    file->writeUByte(bones ? source->getMeshFlag(2) : 0);
    file->writeUByte(0);

    writeRandomIdent(file);  // index ident
    file->writeInt(-1);      // vertex ident
    if (bones) {
        writeRandomIdent(file);
    } else {
        file->writeInt(0);
    }

    file->writeFloat(workBounds.getMinX());
    file->writeFloat(workBounds.getMinY());
    file->writeFloat(workBounds.getMinZ());
    file->writeFloat(workBounds.getMaxX());
    file->writeFloat(workBounds.getMaxY());
    file->writeFloat(workBounds.getMaxZ());

    // The bounds move with the texture translation, the codes do not: a reader decodes
    // every co-ordinate moved by it.
    float tx = ref->getTexTranslateX(mesh);
    float ty = ref->getTexTranslateY(mesh);
    file->writeFloat(source->getMinTx() + tx);
    file->writeFloat(source->getMinTy() + ty);
    file->writeFloat(source->getMaxTx() + tx);
    file->writeFloat(source->getMaxTy() + ty);

    file->writeFloat(source->getMinLmTx());
    file->writeFloat(source->getMinLmTy());
    file->writeFloat(source->getMaxLmTx());
    file->writeFloat(source->getMaxLmTy());

    file->writeInt(0);  // joints are not written

    exportMeshLists(file, source, mirrored, lightMap, bones);
    clearAfterMesh();
}

void KxRlRebuiltProp::exportMeshLists(RandomAccessFile *file, const KxRlMesh *source, bool mirrored, bool lightMap,
                                      bool bones) {
    // Corner b and c change places under a mirroring transform, so faces keep facing out.
    int second = mirrored ? 2 : 1;
    int third = mirrored ? 1 : 2;
    encodeBuffer.resize(static_cast<size_t>(workIndexCount) * 2);
    uint8_t *p = encodeBuffer.data();
    for (int i = 0; i + 2 < workIndexCount; i += 3) {
        p = put16(p, workIndexList[i]);
        p = put16(p, workIndexList[i + second]);
        p = put16(p, workIndexList[i + third]);
    }
    if (workIndexCount > 0)
        file->writeChars(reinterpret_cast<const char *>(encodeBuffer.data()), p - encodeBuffer.data(), false);
    file->writePadToBoundary(4, 0);

    // Texture codes belong to the source's own, untranslated texture bounds.
    KxDClipRegion2D texRegion(source->getTexBounds());
    size_t vertexBytes = static_cast<size_t>(workVertexCount) * 16;
    encodeBuffer.resize(vertexBytes);
    p = encodeBuffer.data();
    for (int v = 0; v < workVertexCount; v++) {
        const _KxDTexVertex *vertex = &workVertexList[v];
        p = put16(p, workBounds.toShortX(vertex->position.x));
        p = put16(p, workBounds.toShortY(vertex->position.y));
        p = put16(p, workBounds.toShortZ(vertex->position.z));
        p = put16(p, normalCode(vertex->normal.x));
        p = put16(p, normalCode(vertex->normal.y));
        p = put16(p, normalCode(vertex->normal.z));
        p = put16(p, texRegion.toShortX(vertex->texture.x));
        p = put16(p, texRegion.toShortY(vertex->texture.y));
    }
    if (vertexBytes > 0) file->writeChars(reinterpret_cast<const char *>(encodeBuffer.data()), vertexBytes, false);

    if (lightMap && workVertexCount > 0) {
        encodeBuffer.resize(static_cast<size_t>(workVertexCount) * 4);
        p = encodeBuffer.data();
        for (int v = 0; v < workVertexCount; v++) {
            // Without light-map co-ordinates of its own the mesh uses its texture co-ordinates.
            const _KxDVector2D *uv = workLightMapList ? &workLightMapList[v] : &workVertexList[v].texture;
            p = put16(p, lightMapCode(uv->x));
            p = put16(p, lightMapCode(uv->y));
        }
        file->writeChars(reinterpret_cast<const char *>(encodeBuffer.data()), encodeBuffer.size(), false);
    }

    if (bones && workVertexCount > 0) {
        encodeBuffer.resize(static_cast<size_t>(workVertexCount) * sizeof(_KxRlBoneData));
        p = encodeBuffer.data();
        for (int v = 0; v < workVertexCount; v++) {
            const _KxRlBoneData *bone = &workBoneList[v];
            for (int k = 0; k < 4; k++) p = putFloat(p, bone->values[k]);
            std::memcpy(p, bone->bytes, 4);
            p += 4;
        }
        file->writeChars(reinterpret_cast<const char *>(encodeBuffer.data()), encodeBuffer.size(), false);
    }
}

void KxRlRebuiltProp::setVertexInfo(const KxRlMesh *mesh) {
    clearAfterMesh();
    workIndexCount = mesh->getIndexCount();
    workIndexList = mesh->getIndexList();
    workVertexCount = mesh->getVertexCount();
    workVertexList = mesh->getVertexList();
    workLightMapList = mesh->getLightMapList();
    workBoneList = mesh->getBoneList();
}

void KxRlRebuiltProp::clipMesh(const KxRlMeshGroupRef *ref, int mesh) {
    if (clipIndex && clipIndex->getMesh() == ref->getMeshGroup()->getMesh(mesh)) {
        clipIndex->clip(ref, mesh, &clipVertices, &clipIndices);
    } else {
        scanClip(ref, mesh);
    }

    int kept = static_cast<int>(clipVertices.size());
    if (kept > 0) {
        ownVertexList = new _KxDTexVertex[kept];
        if (workLightMapList) ownLightMapList = new _KxDVector2D[kept];
        if (workBoneList) ownBoneList = new _KxRlBoneData[kept];
        for (int to = 0; to < kept; to++) {
            int from = clipVertices[to];
            ownVertexList[to] = workVertexList[from];
            if (ownLightMapList) ownLightMapList[to] = workLightMapList[from];
            if (ownBoneList) ownBoneList[to] = workBoneList[from];
        }
    }
    workIndexCount = static_cast<int>(clipIndices.size());
    workIndexList = clipIndices.data();
    workVertexCount = kept;
    workVertexList = ownVertexList;
    workLightMapList = ownLightMapList;
    workBoneList = ownBoneList;
}

void KxRlRebuiltProp::scanClip(const KxRlMeshGroupRef *ref, int mesh) {
    int sourceCount = workVertexCount;
    std::vector<int32_t> vertexRemap(static_cast<size_t>(sourceCount));
    clipVertices.clear();
    for (int v = 0; v < sourceCount; v++) {
        const _KxDVector3D *position = &workVertexList[v].position;
        vertexRemap[v] = -1;
        if (!ref->isInClipRegions(mesh, position)) continue;
        vertexRemap[v] = static_cast<int32_t>(clipVertices.size());
        clipVertices.push_back(v);
    }

    // A triangle stays when all three corners stay; an index beyond the vertices drops it.
    clipIndices.clear();
    for (int i = 0; i + 2 < workIndexCount; i += 3) {
        int a = workIndexList[i], b = workIndexList[i + 1], c = workIndexList[i + 2];
        if (a >= sourceCount || b >= sourceCount || c >= sourceCount) continue;
        if (vertexRemap[a] < 0 || vertexRemap[b] < 0 || vertexRemap[c] < 0) continue;
        clipIndices.push_back(static_cast<uint16_t>(vertexRemap[a]));
        clipIndices.push_back(static_cast<uint16_t>(vertexRemap[b]));
        clipIndices.push_back(static_cast<uint16_t>(vertexRemap[c]));
    }
}

bool KxRlRebuiltProp::transformMesh(const KxRlMeshGroupRef *ref, int mesh) {
    const KxDMatTransform *t = ref->getMeshTransform(mesh);
    if (!ownVertexList && workVertexCount > 0) {
        ownVertexList = new _KxDTexVertex[workVertexCount];
        std::memcpy(ownVertexList, workVertexList, sizeof(_KxDTexVertex) * static_cast<size_t>(workVertexCount));
        workVertexList = ownVertexList;
    }
    for (int v = 0; v < workVertexCount; v++) {
        t->multiply(&ownVertexList[v].position, false);
        t->multiply(&ownVertexList[v].normal, true);
    }
    return t->isMirroring();
}

void KxRlRebuiltProp::checkWorkingMesh(const KxRlMeshGroupRef *ref, int mesh, bool lightMap) const {
    const char *problem = nullptr;
    for (int v = 0; v < workVertexCount && !problem; v++) {
        const _KxDTexVertex &vertex = workVertexList[v];
        if (!finite(vertex.position)) problem = "a vertex position is not a finite number";
        else if (!finite(vertex.normal)) problem = "a normal is not a finite number";
        else if (!finite(vertex.texture)) problem = "a texture co-ordinate is not a finite number";
        else if (lightMap && workLightMapList && !finite(workLightMapList[v]))
            problem = "a light-map co-ordinate is not a finite number";
    }
    const KxRlMesh *source = ref->getMeshGroup()->getMesh(mesh);
    const float tx = ref->getTexTranslateX(mesh), ty = ref->getTexTranslateY(mesh);
    const float texBounds[4] = {source->getMinTx() + tx, source->getMinTy() + ty, source->getMaxTx() + tx,
                                source->getMaxTy() + ty};
    const float lightMapBounds[4] = {source->getMinLmTx(), source->getMinLmTy(), source->getMaxLmTx(),
                                     source->getMaxLmTy()};
    // A mesh without vertices keeps the unset box, which spans the float range on purpose.
    if (!problem && (!finiteBox(workBounds) || (workVertexCount > 0 && !measurableBox(workBounds)))) problem = "its bounding box exceeds the float range";
    if (!problem && (!allFinite(texBounds, 4) || !finiteBox(KxDClipRegion2D(source->getTexBounds()))))
        problem = "its texture bounds exceed the float range";
    if (!problem && lightMap && !allFinite(lightMapBounds, 4))
        problem = "its light-map bounds exceed the float range";
    if (!problem) return;
    const char *name = ref->getGroupName();
    throw IOException("Mesh " + std::to_string(mesh) + " of group " + std::to_string(exportGroupNumber) + " (" +
                      (name ? name : "") + ") cannot be written: " + problem);
}

void KxRlRebuiltProp::calcMeshBounds() {
    workBounds.clear();
    for (int v = 0; v < workVertexCount; v++) workBounds.clipTo(&workVertexList[v].position);
    workBounds.correct();
}

void KxRlRebuiltProp::clearAfterMesh() {
    delete[] ownVertexList;
    delete[] ownLightMapList;
    delete[] ownBoneList;
    ownVertexList = nullptr;
    ownLightMapList = nullptr;
    ownBoneList = nullptr;
    workIndexCount = 0;
    workIndexList = nullptr;
    workVertexCount = 0;
    workVertexList = nullptr;
    workLightMapList = nullptr;
    workBoneList = nullptr;
}
