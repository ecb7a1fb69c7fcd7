// Win32 implementation of the platform layer: the real Windows calls, nothing emulated.

#include "Platform.h"

#include <algorithm>
#include <cstring>
#include <direct.h>
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

FILE *openFile(const char *path, const char *mode) { return std::fopen(toBackslashes(path).c_str(), mode); }

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

bool makeDirectory(const char *path) { return ::_mkdir(toBackslashes(path).c_str()) == 0; }

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
    return ::MoveFileExA(toBackslashes(from).c_str(), toBackslashes(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool removeFile(const char *path) { return ::DeleteFileA(toBackslashes(path).c_str()) != 0; }

bool removeEmptyDirectory(const char *path) { return ::RemoveDirectoryA(toBackslashes(path).c_str()) != 0; }

bool isDirectory(const char *path) {
    DWORD attributes = ::GetFileAttributesA(toBackslashes(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void sleepMilliseconds(unsigned int milliseconds) { ::Sleep(milliseconds); }

unsigned long processId() { return static_cast<unsigned long>(::GetCurrentProcessId()); }

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
