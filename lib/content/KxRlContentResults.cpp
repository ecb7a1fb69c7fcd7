#include "KxRlContentResults.h"

#include "KxRlGameFiles.h"

#include <cstring>

namespace {

// The path without the source's root folder and one backslash after it. Paths are composed
// from the root, so the root is skipped by length (found paths are lower-cased, roots are not).
const char *relativeKey(const KxRlGameFiles *source, const char *path) {
    const char *root = source ? source->getRootFolder() : nullptr;
    size_t skip = root ? std::strlen(root) : 0;
    size_t length = std::strlen(path);
    if (skip > length) skip = length;
    const char *key = path + skip;
    if (*key == '\\') key++;
    return key;
}

// 79 buckets at a load factor of 0.81013 (threshold 64): room for a folder's worth of files.
const float kLoadFactor = 0.81013f;

}  // namespace

KxRlContentResults::KxRlContentResults() : files(64), seen(79, kLoadFactor) {}

KxRlContentResults::~KxRlContentResults() {
    for (uint32_t i = 0; i < files.getLength(); i++) delete[] static_cast<char *>(files.get(static_cast<int>(i)));
}

bool KxRlContentResults::addContent(const KxRlGameFiles *source, char *path) {
    if (!path) return false;
    const char *key = relativeKey(source, path);
    if (seen.containsKey(key)) {
        delete[] path;
        return false;
    }
    files.add(path);
    seen.put(key, path);
    return true;
}

char *KxRlContentResults::removeContent(int i) {
    char *path = static_cast<char *>(files.remove(i));
    // The map's key points into the text: drop the entry whose value is this text.
    for (uint32_t k = 0; k < seen.getLength(); k++) {
        if (seen.getValue(static_cast<int>(k)) == path) {
            const char *key = static_cast<const char *>(seen.getKey(static_cast<int>(k)));
            seen.remove(key);
            break;
        }
    }
    return path;
}
