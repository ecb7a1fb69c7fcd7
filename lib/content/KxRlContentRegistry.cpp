#include "KxRlContentRegistry.h"

#include <algorithm>

namespace {

// What a listing is sorted by: the copy's path (bytes), then its source's search position and its
// rank there.
struct CopyKey {
    const unsigned char *path;
    size_t length;
    int source;
    int rank;
    size_t index;  // in the unsorted list
};

int byteAt(const CopyKey &key, size_t depth) { return depth < key.length ? key.path[depth] : -1; }

bool searchOrderLess(const CopyKey &a, const CopyKey &b) {
    return a.source != b.source ? a.source < b.source : a.rank < b.rank;
}

bool keyLess(const CopyKey &a, const CopyKey &b, size_t depth) {
    for (;; depth++) {
        int x = byteAt(a, depth), y = byteAt(b, depth);
        if (x != y) return x < y;
        if (x < 0) return searchOrderLess(a, b);
    }
}

// Sorts keys whose paths agree in their first `depth` bytes, a byte position at a time (three-way
// radix quicksort): the long common beginnings of game paths are compared once, not at every
// comparison of a plain sort.
void sortCopyKeys(CopyKey *keys, size_t count, size_t depth) {
    while (count > 12) {
        int pivot = byteAt(keys[count / 2], depth);
        size_t less = 0, equal = 0, greater = count;  // [0, less) < pivot, [less, equal) ==, [greater, count) >
        while (equal < greater) {
            int byte = byteAt(keys[equal], depth);
            if (byte < pivot)
                std::swap(keys[less++], keys[equal++]);
            else if (byte > pivot)
                std::swap(keys[equal], keys[--greater]);
            else
                equal++;
        }
        sortCopyKeys(keys, less, depth);
        sortCopyKeys(keys + greater, count - greater, depth);
        if (pivot < 0) {  // the same path: search order decides
            std::sort(keys + less, keys + greater, searchOrderLess);
            return;
        }
        keys += less;
        count = greater - less;
        depth++;
    }
    std::sort(keys, keys + count, [depth](const CopyKey &a, const CopyKey &b) { return keyLess(a, b, depth); });
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
        order.push_back({reinterpret_cast<const unsigned char *>(path.c_str()), path.size(), sourceOf[i],
                         found.copies[i].rank, i});
    }
    sortCopyKeys(order.data(), order.size(), 0);

    // The copies go into that order in place, each moved along its cycle of the permutation.
    std::vector<KxRlFileCopy> &copies = found.copies;
    std::vector<bool> placed(copies.size(), false);
    for (size_t start = 0; start < copies.size(); start++) {
        if (placed[start]) continue;
        KxRlFileCopy held = std::move(copies[start]);
        for (size_t at = start;;) {
            size_t from = order[at].index;
            placed[at] = true;
            if (from == start) {
                copies[at] = std::move(held);
                break;
            }
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
