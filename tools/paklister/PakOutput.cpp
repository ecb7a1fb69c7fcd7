#include "PakOutput.h"

#include "ConsoleText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

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

void appendPadded(std::string &line, const char *text, size_t length, size_t width, bool right) {
    if (right && length < width) line.append(width - length, ' ');
    line.append(text, length);
    if (!right && length < width) line.append(width - length, ' ');
}

// A number's digits into `digits` (24 bytes); returns how many.
size_t digitsOf(uint64_t number, char *digits) {
    char reversed[24];
    size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0);
    for (size_t i = 0; i < count; i++) digits[i] = reversed[count - 1 - i];
    return count;
}

size_t packedDigits(const KxRlFileCopy &copy, char *digits) {
    if (copy.packed >= 0) return digitsOf(static_cast<uint64_t>(copy.packed), digits);
    digits[0] = '-';
    return 1;
}

}  // namespace

std::string describePlace(const KxRlSourcePlace &place) {
    return std::string(kxrlSourceKindName(place.kind)) + " " + place.path;
}

std::string copyLines(const std::vector<KxRlFileCopy> &copies) {
    char digits[24];
    size_t pathWidth = 0, sizeWidth = 0, packedWidth = 0;
    for (const KxRlFileCopy &copy : copies) {
        pathWidth = std::max(pathWidth, copy.path.size());
        sizeWidth = std::max(sizeWidth, digitsOf(copy.size, digits));
        packedWidth = std::max(packedWidth, packedDigits(copy, digits));
    }
    const size_t kindWidth = 7;  // "newdata", "content", "archive"
    std::string text;
    text.reserve(copies.size() * (pathWidth + 90));
    for (const KxRlFileCopy &copy : copies) {
        appendPadded(text, copy.path.data(), copy.path.size(), pathWidth, false);
        text += "  ";
        appendPadded(text, digits, digitsOf(copy.size, digits), sizeWidth, true);
        text += "  ";
        appendPadded(text, digits, packedDigits(copy, digits), packedWidth, true);
        text += "  ";
        const char *kind = kxrlSourceKindName(copy.place.kind);
        appendPadded(text, kind, std::strlen(kind), kindWidth, false);
        text += ' ';
        text += copy.place.path;
        if (copy.shadowed) {
            const KxRlSourcePlace &winner = copies[copy.winner].place;
            text += "  shadowed by ";
            text += kxrlSourceKindName(winner.kind);
            text += ' ';
            text += winner.path;
        }
        text += '\n';
    }
    return text;
}

namespace {

void appendJsonString(std::string &out, const std::string &text) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
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
    out += '"';
}

}  // namespace

std::string jsonString(const std::string &text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

std::string copyDocument(const std::vector<KxRlFileCopy> &copies) {
    std::string text = "{\"files\": [";
    text.reserve(copies.size() * 220 + 16);
    // A listing names few places, many times over: each is written out once.
    std::unordered_map<std::string, std::string> placeTexts;
    auto placeText = [&placeTexts](const KxRlSourcePlace &place) -> const std::string & {
        std::string &known = placeTexts[place.path];
        if (known.empty()) {
            known = std::string("{\"kind\": \"") + kxrlSourceKindName(place.kind) + "\", \"path\": ";
            appendJsonString(known, place.path);
            known += '}';
        }
        return known;
    };
    for (size_t i = 0; i < copies.size(); i++) {
        const KxRlFileCopy &copy = copies[i];
        text += i == 0 ? "\n  {\"path\": " : ",\n  {\"path\": ";
        appendJsonString(text, copy.path);
        text += ", \"size\": ";
        text += std::to_string(copy.size);
        text += ", \"packed\": ";
        text += copy.packed < 0 ? std::string("null") : std::to_string(copy.packed);
        text += ", \"source\": ";
        text += placeText(copy.place);
        text += copy.shadowed ? ", \"shadowed\": true, \"winner\": " : ", \"shadowed\": false, \"winner\": null";
        if (copy.shadowed) text += placeText(copies[copy.winner].place);
        text += '}';
    }
    text += copies.empty() ? "]}\n" : "\n]}\n";
    return text;
}

void printText(const std::string &text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void printLines(const std::string &text) {
    std::string safe;
    safe.reserve(text.size() + text.size() / 8);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        appendConsoleSafe(safe, text.data() + start, end - start);
        safe += '\n';
        start = end + 1;
    }
    std::fwrite(safe.data(), 1, safe.size(), stdout);
}
