#include "KxRlIniFile.h"

#include "IOException.h"
#include "KxRlUtil.h"
#include "Platform.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Positions out of range throw, as in the other lists of the library.
template <typename List>
void checkPosition(const List &list, int index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) throw IndexOutOfBoundsException;
}

void storeName(char *target, const char *text) {
    kxrlStrCopy(target, text, KXRL_INI_TEXT_SIZE);
    kxrlStrLower(target);
}

// Closes the file when the reader leaves, also through an exception.
class FileCloser {
public:
    explicit FileCloser(FILE *file) : file(file) {}
    ~FileCloser() {
        if (file) std::fclose(file);
    }
    FileCloser(const FileCloser &) = delete;
    FileCloser &operator=(const FileCloser &) = delete;
    // Closes now; false when closing failed.
    bool close() {
        FILE *f = file;
        file = nullptr;
        return std::fclose(f) == 0;
    }

private:
    FILE *file;
};

}  // namespace

// --- properties ------------------------------------------------------------------------------

KxRlIniProperty::KxRlIniProperty(const char *name, const char *value) {
    storeName(this->name, name);
    setValue(value);
}

void KxRlIniProperty::setValue(const char *text) { kxrlStrCopy(value, text, KXRL_INI_TEXT_SIZE); }

void KxRlIniProperty::setValue(int number) {
    char text[32];
    std::snprintf(text, sizeof text, "%d", number);
    setValue(text);
}

void KxRlIniProperty::setValue(float number) {
    char text[64];  // "%f" of a large float has up to 46 characters; the stored text is cut to 31
    std::snprintf(text, sizeof text, "%f", static_cast<double>(number));
    setValue(text);
}

bool KxRlIniProperty::getBoolValue() const {
    char lowered[KXRL_INI_TEXT_SIZE];
    storeName(lowered, value);
    return std::strcmp(lowered, "true") == 0 || std::strcmp(lowered, "on") == 0 || std::strcmp(lowered, "yes") == 0 ||
           std::strcmp(lowered, "y") == 0;
}

int KxRlIniProperty::getIntValue(int fallback) const {
    char *end = nullptr;
    long number = std::strtol(value, &end, 0);
    if (end == value) return fallback;
    if (number > INT_MAX) return INT_MAX;
    if (number < INT_MIN) return INT_MIN;
    return static_cast<int>(number);
}

float KxRlIniProperty::getFloatValue(float fallback) const {
    char *end = nullptr;
    float number = std::strtof(value, &end);
    if (end == value || !std::isfinite(number)) return fallback;
    return number;
}

// --- groups ----------------------------------------------------------------------------------

KxRlIniGroup::KxRlIniGroup(const char *name) { storeName(this->name, name); }

KxRlIniGroup::~KxRlIniGroup() = default;

KxRlIniProperty *KxRlIniGroup::getProperty(int index) const {
    checkPosition(properties, index);
    return properties[static_cast<size_t>(index)].get();
}

const char *KxRlIniGroup::getPropertyName(int index) const { return getProperty(index)->getName(); }

const char *KxRlIniGroup::getPropertyValue(int index) const { return getProperty(index)->getValue(); }

int KxRlIniGroup::getPropertyIndex(const char *name) const {
    if (!name) return -1;
    for (int i = 0; i < getPropertyCount(); i++)
        if (std::strcmp(getProperty(i)->getName(), name) == 0) return i;
    return -1;
}

KxRlIniProperty *KxRlIniGroup::findProperty(const char *name, bool create) {
    int index = getPropertyIndex(name);
    if (index >= 0) return getProperty(index);
    return create ? addProperty(name, "") : nullptr;
}

const char *KxRlIniGroup::getValue(const char *name) const {
    int index = getPropertyIndex(name);
    return index >= 0 ? getProperty(index)->getValue() : nullptr;
}

bool KxRlIniGroup::getBoolValue(const char *name, bool fallback) const {
    int index = getPropertyIndex(name);
    return index >= 0 ? getProperty(index)->getBoolValue() : fallback;
}

int KxRlIniGroup::getIntValue(const char *name, int fallback) const {
    int index = getPropertyIndex(name);
    return index >= 0 ? getProperty(index)->getIntValue(fallback) : fallback;
}

float KxRlIniGroup::getFloatValue(const char *name, float fallback) const {
    int index = getPropertyIndex(name);
    return index >= 0 ? getProperty(index)->getFloatValue(fallback) : fallback;
}

void KxRlIniGroup::setValue(const char *name, const char *text) { findProperty(name, true)->setValue(text); }
void KxRlIniGroup::setValue(const char *name, int number) { findProperty(name, true)->setValue(number); }
void KxRlIniGroup::setValue(const char *name, float number) { findProperty(name, true)->setValue(number); }

