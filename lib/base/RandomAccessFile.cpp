#include "RandomAccessFile.h"

#include "ByteOrder.h"
#include "Platform.h"
#include "StringBuffer.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace {

const char *const kEndOfFile = "Unexpected end of file";
const char *const kNotOpened = "File could not be opened";

}  // namespace

RandomAccessFile::RandomAccessFile() : stream(nullptr), copyBufferSize(256), copyBuffer(nullptr), stringScratch(nullptr) {}

RandomAccessFile::RandomAccessFile(const char *path, const char *mode) : RandomAccessFile() { open(path, mode); }

RandomAccessFile::~RandomAccessFile() {
    delete[] copyBuffer;
    delete stringScratch;
    if (stream) {
        try {
            close();
        } catch (const IOException &) {
        }
    }
}

void RandomAccessFile::open(const char *path, const char *mode) {
    if (stream) close();
    // Opening for writing does not fail on a read-only file everywhere (POSIX lets root write).
    bool writing = mode && std::strpbrk(mode, "wa+");
    if (path && writing && platform::isReadOnlyFile(path)) throw IOException(EACCES, kNotOpened);
    errno = 0;
    stream = path ? platform::openFile(path, mode) : nullptr;
    // The system's error number goes with the described text, for messages that say why.
    if (!stream) throw IOException(errno, kNotOpened);
}

void RandomAccessFile::close() {
    checkFileOpen();
    FILE *closing = stream;
    stream = nullptr;
    if (std::fclose(closing) != 0) throw IOException("File could not be closed");
}

void RandomAccessFile::checkFileOpen() const {
    if (!stream) throw IOException("No file was open");
}

void RandomAccessFile::checkFileError() const {
    if (stream && std::ferror(stream)) throw IOException(errno ? errno : EIO);
}

int64_t RandomAccessFile::getPosition() {
    checkFileOpen();
    int64_t position = platform::tellFile(stream);
    if (position == -1) {
        checkFileError();
        throw IOException(errno ? errno : EIO);
    }
    return position;
}

void RandomAccessFile::seek(int64_t offset) {
    checkFileOpen();
    if (platform::seekFile(stream, offset, SEEK_SET) != 0) checkFileError();
}

void RandomAccessFile::seekRelative(int64_t offset) {
    checkFileOpen();
    if (platform::seekFile(stream, offset, SEEK_CUR) != 0) checkFileError();
}

void RandomAccessFile::seekEnd(int64_t offset) {
    checkFileOpen();
    if (platform::seekFile(stream, offset, SEEK_END) != 0) checkFileError();
}

// Bytes from the position to the next multiple of `n` (0 when on one).
int32_t RandomAccessFile::distanceToBoundary(int32_t n) {
    if (n < 1) throw IOException("Invalid boundary " + std::to_string(n) + ": a boundary is at least 1 byte");
    int32_t remainder = static_cast<int32_t>(getPosition() % n);
    return remainder == 0 ? 0 : n - remainder;
}

void RandomAccessFile::seekToBoundary(int32_t n) {
    int32_t distance = distanceToBoundary(n);
    if (distance != 0) seekRelative(distance);
}

int64_t RandomAccessFile::getLength() {
    int64_t position = getPosition();
    seekEnd(0);
    int64_t length = getPosition();
    seek(position);
    return length;
}

size_t RandomAccessFile::read(void *buffer, size_t length) {
    checkFileOpen();
    size_t n = std::fread(buffer, 1, length, stream);
    checkFileError();
    return n;
}

size_t RandomAccessFile::read(void *buffer, size_t size, size_t count) {
    checkFileOpen();
    size_t n = std::fread(buffer, size, count, stream);
    checkFileError();
    return n;
}

void RandomAccessFile::readExactly(void *buffer, size_t length) {
    if (read(buffer, length) != length) throw IOException(kEndOfFile);
}

uint8_t RandomAccessFile::readUByte() {
    uint8_t b;
    readExactly(&b, 1);
    return b;
}

int8_t RandomAccessFile::readByte() { return static_cast<int8_t>(readUByte()); }

uint16_t RandomAccessFile::readUShort() {
    uint8_t b[2];
    readExactly(b, 2);
    return kxLoadLE16(b);
}

int16_t RandomAccessFile::readShort() { return static_cast<int16_t>(readUShort()); }

uint32_t RandomAccessFile::readUInt() {
    uint8_t b[4];
    readExactly(b, 4);
    return kxLoadLE32(b);
}

int32_t RandomAccessFile::readInt() { return static_cast<int32_t>(readUInt()); }
uint32_t RandomAccessFile::readULong() { return readUInt(); }
int32_t RandomAccessFile::readLong() { return readInt(); }

