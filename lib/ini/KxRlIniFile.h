#ifndef KX_INI_KXRLINIFILE_H
#define KX_INI_KXRLINIFILE_H

// INI files in memory: an ordered list of groups (sections), each an ordered list of
// properties (key = value lines). Names are stored in lower case; names and values hold at
// most 31 characters and longer texts are cut. Neither groups nor properties need unique
// names: every section header makes a new group, every line a new property, and lookups
// return the first match. Group 0 always exists, has the empty name and collects the lines
// before the first section header. There is no comment syntax and no writer: the tools write
// INI text themselves.

#include <cstddef>
#include <memory>
#include <vector>

// Stored names and values: 31 characters and the terminator.
constexpr size_t KXRL_INI_TEXT_SIZE = 32;

class KxRlIniProperty {
public:
    // `name` is cut to 31 characters and lowered; `value` is cut to 31 characters.
    KxRlIniProperty(const char *name, const char *value);

    const char *getName() const { return name; }
    const char *getValue() const { return value; }

    void setValue(const char *text);  // cut to 31 characters; null stores ""
    void setValue(int number);        // "%d"
    void setValue(float number);      // "%f", six decimals (cut to 31 characters)

    // True when the value, lowered, is "true", "on", "yes" or "y".
    bool getBoolValue() const;
    // The value as a whole number with automatic base (7, 0x1F, 017), anything after the
    // number ignored and the result held to the int range; `fallback` when the value does not
    // begin with a number.
    int getIntValue(int fallback) const;
    // The value as a float, anything after the number ignored; `fallback` when it does not
    // begin with a number, or when the number is not finite ("nan", "inf", 1e99), so that no
    // NaN or infinity ever reaches the geometry from a file.
    float getFloatValue(float fallback) const;

private:
    char name[KXRL_INI_TEXT_SIZE];
    char value[KXRL_INI_TEXT_SIZE];
};

class KxRlIniGroup {
public:
    explicit KxRlIniGroup(const char *name);  // cut to 31 characters, lowered
    ~KxRlIniGroup();
    KxRlIniGroup(const KxRlIniGroup &) = delete;
    KxRlIniGroup &operator=(const KxRlIniGroup &) = delete;

    const char *getName() const { return name; }
    int getPropertyCount() const { return static_cast<int>(properties.size()); }
    // Positions out of range throw IndexOutOfBoundsException.
    KxRlIniProperty *getProperty(int index) const;
    const char *getPropertyName(int index) const;
    const char *getPropertyValue(int index) const;

    // Position of the first property whose stored name equals `name` byte for byte, or -1.
    // Names are stored lowered, so callers ask in lower case.
    int getPropertyIndex(const char *name) const;
    // The first property of that name; when there is none, a new one with the empty value is
    // appended and returned if `create` is set, else null.
    KxRlIniProperty *findProperty(const char *name, bool create);
    // The value text of the first property of that name, or null.
    const char *getValue(const char *name) const;
    // `fallback` when the property is missing, else its typed value.
    bool getBoolValue(const char *name, bool fallback) const;
    int getIntValue(const char *name, int fallback) const;
    float getFloatValue(const char *name, float fallback) const;

    // Set the first property of that name, adding it when missing.
    void setValue(const char *name, const char *text);
    void setValue(const char *name, int number);
    void setValue(const char *name, float number);
    // Always append a new property.
    KxRlIniProperty *addProperty(const char *name, const char *text);
    KxRlIniProperty *addProperty(const char *name, int number);
    KxRlIniProperty *addProperty(const char *name, float number);

    void removeProperty(int index);
    bool removeProperty(const char *name);  // the first match; false when there is none

private:
    char name[KXRL_INI_TEXT_SIZE];
    std::vector<std::unique_ptr<KxRlIniProperty>> properties;
};

class KxRlIniFile {
public:
    // Files longer than this are refused (before anything is read when the file has a size;
    // a pipe or a growing file when it passes the limit): the game's INI files are a few
    // kilobytes, and every line of a file becomes an object in memory. Reading takes time in
    // proportion to the file's length.
    static constexpr long kMaxFileSize = 4L * 1024 * 1024;
    // A line longer than this is refused (names and values keep 31 characters anyway).
    static constexpr unsigned kMaxLineLength = 64 * 1024;

    // A file holding only group 0.
    KxRlIniFile();
    // Group 0, then the groups and properties of the file at `path`. Throws
    // IOException("File could not be opened") when it cannot be opened, and an IOException
    // naming the file when it is longer than kMaxFileSize, holds a line longer than
    // kMaxLineLength, or cannot be read or closed. Malformed lines never fail.
    explicit KxRlIniFile(const char *path);
    ~KxRlIniFile();
    KxRlIniFile(const KxRlIniFile &) = delete;
    KxRlIniFile &operator=(const KxRlIniFile &) = delete;

    int getGroupCount() const { return static_cast<int>(groups.size()); }
    // Positions out of range throw IndexOutOfBoundsException.
    KxRlIniGroup *getGroup(int index) const;
    // Position of the first group whose stored name equals `name` byte for byte, or -1
    // (callers ask in lower case).
    int getGroupIndex(const char *name) const;
    KxRlIniGroup *addGroup(const char *name);
    void removeGroup(int index);
    bool removeGroup(const char *name);  // the first match; false when there is none

private:
    void read(const char *path);
    void readLine(char *line, KxRlIniGroup *&current);

    std::vector<std::unique_ptr<KxRlIniGroup>> groups;
};

#endif
