#include "FuzzScratch.h"

#include "FuzzEntries.h"
#include "Platform.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; attempt < 100 && root.empty(); attempt++) {
            fs::path candidate =
                fs::temp_directory_path() / ("reelmara-fuzz-" + std::to_string(stamp) + "-" + std::to_string(attempt));
            std::error_code error;
            if (fs::create_directory(candidate, error)) root = candidate;
        }
        if (root.empty()) fuzzFailure("no scratch folder can be made in " + fs::temp_directory_path().string());
    }
    ~ScratchFolder() {
        std::error_code error;
        fs::remove_all(root, error);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    fs::path root;
};

ScratchFolder &scratch() {
    static ScratchFolder folder;
    return folder;
}

void (*failureHandler)(const std::string &) = nullptr;

}  // namespace

std::string scratchPath(const std::string &name) { return (scratch().root / name).string(); }

std::string writeScratchFile(const std::string &name, const uint8_t *data, size_t size) {
    fs::path target = scratch().root / name;
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) fuzzFailure("cannot write the scratch file " + target.string());
    return target.string();
}

std::string emptyScratchFolder(const std::string &name) {
    fs::path folder = scratch().root / name;
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder, error);
    if (error) fuzzFailure("cannot make the scratch folder " + folder.string() + ": " + error.message());
    return folder.string();
}

std::string readWholeFile(const std::string &path) {
    std::string bytes;
    FILE *file = platform::openFile(path.c_str(), "rb");
    if (!file) return bytes;
    char block[65536];
    for (size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) bytes.append(block, n);
    std::fclose(file);
    return bytes;
}

void fuzzFailure(const std::string &what) {
    if (failureHandler) failureHandler(what);
    std::fprintf(stderr, "fuzz finding: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

void setFuzzFailureHandler(void (*handler)(const std::string &)) { failureHandler = handler; }
