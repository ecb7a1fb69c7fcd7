#include "PakOutput.h"

#include <algorithm>
#include <cstdio>

namespace {

// The length of the UTF-8 sequence that starts at text[i], or 0 when none does.
size_t utf8Length(const std::string &text, size_t i) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 0;
    if (length == 0 || lead >= 0xF5 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; k++)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    return length;
}

void appendPadded(std::string &line, const std::string &text, size_t width, bool right) {
    if (right && text.size() < width) line.append(width - text.size(), ' ');
    line += text;
    if (!right && text.size() < width) line.append(width - text.size(), ' ');
}

std::string packedText(const KxRlFileCopy &copy) { return copy.packed < 0 ? "-" : std::to_string(copy.packed); }

std::string jsonPlace(const KxRlSourcePlace &place) {
    return std::string("{\"kind\": \"") + kxrlSourceKindName(place.kind) + "\", \"path\": " + jsonString(place.path) +
           "}";
}

}  // namespace

std::string describePlace(const KxRlSourcePlace &place) {
    return std::string(kxrlSourceKindName(place.kind)) + " " + place.path;
}

std::string copyLines(const std::vector<KxRlFileCopy> &copies) {
    size_t pathWidth = 0, sizeWidth = 0, packedWidth = 0;
    for (const KxRlFileCopy &copy : copies) {
        pathWidth = std::max(pathWidth, copy.path.size());
        sizeWidth = std::max(sizeWidth, std::to_string(copy.size).size());
        packedWidth = std::max(packedWidth, packedText(copy).size());
    }
    const size_t kindWidth = 7;  // "newdata", "content", "archive"
    std::string text;
    text.reserve(copies.size() * (pathWidth + 80));
    for (const KxRlFileCopy &copy : copies) {
        appendPadded(text, copy.path, pathWidth, false);
        text += "  ";
        appendPadded(text, std::to_string(copy.size), sizeWidth, true);
        text += "  ";
        appendPadded(text, packedText(copy), packedWidth, true);
        text += "  ";
        appendPadded(text, kxrlSourceKindName(copy.place.kind), kindWidth, false);
        text += ' ';
        text += copy.place.path;
        if (copy.shadowed) text += "  shadowed by " + describePlace(copies[copy.winner].place);
        text += '\n';
    }
    return text;
}

std::string jsonString(const std::string &text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (size_t length = utf8Length(text, i)) {
            out.append(text, i, length);
            i += length - 1;
        } else {
            // A byte of another code page: its Latin-1 character.
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out + "\"";
}

std::string copyDocument(const std::vector<KxRlFileCopy> &copies) {
    std::string text = "{\"files\": [";
    text.reserve(copies.size() * 200 + 16);
    for (size_t i = 0; i < copies.size(); i++) {
        const KxRlFileCopy &copy = copies[i];
        text += i == 0 ? "\n  " : ",\n  ";
        text += "{\"path\": " + jsonString(copy.path) + ", \"size\": " + std::to_string(copy.size) +
                ", \"packed\": " + (copy.packed < 0 ? std::string("null") : std::to_string(copy.packed)) +
                ", \"source\": " + jsonPlace(copy.place) + ", \"shadowed\": " + (copy.shadowed ? "true" : "false") +
                ", \"winner\": " + (copy.shadowed ? jsonPlace(copies[copy.winner].place) : std::string("null")) + "}";
    }
    text += copies.empty() ? "]}\n" : "\n]}\n";
    return text;
}

void printText(const std::string &text) { std::fwrite(text.data(), 1, text.size(), stdout); }
