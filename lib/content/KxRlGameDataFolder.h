#ifndef KX_CONTENT_KXRLGAMEDATAFOLDER_H
#define KX_CONTENT_KXRLGAMEDATAFOLDER_H

#include "KxRlGameFiles.h"

// A source of game files backed by a folder tree on disk: the game's installation folder, a
// tool's content folder, or a folder named with -newdata.
class KxRlGameDataFolder : public KxRlGameFiles {
public:
    // The game folder from the registry; throws IOException("Reelmara is not installed!")
    // when it is not configured.
    static KxRlGameDataFolder *CreateFromGame();
    // The game folder that every game source starts from (kxrlGetGamePath). Throws
    // IOException("Reelmara is not installed!") when it is not configured, and an
    // IOException naming it when it is a path of another system (a Windows drive path that
    // no Wine prefix maps, read from a registry file on POSIX).
    static const char *requireGamePath();
    // Throws IOException("Path is not valid!") unless listing `path` joined with "*" finds
    // something (an existing folder lists at least "." and "..").
    static KxRlGameDataFolder *CreateFromPath(const char *path);
    // A source on `rootFolder` without checking it (a tool's own content folder).
    explicit KxRlGameDataFolder(const char *rootFolder);
    ~KxRlGameDataFolder() override;
    KxRlGameDataFolder(const KxRlGameDataFolder &) = delete;
    KxRlGameDataFolder &operator=(const KxRlGameDataFolder &) = delete;

    const char *getRootFolder() const override { return rootFolder; }
    // outPath = root + folder + name; true when the listing finds it. `anyDepth` has no
    // effect. Throws an IOException naming the path when it would not fit.
    bool getContent(char *outPath, const char *name, const char *folder, bool anyDepth) override;
    // Gathers the matching files of `folder`, and with `anyDepth` those of every folder below
    // it, depth first; returns how many the results accepted.
    int findContent(KxRlContentResults *results, const char *pattern, const char *folder, bool anyDepth) override;
    // The matching files of `folder` (the entries findContent would gather there), by name.
    void listNames(std::vector<std::string> &names, const char *pattern, const char *folder) const override;

    // The matching files of one folder. Entries whose attribute word is exactly folder (0x10),
    // system, temporary or offline are left out; anything else, a read-only folder (0x11)
    // included, is gathered. Paths are lower-cased (ASCII) before they are handed over.
    int gatherFiles(KxRlContentResults *results, const char *pattern, const char *folder);
    // Gathers, then descends into, every plain subfolder (attribute word exactly 0x10) of
    // `folder`, in listing order.
    int traverseFolders(KxRlContentResults *results, const char *pattern, const char *folder);

private:
    char *rootFolder;
};

#endif
