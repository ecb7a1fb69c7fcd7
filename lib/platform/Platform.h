#ifndef KX_PLATFORM_PLATFORM_H
#define KX_PLATFORM_PLATFORM_H

// The suite's one window onto the operating system. Everything else is written against
// this header; PlatformWin32.cpp implements it with the Win32 calls, PlatformPosix.cpp with
// POSIX ones. Paths are given in the suite's own backslash form (a `/` is accepted too).
// On POSIX each component that does not exist as written is looked up case-insensitively,
// because the game's files come from a case-insensitive file system.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// Attribute words of directory entries, with the values of the Windows listing.
enum : uint32_t {
    ATTR_READONLY = 0x01,
    ATTR_HIDDEN = 0x02,
    ATTR_SYSTEM = 0x04,
    ATTR_DIRECTORY = 0x10,
    ATTR_ARCHIVE = 0x20,
    ATTR_TEMPORARY = 0x100,
    ATTR_OFFLINE = 0x1000,
};

struct DirEntry {
    std::string name;     // the name as stored on disk
    uint32_t attributes;  // 0x10 folder or 0x20 file, plus 0x01 when read-only
    uint64_t size;        // bytes; 0 for folders
};

// Lists what `pattern` names: a path whose last component may hold the wildcards `*` and
// `?`, matched case-insensitively. "." and ".." are listed when the pattern matches them
// (a folder's `*`). Entries come sorted by name, case-insensitively. An empty result means
// nothing matched or the folder does not exist.
std::vector<DirEntry> listDirectory(const char *pattern);

// fopen with the path turned into a native one.
FILE *openFile(const char *path, const char *mode);

// Creates one folder. False when it could not be made (an existing folder included).
bool makeDirectory(const char *path);
bool changeDirectory(const char *path);
// The current folder in the suite's form (backslashes on Windows, `/` on POSIX). False when
// it does not fit `size` bytes.
bool getCurrentDirectory(char *buffer, size_t size);
// Last modification time in seconds since 1970.
bool getModificationTime(const char *path, int64_t *seconds);
// Moves `from` to `to`, replacing an existing `to`.
bool renameFile(const char *from, const char *to);
bool removeFile(const char *path);
// Removes a folder only when it is empty. False when it is not empty or cannot be removed.
bool removeEmptyDirectory(const char *path);
bool isDirectory(const char *path);

void sleepMilliseconds(unsigned int milliseconds);
// The id of this process (mixed into the random seed, so that two runs started in the same
// instant still draw different mesh identifiers).
unsigned long processId();

// The user's documents folder where no registry names it. On POSIX: XDG_DOCUMENTS_DIR of the
// user's user-dirs.dirs ($XDG_CONFIG_HOME, else ~/.config), else ~/Documents. On Windows the
// registry always names it, so this is false there. False also when it does not fit `size`.
bool userDocumentsFolder(char *buffer, size_t size);

enum RegistryHive { HIVE_CURRENT_USER, HIVE_LOCAL_MACHINE };

// Reads a text value of `key` under `hive` into `buffer` (at most `size` bytes, terminator
// included). False when the key or value is missing, is not text or does not fit.
// On POSIX the registry is the file named by REELMARA_REGISTRY (regedit export format) or,
// without it, the Wine prefix's user.reg ($WINEPREFIX, else ~/.wine); Windows drive paths
// read from a Wine prefix are mapped through the prefix's dosdevices folder.
bool readRegistryString(RegistryHive hive, const char *key, const char *valueName, char *buffer, size_t size);

}  // namespace platform

#endif
