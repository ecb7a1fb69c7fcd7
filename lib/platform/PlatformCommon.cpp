// The parts of the platform layer that are the same on every system.

#include "Platform.h"

namespace platform {

namespace {

unsigned char upperFolded(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

}  // namespace

// Archives are loaded in listing order and the first loaded wins a tie of equal timestamps,
// so the order must be the Windows file system's on every platform: an upper-case fold puts
// `_` after the letters, where a lower-case fold would put it before them.
bool directoryOrderLess(const std::string &a, const std::string &b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; i++) {
        unsigned char x = upperFolded(a[i]);
        unsigned char y = upperFolded(b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace platform
