#include "KxRlPakFileEntry.h"

#include "ByteOrder.h"
#include "KxRlPakFile.h"
#include "KxRlPakWindow.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "RandomAccessFile.h"
#include "TemporaryFile.h"

#include <cstring>
#include <memory>
#include <string>
#include <zlib.h>

namespace {

// Closes the archive's file when extraction leaves, normally or by an exception.
class FileRelease {
public:
    explicit FileRelease(KxRlPakFile *archive) : archive(archive) {}
    ~FileRelease() {
        try {
            archive->doneFile();
        } catch (const IOException &) {
        }
    }
    FileRelease(const FileRelease &) = delete;
    FileRelease &operator=(const FileRelease &) = delete;

private:
    KxRlPakFile *archive;
};

}  // namespace

KxRlPakFileEntry *KxRlPakFileEntry::CreateFromFile(KxRlPakFile *archive, RandomAccessFile *file) {
    std::unique_ptr<KxRlPakFileEntry> entry(new KxRlPakFileEntry());
    entry->archive = archive;
    entry->readRecord(file);
    return entry.release();
}

void KxRlPakFileEntry::readRecord(RandomAccessFile *file) {
    hash1 = file->readUInt();
    hash2 = file->readUInt();
    dataOffset = file->readUInt();
    word1 = file->readUInt();
    word2 = file->readUInt();
    flags = file->readUInt();
    file->readChars(fileName, kNameSize, true);
    kxrlStrLower(fileName);
    dirOffset = (flags & 0x7FFE) >> 1;
}

const char *KxRlPakFileEntry::getDirName() const { return archive->getDirAt(dirOffset); }

std::string KxRlPakFileEntry::describe() const {
    return std::string(getDirName()) + fileName + " of " + platform::nativePath(archive->getFilename());
}

void KxRlPakFileEntry::getFullFileName(char *buffer) const {
    buffer[0] = 0;
    if (!kxrlAttachDirName(buffer, getDirName(), false) || !kxrlAttachDirName(buffer, fileName, false)) {
        buffer[0] = 0;
        throw IOException("Path is too long: " + platform::nativePath((std::string(getDirName()) + fileName).c_str()));
    }
}

void KxRlPakFileEntry::getFullFilePath(char *buffer, const char *folder) const {
    if (!kxrlMakeDirName(buffer, folder, getDirName(), true) || !kxrlAttachDirName(buffer, fileName, false)) {
        buffer[0] = 0;
        std::string path = folder ? folder : "";
        if (!path.empty() && path.back() != '\\') path += '\\';
        throw IOException("Path is too long: " + platform::nativePath((path + getDirName() + fileName).c_str()));
    }
}

bool KxRlPakFileEntry::isSafeName(const char *name) {
    return !kxrlIsSeparator(name[0]) && !std::strchr(name, ':') && !kxrlHasParentPart(name);
}

void KxRlPakFileEntry::checkSafeNames() const {
    if (!isSafeName(getDirName()) || !isSafeName(fileName))
        throw IOException("Refused archive entry " + describe() + ": its name leaves the extraction folder");
}

KxRlPakFileEntry::CompressHeader KxRlPakFileEntry::readHeaderAt(KxRlPakWindow &window, int64_t position,
                                                                int64_t *payload) const {
    CompressHeader read;
    // Nested blocks are followed in a loop: each one moves at least 20 bytes on, so a
    // hostile chain ends at the end of the archive.
    for (;;) {
        const uint8_t *bytes = window.view(position, kCompressHeaderSize);
        if (!bytes)
            throw IOException("Compression header of archive entry " + describe() + " at offset " +
                              std::to_string(position) + " lies beyond the end of the archive");
        read.headerWord = kxLoadLE32(bytes);
        read.decompressedSize = kxLoadLE32(bytes + 4);
        read.compressedSize = kxLoadLE32(bytes + 8);
        read.storedFlag = kxLoadLE32(bytes + 12);
        position += kCompressHeaderSize;
        *payload = position;
        if (read.storedFlag == 0) return read;
        const uint8_t *magic = window.view(position, 4);
        if (!magic || kxLoadLE32(magic) != kNestedMagic) return read;
        position += 4;
    }
}

void KxRlPakFileEntry::readCompressHeader(RandomAccessFile *file) {
    int64_t position = file->getPosition();
    KxRlPakWindow window(file, kHeaderWindow);
    int64_t payload = position;
    adoptHeader(readHeaderAt(window, position, &payload));
    file->seek(payload);
}

