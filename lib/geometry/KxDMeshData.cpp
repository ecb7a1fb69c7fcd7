#include "KxDMeshData.h"

#include "IOException.h"

#include <climits>
#include <cstring>
#include <memory>
#include <utility>

// --- KxDMeshData -------------------------------------------------------------------------

KxDMeshData::KxDMeshData()
    : vertexCount(0), vertexList(nullptr), lightMapList(nullptr), faceCount(0), indexList(nullptr) {}

KxDMeshData::~KxDMeshData() { release(); }

void KxDMeshData::release() {
    delete[] vertexList;
    delete[] lightMapList;
    delete[] indexList;
    vertexList = nullptr;
    lightMapList = nullptr;
    indexList = nullptr;
    vertexCount = 0;
    faceCount = 0;
}

void KxDMeshData::allocate(int newVertexCount, int newFaceCount, bool lightMap) {
    if (newVertexCount < 0 || newFaceCount < 0) throw IOException("Negative mesh size");
    if (newVertexCount > KXD_MAX_MESH_VERTICES)
        throw IOException("Mesh would exceed 65536 vertices");
    if (newFaceCount > INT_MAX / 3) throw IOException("Mesh would exceed the face limit");
    release();
    if (newVertexCount > 0) {
        vertexList = new _KxDTexVertex[newVertexCount]();
        if (lightMap) lightMapList = new _KxDVector2D[newVertexCount]();
    }
    if (newFaceCount > 0) indexList = new uint16_t[3 * static_cast<size_t>(newFaceCount)]();
    vertexCount = newVertexCount;
    faceCount = newFaceCount;
}

void KxDMeshData::transform(const KxDMatTransform *t) {
    for (int i = 0; i < vertexCount; i++) {
        t->multiply(&vertexList[i].position, false);
        t->multiply(&vertexList[i].normal, true);
    }
    // A mirroring transform turns every triangle inside out; swapping two corners turns it back.
    if (t->isMirroring()) {
        for (int f = 0; f < faceCount; f++) std::swap(indexList[3 * f + 1], indexList[3 * f + 2]);
    }
}

// --- KxDMeshBinder -----------------------------------------------------------------------

KxDMeshBinder::KxDMeshBinder() {}

KxDMeshBinder::~KxDMeshBinder() {}

void KxDMeshBinder::addMeshData(KxDMeshData *part) { parts.add(part); }

int KxDMeshBinder::getMeshCount() { return parts.getLength() > 0 ? 1 : 0; }

KxDMeshData *KxDMeshBinder::getMeshData(int /*index*/, bool lightmap) {
    long long totalVertices = 0;
    long long totalFaces = 0;
    for (int p = 0; p < getPartCount(); p++) {
        const KxDMeshData *part = static_cast<const KxDMeshData *>(parts.get(p));
        totalVertices += part->getVertexCount();
        totalFaces += part->getFaceCount();
    }
    // Beyond this the 16-bit indices of the later parts would wrap onto the earlier ones.
    if (totalVertices > KXD_MAX_MESH_VERTICES)
        throw IOException("Glued mesh would exceed 65536 vertices");
    if (totalFaces > INT_MAX / 3) throw IOException("Glued mesh would exceed the face limit");

    std::unique_ptr<KxDMeshData> glued(new KxDMeshData());
    glued->allocate(static_cast<int>(totalVertices), static_cast<int>(totalFaces), lightmap);
    _KxDTexVertex *vertices = glued->getVertexList();
    _KxDVector2D *lightMap = glued->getLightMapList();
    uint16_t *indices = glued->getIndexList();

    int base = 0;
    int indexPos = 0;
    for (int p = 0; p < getPartCount(); p++) {
        const KxDMeshData *part = static_cast<const KxDMeshData *>(parts.get(p));
        int count = part->getVertexCount();
        if (count > 0) {
            std::memcpy(vertices + base, part->getVertexList(), count * sizeof(_KxDTexVertex));
            // A part built without light-map co-ordinates keeps the zeros of the allocation.
            if (lightMap && part->hasLightMap())
                std::memcpy(lightMap + base, part->getLightMapList(), count * sizeof(_KxDVector2D));
        }
        const uint16_t *src = part->getIndexList();
        int indexCount = part->getIndexCount();
        for (int i = 0; i < indexCount; i++)
            indices[indexPos + i] = static_cast<uint16_t>(src[i] + base);
        base += count;
        indexPos += indexCount;
    }
    return glued.release();
}

// --- KxDMeshObject -----------------------------------------------------------------------

KxDMeshObject::KxDMeshObject(KxDAbsMeshPrimitive *primitive) : primitive(primitive) {}

KxDMeshObject::~KxDMeshObject() {}

int KxDMeshObject::getMeshCount() { return primitive->getMeshCount(); }

KxDMeshData *KxDMeshObject::getMeshData(int index, bool lightmap) {
    return primitive->getMeshData(index, lightmap);
}
