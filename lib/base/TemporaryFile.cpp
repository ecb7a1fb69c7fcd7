#include "TemporaryFile.h"

#include "KxRlUtil.h"
#include "Platform.h"

#include <cstring>

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

// The process id in "<name>.<id>.part", or 0 when `entry` is not such a name of `name`.
unsigned long writerOf(const std::string &entry, const std::string &name) {
    const size_t suffix = std::strlen(kPartSuffix);
    if (entry.size() <= name.size() + 1 + suffix || !sameIgnoringCase(entry.substr(0, name.size()), name) ||
        entry[name.size()] != '.' || !sameIgnoringCase(entry.substr(entry.size() - suffix), kPartSuffix))
        return 0;
    std::string digits = entry.substr(name.size() + 1, entry.size() - suffix - name.size() - 1);
    if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stoul(digits);
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
    const unsigned long self = platform::processId();
    for (const platform::DirEntry &entry : platform::listDirectory((target + ".*" + kPartSuffix).c_str())) {
        unsigned long writer = writerOf(entry.name, name);
        if (writer == 0 || writer == self || platform::isProcessRunning(writer)) continue;
        const std::string abandoned = folder + entry.name;
        if (entry.attributes & platform::ATTR_DIRECTORY)
            removeFolderWithFiles(abandoned);
        else
            platform::removeFile(abandoned.c_str());
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