KxRlPakFileEntry::CompressHeader KxRlPakFileEntry::readHeaderAtOffset(KxRlPakWindow &window, int64_t *payload) const {
    int64_t length = window.getLength();
    if (static_cast<int64_t>(dataOffset) > length || length - dataOffset < kCompressHeaderSize)
        throw IOException("Data offset " + std::to_string(dataOffset) + " of archive entry " + describe() +
                          " lies beyond the end of the archive (" + std::to_string(length) + " bytes)");
    return readHeaderAt(window, dataOffset, payload);
}

void KxRlPakFileEntry::adoptHeader(const CompressHeader &read) {
    header = read;
    headerRead = true;
}

void KxRlPakFileEntry::ensureHeader() {
    if (headerRead) return;
    FileRelease release(archive);
    KxRlPakWindow window(archive->getFile(), kHeaderWindow);
    int64_t payload;
    adoptHeader(readHeaderAtOffset(window, &payload));
}

uint32_t KxRlPakFileEntry::getCompressedSize() {
    ensureHeader();
    return header.compressedSize;
}

uint32_t KxRlPakFileEntry::getDecompressedSize() {
    ensureHeader();
    return header.decompressedSize;
}

int KxRlPakFileEntry::makeDir(const char *folder, std::string *failedLevel) const {
    std::string base = folder ? folder : "";
    if (!base.empty() && !kxrlIsSeparator(base.back())) base += '\\';
    return kxrlMakeFolders((base + getDirName()).c_str(), failedLevel);
}

void KxRlPakFileEntry::inflateExactly(const uint8_t *source, uint32_t sourceSize, uint8_t *target,
                                      uint32_t targetSize) const {
    uLongf produced = targetSize;
    int result = uncompress(target, &produced, source, sourceSize);
    if (result != Z_OK)
        throw IOException(result, "Could not inflate archive entry " + describe() + " (zlib error " +
                                      std::to_string(result) + ")");
    if (produced != targetSize)
        throw IOException("Archive entry " + describe() + " inflates to " + std::to_string(produced) +
                          " bytes instead of the stated " + std::to_string(targetSize));
}

void KxRlPakFileEntry::checkSize(uint32_t size, int64_t available, const char *what) const {
    if (size > kMaxDecompressedSize)
        throw IOException("Archive entry " + describe() + " states a " + what + " size of " + std::to_string(size) +
                          " bytes, more than the " + std::to_string(kMaxDecompressedSize) + " accepted");
    if (static_cast<int64_t>(size) > available)
        throw IOException("Archive entry " + describe() + " states a " + what + " size of " + std::to_string(size) +
                          " bytes, but only " + std::to_string(available) + " remain");
}

std::optional<KxRlPakFileEntry::CompressHeader> KxRlPakFileEntry::peekExtractedHeader(
    KxRlPakWindow &window, int64_t payload, const CompressHeader &outer) const {
    if (outer.storedFlag != 0 || outer.decompressedSize < kNestedHeaderSize) return outer;
    // The first bytes of a zlib stream inflate from its first few hundred bytes.
    uint32_t inputSize = outer.compressedSize < kPeekInput ? outer.compressedSize : kPeekInput;
    const uint8_t *input = window.view(payload, inputSize);
    if (!input) return std::nullopt;
    uint8_t start[kNestedHeaderSize];
    if (!window.inflateStart(input, inputSize, start, kNestedHeaderSize)) return std::nullopt;
    return kxLoadLE32(start) == kNestedMagic ? nestedHeader(start) : outer;
}

KxRlPakFileEntry::ListedSizes KxRlPakFileEntry::readListedSizes(KxRlPakWindow &window) const {
    int64_t payload;
    CompressHeader outer = readHeaderAtOffset(window, &payload);
    ListedSizes sizes;
    sizes.size = outer.decompressedSize;
    sizes.packed = outer.storedFlag != 0 ? outer.decompressedSize : outer.compressedSize;
    // A zlib stream may inflate to a nested block, whose own header holds the final size. That
    // block carries a second zlib stream, which does not shrink to half again, so only streams
    // that shrink their data less are looked into: inflating the start of every stream of a
    // large archive would cost several times reading its whole catalogue.
    if (outer.storedFlag == 0 && outer.compressedSize >= outer.decompressedSize - outer.decompressedSize / 10) {
        if (std::optional<CompressHeader> extracted = peekExtractedHeader(window, payload, outer))
            sizes.size = extracted->decompressedSize;
    }
    return sizes;
}

KxRlPakFileEntry::CompressHeader KxRlPakFileEntry::nestedHeader(const uint8_t *block) {
    CompressHeader nested;
    nested.headerWord = kxLoadLE32(block + 4);
    nested.decompressedSize = kxLoadLE32(block + 8);
    nested.compressedSize = kxLoadLE32(block + 12);
    nested.storedFlag = kxLoadLE32(block + 16);
    return nested;
}

