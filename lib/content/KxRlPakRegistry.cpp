#include "KxRlPakRegistry.h"

#include "KxRlContentResults.h"
#include "KxRlGameDataFolder.h"
#include "KxRlPakFile.h"
#include "KxRlUtil.h"
#include "Platform.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

// Catalogue order: file name, then directory name, both in byte order.
int compareEntries(const KxRlPakFileEntry *a, const KxRlPakFileEntry *b) {
    int byName = std::strcmp(a->getFileName(), b->getFileName());
    return byName != 0 ? byName : std::strcmp(a->getDirName(), b->getDirName());
}

bool startsWith(const char *text, const char *prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

std::string lowerCopy(const char *text) {
    std::string copy = text ? text : "";
    kxrlStrLower(&copy[0]);
    return copy;
}

const uint64_t kFourGiB = 0x100000000ull;

// Ranks the copies of each path that several archives hold: the copy getContent finds first, then
// newer archives before older ones (equal times in loading order, then table order). Every
// other copy keeps rank 0. `repeated` names the copies that may share a path, by index in
// `copies`, in the order the archives were loaded and their tables list them.
void rankRepeatedPaths(const KxRlPakRegistry &registry, std::vector<KxRlFileCopy> &copies,
                       const std::vector<size_t> &repeated) {
    std::unordered_map<std::string_view, std::vector<size_t>> groups;  // path -> indices into `copies`
    for (size_t i : repeated) groups[copies[i].path].push_back(i);
    for (auto &group : groups) {
        std::vector<size_t> &members = group.second;
        if (members.size() < 2) continue;
        const KxRlFileCopy &any = copies[members[0]];
        std::string dir(group.first.substr(0, group.first.size() - std::strlen(any.entry->getFileName())));
        const KxRlPakFileEntry *found = registry.findEntry(any.entry->getFileName(), dir.c_str(), false);
        // A stable sort keeps loading and table order where the times are equal.
        std::stable_sort(members.begin(), members.end(), [&](size_t a, size_t b) {
            bool foundA = copies[a].entry == found, foundB = copies[b].entry == found;
            if (foundA != foundB) return foundA;
            return copies[a].entry->getPakFile()->getTimestamp() > copies[b].entry->getPakFile()->getTimestamp();
        });
        for (size_t rank = 0; rank < members.size(); rank++) copies[members[rank]].rank = static_cast<int>(rank);
    }
}

}  // namespace

KxRlPakRegistry::KxRlPakRegistry(const char *cache)
    : cacheFolder(cache ? cache : ""), sortedCount(0), sortedEntries(nullptr) {}

KxRlPakRegistry::~KxRlPakRegistry() {
    for (int i = 0; i < getPakCount(); i++) delete getPak(i);
    delete[] sortedEntries;
}

KxRlPakRegistry *KxRlPakRegistry::CreateFromGame(const char *cacheFolder) {
    const char *gamePath = KxRlGameDataFolder::requireGamePath();
    char pakFolder[KXRL_PATH_SIZE];
    if (!kxrlMakeDirName(pakFolder, gamePath, "data\\pak\\", true))
        throw IOException("Path is too long: " +
                          platform::nativePath((std::string(gamePath) + "\\data\\pak\\").c_str()));
    return CreateFromPath(cacheFolder, pakFolder);
}

KxRlPakRegistry *KxRlPakRegistry::CreateFromPath(const char *cacheFolder, const char *pakFolder) {
    std::unique_ptr<KxRlPakRegistry> registry(new KxRlPakRegistry(cacheFolder));
    registry->pakFolder = pakFolder ? pakFolder : "";
    char pattern[KXRL_PATH_SIZE];
    if (!kxrlMakeDirName(pattern, pakFolder, "*.pak", false))
        throw IOException("Path is too long: " + platform::nativePath((std::string(pakFolder) + "*.pak").c_str()));
    for (const platform::DirEntry &entry : platform::listDirectory(pattern)) {
        uint32_t a = entry.attributes;
        if (a == platform::ATTR_DIRECTORY || a == platform::ATTR_SYSTEM || a == platform::ATTR_TEMPORARY ||
            a == platform::ATTR_OFFLINE || entry.size >= kFourGiB)
            continue;
        char path[KXRL_PATH_SIZE];
        if (!kxrlMakeDirName(path, pakFolder, entry.name.c_str(), false))
            throw IOException("Path is too long: " + platform::nativePath((pakFolder + entry.name).c_str()));
        try {
            registry->archives.add(KxRlPakFile::CreateFromFile(path));
        } catch (const IOException &e) {
            // One damaged archive must not hide the others.
            registry->skipped.push_back({path, e.getErrorString()});
        }
    }
    if (registry->getPakCount() > 0) registry->buildSortedFiles();
    return registry.release();
}

