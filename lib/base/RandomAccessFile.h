#ifndef KX_BASE_RANDOMACCESSFILE_H
#define KX_BASE_RANDOMACCESSFILE_H

#include "IOException.h"

#include <cstdint>
#include <cstdio>

class StringBuffer;

// The one binary file class: a thin layer over a buffered C stream. Every multi-byte value
// is little-endian in the file whatever the host's byte order; `long` values are 4 bytes.
// Every stream failure becomes an IOException. A fixed-width or zero-terminated read that
// meets the end of the file throws "Unexpected end of file"; the bulk reads (read, copy)
// return how much they moved.
class RandomAccessFile {
public:
    RandomAccessFile();
    // Opens at once; throws "File could not be opened".
    RandomAccessFile(const char *path, const char *mode);
    // Closes an open file, swallowing errors.
    ~RandomAccessFile();
    RandomAccessFile(const RandomAccessFile &) = delete;
    RandomAccessFile &operator=(const RandomAccessFile &) = delete;

    // Modes "rb" (read) and "wb" (create or truncate). Closes the open file first. Throws
    // "File could not be opened" with the system's error number (0 when it gave none). An
    // existing read-only file is never opened for writing, on any platform (EACCES).
    void open(const char *path, const char *mode);
    void close();
    bool isOpen() const { return stream != nullptr; }
    void checkFileOpen() const;
    void checkFileError() const;

    // Positions and sizes are 64-bit: archives reach 4 GiB.
    int64_t getPosition();
    void seek(int64_t offset);
    void seekRelative(int64_t offset);
    void seekEnd(int64_t offset);
    // Moves forward to the next multiple of `n`. Throws for a boundary below 1.
    void seekToBoundary(int32_t n);
    // Size of the open file in bytes; the position is kept.
    int64_t getLength();

    size_t read(void *buffer, size_t length);
    size_t read(void *buffer, size_t size, size_t count);
    uint8_t readUByte();
    int8_t readByte();
    uint16_t readUShort();
    int16_t readShort();
    uint32_t readUInt();
    int32_t readInt();
    uint32_t readULong();
    int32_t readLong();
    float readFloat();
    double readDouble();
    // Exactly `length` bytes; with `terminate` a zero at buffer[length] (buffer holds length + 1).
    char *readChars(char *buffer, size_t length, bool terminate);
    // Bytes up to and including a zero byte. The buffer must be large enough: prefer the
    // bounded form or the allocating form for data from disk.
    char *readZChars(char *buffer);
    // As above, but fails with an IOException instead of storing more than `size` bytes.
    char *readZChars(char *buffer, size_t size);
    // A new zero-terminated copy (delete[]) of the characters up to the zero byte.
    char *readZChars();
    uint16_t *readUnicode(uint16_t *buffer, size_t count, bool terminate);
    uint16_t *readZUnicode(uint16_t *buffer);
    // A new array (delete[]) that grows by 16 characters at a time.
    uint16_t *readZUnicode();

    size_t write(const void *data, size_t length);
    size_t write(const void *data, size_t size, size_t count);
    void writeUByte(uint8_t value);
    void writeByte(int8_t value);
    void writeUShort(uint16_t value);
    void writeShort(int16_t value);
    void writeUInt(uint32_t value);
    void writeInt(int32_t value);
    void writeULong(uint32_t value);
    void writeLong(int32_t value);
    void writeFloat(float value);
    void writeDouble(double value);
    void writeChars(const char *text, size_t length, bool terminate);
    void writeZChars(const char *text);
    void writeZChars(const StringBuffer &text);
    // Writes `fill` up to the next multiple of `n`; returns the bytes written. Throws for a
    // boundary below 1.
    int writePadToBoundary(int32_t n, uint8_t fill);

    void setCopyBufferSize(uint32_t size);
    uint32_t getCopyBufferSize() const { return copyBufferSize; }
    // Copies up to `length` bytes from the current position of `source`; stops early when
    // `source` has no more. Returns the bytes written.
    uint32_t copyFromFile(RandomAccessFile *source, uint32_t length);

private:
    void readExactly(void *buffer, size_t length);
    void writeExactly(const void *data, size_t length);
    int readZCharByte();
    int32_t distanceToBoundary(int32_t n);

    FILE *stream;
    uint32_t copyBufferSize;
    uint8_t *copyBuffer;
    StringBuffer *stringScratch;
};

#endif