std::optional<KxRlPakFileEntry::CompressHeader> KxRlPakFileEntry::checkExtractedCopy(const char *path,
                                                                                      RandomAccessFile *file) const {
    KxRlPakWindow window(file, kHeaderWindow);
    return checkExtractedCopy(path, window);
}

std::optional<KxRlPakFileEntry::CompressHeader> KxRlPakFileEntry::checkExtractedCopy(const char *path,
                                                                                      KxRlPakWindow &window) const {
    int64_t copyTime;
    if (!platform::getModificationTime(path, &copyTime) || platform::isDirectory(path) ||
        copyTime != archive->getTimestamp())
        return std::nullopt;
    int64_t copySize;
    try {
        RandomAccessFile copy(path, "rb");
        copySize = copy.getLength();
    } catch (const IOException &) {
        return std::nullopt;
    }
    int64_t payload;
    CompressHeader outer = readHeaderAtOffset(window, &payload);
    std::optional<CompressHeader> extracted = peekExtractedHeader(window, payload, outer);
    if (!extracted || copySize != extracted->decompressedSize) return std::nullopt;
    return extracted;
}

int KxRlPakFileEntry::extract(char *outPath, const char *folder) {
    checkSafeNames();
    getFullFilePath(outPath, folder);

    FileRelease release(archive);
    RandomAccessFile *file = archive->getFile();
    KxRlPakWindow window(file, kHeaderWindow);
    if (std::optional<CompressHeader> extracted = checkExtractedCopy(outPath, window)) {
        adoptHeader(*extracted);
        return 0;
    }
    int64_t payload;
    adoptHeader(readHeaderAtOffset(window, &payload));
    file->seek(payload);
    int64_t remaining = window.getLength() - payload;

    int inflations = 0;
    uint32_t size = header.decompressedSize;
    std::unique_ptr<uint8_t[]> data;
    if (header.storedFlag != 0) {
        checkSize(size, remaining, "stored");
        data.reset(new uint8_t[size]);
        if (file->read(data.get(), size) != size)
            throw IOException("Archive entry " + describe() + " ends early");
    } else {
        checkSize(header.compressedSize, remaining, "compressed");
        checkSize(size, kMaxDecompressedSize, "decompressed");
        std::unique_ptr<uint8_t[]> packed(new uint8_t[header.compressedSize]);
        if (file->read(packed.get(), header.compressedSize) != header.compressedSize)
            throw IOException("Archive entry " + describe() + " ends early");
        data.reset(new uint8_t[size]);
        inflateExactly(packed.get(), header.compressedSize, data.get(), size);
        inflations++;
    }

    // Decompressed data may itself be a nested block: "zcmp", a header, a zlib stream.
    if (size >= kNestedHeaderSize && kxLoadLE32(data.get()) == kNestedMagic) {
        adoptHeader(nestedHeader(data.get()));
        checkSize(header.compressedSize, size - kNestedHeaderSize, "compressed");
        checkSize(header.decompressedSize, kMaxDecompressedSize, "decompressed");
        std::unique_ptr<uint8_t[]> inner(new uint8_t[header.decompressedSize]);
        inflateExactly(data.get() + kNestedHeaderSize, header.compressedSize, inner.get(), header.decompressedSize);
        inflations++;
        data = std::move(inner);
        size = header.decompressedSize;
    }

    std::string level;
    if (int error = makeDir(folder, &level)) {
        throw IOException("Could not write the extracted copy of " + describe() + " to " +
                          platform::nativePath(outPath) + ": the folder " + platform::nativePath(level.c_str()) +
                          " could not be made: " + std::strerror(error));
    }
    // Another run extracting the same entry at the same time may have put its copy in place
    // first; Windows refuses to replace it while that run reads it, and it is just as good.
    // (The entry already holds the header that copy's check would give.)
    if (!writeInPlace(outPath, data.get(), size) && !checkExtractedCopy(outPath, window))
        throw IOException("Could not move the extraction of " + describe() + " into place: " + outPath);
    return inflations;
}

bool KxRlPakFileEntry::writeInPlace(const char *path, const uint8_t *data, uint32_t size) const {
    TemporaryFile part(path);
    const std::string &temporary = part.path();
    try {
        RandomAccessFile out(temporary.c_str(), "wb");
        if (out.write(data, size) != size)
            throw IOException("Could not write " + platform::nativePath(temporary.c_str()));
        out.close();
        // The archive's time marks the copy as this entry's extraction (see checkExtractedCopy);
        // a copy whose time could not be set is simply extracted again next time.
        platform::setModificationTime(temporary.c_str(), archive->getTimestamp());
    } catch (const IOException &e) {
        // Name the place: the cache folder is where the user has to look.
        throw IOException("Could not write the extracted copy of " + describe() + " to " +
                          platform::nativePath(path) + ": " + e.describe());
    }
    return part.moveIntoPlace();
}
