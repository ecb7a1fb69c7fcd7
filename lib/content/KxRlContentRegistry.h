#ifndef KX_CONTENT_KXRLCONTENTREGISTRY_H
#define KX_CONTENT_KXRLCONTENTREGISTRY_H

#include "ArrayList.h"
#include "KxRlGameFiles.h"

// The ordered list of sources that every lookup of game files goes through. The registry owns
// its sources and deletes them with itself. Exceptions of a source are not caught: they leave
// getContent/findContent at once.
class KxRlContentRegistry : public KxRlGameFiles {
public:
    KxRlContentRegistry();
    ~KxRlContentRegistry() override;
    KxRlContentRegistry(const KxRlContentRegistry &) = delete;
    KxRlContentRegistry &operator=(const KxRlContentRegistry &) = delete;

    // Takes ownership of `source`: appended, or inserted at 0 <= position <= count.
    void addSource(KxRlGameFiles *source);
    void addSource(int position, KxRlGameFiles *source);
    // Takes the source out of the list and hands it (and its ownership) to the caller.
    KxRlGameFiles *removeSource(int position);
    KxRlGameFiles *getSource(int position) const;
    int getSourceCount() const { return static_cast<int>(sources.getLength()); }

    // The registry's own root folder is the empty text.
    const char *getRootFolder() const override { return ""; }
    // Asks the sources in list order; true at the first that has the file.
    bool getContent(char *outPath, const char *name, const char *folder, bool anyDepth) override;
    // As getContent, but answers which source had the file (null when none had it).
    KxRlGameFiles *getContentSource(char *outPath, const char *name, const char *folder, bool anyDepth);
    // Asks every source in list order; returns the sum of their counts.
    int findContent(KxRlContentResults *results, const char *pattern, const char *folder, bool anyDepth) override;
    // The matching names of every source, each once, in byte order.
    void listNames(std::vector<std::string> &names, const char *pattern, const char *folder) const override;

    KxRlSourceKind getSourceKind() const override { return KxRlSourceKind::Registry; }
    std::string getSourcePath() const override { return ""; }
    // The copies of every source, source after source in search order.
    void collectCopies(KxRlCopyListing &listing, const char *pattern, const char *folder, bool anyDepth) const override;

    // Which copies a listing holds: all of them, or only the one the game finds under each path.
    enum class Copies { All, Winners };
    // Every copy of every file that the sources hold in `folder` (with `anyDepth`, also below
    // it) whose file name matches `pattern` (`*`, `?`, ASCII case ignored): sorted by path, and
    // the copies of one path in search order. The first copy of a path is the one the game
    // finds, the same one getContent gives; every later copy is shadowed by it (`shadowed`, and
    // `winner` its index in listing.copies). With Copies::Winners the shadowed copies are left
    // out. Nothing is extracted; archived copies have their sizes read from their archives.
    // Archive entries that are refused (a name that would leave the extraction folder, a
    // header beyond the end) are named in listing.refused instead.
    //   KxRlCopyListing all = registry->listCopies("*.msh", "data\\meshes\\", false);
    KxRlCopyListing listCopies(const char *pattern, const char *folder, bool anyDepth, Copies which = Copies::All) const;

    // Writes `copy` below `folder` under its path, through the source that holds it (see
    // KxRlGameFiles::extractCopy); `outPath` (KXRL_PATH_SIZE bytes) receives the path written.
    void extractCopy(const KxRlFileCopy &copy, const char *folder, char *outPath) const override;
    // A path `copy` can be read from, through the source that holds it: a loose copy's own
    // file, an archived copy extracted into the cache folder.
    std::string readablePath(const KxRlFileCopy &copy) const override;

private:
    ArrayList sources;  // KxRlGameFiles*, owned
};

#endif
