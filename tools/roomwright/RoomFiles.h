#ifndef KX_ROOMWRIGHT_ROOMFILES_H
#define KX_ROOMWRIGHT_ROOMFILES_H

// Files that a room file names and that may lie beside it: cut-out libraries, and the prop INI
// and MSH files of the props it places. Room files are often kept in a folder of their own
// with what they use, and run from elsewhere (roomwright rooms/hall.ini).

#include <string>
#include <vector>

class KxRlMeshFile;

// The places a file named in a room file is looked for, in order: the name as given (from the
// current folder), then, when the name is relative and the room file lies in another folder,
// the name in the room file's folder.
std::vector<std::string> besideRoomFile(const char *roomFile, const char *name);

// "lib.ini (from the current folder) and rooms/lib.ini (beside the room file)": the places of
// besideRoomFile, for a message that says where a file was looked for.
std::string describePlaces(const std::vector<std::string> &places);

// A prop beside the room file: its prop INI <folder>/<prop>.ini, whose "mesh" line (before any
// section) names the MSH file, looked for beside the prop INI and then in data\meshes\ of the
// content registry; without that INI, <folder>/<prop>.msh. Returns the read MSH file (owned by
// the caller), or null when neither file is beside the room file; `places` then says so,
// naming both ("neither rooms/p_x.ini nor rooms/p_x.msh lies beside the room file"). Throws IOException (with the reason for the stderr line in `detail`) when
// a file is there but cannot be used: an INI without a mesh line, a mesh that cannot be found
// or read.
KxRlMeshFile *loadPropBesideRoom(const char *roomFile, const char *propName, std::string *places,
                                 std::string *detail);

#endif
