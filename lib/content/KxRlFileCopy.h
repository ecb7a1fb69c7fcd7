#ifndef KX_CONTENT_KXRLFILECOPY_H
#define KX_CONTENT_KXRLFILECOPY_H

// The records of a listing of what the sources of game files hold: every copy of every file,
// where it lies, how big it is, and which copy the game finds under each name.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class KxRlGameFiles;
class KxRlPakFileEntry;

// The kind of place a source of game files is, in search order: a folder given with -newdata,
// the tool's content folder, the game folder, the game's archives. The content registry, which
// asks the others, is a source of its own kind.
enum class KxRlSourceKind { NewData, Content, Game, Archive, Registry };

// "newdata", "content", "game", "archive" or "registry".
const char *kxrlSourceKindName(KxRlSourceKind kind);

// Where a copy lies: the kind of source, and its place, absolute and in the system's own form
// (a folder source's root folder; for an archived copy, the archive file).
struct KxRlSourcePlace {
    KxRlSourceKind kind = KxRlSourceKind::Content;
    std::string path;
};

// `path` made absolute against the current folder, in the system's own form (`/` on POSIX,
// `\` on Windows), with "." and ".." parts folded away and no separator at its end.
std::string kxrlAbsolutePlace(const char *path);

// One copy of a game file.
struct KxRlFileCopy {
    // The game's name for the file: its path below the source's root, lower case, backslashes
    // ("data\\meshes\\p_desk.msh").
    std::string path;
    // Where it lies: shared by every copy of the source (it belongs to the source, as `source`
    // does), so that a listing of a large archive does not hold its path once per entry.
    const KxRlSourcePlace *place = nullptr;
    // The source that holds the copy (it belongs to the registry that listed it).
    const KxRlGameFiles *source = nullptr;
    // A loose copy: its own file, as the source names it (the suite's path form). "" for an
    // archived copy.
    std::string file;
    // An archived copy: its archive entry (it belongs to its archive). Null for a loose copy.
    KxRlPakFileEntry *entry = nullptr;
    // Bytes of the file; an archived copy's size once extracted.
    uint64_t size = 0;
    // Bytes an archive stores the copy in (its compressed or stored payload); -1 for a loose copy.
    int64_t packed = -1;
    // In a listing of the content registry: the index of the copy the game finds under this
    // path, this copy's own index when it is that one.
    size_t winner = 0;
    bool shadowed = false;
    // The source's own order among its copies of one path (archives: the copy the catalogue
    // chose first, then newer archives before older ones).
    int rank = 0;
};

// A copy that a listing leaves out, with the reason: an archive entry whose name would lead out
// of the folder it is extracted into, or whose data cannot be read.
struct KxRlRefusedCopy {
    std::string path;     // its path as the archive names it, lower case
    std::string subject;  // the entry and its archive, for messages
    std::string reason;
};

// What a listing found.
struct KxRlCopyListing {
    std::vector<KxRlFileCopy> copies;
    std::vector<KxRlRefusedCopy> refused;
};

#endif
