#include "KxRlGameDataFolder.h"

#include "KxRlContentResults.h"
#include "KxRlUtil.h"
#include "Platform.h"

#include <cstring>
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

bool isLeftOut(uint32_t attributes) {
    return attributes == platform::ATTR_DIRECTORY || attributes == platform::ATTR_OFFLINE ||
           attributes == platform::ATTR_SYSTEM || attributes == platform::ATTR_TEMPORARY;
}

}  // namespace

KxRlGameDataFolder::KxRlGameDataFolder(const char *root) : rootFolder(kxrlStrDup(root)) {}

KxRlGameDataFolder::~KxRlGameDataFolder() { delete[] rootFolder; }

const char *KxRlGameDataFolder::requireGamePath() {
    const char *gamePath = kxrlGetGamePath();
    if (!gamePath) throw IOException("Reelmara is not installed!");
    if (platform::isForeignPath(gamePath))
        throw IOException("The game folder " + std::string(gamePath) +
                          " is a Windows path that cannot be used on this system (no Wine prefix has its drive)");
    return gamePath;
}

KxRlGameDataFolder *KxRlGameDataFolder::CreateFromGame() { return new KxRlGameDataFolder(requireGamePath()); }

KxRlGameDataFolder *KxRlGameDataFolder::CreateFromPath(const char *path) {
    if (!path) throw IOException("Path is not valid!");
    char pattern[KXRL_PATH_SIZE];
    joinPath(pattern, path, nullptr, "*");
    if (platform::listDirectory(pattern).empty()) throw IOException("Path is not valid!");
    return new KxRlGameDataFolder(path);
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
