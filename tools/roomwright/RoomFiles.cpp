#include "RoomFiles.h"

#include "IOException.h"
#include "KxRlContentRegistry.h"
#include "KxRlIniFile.h"
#include "KxRlMeshFile.h"
#include "KxRlUtil.h"
#include "PropMeshSearch.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

#include <memory>

namespace {

// The room file's folder with its separator ("" for a room file in the current folder).
std::string folderOf(const char *roomFile) { return std::string(roomFile, fileNameOf(roomFile)); }

KxRlMeshFile *readMesh(const std::string &path, std::string *detail) {
    try {
        return KxRlMeshFile::CreateFromFile(path.c_str());
    } catch (const IOException &e) {
        *detail = path + ": " + e.getErrorString();
        throw;
    }
}

// The MSH file that the prop INI at `iniPath` names: beside it, then in data\meshes\ of the
// content registry.
KxRlMeshFile *loadNamedMesh(const std::string &folder, const std::string &iniPath, std::string *detail) {
    std::unique_ptr<KxRlIniFile> ini;
    try {
        ini.reset(new KxRlIniFile(iniPath.c_str()));
    } catch (const IOException &e) {
        *detail = iniPath + ": " + e.getErrorString();
        throw;
    }
    const char *mesh = ini->getGroupCount() > 0 ? ini->getGroup(0)->getValue("mesh") : nullptr;
    if (!mesh || !*mesh) {
        *detail = "its prop INI " + iniPath + " beside the room file names no mesh (no \"mesh\" key before its sections)";
        throw IOException(kPropMeshNotFound);
    }
    const std::string meshName = mesh;
    if (kxrlFileExists((folder + meshName).c_str())) return readMesh(folder + meshName, detail);
    char found[KXRL_PATH_SIZE];
    KxRlContentRegistry *registry = getContentRegistry();
    if (registry && registry->getContent(found, meshName.c_str(), "data\\meshes\\", false))
        return readMesh(found, detail);
    *detail = "its prop INI " + iniPath + " beside the room file names the mesh " + meshName +
              ", which is neither beside it nor in data\\meshes\\ of any source";
    throw IOException(kPropMeshNotFound);
}

}  // namespace

std::vector<std::string> besideRoomFile(const char *roomFile, const char *name) {
    std::vector<std::string> places = {name};
    const std::string folder = folderOf(roomFile);
    if (!folder.empty() && !isAbsolutePath(name)) places.push_back(folder + name);
    return places;
}

std::string describePlaces(const std::vector<std::string> &places) {
    std::string text = places[0] + " (from the current folder)";
    if (places.size() > 1) text += " and " + places[1] + " (beside the room file)";
    return text;
}

KxRlMeshFile *loadPropBesideRoom(const char *roomFile, const char *propName, std::string *places,
                                 std::string *detail) {
    const std::string folder = folderOf(roomFile), ini = folder + propName + ".ini",
                      mesh = folder + propName + ".msh";
    *places = "neither " + ini + " nor " + mesh + " lies beside the room file";
    if (kxrlFileExists(ini.c_str())) return loadNamedMesh(folder, ini, detail);
    if (kxrlFileExists(mesh.c_str())) return readMesh(mesh, detail);
    return nullptr;
}
