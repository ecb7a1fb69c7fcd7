#include "GltfFile.h"

#include "GltfSchema.h"
#include "IOException.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "TemporaryFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

const unsigned char kGlbMagic[4] = {'g', 'l', 'T', 'F'};

// The whole file at `path`, or false with the reason in `why`.
bool readWholeFile(const char *path, std::vector<unsigned char> *bytes, std::string *why) {
    if (platform::isDirectory(path)) {
        *why = "this is a folder, not a file";
        return false;
    }
    FILE *file = platform::openFile(path, "rb");
    if (!file) {
        *why = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    bool ok = false;
    int64_t size = -1;
    if (platform::seekFile(file, 0, SEEK_END) == 0) size = platform::tellFile(file);
    if (size < 0 || platform::seekFile(file, 0, SEEK_SET) != 0) {
        *why = "its size cannot be told (not a plain file)";
    } else if (static_cast<uint64_t>(size) > kGltfMaxFileSize) {
        *why = "the file has " + std::to_string(size) + " bytes; at most " + std::to_string(kGltfMaxFileSize) +
               " are read";
    } else {
        bytes->resize(static_cast<size_t>(size));
        ok = bytes->empty() || std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
        if (!ok) *why = std::string("cannot be read: ") + (std::ferror(file) ? std::strerror(errno) : "it ended early");
    }
    std::fclose(file);
    return ok;
}

// The folder part of `path` without its last separator ("" for a bare file name).
std::string folderOf(const std::string &path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// tinygltf looks for an external buffer in the model's folder and then in the current folder;
// only the model's folder counts here, so that a buffer missing beside the model is reported.
struct ResourceFolder {
    std::string folder;
    bool holds(const std::string &path) const {
        if (folder.empty()) return path.compare(0, 2, "./") != 0;
        return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
               path[folder.size()] == '/';
    }
};

bool resourceExists(const std::string &path, void *user) {
    if (!static_cast<const ResourceFolder *>(user)->holds(path) || platform::isDirectory(path.c_str())) return false;
    FILE *file = platform::openFile(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

std::string resourcePath(const std::string &path, void *) { return path; }

bool readResource(std::vector<unsigned char> *out, std::string *err, const std::string &path, void *) {
    std::string why;
    if (readWholeFile(path.c_str(), out, &why)) return true;
    if (err) *err += why;
    return false;
}

bool writeNoResource(std::string *err, const std::string &path, const std::vector<unsigned char> &, void *) {
    if (err) *err += "not written: " + path;
    return false;
}

// Texture pictures are not decoded; the model keeps their names.
bool skipImage(tinygltf::Image *, const int, std::string *, std::string *, int, int, const unsigned char *, int,
               void *) {
    return true;
}

// Stops the JSON parser as soon as arrays and objects nest deeper than kGltfMaxJsonDepth;
// everything else (broken JSON included) is left for tinygltf to report.
class DepthCheck : public nlohmann::json_sax<nlohmann::json> {
public:
    bool tooDeep = false;
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t &) override { return true; }
    bool string(string_t &) override { return true; }
    bool binary(binary_t &) override { return true; }
    bool start_object(std::size_t) override { return enter(); }
    bool key(string_t &) override { return true; }
    bool end_object() override { return leave(); }
    bool start_array(std::size_t) override { return enter(); }
    bool end_array() override { return leave(); }
    bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &) override { return false; }

private:
    bool enter() {
        tooDeep = ++depth > kGltfMaxJsonDepth;
        return !tooDeep;
    }
    bool leave() {
        depth--;
        return true;
    }
    int depth = 0;
};

void checkJsonDepth(const unsigned char *text, size_t length) {
    DepthCheck check;
    nlohmann::json::sax_parse(text, text + length, &check, nlohmann::json::input_format_t::json, false);
    if (check.tooDeep)
        throw IOException("JSON arrays and objects nest deeper than " + std::to_string(kGltfMaxJsonDepth) +
                          " levels");
}

// Where a GLB file's JSON text starts: after the file header and the chunk header.
const size_t kGlbTextStart = 20;

uint32_t littleEndian32(const unsigned char *p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void putLittleEndian32(unsigned char *p, uint32_t value) {
    for (int i = 0; i < 4; i++) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

// The model's JSON text checked before tinygltf reads it: a required extension this reader
// does not read is refused by name (tinygltf would stumble over the data it leaves out, with
// a text that does not say why), and values that break the schema are taken out of the text
// and listed in `removed`. Text that is no JSON at all is left for tinygltf to report.
void checkSchema(std::vector<unsigned char> *bytes, bool binary, size_t textStart, size_t textLength,
                 std::vector<std::string> *removed) {
    const unsigned char *text = bytes->data() + textStart;
    nlohmann::json document = nlohmann::json::parse(text, text + textLength, nullptr, false);
    if (document.is_discarded()) return;
    std::vector<std::string> unreadable = gltfUnreadableExtensions(document);
    if (!unreadable.empty()) {
        std::string names, hint = "export the model without it first";
        for (const std::string &name : unreadable) {
            names += (names.empty() ? "" : ", ") + name;
            if (name == "KHR_draco_mesh_compression" || name == "EXT_meshopt_compression")
                hint = "decompress the model first";
        }
        throw IOException("the model requires " + names + ", which propbridge does not read; " + hint);
    }
    std::vector<std::string> breaks = gltfRemoveSchemaBreaks(&document);
    if (breaks.empty()) return;
    if (removed) removed->insert(removed->end(), breaks.begin(), breaks.end());

    // The text again, without what was removed; in a GLB file padded with blanks to a multiple
    // of four bytes, as the format wants, with the file's length changed by as much.
    std::string cleaned = document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (!binary) {
        bytes->assign(cleaned.begin(), cleaned.end());
        return;
    }
    while (cleaned.size() % 4 != 0) cleaned += ' ';
    if (cleaned.size() > kGltfMaxFileSize) throw IOException("the JSON text grows too long when read");
    std::vector<unsigned char> rebuilt(bytes->begin(), bytes->begin() + textStart);
    uint32_t total = littleEndian32(&rebuilt[8]) - static_cast<uint32_t>(textLength) +
                     static_cast<uint32_t>(cleaned.size());
    putLittleEndian32(&rebuilt[8], total);
    putLittleEndian32(&rebuilt[12], static_cast<uint32_t>(cleaned.size()));
    rebuilt.insert(rebuilt.end(), cleaned.begin(), cleaned.end());
    rebuilt.insert(rebuilt.end(), bytes->begin() + static_cast<std::ptrdiff_t>(textStart + textLength), bytes->end());
    bytes->swap(rebuilt);
}

// tinygltf's error text on one line.
std::string oneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] == '\n') text.replace(i, 1, "; ");
    return text;
}

}  // namespace

