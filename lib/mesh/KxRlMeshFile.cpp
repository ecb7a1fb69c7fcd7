#include "KxRlMeshFile.h"

#include "IOException.h"
#include "KxDClipRegion.h"
#include "KxRlMeshReadCheck.h"
#include "RandomAccessFile.h"
#include "StringBuffer.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

// Smallest records, for checking counts against the bytes left.
constexpr int32_t kBitmapRecordSize = 32;
constexpr int32_t kMaterialRecordSize = KXRL_MATERIAL_RAW_SIZE;
constexpr int32_t kRoomRecordSize = 32 + 4 + 4;          // name, vertex and face counts
constexpr int32_t kGroupRecordSize = 2 + 2 + 48;         // mesh count, flags, matrix
constexpr int32_t kNamedMatrixRecordSize = 32 + 48;      // name, matrix
constexpr int32_t kPosMatrixRecordSize = 4 + 48 + 12;    // value, matrix, position

// The control types in file order and the flag that announces each.
struct ControlFlag {
    _KxRlControlMeshType type;
    int flagByte;
    uint8_t bit;
};
const ControlFlag kControlFlags[] = {
    {KXRL_CONTROL_SELECTION, 3, KXRL_FILEFLAG3_SELECTION},   {KXRL_CONTROL_COLLISION, 6, KXRL_FILEFLAG6_COLLISION},
    {KXRL_CONTROL_WALL, 6, KXRL_FILEFLAG6_WALL},             {KXRL_CONTROL_FOUNDATION, 5, KXRL_FILEFLAG5_FOUNDATION},
    {KXRL_CONTROL_ANTIPHYSIC, 6, KXRL_FILEFLAG6_ANTIPHYSIC}, {KXRL_CONTROL_LAND, 5, KXRL_FILEFLAG5_LAND},
    {KXRL_CONTROL_FLOOR, 6, KXRL_FILEFLAG6_FLOOR},
};

const char *const kEndOfFileText = "Unexpected end of file";

// A new array of `count` null pointers, or null for none.
template <typename T>
T **newPointerArray(int count) {
    return count > 0 ? new T *[count]() : nullptr;
}

template <typename T>
void deletePointerArray(T **array, int count) {
    if (!array) return;  // a section not reached
    for (int i = 0; i < count; i++) delete array[i];
    delete[] array;
}

void appendRange(StringBuffer *buffer, const KxDClipRegion3D &box) {
    buffer->appendFormat("  X = (%7.3f, %7.3f)\n", box.getMinX(), box.getMaxX());
    buffer->appendFormat("  Y = (%7.3f, %7.3f)\n", box.getMinY(), box.getMaxY());
    buffer->appendFormat("  Z = (%7.3f, %7.3f)\n", box.getMinZ(), box.getMaxZ());
}

}  // namespace

void KxRlMeshFile::initPrefill() {
    magicNumber = 0;
    bitmapCount = 0;
    bitmaps = nullptr;
    materialCount = 0;
    materials = nullptr;
    std::memset(meshFlags, 0, sizeof meshFlags);
    subMeshCount = 0;
    roomCount = 0;
    rooms = nullptr;
    meshGroupCount = 0;
    meshGroups = nullptr;
    skeleton = nullptr;
    namedMatrixCount = 0;
    namedMatrices = nullptr;
    posMatrixCount = 0;
    posMatrices = nullptr;
    declaredPosMatrixCount = 0;
}

KxRlMeshFile::KxRlMeshFile() { initPrefill(); }

KxRlMeshFile::~KxRlMeshFile() {
    // Meshes point at materials, materials at bitmaps: free them in that order.
    deletePointerArray(meshGroups, meshGroupCount);
    deletePointerArray(rooms, roomCount);
    for (int i = 0; i < getControlMeshCount(); i++) delete getControlMesh(i);
    deletePointerArray(materials, materialCount);
    deletePointerArray(bitmaps, bitmapCount);
    delete skeleton;
    deletePointerArray(namedMatrices, namedMatrixCount);
    deletePointerArray(posMatrices, posMatrixCount);
}