KxRlPakFile *KxRlPakRegistry::getPak(int i) const { return static_cast<KxRlPakFile *>(archives.get(i)); }

void KxRlPakRegistry::addPak(KxRlPakFile *archive) {
    archives.add(archive);
    buildSortedFiles();
}

KxRlPakFile *KxRlPakRegistry::removePak(int i) {
    KxRlPakFile *archive = static_cast<KxRlPakFile *>(archives.remove(i));
    buildSortedFiles();
    return archive;
}

void KxRlPakRegistry::buildSortedFiles() {
    size_t total = 0;
    for (int i = 0; i < getPakCount(); i++) total += static_cast<size_t>(getPak(i)->getFileCount());
    delete[] sortedEntries;
    sortedEntries = new KxRlPakFileEntry *[total > 0 ? total : 1];
    sortedCount = 0;
    std::unique_ptr<KxRlPakFileEntry *[]> work(new KxRlPakFileEntry *[total > 0 ? total : 1]);

    // Each archive's entries are sorted on their own and merged behind the catalogue built so
    // far; the merge drops duplicates in favour of the newer archive.
    int merged = 0;
    for (int a = 0; a < getPakCount(); a++) {
        KxRlPakFile *archive = getPak(a);
        int count = archive->getFileCount();
        for (int i = 0; i < count; i++) {
            work[merged + i] = archive->getFileEntry(i);
            work[merged + i]->setRepeated(false);
        }
        std::stable_sort(work.get() + merged, work.get() + merged + count,
                         [](const KxRlPakFileEntry *x, const KxRlPakFileEntry *y) { return compareEntries(x, y) < 0; });
        int duplicates = mergeSortedFiles(work.get(), merged, count);
        merged += count - duplicates;
        if (a + 1 < getPakCount()) std::copy(sortedEntries, sortedEntries + merged, work.get());
    }
    sortedCount = merged;
}

int KxRlPakRegistry::mergeSortedFiles(KxRlPakFileEntry **work, int mergedLength, int newLength) {
    KxRlPakFileEntry **oldList = work;
    KxRlPakFileEntry **newList = work + mergedLength;
    int i = 0, j = 0, out = 0, duplicates = 0;
    while (i < mergedLength && j < newLength) {
        int order = compareEntries(oldList[i], newList[j]);
        if (order < 0) {
            sortedEntries[out++] = oldList[i++];
        } else if (order > 0) {
            sortedEntries[out++] = newList[j++];
        } else {
            bool newer = newList[j]->getPakFile()->getTimestamp() > oldList[i]->getPakFile()->getTimestamp();
            newList[j]->setRepeated(true);
            oldList[i]->setRepeated(true);
            sortedEntries[out++] = newer ? newList[j] : oldList[i];
            i++;
            j++;
            duplicates++;
        }
    }
    while (i < mergedLength) sortedEntries[out++] = oldList[i++];
    while (j < newLength) sortedEntries[out++] = newList[j++];
    return duplicates;
}

