#ifndef KX_CONTENT_KXRLGAMEFILES_H
#define KX_CONTENT_KXRLGAMEFILES_H

#include "IOException.h"

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
};

#endif
