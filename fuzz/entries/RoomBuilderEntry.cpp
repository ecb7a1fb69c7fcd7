// The room target: what roomwright does with a room INI file and its cut-out library.

#include "FuzzEntries.h"
#include "FuzzScratch.h"

#include "IOException.h"
#include "KxDMeshData.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlRebuiltProp.h"
#include "Platform.h"
#include "RoomBuilder.h"
#include "RoomData.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

namespace {

// The prop every room places: a door-sized quad standing on the origin along X, written once
// with the suite's own writer.
const std::string &builtInPropPath() {
    static const std::string path = [] {
        std::unique_ptr<KxDMeshData> quad(new KxDMeshData());
        quad->allocate(4, 2, false);
        const float corners[4][2] = {{-0.5f, 0.0f}, {0.5f, 0.0f}, {0.5f, 2.0f}, {-0.5f, 2.0f}};
        for (int i = 0; i < 4; i++) {
            _KxDTexVertex &v = quad->getVertexList()[i];
            v.position = {corners[i][0], 0.0f, corners[i][1]};
            v.normal = {0.0f, -1.0f, 0.0f};
            v.texture = {corners[i][0] + 0.5f, corners[i][1] / 2.0f};
        }
        const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
        std::memcpy(quad->getIndexList(), indices, sizeof indices);
        KxRlMeshBitmap texture("door.dds");
        KxRlMeshMaterial material(&texture);
        KxDMeshData *data = quad.get();
        std::unique_ptr<KxRlMeshGroup> group(KxRlMeshGroup::CreateFromData(&material, 1, &data));
        KxRlRebuiltProp prop;
        prop.addMeshGroupRef(new KxRlMeshGroupRef(group.get()));
        std::string file = scratchPath("p_door.msh");
        try {
            prop.exportMesh(file.c_str());
        } catch (const IOException &e) {
            fuzzFailure("the built-in prop cannot be written: " + e.describe());
        }
        return file;
    }();
    return path;
}

// Props named "p_..." are the built-in prop; any other name is not found.
KxRlMeshFile *loadBuiltInProp(const char *propName, std::string *detail) {
    if (std::strncmp(propName, "p_", 2) != 0) {
        if (detail) *detail = "the fuzz target knows only props named p_...";
        throw IOException("Prop MSH file could not be found");
    }
    return KxRlMeshFile::CreateFromFile(builtInPropPath().c_str());
}

// The transform options of roomwright's command line, applied to the room as it applies them.
void applyOptions(const std::string &words, KxDTransformList *transforms) {
    std::istringstream in(words);
    std::string option;
    auto number = [&in](float *value) {
        std::string word;
        if (!(in >> word)) return false;
        char *end = nullptr;
        *value = std::strtof(word.c_str(), &end);
        return end != word.c_str() && std::isfinite(*value);
    };
    float a, b, c;
    while (in >> option) {
        if (option == "-c" && number(&a) && number(&b) && number(&c)) transforms->addTranslation(a, b, c);
        else if (option == "-s" && number(&a)) transforms->addScaling(a);
        else if (option == "-sx" && number(&a)) transforms->addScaling(a, 1, 1);
        else if (option == "-sy" && number(&a)) transforms->addScaling(1, a, 1);
        else if (option == "-sz" && number(&a)) transforms->addScaling(1, 1, a);
        else if (option == "-rx" && number(&a)) transforms->addRotation(KXD_AXIS_X, roomRadians(a));
        else if (option == "-ry" && number(&a)) transforms->addRotation(KXD_AXIS_Y, roomRadians(a));
        else if (option == "-rz" && number(&a)) transforms->addRotation(KXD_AXIS_Z, roomRadians(a));
    }
}

// Runs with the scratch room folder as the current folder, where "lib.ini" is found.
class InRoomFolder {
public:
    explicit InRoomFolder(const std::string &folder) {
        if (!platform::getCurrentDirectory(previous, sizeof previous)) previous[0] = 0;
        if (!platform::changeDirectory(folder.c_str())) fuzzFailure("cannot change to " + folder);
    }
    ~InRoomFolder() {
        if (previous[0]) platform::changeDirectory(previous);
    }
    InRoomFolder(const InRoomFolder &) = delete;
    InRoomFolder &operator=(const InRoomFolder &) = delete;

private:
    char previous[4096];
};

}  // namespace

int fuzzRoomBuilder(const uint8_t *data, size_t size) {
    const std::string input(reinterpret_cast<const char *>(data), size);
    size_t roomEnd = input.find('\0');
    size_t libraryEnd = roomEnd == std::string::npos ? std::string::npos : input.find('\0', roomEnd + 1);
    const std::string room = input.substr(0, roomEnd);
    const std::string library =
        roomEnd == std::string::npos ? std::string() : input.substr(roomEnd + 1, libraryEnd - roomEnd - 1);
    const std::string options = libraryEnd == std::string::npos ? std::string() : input.substr(libraryEnd + 1);

    const std::string propPath = builtInPropPath();
    const std::string folder = emptyScratchFolder("room");
    writeScratchFile("room/room.ini", reinterpret_cast<const uint8_t *>(room.data()), room.size());
    writeScratchFile("room/lib.ini", reinterpret_cast<const uint8_t *>(library.data()), library.size());
    InRoomFolder inFolder(folder);

    PropDataClass rooms;
    rooms.addRoomData("room.ini");
    applyOptions(options, rooms.getLastRoom()->getTransforms());
    RoomBuilder builder(&rooms, loadBuiltInProp);
    KxRlRebuiltProp *prop = builder.buildProp();
    if (!prop) return 0;
    const int groups = prop->getMeshGroupRefCount();
    try {
        prop->exportMesh("room.msh");
    } catch (const IOException &) {
        return 0;  // more textures than a file can name
    }
    std::unique_ptr<KxRlMeshFile> back;
    try {
        back.reset(KxRlMeshFile::CreateFromFile("room.msh"));
    } catch (const IOException &e) {
        fuzzFailure("the room prop does not read back: " + e.describe());
    }
    if (back->getMeshGroupCount() != groups)
        fuzzFailure("the room prop has " + std::to_string(back->getMeshGroupCount()) + " groups instead of " +
                    std::to_string(groups));
    // Every normal the room's walls, floors and props get is a direction, whatever the room's
    // scaling: one of another length was not a number before it was written.
    for (int g = 0; g < back->getMeshGroupCount(); g++) {
        for (int m = 0; m < back->getMeshCount(g); m++) {
            const KxRlMesh *mesh = back->getMesh(g, m);
            for (int v = 0; v < mesh->getVertexCount(); v++) {
                const _KxDVector3D &n = mesh->getVertexList()[v].normal;
                float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
                if (!(std::fabs(length - 1.0f) < 1e-3f))
                    fuzzFailure("vertex " + std::to_string(v) + " of mesh " + std::to_string(m) + " of group " +
                                std::to_string(g) + " has a normal of length " + std::to_string(length));
            }
        }
    }
    return 0;
}
