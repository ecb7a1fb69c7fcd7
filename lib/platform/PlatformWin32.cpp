// Win32 implementation of the platform layer: the real Windows calls, nothing emulated.

#include "Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>

namespace platform {

namespace {

std::string toBackslashes(const char *path) {
    std::string native = path ? path : "";
    std::replace(native.begin(), native.end(), '/', '\\');
    return native;
}

bool lessByName(const DirEntry &a, const DirEntry &b) { return directoryOrderLess(a.name, b.name); }

HKEY rootKey(RegistryHive hive) { return hive == HIVE_LOCAL_MACHINE ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// The C library's error number for a failure of a Win32 file call.
int errorNumberOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EINVAL;
    }
}

// A file created or truncated for writing, opened so that it may be deleted while open: the
// console's Ctrl-C handler runs beside the program's own thread and removes what it writes.
FILE *openForWriting(const std::string &native, const char *mode) {
    bool update = std::strchr(mode, '+') != nullptr;
    HANDLE handle = ::CreateFileA(native.c_str(), GENERIC_WRITE | (update ? GENERIC_READ : 0),
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = errorNumberOf(::GetLastError());
        return nullptr;
    }
    int flags = (update ? _O_RDWR : _O_WRONLY) | (std::strchr(mode, 'b') ? _O_BINARY : _O_TEXT);
    int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (descriptor == -1) {
        ::CloseHandle(handle);
        return nullptr;
    }
    FILE *stream = ::_fdopen(descriptor, mode);
    if (!stream) ::_close(descriptor);
    return stream;
}

// The names of removeWhenInterrupted. The console's handler runs on a thread of its own: it
// takes the lock and keeps it, so that the program, which goes on meanwhile, stops when it next
// names or forgets a temporary file, and makes none that the handler would miss.
constexpr int kInterruptSlots = 64;
struct InterruptName {
    std::string path;
    bool folder = false;
    bool used = false;
};
std::mutex interruptLock;
InterruptName interruptNames[kInterruptSlots];

BOOL WINAPI removeTemporariesOnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    interruptLock.lock();  // never unlocked: the process ends
    for (const InterruptName &name : interruptNames)
        if (name.used && !name.folder) ::DeleteFileA(name.path.c_str());
    for (const InterruptName &name : interruptNames)
        if (name.used && name.folder) ::RemoveDirectoryA(name.path.c_str());
    return FALSE;  // on to the system's handler, which ends the process
}

}  // namespace

std::vector<DirEntry> listDirectory(const char *pattern) {
    std::vector<DirEntry> entries;
    std::string native = toBackslashes(pattern);
    if (native.empty()) return entries;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA(native.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        DirEntry entry;
        entry.name = data.cFileName;
        entry.attributes = data.dwFileAttributes;
        entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entries.push_back(entry);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    std::sort(entries.begin(), entries.end(), lessByName);
    return entries;
}

FILE *openFile(const char *path, const char *mode) {
    std::string native = toBackslashes(path);
    if (mode && std::strchr(mode, 'w')) return openForWriting(native, mode);
    return std::fopen(native.c_str(), mode);
}

std::string libraryPath(const char *path) {
    std::string native = toBackslashes(path);
    if (native.empty()) return native;
    int wide = ::MultiByteToWideChar(CP_ACP, 0, native.c_str(), -1, nullptr, 0);
    if (wide <= 0) return native;
    std::wstring text(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, native.c_str(), -1, &text[0], wide);
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return native;
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(bytes - 1));  // the terminator counted above
    return utf8;
}

int seekFile(FILE *stream, int64_t offset, int origin) { return ::_fseeki64(stream, offset, origin); }

int64_t tellFile(FILE *stream) { return ::_ftelli64(stream); }

bool makeDirectory(const char *path, int *error) {
    bool made = ::_mkdir(toBackslashes(path).c_str()) == 0;
    if (error) *error = made ? 0 : errno;
    return made;
}

bool changeDirectory(const char *path) { return ::_chdir(toBackslashes(path).c_str()) == 0; }

bool getCurrentDirectory(char *buffer, size_t size) {
    return ::_getcwd(buffer, static_cast<int>(size)) != nullptr;
}

