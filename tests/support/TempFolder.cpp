#include "TempFolder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {
std::string nativeRelative(std::string relative) {
    for (char &c : relative)
        if (c == '\\' || c == '/') c = static_cast<char>(fs::path::preferred_separator);
    return relative;
}
}  // namespace

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; attempt++) {
        fs::path candidate = fs::temp_directory_path() /
                             ("reelkit-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            root = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code error;
    fs::remove_all(root, error);
}

std::string TempFolder::file(const std::string &relative) const {
    return (fs::path(root) / nativeRelative(relative)).string();
}

void TempFolder::makeFolders(const std::string &relative) const { fs::create_directories(file(relative)); }

std::string TempFolder::write(const std::string &relative, const std::string &bytes) const {
    fs::path target = file(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + target.string());
    return target.string();
}

std::string TempFolder::write(const std::string &relative, const std::vector<uint8_t> &bytes) const {
    return write(relative, std::string(bytes.begin(), bytes.end()));
}

std::string readFileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool fileExistsOnDisk(const std::string &path) {
    std::error_code error;
    return fs::exists(path, error);
}

std::vector<std::string> temporaryFilesBelow(const std::string &folder) {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.size() >= 5 && name.compare(name.size() - 5, 5, ".part") == 0) found.push_back(it->path().string());
    }
    return found;
}
