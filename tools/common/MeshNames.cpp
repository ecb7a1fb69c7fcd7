#include "MeshNames.h"

#include "ContentDiagnostics.h"
#include "IOException.h"
#include "KxRlContentRegistry.h"
#include "ToolFrame.h"
#include "KxRlUtil.h"
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

std::string findMeshFile(KxRlContentRegistry *registry, const char *name, char *path) {
    if (kxrlHasParentPart(name)) throw IOException("A mesh file name may not lead out of its folder with \"..\"");
    MeshLocation location = locateMeshName(name);
    KxRlGameFiles *source = registry->getContentSource(path, location.file.c_str(), location.folder.c_str(), false);
    if (!source) throw IOException("not found in " + location.folder + " of " + describeSearchedSources(registry));
    return describeFoundFile(source, path, location.file.c_str(), location.folder.c_str());
}

void forEachMeshFile(const char *name, const std::function<void(const char *)> &visit) {
    if (!isMeshPattern(name)) {
        visit(name);
        return;
    }
    std::vector<std::string> matches;
    try {
        matches = expandMeshPattern(getContentRegistry(), name);
        if (matches.empty())
            throw IOException("no mesh file matches in " + locateMeshName(name).folder + " of " +
                              describeSearchedSources(getContentRegistry()));
    } catch (const IOException &e) {
        toolError("Could not load mesh file %s\n", name);
        toolDiagnostic(name, "%s", e.describe().c_str());
    }
    for (const std::string &match : matches) visit(match.c_str());
}
