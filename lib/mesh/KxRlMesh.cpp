#include "KxRlMesh.h"

#include "ByteOrder.h"
#include "IOException.h"
#include "KxRlControlMesh.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshReadCheck.h"
#include "RandomAccessFile.h"
#include "StringBuffer.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

// Bytes of one stored vertex: 8 uint16 codes.
constexpr int32_t kStoredVertexSize = 16;

// Normal code 0 is -1.0, 65535 is +1.0.
float decodeNormal(uint16_t n) { return 2.0f * static_cast<float>(n) / 65535.0f - 1.0f; }

}  // namespace

void KxRlMesh::initPrefill() {
    material = nullptr;
    materialIndex = 0;
    vertexCount = 0;
    vertexList = nullptr;
    lightMapList = nullptr;
    boneList = nullptr;
    indexCount = 0;
    indexList = nullptr;
    meshFlags[0] = KXRL_MESHFLAG0_IDENTS | KXRL_MESHFLAG0_BOUNDS | KXRL_MESHFLAG0_JOINTS;
    meshFlags[1] = 0;
    meshFlags[2] = 0;
    meshFlags[3] = 0;
    indexIdent = 0;
    vertexIdent = -1;
    boneIdent = 0;
    posBounds = new KxDClipRegion3D();
    texBounds = new KxDClipRegion2D();
    lmTexBounds = new KxDClipRegion2D();
    jointCount = 0;
    jointList = nullptr;
}

KxRlMesh::KxRlMesh() { initPrefill(); }

KxRlMesh::~KxRlMesh() {
    delete[] vertexList;
    delete[] lightMapList;
    delete[] boneList;
    delete[] indexList;
    delete posBounds;
    delete texBounds;
    delete lmTexBounds;
    delete[] jointList;
}

KxRlMesh *KxRlMesh::CreateFromFile(RandomAccessFile *file, KxRlMeshMaterial **materials, int materialCount,
                                   int32_t fileLength) {
    std::unique_ptr<KxRlMesh> mesh(new KxRlMesh());
    mesh->load(file, materials, materialCount, kxrlMeshFileLength(file, fileLength));
    return mesh.release();
}

