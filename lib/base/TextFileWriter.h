#ifndef KX_BASE_TEXTFILEWRITER_H
#define KX_BASE_TEXTFILEWRITER_H

#include "RandomAccessFile.h"

#include <cstddef>
#include <string>

class StringBuffer;

// A text file (report, INI) whose lines end in CR LF on every platform, as the Windows text
// mode writes them, so that the files the tools make are byte-identical wherever they run.
// Texts are given with plain "\n" line breaks. Write failures throw IOException.
class TextFileWriter {
public:
    TextFileWriter() = default;
    // Closes an open file, swallowing errors.
    ~TextFileWriter() = default;
    TextFileWriter(const TextFileWriter &) = delete;
    TextFileWriter &operator=(const TextFileWriter &) = delete;

    // Creates or truncates the file; false when it cannot be opened, with the reason (the
    // system's, where it gave one) in `reason` when that is not null.
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
    void close();

private:
    RandomAccessFile file;
};

#endif
