#include "KxRlUtil.h"

#include "StringBuffer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

void kxrlStrUpper(char *text) {
    if (!text) return;
    for (; *text; text++)
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}

void kxrlStrLower(char *text) {
    if (!text) return;
    for (; *text; text++)
        if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
}

int kxrlStrLTrim(char *text) {
    if (!text) return 0;
    size_t n = 0;
    while (isBlank(text[n])) n++;
    if (n) std::memmove(text, text + n, std::strlen(text + n) + 1);
    return static_cast<int>(n);
}

int kxrlStrRTrim(char *text) {
    if (!text) return 0;
    size_t length = std::strlen(text);
    size_t n = 0;
    while (length > 0 && isBlank(text[length - 1])) {
        text[--length] = 0;
        n++;
    }
    return static_cast<int>(n);
}

int kxrlStrTrim(char *text) { return kxrlStrLTrim(text) + kxrlStrRTrim(text); }

bool kxrlStrPattern(const char *text, const char *pattern) { return platform::matchesPattern(text, pattern, false); }

char *kxrlStrDup(const char *text) {
    size_t length = text ? std::strlen(text) : 0;
    char *copy = new char[length + 1];
    if (length) std::memcpy(copy, text, length);
    copy[length] = 0;
    return copy;
}

void kxrlStrCopy(char *target, const char *source, size_t size) {
    if (!target || size == 0) return;
    size_t n = source ? std::strlen(source) : 0;
    if (n > size - 1) n = size - 1;
    if (n) std::memcpy(target, source, n);
    target[n] = 0;
}

bool kxrlHasParentPart(const char *path) {
    if (!path) return false;
    const char *part = path;
    for (const char *p = path;; p++) {
        if (*p == 0 || kxrlIsSeparator(*p)) {
            if (p - part == 2 && part[0] == '.' && part[1] == '.') return true;
            if (*p == 0) return false;
            part = p + 1;
        }
    }
}

bool kxrlAttachDirName(char *target, const char *name, bool addSeparator, size_t size) {
    if (!name) return true;
    size_t length = std::strlen(target);
    size_t nameLength = std::strlen(name);
    bool separator = addSeparator && nameLength > 0 && name[nameLength - 1] != '\\';
    if (length + nameLength + (separator ? 1 : 0) >= size) return false;
    std::memcpy(target + length, name, nameLength);
    length += nameLength;
    if (separator) target[length++] = '\\';
    target[length] = 0;
    return true;
}

bool kxrlMakeDirName(char *target, const char *folder, const char *name, bool addSeparator, size_t size) {
    target[0] = 0;
    if (folder && *folder) {
        if (!kxrlAttachDirName(target, folder, true, size)) {
            target[0] = 0;
            return false;
        }
    }
    if (!kxrlAttachDirName(target, name, addSeparator, size)) {
        target[0] = 0;
        return false;
    }
    return true;
}

bool kxrlFileExists(const char *path) {
    if (!path || !*path) return false;
    return !platform::listDirectory(path).empty();
}

bool kxrlGetRegValue(char *buffer, platform::RegistryHive hive, const char *key, const char *valueName) {
    return platform::readRegistryString(hive, key, valueName, buffer, KXRL_PATH_SIZE);
}

const char *const kxrlGameKey = "Software\\Brassnook Studios Ltd\\Reelmara";
const char *const kxrlGameValue = "GameDir";

namespace {
char gamePath[KXRL_PATH_SIZE];
bool gamePathRead = false;
bool gamePathFound = false;
}  // namespace

const char *kxrlGetGamePath() {
    if (!gamePathRead) {
        gamePathRead = true;
        gamePathFound = kxrlGetRegValue(gamePath, platform::HIVE_CURRENT_USER, kxrlGameKey, kxrlGameValue);
    }
    return gamePathFound ? gamePath : nullptr;
}

void kxrlForgetGamePath() {
    gamePathRead = false;
    gamePathFound = false;
}

bool kxrlReadLine(StringBuffer *line, FILE *file) {
    line->clear();
    int c;
    do {
        c = std::fgetc(file);
    } while (c == '\n' || c == '\r');
    if (c == EOF) return false;
    while (c != EOF && c != '\n' && c != '\r') {
        line->append(static_cast<char>(c));
        c = std::fgetc(file);
    }
    return true;
}

int kxrlMakeFolders(const char *path, std::string *failedLevel) {
    const std::string folder = path ? path : "";
    int failure = 0;
    std::string failed;
    bool parentThere = true;  // the level above the current one ("" above a relative path)
    for (size_t end = 1; end <= folder.size(); end++) {
        if (end < folder.size() && !(kxrlIsSeparator(folder[end]) && !kxrlIsSeparator(folder[end - 1]))) continue;
        std::string level = folder.substr(0, end);
        int error = 0;
        bool there = platform::isDirectory(level.c_str()) || platform::makeDirectory(level.c_str(), &error) ||
                     platform::isDirectory(level.c_str());  // made meanwhile by another run
        // The deepest level that cannot be made below one that is there gives the reason: the
        // levels under it fail only for want of it, and one above it (a network root such as
        // \\server, which is never made) did not matter.
        if (!there && parentThere) {
            failure = error ? error : ENOENT;
            failed = level;
        }
        parentThere = there;
    }
    if (folder.empty() || platform::isDirectory(folder.c_str())) return 0;
    if (failure == 0) {
        failure = ENOENT;
        failed = folder;
    }
    if (failedLevel) *failedLevel = failed;
    return failure;
}

int kxrlRand15() { return std::rand() & 0x7FFF; }

std::string kxrlTemporaryPath(const char *path) {
    return std::string(path ? path : "") + "." + std::to_string(platform::processId()) + ".part";
}
