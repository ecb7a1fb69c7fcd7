#ifndef KX_TOOLS_MESHNAMES_H
#define KX_TOOLS_MESHNAMES_H

// Mesh file names as the users of meshlister, propcarver, propbender and propbridge give them: a
// name the game uses ("p_desk.msh"), optionally with folder parts below the meshes folder
// ("props/p_desk.msh"), or a wildcard pattern ("p_demo_*.msh") that names every matching mesh
// file of every source. A name that no source has may be a path of a file on disk
// ("p_desk/group00mesh00.msh", an export), which is then read.

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

// The files on disk that `pattern` names, relative to the current folder or absolute: its folder
// part as given followed by each matching file's name as listed. Folders are left out.
std::vector<std::string> expandMeshPatternOnDisk(const char *pattern);

// A mesh file found for a name given on the command line.
struct FoundMeshFile {
    std::string path;   // the file to read
    std::string where;  // where it was found, for messages
    // No source had the name and it was read as a file on disk: its exports are named after the
    // file alone, as those of an absolute name are.
    bool onDisk = false;
};

// Finds the mesh file `name` in data\meshes\ of the registry's sources (the first source that
// has it wins). When no source has it, or it cannot be looked up there (a ".." part), and `name`
// as given names an existing file (relative to the current folder, or absolute), that file is
// the one: standard error says which file is read. Returns false, with the sources searched in
// `found.where`, when neither has it. A source that has the file but cannot hand it over (an
// archive entry that cannot be extracted) throws its IOException.
bool findMeshFileOrPath(KxRlContentRegistry *registry, const char *name, FoundMeshFile &found);

// The file name that exports of `name` are named after: `name` itself, or for a file read from
// disk the name after its last separator.
const char *exportNameOf(const char *name, const FoundMeshFile &found);

// The mesh files that `name` names: `name` itself, or for a pattern every match in the sources of
// the frame's content registry (expandMeshPattern), or, when no source has one, every match on
// disk (with a note on standard error). Throws an IOException naming the sources searched when a
// pattern matches nothing.
std::vector<std::string> meshFilesOf(const char *name);

// Calls `visit` with each mesh file that `name` names (meshFilesOf). A pattern that matches
// nothing or cannot be listed prints "Could not load mesh file <pattern>\n" as an error, with the
// sources searched on standard error.
void forEachMeshFile(const char *name, const std::function<void(const char *)> &visit);

#endif
