#include "KxRlContentResults.h"

#include "IOException.h"
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

}  // namespace

bool KxRlContentResults::addContent(const KxRlGameFiles *source, char *path) {
    if (!path) return false;
    std::unique_ptr<char[]> owned(path);
    std::string_view key = relativeKey(source, path);
    if (seen.count(key)) return false;  // `owned` frees the text
    files.push_back({std::move(owned), key});
    seen.insert(key);
    return true;
}

char *KxRlContentResults::removeContent(int i) {
    if (i < 0 || static_cast<size_t>(i) >= files.size()) throw IndexOutOfBoundsException;
    Found removed = std::move(files[static_cast<size_t>(i)]);
    files.erase(files.begin() + i);
    seen.erase(removed.key);
    return removed.path.release();
}
