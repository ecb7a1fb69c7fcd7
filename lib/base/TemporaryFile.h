#ifndef KX_BASE_TEMPORARYFILE_H
#define KX_BASE_TEMPORARYFILE_H

#include <cstddef>
#include <string>

// A file or folder that this run writes and that an interruption of the run (Ctrl-C, SIGINT,
// SIGTERM; the console's Ctrl-C on Windows) removes, as long as the object lives. The object
// does not remove it otherwise.
class InterruptedRunCleanup {
public:
    InterruptedRunCleanup(const std::string &path, bool folder);
    ~InterruptedRunCleanup();
    InterruptedRunCleanup(const InterruptedRunCleanup &) = delete;
    InterruptedRunCleanup &operator=(const InterruptedRunCleanup &) = delete;

private:
    int number;
};

// The temporary name under which a file (or, with `folder`, a folder of files) is written
// before it is moved over its final path, so that the final path holds either the old file or
// the whole new one: "<final path>.<process id>.part" (kxrlTemporaryPath).
//  - Making one first removes what killed runs (SIGKILL, a power cut) left under a temporary
//    name of the same final path: those of processes that no longer run.
//  - While it lives, an interruption of the run removes it.
//  - When it goes, it is removed if it is still there (a write that failed or was never moved).
class TemporaryFile {
public:
    explicit TemporaryFile(const char *finalPath, bool folder = false);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    const std::string &path() const { return temporary; }
    const std::string &finalPath() const { return target; }
    // Moves the temporary file over the final path (replacing a file there). False when it
    // could not, with the temporary file still in place.
    bool moveIntoPlace();

private:
    std::string target;
    std::string temporary;
    bool folder;
    bool moved = false;
    InterruptedRunCleanup cleanup;
};

// Writes `size` bytes as the whole file `path` (replacing one there): under a temporary name,
// then moved into place, so that `path` holds the old file or all of the new one. Throws
// IOException with the reason.
void writeWholeFile(const char *path, const void *data, size_t size);

// Removes the temporary files (and folders) of `finalPath` that runs which no longer run left
// behind; those of running processes, this one included, stay. Each folder is looked at once per
// run, the first time a file of it is asked for: what ended runs left there is there by then.
void removeAbandonedTemporaries(const char *finalPath);

#endif
