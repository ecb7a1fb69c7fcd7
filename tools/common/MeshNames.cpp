#include "MeshNames.h"

#include "ContentDiagnostics.h"
#include "IOException.h"
#include "KxRlContentRegistry.h"
#include "ToolFrame.h"
#include "KxRlFileCopy.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "ToolOutput.h"

#include <cstring>

MeshLocation locateMeshName(const char *name) {
    const char *text = name ? name : "";
    const char *file = fileNameOf(text);
    MeshLocation location;
    location.folder = "data\\meshes\\";
    location.file = file;
    if (isAbsolutePath(text)) {
        if (isAbsolutePath(file)) location.file = file + 2;  // "C:p_desk.msh"
        return location;
    }
    for (const char *p = text; p < file; p++) {
        if (!kxrlIsSeparator(*p))
            location.folder += *p;
        else if (location.folder.back() != '\\')
            location.folder += '\\';
    }
    return location;
}

bool isMeshPattern(const char *name) { return name && std::strpbrk(fileNameOf(name), "*?") != nullptr; }

std::vector<std::string> expandMeshPattern(const KxRlContentRegistry *registry, const char *pattern) {
    std::vector<std::string> names;
    if (!registry || !pattern) return names;
    MeshLocation location = locateMeshName(pattern);
    std::string folderPart(pattern, static_cast<size_t>(fileNameOf(pattern) - pattern));
    registry->listNames(names, location.file.c_str(), location.folder.c_str());
    for (std::string &name : names) name = folderPart + name;
    return names;
}

std::vector<std::string> expandMeshPatternOnDisk(const char *pattern) {
    std::vector<std::string> names;
    if (!pattern) return names;
    std::string folderPart(pattern, static_cast<size_t>(fileNameOf(pattern) - pattern));
    for (const platform::DirEntry &entry : platform::listDirectory(pattern))
        if (!(entry.attributes & platform::ATTR_DIRECTORY)) names.push_back(folderPart + entry.name);
    return names;
}

bool findMeshFileOrPath(KxRlContentRegistry *registry, const char *name, FoundMeshFile &found) {
    found = FoundMeshFile();
    const char *text = name ? name : "";
    std::string missing;
    if (kxrlHasParentPart(text)) {
        missing = "A mesh file name may not lead out of its folder with \"..\"";
    } else {
        MeshLocation location = locateMeshName(text);
        char path[KXRL_PATH_SIZE];
        KxRlGameFiles *source =
            registry->getContentSource(path, location.file.c_str(), location.folder.c_str(), false);
        if (source) {
            found.path = path;
            found.where = describeFoundFile(source, path, location.file.c_str(), location.folder.c_str());
            return true;
        }
        missing = "not found in " + location.folder + " of " + describeSearchedSources(registry);
    }
    if (!*text || isMeshPattern(text) || !kxrlFileExists(text) || platform::isDirectory(text)) {
        found.where = missing;
        return false;
    }
    found.path = text;
    found.onDisk = true;
    std::string file = kxrlAbsolutePlace(text);
    found.where = "read from the file " + file;
    toolDiagnostic(text, "%s; read the file %s", missing.c_str(), file.c_str());
    return true;
}

const char *exportNameOf(const char *name, const FoundMeshFile &found) {
    return found.onDisk ? fileNameOf(name) : name;
}

std::vector<std::string> meshFilesOf(const char *name) {
    if (!isMeshPattern(name)) return {name ? name : ""};
    std::vector<std::string> matches = expandMeshPattern(getContentRegistry(), name);
    if (!matches.empty()) return matches;
    std::string searched = "no mesh file matches in " + locateMeshName(name).folder + " of " +
                           describeSearchedSources(getContentRegistry());
    matches = expandMeshPatternOnDisk(name);
    if (matches.empty()) throw IOException(searched + ", nor on disk");
    toolDiagnostic(name, "%s; the pattern names %zu file%s on disk", searched.c_str(), matches.size(),
                   matches.size() == 1 ? "" : "s");
    return matches;
}

void forEachMeshFile(const char *name, const std::function<void(const char *)> &visit) {
    std::vector<std::string> matches;
    try {
        matches = meshFilesOf(name);
    } catch (const IOException &e) {
        toolError("Could not load mesh file %s\n", name);
        toolDiagnostic(name, "%s", e.describe().c_str());
    }
    for (const std::string &match : matches) visit(match.c_str());
}
