#ifndef KX_TESTS_SCOPEDGAMEFOLDER_H
#define KX_TESTS_SCOPEDGAMEFOLDER_H

#include "ScopedEnv.h"
#include "TempFolder.h"

#include <memory>
#include <string>

// Makes kxrlGetGamePath() answer `gameFolder` (or, with an empty text, "not installed") for the
// life of the object. On POSIX the registry is a two-line regedit file named by
// REELMARA_REGISTRY; on Windows the value is written to the real registry and the previous
// state is restored afterwards.
class ScopedGameFolder {
public:
    explicit ScopedGameFolder(const std::string &gameFolder);
    ~ScopedGameFolder();
    ScopedGameFolder(const ScopedGameFolder &) = delete;
    ScopedGameFolder &operator=(const ScopedGameFolder &) = delete;

private:
#ifdef _WIN32
    bool hadValue = false;
    std::string previous;
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