void loadGltfModel(const char *path, tinygltf::Model *model, std::vector<std::string> *removed) {
    std::vector<unsigned char> bytes;
    std::string why;
    if (!readWholeFile(path, &bytes, &why)) throw IOException("glTF file " + why);
    if (bytes.empty()) throw IOException("the glTF file is empty");
    bool binary = bytes.size() >= 4 && std::memcmp(bytes.data(), kGlbMagic, 4) == 0;
    // Where the JSON text lies; in a GLB file the first chunk, after the 12-byte header and its
    // own 8-byte chunk header. A GLB file whose first chunk does not fit is left to tinygltf to
    // report.
    size_t textStart = 0, textLength = bytes.size();
    if (binary) {
        textStart = kGlbTextStart;
        textLength = bytes.size() >= kGlbTextStart ? littleEndian32(&bytes[12]) : bytes.size();
    }
    if (textLength <= bytes.size() - std::min(textStart, bytes.size())) {
        checkJsonDepth(bytes.data() + textStart, textLength);
        checkSchema(&bytes, binary, textStart, textLength, removed);
    }

    ResourceFolder folder{folderOf(path)};
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(skipImage, nullptr);
    loader.SetFsCallbacks({resourceExists, resourcePath, readResource, writeNoResource, &folder});
    std::string error, warning;
    bool loaded = false;
    try {
        unsigned int length = static_cast<unsigned int>(bytes.size());
        if (binary)
            loaded = loader.LoadBinaryFromMemory(model, &error, &warning, bytes.data(), length, folder.folder);
        else
            loaded = loader.LoadASCIIFromString(model, &error, &warning, reinterpret_cast<const char *>(bytes.data()),
                                                length, folder.folder);
    } catch (const std::exception &e) {
        error = e.what();
    }
    if (!loaded) throw IOException("not a valid glTF file: " + oneLine(error.empty() ? "unknown error" : error));
}

