#include "KxRlContentRegistry.h"

#include <algorithm>
#include <numeric>

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

    std::vector<size_t> order(found.copies.size());
    std::iota(order.begin(), order.end(), size_t(0));
    const std::vector<KxRlFileCopy> &copies = found.copies;
    std::sort(order.begin(), order.end(), [&copies, &sourceOf](size_t a, size_t b) {
        int byPath = copies[a].path.compare(copies[b].path);
        if (byPath != 0) return byPath < 0;
        if (sourceOf[a] != sourceOf[b]) return sourceOf[a] < sourceOf[b];
        return copies[a].rank < copies[b].rank;
    });

    KxRlCopyListing listing;
    listing.refused = std::move(found.refused);
    listing.copies.reserve(order.size());
    for (size_t i = 0; i < order.size(); i++) {
        KxRlFileCopy &copy = found.copies[order[i]];
        bool first = listing.copies.empty() || listing.copies[listing.copies.back().winner].path != copy.path;
        if (!first && which == Copies::Winners) continue;
        copy.shadowed = !first;
        copy.winner = first ? listing.copies.size() : listing.copies.back().winner;
        listing.copies.push_back(std::move(copy));
    }
    return listing;
}

void KxRlContentRegistry::extractCopy(const KxRlFileCopy &copy, const char *folder, char *outPath) const {
    if (!copy.source) throw IOException("No source holds the copy of " + copy.path);
    copy.source->extractCopy(copy, folder, outPath);
}

std::string KxRlContentRegistry::readablePath(const KxRlFileCopy &copy) const {
    if (!copy.source) throw IOException("No source holds the copy of " + copy.path);
    return copy.source->readablePath(copy);
}
