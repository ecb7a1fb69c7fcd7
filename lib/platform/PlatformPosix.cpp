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
#include <fcntl.h>
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

bool lessByName(const DirEntry &a, const DirEntry &b) { return directoryOrderLess(a.name, b.name); }

// $WINEPREFIX, else ~/.wine; "" when neither can be named.
std::string winePrefix() {
    const char *named = std::getenv("WINEPREFIX");
    if (named && *named) return named;
    const char *home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.wine";
    return "";
}

std::string readWholeFile(const std::string &path, bool &ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream bytes;
    if (ok) bytes << in.rdbuf();
    return bytes.str();
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
        if (!matchesPattern(item->d_name, last.c_str(), true)) continue;
        DirEntry entry;
        if (makeEntry(folder + item->d_name, item->d_name, entry)) entries.push_back(entry);
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), lessByName);
    return entries;
}

FILE *openFile(const char *path, const char *mode) { return std::fopen(resolve(path).c_str(), mode); }

std::string libraryPath(const char *path) { return resolve(path); }

static_assert(sizeof(off_t) >= 8, "archives of 2 GiB and more need 64-bit file positions");

int seekFile(FILE *stream, int64_t offset, int origin) { return ::fseeko(stream, static_cast<off_t>(offset), origin); }

int64_t tellFile(FILE *stream) { return static_cast<int64_t>(::ftello(stream)); }

bool makeDirectory(const char *path) { return ::mkdir(resolve(path).c_str(), 0777) == 0; }

bool changeDirectory(const char *path) { return ::chdir(resolve(path).c_str()) == 0; }

bool getCurrentDirectory(char *buffer, size_t size) { return ::getcwd(buffer, size) != nullptr; }

bool getModificationTime(const char *path, int64_t *seconds) {
    struct stat info;
    if (::stat(resolve(path).c_str(), &info) != 0) return false;
    *seconds = static_cast<int64_t>(info.st_mtime);
    return true;
}

bool setModificationTime(const char *path, int64_t seconds) {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // the access time stays
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = 0;
    return ::utimensat(AT_FDCWD, resolve(path).c_str(), times, 0) == 0;
}

// The owner's write permission, not access(): run as root, access() allows every write.
bool isReadOnlyFile(const char *path) {
    struct stat info;
    return ::stat(resolve(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && !(info.st_mode & S_IWUSR);
}

bool makeWritable(const char *path) {
    std::string native = resolve(path);
    struct stat info;
    if (::stat(native.c_str(), &info) != 0) return false;
    return (info.st_mode & S_IWUSR) || ::chmod(native.c_str(), (info.st_mode & 07777) | S_IWUSR) == 0;
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

bool readRegistryString(RegistryHive hive, const char *key, const char *valueName, char *buffer, size_t size) {
    std::string value;
    std::string prefix = winePrefix();
    const char *named = std::getenv("REELMARA_REGISTRY");
    if (named && *named) {
        bool ok;
        std::string bytes = readWholeFile(named, ok);
        if (!ok || !findRegistryValue(bytes, hive, key, valueName, value)) return false;
        // A regedit export holds the Windows paths of the prefix it came from.
        if (!prefix.empty() && isForeignPath(value.c_str())) {
            std::string mapped = mapWineDrivePath(prefix, value.substr(0, 2));
            if (isDirectory(mapped.c_str())) value = mapWineDrivePath(prefix, value);
        }
    } else {
        if (prefix.empty()) return false;
        bool ok;
        std::string bytes = readWholeFile(prefix + (hive == HIVE_LOCAL_MACHINE ? "/system.reg" : "/user.reg"), ok);
        if (!ok || !findRegistryValue(bytes, hive, key, valueName, value)) return false;
        value = mapWineDrivePath(prefix, value);
    }
    if (value.size() + 1 > size) return false;
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return true;
}

std::string describeRegistrySource(RegistryHive hive, std::string *problem) {
    if (problem) problem->clear();
    std::string path, description;
    const char *named = std::getenv("REELMARA_REGISTRY");
    const char *winePrefix = std::getenv("WINEPREFIX");
    const char *home = std::getenv("HOME");
    const char *file = hive == HIVE_LOCAL_MACHINE ? "/system.reg" : "/user.reg";
    if (named && *named) {
        path = named;
        description = "registry file " + path + " (REELMARA_REGISTRY)";
    } else if ((winePrefix && *winePrefix) || (home && *home)) {
        path = (winePrefix && *winePrefix) ? std::string(winePrefix) + file : std::string(home) + "/.wine" + file;
        description = "Wine registry " + path;
    } else {
        if (problem) *problem = "neither REELMARA_REGISTRY, WINEPREFIX nor HOME is set";
        return "no registry";
    }
    if (FILE *probe = std::fopen(path.c_str(), "rb"))
        std::fclose(probe);
    else if (problem)
        *problem = std::strerror(errno);
    return description;
}

std::string nativePath(const char *path) { return toSlashes(path); }

bool isForeignPath(const char *path) { return path && isWindowsDrivePath(path); }

}  // namespace platform
