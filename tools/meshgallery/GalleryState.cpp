#include "GalleryState.h"

#include "IOException.h"
#include "RandomAccessFile.h"
#include "TextFileWriter.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

const char *const GalleryState::kFileName = "meshgallery.state";

namespace {

const char *const kHeader = "meshgallery state 1";

// Fields are separated by tabs; '%', tabs and line breaks inside a field become %XX.
std::string escapeField(const std::string &text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r' || c == 0) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string unescapeField(const std::string &text) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> splitTabs(const std::string &line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

std::string wholeFile(const std::string &path) {
    RandomAccessFile file(path.c_str(), "rb");
    int64_t length = file.getLength();
    if (length < 0 || length > (64 << 20)) throw IOException("State file is too large: " + path);
    std::string bytes(static_cast<size_t>(length), '\0');
    if (length > 0 && file.read(&bytes[0], bytes.size()) != bytes.size()) throw IOException("State file ends early");
    return bytes;
}

}  // namespace

bool GalleryState::read(const std::string &path, const std::string &settings) {
    byName.clear();
    std::string bytes;
    try {
        bytes = wholeFile(path);
    } catch (const IOException &) {
        return false;
    }
    std::istringstream lines(bytes);
    std::string line;
    std::vector<std::string> read;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        read.push_back(line);
    }
    if (read.size() < 3 || read[0] != kHeader || read[1] != "settings\t" + escapeField(settings) ||
        read.back() != "end")
        return false;
    std::map<std::string, GalleryStateEntry> found;
    for (size_t i = 2; i + 1 < read.size(); i++) {
        std::vector<std::string> fields = splitTabs(read[i]);
        if (fields.size() != 8 || fields[0] != "mesh") return false;
        GalleryStateEntry entry;
        entry.name = unescapeField(fields[1]);
        entry.stem = unescapeField(fields[2]);
        entry.sourceKind = unescapeField(fields[3]);
        entry.sourcePath = unescapeField(fields[4]);
        entry.filePath = unescapeField(fields[5]);
        entry.size = std::strtoull(fields[6].c_str(), nullptr, 10);
        entry.time = std::strtoll(fields[7].c_str(), nullptr, 10);
        found[entry.name] = entry;
    }
    byName.swap(found);
    return true;
}

void GalleryState::write(const std::string &path, const std::string &settings,
                         const std::vector<GalleryStateEntry> &entries) {
    TextFileWriter file;
    std::string reason;
    if (!file.open(path.c_str(), &reason)) throw IOException(reason);
    std::string text = std::string(kHeader) + "\nsettings\t" + escapeField(settings) + "\n";
    for (const GalleryStateEntry &e : entries)
        text += "mesh\t" + escapeField(e.name) + "\t" + escapeField(e.stem) + "\t" + escapeField(e.sourceKind) + "\t" +
                escapeField(e.sourcePath) + "\t" + escapeField(e.filePath) + "\t" + std::to_string(e.size) + "\t" +
                std::to_string(e.time) + "\n";
    text += "end\n";
    file.write(text.c_str(), text.size());
    file.close();
}

const GalleryStateEntry *GalleryState::find(const std::string &name) const {
    auto found = byName.find(name);
    return found == byName.end() ? nullptr : &found->second;
}
