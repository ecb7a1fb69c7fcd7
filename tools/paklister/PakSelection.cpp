#include "PakSelection.h"

#include "IOException.h"
#include "KxRlUtil.h"
#include "Platform.h"

#include <cstring>
#include <map>
#include <set>
#include <utility>

namespace {

bool isDrive(const std::string &text) {
    return text.size() >= 2 && text[1] == ':' &&
           ((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z'));
}

// Sets the winner index of every copy again after copies were dropped or joined: the first copy of
// each path wins.
void markWinners(std::vector<KxRlFileCopy> &copies) {
    for (size_t i = 0; i < copies.size(); i++) {
        bool first = i == 0 || copies[i - 1].path != copies[i].path;
        copies[i].shadowed = !first;
        copies[i].winner = first ? i : copies[i - 1].winner;
    }
}

}  // namespace

PakPattern::PakPattern(const std::string &text) : given(text) {
    std::string lower = text;
    kxrlStrLower(&lower[0]);
    if (lower.empty() || kxrlIsSeparator(lower[0]) || isDrive(lower) || kxrlHasParentPart(lower.c_str()))
        throw IOException("The pattern " + text + " leads out of the data folder: give a path below data\\");
    size_t cut = lower.find_last_of("\\/");
    name = cut == std::string::npos ? lower : lower.substr(cut + 1);
    if (name.empty()) name = "*";  // a folder: every file in it
    if (cut != std::string::npos) {
        // Folder parts in the game's form: backslashes, no "." parts, "data\" first.
        std::string part;
        for (size_t i = 0; i <= cut; i++) {
            if (!kxrlIsSeparator(lower[i])) {
                part += lower[i];
                continue;
            }
            if (!part.empty() && part != ".") folder += part + "\\";
            part.clear();
        }
        if (!folder.empty() && folder.compare(0, 5, "data\\") != 0) folder = "data\\" + folder;
        wildFolder = folder.find_first_of("*?") != std::string::npos;
    }
    full = (folder.empty() ? std::string("data\\...\\") : folder) + name;
}

bool PakPattern::matches(const std::string &copyPath) const {
    if (!wildFolder) return true;  // the listing already held it to the folder
    size_t cut = copyPath.rfind('\\');
    std::string copyFolder = cut == std::string::npos ? "" : copyPath.substr(0, cut + 1);
    return platform::matchesPattern(copyFolder.c_str(), folder.c_str(), true);
}

PakSelection selectCopies(const KxRlContentRegistry *registry, const std::vector<PakPattern> &patterns,
                          KxRlContentRegistry::Copies which) {
    PakSelection selection;
    // Each path comes with all its copies in every list that names it, so a path is taken from
    // the first list that has it.
    std::map<std::string, std::vector<KxRlFileCopy>> byPath;
    std::set<std::pair<std::string, std::string>> refused;
    for (const PakPattern &pattern : patterns) {
        KxRlCopyListing listing =
            registry->listCopies(pattern.namePattern(), pattern.listedFolder(), pattern.anyDepth(), which);
        if (patterns.size() == 1 && pattern.matchesEveryListedPath()) {
            // One list as it stands: counting its paths is all there is to do.
            size_t named = listing.refused.size();
            for (size_t i = 0; i < listing.copies.size(); i++) named += listing.copies[i].winner == i ? 1 : 0;
            selection.listing = std::move(listing);
            selection.matched.push_back(named);
            return selection;
        }
        // The list is sorted by path: a path starts where the one before differs.
        size_t named = 0;
        std::string last;
        bool taking = false;  // the current path comes from this pattern's list
        for (KxRlFileCopy &copy : listing.copies) {
            if (!pattern.matches(copy.path)) continue;
            if (named == 0 || copy.path != last) {
                named++;
                last = copy.path;
                taking = patterns.size() > 1 && !byPath.count(copy.path);
            }
            if (patterns.size() == 1)
                selection.listing.copies.push_back(std::move(copy));
            else if (taking)
                byPath[last].push_back(std::move(copy));
        }
        for (KxRlRefusedCopy &copy : listing.refused) {
            if (!pattern.matches(copy.path)) continue;
            named++;
            if (refused.insert({copy.subject, copy.reason}).second) selection.listing.refused.push_back(std::move(copy));
        }
        selection.matched.push_back(named);
    }
    for (auto &group : byPath)
        for (KxRlFileCopy &copy : group.second) selection.listing.copies.push_back(std::move(copy));
    markWinners(selection.listing.copies);
    return selection;
}
