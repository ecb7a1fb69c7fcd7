#ifndef KX_TOOLS_PROPMESHSEARCH_H
#define KX_TOOLS_PROPMESHSEARCH_H

// Finding a prop's MSH file by the prop's name, as the game does (dresscaster and roomwright).

#include <string>

class KxRlMeshFile;

// The text of the IOException thrown when no source has the prop's mesh.
extern const char *const kPropMeshNotFound;  // "Prop MSH file could not be found"

// The prop's set-dressing INI, data\setdressing\<name>.ini, names the mesh in its "mesh" key
// (in the lines before any section); without that INI the mesh is data\meshes\<name>.msh. Both
// are looked up through the content registry of the start-up frame; the found MSH file is read
// and returned (owned by the caller).
//
// Throws IOException(kPropMeshNotFound) when no mesh is found, also when the
// set-dressing INI has no "mesh" key; the reader's own IOException passes through. Names that
// would not fit the game's fields (the name with ".ini" in 48 bytes, the mesh file name in 64)
// are refused with an IOException naming them. When `detail` is given it receives, on failure,
// a sentence for the stderr line: what was looked for where, and why it failed.
KxRlMeshFile *loadPropMesh(const char *propName, std::string *detail = nullptr);

// The search of loadPropMesh without the reading: `meshPath` (KXRL_PATH_SIZE bytes) receives
// the path of the found MSH file, so that callers can read a mesh named by several props once.
// Throws as loadPropMesh does when no mesh is found.
void findPropMesh(const char *propName, char *meshPath, std::string *detail = nullptr);

#endif
