#include "KxRlMeshReadCheck.h"

#include "ByteOrder.h"
#include "IOException.h"
#include "RandomAccessFile.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char *const kNotMsh = "The file is not an MSH file: ";
const char *const kGltfHint = "; propbridge import turns it into a prop";

// "glTF" read as a little-endian int32: the first word of a binary glTF model.
constexpr int32_t kGlbMagic = 0x46546C67;

// What the first bytes of the file say it is, when they begin as JSON text ("" otherwise).
std::string jsonKind(RandomAccessFile *file, int32_t fileLength) {
    const int32_t kLook = 65536;
    std::vector<char> start(static_cast<size_t>(fileLength < kLook ? fileLength : kLook));
    int64_t position = file->getPosition();
    file->seek(0);
    size_t read = file->read(start.data(), start.size());
    file->seek(position);
    std::string text(start.data(), read);
    size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // a UTF-8 byte order mark
    at = text.find_first_not_of(" \t\r\n", at);
    if (at == std::string::npos || text[at] != '{') return "";
    if (text.find("\"asset\"") != std::string::npos) return std::string("it is a glTF model (JSON text)") + kGltfHint;
    return "it is JSON text";
}

}  // namespace

void kxrlRefuseBinaryGltf(int32_t magic) {
    if (magic == kGlbMagic) throw IOException(std::string(kNotMsh) + "it is a binary glTF model (GLB)" + kGltfHint);
}

void kxrlCheckMeshHeader(RandomAccessFile *file, int32_t fileLength, const KxRlMeshHeaderCounts &counts) {
    struct Records {
        int32_t count;
        int32_t size;
        const char *what;
    };
    const Records records[] = {{counts.bitmaps, 32, "bitmaps"},
                               {counts.materials, 24, "materials"},
                               {counts.rooms, 40, "rooms"},
                               {counts.groups, 52, "mesh groups"}};
    std::string problem;
    int64_t bytes = 0;
    const Records *largest = &records[0];
    for (const Records &r : records) {
        if (r.count < 0 && problem.empty())
            problem =
                std::string("its header gives a negative count of ") + r.what + " (" + std::to_string(r.count) + ")";
        if (r.count > 0) bytes += static_cast<int64_t>(r.count) * r.size;
        if (static_cast<int64_t>(r.count) * r.size > static_cast<int64_t>(largest->count) * largest->size) largest = &r;
    }
    if (problem.empty() && counts.posMatrices < 0)
        problem = "its header gives a negative count of position matrices (" + std::to_string(counts.posMatrices) + ")";
    if (problem.empty() && bytes > INT32_MAX)
        problem = "its header gives " + std::to_string(largest->count) + " " + largest->what + " of " +
                  std::to_string(largest->size) + " bytes, more than a mesh file of 2 GiB holds";
    if (problem.empty()) return;
    std::string kind = jsonKind(file, fileLength);
    throw IOException(kNotMsh + (kind.empty() ? problem : kind));
}

int32_t kxrlMeshFileLength(RandomAccessFile *file, int32_t fileLength) {
    return fileLength >= 0 ? fileLength : file->getLength();
}

int32_t kxrlMeshBytesLeft(RandomAccessFile *file, int32_t fileLength) {
    int32_t position = file->getPosition();
    // A padding seek may stand past the end; nothing is left there.
    return position >= fileLength ? 0 : fileLength - position;
}

void kxrlCheckMeshCount(RandomAccessFile *file, int32_t fileLength, int32_t count, int32_t recordSize,
                        const char *what) {
    int32_t position = file->getPosition();
    if (count < 0) {
        throw IOException("Mesh file has a negative " + std::string(what) + " count (" + std::to_string(count) +
                          ") at offset " + std::to_string(position));
    }
    int32_t left = kxrlMeshBytesLeft(file, fileLength);
    if (count > left / recordSize) {
        throw IOException("Mesh file is truncated: " + std::to_string(count) + " " + what + " of " +
                          std::to_string(recordSize) + " bytes at offset " + std::to_string(position) + ", " +
                          std::to_string(left) + " bytes left");
    }
}

void kxrlCheckMeshIndex(RandomAccessFile *file, int32_t index, int32_t limit, const char *what) {
    if (index < 0 || index >= limit) {
        throw IOException(std::string(what) + " out of range: " + std::to_string(index) + " of " +
                          std::to_string(limit) + " before offset " + std::to_string(file->getPosition()));
    }
}

void kxrlCheckVertexIndices(RandomAccessFile *file, const uint16_t *indices, int32_t count, int32_t vertexCount,
                            const char *what) {
    for (int32_t i = 0; i < count; i++) {
        if (indices[i] >= vertexCount) kxrlCheckMeshIndex(file, indices[i], vertexCount, what);
    }
}

const uint8_t *kxrlReadMeshBlock(RandomAccessFile *file, void *array, int32_t count, size_t recordSize,
                                 size_t decodedSize) {
    if (count <= 0) return nullptr;
    size_t size = static_cast<size_t>(count) * recordSize;
    uint8_t *block = static_cast<uint8_t *>(array) + static_cast<size_t>(count) * decodedSize - size;
    file->readChars(reinterpret_cast<char *>(block), size, false);
    return block;
}

uint16_t kxrlReadMeshShorts(RandomAccessFile *file, uint16_t *values, int32_t count) {
    if (count <= 0) return 0;
    file->readChars(reinterpret_cast<char *>(values), 2 * static_cast<size_t>(count), false);
    // In place: each value is read from its own two bytes before it is stored over them.
    const uint8_t *bytes = reinterpret_cast<const uint8_t *>(values);
    uint16_t largest = 0;
    for (int32_t i = 0; i < count; i++) {
        values[i] = kxLoadLE16(bytes + 2 * static_cast<size_t>(i));
        if (values[i] > largest) largest = values[i];
    }
    return largest;
}
