#ifndef KX_PAKLISTER_PAKSELECTION_H
#define KX_PAKLISTER_PAKSELECTION_H

// The files that paklister's patterns name among every copy the sources hold.

#include "KxRlContentRegistry.h"

#include <string>
#include <vector>

// A pattern as paklister's users give it: a file name with `*` and `?` (any case) matches in every
// folder below data\; with folder parts ("textures/*.dds", "data\textures\*.dds", either
// separator) it matches in that folder only, "data\" being added where the parts do not start
// with it; a pattern that ends with a separator names every file of its folder. Wildcards in a
// folder part match within the whole folder path.
class PakPattern {
public:
    // Throws IOException naming the pattern when it would lead out of the data folder (a leading
    // separator, a drive letter, a ".." part).
    explicit PakPattern(const std::string &text);

    const std::string &text() const { return given; }
    // The game path it matches in full ("data\meshes\p_desk.msh" for "meshes/p_desk.msh").
    const std::string &path() const { return full; }
    // The folder to list, whether the folders below it count, and the file-name pattern.
    const char *listedFolder() const { return wildFolder || folder.empty() ? "data\\" : folder.c_str(); }
    bool anyDepth() const { return wildFolder || folder.empty(); }
    const char *namePattern() const { return name.c_str(); }
    // Whether a listed copy's path is one the pattern names.
    bool matches(const std::string &copyPath) const;
    // Whether every path the listing of listedFolder() gives is one the pattern names.
    bool matchesEveryListedPath() const { return !wildFolder; }

private:
    std::string given;
    std::string folder;  // "" (any folder below data\) or "data\...\" in lower case
    std::string name;
    std::string full;
    bool wildFolder = false;
};

// The copies named by several patterns, each path once.
struct PakSelection {
    // Sorted by path; the copies of one path in search order, winners and shadowed copies marked
    // (KxRlContentRegistry::listCopies).
    KxRlCopyListing listing;
    // For each pattern, how many paths (refused ones included) it named.
    std::vector<size_t> matched;
};

// Lists the copies each pattern names (all of them, or only the winners) and joins the lists.
PakSelection selectCopies(const KxRlContentRegistry *registry, const std::vector<PakPattern> &patterns,
                          KxRlContentRegistry::Copies which);

#endif
