#include "KxRlContentRegistry.h"

#include <algorithm>

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
