#ifndef KX_TESTS_SCOPEDGAMEFOLDER_H
#define KX_TESTS_SCOPEDGAMEFOLDER_H

#include "ScopedEnv.h"
#include "TempFolder.h"

#include <memory>
#include <string>
#include <vector>

// Makes kxrlGetGamePath() answer `gameFolder` (or, with an empty text, "not installed") for the
// life of the object, and, when `documentsFolder` is given, the registry's documents folder
// ("Personal" of the shell folders) answer that. On POSIX the registry is a small regedit file
// named by REELMARA_REGISTRY; on Windows the values are written to the real registry and the
// previous state is restored afterwards.
class ScopedGameFolder {
public:
    explicit ScopedGameFolder(const std::string &gameFolder, const std::string &documentsFolder = "");
    ~ScopedGameFolder();
    ScopedGameFolder(const ScopedGameFolder &) = delete;
    ScopedGameFolder &operator=(const ScopedGameFolder &) = delete;

private:
#ifdef _WIN32
    struct SavedValue {
        const char *key;
        const char *name;
        bool hadValue;
        std::string previous;
    };
    // Stores `value` ("" removes it), remembering what was there.
    void setValue(const char *key, const char *name, const std::string &value);
    std::vector<SavedValue> saved;
#else
    TempFolder registryFolder;
    std::unique_ptr<ScopedEnv> registryFile;
#endif
};

// Changes the current folder for the life of the object and changes back afterwards.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string &folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder &) = delete;
    ScopedCurrentFolder &operator=(const ScopedCurrentFolder &) = delete;

private:
    std::string previous;
};

#endif
