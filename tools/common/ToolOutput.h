#ifndef KX_TOOLS_TOOLOUTPUT_H
#define KX_TOOLS_TOOLOUTPUT_H

#include <string>

class IOException;

// The tools' output folder and prop name (values of the start-up frame). Wherever these
// functions split a path, `\` and `/` both count as separators. Folders that already exist,
// or cannot be created, are not an error here: writing into them reports the failure.

// The part of `path` after its last separator (the whole text when there is none).
const char *fileNameOf(const char *path);

// True for a path that names its place from the root: a leading separator or a drive letter
// ("/x", "\\x", "C:\\x", "C:x").
bool isAbsolutePath(const char *path);

// Creates every level of `path` (the text before each separator, then the whole path), makes
// it the output folder and locks it, so that the input names no longer choose it. Throws an
// IOException naming the path when it does not fit a path buffer.
void lockOutputDir(const char *path);

// Unless the output is locked: the file name of `inputPath` cut at its first '.', created as a
// folder in the current directory, becomes the output folder, and the output is locked, so
// that only the first input names it (roomwright, dresscaster). Returns true when this call
// created that folder (it did not exist before).
bool resOutputDir(const char *inputPath);

// Prop name = "p_" + `propName` without a leading "p_", cut at its first '.'. More than 25
// characters throw IOException("Output prop name exceeds 25 characters."); a name the game
// cannot load (PropName.h: empty, a space, a separator ...) throws IOException("Output prop
// name <propName> <fault>."), before any folder is made. Unless the output is locked, the
// output folder becomes the prop name and is created (propcarver, propbender, propbridge).
// Returns true when this call created that folder (it did not exist before).
bool resOutput(const char *propName);

// Output folder = the mesh path with the first '.' of its file name and all after it cut off,
// below `exportFolder` when one is given; every level of it is created (meshlister's export
// folder). Exports stay below the current folder (or `exportFolder`): an absolute path keeps
// only its file name (/p_shelf.msh exports into p_shelf), and a path with a ".." part throws an
// IOException naming it.
void resMeshFileDir(const char *meshPath, const char *exportFolder = nullptr);

// " (the folder <folder> could not be made)" when `folder` is not a folder, else "": a file that
// could not be opened is most often a file whose folder is missing, and the message says so.
std::string missingFolderNote(const char *folder);

// The reason that a file in `folder` could not be written, for messages: e.describe(), or, when
// the folder is not there, the system's reason that it cannot be made (its missing levels are
// made again to learn it) and " (the folder <level> could not be made)". A file that could not be
// opened is most often one whose folder is missing, and the open's "No such file or directory"
// would hide why (a folder without write permission: "Permission denied").
std::string describeWriteFailure(const IOException &e, const char *folder);

#endif
