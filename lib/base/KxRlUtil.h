#ifndef KX_BASE_KXRLUTIL_H
#define KX_BASE_KXRLUTIL_H

// Text, path and registry helpers that carry the suite's conventions: ASCII case folding,
// trimming of spaces and tabs, star-only wildcards, backslash path joining, the game folder.
// They work in place on zero-terminated texts owned by the caller and never throw.

#include "Platform.h"

#include <cstddef>
#include <cstdio>
#include <string>

class StringBuffer;

// Path buffers of the suite hold 256 bytes: at most 255 characters and the terminator.
constexpr size_t KXRL_PATH_SIZE = 256;


void kxrlStrUpper(char *text);
void kxrlStrLower(char *text);
// Each returns the number of blanks (spaces and tabs) removed; 0 for a null text.
int kxrlStrLTrim(char *text);
int kxrlStrRTrim(char *text);
int kxrlStrTrim(char *text);

// Wildcard match where only `*` is special (any run, the empty one included); comparison is
// byte for byte and case-sensitive. `*.msh` matches a.msh.msh.
bool kxrlStrPattern(const char *text, const char *pattern);

// A new copy of `text` that the caller frees with delete[]; a null text gives an empty one.
char *kxrlStrDup(const char *text);

// Copies at most size - 1 characters and always terminates; a null source gives "".
void kxrlStrCopy(char *target, const char *source, size_t size);

// True for `\` and `/`: where the suite splits a path, both count as separators.
inline bool kxrlIsSeparator(char c) { return c == '\\' || c == '/'; }

// True when one of the parts of `path` (between `\` or `/`) is "..", which could lead out of
// the folder the path is joined to.
bool kxrlHasParentPart(const char *path);

// Appends `name` to `target`, and a backslash after it when `addSeparator` is set, `name`
// is not empty and does not already end with one. False, with `target` unchanged, when the
// result would not fit `size` bytes.
bool kxrlAttachDirName(char *target, const char *name, bool addSeparator, size_t size = KXRL_PATH_SIZE);
// target = folder (with a trailing backslash ensured when not empty) + name (+ backslash as
// above). False, with `target` emptied, when the result would not fit.
bool kxrlMakeDirName(char *target, const char *folder, const char *name, bool addSeparator,
                     size_t size = KXRL_PATH_SIZE);

// Creates every missing level of the folder `path` (the text before each separator, then the
// whole path). Returns 0 when the folder is there afterwards; otherwise the system's error number
// for the first level that could not be made below one that is there (EACCES for want of
// permission, EEXIST where a file stands), with that level in `failedLevel` when not null.
int kxrlMakeFolders(const char *path, std::string *failedLevel = nullptr);

// True when the directory listing finds `path` (file or folder; wildcards are honoured).
bool kxrlFileExists(const char *path);

// Reads a text value of `key` under `hive` into `buffer` (256 bytes, terminator included).
bool kxrlGetRegValue(char *buffer, platform::RegistryHive hive, const char *key, const char *valueName);

// Where the game's installer stores the game folder: this value of this key under
// HKEY_CURRENT_USER.
extern const char *const kxrlGameKey;
extern const char *const kxrlGameValue;

// The game folder (kxrlGameValue of kxrlGameKey under the current user), or null when it is
// not configured. The registry is read once per process.
const char *kxrlGetGamePath();
// Forgets what kxrlGetGamePath read, so that tests can change the registry in one process.
void kxrlForgetGamePath();

// Reads the next non-empty line of `file` into `line`, without its line end. False at the
// end of the file.
bool kxrlReadLine(StringBuffer *line, FILE *file);

// "<path>.<process id>.part": the temporary name a file is written under before it is renamed
// over `path`. The process id keeps two runs that write the same file at the same time from
// sharing one half-written file.
std::string kxrlTemporaryPath(const char *path);

// A random number from 0 to 32767 from the C generator, whatever the C library's RAND_MAX.
int kxrlRand15();

#endif
