#ifndef KX_BASE_STRINGBUFFER_H
#define KX_BASE_STRINGBUFFER_H

#include <cstdint>

// Growable, always zero-terminated 8-bit text. Numbers are appended in fixed C formats
// ("%u", "%d", "%f") so that reports look the same on every platform.
// Positions outside the documented ranges throw the plain text IndexOutOfBoundsException;
// an empty or reversed range given to createSubString/deleteChars throws IllegalArgumentException.
class StringBuffer {
public:
    StringBuffer();                       // capacity 64
    explicit StringBuffer(uint32_t capacity);
    explicit StringBuffer(const char *text);  // capacity strlen(text) + 1
    ~StringBuffer();
    StringBuffer(const StringBuffer &) = delete;
    StringBuffer &operator=(const StringBuffer &) = delete;

    uint32_t getLength() const { return length; }
    uint32_t getCapacity() const { return capacity; }
    // Owned by the buffer; valid until the next change.
    const char *getChars() const { return chars; }

    char getCharAt(uint32_t index) const;
    void setCharAt(uint32_t index, char c);
    void setChars(const char *text);
    void clear();

    // New zero-terminated copies that the caller frees with delete[].
    char *createCopy() const;
    char *createSubString(uint32_t from) const;
    char *createSubString(uint32_t from, uint32_t to) const;

    int indexOf(char c) const { return indexOf(c, 0); }
    int indexOf(char c, uint32_t from) const;
    int indexOf(const char *text) const { return indexOf(text, 0); }
    int indexOf(const char *text, uint32_t from) const;

    void ensureCapacity(uint32_t needed);
    void checkCharPos(uint32_t index) const;

    // Every append returns the new length.
    uint32_t append(char c);
    uint32_t append(const char *text);  // null appends "(null)"
    uint32_t append(const char *text, uint32_t offset, uint32_t count);
    uint32_t append(bool value);
    uint32_t append(unsigned char value);
    uint32_t append(unsigned short value);
    uint32_t append(unsigned int value);
    uint32_t append(unsigned long value);
    uint32_t append(short value);
    uint32_t append(int value);
    uint32_t append(long value);
    uint32_t append(float value);
    uint32_t append(double value);
    // printf-style text, for report lines with field widths ("%7.3f").
    uint32_t appendFormat(const char *format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // insert(position, value) puts the same text as append(value) at 0 <= position < length.
    uint32_t insert(uint32_t position, char c);
    uint32_t insert(uint32_t position, const char *text);
    uint32_t insert(uint32_t position, const char *text, uint32_t offset, uint32_t count);
    uint32_t insert(uint32_t position, bool value);
    uint32_t insert(uint32_t position, unsigned char value);
    uint32_t insert(uint32_t position, unsigned short value);
    uint32_t insert(uint32_t position, unsigned int value);
    uint32_t insert(uint32_t position, unsigned long value);
    uint32_t insert(uint32_t position, short value);
    uint32_t insert(uint32_t position, int value);
    uint32_t insert(uint32_t position, long value);
    uint32_t insert(uint32_t position, float value);
    uint32_t insert(uint32_t position, double value);

    void deleteCharAt(uint32_t index);
    void deleteChars(uint32_t from, uint32_t to);

private:
    void init(uint32_t initialCapacity);
    uint32_t appendRaw(const char *text, uint32_t count);
    uint32_t insertRaw(uint32_t position, const char *text, uint32_t count);

    uint32_t growthIncrement;
    uint32_t capacity;
    uint32_t length;
    char *chars;
};

#endif
