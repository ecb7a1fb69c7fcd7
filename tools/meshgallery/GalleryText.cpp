#include "GalleryText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Code points of bytes 0x80 to 0x9F in code page 1252 (0 where the page has none).
const uint16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendCodePoint(std::string &out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the UTF-8 sequence at `s` (well-formed, no surrogates, no overlong forms), or 0.
size_t utf8Sequence(const unsigned char *s, size_t left) {
    unsigned char c = s[0];
    size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || length > left) return 0;
    for (size_t i = 1; i < length; i++)
        if ((s[i] & 0xC0) != 0x80) return 0;
    if (length == 2 && c < 0xC2) return 0;
    if (length == 3 && ((c == 0xE0 && s[1] < 0xA0) || (c == 0xED && s[1] >= 0xA0))) return 0;
    if (length == 4 && ((c == 0xF0 && s[1] < 0x90) || c > 0xF4 || (c == 0xF4 && s[1] >= 0x90))) return 0;
    return length;
}

bool isValidUtf8(const std::string &text) {
    const unsigned char *s = reinterpret_cast<const unsigned char *>(text.data());
    for (size_t i = 0; i < text.size();) {
        size_t length = utf8Sequence(s + i, text.size() - i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool isControl(unsigned char c) { return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F; }

}  // namespace

std::string toUtf8(const std::string &text) {
    std::string out;
    out.reserve(text.size());
    if (isValidUtf8(text)) {
        for (unsigned char c : text) {
            if (isControl(c)) appendCodePoint(out, 0xFFFD);
            else out += static_cast<char>(c);
        }
        return out;
    }
    for (unsigned char c : text) {
        if (isControl(c)) appendCodePoint(out, 0xFFFD);
        else if (c < 0x80) out += static_cast<char>(c);
        else if (c < 0xA0) appendCodePoint(out, kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : 0xFFFD);
        else appendCodePoint(out, c);
    }
    return out;
}

std::string htmlText(const std::string &text) {
    std::string out;
    for (char c : toUtf8(text)) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string jsonString(const std::string &text) {
    std::string out = "\"";
    for (char c : toUtf8(text)) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else if (c == '<') {
            out += "\\u003c";  // never "</script>" or "<!--" in a catalogue pasted into a page
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string jsonNumber(float value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return text;
}

std::string shellWord(const std::string &word) {
    bool bare = !word.empty();
    for (char c : word)
        if (!std::isalnum(static_cast<unsigned char>(c)) && !std::strchr("._-/:+,=", c)) bare = false;
    if (bare) return word;
    // Inside double quotes a POSIX shell reads a backslash only before \ $ ` " and a line end.
    bool plainBackslashes = !word.empty() && word.back() != '\\';
    for (size_t i = 0; i + 1 < word.size(); i++)
        if (word[i] == '\\' && std::strchr("\\$`\"", word[i + 1])) plainBackslashes = false;
    if (plainBackslashes && word.find_first_of("\"$`!%^\n\r") == std::string::npos) return "\"" + word + "\"";
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string pageStem(const std::string &meshName) {
    std::string name = meshName;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".msh") == 0) name.resize(name.size() - 4);
    std::string stem;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        bool keep = (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || c == '.' || c == '-' || c == '_';
        stem += keep ? c : '_';
    }
    if (stem.empty() || stem[0] == '.') stem = "_" + stem;
    if (stem.size() > 80) stem.resize(80);
    std::string base = stem.substr(0, stem.find('.'));
    static const char *const kReserved[] = {"con", "prn", "aux", "nul", "com1", "com2", "com3", "com4", "com5",
                                            "com6", "com7", "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4",
                                            "lpt5", "lpt6", "lpt7", "lpt8", "lpt9"};
    bool reserved = false;
    for (const char *word : kReserved) reserved = reserved || base == word;
    if (stem == name && !reserved && stem.back() != '.') return stem;
    uint32_t hash = 2166136261u;  // FNV-1a of the exact name
    for (unsigned char c : meshName) {
        hash ^= c;
        hash *= 16777619u;
    }
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "~%08x", hash);
    return stem + suffix;
}

std::string metres(float value) {
    if (!std::isfinite(value)) return "?";
    char text[32];
    float size = std::fabs(value);
    std::snprintf(text, sizeof text, size >= 100 ? "%.0f" : size >= 10 ? "%.1f" : size >= 0.1f ? "%.2f" : "%.3f",
                  static_cast<double>(value));
    return text;
}

std::string groupedNumber(uint64_t value) {
    std::string digits = std::to_string(value), out;
    for (size_t i = 0; i < digits.size(); i++) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}
