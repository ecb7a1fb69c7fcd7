#include "PakOutput.h"

#include "ConsoleText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

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

// Standard output a block at a time: lines are written into the block's free end.
class OutputBlocks {
public:
    OutputBlocks() : block(kBlock + 4096) {}
    ~OutputBlocks() { write(); }
    OutputBlocks(const OutputBlocks &) = delete;
    OutputBlocks &operator=(const OutputBlocks &) = delete;

    // Room for `bytes` at the block's end, to be filled and then taken with done().
    char *room(size_t bytes) {
        if (used + bytes > block.size()) {
            write();
            if (bytes > block.size()) block.resize(bytes);
        }
        return block.data() + used;
    }
    void done(size_t bytes) {
        used += bytes;
        if (used >= kBlock) write();
    }
    void append(const char *text, size_t length) {
        if (length > 0) std::memcpy(room(length), text, length);
        done(length);
    }
    void append(const std::string &text) { append(text.data(), text.size()); }

private:
    static constexpr size_t kBlock = 1 << 16;
    void write() {
        std::fwrite(block.data(), 1, used, stdout);
        used = 0;
    }
    std::vector<char> block;
    size_t used = 0;
};

// Filling a line: text, and spaces.
char *put(char *at, const char *text, size_t length) {
    std::memcpy(at, text, length);
    return at + length;
}
char *putSpaces(char *at, size_t count) {
    std::memset(at, ' ', count);
    return at + count;
}

// What a listing shows of each place, made once: a listing names few places, many times over.
class PlaceTexts {
public:
    explicit PlaceTexts(std::string (*make)(const KxRlSourcePlace &)) : make(make) {}
    const std::string &of(const KxRlSourcePlace *place) {
        for (const auto &known : texts)
            if (known.first == place) return known.second;
        texts.emplace_back(place, make(*place));
        return texts.back().second;
    }

private:
    std::string (*make)(const KxRlSourcePlace &);
    std::vector<std::pair<const KxRlSourcePlace *, std::string>> texts;
};

}  // namespace

std::string describePlace(const KxRlSourcePlace &place) {
    return std::string(kxrlSourceKindName(place.kind)) + " " + place.path;
}

void printCopyLines(const std::vector<KxRlFileCopy> &copies) {
    char digits[24];
    size_t pathWidth = 0, sizeWidth = 0, packedWidth = 0;
    for (const KxRlFileCopy &copy : copies) {
        pathWidth = std::max(pathWidth, copy.path.size());
        sizeWidth = std::max(sizeWidth, digitsOf(copy.size, digits));
        packedWidth = std::max(packedWidth, packedDigits(copy, digits));
    }
    // "<kind> <source path>", the kind padded to its longest name ("newdata", "content", "archive").
    PlaceTexts places([](const KxRlSourcePlace &place) {
        std::string text = kxrlSourceKindName(place.kind);
        text.resize(std::max<size_t>(text.size(), 7), ' ');
        text += ' ';
        appendConsoleSafe(text, place.path.data(), place.path.size());
        return text;
    });
    PlaceTexts winners([](const KxRlSourcePlace &place) {
        std::string text = std::string("  shadowed by ") + kxrlSourceKindName(place.kind) + ' ';
        appendConsoleSafe(text, place.path.data(), place.path.size());
        return text;
    });
    OutputBlocks output;
    std::string escaped;
    for (size_t i = 0; i < copies.size(); i++) {
        const KxRlFileCopy &copy = copies[i];
        // Escaping a field alone gives what escaping the whole line would: the padding and
        // figures are plain. Columns are aligned by the names' own lengths.
        const char *path = copy.path.data();
        size_t shown = copy.path.size();
        if (!isConsolePlain(path, shown)) {
            escaped.clear();
            appendConsoleSafe(escaped, path, shown);
            path = escaped.data();
            shown = escaped.size();
        }
        char size[24], packed[24];
        size_t sizeLength = digitsOf(copy.size, size), packedLength = packedDigits(copy, packed);
        const std::string &place = places.of(copy.place);
        const std::string *winner = copy.shadowed ? &winners.of(copies[copy.winner].place) : nullptr;
        size_t pathPadding = pathWidth - std::min(pathWidth, copy.path.size());
        char *line = output.room(shown + pathPadding + 2 + sizeWidth + 2 + packedWidth + 2 + place.size() +
                                 (winner ? winner->size() : 0) + 1);
        char *at = put(line, path, shown);
        at = putSpaces(at, pathPadding + 2 + sizeWidth - sizeLength);
        at = put(at, size, sizeLength);
        at = putSpaces(at, 2 + packedWidth - packedLength);
        at = put(at, packed, packedLength);
        at = putSpaces(at, 2);
        at = put(at, place.data(), place.size());
        if (winner) at = put(at, winner->data(), winner->size());
        *at++ = '\n';
        output.done(static_cast<size_t>(at - line));
    }
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

void printCopyDocument(const std::vector<KxRlFileCopy> &copies) {
    PlaceTexts places([](const KxRlSourcePlace &place) {
        std::string text = std::string("{\"kind\": \"") + kxrlSourceKindName(place.kind) + "\", \"path\": ";
        appendJsonString(text, place.path);
        return text + '}';
    });
    OutputBlocks output;
    output.append(std::string("{\"files\": ["));
    std::string line;
    char digits[24];
    for (size_t i = 0; i < copies.size(); i++) {
        const KxRlFileCopy &copy = copies[i];
        line = i == 0 ? "\n  {\"path\": " : ",\n  {\"path\": ";
        appendJsonString(line, copy.path);
        line += ", \"size\": ";
        line.append(digits, digitsOf(copy.size, digits));
        line += ", \"packed\": ";
        if (copy.packed < 0) line += "null";
        else line.append(digits, digitsOf(static_cast<uint64_t>(copy.packed), digits));
        line += ", \"source\": ";
        line += places.of(copy.place);
        line += copy.shadowed ? ", \"shadowed\": true, \"winner\": " : ", \"shadowed\": false, \"winner\": null";
        if (copy.shadowed) line += places.of(copies[copy.winner].place);
        line += '}';
        output.append(line);
    }
    output.append(std::string(copies.empty() ? "]}\n" : "\n]}\n"));
}

void printLines(const std::string &text) {
    OutputBlocks output;
    std::string line;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        line.clear();
        appendConsoleSafe(line, text.data() + start, end - start);
        line += '\n';
        output.append(line);
        start = end + 1;
    }
}
