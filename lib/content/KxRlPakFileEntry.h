#ifndef KX_CONTENT_KXRLPAKFILEENTRY_H
#define KX_CONTENT_KXRLPAKFILEENTRY_H

#include "IOException.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class KxRlPakFile;
class KxRlPakWindow;
class RandomAccessFile;

// One file stored in a PAK archive: its 56-byte file-table record, and the extraction of its
// data, decompressed, into a folder tree on disk. The entry points at its archive and does
// not own it.
//
// Entry data starts with a 16-byte compression header (header word, decompressed size,
// compressed size, stored flag). A stored payload may begin with a nested block, "zcmp"
// followed by another header; a compressed payload may inflate to such a block, which is
// then inflated once more.
//
// Everything read from the archive is untrusted: sizes are checked against the archive's
// length and against kMaxDecompressedSize before anything is allocated, and an entry whose
// directory or file name would leave the target folder is refused when it is extracted
// (not when the archive is read, so that one odd entry does not make a whole archive unusable).
class KxRlPakFileEntry {
public:
    static constexpr uint32_t kRecordSize = 56;
    static constexpr uint32_t kNameSize = 32;
    static constexpr uint32_t kCompressHeaderSize = 16;
    static constexpr uint32_t kNestedMagic = 0x706D637A;  // "zcmp"
    // A nested block starts with the magic word and then a compression header of its own.
    static constexpr uint32_t kNestedHeaderSize = 4 + kCompressHeaderSize;
    // Largest decompressed size accepted: larger stated sizes are refused before allocating.
    static constexpr uint32_t kMaxDecompressedSize = 512u * 1024u * 1024u;

    // Bytes read at once around a single header, and of a zlib stream to inflate its start.
    static constexpr size_t kHeaderWindow = 4096 + 64;
    static constexpr uint32_t kPeekInput = 4096;

    // The four words of a compression header.
    struct CompressHeader {
        uint32_t headerWord = 0;
        uint32_t decompressedSize = 0;
        uint32_t compressedSize = 0;
        uint32_t storedFlag = 0;
    };

    // Reads one file-table record at the file's position. The file name is lower-cased (ASCII
    // only); the directory offset comes from bits 1 to 14 of the flags. Throws at end of file.
    static KxRlPakFileEntry *CreateFromFile(KxRlPakFile *archive, RandomAccessFile *file);

    KxRlPakFileEntry(const KxRlPakFileEntry &) = delete;
    KxRlPakFileEntry &operator=(const KxRlPakFileEntry &) = delete;

    KxRlPakFile *getPakFile() const { return archive; }
    uint32_t getHash1() const { return hash1; }
    uint32_t getHash2() const { return hash2; }
    uint32_t getOffset() const { return dataOffset; }
    uint32_t getFlags() const { return flags; }
    uint32_t getDirOffset() const { return dirOffset; }
    const char *getFileName() const { return fileName; }
    // The directory name (stored case, ends with a backslash, "" for the archive root).
    const char *getDirName() const;

    // Read the compression header on first use; throw on read errors.
    uint32_t getCompressedSize();
    uint32_t getDecompressedSize();

    // buffer (KXRL_PATH_SIZE bytes) = directory name + file name. Throws an IOException
    // naming the entry when the text would not fit.
    void getFullFileName(char *buffer) const;
    // buffer (KXRL_PATH_SIZE bytes) = folder + "\" (unless present) + directory name (with a
    // trailing backslash ensured) + file name. Throws an IOException naming the path when it
    // would not fit.
    void getFullFilePath(char *buffer, const char *folder) const;

    // What a listing shows of the entry: the size of its extraction and the bytes its payload
    // takes in the archive (the compressed stream, or the stored bytes).
    struct ListedSizes {
        uint32_t size = 0;
        uint32_t packed = 0;
    };
    // Reads the sizes through `window`, an archive window of the entry's archive, without
    // changing the entry. Only a stream that may inflate to a nested block (one that shrinks its
    // data to less than half cannot hold one) has its first bytes inflated. Throws when the
    // header does not fit the archive.
    ListedSizes readListedSizes(KxRlPakWindow &window) const;

    // Reads a compression header at the file's position, following nested "zcmp" blocks of
    // stored payloads, and leaves the file at the innermost payload. Throws when a header
    // or a nested block does not fit the archive.
    void readCompressHeader(RandomAccessFile *file);

