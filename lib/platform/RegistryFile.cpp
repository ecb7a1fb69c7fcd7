#include "RegistryFile.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// The file as 8-bit text: UTF-16LE (with its byte-order mark) is narrowed, characters
// beyond 8 bits becoming '?'; a UTF-8 byte-order mark is dropped.
std::string decodeText(const std::string &bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::string text;
        text.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned code = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
            text += code < 256 ? static_cast<char>(code) : '?';
        }
        return text;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    return bytes;
}

std::vector<std::string> splitLines(const std::string &text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool equalsIgnoreCase(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); i++)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at `pos` (on the opening quote). regedit escapes only \\ and
// \"; Wine also writes \n, \r, \t, \0, \xHHHH and octal. Leaves `pos` after the closing quote.
bool readQuoted(const std::string &line, size_t &pos, bool wine, std::string &out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    out.clear();
    for (pos++; pos < line.size(); pos++) {
        char c = line[pos];
        if (c == '"') {
            pos++;
            return true;
        }
        if (c != '\\' || pos + 1 >= line.size()) {
            out += c;
            continue;
        }
        char e = line[++pos];
        if (e == '\\' || e == '"') {
            out += e;
        } else if (!wine) {
            out += '\\';  // hand-written regedit text: keep unknown escapes as they stand
            out += e;
        } else if (e == 'n') {
            out += '\n';
        } else if (e == 'r') {
            out += '\r';
        } else if (e == 't') {
            out += '\t';
        } else if (e == 'x') {
            unsigned code = 0;
            int digits = 0;
            while (digits < 4 && pos + 1 < line.size() && hexValue(line[pos + 1]) >= 0) {
                code = code * 16 + static_cast<unsigned>(hexValue(line[++pos]));
                digits++;
            }
            out += code < 256 ? static_cast<char>(code) : '?';
        } else if (e >= '0' && e <= '7') {
            unsigned code = static_cast<unsigned>(e - '0');
            for (int digits = 1; digits < 3 && pos + 1 < line.size() && line[pos + 1] >= '0' && line[pos + 1] <= '7';
                 digits++)
                code = code * 8 + static_cast<unsigned>(line[++pos] - '0');
            out += static_cast<char>(code & 0xFF);
        } else {
            out += e;
        }
    }
    return false;
}

// The key named by a section line, or false for a line that is no section (or a deletion).
bool readSection(const std::string &line, bool wine, std::string &key) {
    if (line.empty() || line[0] != '[') return false;
    size_t close = line.rfind(']');
    if (close == std::string::npos || close < 1) return false;
    std::string raw = line.substr(1, close - 1);
    if (!raw.empty() && raw[0] == '-') return false;
    if (!wine) {
        key = raw;
        return true;
    }
    key.clear();
    for (size_t i = 0; i < raw.size(); i++) {
        if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == '\\') i++;
        key += raw[i];
    }
    return true;
}

std::string hiveName(RegistryHive hive) {
    return hive == HIVE_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string hiveShortName(RegistryHive hive) { return hive == HIVE_LOCAL_MACHINE ? "HKLM" : "HKCU"; }

// Wine's files begin with their own header line.
bool isWineText(const std::vector<std::string> &lines) {
    for (const std::string &line : lines) {
        if (line.empty()) continue;
        return line.compare(0, 13, "WINE REGISTRY") == 0;
    }
    return false;
}

}  // namespace

bool isWineRegistry(const std::string &fileBytes) { return isWineText(splitLines(decodeText(fileBytes))); }

bool findRegistryValue(const std::string &fileBytes, RegistryHive hive, const char *key, const char *valueName,
                       std::string &value) {
    std::vector<std::string> lines = splitLines(decodeText(fileBytes));
    bool wine = isWineText(lines);
    std::string wantedKey = key ? key : "";
    while (!wantedKey.empty() && wantedKey.back() == '\\') wantedKey.pop_back();
    std::string wantedName = valueName ? valueName : "";
    if (wantedName == "@") wantedName.clear();
    std::vector<std::string> wantedSections;
    if (wine) {
        wantedSections.push_back(wantedKey);
    } else {
        wantedSections.push_back(hiveName(hive) + "\\" + wantedKey);
        wantedSections.push_back(hiveShortName(hive) + "\\" + wantedKey);
    }

    bool inKey = false;
    for (const std::string &rawLine : lines) {
        size_t start = rawLine.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        std::string line = rawLine.substr(start);
        std::string section;
        if (line[0] == '[') {
            inKey = false;
            if (readSection(line, wine, section)) {
                while (!section.empty() && section.back() == '\\') section.pop_back();
                for (const std::string &wanted : wantedSections)
                    if (equalsIgnoreCase(section, wanted)) inKey = true;
            }
            continue;
        }
        if (!inKey) continue;
        size_t pos = 0;
        std::string name;
        if (line[0] == '@') {
            pos = 1;
        } else if (!readQuoted(line, pos, wine, name)) {
            continue;
        }
        if (!equalsIgnoreCase(name, wantedName)) continue;
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) pos++;
        if (pos >= line.size() || line[pos] != '=') continue;
        pos++;
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) pos++;
        if (line.compare(pos, 7, "str(2):") == 0) pos += 7;  // Wine's expandable text
        return readQuoted(line, pos, wine, value);
    }
    return false;
}

bool isWindowsDrivePath(const std::string &value) {
    return value.size() >= 2 && std::isalpha(static_cast<unsigned char>(value[0])) && value[1] == ':' &&
           (value.size() == 2 || value[2] == '\\' || value[2] == '/');
}

std::string mapWineDrivePath(const std::string &prefix, const std::string &value) {
    if (!isWindowsDrivePath(value)) return value;
    std::string mapped = prefix;
    if (mapped.empty() || mapped.back() != '/') mapped += '/';
    mapped += "dosdevices/";
    mapped += static_cast<char>(std::tolower(static_cast<unsigned char>(value[0])));
    mapped += ":";
    for (size_t i = 2; i < value.size(); i++) mapped += value[i] == '\\' ? '/' : value[i];
    if (value.size() == 2) mapped += '/';
    return mapped;
}

}  // namespace platform
