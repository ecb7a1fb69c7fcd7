#ifndef KX_CONTENT_KXRLGAMEFILES_H
#define KX_CONTENT_KXRLGAMEFILES_H

#include "IOException.h"
#include "KxRlFileCopy.h"

#include <string>
#include <vector>

class KxRlContentResults;

// A source of game files: a folder tree on disk, the game's archives, or the content registry
// that asks several sources in turn. Folder arguments are relative to the source's root,
// backslash-separated with a trailing backslash ("data\\meshes\\"); a null folder is the root.
class KxRlGameFiles {
public:
    virtual ~KxRlGameFiles() = default;

    // The folder that the paths this source finds are relative to.
    virtual const char *getRootFolder() const = 0;

    // Looks for `name` in `folder` (with `anyDepth`, sources that support it also look in the
    // folders below). True when found, with its path in `outPath` (KXRL_PATH_SIZE bytes).
    // Throws IOException, for example when a path would not fit or extraction fails.
    virtual bool getContent(char *outPath, const char *name, const char *folder, bool anyDepth) = 0;

    // Adds every file of `folder` (and, with `anyDepth`, of the folders below it) whose name
    // matches the star `pattern` to `results`; returns how many this source handed over.
    virtual int findContent(KxRlContentResults *results, const char *pattern, const char *folder,
                            bool anyDepth) = 0;

    // Appends the name of every file directly in `folder` whose name matches `pattern` (`*` any
    // run of characters, `?` any one, ASCII case ignored), lower-cased, to `names`. Nothing is
    // opened or extracted. A source may list a name once only; the order is its own.
    virtual void listNames(std::vector<std::string> &names, const char *pattern, const char *folder) const = 0;

    // The kind of place this source is (a folder source is told its kind when it is made).
    virtual KxRlSourceKind getSourceKind() const = 0;
    // The source's place, absolute and in the system's own form: a folder source's root folder,
    // the PAK registry's archive folder; "" for the content registry.
    virtual std::string getSourcePath() const = 0;

    // Appends to `listing` every copy of a file that this source holds in `folder` (with
    // `anyDepth`, also in every folder below it) whose file name matches `pattern` (`*`, `?`,
    // ASCII case ignored), each with its place, size and rank; the order is the source's own.
    // Nothing is opened for writing or extracted: archived copies have their sizes read from
    // the archive. Archive entries that could not be extracted safely or read are left out and
    // named in listing.refused.
    virtual void collectCopies(KxRlCopyListing &listing, const char *pattern, const char *folder,
                               bool anyDepth) const = 0;
    // Writes `copy`, one of this source's copies, below `folder` (an existing folder) under its
    // path, making the folders of the path, whole or not at all (through a temporary name), with the modification time of its archive or its own
    // file; `outPath` (KXRL_PATH_SIZE bytes) receives the path written. An archived copy goes
    // through the checks of the cache (KxRlPakFileEntry::extract): a name that would leave
    // `folder` is refused, and a file already there that is this entry's extraction is kept.
    // Throws IOException naming the copy and the reason.
    virtual void extractCopy(const KxRlFileCopy &copy, const char *folder, char *outPath) const = 0;
    // A path `copy` can be read from: a loose copy's own file; an archived copy extracted into
    // the cache folder, as getContent extracts it. Throws as extractCopy does.
    virtual std::string readablePath(const KxRlFileCopy &copy) const = 0;
};

#endif
