#include "KxRlMesh.h"

#include "ByteOrder.h"
#include "IOException.h"
#include "KxRlControlMesh.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshReadCheck.h"
#include "RandomAccessFile.h"
#include "StringBuffer.h"

#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace {

// Bytes of one stored vertex: 8 uint16 codes.
constexpr int32_t kStoredVertexSize = 16;

// Normal code 0 is -1.0, 65535 is +1.0.
float decodeNormal(uint16_t n) { return 2.0f * static_cast<float>(n) / 65535.0f - 1.0f; }

// One list of a mesh record: `count` records of `RecordSize` bytes each, decoded into a new
// array of `count` T (null for none). The count is checked against the bytes left before
// anything is allocated (kxrlCheckMeshCount, with `what` naming the records); the records are
// read with one read into the array's own memory, and each is copied out before
// `decode(bytes, element)` writes its element, which may cover those bytes.
template <typename T, size_t RecordSize, typename Decode>
std::unique_ptr<T[]> readRecords(RandomAccessFile *file, int32_t fileLength, int32_t count, const char *what,
                                 Decode decode) {
    kxrlCheckMeshCount(file, fileLength, count, static_cast<int32_t>(RecordSize), what);
    std::unique_ptr<T[]> list;
    if (count > 0) list.reset(new T[count]);
    const uint8_t *block = kxrlReadMeshBlock(file, list.get(), count, RecordSize, sizeof(T));
    for (int32_t i = 0; i < count; i++) {
        uint8_t bytes[RecordSize];
        std::memcpy(bytes, block + static_cast<size_t>(i) * RecordSize, RecordSize);
        decode(bytes, &list[i]);
    }
    return list;
}

}  // namespace

void KxRlMesh::initPrefill() {
    material = nullptr;
    materialIndex = 0;
    vertexCount = 0;
    indexCount = 0;
    meshFlags[0] = KXRL_MESHFLAG0_IDENTS | KXRL_MESHFLAG0_BOUNDS | KXRL_MESHFLAG0_JOINTS;
    meshFlags[1] = 0;
    meshFlags[2] = 0;
    meshFlags[3] = 0;
    indexIdent = 0;
    vertexIdent = -1;
    boneIdent = 0;
    posBounds = std::make_unique<KxDClipRegion3D>();
    texBounds = std::make_unique<KxDClipRegion2D>();
    lmTexBounds = std::make_unique<KxDClipRegion2D>();
    jointCount = 0;
}

KxRlMesh::KxRlMesh() { initPrefill(); }

KxRlMesh::~KxRlMesh() = default;

KxRlMesh *KxRlMesh::CreateFromFile(RandomAccessFile *file, KxRlMeshMaterial **materials, int materialCount,
                                   int32_t fileLength) {
    std::unique_ptr<KxRlMesh> mesh(new KxRlMesh());
    mesh->load(file, materials, materialCount, kxrlMeshFileLength(file, fileLength));
    return mesh.release();
}

