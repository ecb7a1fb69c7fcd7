#ifndef KX_CONTENT_KXRLPAKREGISTRY_H
#define KX_CONTENT_KXRLPAKREGISTRY_H

#include "ArrayList.h"
#include "KxRlGameFiles.h"

#include <string>
#include <vector>

class KxRlPakFile;
class KxRlPakFileEntry;

// Every PAK archive of the game merged into one catalogue of entries, sorted by file name and
// then directory name (byte order, no case folding). When archives hold the same file in the
// same directory, the catalogue keeps the one from the archive with the later timestamp; with
// equal timestamps the one from the archive loaded first. Files asked for are extracted into
// the cache folder given at creation (the tool's) and found there as ordinary files.
class KxRlPakRegistry : public KxRlGameFiles {
public:
    // The archives of <game folder>\data\pak\. Throws IOException("Reelmara is not
    // installed!") without a game folder (KxRlGameDataFolder::requireGamePath).
    static KxRlPakRegistry *CreateFromGame(const char *cacheFolder);
    // Loads every "*.pak" of `pakFolder` in listing order, leaving out folders, system,
    // temporary and offline entries and files of 4 GiB or more. An archive that cannot be read
    // (truncated, a damaged catalogue) is left out and noted in getSkippedArchives; every other
    // archive stays usable.
    static KxRlPakRegistry *CreateFromPath(const char *cacheFolder, const char *pakFolder);
    ~KxRlPakRegistry() override;
    KxRlPakRegistry(const KxRlPakRegistry &) = delete;
    KxRlPakRegistry &operator=(const KxRlPakRegistry &) = delete;

    // The folder into which entries are extracted.
    const char *getCacheFolder() const { return cacheFolder.c_str(); }
    // The paths this source finds are extracted copies, relative to the cache folder.
    const char *getRootFolder() const override { return getCacheFolder(); }
    // The folder the archives were looked for in ("" for a registry built archive by archive).
    const char *getPakFolder() const { return pakFolder.c_str(); }

    // An archive that CreateFromPath left out, with the reason it could not be read.
    struct SkippedArchive {
        std::string path;
        std::string reason;
    };
    const std::vector<SkippedArchive> &getSkippedArchives() const { return skipped; }

    // Lower-cases `name` and `folder`, finds the entry (with `anyDepth`: the first entry of that
    // name whose directory begins with `folder`) and extracts it into the cache folder; true with
    // its path in `outPath`. A copy already there that is this entry's extraction is used as it
    // is (KxRlPakFileEntry::checkExtractedCopy); any other is extracted again.
    bool getContent(char *outPath, const char *name, const char *folder, bool anyDepth) override;
    // The catalogue entry that getContent would extract, without extracting it; null when none.
    KxRlPakFileEntry *findEntry(const char *name, const char *folder, bool anyDepth) const;
    // Extracts every entry whose file name matches `pattern` and whose directory is `folder`
    // (with `anyDepth`: begins with it) and hands each path to `results`. Pattern and folder are
    // used as given. Returns the number handed over, duplicates refused by the results included.
    int findContent(KxRlContentResults *results, const char *pattern, const char *folder, bool anyDepth) override;
    // The file names of the catalogue entries directly in `folder` (any case) that match.
    void listNames(std::vector<std::string> &names, const char *pattern, const char *folder) const override;

    KxRlSourceKind getSourceKind() const override { return KxRlSourceKind::Archive; }
    // The folder the archives were found in, absolute.
    std::string getSourcePath() const override;
    // Every entry of every archive (not only the catalogue's) whose directory is `folder` (with
    // `anyDepth`: begins with it), ASCII case ignored, and whose file name matches. Each copy's
    // place is its archive file. Of the copies of one path, the one getContent extracts ranks
    // first, then the others from the newest archive to the oldest (equal times in the order
    // the archives were loaded). An entry whose name would leave the extraction folder, or
    // whose header does not fit its archive, is refused.
    void collectCopies(KxRlCopyListing &listing, const char *pattern, const char *folder, bool anyDepth) const override;
    // KxRlPakFileEntry::extract into `folder`.
    void extractCopy(const KxRlFileCopy &copy, const char *folder, char *outPath) const override;
    // The entry extracted into the cache folder.
    std::string readablePath(const KxRlFileCopy &copy) const override;

    int getPakCount() const { return static_cast<int>(archives.getLength()); }
    KxRlPakFile *getPak(int i) const;
    // Takes ownership of `archive` and merges it into the catalogue.
    void addPak(KxRlPakFile *archive);
    // Takes the archive out (without deleting it) and rebuilds the catalogue.
    KxRlPakFile *removePak(int i);

    int getSortedCount() const { return sortedCount; }
    KxRlPakFileEntry *getSortedEntry(int i) const { return sortedEntries[i]; }

    // Binary search over catalogue positions low..high for the first entry whose file name
    // equals `name` (with prefixLength > 0: whose first prefixLength characters equal those of
    // `name`). -1 when there is none.
    int searchFilename(const char *name, int prefixLength, int low, int high) const;
    // Binary search for the entry with this file name and directory name; -1 when none.
    int searchFullPath(const char *name, const char *folder, int low, int high) const;

private:
    explicit KxRlPakRegistry(const char *cacheFolder);
    void buildSortedFiles();
    int mergeSortedFiles(KxRlPakFileEntry **work, int mergedLength, int newLength);

    std::string cacheFolder;
    std::string pakFolder;
    std::vector<SkippedArchive> skipped;
    ArrayList archives;  // KxRlPakFile*, owned, in the order found
    int sortedCount;
    KxRlPakFileEntry **sortedEntries;  // owned array; the entries belong to their archives
};

#endif