KxRlMeshFile *KxRlMeshFile::CreateFromFile(const char *path) {
    RandomAccessFile file(path, "rb");
    std::unique_ptr<KxRlMeshFile> model(new KxRlMeshFile());
    try {
        // The reader's offsets are 32-bit; no mesh file comes near 2 GiB.
        int64_t fullLength = file.getLength();
        if (fullLength > INT32_MAX)
            throw IOException("Mesh file is too large: " + std::to_string(fullLength) + " bytes");
        int32_t length = static_cast<int32_t>(fullLength);
        model->loadHeader(&file, length);
        model->loadBitmapsAndMaterials(&file, length);
        model->loadControlMeshes(&file, length);
        model->loadRooms(&file, length);
        model->loadMeshGroups(&file, length);
        model->loadTail(&file, length);
    } catch (const IOException &e) {
        kxrlRefuseBinaryGltf(model->getMagicNumber());
        // A fixed-width read that met the end: say what it means for a mesh file.
        if (e.getErrorNumber() == 0 && std::strcmp(e.getErrorString(), kEndOfFileText) == 0) {
            throw IOException("Mesh file is truncated: unexpected end of file");
        }
        throw;
    }
    file.close();
    return model.release();
}

void KxRlMeshFile::loadHeader(RandomAccessFile *file, int32_t fileLength) {
    magicNumber = file->readInt();
    int32_t bitmaps = file->readInt();
    int32_t materials = file->readInt();
    int32_t groups = file->readInt();
    file->readChars(reinterpret_cast<char *>(meshFlags), 8, false);
    int32_t posMatrices = (meshFlags[6] & KXRL_FILEFLAG6_POSMATRIXCOUNT) ? file->readInt() : 0;
    if (meshFlags[6] & KXRL_FILEFLAG6_SUBMESHCOUNT) subMeshCount = file->readInt();
    int32_t rooms = (meshFlags[6] & KXRL_FILEFLAG6_ROOMCOUNT) ? file->readInt() : 0;
    kxrlCheckMeshHeader(file, fileLength, {magicNumber, bitmaps, materials, groups, rooms, posMatrices});

    // Checked here against the whole rest of the file, and again by each section against
    // what is left there. The arrays stay null until their section is read, so the counts
    // may be stored now.
    kxrlCheckMeshCount(file, fileLength, bitmaps, kBitmapRecordSize, "bitmaps");
    kxrlCheckMeshCount(file, fileLength, materials, kMaterialRecordSize, "materials");
    kxrlCheckMeshCount(file, fileLength, rooms, kRoomRecordSize, "rooms");
    kxrlCheckMeshCount(file, fileLength, groups, kGroupRecordSize, "mesh groups");
    // The position matrices may be absent (a file that ends before them); only a negative
    // count is refused here.
    if (posMatrices < 0) kxrlCheckMeshCount(file, fileLength, posMatrices, kPosMatrixRecordSize, "position matrices");
    bitmapCount = bitmaps;
    materialCount = materials;
    roomCount = rooms;
    meshGroupCount = groups;
    declaredPosMatrixCount = posMatrices;
}

void KxRlMeshFile::loadBitmapsAndMaterials(RandomAccessFile *file, int32_t fileLength) {
    kxrlCheckMeshCount(file, fileLength, bitmapCount, kBitmapRecordSize, "bitmaps");
    bitmaps = newPointerArray<KxRlMeshBitmap>(bitmapCount);
    for (int i = 0; i < bitmapCount; i++) bitmaps[i] = KxRlMeshBitmap::CreateFromFile(file);

    kxrlCheckMeshCount(file, fileLength, materialCount, kMaterialRecordSize, "materials");
    materials = newPointerArray<KxRlMeshMaterial>(materialCount);
    for (int i = 0; i < materialCount; i++) {
        materials[i] = KxRlMeshMaterial::CreateFromFile(file, bitmaps, bitmapCount);
    }
}

void KxRlMeshFile::loadControlMeshes(RandomAccessFile *file, int32_t fileLength) {
    fileLength = kxrlMeshFileLength(file, fileLength);
    for (const ControlFlag &control : kControlFlags) {
        if (!(meshFlags[control.flagByte] & control.bit)) continue;
        controlMeshes.add(KxRlControlMesh::CreateFromFile(file, control.type, fileLength));
    }
}