void KxRlMesh::load(RandomAccessFile *file, KxRlMeshMaterial **materials, int materialCount, int32_t fileLength) {
    // Material index, face count, vertex count, four flags.
    uint8_t head[16];
    file->readChars(reinterpret_cast<char *>(head), sizeof head, false);
    materialIndex = static_cast<int32_t>(kxLoadLE32(head));
    int32_t faceCount = static_cast<int32_t>(kxLoadLE32(head + 4));
    int32_t storedVertexCount = static_cast<int32_t>(kxLoadLE32(head + 8));
    std::memcpy(meshFlags, head + 12, 4);
    kxrlCheckMeshIndex(file, materialIndex, materialCount, "Material index");
    material = materials[materialIndex];

    if (meshFlags[0] & KXRL_MESHFLAG0_IDENTS) {
        indexIdent = file->readInt();
        vertexIdent = file->readInt();
        boneIdent = file->readInt();
    }
    // Positions and texture co-ordinates are codes within these bounds: without them the
    // vertices cannot be decoded.
    if (!(meshFlags[0] & KXRL_MESHFLAG0_BOUNDS)) {
        throw IOException("Mesh record without bounds (mesh flag 0 is " + std::to_string(meshFlags[0]) +
                          ") at offset " + std::to_string(file->getPosition()));
    }
    posBounds.reset(KxDClipRegion3D::CreateFromFile(file));
    texBounds.reset(KxDClipRegion2D::CreateFromFile(file));
    lmTexBounds.reset(KxDClipRegion2D::CreateFromFile(file));
    int32_t storedJointCount = (meshFlags[0] & KXRL_MESHFLAG0_JOINTS) ? file->readInt() : 0;

    // Indices: three per triangle, then padding to a multiple of 4.
    kxrlCheckMeshCount(file, fileLength, faceCount, 6, "triangles");
    indexCount = 3 * faceCount;
    if (indexCount > 0) indexList.reset(new uint16_t[indexCount]);
    const uint16_t largestIndex = kxrlReadMeshShorts(file, indexList.get(), indexCount);
    file->seekToBoundary(4);

    vertexBox.clear();
    vertexList = readRecords<_KxDTexVertex, kStoredVertexSize>(
        file, fileLength, storedVertexCount, "vertices", [this](const uint8_t *b, _KxDTexVertex *v) {
            v->position.x = posBounds->fromShortX(kxLoadLE16(b));
            v->position.y = posBounds->fromShortY(kxLoadLE16(b + 2));
            v->position.z = posBounds->fromShortZ(kxLoadLE16(b + 4));
            v->normal.x = decodeNormal(kxLoadLE16(b + 6));
            v->normal.y = decodeNormal(kxLoadLE16(b + 8));
            v->normal.z = decodeNormal(kxLoadLE16(b + 10));
            v->texture.x = texBounds->fromShortX(kxLoadLE16(b + 12));
            v->texture.y = texBounds->fromShortY(kxLoadLE16(b + 14));
            vertexBox.clipTo(&v->position);
        });
    vertexCount = storedVertexCount;

    if (meshFlags[1] & KXRL_MESHFLAG1_LIGHTMAP) {
        lightMapList = readRecords<_KxDVector2D, 4>(file, fileLength, vertexCount, "light-map pairs",
                                                    [](const uint8_t *b, _KxDVector2D *uv) {
                                                        // Plain fractions: the light-map bounds are not applied.
                                                        uv->x = static_cast<float>(kxLoadLE16(b)) / 65535.0f;
                                                        uv->y = static_cast<float>(kxLoadLE16(b + 2)) / 65535.0f;
                                                    });
    }
    if (meshFlags[0] & KXRL_MESHFLAG0_BONES) {
        boneList = readRecords<_KxRlBoneData, sizeof(_KxRlBoneData)>(
            file, fileLength, vertexCount, "bone bindings", [](const uint8_t *b, _KxRlBoneData *bone) {
                for (int k = 0; k < 4; k++) bone->values[k] = kxLoadLEFloat(b + 4 * k);
                std::memcpy(bone->bytes, b + 16, 4);
            });
    }
    if (storedJointCount != 0) {
        jointList = readRecords<_KxRlMeshJoint, 8>(file, fileLength, storedJointCount, "joints",
                                                   [](const uint8_t *b, _KxRlMeshJoint *joint) {
                                                       joint->vertex = static_cast<int32_t>(kxLoadLE32(b));
                                                       joint->pos = static_cast<int32_t>(kxLoadLE32(b + 4));
                                                   });
        jointCount = storedJointCount;
        for (int32_t i = 0; i < jointCount; i++)
            kxrlCheckMeshIndex(file, jointList[i].vertex, vertexCount, "Joint vertex");
    }
    if (indexCount > 0 && largestIndex >= vertexCount)
        kxrlCheckVertexIndices(file, indexList.get(), indexCount, vertexCount, "Triangle vertex index");

    posBounds->correct();
    texBounds->correct();
    lmTexBounds->correct();
}

KxRlMesh *KxRlMesh::CreateFromControl(KxRlMeshMaterial *material, const KxRlControlMesh *control) {
    int count = control->getIndexCount();
    // Each index becomes a vertex of its own, numbered by a 16-bit index.
    if (count > kMaxControlIndices) {
        throw IOException("Control mesh has " + std::to_string(count) + " indices: a visible mesh holds at most " +
                          std::to_string(kMaxControlIndices) + " vertices");
    }
    std::unique_ptr<KxRlMesh> mesh(new KxRlMesh());
    mesh->material = material;
    const uint16_t *controlIndices = control->getIndexList();
    const _KxDVector3D *controlVertices = control->getVertexList();
    if (count > 0) {
        mesh->vertexList.reset(new _KxDTexVertex[count]);
        mesh->indexList.reset(new uint16_t[count]);
    }
    mesh->vertexCount = count;
    mesh->indexCount = count;
    mesh->posBounds->clear();
    for (int i = 0; i < count; i++) {
        // Every index gets a vertex of its own, so each triangle can carry a flat normal.
        mesh->indexList[i] = static_cast<uint16_t>(i);
        kxdVecCopy(&mesh->vertexList[i].position, &controlVertices[controlIndices[i]]);
        mesh->posBounds->clipTo(&mesh->vertexList[i].position);
        mesh->vertexBox.clipTo(&mesh->vertexList[i].position);
    }
    mesh->posBounds->calcStep();
    for (int t = 0; t + 2 < count; t += 3) {
        _KxDTexVertex *a = &mesh->vertexList[t];
        _KxDTexVertex *b = &mesh->vertexList[t + 1];
        _KxDTexVertex *c = &mesh->vertexList[t + 2];
        _KxDVector3D ab, ac, normal;
        kxdVecSub(&ab, &a->position, &b->position);
        kxdVecSub(&ac, &a->position, &c->position);
        kxdVecCross(&normal, &ab, &ac);
        // A degenerate triangle has no direction; it gets the vertical rather than NaN.
        if (kxdVecLen(&normal) > 0.0f) {
            kxdVecNormalize(&normal);
        } else {
            kxdVecSet(&normal, 0.0f, 0.0f, 1.0f);
        }
        kxdVecCopy(&a->normal, &normal);
        kxdVecCopy(&b->normal, &normal);
        kxdVecCopy(&c->normal, &normal);
        // Each pair of triangles covers the unit texture square.
        bool even = (t / 3) % 2 == 0;
        kxdVecSet(&a->texture, 0.0f, 0.0f);
        kxdVecSet(&b->texture, even ? 0.0f : 1.0f, even ? 1.0f : 0.0f);
        kxdVecSet(&c->texture, 1.0f, 1.0f);
    }
    mesh->texBounds = std::make_unique<KxDClipRegion2D>(0.0f, 1.0f, 0.0f, 1.0f);
    mesh->lmTexBounds = std::make_unique<KxDClipRegion2D>(0.0f, 1.0f, 0.0f, 1.0f);
    return mesh.release();
}

