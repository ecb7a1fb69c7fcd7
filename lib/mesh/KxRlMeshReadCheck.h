#ifndef KX_MESH_KXRLMESHREADCHECK_H
#define KX_MESH_KXRLMESHREADCHECK_H

#include <cstddef>
#include <cstdint>

class RandomAccessFile;

// The checks of the MSH reader, kept in one place. An MSH file is untrusted: every count is
// compared with the bytes left in the file before anything is allocated from it, and every
// index with the array it indexes. Each failure is an IOException whose text names what is
// wrong and the file offset where the reader stood.
//
// Lists (vertices, indices and the like) are read a block at a time, with one read each, and
// decoded from memory; their counts are checked first. A list's block is read into the end of
// the list's own array and decoded in place from the front, so reading takes no memory beyond
// the model's.

// `fileLength` when it is 0 or more, else the file's size now (the position is kept).
int32_t kxrlMeshFileLength(RandomAccessFile *file, int32_t fileLength);

// The counts of records that an MSH header gives, for kxrlCheckMeshHeader.
struct KxRlMeshHeaderCounts {
    int32_t magic;
    int32_t bitmaps;
    int32_t materials;
    int32_t groups;
    int32_t rooms;
    int32_t posMatrices;
};

// Throws "The file is not an MSH file: ..." when the header just read gives counts that no MSH
// file holds: a negative count, or records that need more than the 2 GiB a mesh file may have.
// A file that begins as JSON text is then named as such (a glTF model when it has an "asset"
// member). Every file refused here is refused by the later checks too, with a text that tells
// less; an MSH file never is. The file's position is kept.
void kxrlCheckMeshHeader(RandomAccessFile *file, int32_t fileLength, const KxRlMeshHeaderCounts &counts);

// For a file that could not be read as an MSH file: throws "The file is not an MSH file: it is
// a binary glTF model (GLB) ..." when `magic`, its first word, is the one of a binary glTF
// model ("glTF"), whole or damaged.
void kxrlRefuseBinaryGltf(int32_t magic);

// Bytes from the current position to `fileLength`; 0 when the position is past it.
int32_t kxrlMeshBytesLeft(RandomAccessFile *file, int32_t fileLength);

// Throws when `count` is negative ("Mesh file has a negative <what> count ...") or when
// `count` records of at least `recordSize` bytes each cannot fit in the bytes left
// ("Mesh file is truncated: ..."). `what` names the records in plural ("vertices").
void kxrlCheckMeshCount(RandomAccessFile *file, int32_t fileLength, int32_t count, int32_t recordSize,
                        const char *what);

// Throws "<what> out of range: <index> of <limit> ..." unless 0 <= index < limit.
void kxrlCheckMeshIndex(RandomAccessFile *file, int32_t index, int32_t limit, const char *what);

// Checks that every one of `count` indices is below `vertexCount`, with the text of
// kxrlCheckMeshIndex.
void kxrlCheckVertexIndices(RandomAccessFile *file, const uint16_t *indices, int32_t count, int32_t vertexCount,
                            const char *what);

// Reads `count` records of `recordSize` bytes with one read into the last count x recordSize
// bytes of `array`, which holds `count` decoded records of `decodedSize` bytes each (at least
// recordSize), and returns where they start. Decoding record i in increasing order, after its
// bytes are copied out, never overwrites a record still to be decoded. A file that ends
// first fails with the file's "Unexpected end of file".
const uint8_t *kxrlReadMeshBlock(RandomAccessFile *file, void *array, int32_t count, size_t recordSize,
                                 size_t decodedSize);

// Reads `count` little-endian 16-bit values into `values` with one read; returns the largest
// (0 for none), so that a caller can check indices against a limit in one comparison.
uint16_t kxrlReadMeshShorts(RandomAccessFile *file, uint16_t *values, int32_t count);

#endif
