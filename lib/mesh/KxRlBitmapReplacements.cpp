#include "KxRlBitmapReplacements.h"

#include <cstring>

namespace {
// An array of its own, so that its address is shared with no string literal.
const char kNoBitmapText[1] = {0};
}  // namespace

const char *const KxRlNoBitmap = kNoBitmapText;

void KxRlBitmapReplacements::add(const char *oldName, const char *newName) { pairs.push_back({oldName, newName}); }

const char *KxRlBitmapReplacements::resolve(const char *name) const {
    if (!name || name == KxRlNoBitmap) return name;
    for (const KxRlBitmapReplacement &pair : pairs) {
        if (pair.oldName && std::strcmp(pair.oldName, name) == 0) return pair.newName;
    }
    return name;
}
