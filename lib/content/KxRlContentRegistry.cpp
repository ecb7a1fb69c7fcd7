#include "KxRlContentRegistry.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// What a listing is sorted by: the copy's path (bytes), then its source's search position and its
// rank there.
struct CopyKey {
    uint64_t word;  // the path's eight bytes at the position being sorted (wordAt)
    const unsigned char *path;
    size_t length;
    int source;
    int rank;
    size_t index;  // in the unsorted list
};

// Asks for the cache line at `address` to be loaded, without waiting for it.
inline void prefetch(const void *address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// The path's bytes from `depth` on as one number that orders as they do: eight bytes, the first
// the highest, zeros past the end.
uint64_t wordAt(const CopyKey &key, size_t depth) {
    unsigned char bytes[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    if (depth < key.length) std::memcpy(bytes, key.path + depth, std::min<size_t>(8, key.length - depth));
    uint64_t word = 0;
    for (unsigned char byte : bytes) word = (word << 8) | byte;
    return word;
}

bool searchOrderLess(const CopyKey &a, const CopyKey &b) {
    return a.source != b.source ? a.source < b.source : a.rank < b.rank;
}

// Paths that agree in their first `depth` bytes, in byte order; a path before every longer one it
// begins; the same path in search order.
bool keyLess(const CopyKey &a, const CopyKey &b, size_t depth) {
    size_t common = std::min(a.length, b.length);
    if (depth < common) {
        int order = std::memcmp(a.path + depth, b.path + depth, common - depth);
        if (order != 0) return order < 0;
    }
    return a.length != b.length ? a.length < b.length : searchOrderLess(a, b);
}

void sortLoadedKeys(CopyKey *keys, size_t count, size_t depth);

// Sorts keys whose paths agree in their first `depth` bytes, eight bytes at a time (three-way
// radix quicksort on words): the long common beginnings of game paths are compared once, not at
// every comparison of a plain sort, and each path is read once for each eight of its bytes.
void sortCopyKeys(CopyKey *keys, size_t count, size_t depth) {
    if (count < 2) return;
    const size_t kAhead = 8;
    for (size_t i = 0; i < count; i++) {
        if (i + kAhead < count) prefetch(keys[i + kAhead].path + depth);
        keys[i].word = wordAt(keys[i], depth);
    }
    sortLoadedKeys(keys, count, depth);
}

// The same, with every key's word at `depth` loaded.
void sortLoadedKeys(CopyKey *keys, size_t count, size_t depth) {
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
        CopyKey *same = keys + less, *sameEnd = keys + greater;
        CopyKey *longer = std::partition(same, sameEnd, [depth](const CopyKey &key) { return key.length <= depth + 8; });
        std::sort(same, longer, [depth](const CopyKey &x, const CopyKey &y) { return keyLess(x, y, depth); });
        sortCopyKeys(longer, static_cast<size_t>(sameEnd - longer), depth + 8);
        return;
    }
    // A few keys: by their loaded words, the paths read further only where these agree.
    std::sort(keys, keys + count, [depth](const CopyKey &a, const CopyKey &b) {
        if (a.word != b.word) return a.word < b.word;
        return keyLess(a, b, depth + 8);
    });
}

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

    std::vector<CopyKey> order;
    order.reserve(found.copies.size());
    for (size_t i = 0; i < found.copies.size(); i++) {
        const std::string &path = found.copies[i].path;
        order.push_back({0, reinterpret_cast<const unsigned char *>(path.c_str()), path.size(), sourceOf[i],
                         found.copies[i].rank, i});
    }
    sortCopyKeys(order.data(), order.size(), 0);

    // The copies go into that order in place, each moved along its cycle of the permutation. They
    // lie scattered: the copy a few moves ahead on the cycle is fetched while this one moves, as
    // waiting for each in turn cost more than sorting them. The cycles are followed in a compact
    // copy of the order; a place that has its copy points to itself.
    std::vector<KxRlFileCopy> &copies = found.copies;
    std::vector<size_t> source(order.size());
    for (size_t i = 0; i < order.size(); i++) source[i] = order[i].index;
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