KxRlIniProperty *KxRlIniGroup::addProperty(const char *name, const char *text) {
    properties.push_back(std::make_unique<KxRlIniProperty>(name, text));
    return properties.back().get();
}

KxRlIniProperty *KxRlIniGroup::addProperty(const char *name, int number) {
    KxRlIniProperty *property = addProperty(name, "");
    property->setValue(number);
    return property;
}

KxRlIniProperty *KxRlIniGroup::addProperty(const char *name, float number) {
    KxRlIniProperty *property = addProperty(name, "");
    property->setValue(number);
    return property;
}

void KxRlIniGroup::removeProperty(int index) {
    checkPosition(properties, index);
    properties.erase(properties.begin() + index);
}

bool KxRlIniGroup::removeProperty(const char *name) {
    int index = getPropertyIndex(name);
    if (index < 0) return false;
    removeProperty(index);
    return true;
}

// --- files -----------------------------------------------------------------------------------

KxRlIniFile::KxRlIniFile() { addGroup(""); }

KxRlIniFile::KxRlIniFile(const char *path) {
    addGroup("");
    read(path);
}

KxRlIniFile::~KxRlIniFile() = default;

KxRlIniGroup *KxRlIniFile::getGroup(int index) const {
    checkPosition(groups, index);
    return groups[static_cast<size_t>(index)].get();
}

int KxRlIniFile::getGroupIndex(const char *name) const {
    if (!name) return -1;
    for (int i = 0; i < getGroupCount(); i++)
        if (std::strcmp(getGroup(i)->getName(), name) == 0) return i;
    return -1;
}

KxRlIniGroup *KxRlIniFile::addGroup(const char *name) {
    groups.push_back(std::make_unique<KxRlIniGroup>(name));
    return groups.back().get();
}

void KxRlIniFile::removeGroup(int index) {
    checkPosition(groups, index);
    groups.erase(groups.begin() + index);
}

bool KxRlIniFile::removeGroup(const char *name) {
    int index = getGroupIndex(name);
    if (index < 0) return false;
    removeGroup(index);
    return true;
}

// Lines end at a carriage return or a line feed, and empty lines are skipped. The file is read
// as bytes on every platform, so that a stray end-of-file byte in the text ends nothing early
// on Windows.
void KxRlIniFile::read(const char *path) {
    FILE *file = platform::openFile(path, "rb");
    if (!file) throw IOException("File could not be opened");
    FileCloser closer(file);
    const std::string shown = platform::nativePath(path);
    auto tooLarge = [&shown](const std::string &size) {
        return IOException("INI file is too large: " + shown + " (" + size + " bytes, at most " +
                           std::to_string(kMaxFileSize) + ")");
    };
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        if (size > kMaxFileSize) throw tooLarge(std::to_string(size));
        std::rewind(file);
    }

    KxRlIniGroup *current = getGroup(0);
    std::vector<char> line;
    line.reserve(256);
    long lineNumber = 1;
    int c;
    // Counted as well: a pipe or a device has no size to ask, and a file may grow while it is read.
    long count = 0;
    while ((c = std::fgetc(file)) != EOF) {
        if (++count > kMaxFileSize) throw tooLarge("more than " + std::to_string(kMaxFileSize));
        if (c == '\n' || c == '\r') {
            if (c == '\n') lineNumber++;
            if (line.empty()) continue;
            line.push_back(0);
            readLine(line.data(), current);
            line.clear();
            continue;
        }
        if (line.size() >= kMaxLineLength)
            throw IOException("INI file has a line longer than " + std::to_string(kMaxLineLength) +
                              " characters: " + shown + ", line " + std::to_string(lineNumber));
        line.push_back(static_cast<char>(c));
    }
    if (std::ferror(file)) throw IOException("INI file could not be read: " + shown);
    if (!line.empty()) {
        line.push_back(0);
        readLine(line.data(), current);
    }
    if (!closer.close()) throw IOException("File could not be closed");
}

void KxRlIniFile::readLine(char *line, KxRlIniGroup *&current) {
    kxrlStrTrim(line);
    size_t length = std::strlen(line);  // a NUL byte in the file ends the line's text there
    if (length == 0) return;
    if (line[0] == '[' && line[length - 1] == ']') {
        char *close = std::strchr(line + 1, ']');
        *close = 0;
        current = addGroup(line + 1);
        return;
    }
    char *name = line;
    while (*name == '=') name++;
    if (*name == 0) return;  // only '=' characters
    char *equals = std::strchr(name, '=');
    char *value = nullptr;  // no '=' after the name: the empty value
    if (equals) {
        *equals = 0;
        value = equals + 1;
        kxrlStrTrim(value);
    }
    kxrlStrTrim(name);
    current->addProperty(name, value ? value : "");
}
