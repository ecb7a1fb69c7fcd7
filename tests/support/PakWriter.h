#ifndef KX_TESTS_PAKWRITER_H
#define KX_TESTS_PAKWRITER_H

#include <cstdint>
#include <string>
#include <vector>

// Builds PAK archives for tests: a 40-byte header (magic number 4 or less) or a 52-byte one
// (more than 4), an index table, the directory-name block, the 56-byte file table and each
// entry's data with its compression header, compressed with zlib where asked. Names are
// stored exactly as given, so upper-case and hostile names can be written.
class PakWriter {
public:
    enum Storage {
        STORED,             // header with the stored flag, then the bytes
        COMPRESSED,         // header, then a zlib stream
        NESTED_STORED,      // stored payload: "zcmp", a header and a zlib stream
        NESTED_COMPRESSED,  // zlib stream that inflates to "zcmp", a header and a zlib stream
        RAW,                // the bytes at the data offset exactly as given (header included)
    };

    struct Entry {
        std::string dir;   // directory name, e.g. "data\\meshes\\" ("" for the root)
        std::string name;  // file name, at most 32 bytes are stored
        std::string bytes;
        Storage storage = STORED;
        uint32_t extraFlags = 0;  // bits outside 1..14, ORed into the flags
        bool fixedFlags = false;  // use `flags` as it stands
        uint32_t flags = 0;
        bool fixedOffset = false;  // use `dataOffset` as it stands
        uint32_t dataOffset = 0;
        uint32_t hash1 = 0;
        uint32_t hash2 = 0;
    };

    explicit PakWriter(int32_t magicNumber = 4) : magic(magicNumber) {}

    // Adds an entry and returns it for further changes (valid until the next add).
    Entry &add(const std::string &dir, const std::string &name, const std::string &bytes, Storage storage = STORED);

    // The whole archive.
    std::string build() const;
    // Writes the archive to `path` (creating its folders) and returns the path.
    std::string writeTo(const std::string &path) const;
    // Writes the archive with its file table and entry data at `farOffset` and a hole before
    // them (the header, index records and directory block stay at the start): an archive of
    // gigabytes that takes a few blocks. False, with no file left, where the file system
    // cannot keep the hole; `whyNot` then says why.
    bool writeSparseTo(const std::string &path, uint32_t farOffset, std::string *whyNot) const;

    // Offsets within the built archive, for tests that patch it.
    static constexpr uint32_t kFileCountOffset = 12;
    uint32_t headerSize() const { return magic > 4 ? 52 : 40; }
    // Where the table offsets (file table, index table, directory block) are stored.
    uint32_t tableOffsetsAt() const { return magic > 4 ? 40 : 28; }

    // zlib's compress of `data`.
    static std::string deflate(const std::string &data);
    // A 16-byte compression header.
    static std::string compressionHeader(uint32_t decompressed, uint32_t compressed, uint32_t stored,
                                         uint32_t word = 0);
    // The bytes of the entry at its data offset for the given storage.
    static std::string encode(const std::string &bytes, Storage storage);

private:
    void buildParts(uint32_t farOffset, std::string &head, std::string &far) const;

    int32_t magic;
    std::vector<Entry> entries;
};

// Little-endian helpers for tests that patch archives.
void putLE32(std::string &bytes, size_t offset, uint32_t value);
std::string le32(uint32_t value);

#endif
