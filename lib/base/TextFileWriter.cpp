#include "TextFileWriter.h"

#include "Platform.h"
#include "StringBuffer.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
const char *const kNotOpened = "File could not be opened";
}  // namespace

bool TextFileWriter::open(const char *path, std::string *reason) {
    try {
        if (file.isOpen()) file.close();
        temporary.reset();
        if (!path || !*path) throw IOException(ENOENT, kNotOpened);
        // Moving the finished file into place would replace these; opening them would not.
        if (platform::isReadOnlyFile(path)) throw IOException(EACCES, kNotOpened);
        if (platform::isDirectory(path)) throw IOException(EISDIR, kNotOpened);
        temporary.reset(new TemporaryFile(path));
        file.open(temporary->path().c_str(), "wb");
        return true;
    } catch (const IOException &e) {
        temporary.reset();
        if (reason) *reason = e.describe();
        return false;
    }
}

void TextFileWriter::write(const char *text) { write(text, std::strlen(text)); }

void TextFileWriter::write(const char *text, size_t length) {
    size_t start = 0;
    for (size_t i = 0; i < length; i++) {
        if (text[i] != '\n') continue;
        if (i > start) file.write(text + start, i - start);
        file.write("\r\n", 2);
        start = i + 1;
    }
    if (length > start) file.write(text + start, length - start);
}

void TextFileWriter::write(const StringBuffer &text) { write(text.getChars(), text.getLength()); }

void TextFileWriter::writeFormat(const char *format, ...) {
    va_list args;
    va_start(args, format);
    char small[512];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
        write(small, static_cast<size_t>(n));
    } else if (n > 0) {
        std::string large(static_cast<size_t>(n) + 1, '\0');
        std::vsnprintf(&large[0], large.size(), format, args);
        write(large.data(), static_cast<size_t>(n));
    }
    va_end(args);
}

void TextFileWriter::close() {
    file.close();
    if (!temporary) return;
    std::unique_ptr<TemporaryFile> finished = std::move(temporary);
    if (!finished->moveIntoPlace())
        throw IOException(errno, "Could not move the finished file into place: " +
                                     platform::nativePath(finished->finalPath().c_str()));
}