    // Creates `folder` and under it every level of the directory name (either separator counts);
    // existing folders are used. Returns 0 when the entry's folder is there afterwards, else the
    // system's error number for the level that could not be made (kxrlMakeFolders), that level
    // in `failedLevel`.
    int makeDir(const char *folder, std::string *failedLevel = nullptr) const;

    // Writes the output path into outPath (KXRL_PATH_SIZE bytes) and extracts the entry there.
    // Returns the number of inflations performed (0, 1 or 2); 0 also when the copy already
    // there is this entry's extraction (checkExtractedCopy) and was used as it is; the entry
    // then takes the header that extraction ends with, as if it had extracted the copy. The data is
    // written to a temporary name of this process (kxrlTemporaryPath), given the archive's
    // modification time and renamed into place, so a failed run leaves no truncated copy.
    // Throws an IOException naming the entry when its names would leave `folder`, when
    // a size does not fit the archive or exceeds kMaxDecompressedSize, or when a zlib stream
    // does not inflate to exactly its stated size (the number is zlib's code when zlib failed).
    int extract(char *outPath, const char *folder);

    // When the file at `path` is what extracting this entry writes (the modification time that
    // extraction gives it, the archive's, and the size the entry extracts to): the header that
    // extraction ends with, the nested block's when the payload inflates to one. Nothing when
    // it is not: a copy of another archive's entry, an older extraction, or a truncated or
    // edited copy is extracted again. Reads the header from `file`, the open archive, and
    // leaves the entry as it is (see adoptHeader).
    std::optional<CompressHeader> checkExtractedCopy(const char *path, RandomAccessFile *file) const;

    // Throws unless the directory and file names are relative paths without ".." components
    // or drive letters.
    void checkSafeNames() const;
    // The test checkSafeNames makes of each name: it stays below the folder it is joined to (no
    // leading separator, no drive letter or stream name, no ".." part).
    static bool isSafeName(const char *name);

    // "<directory><file name> of <archive path>", for messages.
    std::string describe() const;

    // Whether another archive of the PAK registry that holds the archive has an entry of the same
    // directory and name (the one its catalogue kept, or one it left out for this one). Set by
    // the registry whenever it builds its catalogue.
    bool isRepeated() const { return repeated; }
    void setRepeated(bool held) { repeated = held; }

private:
    KxRlPakFileEntry() = default;
    void readRecord(RandomAccessFile *file);
    // The compression header at `position`, following nested blocks of stored payloads;
    // `payload` receives where the innermost payload starts.
    CompressHeader readHeaderAt(KxRlPakWindow &window, int64_t position, int64_t *payload) const;
    // The same at the entry's data offset, checked against the archive's length.
    CompressHeader readHeaderAtOffset(KxRlPakWindow &window, int64_t *payload) const;
    std::optional<CompressHeader> checkExtractedCopy(const char *path, KxRlPakWindow &window) const;
    void ensureHeader();
    // Makes `read` the entry's own header, the one the size getters report.
    void adoptHeader(const CompressHeader &read);
    // The header the entry's extraction ends with, given `outer`, the header read, whose payload
    // starts at `payload`: a zlib stream may inflate to a nested block, whose own header then
    // holds the final size. Nothing when the first bytes do not tell.
    std::optional<CompressHeader> peekExtractedHeader(KxRlPakWindow &window, int64_t payload,
                                                      const CompressHeader &outer) const;
    // The header of a nested block: "zcmp" and the four words after it.
    static CompressHeader nestedHeader(const uint8_t *block);
    void checkSize(uint32_t size, int64_t available, const char *what) const;
    void inflateExactly(const uint8_t *source, uint32_t sourceSize, uint8_t *target, uint32_t targetSize) const;
    // Writes `data` under a temporary name and renames it to `path`. Throws when the temporary
    // file cannot be written; false, with the temporary file removed, when the rename fails.
    bool writeInPlace(const char *path, const uint8_t *data, uint32_t size) const;

    KxRlPakFile *archive = nullptr;
    uint32_t hash1 = 0;
    uint32_t hash2 = 0;
    uint32_t dataOffset = 0;
    uint32_t word1 = 0;
    uint32_t word2 = 0;
    uint32_t flags = 0;
    char fileName[kNameSize + 1] = {};
    uint32_t dirOffset = 0;

    bool repeated = false;
    bool headerRead = false;
    CompressHeader header;  // the last one read or adopted
};

#endif