bool getModificationTime(const char *path, int64_t *seconds) {
    struct _stat64 info;
    if (::_stat64(toBackslashes(path).c_str(), &info) != 0) return false;
    *seconds = static_cast<int64_t>(info.st_mtime);
    return true;
}

bool setModificationTime(const char *path, int64_t seconds) {
    HANDLE file = ::CreateFileA(toBackslashes(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    // FILETIME counts 100-nanosecond steps from 1601.
    const int64_t kSecondsFrom1601To1970 = 11644473600LL;
    uint64_t ticks = static_cast<uint64_t>(seconds + kSecondsFrom1601To1970) * 10000000ULL;
    FILETIME written;
    written.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    written.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    BOOL ok = ::SetFileTime(file, nullptr, nullptr, &written);
    ::CloseHandle(file);
    return ok != 0;
}

bool isReadOnlyFile(const char *path) {
    DWORD attributes = ::GetFileAttributesA(toBackslashes(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_READONLY);
}

bool makeWritable(const char *path) {
    std::string native = toBackslashes(path);
    DWORD attributes = ::GetFileAttributesA(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!(attributes & FILE_ATTRIBUTE_READONLY)) return true;
    return ::SetFileAttributesA(native.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
}

bool renameFile(const char *from, const char *to) {
    if (::MoveFileExA(toBackslashes(from).c_str(), toBackslashes(to).c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    errno = errorNumberOf(::GetLastError());
    return false;
}

bool removeFile(const char *path) { return ::DeleteFileA(toBackslashes(path).c_str()) != 0; }

bool removeEmptyDirectory(const char *path) { return ::RemoveDirectoryA(toBackslashes(path).c_str()) != 0; }

bool isDirectory(const char *path) {
    DWORD attributes = ::GetFileAttributesA(toBackslashes(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void sleepMilliseconds(unsigned int milliseconds) { ::Sleep(milliseconds); }

unsigned long processId() { return static_cast<unsigned long>(::GetCurrentProcessId()); }

bool isProcessRunning(unsigned long id) {
    if (id == 0 || id > 0xFFFFFFFFul) return false;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;  // running, as another user
    DWORD code = 0;
    bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

int removeWhenInterrupted(const char *path, bool folder) {
    static std::once_flag installed;
    std::call_once(installed, [] { ::SetConsoleCtrlHandler(removeTemporariesOnConsoleEvent, TRUE); });
    std::string native = toBackslashes(path);
    char absolute[MAX_PATH];
    DWORD length = ::GetFullPathNameA(native.c_str(), sizeof absolute, absolute, nullptr);
    if (length > 0 && length < sizeof absolute) native = absolute;
    std::lock_guard<std::mutex> lock(interruptLock);
    for (int i = 0; i < kInterruptSlots; i++) {
        if (interruptNames[i].used) continue;
        interruptNames[i].path = native;
        interruptNames[i].folder = folder;
        interruptNames[i].used = true;
        return i;
    }
    return -1;
}

void forgetInterruptedTemporary(int number) {
    if (number < 0 || number >= kInterruptSlots) return;
    std::lock_guard<std::mutex> lock(interruptLock);
    interruptNames[number].used = false;
}

bool textIsUtf8() { return false; }

bool userDocumentsFolder(char *, size_t) { return false; }

bool readRegistryString(RegistryHive hive, const char *key, const char *valueName, char *buffer, size_t size) {
    HKEY handle;
    if (::RegOpenKeyExA(rootKey(hive), key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD length = static_cast<DWORD>(size);
    LONG result = ::RegQueryValueExA(handle, valueName, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &length);
    ::RegCloseKey(handle);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    // A stored text need not carry its terminator; it must still fit with one.
    if (length > 0 && buffer[length - 1] == 0) return true;
    if (length >= size) return false;
    buffer[length] = 0;
    return true;
}

std::string describeRegistrySource(RegistryHive, std::string *problem) {
    if (problem) problem->clear();
    return "the Windows registry";
}

std::string nativePath(const char *path) { return toBackslashes(path); }

bool isForeignPath(const char *) { return false; }

bool namesInCodePage() { return true; }

}  // namespace platform
