#include "KxRlPakFile.h"

#include "KxRlPakWindow.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "RandomAccessFile.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

namespace {

std::string archiveError(const char *path, const std::string &what) {
    return "Invalid PAK archive " + platform::nativePath(path) + ": " + what;
}

// A table of `count` records of `recordSize` bytes at `offset` must lie inside the archive.
void checkTable(const char *path, const char *table, uint32_t offset, int32_t count, uint32_t recordSize,
                int64_t length) {
    if (count < 0)
        throw IOException(archiveError(path, std::string(table) + " has a negative count " + std::to_string(count)));
    if (static_cast<int64_t>(offset) > length ||
        static_cast<uint64_t>(count) > static_cast<uint64_t>(length - offset) / recordSize)
        throw IOException(archiveError(path, std::string(table) + " at offset " + std::to_string(offset) + " with " +
                                                 std::to_string(count) + " records does not fit the archive of " +
                                                 std::to_string(length) + " bytes"));
}

}  // namespace

KxRlPakFile::KxRlPakFile()
    : path(nullptr), timestamp(0), length(-1), magicNumber(0), headerWord1(0), headerWord2(0), fileCount(0),
      indexCount(0), dirCount(0), dirBlockSize(0), extraWords{0, 0, 0}, fileTableOffset(0), indexTableOffset(0),
      dirBlockOffset(0), entries(nullptr), indexTable(nullptr), dirBlock(nullptr), file(nullptr),
      heldOpen(false) {}

KxRlPakFile::~KxRlPakFile() {
    if (entries) {
        for (int32_t i = 0; i < fileCount; i++) delete entries[i];
        delete[] entries;
    }
    delete[] indexTable;
    delete[] dirBlock;
    delete[] path;
    delete file;  // closes an open file, swallowing errors
}

KxRlPakFile *KxRlPakFile::CreateFromFile(const char *path) {
    KxRlPakFile *archive = new KxRlPakFile();
    try {
        int64_t seconds;
        archive->timestamp = platform::getModificationTime(path, &seconds) ? seconds : 0;
        archive->path = kxrlStrDup(path);
        archive->place = {KxRlSourceKind::Archive, kxrlAbsolutePlace(path)};
        archive->open();
        archive->readTables();
        archive->close();
    } catch (...) {
        delete archive;
        throw;
    }
    return archive;
}

void KxRlPakFile::readTables() {
    RandomAccessFile *f = getFile();
    length = f->getLength();
    magicNumber = f->readInt();
    headerWord1 = f->readUInt();
    headerWord2 = f->readInt();
    fileCount = f->readInt();
    indexCount = f->readInt();
    dirCount = f->readInt();
    dirBlockSize = f->readInt();
    if (magicNumber > 4)
        for (int32_t &word : extraWords) word = f->readInt();
    fileTableOffset = f->readUInt();
    indexTableOffset = f->readUInt();
    dirBlockOffset = f->readUInt();

    // Counts and offsets are checked before anything is allocated; a failed check leaves
    // the counts at 0 so that the destructor frees only what exists.
    int32_t files = fileCount;
    fileCount = 0;
    checkTable(path, "index table", indexTableOffset, indexCount, 8, length);
    checkTable(path, "directory block", dirBlockOffset, dirBlockSize, 1, length);
    checkTable(path, "file table", fileTableOffset, files, KxRlPakFileEntry::kRecordSize, length);

    indexTable = new int32_t[static_cast<size_t>(indexCount) * 2];
    f->seek(indexTableOffset);
    for (int32_t i = 0; i < indexCount * 2; i++) indexTable[i] = f->readInt();

    dirBlock = new char[static_cast<size_t>(dirBlockSize) + 1];
    f->seek(dirBlockOffset);
    f->readChars(dirBlock, static_cast<size_t>(dirBlockSize), true);

    entries = new KxRlPakFileEntry *[files]();
    fileCount = files;
    f->seek(fileTableOffset);
    for (int32_t i = 0; i < fileCount; i++) {
        entries[i] = KxRlPakFileEntry::CreateFromFile(this, f);
        if (!isDirOffsetValid(entries[i]->getDirOffset()))
            throw IOException(archiveError(path, "entry " + std::to_string(i) + " (" + entries[i]->getFileName() +
                                                     ") names directory offset " +
                                                     std::to_string(entries[i]->getDirOffset()) +
                                                     ", which is not a name inside the directory block"));
    }
}

RandomAccessFile *KxRlPakFile::getFile() {
    if (!file) file = new RandomAccessFile();
    if (file->isOpen()) return file;
    try {
        file->open(path, "rb");
    } catch (const IOException &e) {
        if (length < 0) throw;
        throw IOException("PAK archive " + platform::nativePath(path) + " can no longer be opened (" + e.describe() +
                          "): it was moved or removed after it was read");
    }
    if (length >= 0) {
        int64_t seconds = 0, now = file->getLength();
        bool sameTime = timestamp == 0 || (platform::getModificationTime(path, &seconds) && seconds == timestamp);
        if (now != length || !sameTime) {
            file->close();
            throw IOException("PAK archive " + platform::nativePath(path) + " changed after it was read (" +
                              std::to_string(length) + " bytes then, " + std::to_string(now) +
                              " now): run the tool again to read it anew");
        }
    }
    return file;
}

void KxRlPakFile::doneFile() {
    if (!heldOpen && file && file->isOpen()) file->close();
}

void KxRlPakFile::open() {
    getFile();
    heldOpen = true;
}

void KxRlPakFile::close() {
    heldOpen = false;
    if (file && file->isOpen()) file->close();
}

bool KxRlPakFile::isFileOpen() const { return file && file->isOpen(); }

bool KxRlPakFile::isDirOffsetValid(uint32_t offset) const {
    if (!dirBlock) return false;
    if (dirBlockSize == 0) return offset == 0;
    return offset < static_cast<uint32_t>(dirBlockSize) &&
           std::memchr(dirBlock + offset, 0, static_cast<size_t>(dirBlockSize) - offset) != nullptr;
}

const char *KxRlPakFile::getDirAt(uint32_t offset) const { return isDirOffsetValid(offset) ? dirBlock + offset : ""; }

void KxRlPakFile::readListedSizes(const std::vector<KxRlPakFileEntry *> &chosen,
                                  std::vector<KxRlPakFileEntry::ListedSizes> &sizes,
                                  std::vector<std::pair<size_t, std::string>> &problems) {
    sizes.assign(chosen.size(), KxRlPakFileEntry::ListedSizes());
    problems.clear();
    if (chosen.empty()) return;
    // In data order, so that the window reads the archive from front to back once.
    std::vector<size_t> order(chosen.size());
    std::iota(order.begin(), order.end(), size_t(0));
    auto byOffset = [&chosen](size_t a, size_t b) { return chosen[a]->getOffset() < chosen[b]->getOffset(); };
    if (!std::is_sorted(order.begin(), order.end(), byOffset))  // archives mostly store data in table order
        std::sort(order.begin(), order.end(), byOffset);
    try {
        KxRlPakWindow window(getFile());
        for (size_t i : order) {
            try {
                sizes[i] = chosen[i]->readListedSizes(window);
            } catch (const IOException &e) {
                problems.emplace_back(i, e.describe());
            }
        }
        std::sort(problems.begin(), problems.end());
    } catch (const IOException &e) {
        // The archive itself could not be read (again): no entry has its sizes.
        problems.clear();
        for (size_t i = 0; i < chosen.size(); i++) problems.emplace_back(i, e.describe());
    }
    try {
        doneFile();
    } catch (const IOException &) {
    }
}
