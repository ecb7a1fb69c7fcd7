// POSIX implementation of the platform layer. Paths arrive in the suite's backslash form;
// each is turned into a native one here, and components that do not exist as written are
// looked up case-insensitively, so that the game's mixed-case names resolve on case-sensitive
// file systems. What a look-up learns of a folder's entries is kept for the whole process,
// so that writing many files into one folder does not list it again for each file.

#include "Platform.h"
#include "RegistryFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <set>
#include <signal.h>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <unordered_map>

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

std::string foldCase(const std::string &name) {
    std::string folded = name;
    for (char &c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

// What identifies a folder and its state: a folder's modification time changes whenever an
// entry is added, removed or renamed in it. File systems keep that time in steps (a few
// milliseconds, two seconds on some), so two changes within one step leave the same time.
struct FolderStamp {
    dev_t device;
    ino_t inode;
    time_t seconds;
    long nanoseconds;

    bool operator==(const FolderStamp &other) const {
        return device == other.device && inode == other.inode && seconds == other.seconds &&
               nanoseconds == other.nanoseconds;
    }
};

bool readFolderStamp(const std::string &folder, FolderStamp &stamp) {
    struct stat info;
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    stamp = {info.st_dev, info.st_ino, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    return true;
}

// A folder changed this many seconds ago or less may change again without a new time.
constexpr double kUnsettledSeconds = 2.0;

// True when the folder's time lies far enough in the past that any later change gives it a
// new time.
bool isSettled(const FolderStamp &stamp) {
    struct timespec now;
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
    double age = static_cast<double>(now.tv_sec - stamp.seconds) + (now.tv_nsec - stamp.nanoseconds) / 1e9;
    return age > kUnsettledSeconds;
}

// The entries of one folder by their case-folded names, each with every name on disk that
// folds to it, in byte order.
struct FolderEntries {
    FolderStamp stamp;
    // A name that is not among the entries is known not to exist: the folder was settled when
    // it was listed, or this layer made its latest change.
    bool completeWhileUnchanged;
    std::unordered_map<std::string, std::set<std::string>> byFoldedName;
};

// The folder-entry cache of the process, keyed by the folder's native path as the look-ups
// spell it. An entry holds while the folder's time is the one it was listed (or last changed
// by this layer) under; any other change to the folder makes the next look-up list it again.
// A folder listed within moments of its last change is listed again when a name is missing
// from it, since a change in the same moment would not show. The layer's own creations,
// renames and removals update the entry in place and make it complete: a change by someone
// else in the same moment as one of the layer's own goes unseen until the folder changes
// again.
class FolderCache {
public:
    // The name in `folder` that equals `name` ignoring ASCII case; the lowest in byte order
    // when several do, so that the choice is stable.
    bool find(const std::string &folder, const std::string &name, std::string &found) {
        std::lock_guard<std::mutex> lock(mutex);
        bool listed = false;
        FolderEntries *entries = current(folder, listed);
        if (!entries) return false;
        const std::string folded = foldCase(name);
        auto match = entries->byFoldedName.find(folded);
        if ((match == entries->byFoldedName.end() || match->second.empty()) && !listed &&
            !entries->completeWhileUnchanged) {
            entries = list(folder, entries->stamp);
            if (!entries) return false;
            match = entries->byFoldedName.find(folded);
        }
        if (match == entries->byFoldedName.end() || match->second.empty()) return false;
        found = *match->second.begin();
        return true;
    }

    // Runs `change`, an operation of this layer that creates the native path `created` and
    // removes `removed` (either may be empty), and keeps the entries of their folders: a
    // folder's entry is updated in place when it was current before the change, and dropped
    // otherwise. Returns what `change` returns.
    template <typename Change>
    bool apply(const std::string &created, const std::string &removed, Change change) {
        std::lock_guard<std::mutex> lock(mutex);
        EntryChange changes[2] = {prepare(created, true), prepare(removed, false)};
        bool done = change();
        for (EntryChange &c : changes) finish(c, done);
        return done;
    }

    // Keys are relative to the current folder: a change of folder drops them all.
    void clear() {
        std::lock_guard<std::mutex> lock(mutex);
        folders.clear();
    }

private:
    // The entries of `folder`, listed again (`listed`) when the folder changed since they
    // were known.
    FolderEntries *current(const std::string &folder, bool &listed) {
        FolderStamp stamp;
        if (!readFolderStamp(folder, stamp)) {
            folders.erase(folder);
            return nullptr;
        }
        auto known = folders.find(folder);
        if (known != folders.end() && known->second.stamp == stamp) return &known->second;
        listed = true;
        return list(folder, stamp);
    }

    // Lists `folder`, whose time was `stamp` before the listing: a change made meanwhile
    // gives it another time, so the next look-up lists it again.
    FolderEntries *list(const std::string &folder, const FolderStamp &stamp) {
        FolderEntries entries;
        entries.stamp = stamp;
        entries.completeWhileUnchanged = isSettled(stamp);
        DIR *dir = ::opendir(folder.c_str());
        if (!dir) {
            folders.erase(folder);
            return nullptr;
        }
        while (struct dirent *entry = ::readdir(dir))
            entries.byFoldedName[foldCase(entry->d_name)].insert(entry->d_name);
        ::closedir(dir);
        FolderEntries &stored = folders[folder];
        stored = std::move(entries);
        return &stored;
    }

    struct EntryChange {
        std::string folder;
        std::string name;
        bool exists;
        bool wasCurrent;
    };

    EntryChange prepare(const std::string &path, bool exists) {
        EntryChange change{"", "", exists, false};
        if (path.empty()) return change;
        std::string trimmed = path;
        while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
        size_t slash = trimmed.rfind('/');
        change.folder = slash == std::string::npos ? "." : trimmed.substr(0, slash + 1);
        change.name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
        auto known = folders.find(change.folder);
        FolderStamp stamp;
        change.wasCurrent =
            known != folders.end() && readFolderStamp(change.folder, stamp) && stamp == known->second.stamp;
        return change;
    }

    void finish(const EntryChange &change, bool done) {
        if (change.name.empty() || change.name == "." || change.name == "..") return;
        auto known = folders.find(change.folder);
        if (known == folders.end()) return;
        if (!change.wasCurrent) {
            folders.erase(known);
            return;
        }
        if (!done) return;
        std::set<std::string> &names = known->second.byFoldedName[foldCase(change.name)];
        if (change.exists) {
            names.insert(change.name);
        } else {
            names.erase(change.name);
        }
        // The folder's new time is this change's.
        known->second.completeWhileUnchanged = true;
        if (!readFolderStamp(change.folder, known->second.stamp)) folders.erase(known);
    }

    std::mutex mutex;
    std::unordered_map<std::string, FolderEntries> folders;
};

FolderCache &folderCache() {
    static FolderCache cache;
    return cache;
}

bool findCaseInsensitive(const std::string &folder, const std::string &name, std::string &found) {
    return folderCache().find(folder.empty() ? "." : folder, name, found);
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
        if (!matchesPattern(item->d_name, last.c_str(), true)) continue;
        DirEntry entry;
        if (makeEntry(folder + item->d_name, item->d_name, entry)) entries.push_back(entry);
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), lessByName);
    return entries;
}

FILE *openFile(const char *path, const char *mode) {
    std::string native = resolve(path);
    if (!mode || (!std::strchr(mode, 'w') && !std::strchr(mode, 'a'))) return std::fopen(native.c_str(), mode);
    FILE *stream = nullptr;
    folderCache().apply(native, "", [&] { return (stream = std::fopen(native.c_str(), mode)) != nullptr; });
    return stream;
}

std::string libraryPath(const char *path) { return resolve(path); }

static_assert(sizeof(off_t) >= 8, "archives of 2 GiB and more need 64-bit file positions");

int seekFile(FILE *stream, int64_t offset, int origin) { return ::fseeko(stream, static_cast<off_t>(offset), origin); }

int64_t tellFile(FILE *stream) { return static_cast<int64_t>(::ftello(stream)); }

bool makeDirectory(const char *path, int *error) {
    std::string native = resolve(path);
    int reason = 0;
    bool made = folderCache().apply(native, "", [&] {
        bool done = ::mkdir(native.c_str(), 0777) == 0;
        reason = done ? 0 : errno;
        return done;
    });
    if (error) *error = reason;
    return made;
}

bool changeDirectory(const char *path) {
    if (::chdir(resolve(path).c_str()) != 0) return false;
    folderCache().clear();
    return true;
}

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
    std::string source = resolve(from);
    std::string target = resolve(to);
    return folderCache().apply(target, source, [&] { return std::rename(source.c_str(), target.c_str()) == 0; });
}

