#include "ScopedGameFolder.h"

#include "KxRlUtil.h"

#include <filesystem>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

namespace {
const char *const kGameKey = "Software\\Brassnook Studios Ltd\\Reelmara";
}

ScopedGameFolder::ScopedGameFolder(const std::string &gameFolder) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kGameKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot open the game's registry key");
    char buffer[1024];
    DWORD type = 0, length = sizeof buffer;
    if (RegQueryValueExA(key, "GameDir", nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &length) == ERROR_SUCCESS &&
        type == REG_SZ) {
        hadValue = true;
        previous.assign(buffer, length > 0 && buffer[length - 1] == 0 ? length - 1 : length);
    }
    if (gameFolder.empty())
        RegDeleteValueA(key, "GameDir");
    else
        RegSetValueExA(key, "GameDir", 0, REG_SZ, reinterpret_cast<const BYTE *>(gameFolder.c_str()),
                       static_cast<DWORD>(gameFolder.size() + 1));
    RegCloseKey(key);
    kxrlForgetGamePath();
}

ScopedGameFolder::~ScopedGameFolder() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kGameKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        if (hadValue)
            RegSetValueExA(key, "GameDir", 0, REG_SZ, reinterpret_cast<const BYTE *>(previous.c_str()),
                           static_cast<DWORD>(previous.size() + 1));
        else
            RegDeleteValueA(key, "GameDir");
        RegCloseKey(key);
    }
    kxrlForgetGamePath();
}

#else

namespace {
std::string doubledBackslashes(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}
}  // namespace

ScopedGameFolder::ScopedGameFolder(const std::string &gameFolder) {
    std::string contents = "[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\n";
    if (!gameFolder.empty()) contents += "\"GameDir\"=\"" + doubledBackslashes(gameFolder) + "\"\n";
    std::string path = registryFolder.write("reelmara.reg", contents);
    registryFile.reset(new ScopedEnv("REELMARA_REGISTRY", path.c_str()));
    kxrlForgetGamePath();
}

ScopedGameFolder::~ScopedGameFolder() {
    registryFile.reset();
    kxrlForgetGamePath();
}

#endif

ScopedCurrentFolder::ScopedCurrentFolder(const std::string &folder)
    : previous(std::filesystem::current_path().string()) {
    std::filesystem::current_path(folder);
}

ScopedCurrentFolder::~ScopedCurrentFolder() {
    std::error_code error;
    std::filesystem::current_path(previous, error);
}
