// POSIX implementation of the platform layer. Paths arrive in the suite's backslash form;
// each is turned into a native one here, and components that do not exist as written are
// looked up case-insensitively, so that the game's mixed-case names resolve on case-sensitive
// file systems.

#include "Platform.h"
#include "RegistryFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

std::string toSlashes(const char *path) {
    std::string native = path ? path : "";
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

bool pathExists(const std::string &path) {
    struct stat info;
    return ::stat(path.empty() ? "." : path.c_str(), &info) == 0;
}

// The name in `folder` that equals `name` ignoring ASCII case; the lowest in byte order when
// several do, so that the choice is stable.
bool findCaseInsensitive(const std::string &folder, const std::string &name, std::string &found) {
    DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return false;
    bool any = false;
    while (struct dirent *entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, name.c_str()) != 0) continue;
        if (!any || found.compare(entry->d_name) > 0) found = entry->d_name;
        any = true;
    }
    ::closedir(dir);
    return any;
}

// The native path of `path`: each component that does not exist as written is replaced by
// an existing one that differs only in case. The first component found in neither form
// and all after it stay as written (a file or folder about to be created).
std::string resolve(const char *path) {
    std::string native = toSlashes(path);
    if (native.empty() || pathExists(native)) return native;
    std::string resolved = native[0] == '/' ? "/" : "";
    size_t pos = resolved.size();
    while (pos <= native.size()) {
        size_t end = native.find('/', pos);
        if (end == std::string::npos) end = native.size();
        std::string component = native.substr(pos, end - pos);
        std::string candidate = resolved + component;
        if (!component.empty() && component != "." && component != ".." && !pathExists(candidate)) {
            std::string folder = resolved.empty() ? "." : resolved;
            std::string found;
            if (!findCaseInsensitive(folder, component, found)) return resolved + native.substr(pos);
            candidate = resolved + found;
        }
        resolved = candidate;
        if (end < native.size()) resolved += '/';
        pos = end + 1;
    }
    return resolved;
}

bool wildcardMatch(const char *name, const char *pattern) {
    const char *star = nullptr;
    const char *resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' ||
                   std::tolower(static_cast<unsigned char>(*pattern)) == std::tolower(static_cast<unsigned char>(*name))) {
            pattern++;
            name++;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') pattern++;
    return *pattern == 0;
}

bool makeEntry(const std::string &path, const std::string &name, DirEntry &entry) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return false;
    entry.name = name;
    bool folder = S_ISDIR(info.st_mode);
    entry.attributes = folder ? ATTR_DIRECTORY : ATTR_ARCHIVE;
    if (!(info.st_mode & S_IWUSR)) entry.attributes |= ATTR_READONLY;
    entry.size = folder ? 0 : static_cast<uint64_t>(info.st_size);
    return true;
}

bool lessByName(const DirEntry &a, const DirEntry &b) {
    int folded = ::strcasecmp(a.name.c_str(), b.name.c_str());
    return folded != 0 ? folded < 0 : a.name < b.name;
}

std::string readWholeFile(const std::string &path, bool &ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream bytes;
    if (ok) bytes << in.rdbuf();
    return bytes.str();
}

// The XDG_DOCUMENTS_DIR line of a user-dirs.dirs file: "$HOME/Documents" or an absolute path
// in double quotes, with backslash escapes. Empty when the file has no usable line.
std::string xdgDocumentsFolder(const std::string &fileBytes, const std::string &home) {
    std::istringstream lines(fileBytes);
    std::string line, found;
    while (std::getline(lines, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, 18, "XDG_DOCUMENTS_DIR=") != 0) continue;
        std::string raw = line.substr(start + 18);
        while (!raw.empty() && (raw.back() == '\r' || raw.back() == ' ' || raw.back() == '\t')) raw.pop_back();
        if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') continue;
        std::string value;
        for (size_t i = 1; i + 1 < raw.size(); i++) {
            if (raw[i] == '\\' && i + 2 < raw.size()) i++;
            value += raw[i];
        }
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/'))
            value = home + value.substr(5);
        if (!value.empty() && value[0] == '/') found = value;  // the last valid line wins, as in a shell
    }
    return found;
}

}  // namespace