void KxRlMesh::load(RandomAccessFile *file, KxRlMeshMaterial **materials, int materialCount, int32_t fileLength) {
    materialIndex = file->readInt();
    int32_t faceCount = file->readInt();
    int32_t storedVertexCount = file->readInt();
    file->readChars(reinterpret_cast<char *>(meshFlags), 4, false);
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
    delete posBounds;
    posBounds = nullptr;
    posBounds = KxDClipRegion3D::CreateFromFile(file);
    delete texBounds;
    texBounds = nullptr;
    texBounds = KxDClipRegion2D::CreateFromFile(file);
    delete lmTexBounds;
    lmTexBounds = nullptr;
    lmTexBounds = KxDClipRegion2D::CreateFromFile(file);
    int32_t storedJointCount = (meshFlags[0] & KXRL_MESHFLAG0_JOINTS) ? file->readInt() : 0;

    // Indices: three per triangle, then padding to a multiple of 4.
    kxrlCheckMeshCount(file, fileLength, faceCount, 6, "triangles");
    indexCount = 3 * faceCount;
    if (indexCount > 0) indexList = new uint16_t[indexCount];
    for (int32_t i = 0; i < indexCount; i++) indexList[i] = file->readUShort();
    file->seekToBoundary(4);

    kxrlCheckMeshCount(file, fileLength, storedVertexCount, kStoredVertexSize, "vertices");
    if (storedVertexCount > 0) vertexList = new _KxDTexVertex[storedVertexCount];
    vertexCount = storedVertexCount;
    for (int32_t i = 0; i < vertexCount; i++) {
        uint8_t b[kStoredVertexSize];
        file->readChars(reinterpret_cast<char *>(b), sizeof b, false);
        _KxDTexVertex *v = &vertexList[i];
        v->position.x = posBounds->fromShortX(kxLoadLE16(b));
        v->position.y = posBounds->fromShortY(kxLoadLE16(b + 2));
        v->position.z = posBounds->fromShortZ(kxLoadLE16(b + 4));
        v->normal.x = decodeNormal(kxLoadLE16(b + 6));
        v->normal.y = decodeNormal(kxLoadLE16(b + 8));
        v->normal.z = decodeNormal(kxLoadLE16(b + 10));
        v->texture.x = texBounds->fromShortX(kxLoadLE16(b + 12));
        v->texture.y = texBounds->fromShortY(kxLoadLE16(b + 14));
    }

    if (meshFlags[1] & KXRL_MESHFLAG1_LIGHTMAP) {
        kxrlCheckMeshCount(file, fileLength, vertexCount, 4, "light-map pairs");
        if (vertexCount > 0) lightMapList = new _KxDVector2D[vertexCount];
        for (int32_t i = 0; i < vertexCount; i++) {
            // Plain fractions: the light-map bounds are not applied.
            lightMapList[i].x = static_cast<float>(file->readUShort()) / 65535.0f;
            lightMapList[i].y = static_cast<float>(file->readUShort()) / 65535.0f;
        }
    }
    if (meshFlags[0] & KXRL_MESHFLAG0_BONES) {
        kxrlCheckMeshCount(file, fileLength, vertexCount, static_cast<int32_t>(sizeof(_KxRlBoneData)),
                           "bone bindings");
        if (vertexCount > 0) boneList = new _KxRlBoneData[vertexCount];
        for (int32_t i = 0; i < vertexCount; i++) {
            for (int k = 0; k < 4; k++) boneList[i].values[k] = file->readFloat();
            file->readChars(reinterpret_cast<char *>(boneList[i].bytes), 4, false);
        }
    }
    if (storedJointCount != 0) {
        kxrlCheckMeshCount(file, fileLength, storedJointCount, 8, "joints");
        jointList = new _KxRlMeshJoint[storedJointCount];
        jointCount = storedJointCount;
        for (int32_t i = 0; i < jointCount; i++) {
            jointList[i].vertex = file->readInt();
            jointList[i].pos = file->readInt();
            kxrlCheckMeshIndex(file, jointList[i].vertex, vertexCount, "Joint vertex");
        }
    }
    kxrlCheckVertexIndices(file, indexList, indexCount, vertexCount, "Triangle vertex index");

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
        mesh->vertexList = new _KxDTexVertex[count];
        mesh->indexList = new uint16_t[count];
    }
    mesh->vertexCount = count;
    mesh->indexCount = count;
    mesh->posBounds->clear();
    for (int i = 0; i < count; i++) {
        // Every index gets a vertex of its own, so each triangle can carry a flat normal.
        mesh->indexList[i] = static_cast<uint16_t>(i);
        kxdVecCopy(&mesh->vertexList[i].position, &controlVertices[controlIndices[i]]);
        mesh->posBounds->clipTo(&mesh->vertexList[i].position);
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
    delete mesh->texBounds;
    mesh->texBounds = nullptr;
    mesh->texBounds = new KxDClipRegion2D(0.0f, 1.0f, 0.0f, 1.0f);
    delete mesh->lmTexBounds;
    mesh->lmTexBounds = nullptr;
    mesh->lmTexBounds = new KxDClipRegion2D(0.0f, 1.0f, 0.0f, 1.0f);
    return mesh.release();
}

KxRlMesh *KxRlMesh::CreateFromData(KxRlMeshMaterial *material, const KxDMeshData *data) {
    std::unique_ptr<KxRlMesh> mesh(new KxRlMesh());
    mesh->material = material;
    int count = data->getVertexCount();
    if (count > 0) {
        mesh->vertexList = new _KxDTexVertex[count];
        std::memcpy(mesh->vertexList, data->getVertexList(), sizeof(_KxDTexVertex) * count);
        if (data->hasLightMap()) {
            mesh->lightMapList = new _KxDVector2D[count];
            std::memcpy(mesh->lightMapList, data->getLightMapList(), sizeof(_KxDVector2D) * count);
        }
    }
    mesh->vertexCount = count;
    int indices = data->getIndexCount();
    if (indices > 0) {
        mesh->indexList = new uint16_t[indices];
        std::memcpy(mesh->indexList, data->getIndexList(), sizeof(uint16_t) * indices);
    }
    mesh->indexCount = indices;

    mesh->posBounds->clear();
    mesh->texBounds->clear();
    for (int i = 0; i < count; i++) {
        mesh->posBounds->clipTo(&mesh->vertexList[i].position);
        mesh->texBounds->clipTo(&mesh->vertexList[i].texture);
    }
    mesh->posBounds->calcStep();
    mesh->texBounds->calcStep();
    delete mesh->lmTexBounds;
    mesh->lmTexBounds = nullptr;
    mesh->lmTexBounds = new KxDClipRegion2D(0.0f, 1.0f, 0.0f, 1.0f);
    return mesh.release();
}

void KxRlMesh::calcPosBounds(KxDClipRegion3D *region) const {
    region->clear();
    for (int i = 0; i < vertexCount; i++) region->clipTo(&vertexList[i].position);
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