void KxRlMeshFile::loadRooms(RandomAccessFile *file, int32_t fileLength) {
    kxrlCheckMeshCount(file, fileLength, roomCount, kRoomRecordSize, "rooms");
    rooms = newPointerArray<KxRlControlMesh>(roomCount);
    for (int i = 0; i < roomCount; i++) rooms[i] = KxRlControlMesh::CreateFromFile(file, KXRL_CONTROL_ROOM, fileLength);
}

void KxRlMeshFile::loadMeshGroups(RandomAccessFile *file, int32_t fileLength) {
    kxrlCheckMeshCount(file, fileLength, meshGroupCount, kGroupRecordSize, "mesh groups");
    meshGroups = newPointerArray<KxRlMeshGroup>(meshGroupCount);
    for (int i = 0; i < meshGroupCount; i++) {
        meshGroups[i] = KxRlMeshGroup::CreateFromFile(file, materials, materialCount, fileLength);
    }
}

void KxRlMeshFile::loadTail(RandomAccessFile *file, int32_t fileLength) {
    if (meshFlags[0] & KXRL_FILEFLAG0_SKELETON) skeleton = KxRlMeshSkeleton::CreateFromFile(file, fileLength);

    if ((meshFlags[1] & KXRL_FILEFLAG1_GROUPNAMES) || (meshFlags[7] & KXRL_FILEFLAG7_GROUPNAMES)) {
        kxrlCheckMeshCount(file, fileLength, meshGroupCount, KXRL_MESH_NAME_FIELD, "group names");
        for (int i = 0; i < meshGroupCount; i++) meshGroups[i]->loadName(file);
    }

    // flags[2] is an unsigned count, 0 to 255.
    int named = meshFlags[2];
    kxrlCheckMeshCount(file, fileLength, named, kNamedMatrixRecordSize, "named matrices");
    namedMatrices = newPointerArray<KxRlMeshNamedMatrix>(named);
    namedMatrixCount = named;
    for (int i = 0; i < named; i++) namedMatrices[i] = KxRlMeshNamedMatrix::CreateFromFile(file);

    // Files that end here (as the writer makes them) have no skipped block and no position
    // matrices.
    if (kxrlMeshBytesLeft(file, fileLength) == 0) return;

    // The skipped block: a length that counts its own 4 bytes, then bytes nobody reads.
    int32_t blockStart = file->getPosition();
    int32_t blockLength = file->readInt();
    if (blockLength < 4) {
        throw IOException("Mesh file has a skipped block of length " + std::to_string(blockLength) +
                          " (at least 4) at offset " + std::to_string(blockStart));
    }
    kxrlCheckMeshCount(file, fileLength, blockLength - 4, 1, "skipped bytes");
    file->seekRelative(blockLength - 4);

    kxrlCheckMeshCount(file, fileLength, declaredPosMatrixCount, kPosMatrixRecordSize, "position matrices");
    posMatrices = newPointerArray<KxRlMeshPosMatrix>(declaredPosMatrixCount);
    posMatrixCount = declaredPosMatrixCount;
    for (int i = 0; i < posMatrixCount; i++) posMatrices[i] = KxRlMeshPosMatrix::CreateFromFile(file);
}

void KxRlMeshFile::calcPosBounds(KxDClipRegion3D *region) const {
    region->clear();
    KxDClipRegion3D scratch;
    for (int i = 0; i < meshGroupCount; i++) {
        meshGroups[i]->calcPosBounds(&scratch);
        region->merge(&scratch);
    }
}

void KxRlMeshFile::toString(StringBuffer *buffer) const {
    KxDClipRegion3D box;
    calcPosBounds(&box);
    buffer->append("3D Co-ordinate Range :\n");
    appendRange(buffer, box);
    buffer->append("Mesh File Flags : ");
    for (int i = 0; i < 8; i++) buffer->appendFormat("%02X ", meshFlags[i]);
    buffer->append('\n');
    for (int i = 0; i < getControlMeshCount(); i++) {
        getControlMesh(i)->toString(buffer);
        buffer->append('\n');
    }
    for (int i = 0; i < roomCount; i++) {
        rooms[i]->toString(buffer);
        buffer->append('\n');
    }
    buffer->append('\n');
    for (int i = 0; i < meshGroupCount; i++) {
        for (int k = 0; k < 70; k++) buffer->append('-');
        buffer->appendFormat("\nGROUP #%d : ", i);
        meshGroups[i]->toString(buffer);
        buffer->append('\n');
    }
    buffer->append('\n');
}