float RandomAccessFile::readFloat() {
    uint32_t bits = readUInt();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double RandomAccessFile::readDouble() {
    uint8_t b[8];
    readExactly(b, 8);
    uint64_t bits = kxLoadLE64(b);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

char *RandomAccessFile::readChars(char *buffer, size_t length, bool terminate) {
    readExactly(buffer, length);
    if (terminate) buffer[length] = 0;
    return buffer;
}

int RandomAccessFile::readZCharByte() {
    checkFileOpen();
    int c = std::fgetc(stream);
    checkFileError();
    if (c == EOF) throw IOException(kEndOfFile);
    return c;
}

char *RandomAccessFile::readZChars(char *buffer) {
    for (size_t i = 0;; i++) {
        buffer[i] = static_cast<char>(readZCharByte());
        if (buffer[i] == 0) return buffer;
    }
}

char *RandomAccessFile::readZChars(char *buffer, size_t size) {
    for (size_t i = 0; i < size; i++) {
        buffer[i] = static_cast<char>(readZCharByte());
        if (buffer[i] == 0) return buffer;
    }
    throw IOException("Text in file is longer than its buffer");
}

char *RandomAccessFile::readZChars() {
    if (!stringScratch) stringScratch = new StringBuffer();
    stringScratch->clear();
    for (;;) {
        char c = static_cast<char>(readZCharByte());
        if (c == 0) break;
        stringScratch->append(c);
    }
    return stringScratch->createCopy();
}

uint16_t *RandomAccessFile::readUnicode(uint16_t *buffer, size_t count, bool terminate) {
    for (size_t i = 0; i < count; i++) buffer[i] = readUShort();
    if (terminate) buffer[count] = 0;
    return buffer;
}

uint16_t *RandomAccessFile::readZUnicode(uint16_t *buffer) {
    for (size_t i = 0;; i++) {
        buffer[i] = readUShort();
        if (buffer[i] == 0) return buffer;
    }
}

uint16_t *RandomAccessFile::readZUnicode() {
    size_t capacity = 16;
    uint16_t *chars = new uint16_t[capacity];
    try {
        for (size_t i = 0;; i++) {
            if (i == capacity) {
                uint16_t *grown = new uint16_t[capacity + 16];
                std::memcpy(grown, chars, capacity * sizeof(uint16_t));
                delete[] chars;
                chars = grown;
                capacity += 16;
            }
            chars[i] = readUShort();
            if (chars[i] == 0) return chars;
        }
    } catch (...) {
        delete[] chars;
        throw;
    }
}

size_t RandomAccessFile::write(const void *data, size_t length) {
    checkFileOpen();
    size_t n = std::fwrite(data, 1, length, stream);
    checkFileError();
    return n;
}

size_t RandomAccessFile::write(const void *data, size_t size, size_t count) {
    checkFileOpen();
    size_t n = std::fwrite(data, size, count, stream);
    checkFileError();
    return n;
}

// A short write without the error indicator (a full disk on some systems) is still a failure.
void RandomAccessFile::writeExactly(const void *data, size_t length) {
    if (write(data, length) != length) throw IOException(ENOSPC);
}

void RandomAccessFile::writeUByte(uint8_t value) { writeExactly(&value, 1); }
void RandomAccessFile::writeByte(int8_t value) { writeUByte(static_cast<uint8_t>(value)); }

void RandomAccessFile::writeUShort(uint16_t value) {
    uint8_t b[2];
    kxStoreLE16(b, value);
    writeExactly(b, 2);
}

void RandomAccessFile::writeShort(int16_t value) { writeUShort(static_cast<uint16_t>(value)); }

void RandomAccessFile::writeUInt(uint32_t value) {
    uint8_t b[4];
    kxStoreLE32(b, value);
    writeExactly(b, 4);
}

void RandomAccessFile::writeInt(int32_t value) { writeUInt(static_cast<uint32_t>(value)); }
void RandomAccessFile::writeULong(uint32_t value) { writeUInt(value); }
void RandomAccessFile::writeLong(int32_t value) { writeUInt(static_cast<uint32_t>(value)); }

void RandomAccessFile::writeFloat(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    writeUInt(bits);
}

void RandomAccessFile::writeDouble(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    uint8_t b[8];
    kxStoreLE64(b, bits);
    writeExactly(b, 8);
}

void RandomAccessFile::writeChars(const char *text, size_t length, bool terminate) {
    writeExactly(text, length);
    if (terminate) writeUByte(0);
}

void RandomAccessFile::writeZChars(const char *text) { writeExactly(text, std::strlen(text) + 1); }

void RandomAccessFile::writeZChars(const StringBuffer &text) { writeExactly(text.getChars(), text.getLength() + 1); }

int RandomAccessFile::writePadToBoundary(int32_t n, uint8_t fill) {
    int count = distanceToBoundary(n);
    for (int i = 0; i < count; i++) writeUByte(fill);
    return count;
}

void RandomAccessFile::setCopyBufferSize(uint32_t size) {
    if (size == 0) size = 1;
    copyBufferSize = size;
    if (copyBuffer) {
        delete[] copyBuffer;
        copyBuffer = new uint8_t[copyBufferSize];
    }
}

uint32_t RandomAccessFile::copyFromFile(RandomAccessFile *source, uint32_t length) {
    if (!copyBuffer) copyBuffer = new uint8_t[copyBufferSize];
    uint32_t total = 0;
    while (length != 0) {
        uint32_t n = copyBufferSize < length ? copyBufferSize : length;
        size_t got = source->read(copyBuffer, n);
        if (got == 0) break;
        total += static_cast<uint32_t>(write(copyBuffer, got));
        length -= n;
    }
    return total;
}
