#include "KxRlMeshReadCheck.h"

#include "ByteOrder.h"
#include "IOException.h"
#include "RandomAccessFile.h"

#include <string>

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
