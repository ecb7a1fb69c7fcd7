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
// (a folder's `*`). Entries come sorted by name folded to upper case, as the Windows file
// system lists them (so `_`, `[`, `^` and `` ` `` sort after the letters), on every platform.
// An empty result means nothing matched or the folder does not exist.
std::vector<DirEntry> listDirectory(const char *pattern);
// The listing order: names compared byte by byte with a to z folded to A to Z, ties (names
// that differ only in case) in plain byte order.
bool directoryOrderLess(const std::string &a, const std::string &b);

// True when `text` matches `pattern`, where `*` stands for any run of characters (the empty
// one included). With `listingRules` the directory listing's rules apply as well: `?` stands
// for any one character and ASCII case is ignored; without them every other character
// compares byte for byte.
bool matchesPattern(const char *text, const char *pattern, bool listingRules);

// `path` with the separators of this system, for messages (no case is resolved).
std::string nativePath(const char *path);

// fopen with the path turned into a native one. A file opened for writing may be removed while
// it is open (on Windows too), so that an interrupted run can remove what it was writing.
FILE *openFile(const char *path, const char *mode);
// `path` as a library that opens files by itself takes it: on Windows in UTF-8 (the suite's
// texts are in the ANSI code page), on POSIX with `/` and each existing component found
// case-insensitively, as openFile finds it.
std::string libraryPath(const char *path);
// fseek and ftell with 64-bit positions, for files of 2 GiB and more (the C library's `long`
// is 32 bits on Windows). Same results as fseek (0 on success) and ftell (-1 on failure).
int seekFile(FILE *stream, int64_t offset, int origin);
int64_t tellFile(FILE *stream);

// Creates one folder. False when it could not be made (an existing folder included); `error`,
// when not null, then gets the system's error number (EEXIST when something of that name is
// there already).
bool makeDirectory(const char *path, int *error = nullptr);
bool changeDirectory(const char *path);
// The current folder in the suite's form (backslashes on Windows, `/` on POSIX). False when
// it does not fit `size` bytes.
bool getCurrentDirectory(char *buffer, size_t size);
// Last modification time in seconds since 1970.
bool getModificationTime(const char *path, int64_t *seconds);
// Sets the last modification time of an existing file to `seconds` since 1970.
bool setModificationTime(const char *path, int64_t seconds);
// True when `path` is an existing file (not a folder) marked read-only: no write permission
// for its owner on POSIX, the read-only attribute on Windows. Such a file is never
// replaced, whoever runs the tool.
bool isReadOnlyFile(const char *path);
// Takes the read-only mark off an existing file (the attribute on Windows, the owner's write
// permission on POSIX): for files made by a library that does not say how they may be written.
bool makeWritable(const char *path);
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
// True while the process with this id (processId() of another run) is running.
bool isProcessRunning(unsigned long id);

// Temporary files of a run that is interrupted: a file or folder named here is removed when the
// run is ended by Ctrl-C, SIGINT, SIGTERM, SIGHUP or SIGQUIT (on Windows the console's Ctrl-C,
// Ctrl-Break or closing), before the process ends as it would have without this: first every
// named file, then every named folder (when empty). The handlers are installed with the first
// name, only for signals whose action is still the default. Returns a number for
// forgetInterruptedTemporary; -1 when too many are named at once (a run writes a few at a
// time), and then an interruption leaves that one behind. A name is kept as an absolute path,
// so a later change of the current folder does not matter.
int removeWhenInterrupted(const char *path, bool folder);
// Forgets a name given to removeWhenInterrupted (-1 is ignored).
void forgetInterruptedTemporary(int number);

// True where the texts of the system (file names, the console) are UTF-8 (POSIX); false where
// they are in the ANSI code page (Windows), in which every byte from 0x80 up is a character.
bool textIsUtf8();

// The user's documents folder where no registry names it. On POSIX: XDG_DOCUMENTS_DIR of the
// user's user-dirs.dirs ($XDG_CONFIG_HOME, else ~/.config), else ~/Documents. On Windows the
// registry always names it, so this is false there. False also when it does not fit `size`.
bool userDocumentsFolder(char *buffer, size_t size);

enum RegistryHive { HIVE_CURRENT_USER, HIVE_LOCAL_MACHINE };

// Reads a text value of `key` under `hive` into `buffer` (at most `size` bytes, terminator
// included). False when the key or value is missing, is not text or does not fit.
// On POSIX the registry is the file named by REELMARA_REGISTRY (regedit export format) or,
// without it, the Wine prefix's user.reg ($WINEPREFIX, else ~/.wine); the named file wins
// when both exist. Windows drive paths read from a Wine prefix are mapped through the
// prefix's dosdevices folder; those read from the named file are mapped the same way when
// the prefix has that drive, and are returned unchanged otherwise (see isForeignPath).
bool readRegistryString(RegistryHive hive, const char *key, const char *valueName, char *buffer, size_t size);
// Names the registry that readRegistryString reads for `hive`, for messages: "the Windows
// registry", "registry file <path> (REELMARA_REGISTRY)" or "Wine registry <prefix>/user.reg".
// When that registry cannot be read at all, `problem` (if not null) gets the system's reason;
// otherwise it is emptied.
std::string describeRegistrySource(RegistryHive hive, std::string *problem);

// True for a path of another system that cannot be used here: a Windows drive path
// (`C:\...`) on POSIX. Always false on Windows.
bool isForeignPath(const char *path);

// True when the texts this program gets (command line, file names) hold one byte per
// character of the Windows code page, as the game stores names: on Windows. False on POSIX,
// where a byte beyond ASCII is part of a UTF-8 character that the game would read as others.
bool namesInCodePage();

}  // namespace platform

#endif
