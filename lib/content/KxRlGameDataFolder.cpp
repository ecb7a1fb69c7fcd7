#include "KxRlGameDataFolder.h"

#include "KxRlContentResults.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "RandomAccessFile.h"
#include "TemporaryFile.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

// out = root + "\" + folder + "\" + name, separators added only where missing. Throws an
// IOException naming the path when it would not fit a path buffer.
void joinPath(char *out, const char *root, const char *folder, const char *name) {
    if (!kxrlMakeDirName(out, root, folder, true) || !kxrlAttachDirName(out, name, false)) {
        std::string path = root ? root : "";
        if (!path.empty() && path.back() != '\\') path += '\\';
        if (folder && *folder) {
            path += folder;
            if (path.back() != '\\') path += '\\';
        }
        if (name) path += name;
        out[0] = 0;
        throw IOException("Path is too long: " + platform::nativePath(path.c_str()));
    }
}

// The same without throwing: false when the path would not fit.
bool fitsPath(char *out, const char *root, const char *folder, const char *name) {
    return kxrlMakeDirName(out, root, folder, true) && kxrlAttachDirName(out, name, false);
}

bool isLeftOut(uint32_t attributes) {
    return attributes == platform::ATTR_DIRECTORY || attributes == platform::ATTR_OFFLINE ||
           attributes == platform::ATTR_SYSTEM || attributes == platform::ATTR_TEMPORARY;
}

}  // namespace

KxRlGameDataFolder::KxRlGameDataFolder(const char *root, KxRlSourceKind sourceKind)
    : rootFolder(kxrlStrDup(root)), place{sourceKind, kxrlAbsolutePlace(root)} {}

KxRlGameDataFolder::~KxRlGameDataFolder() { delete[] rootFolder; }

const char *KxRlGameDataFolder::requireGamePath() {
    const char *gamePath = kxrlGetGamePath();
    if (!gamePath) throw IOException("Reelmara is not installed!");
    if (platform::isForeignPath(gamePath))
        throw IOException("The game folder " + std::string(gamePath) +
                          " is a Windows path that cannot be used on this system (no Wine prefix has its drive)");
    return gamePath;
}

KxRlGameDataFolder *KxRlGameDataFolder::CreateFromGame() {
    return new KxRlGameDataFolder(requireGamePath(), KxRlSourceKind::Game);
}

KxRlGameDataFolder *KxRlGameDataFolder::CreateFromPath(const char *path) {
    if (!path) throw IOException("Path is not valid!");
    char pattern[KXRL_PATH_SIZE];
    joinPath(pattern, path, nullptr, "*");
    if (platform::listDirectory(pattern).empty()) throw IOException("Path is not valid!");
    return new KxRlGameDataFolder(path, KxRlSourceKind::NewData);
}

bool KxRlGameDataFolder::getContent(char *outPath, const char *name, const char *folder, bool) {
    joinPath(outPath, rootFolder, folder, name);
    return kxrlFileExists(outPath);
}

int KxRlGameDataFolder::findContent(KxRlContentResults *results, const char *pattern, const char *folder,
                                    bool anyDepth) {
    int count = gatherFiles(results, pattern, folder);
    if (anyDepth) count += traverseFolders(results, pattern, folder);
    return count;
}

void KxRlGameDataFolder::listNames(std::vector<std::string> &names, const char *pattern, const char *folder) const {
    char listing[KXRL_PATH_SIZE];
    joinPath(listing, rootFolder, folder, pattern);
    for (const platform::DirEntry &entry : platform::listDirectory(listing)) {
        // The system's own listing may match more loosely (short names): the pattern decides.
        if (isLeftOut(entry.attributes) || !platform::matchesPattern(entry.name.c_str(), pattern, true)) continue;
        std::string name = entry.name;
        kxrlStrLower(&name[0]);
        names.push_back(name);
    }
}

int KxRlGameDataFolder::gatherFiles(KxRlContentResults *results, const char *pattern, const char *folder) {
    char listing[KXRL_PATH_SIZE];
    joinPath(listing, rootFolder, folder, pattern);
    int count = 0;
    for (const platform::DirEntry &entry : platform::listDirectory(listing)) {
        if (isLeftOut(entry.attributes)) continue;
        char path[KXRL_PATH_SIZE];
        joinPath(path, rootFolder, folder, entry.name.c_str());
        kxrlStrLower(path);
        if (results->addContent(this, kxrlStrDup(path))) count++;
    }
    return count;
}

