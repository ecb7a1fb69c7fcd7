#include "ToolOutput.h"

#include "IOException.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "PropName.h"
#include "ToolFrame.h"

#include <cstring>
#include <string>

namespace {

// Copies `text` into a path buffer or throws an IOException naming it.
void copyPath(char *target, const std::string &text) {
    if (text.size() >= KXRL_PATH_SIZE) throw IOException("Path is too long: " + platform::nativePath(text.c_str()));
    kxrlStrCopy(target, text.c_str(), KXRL_PATH_SIZE);
}

// Creates each level of `path`. A folder that cannot be made is reported by the writes into it.
void makeFolderLevels(const std::string &path) { kxrlMakeFolders(path.c_str()); }

std::string cutAtFirstDot(const char *text) {
    const char *dot = std::strchr(text, '.');
    return dot ? std::string(text, static_cast<size_t>(dot - text)) : std::string(text);
}

}  // namespace

const char *fileNameOf(const char *path) {
    const char *name = path;
    for (const char *p = path; *p; p++)
        if (kxrlIsSeparator(*p)) name = p + 1;
    return name;
}

bool isAbsolutePath(const char *path) {
    if (!path || !*path) return false;
    if (kxrlIsSeparator(path[0])) return true;
    bool letter = (path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z');
    return letter && path[1] == ':';
}

void lockOutputDir(const char *path) {
    std::string folder = path ? path : "";
    copyPath(toolFrame().outputFolder, folder);
    makeFolderLevels(folder);
    toolFrame().outputLocked = true;
}

bool resOutputDir(const char *inputPath) {
    if (toolFrame().outputLocked || !inputPath) return false;
    std::string folder = cutAtFirstDot(fileNameOf(inputPath));
    copyPath(toolFrame().outputFolder, folder);
    toolFrame().outputLocked = true;
    return !folder.empty() && platform::makeDirectory(folder.c_str());
}

bool resOutput(const char *propName) {
    const char *name = propName ? propName : "";
    if (std::strncmp(name, "p_", 2) == 0) name += 2;
    std::string base = cutAtFirstDot(name);
    std::string prop = "p_" + base;
    PropNameFault fault = propNameFault(prop.c_str());
    if (fault == PropNameFault::TOO_LONG) throw IOException("Output prop name exceeds 25 characters.");
    if (fault != PropNameFault::NONE)
        throw IOException("Output prop name " + std::string(propName ? propName : "") + " " +
                          describePropNameFault(fault, prop.c_str()) + ".");
    kxrlStrCopy(toolFrame().propName, prop.c_str(), KXRL_PATH_SIZE);
    if (toolFrame().outputLocked) return false;
    kxrlStrCopy(toolFrame().outputFolder, prop.c_str(), KXRL_PATH_SIZE);
    return platform::makeDirectory(prop.c_str());
}

void resMeshFileDir(const char *meshPath, const char *exportFolder) {
    const char *path = meshPath ? meshPath : "";
    if (kxrlHasParentPart(path))
        throw IOException("The export folder may not lead out of the current folder: " + std::string(path));
    if (isAbsolutePath(path)) {
        path = fileNameOf(path);
        if (isAbsolutePath(path)) path += 2;  // "C:p_shelf.msh": the drive goes too
    }
    const char *name = fileNameOf(path);
    std::string base = cutAtFirstDot(name);
    // An empty name would put the exports into the root of the file system.
    if (base.empty()) throw IOException("Export folder name is empty: " + std::string(path));
    std::string folder = std::string(path, static_cast<size_t>(name - path)) + base;
    if (exportFolder && *exportFolder)
        folder = std::string(exportFolder) + (kxrlIsSeparator(exportFolder[std::strlen(exportFolder) - 1]) ? "" : "/") +
                 folder;
    copyPath(toolFrame().outputFolder, folder);
    makeFolderLevels(folder);
}

std::string missingFolderNote(const char *folder) {
    if (platform::isDirectory(folder)) return "";
    return std::string(" (the folder ") + folder + " could not be made)";
}

std::string describeWriteFailure(const IOException &e, const char *folder) {
    std::string level;
    int error = platform::isDirectory(folder) ? 0 : kxrlMakeFolders(folder, &level);
    if (error == 0) return e.describe();
    return IOException(error, e.getErrorString()).describe() + " (the folder " + platform::nativePath(level.c_str()) +
           " could not be made)";
}
