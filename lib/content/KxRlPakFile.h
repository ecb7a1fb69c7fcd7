#ifndef KX_CONTENT_KXRLPAKFILE_H
#define KX_CONTENT_KXRLPAKFILE_H

#include "IOException.h"
#include "KxRlFileCopy.h"
#include "KxRlPakFileEntry.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class RandomAccessFile;

// One PAK archive of the game: its header, index table, directory-name block and file table,
// read into memory once. The archive's file is opened only while data is read from it
// (getFile / doneFile), unless open() holds it open.
//
// Header (little-endian): magic number, two header words, file count, index count, directory
// count, directory-block size; when the magic number exceeds 4, three more words; then the
// offsets of the file table, the index table and the directory-name block. The header is
// thus 40 or 52 bytes long.
class KxRlPakFile {
public:
    // Reads the archive at `path`. Every count and offset is checked against the archive's
    // length before anything is allocated, and every entry's directory offset must name a
    // zero-terminated text inside the directory block; otherwise an IOException naming the
    // archive is thrown. The returned archive has its file closed.
    static KxRlPakFile *CreateFromFile(const char *path);

    ~KxRlPakFile();
    KxRlPakFile(const KxRlPakFile &) = delete;
    KxRlPakFile &operator=(const KxRlPakFile &) = delete;

    // The open archive file, opened with "rb" when none is open. An archive whose size or
    // modification time differs from when its tables were read was changed or replaced since:
    // its offsets no longer hold, so it is refused with an IOException that names it, as is
    // an archive that can no longer be opened.
    RandomAccessFile *getFile();
    // Closes the file again unless open() holds it open.
    void doneFile();
    // Opens the file and holds it open across getFile / doneFile until close().
    void open();
    void close();
    // True while the archive's file is open (held, or between getFile and doneFile).
    bool isFileOpen() const;

    const char *getFilename() const { return path; }
    // The archive as a source of game files: its path made absolute when it was read.
    const KxRlSourcePlace &getPlace() const { return place; }
    // The archive's modification time in seconds since 1970, 0 when unknown.
    int64_t getTimestamp() const { return timestamp; }
    int32_t getMagicNumber() const { return magicNumber; }
    uint32_t getHeaderWord1() const { return headerWord1; }
    int32_t getHeaderWord2() const { return headerWord2; }
    int32_t getFileCount() const { return fileCount; }
    int32_t getIndexCount() const { return indexCount; }
    int32_t getDirCount() const { return dirCount; }
    int32_t getDirBlockSize() const { return dirBlockSize; }
    uint32_t getFileTableOffset() const { return fileTableOffset; }
    uint32_t getIndexTableOffset() const { return indexTableOffset; }
    uint32_t getDirBlockOffset() const { return dirBlockOffset; }
    // The i-th index record: two words per record, kept but not interpreted.
    int32_t getIndexWord(int record, int word) const { return indexTable[record * 2 + word]; }
    // Unchecked index, 0 <= i < getFileCount().
    KxRlPakFileEntry *getFileEntry(int i) const { return entries[i]; }
    // The directory name at `offset` of the directory block; "" when the offset is not the
    // start of a zero-terminated text inside the block.
    const char *getDirAt(uint32_t offset) const;
    // True when `offset` starts a zero-terminated text inside the directory block (offset 0
    // of an empty block stands for the archive root).
    bool isDirOffsetValid(uint32_t offset) const;

    // The sizes a listing shows for `chosen`, entries of this archive, read in one pass through
    // the archive in data order (KxRlPakFileEntry::readListedSizes). sizes[i] belongs to
    // chosen[i]. `problems` names, by index in `chosen` and in that order, each entry whose sizes
    // could not be read, and why (its header lies beyond the end, or the archive can no longer
    // be read as it was).
    void readListedSizes(const std::vector<KxRlPakFileEntry *> &chosen,
                         std::vector<KxRlPakFileEntry::ListedSizes> &sizes,
                         std::vector<std::pair<size_t, std::string>> &problems);

private:
    KxRlPakFile();
    void readTables();

    char *path;
    KxRlSourcePlace place;
    int64_t timestamp;
    int64_t length;  // bytes when the tables were read; -1 before
    int32_t magicNumber;
    uint32_t headerWord1;
    int32_t headerWord2;
    int32_t fileCount;
    int32_t indexCount;
    int32_t dirCount;
    int32_t dirBlockSize;
    int32_t extraWords[3];
    uint32_t fileTableOffset;
    uint32_t indexTableOffset;
    uint32_t dirBlockOffset;
    KxRlPakFileEntry **entries;
    int32_t *indexTable;
    char *dirBlock;  // dirBlockSize bytes plus one terminator of our own
    RandomAccessFile *file;
    bool heldOpen;
};

#endif
