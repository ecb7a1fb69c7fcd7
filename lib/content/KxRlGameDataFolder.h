#ifndef KX_CONTENT_KXRLGAMEDATAFOLDER_H
#define KX_CONTENT_KXRLGAMEDATAFOLDER_H

#include "KxRlGameFiles.h"

// A source of game files backed by a folder tree on disk: the game's installation folder, a
// tool's content folder, or a folder named with -newdata.
class KxRlGameDataFolder : public KxRlGameFiles {
public:
    // The game folder from the registry (a source of kind Game); throws
    // IOException("Reelmara is not installed!") when it is not configured.
    static KxRlGameDataFolder *CreateFromGame();
    // The game folder that every game source starts from (kxrlGetGamePath). Throws
    // IOException("Reelmara is not installed!") when it is not configured, and an
    // IOException naming it when it is a path of another system (a Windows drive path that
    // no Wine prefix maps, read from a registry file on POSIX).
    static const char *requireGamePath();
    // A folder given with -newdata (a source of kind NewData). Throws IOException("Path is not
    // valid!") unless listing `path` joined with "*" finds something (an existing folder lists
    // at least "." and "..").
    static KxRlGameDataFolder *CreateFromPath(const char *path);
    // A source on `rootFolder` without checking it (a tool's own content folder). Its place is
    // the folder made absolute against the current folder now.
    explicit KxRlGameDataFolder(const char *rootFolder, KxRlSourceKind kind = KxRlSourceKind::Content);
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

    KxRlSourceKind getSourceKind() const override { return place.kind; }
    std::string getSourcePath() const override { return place.path; }
    // The files of `folder` and, with `anyDepth`, of every folder below it (whatever their
    // attributes; "." and ".." aside), leaving out files whose attribute word is exactly system,
    // temporary or offline, as gatherFiles does. A file whose path does not fit a path buffer
    // is refused. Sizes come from the listing.
    void collectCopies(KxRlCopyListing &listing, const char *pattern, const char *folder, bool anyDepth) const override;
    // Copies the file's bytes below `folder`, creating the folders of its path.
    void extractCopy(const KxRlFileCopy &copy, const char *folder, char *outPath) const override;
    std::string readablePath(const KxRlFileCopy &copy) const override { return copy.file; }

    // The matching files of one folder. Entries whose attribute word is exactly folder (0x10),
    // system, temporary or offline are left out; anything else, a read-only folder (0x11)
    // included, is gathered. Paths are lower-cased (ASCII) before they are handed over.
    int gatherFiles(KxRlContentResults *results, const char *pattern, const char *folder);
    // Gathers, then descends into, every plain subfolder (attribute word exactly 0x10) of
    // `folder`, in listing order.
    int traverseFolders(KxRlContentResults *results, const char *pattern, const char *folder);

private:
    // Gathers the copies of `relative` (a folder below the root, "" or ending in a backslash)
    // and, with `descend`, of its subfolders.
    void collectFolder(KxRlCopyListing &listing, const char *pattern, const std::string &relative, bool descend) const;

    char *rootFolder;
    KxRlSourcePlace place;  // the root folder, absolute, in the system's form
};

#endif