bool removeFile(const char *path) {
    std::string native = resolve(path);
    return folderCache().apply("", native, [&] { return std::remove(native.c_str()) == 0; });
}

bool removeEmptyDirectory(const char *path) {
    std::string native = resolve(path);
    return folderCache().apply("", native, [&] { return ::rmdir(native.c_str()) == 0; });
}

bool isDirectory(const char *path) {
    struct stat info;
    return ::stat(resolve(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void sleepMilliseconds(unsigned int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

unsigned long processId() { return static_cast<unsigned long>(::getpid()); }

bool isProcessRunning(unsigned long id) {
    pid_t pid = static_cast<pid_t>(id);
    if (pid <= 0 || static_cast<unsigned long>(pid) != id) return false;
    return ::kill(pid, 0) == 0 || errno == EPERM;  // EPERM: running, as another user
}

namespace {

// The names of removeWhenInterrupted, each a 'd' (folder) or 'f' (file) and the absolute path.
// The signal handler reads them while the program may be changing them: each slot is published
// and withdrawn with one atomic exchange, and its text is freed only after it was withdrawn.
constexpr int kInterruptSlots = 64;
std::atomic<char *> interruptPaths[kInterruptSlots];
const int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
static_assert(ATOMIC_POINTER_LOCK_FREE == 2, "the signal handler needs lock-free pointers");

// Only async-signal-safe calls: unlink, rmdir, sigaction, raise.
extern "C" void removeTemporariesAndEnd(int signal) {
    for (int pass = 0; pass < 2; pass++) {
        for (std::atomic<char *> &slot : interruptPaths) {
            const char *entry = slot.load();
            if (!entry) continue;
            bool folder = entry[0] == 'd';
            if (pass == 0 && !folder) ::unlink(entry + 1);
            if (pass == 1 && folder) ::rmdir(entry + 1);
        }
    }
    // The signal's own action ends the process (and a shell sees it ended by that signal) once
    // this handler returns and the signal is no longer blocked.
    struct sigaction fallback;
    std::memset(&fallback, 0, sizeof fallback);
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

void installInterruptHandlers() {
    struct sigaction handler;
    std::memset(&handler, 0, sizeof handler);
    handler.sa_handler = removeTemporariesAndEnd;
    sigemptyset(&handler.sa_mask);
    for (int signal : kInterruptSignals) sigaddset(&handler.sa_mask, signal);
    for (int signal : kInterruptSignals) {
        struct sigaction current;
        // A signal that is ignored (a background job, nohup) or handled by someone else stays so.
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
            !(current.sa_flags & SA_SIGINFO))
            ::sigaction(signal, &handler, nullptr);
    }
}

std::string absolutePath(const std::string &native) {
    if (!native.empty() && native[0] == '/') return native;
    char current[4096];
    if (!::getcwd(current, sizeof current)) return native;
    return std::string(current) + "/" + native;
}

}  // namespace

int removeWhenInterrupted(const char *path, bool folder) {
    static std::once_flag installed;
    std::call_once(installed, installInterruptHandlers);
    std::string entry = (folder ? "d" : "f") + absolutePath(resolve(path));
    for (int i = 0; i < kInterruptSlots; i++) {
        if (interruptPaths[i].load()) continue;
        char *copy = new char[entry.size() + 1];
        std::memcpy(copy, entry.c_str(), entry.size() + 1);
        char *empty = nullptr;
        if (interruptPaths[i].compare_exchange_strong(empty, copy)) return i;
        delete[] copy;  // taken meanwhile by another thread
    }
    return -1;
}

void forgetInterruptedTemporary(int number) {
    if (number < 0 || number >= kInterruptSlots) return;
    delete[] interruptPaths[number].exchange(nullptr);
}

bool textIsUtf8() { return true; }

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

bool namesInCodePage() { return false; }

}  // namespace platform
