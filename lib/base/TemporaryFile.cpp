#include "TemporaryFile.h"

#include "KxRlUtil.h"
#include "IOException.h"
#include "Platform.h"
#include "RandomAccessFile.h"

#include <cstddef>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {

const char *const kPartSuffix = ".part";

bool sameIgnoringCase(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); i++) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The process id in "<name>.<id>.part", or 0 when `entry` is no such name.
unsigned long writerId(const std::string &entry) {
    const size_t suffix = std::strlen(kPartSuffix);
    if (entry.size() <= suffix || !sameIgnoringCase(entry.substr(entry.size() - suffix), kPartSuffix)) return 0;
    const std::string stem = entry.substr(0, entry.size() - suffix);
    const size_t dot = stem.rfind('.');
    if (dot == std::string::npos || dot == 0) return 0;
    const std::string digits = stem.substr(dot + 1);
    if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stoul(digits);
}

// True when `entry` is "<name>.<id>.part".
bool isTemporaryOf(const std::string &entry, const std::string &name) {
    return writerId(entry) != 0 && entry.size() > name.size() && entry[name.size()] == '.' &&
           sameIgnoringCase(entry.substr(0, name.size()), name) &&
           entry.find('.', name.size() + 1) == entry.size() - std::strlen(kPartSuffix);
}

void removeFolderWithFiles(const std::string &folder) {
    for (const platform::DirEntry &entry : platform::listDirectory((folder + "\\*").c_str()))
        if (!(entry.attributes & platform::ATTR_DIRECTORY)) platform::removeFile((folder + "\\" + entry.name).c_str());
    platform::removeEmptyDirectory(folder.c_str());
}

}  // namespace

InterruptedRunCleanup::InterruptedRunCleanup(const std::string &path, bool folder)
    : number(platform::removeWhenInterrupted(path.c_str(), folder)) {}

InterruptedRunCleanup::~InterruptedRunCleanup() { platform::forgetInterruptedTemporary(number); }

void removeAbandonedTemporaries(const char *finalPath) {
    const std::string target = finalPath ? finalPath : "";
    size_t cut = target.size();
    while (cut > 0 && !kxrlIsSeparator(target[cut - 1])) cut--;
    const std::string folder = target.substr(0, cut), name = target.substr(cut);
    if (name.empty()) return;
    // A folder is listed once per run, not once per file written into it: what runs that ended
    // before left there is all there is to find, and an export writes thousands of files into one
    // folder.
    static std::mutex lock;
    static std::map<std::string, std::vector<platform::DirEntry>> abandonedByFolder;
    std::lock_guard<std::mutex> guard(lock);
    auto known = abandonedByFolder.find(folder);
    if (known == abandonedByFolder.end()) {
        std::vector<platform::DirEntry> abandoned;
        const unsigned long self = platform::processId();
        for (const platform::DirEntry &entry : platform::listDirectory((folder + "*" + kPartSuffix).c_str())) {
            unsigned long writer = writerId(entry.name);
            if (writer != 0 && writer != self && !platform::isProcessRunning(writer)) abandoned.push_back(entry);
        }
        known = abandonedByFolder.emplace(folder, std::move(abandoned)).first;
    }
    std::vector<platform::DirEntry> &abandoned = known->second;
    for (size_t i = 0; i < abandoned.size();) {
        if (!isTemporaryOf(abandoned[i].name, name)) {
            i++;
            continue;
        }
        const std::string path = folder + abandoned[i].name;
        if (abandoned[i].attributes & platform::ATTR_DIRECTORY)
            removeFolderWithFiles(path);
        else
            platform::removeFile(path.c_str());
        abandoned.erase(abandoned.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

TemporaryFile::TemporaryFile(const char *finalPath, bool folder)
    : target(finalPath ? finalPath : ""),
      temporary((removeAbandonedTemporaries(target.c_str()), kxrlTemporaryPath(target.c_str()))),
      folder(folder),
      cleanup(temporary, folder) {}

TemporaryFile::~TemporaryFile() {
    if (moved) return;
    if (folder)
        platform::removeEmptyDirectory(temporary.c_str());
    else
        platform::removeFile(temporary.c_str());
}

bool TemporaryFile::moveIntoPlace() {
    moved = platform::renameFile(temporary.c_str(), target.c_str());
    return moved;
}

void writeWholeFile(const char *path, const void *data, size_t size) {
    TemporaryFile part(path);
    RandomAccessFile file(part.path().c_str(), "wb");
    if (file.write(data, size) != size) throw IOException(std::string("Could not write ") + path);
    file.close();
    if (!part.moveIntoPlace())
        throw IOException(std::string(platform::isDirectory(path) ? "A folder is in the way of " : "Could not move ") +
                          platform::nativePath(path) + (platform::isDirectory(path) ? "" : " into place"));
}
