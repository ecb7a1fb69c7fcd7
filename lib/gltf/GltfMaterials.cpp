#include "GltfMaterials.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

const char *const kGltfDdsExtension = "MSFT_texture_dds";
const char *const kGltfMaterialExtras = "reelmara";
const char *const kGltfExtrasTextures = "textures";
const char *const kGltfExtrasSettings = "settings";

namespace {

// Characters a URI path holds as they are (RFC 3986 unreserved, and the sub-delimiters that
// are harmless in a file name).
bool plainInUri(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::strchr("-._~!$&'()*+,;=@", c) != nullptr;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool sameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

}  // namespace

std::string gltfTextureUri(const char *name) {
    std::string uri;
    for (const char *p = name ? name : ""; *p; p++) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c != 0 && plainInUri(c)) {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

std::string gltfTextureNameOfUri(const std::string &uri) {
    std::string name;
    for (size_t i = 0; i < uri.size(); i++) {
        if (uri[i] == '%' && i + 2 < uri.size() && hexValue(uri[i + 1]) >= 0 && hexValue(uri[i + 2]) >= 0) {
            name += static_cast<char>(hexValue(uri[i + 1]) * 16 + hexValue(uri[i + 2]));
            i += 2;
        } else {
            name += uri[i];
        }
    }
    size_t cut = name.find_last_of("/\\");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

bool gltfIsDdsName(const std::string &name) {
    const std::string kDds = ".dds";
    return name.size() >= kDds.size() &&
           std::equal(kDds.begin(), kDds.end(), name.begin() + static_cast<std::ptrdiff_t>(name.size() - kDds.size()),
                      sameLetter);
}

std::string gltfDdsName(const std::string &name) {
    if (gltfIsDdsName(name)) return name;
    size_t dot = name.find_last_of('.');
    return (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + ".dds";
}

bool gltfSameTexture(const std::string &a, const std::string &b) {
    const std::string first = gltfDdsName(a), second = gltfDdsName(b);
    return first.size() == second.size() && std::equal(first.begin(), first.end(), second.begin(), sameLetter);
}

std::string gltfWithoutCopySuffix(const std::string &name) {
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || name.size() - dot < 4) return name;
    for (size_t i = dot + 1; i < name.size(); i++)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return name;
    return name.substr(0, dot);
}

std::string gltfSettingsText(const uint8_t *settings) {
    std::string text;
    char pair[3];
    for (int i = 0; i < kGltfSettingsSize; i++) {
        std::snprintf(pair, sizeof pair, "%02X", settings[i]);
        text += pair;
    }
    return text;
}

bool gltfSettingsFromText(const std::string &text, uint8_t *settings) {
    if (text.size() != 2 * static_cast<size_t>(kGltfSettingsSize)) return false;
    uint8_t bytes[kGltfSettingsSize];
    for (int i = 0; i < kGltfSettingsSize; i++) {
        int high = hexValue(text[2 * i]), low = hexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<uint8_t>(high * 16 + low);
    }
    std::memcpy(settings, bytes, sizeof bytes);
    return true;
}
