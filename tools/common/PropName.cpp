#include "PropName.h"

#include "Platform.h"

#include <cstring>

namespace {

// Characters that Windows refuses in a file name, beside the separators.
const char kReserved[] = "<>:\"|?*";

PropNameFault characterFault(unsigned char c) {
    if (c == ' ') return PropNameFault::SPACE;
    if (c == '\\' || c == '/') return PropNameFault::SEPARATOR;
    if (c < 0x20 || c == 0x7F) return PropNameFault::CONTROL;
    if (std::strchr(kReserved, c)) return PropNameFault::RESERVED;
    if (c >= 0x80 && !platform::namesInCodePage()) return PropNameFault::NOT_ASCII;
    return PropNameFault::NONE;
}

}  // namespace

PropNameFault propNameFault(const char *name) {
    if (!name || !*name || std::strcmp(name, "p_") == 0) return PropNameFault::EMPTY;
    for (const char *c = name; *c; c++) {
        PropNameFault fault = characterFault(static_cast<unsigned char>(*c));
        if (fault != PropNameFault::NONE) return fault;
    }
    return std::strlen(name) > kMaxPropNameLength ? PropNameFault::TOO_LONG : PropNameFault::NONE;
}

std::string describePropNameFault(PropNameFault fault, const char *name) {
    switch (fault) {
    case PropNameFault::NONE:
        break;
    case PropNameFault::EMPTY:
        return "leaves an empty name";
    case PropNameFault::SPACE:
        return "holds a space";
    case PropNameFault::SEPARATOR:
        return "holds a path separator";
    case PropNameFault::CONTROL:
        return "holds a control character";
    case PropNameFault::RESERVED:
        for (const char *c = name; c && *c; c++)
            if (std::strchr(kReserved, *c)) return std::string("holds the character ") + *c;
        break;
    case PropNameFault::NOT_ASCII:
        return "holds characters beyond ASCII, which cannot be stored on this system as the game reads them";
    case PropNameFault::TOO_LONG:
        return "has " + std::to_string(name ? std::strlen(name) : 0) + " characters; at most " +
               std::to_string(kMaxPropNameLength) + " fit, \"p_\" included";
    }
    return "";
}