std::vector<DirEntry> listDirectory(const char *pattern) {
    std::vector<DirEntry> entries;
    std::string native = toSlashes(pattern);
    size_t slash = native.rfind('/');
    std::string folderPart = slash == std::string::npos ? "" : native.substr(0, slash + 1);
    std::string last = slash == std::string::npos ? native : native.substr(slash + 1);
    if (last.empty()) return entries;  // as on Windows: a trailing separator names nothing

    if (last.find_first_of("*?") == std::string::npos) {
        std::string resolved = resolve(native.c_str());
        size_t cut = resolved.rfind('/');
        DirEntry entry;
        if (makeEntry(resolved, cut == std::string::npos ? resolved : resolved.substr(cut + 1), entry))
            entries.push_back(entry);
        return entries;
    }

    std::string folder = folderPart.empty() ? "" : resolve(folderPart.c_str());
    DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return entries;
    while (struct dirent *item = ::readdir(dir)) {
        if (!wildcardMatch(item->d_name, last.c_str())) continue;
        DirEntry entry;
        if (makeEntry(folder + item->d_name, item->d_name, entry)) entries.push_back(entry);
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), lessByName);
    return entries;
}

FILE *openFile(const char *path, const char *mode) { return std::fopen(resolve(path).c_str(), mode); }

bool makeDirectory(const char *path) { return ::mkdir(resolve(path).c_str(), 0777) == 0; }

bool changeDirectory(const char *path) { return ::chdir(resolve(path).c_str()) == 0; }

bool getCurrentDirectory(char *buffer, size_t size) { return ::getcwd(buffer, size) != nullptr; }

bool getModificationTime(const char *path, int64_t *seconds) {
    struct stat info;
    if (::stat(resolve(path).c_str(), &info) != 0) return false;
    *seconds = static_cast<int64_t>(info.st_mtime);
    return true;
}

bool renameFile(const char *from, const char *to) {
    return std::rename(resolve(from).c_str(), resolve(to).c_str()) == 0;
}

bool removeFile(const char *path) { return std::remove(resolve(path).c_str()) == 0; }

bool removeEmptyDirectory(const char *path) { return ::rmdir(resolve(path).c_str()) == 0; }

bool isDirectory(const char *path) {
    struct stat info;
    return ::stat(resolve(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void sleepMilliseconds(unsigned int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

unsigned long processId() { return static_cast<unsigned long>(::getpid()); }

bool userDocumentsFolder(char *buffer, size_t size) {
    const char *homeVariable = std::getenv("HOME");
    if (!homeVariable || !*homeVariable) return false;
    std::string home = homeVariable;
    const char *configVariable = std::getenv("XDG_CONFIG_HOME");
    std::string config = configVariable && *configVariable ? configVariable : home + "/.config";
    bool ok;
    std::string bytes = readWholeFile(config + "/user-dirs.dirs", ok);
    std::string folder = ok ? xdgDocumentsFolder(bytes, home) : std::string();
    if (folder.empty()) folder = home + "/Documents";
    if (folder.size() + 1 > size) return false;
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return true;
}

bool readRegistryString(RegistryHive hive, const char *key, const char *valueName, char *buffer, size_t size) {
    std::string value;
    const char *named = std::getenv("REELMARA_REGISTRY");
    if (named && *named) {
        bool ok;
        std::string bytes = readWholeFile(named, ok);
        if (!ok || !findRegistryValue(bytes, hive, key, valueName, value)) return false;
    } else {
        std::string prefix;
        const char *winePrefix = std::getenv("WINEPREFIX");
        const char *home = std::getenv("HOME");
        if (winePrefix && *winePrefix)
            prefix = winePrefix;
        else if (home && *home)
            prefix = std::string(home) + "/.wine";
        else
            return false;
        bool ok;
        std::string bytes = readWholeFile(prefix + (hive == HIVE_LOCAL_MACHINE ? "/system.reg" : "/user.reg"), ok);
        if (!ok || !findRegistryValue(bytes, hive, key, valueName, value)) return false;
        value = mapWineDrivePath(prefix, value);
    }
    if (value.size() + 1 > size) return false;
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return true;
}

}  // namespace platform
