#ifndef KX_BASE_TEXTFILEWRITER_H
#define KX_BASE_TEXTFILEWRITER_H

#include "RandomAccessFile.h"
#include "TemporaryFile.h"

#include <cstddef>
#include <memory>
#include <string>

class StringBuffer;

// A text file (report, INI) whose lines end in CR LF on every platform, as the Windows text
// mode writes them, so that the files the tools make are byte-identical wherever they run.
// Texts are given with plain "\n" line breaks. Write failures throw IOException.
// The file is written whole or not at all: the text goes to a temporary file (TemporaryFile),
// which close() moves over the path. Until then a file already at the path stays as it was,
// also when the run fails or is interrupted.
class TextFileWriter {
public:
    TextFileWriter() = default;
    // Drops an unfinished file: the path keeps what it held before.
    ~TextFileWriter() = default;
    TextFileWriter(const TextFileWriter &) = delete;
    TextFileWriter &operator=(const TextFileWriter &) = delete;

    // Starts the file; false when it cannot be written, with the reason (the system's, where
    // it gave one) in `reason` when that is not null. An existing file that is read-only, or a
    // folder at the path, is refused here ("File could not be opened", EACCES or EISDIR).
    bool open(const char *path, std::string *reason = nullptr);
    bool isOpen() const { return file.isOpen(); }
    void write(const char *text);
    void write(const char *text, size_t length);
    void write(const StringBuffer &text);
    void writeFormat(const char *format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // Finishes the file and moves it over the path. Throws IOException when the text cannot be
    // finished or moved into place; the path then keeps what it held before.
    void close();

private:
    std::unique_ptr<TemporaryFile> temporary;  // outlives the file, which is closed first
    RandomAccessFile file;
};

#endif
