#ifndef KX_TOOLS_MESHNAMES_H
#define KX_TOOLS_MESHNAMES_H

// Mesh file names as the users of meshlister and propbridge give them: a name the game uses ("p_desk.msh"),
// optionally with folder parts below data\meshes\ ("props/p_desk.msh"), or a wildcard pattern
// ("p_demo_*.msh") that names every matching mesh file of every source.

#include <functional>
#include <string>
#include <vector>

class KxRlContentRegistry;

// Where a mesh name is looked for in the sources: data\meshes\ plus the name's folder parts,
// and the file name. An absolute name (leading separator or drive letter) keeps only its file
// name, as its export folder does.
struct MeshLocation {
    std::string folder;  // "data\\meshes\\props\\", backslashes, with a trailing one
    std::string file;    // "p_desk.msh"
};
MeshLocation locateMeshName(const char *name);

// True when the file-name part of `name` holds `*` or `?`.
bool isMeshPattern(const char *name);

// Every mesh file that `pattern` names in the registry's sources, each once, in name order:
// the pattern's folder part as given followed by the lower-case file name. Empty when nothing
// matches.
std::vector<std::string> expandMeshPattern(const KxRlContentRegistry *registry, const char *pattern);

// Finds the mesh file `name` in data\meshes\ of the registry's sources (the first source that
// has it wins) and puts its path into `path` (KXRL_PATH_SIZE bytes). Returns where it was
// found, for messages ("found in the game folder ... as ..."). Throws IOException when the
// name has a ".." part, and, naming every source searched, when no source has it.
std::string findMeshFile(KxRlContentRegistry *registry, const char *name, char *path);

// Calls `visit` with `name`, or, for a pattern, with every mesh file it names in the sources of
// the frame's content registry (expandMeshPattern). A pattern that matches nothing or cannot be
// listed prints "Could not load mesh file <pattern>\n" as an error, with the sources searched
// on standard error.
void forEachMeshFile(const char *name, const std::function<void(const char *)> &visit);

#endif