KxRlMesh *KxRlMesh::CreateFromData(KxRlMeshMaterial *material, const KxDMeshData *data) {
    std::unique_ptr<KxRlMesh> mesh(new KxRlMesh());
    mesh->material = material;
    int count = data->getVertexCount();
    if (count > 0) {
        mesh->vertexList.reset(new _KxDTexVertex[count]);
        std::memcpy(mesh->vertexList.get(), data->getVertexList(), sizeof(_KxDTexVertex) * count);
        if (data->hasLightMap()) {
            mesh->lightMapList.reset(new _KxDVector2D[count]);
            std::memcpy(mesh->lightMapList.get(), data->getLightMapList(), sizeof(_KxDVector2D) * count);
        }
    }
    mesh->vertexCount = count;
    int indices = data->getIndexCount();
    if (indices > 0) {
        mesh->indexList.reset(new uint16_t[indices]);
        std::memcpy(mesh->indexList.get(), data->getIndexList(), sizeof(uint16_t) * indices);
    }
    mesh->indexCount = indices;

    mesh->posBounds->clear();
    mesh->texBounds->clear();
    for (int i = 0; i < count; i++) {
        mesh->posBounds->clipTo(&mesh->vertexList[i].position);
        mesh->vertexBox.clipTo(&mesh->vertexList[i].position);
        mesh->texBounds->clipTo(&mesh->vertexList[i].texture);
    }
    mesh->posBounds->calcStep();
    mesh->texBounds->calcStep();
    mesh->lmTexBounds = std::make_unique<KxDClipRegion2D>(0.0f, 1.0f, 0.0f, 1.0f);
    return mesh.release();
}

void KxRlMesh::calcPosBounds(KxDClipRegion3D *region) const {
    // Growing the cleared region by the box's two corners gives the very floats that growing
    // it by every position gives. An axis on which no position had a number stays empty: it
    // is grown by not-a-number, which changes nothing.
    region->clear();
    const float none = std::numeric_limits<float>::quiet_NaN();
    const KxDClipRegion3D &box = vertexBox;
    bool x = box.getMinX() <= box.getMaxX(), y = box.getMinY() <= box.getMaxY(), z = box.getMinZ() <= box.getMaxZ();
    region->clipTo(x ? box.getMinX() : none, y ? box.getMinY() : none, z ? box.getMinZ() : none);
    region->clipTo(x ? box.getMaxX() : none, y ? box.getMaxY() : none, z ? box.getMaxZ() : none);
}

void KxRlMesh::toString(StringBuffer *buffer) const {
    buffer->append("Using material ");
    if (material) material->toString(buffer);
    KxDClipRegion3D box;
    calcPosBounds(&box);
    buffer->append("\n  3D Co-ordinate Range:\n");
    buffer->appendFormat("    X = (%7.3f, %7.3f)\n", box.getMinX(), box.getMaxX());
    buffer->appendFormat("    Y = (%7.3f, %7.3f)\n", box.getMinY(), box.getMaxY());
    buffer->appendFormat("    Z = (%7.3f, %7.3f)\n", box.getMinZ(), box.getMaxZ());
    buffer->appendFormat("  (%d vertices and %d indexes)\n  Flags =", vertexCount, indexCount);
    for (int i = 0; i < 4; i++) buffer->appendFormat(" %02X", meshFlags[i]);
}
