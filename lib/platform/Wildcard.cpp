#include "Platform.h"

#include <cctype>

namespace platform {

bool matchesPattern(const char *text, const char *pattern, bool listingRules) {
    if (!text || !pattern) return false;
    auto same = [listingRules](char p, char t) {
        if (!listingRules) return p == t;
        return p == '?' || std::tolower(static_cast<unsigned char>(p)) == std::tolower(static_cast<unsigned char>(t));
    };
    // One back-tracking point: the most recent star takes one more character whenever the rest
    // fails to match, so `*.msh` also matches a.msh.msh.
    const char *star = nullptr;
    const char *resume = nullptr;
    while (*text) {
        if (*pattern == '*') {
            star = pattern++;
            resume = text;
        } else if (*pattern && same(*pattern, *text)) {
            pattern++;
            text++;
        } else if (star) {
            pattern = star + 1;
            text = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') pattern++;
    return *pattern == 0;
}

}  // namespace platform
