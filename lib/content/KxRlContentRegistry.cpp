#include "KxRlContentRegistry.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Asks for the cache line at `address` to be loaded, without waiting for it.
inline void prefetch(const void *address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// A copy as the listing sorts it: the path's eight bytes at the position being sorted, as one
// number that orders as they do (the first byte the highest, zeros past the end), the copy's
// index in the unsorted list and the path's length. Small, as the sort moves keys many times.
struct SortKey {
    uint64_t word;
    uint32_t index;
    uint32_t length;
};

// Sorts the copies of a listing by path (bytes), then by the search position of their source and
// their rank there, as a three-way radix quicksort on eight path bytes at a time: the long common
// beginnings of game paths are compared once, not at every comparison of a plain sort, and each
// path is read once for each eight of its bytes.
class PathSorter {
public:
    PathSorter(const std::vector<KxRlFileCopy> &copies, const std::vector<int> &sourceOf)
        : copies(copies), sourceOf(sourceOf), paths(copies.size()) {
        for (size_t i = 0; i < copies.size(); i++)
            paths[i] = reinterpret_cast<const unsigned char *>(copies[i].path.data());
    }

    // The indices of the copies in sorted order.
    std::vector<uint32_t> sortedIndices() {
        std::vector<SortKey> keys(copies.size());
        for (size_t i = 0; i < keys.size(); i++)
            keys[i] = {0, static_cast<uint32_t>(i), static_cast<uint32_t>(copies[i].path.size())};
        sortKeys(keys.data(), keys.size(), 0);
        std::vector<uint32_t> order(keys.size());
        for (size_t i = 0; i < keys.size(); i++) order[i] = keys[i].index;
        return order;
    }

private:
    uint64_t wordAt(const SortKey &key, size_t depth) const {
        unsigned char bytes[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        if (depth < key.length) std::memcpy(bytes, paths[key.index] + depth, std::min<size_t>(8, key.length - depth));
        uint64_t word = 0;
        for (unsigned char byte : bytes) word = (word << 8) | byte;
        return word;
    }

    // Paths that agree in their first `depth` bytes, in byte order; a path before every longer one
    // it begins; the same path in search order (sources are listed in search order, so the
    // unsorted index settles what source and rank leave equal).
    bool keyLess(const SortKey &a, const SortKey &b, size_t depth) const {
        size_t common = std::min(a.length, b.length);
        if (depth < common) {
            int order = std::memcmp(paths[a.index] + depth, paths[b.index] + depth, common - depth);
            if (order != 0) return order < 0;
        }
        if (a.length != b.length) return a.length < b.length;
        if (sourceOf[a.index] != sourceOf[b.index]) return sourceOf[a.index] < sourceOf[b.index];
        if (copies[a.index].rank != copies[b.index].rank) return copies[a.index].rank < copies[b.index].rank;
        return a.index < b.index;
    }

    // Keys whose paths agree in their first `depth` bytes: loads each key's word at `depth` (the
    // path a few keys ahead fetched meanwhile), then sorts.
    void sortKeys(SortKey *keys, size_t count, size_t depth) const {
        if (count < 2) return;
        const size_t kAhead = 8;
        for (size_t i = 0; i < count; i++) {
            if (i + 2 * kAhead < count) prefetch(&paths[keys[i + 2 * kAhead].index]);
            if (i + kAhead < count) prefetch(paths[keys[i + kAhead].index] + depth);
            keys[i].word = wordAt(keys[i], depth);
        }
        sortLoadedKeys(keys, count, depth);
    }

    void sortLoadedKeys(SortKey *keys, size_t count, size_t depth) const {
        while (count > 16) {
            uint64_t a = keys[0].word, b = keys[count / 2].word, c = keys[count - 1].word;
            uint64_t pivot = std::max(std::min(a, b), std::min(std::max(a, b), c));  // the median of three
            size_t less = 0, equal = 0, greater = count;  // [0, less) < pivot, [less, equal) ==, [greater, count) >
            while (equal < greater) {
                uint64_t word = keys[equal].word;
                if (word < pivot)
                    std::swap(keys[less++], keys[equal++]);
                else if (word > pivot)
                    std::swap(keys[equal], keys[--greater]);
                else
                    equal++;
            }
            sortLoadedKeys(keys, less, depth);
            sortLoadedKeys(keys + greater, count - greater, depth);
            // Of the keys that agree in these eight bytes, those whose paths end within them come
            // first (zeros stand past the end, and paths hold none): shorter ones first, the same
            // path in search order. The others go on with the next eight bytes.
            SortKey *same = keys + less, *sameEnd = keys + greater;
            SortKey *longer =
                std::partition(same, sameEnd, [depth](const SortKey &key) { return key.length <= depth + 8; });
            std::sort(same, longer, [this, depth](const SortKey &x, const SortKey &y) { return keyLess(x, y, depth); });
            sortKeys(longer, static_cast<size_t>(sameEnd - longer), depth + 8);
            return;
        }
        // A few keys: by their loaded words, the paths read further only where these agree.
        std::sort(keys, keys + count, [this, depth](const SortKey &a, const SortKey &b) {
            if (a.word != b.word) return a.word < b.word;
            return keyLess(a, b, depth + 8);
        });
    }

    const std::vector<KxRlFileCopy> &copies;
    const std::vector<int> &sourceOf;  // search position of the source of each copy
    std::vector<const unsigned char *> paths;  // each copy's path, read while sorting
};

}  // namespace

KxRlContentRegistry::KxRlContentRegistry() = default;

KxRlContentRegistry::~KxRlContentRegistry() {
    for (int i = 0; i < getSourceCount(); i++) delete getSource(i);
}

void KxRlContentRegistry::addSource(KxRlGameFiles *source) { sources.add(source); }

void KxRlContentRegistry::addSource(int position, KxRlGameFiles *source) { sources.add(position, source); }

KxRlGameFiles *KxRlContentRegistry::removeSource(int position) {
    return static_cast<KxRlGameFiles *>(sources.remove(position));
}

KxRlGameFiles *KxRlContentRegistry::getSource(int position) const {
    return static_cast<KxRlGameFiles *>(sources.get(position));
}

bool KxRlContentRegistry::getContent(char *outPath, const char *name, const char *folder, bool anyDepth) {
    return getContentSource(outPath, name, folder, anyDepth) != nullptr;
}

KxRlGameFiles *KxRlContentRegistry::getContentSource(char *outPath, const char *name, const char *folder,
                                                     bool anyDepth) {
    for (int i = 0; i < getSourceCount(); i++)
        if (getSource(i)->getContent(outPath, name, folder, anyDepth)) return getSource(i);
    return nullptr;
}

int KxRlContentRegistry::findContent(KxRlContentResults *results, const char *pattern, const char *folder,
                                     bool anyDepth) {
    int count = 0;
    for (int i = 0; i < getSourceCount(); i++) count += getSource(i)->findContent(results, pattern, folder, anyDepth);
    return count;
}

void KxRlContentRegistry::listNames(std::vector<std::string> &names, const char *pattern, const char *folder) const {
    std::vector<std::string> found;
    for (int i = 0; i < getSourceCount(); i++) getSource(i)->listNames(found, pattern, folder);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    names.insert(names.end(), found.begin(), found.end());
}

void KxRlContentRegistry::collectCopies(KxRlCopyListing &listing, const char *pattern, const char *folder,
                                        bool anyDepth) const {
    for (int i = 0; i < getSourceCount(); i++) getSource(i)->collectCopies(listing, pattern, folder, anyDepth);
}

KxRlCopyListing KxRlContentRegistry::listCopies(const char *pattern, const char *folder, bool anyDepth,
                                                Copies which) const {
    KxRlCopyListing found;
    std::vector<int> sourceOf;  // search position of the source of each copy
    for (int i = 0; i < getSourceCount(); i++) {
        getSource(i)->collectCopies(found, pattern, folder, anyDepth);
        sourceOf.resize(found.copies.size(), i);
    }

    if (found.copies.size() > UINT32_MAX) throw IOException("Too many files to list");
    std::vector<uint32_t> source = PathSorter(found.copies, sourceOf).sortedIndices();

    // The copies go into that order in place, each moved along its cycle of the permutation. They
    // lie scattered: the copy a few moves ahead on the cycle is fetched while this one moves, as
    // waiting for each in turn cost more than sorting them. The cycles are followed in the sorted
    // indices; a place that has its copy points to itself.
    std::vector<KxRlFileCopy> &copies = found.copies;
    const int kAhead = 8;
    for (size_t start = 0; start < copies.size(); start++) {
        if (source[start] == start) continue;
        size_t ahead = start;
        for (int k = 0; k < kAhead; k++) ahead = source[ahead];
        KxRlFileCopy held = std::move(copies[start]);
        for (size_t at = start;;) {
            size_t from = source[at];
            source[at] = at;
            if (from == start) {
                copies[at] = std::move(held);
                break;
            }
            ahead = source[ahead];
            const char *next = reinterpret_cast<const char *>(&copies[ahead]);
            prefetch(next);
            prefetch(next + sizeof(KxRlFileCopy) - 1);
            copies[at] = std::move(copies[from]);
            at = from;
        }
    }

    // The first copy of each path wins; with Copies::Winners the others go.
    size_t kept = 0;
    for (size_t i = 0; i < copies.size(); i++) {
        bool first = kept == 0 || copies[copies[kept - 1].winner].path != copies[i].path;
        if (!first && which == Copies::Winners) continue;
        if (kept != i) copies[kept] = std::move(copies[i]);
        copies[kept].shadowed = !first;
        copies[kept].winner = first ? kept : copies[kept - 1].winner;
        kept++;
    }
    copies.resize(kept);
    return found;
}

void KxRlContentRegistry::extractCopy(const KxRlFileCopy &copy, const char *folder, char *outPath) const {
    if (!copy.source) throw IOException("No source holds the copy of " + copy.path);
    copy.source->extractCopy(copy, folder, outPath);
}

std::string KxRlContentRegistry::readablePath(const KxRlFileCopy &copy) const {
    if (!copy.source) throw IOException("No source holds the copy of " + copy.path);
    return copy.source->readablePath(copy);
}
