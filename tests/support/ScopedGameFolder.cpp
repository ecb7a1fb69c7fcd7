#include "ScopedGameFolder.h"

#include "KxRlUtil.h"

#include <filesystem>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

namespace {
const char *const kGameKey = "Software\\Brassnook Studios Ltd\\Reelmara";
const char *const kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Writes `value` ("" removes it) under HKEY_CURRENT_USER\key.
void storeValue(const char *key, const char *name, bool present, const std::string &value) {
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error(std::string("cannot open the registry key ") + key);
    if (present)
        RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    else
        RegDeleteValueA(handle, name);
    RegCloseKey(handle);
}
}  // namespace

void ScopedGameFolder::setValue(const char *key, const char *name, const std::string &value) {
    SavedValue before{key, name, false, std::string()};
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) == ERROR_SUCCESS) {
        char buffer[1024];
        DWORD type = 0, length = sizeof buffer;
        if (RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &length) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            before.hadValue = true;
            before.previous.assign(buffer, length > 0 && buffer[length - 1] == 0 ? length - 1 : length);
        }
        RegCloseKey(handle);
    }
    saved.push_back(before);
    storeValue(key, name, !value.empty(), value);
}

ScopedGameFolder::ScopedGameFolder(const std::string &gameFolder, const std::string &documentsFolder) {
    setValue(kGameKey, "GameDir", gameFolder);
    if (!documentsFolder.empty()) setValue(kShellFoldersKey, "Personal", documentsFolder);
    kxrlForgetGamePath();
}

ScopedGameFolder::~ScopedGameFolder() {
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
        try {
            storeValue(it->key, it->name, it->hadValue, it->previous);
        } catch (const std::exception &) {
            // The key could not be opened again; nothing to restore there.
        }
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

ScopedGameFolder::ScopedGameFolder(const std::string &gameFolder, const std::string &documentsFolder) {
    std::string contents = "[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\n";
    if (!gameFolder.empty()) contents += "\"GameDir\"=\"" + doubledBackslashes(gameFolder) + "\"\n";
    if (!documentsFolder.empty())
        contents += "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
                    "\"Personal\"=\"" + doubledBackslashes(documentsFolder) + "\"\n";
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
