#include "PropMeshSearch.h"

#include "IOException.h"
#include "KxRlContentRegistry.h"
#include "KxRlIniFile.h"
#include "KxRlMeshFile.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "ToolFrame.h"

#include <cstring>
#include <memory>

const char *const kPropMeshNotFound = "Prop MSH file could not be found";

namespace {

const size_t kIniNameSize = 48;   // prop name + ".ini" and the terminator
const size_t kMeshNameSize = 64;  // mesh file name and the terminator

void setDetail(std::string *detail, const std::string &text) {
    if (detail) *detail = text;
}

// A source that has the file may still fail to hand it over (an archive entry that cannot be
// extracted): its text becomes the detail.
bool findContent(char *path, const std::string &name, const char *folder, std::string *detail) {
    KxRlContentRegistry *registry = getContentRegistry();
    if (!registry) throw IOException("The content registry is not set up");
    try {
        return registry->getContent(path, name.c_str(), folder, false);
    } catch (const IOException &e) {
        setDetail(detail, std::string(folder) + name + ": " + e.describe());
        throw;
    }
}

}  // namespace

void findPropMesh(const char *propName, char *path, std::string *detail) {
    const std::string name = propName ? propName : "";
    const std::string iniName = name + ".ini";
    if (iniName.size() >= kIniNameSize) {
        std::string text = "Prop name is too long: " + name + " (at most " + std::to_string(kIniNameSize - 5) +
                           " characters)";
        setDetail(detail, text);
        throw IOException(text);
    }

    std::string meshName;
    if (findContent(path, iniName, "data\\setdressing\\", detail)) {
        const std::string iniPath = platform::nativePath(path);
        std::unique_ptr<KxRlIniFile> ini;
        try {
            ini.reset(new KxRlIniFile(path));
        } catch (const IOException &e) {
            setDetail(detail, iniPath + ": " + e.getErrorString());
            throw;
        }
        const char *mesh = ini->getGroup(0)->getValue("mesh");
        if (!mesh || !*mesh) {
            setDetail(detail, "its set-dressing INI " + iniPath + " names no mesh (no \"mesh\" key before its sections)");
            throw IOException(kPropMeshNotFound);
        }
        meshName = mesh;
        if (!findContent(path, meshName, "data\\meshes\\", detail)) {
            setDetail(detail, "its set-dressing INI " + iniPath + " names the mesh " + meshName +
                                  ", which no source has in data\\meshes\\");
            throw IOException(kPropMeshNotFound);
        }
    } else {
        meshName = name + ".msh";
        if (meshName.size() >= kMeshNameSize) {
            std::string text = "Prop mesh file name is too long: " + meshName + " (at most " +
                               std::to_string(kMeshNameSize - 1) + " characters)";
            setDetail(detail, text);
            throw IOException(text);
        }
        if (!findContent(path, meshName, "data\\meshes\\", detail)) {
            setDetail(detail, "no source has data\\setdressing\\" + iniName + " or data\\meshes\\" + meshName);
            throw IOException(kPropMeshNotFound);
        }
    }
}

KxRlMeshFile *loadPropMesh(const char *propName, std::string *detail) {
    char path[KXRL_PATH_SIZE];
    findPropMesh(propName, path, detail);
    try {
        return KxRlMeshFile::CreateFromFile(path);
    } catch (const IOException &e) {
        setDetail(detail, platform::nativePath(path) + ": " + e.getErrorString());
        throw;
    }
}