int KxRlGameDataFolder::traverseFolders(KxRlContentResults *results, const char *pattern, const char *folder) {
    char listing[KXRL_PATH_SIZE];
    joinPath(listing, rootFolder, folder, "*");
    int count = 0;
    for (const platform::DirEntry &entry : platform::listDirectory(listing)) {
        if (entry.attributes != platform::ATTR_DIRECTORY || entry.name == "." || entry.name == "..") continue;
        char subfolder[KXRL_PATH_SIZE];
        if (!kxrlMakeDirName(subfolder, folder, entry.name.c_str(), true))
            throw IOException("Path is too long: " +
                              platform::nativePath((std::string(folder ? folder : "") + entry.name).c_str()));
        count += gatherFiles(results, pattern, subfolder);
        count += traverseFolders(results, pattern, subfolder);
    }
    return count;
}

void KxRlGameDataFolder::collectCopies(KxRlCopyListing &listing, const char *pattern, const char *folder,
                                       bool anyDepth) const {
    std::string relative = folder ? folder : "";
    for (char &c : relative)
        if (c == '/') c = '\\';
    if (!relative.empty() && relative.back() != '\\') relative += '\\';
    collectFolder(listing, pattern ? pattern : "*", relative, anyDepth);
}

void KxRlGameDataFolder::collectFolder(KxRlCopyListing &listing, const char *pattern, const std::string &relative,
                                       bool descend) const {
    char path[KXRL_PATH_SIZE];
    // A folder whose listing would not fit a path buffer holds nothing the tools could name.
    if (!fitsPath(path, rootFolder, relative.c_str(), "*")) return;
    std::vector<std::string> subfolders;
    for (const platform::DirEntry &entry : platform::listDirectory(path)) {
        if (entry.attributes & platform::ATTR_DIRECTORY) {
            if (descend && entry.name != "." && entry.name != "..") subfolders.push_back(relative + entry.name + "\\");
            continue;
        }
        if (isLeftOut(entry.attributes) || !platform::matchesPattern(entry.name.c_str(), pattern, true)) continue;
        KxRlFileCopy copy;
        copy.path = relative + entry.name;
        kxrlStrLower(&copy.path[0]);
        if (!fitsPath(path, rootFolder, relative.c_str(), entry.name.c_str())) {
            listing.refused.push_back({copy.path, place.path + " " + relative + entry.name,
                                       "its path is longer than the 255 characters a path may have"});
            continue;
        }
        copy.place = &place;
        copy.source = this;
        copy.file = path;
        copy.size = entry.size;
        listing.copies.push_back(std::move(copy));
    }
    for (const std::string &subfolder : subfolders) collectFolder(listing, pattern, subfolder, descend);
}

void KxRlGameDataFolder::extractCopy(const KxRlFileCopy &copy, const char *folder, char *outPath) const {
    if (kxrlHasParentPart(copy.path.c_str()) || kxrlIsSeparator(copy.path.c_str()[0]) ||
        std::strchr(copy.path.c_str(), ':'))
        throw IOException("Refused to copy " + copy.file + ": its name " + copy.path + " leaves the folder " + folder);
    joinPath(outPath, folder, nullptr, copy.path.c_str());
    const std::string target = outPath;
    const std::string parent = target.substr(0, target.find_last_of("\\/"));  // the copy's path holds a folder
    std::string failed;
    if (int error = kxrlMakeFolders(parent.c_str(), &failed))
        throw IOException("Could not copy " + platform::nativePath(copy.file.c_str()) + " to " +
                          platform::nativePath(outPath) + ": the folder " + platform::nativePath(failed.c_str()) +
                          " could not be made: " + std::strerror(error));

    int64_t time = 0;
    bool timed = platform::getModificationTime(copy.file.c_str(), &time);
    // Written under a temporary name and moved into place, so that a failed or interrupted copy
    // leaves no half-written file under the real name.
    TemporaryFile temporary(outPath);
    try {
        RandomAccessFile in(copy.file.c_str(), "rb");
        RandomAccessFile out(temporary.path().c_str(), "wb");
        const size_t kChunk = 1 << 20;
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[kChunk]);
        for (size_t n; (n = in.read(buffer.get(), kChunk)) > 0;)
            if (out.write(buffer.get(), n) != n) throw IOException("Could not write " + temporary.path());
        out.close();
        if (timed) platform::setModificationTime(temporary.path().c_str(), time);
    } catch (const IOException &e) {
        throw IOException("Could not copy " + platform::nativePath(copy.file.c_str()) + " to " +
                          platform::nativePath(outPath) + ": " + e.describe());
    }
    if (!temporary.moveIntoPlace()) {
        const char *why = platform::isDirectory(outPath) ? "a folder is in the way" : "it could not be moved into place";
        throw IOException("Could not copy " + platform::nativePath(copy.file.c_str()) + " to " +
                          platform::nativePath(outPath) + ": " + why);
    }
}
