#include "KxRlControlMesh.h"

#include "ByteOrder.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshReadCheck.h"
#include "RandomAccessFile.h"
#include "StringBuffer.h"

#include <cstring>
#include <memory>

const char *kxrlGetControlTypeName(int type) {
    static const char *const names[] = {"Selection", "Collision", "Wall", "Foundation",
                                        "AntiPhysic", "Land",      "Floor", "Room"};
    if (type < KXRL_CONTROL_SELECTION || type > KXRL_CONTROL_ROOM) return nullptr;
    return names[type - 1];
}

KxRlControlMesh::KxRlControlMesh()
    : controlType(KXRL_CONTROL_NONE), roomName(nullptr), vertexCount(0), vertexList(nullptr), indexCount(0),
      indexList(nullptr) {}

KxRlControlMesh::~KxRlControlMesh() {
    delete[] roomName;
    delete[] vertexList;
    delete[] indexList;
}

KxRlControlMesh *KxRlControlMesh::CreateFromFile(RandomAccessFile *file, _KxRlControlMeshType type,
                                                 int32_t fileLength) {
    fileLength = kxrlMeshFileLength(file, fileLength);
    std::unique_ptr<KxRlControlMesh> mesh(new KxRlControlMesh());
    mesh->controlType = type;
    if (type == KXRL_CONTROL_ROOM) {
        mesh->roomName = new char[KXRL_MESH_NAME_SIZE];
        kxrlReadMeshName(file, mesh->roomName);
    }
    int32_t vertexCount = file->readInt();
    int32_t faceCount = file->readInt();
    kxrlCheckMeshCount(file, fileLength, vertexCount, 12, "control mesh vertices");
    mesh->vertexList = vertexCount > 0 ? new _KxDVector3D[vertexCount] : nullptr;
    mesh->vertexCount = vertexCount;
    const uint8_t *block = kxrlReadMeshBlock(file, mesh->vertexList, vertexCount, 12, sizeof(_KxDVector3D));
    for (int32_t i = 0; i < vertexCount; i++) {
        uint8_t b[12];
        std::memcpy(b, block + static_cast<size_t>(i) * 12, sizeof b);
        kxdVecSet(&mesh->vertexList[i], kxLoadLEFloat(b), kxLoadLEFloat(b + 4), kxLoadLEFloat(b + 8));
    }

    kxrlCheckMeshCount(file, fileLength, faceCount, 6, "control mesh triangles");
    mesh->indexCount = 3 * faceCount;
    mesh->indexList = faceCount > 0 ? new uint16_t[mesh->indexCount] : nullptr;
    kxrlReadMeshShorts(file, mesh->indexList, mesh->indexCount);
    kxrlCheckVertexIndices(file, mesh->indexList, mesh->indexCount, vertexCount, "Control mesh vertex index");
    file->seekToBoundary(4);
    return mesh.release();
}

const char *KxRlControlMesh::getControlTypeName() const { return kxrlGetControlTypeName(controlType); }

void KxRlControlMesh::toString(StringBuffer *buffer) const {
    const char *name = getControlTypeName();
    buffer->append(name ? name : "");
    if (controlType == KXRL_CONTROL_ROOM && roomName) {
        buffer->append(" \"");
        buffer->append(roomName);
        buffer->append('"');
    }
    buffer->appendFormat(" (%d vertices and %d indices)", vertexCount, indexCount);
}