void saveGltfModel(tinygltf::Model *model, const char *basePath, bool binary) {
    const std::string base = basePath;
    const size_t cut = base.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? "" : base.substr(0, cut + 1);  // with its separator
    const std::string stem = base.substr(folder.size());
    // Written in a folder of this process first: the .gltf names its .bin by the final name.
    TemporaryFile folderInProgress(basePath, true);
    const std::string &temporary = folderInProgress.path();
    std::vector<std::string> names;
    if (binary) {
        names.push_back(stem + ".glb");
        if (!model->buffers.empty()) model->buffers[0].uri.clear();
    } else {
        if (!model->buffers.empty()) {
            names.push_back(stem + ".bin");
            model->buffers[0].uri = stem + ".bin";
        }
        names.push_back(stem + ".gltf");
    }
    for (const std::string &name : names) {
        std::string target = folder + name;
        if (target.size() >= KXRL_PATH_SIZE)
            throw IOException("Output path exceeds " + std::to_string(KXRL_PATH_SIZE - 1) + " characters: " + target);
        if (platform::isReadOnlyFile(target.c_str())) throw IOException(EACCES, "File could not be opened: " + target);
        if (platform::isDirectory(target.c_str()))
            throw IOException("A folder is in the way of the finished file: " + target);
    }

    if (int error = kxrlMakeFolders(temporary.c_str()))
        throw IOException(error, "Could not create the folder for the files being written: " + temporary);
    std::vector<std::unique_ptr<InterruptedRunCleanup>> inProgress;
    for (const std::string &name : names)
        inProgress.emplace_back(new InterruptedRunCleanup(temporary + "/" + name, false));
    std::string written = temporary + "/" + names.back();
    try {
        tinygltf::TinyGLTF writer;
        bool ok = false;
        try {
            ok = writer.WriteGltfSceneToFile(model, platform::libraryPath(written.c_str()), false, false, true, binary);
        } catch (const std::exception &e) {
            throw IOException("Could not write " + written + ": " + e.what());
        }
        if (!ok) throw IOException(errno, "File could not be opened: " + written);
        // tinygltf's Windows build creates its files without saying they may be written (at
        // random read-only); the finished files must be replaceable by the next export.
        for (const std::string &name : names) platform::makeWritable((temporary + "/" + name).c_str());
        // Whatever the disk did, the files are used only when they read back whole.
        tinygltf::Model check;
        try {
            loadGltfModel(written.c_str(), &check);
        } catch (const IOException &e) {
            throw IOException("The file written is not whole (" + std::string(e.getErrorString()) + "): " + written);
        }
        for (const std::string &name : names) {
            std::string from = temporary + "/" + name;
            std::string to = folder + name;
            if (!platform::renameFile(from.c_str(), to.c_str())) {
                const char *why = platform::isDirectory(to.c_str()) ? "A folder is in the way of the finished file: "
                                                                     : "Could not move the finished file into place: ";
                throw IOException(errno, why + to);
            }
        }
    } catch (...) {
        for (const std::string &name : names) platform::removeFile((temporary + "/" + name).c_str());
        platform::removeEmptyDirectory(temporary.c_str());
        throw;
    }
    platform::removeEmptyDirectory(temporary.c_str());
}
