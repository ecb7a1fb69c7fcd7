#include "StringBuffer.h"

#include "IOException.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Formats one number with the C library into a local array.
// "%f" of the largest double needs 317 characters; 400 leaves room for the sign.
struct NumberText {
    char text[400];
    uint32_t length;
};

NumberText formatNumber(const char *format, ...) {
    NumberText result;
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(result.text, sizeof result.text, format, args);
    va_end(args);
    if (n < 0) n = 0;
    if (n >= static_cast<int>(sizeof result.text)) n = sizeof result.text - 1;
    result.length = static_cast<uint32_t>(n);
    return result;
}

}  // namespace

StringBuffer::StringBuffer() { init(64); }

StringBuffer::StringBuffer(uint32_t initialCapacity) { init(initialCapacity); }

StringBuffer::StringBuffer(const char *text) {
    size_t n = text ? std::strlen(text) : 0;
    init(static_cast<uint32_t>(n + 1));
    appendRaw(text ? text : "", static_cast<uint32_t>(n));
}

void StringBuffer::init(uint32_t initialCapacity) {
    uint32_t increment = initialCapacity > 32768 ? 32768 : initialCapacity;
    growthIncrement = (increment + 15) & ~15u;
    if (initialCapacity < 1) initialCapacity = 1;  // room for the terminator
    capacity = initialCapacity;
    length = 0;
    chars = new char[capacity];
    chars[0] = 0;
}

StringBuffer::~StringBuffer() { delete[] chars; }

void StringBuffer::checkCharPos(uint32_t index) const {
    if (index >= length) throw IndexOutOfBoundsException;
}

char StringBuffer::getCharAt(uint32_t index) const {
    checkCharPos(index);
    return chars[index];
}

void StringBuffer::setCharAt(uint32_t index, char c) {
    checkCharPos(index);
    chars[index] = c;
}

void StringBuffer::setChars(const char *text) {
    length = 0;
    chars[0] = 0;
    append(text);
}

void StringBuffer::clear() {
    length = 0;
    chars[0] = 0;
}

char *StringBuffer::createCopy() const {
    char *copy = new char[length + 1];
    std::memcpy(copy, chars, length + 1);
    return copy;
}

char *StringBuffer::createSubString(uint32_t from) const {
    checkCharPos(from);
    uint32_t n = length - from;
    char *copy = new char[n + 1];
    std::memcpy(copy, chars + from, n);
    copy[n] = 0;
    return copy;
}

char *StringBuffer::createSubString(uint32_t from, uint32_t to) const {
    checkCharPos(from);
    checkCharPos(to);
    if (from >= to) throw IllegalArgumentException;
    uint32_t n = to - from;
    char *copy = new char[n + 1];
    std::memcpy(copy, chars + from, n);
    copy[n] = 0;
    return copy;
}

int StringBuffer::indexOf(char c, uint32_t from) const {
    for (uint32_t i = from; i < length; i++)
        if (chars[i] == c) return static_cast<int>(i);
    return -1;
}

int StringBuffer::indexOf(const char *text, uint32_t from) const {
    if (!text || from > length) return -1;
    const char *found = std::strstr(chars + from, text);
    return found ? static_cast<int>(found - chars) : -1;
}

void StringBuffer::ensureCapacity(uint32_t needed) {
    if (capacity >= needed) return;
    uint32_t grown = capacity + growthIncrement;
    uint32_t newCapacity = grown > needed ? grown : needed;
    char *newChars = new char[newCapacity];
    std::memcpy(newChars, chars, length + 1);
    delete[] chars;
    chars = newChars;
    capacity = newCapacity;
}

uint32_t StringBuffer::appendRaw(const char *text, uint32_t count) {
    ensureCapacity(length + count + 1);
    std::memcpy(chars + length, text, count);
    length += count;
    chars[length] = 0;
    return length;
}

uint32_t StringBuffer::insertRaw(uint32_t position, const char *text, uint32_t count) {
    checkCharPos(position);
    ensureCapacity(length + count + 1);
    std::memmove(chars + position + count, chars + position, length - position + 1);
    std::memcpy(chars + position, text, count);
    length += count;
    return length;
}

uint32_t StringBuffer::append(char c) {
    ensureCapacity(length + 2);
    chars[length++] = c;
    chars[length] = 0;
    return length;
}

uint32_t StringBuffer::append(const char *text) {
    if (!text) text = "(null)";
    return appendRaw(text, static_cast<uint32_t>(std::strlen(text)));
}

uint32_t StringBuffer::append(const char *text, uint32_t offset, uint32_t count) {
    if (!text) throw IllegalArgumentException;
    size_t total = std::strlen(text);
    if (offset > total) throw IndexOutOfBoundsException;
    size_t available = total - offset;
    return appendRaw(text + offset, static_cast<uint32_t>(count < available ? count : available));
}

uint32_t StringBuffer::append(bool value) { return append(value ? "true" : "false"); }

#define KX_APPEND_NUMBER(type, format, cast)                          \
    uint32_t StringBuffer::append(type value) {                       \
        NumberText t = formatNumber(format, static_cast<cast>(value)); \
        return appendRaw(t.text, t.length);                            \
    }                                                                  \
    uint32_t StringBuffer::insert(uint32_t position, type value) {    \
        NumberText t = formatNumber(format, static_cast<cast>(value)); \
        return insertRaw(position, t.text, t.length);                  \
    }

KX_APPEND_NUMBER(unsigned char, "%u", unsigned int)
KX_APPEND_NUMBER(unsigned short, "%u", unsigned int)
KX_APPEND_NUMBER(unsigned int, "%u", unsigned int)
KX_APPEND_NUMBER(unsigned long, "%lu", unsigned long)
KX_APPEND_NUMBER(short, "%d", int)
KX_APPEND_NUMBER(int, "%d", int)
KX_APPEND_NUMBER(long, "%ld", long)
KX_APPEND_NUMBER(float, "%f", double)
KX_APPEND_NUMBER(double, "%f", double)
#undef KX_APPEND_NUMBER

uint32_t StringBuffer::appendFormat(const char *format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n > 0) {
        ensureCapacity(length + static_cast<uint32_t>(n) + 1);
        std::vsnprintf(chars + length, static_cast<size_t>(n) + 1, format, args);
        length += static_cast<uint32_t>(n);
    }
    va_end(args);
    return length;
}

uint32_t StringBuffer::insert(uint32_t position, char c) { return insertRaw(position, &c, 1); }

uint32_t StringBuffer::insert(uint32_t position, const char *text) {
    if (!text) text = "(null)";
    return insertRaw(position, text, static_cast<uint32_t>(std::strlen(text)));
}

uint32_t StringBuffer::insert(uint32_t position, const char *text, uint32_t offset, uint32_t count) {
    if (!text) throw IllegalArgumentException;
    size_t total = std::strlen(text);
    if (offset > total) throw IndexOutOfBoundsException;
    size_t available = total - offset;
    return insertRaw(position, text + offset, static_cast<uint32_t>(count < available ? count : available));
}

uint32_t StringBuffer::insert(uint32_t position, bool value) {
    return insert(position, value ? "true" : "false");
}

void StringBuffer::deleteCharAt(uint32_t index) {
    checkCharPos(index);
    std::memmove(chars + index, chars + index + 1, length - index);
    length--;
}

void StringBuffer::deleteChars(uint32_t from, uint32_t to) {
    checkCharPos(from);
    checkCharPos(to);
    if (from >= to) throw IllegalArgumentException;
    std::memmove(chars + from, chars + to, length - to + 1);
    length -= to - from;
}