int KxRlPakRegistry::searchFilename(const char *name, int prefixLength, int low, int high) const {
    auto compare = [&](int position) {
        const char *fileName = sortedEntries[position]->getFileName();
        return prefixLength > 0 ? std::strncmp(name, fileName, static_cast<size_t>(prefixLength))
                                : std::strcmp(name, fileName);
    };
    int first = low;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        int order = compare(middle);
        if (order == 0) {
            while (middle > first && compare(middle - 1) == 0) middle--;
            return middle;
        }
        if (order < 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return -1;
}

int KxRlPakRegistry::searchFullPath(const char *name, const char *folder, int low, int high) const {
    while (low <= high) {
        int middle = low + (high - low) / 2;
        const KxRlPakFileEntry *entry = sortedEntries[middle];
        int order = std::strcmp(name, entry->getFileName());
        if (order == 0) order = std::strcmp(folder, entry->getDirName());
        if (order == 0) return middle;
        if (order < 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return -1;
}

KxRlPakFileEntry *KxRlPakRegistry::findEntry(const char *name, const char *folder, bool anyDepth) const {
    if (sortedCount == 0 || !name) return nullptr;
    std::string lowerName = lowerCopy(name);
    std::string lowerFolder = lowerCopy(folder);
    if (anyDepth) {
        for (int i = searchFilename(lowerName.c_str(), 0, 0, sortedCount - 1);
             i >= 0 && i < sortedCount && lowerName == sortedEntries[i]->getFileName(); i++) {
            if (startsWith(sortedEntries[i]->getDirName(), lowerFolder.c_str())) return sortedEntries[i];
        }
        return nullptr;
    }
    int found = searchFullPath(lowerName.c_str(), lowerFolder.c_str(), 0, sortedCount - 1);
    return found < 0 ? nullptr : sortedEntries[found];
}

bool KxRlPakRegistry::getContent(char *outPath, const char *name, const char *folder, bool anyDepth) {
    KxRlPakFileEntry *entry = findEntry(name, folder, anyDepth);
    if (!entry) return false;
    entry->extract(outPath, cacheFolder.c_str());
    return true;
}

int KxRlPakRegistry::findContent(KxRlContentResults *results, const char *pattern, const char *folder,
                                 bool anyDepth) {
    if (sortedCount == 0 || !pattern) return 0;
    if (!folder) folder = "";
    // The part before the first star bounds the run of candidate names in the catalogue.
    const char *star = std::strchr(pattern, '*');
    std::string prefix = star ? std::string(pattern, static_cast<size_t>(star - pattern)) : std::string(pattern);
    bool leadingStar = pattern[0] == '*';
    int start = 0;
    if (!leadingStar) {
        start = star ? searchFilename(prefix.c_str(), static_cast<int>(prefix.size()), 0, sortedCount - 1)
                     : searchFilename(pattern, 0, 0, sortedCount - 1);
        if (start < 0) return 0;
    }
    int count = 0;
    for (int i = start; i < sortedCount; i++) {
        KxRlPakFileEntry *entry = sortedEntries[i];
        const char *dir = entry->getDirName();
        bool inFolder = anyDepth ? startsWith(dir, folder) : std::strcmp(dir, folder) == 0;
        if (kxrlStrPattern(entry->getFileName(), pattern) && inFolder) {
            char path[KXRL_PATH_SIZE];
            entry->extract(path, cacheFolder.c_str());
            if (results) results->addContent(this, kxrlStrDup(path));
            count++;
        } else if (!leadingStar && !startsWith(entry->getFileName(), prefix.c_str())) {
            break;
        }
    }
    return count;
}

void KxRlPakRegistry::listNames(std::vector<std::string> &names, const char *pattern, const char *folder) const {
    std::string lowerFolder = lowerCopy(folder);
    // The catalogue holds each file name once per directory, so no name repeats here.
    for (int i = 0; i < sortedCount; i++) {
        const KxRlPakFileEntry *entry = sortedEntries[i];
        if (lowerFolder == entry->getDirName() && platform::matchesPattern(entry->getFileName(), pattern, true))
            names.push_back(lowerCopy(entry->getFileName()));
    }
}

std::string KxRlPakRegistry::getSourcePath() const { return kxrlAbsolutePlace(pakFolder.c_str()); }

void KxRlPakRegistry::collectCopies(KxRlCopyListing &listing, const char *pattern, const char *folder,
                                    bool anyDepth) const {
    const std::string lowerFolder = lowerCopy(folder);
    const bool everyName = !pattern || std::strcmp(pattern, "*") == 0;
    std::vector<size_t> repeated;  // copies of entries the catalogue found repeated
    size_t entries = 0;
    for (int a = 0; a < getPakCount(); a++) entries += static_cast<size_t>(getPak(a)->getFileCount());
    const size_t first = listing.copies.size();
    listing.copies.reserve(first + entries);
    // Directories that differ only in case are different to the catalogue but one path here.
    bool mixedCase = false;
    for (int a = 0; a < getPakCount(); a++) {
        KxRlPakFile *archive = getPak(a);
        // Many entries share a directory: each is lower-cased, compared and checked once.
        struct Directory {
            std::string lower;
            bool inFolder;
            bool safe;
        };
        std::unordered_map<uint32_t, Directory> directories;
        const KxRlSourcePlace &place = archive->getPlace();
        std::vector<KxRlPakFileEntry *> chosen;
        std::vector<const Directory *> chosenDirectories;
        for (int i = 0; i < archive->getFileCount(); i++) {
            KxRlPakFileEntry *entry = archive->getFileEntry(i);
            auto found = directories.find(entry->getDirOffset());
            if (found == directories.end()) {
                Directory dir;
                dir.lower = lowerCopy(entry->getDirName());
                dir.inFolder = anyDepth ? startsWith(dir.lower.c_str(), lowerFolder.c_str()) : dir.lower == lowerFolder;
                dir.safe = KxRlPakFileEntry::isSafeName(entry->getDirName());
                if (dir.inFolder && dir.lower != entry->getDirName()) mixedCase = true;
                found = directories.emplace(entry->getDirOffset(), std::move(dir)).first;
            }
            const Directory &dir = found->second;
            if (!dir.inFolder) continue;
            if (!everyName && !platform::matchesPattern(entry->getFileName(), pattern, true)) continue;
            if (!dir.safe || !KxRlPakFileEntry::isSafeName(entry->getFileName())) {
                std::string path = dir.lower + entry->getFileName();
                try {
                    entry->checkSafeNames();
                } catch (const IOException &e) {
                    listing.refused.push_back({path, path + " of " + place.path, e.describe()});
                }
                continue;
            }
            chosen.push_back(entry);
            chosenDirectories.push_back(&dir);
        }
        std::vector<KxRlPakFileEntry::ListedSizes> sizes;
        std::vector<std::pair<size_t, std::string>> problems;
        archive->readListedSizes(chosen, sizes, problems);
        auto problem = problems.begin();
        for (size_t i = 0; i < chosen.size(); i++) {
            // Made in one allocation: this runs once for every entry of every archive.
            const std::string &dir = chosenDirectories[i]->lower;
            const char *name = chosen[i]->getFileName();
            std::string path;
            path.reserve(dir.size() + std::strlen(name));
            path.append(dir).append(name);
            if (problem != problems.end() && problem->first == i) {
                listing.refused.push_back({path, path + " of " + place.path, problem->second});
                ++problem;
                continue;
            }
            if (chosen[i]->isRepeated()) repeated.push_back(listing.copies.size());
            listing.copies.emplace_back();
            KxRlFileCopy &copy = listing.copies.back();
            copy.path = std::move(path);
            copy.place = &place;
            copy.source = this;
            copy.entry = chosen[i];
            copy.size = sizes[i].size;
            copy.packed = sizes[i].packed;
        }
    }
    if (mixedCase) {
        repeated.resize(listing.copies.size() - first);
        std::iota(repeated.begin(), repeated.end(), first);
    }
    rankRepeatedPaths(*this, listing.copies, repeated);
}

void KxRlPakRegistry::extractCopy(const KxRlFileCopy &copy, const char *folder, char *outPath) const {
    if (!copy.entry) throw IOException("Not an archived copy: " + copy.path);
    copy.entry->extract(outPath, folder);
}

std::string KxRlPakRegistry::readablePath(const KxRlFileCopy &copy) const {
    char path[KXRL_PATH_SIZE];
    extractCopy(copy, cacheFolder.c_str(), path);
    return path;
}
