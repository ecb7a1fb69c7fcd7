#include "RoomBuilder.h"

#include "ContentDiagnostics.h"
#include "IOException.h"
#include "KxDMeshData.h"
#include "KxRlIniFile.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlRebuiltProp.h"
#include "MeshOutput.h"
#include "PropMeshSearch.h"
#include "PropPackage.h"
#include "RoomBuild.h"
#include "RoomData.h"
#include "RoomFiles.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

#include <cstdio>
#include <cstring>

// One mesh of the merged group: a material, the pieces glued for it, their vertex count.
struct RoomBuilder::MergeSlot {
    KxRlMeshMaterial *material;
    std::unique_ptr<KxDMeshBinder> binder;
    bool keepApart;
    int vertexCount;
};

// ---------------------------------------------------------------------------------------
// transformFromIni

std::unique_ptr<KxDTransformList> transformFromIni(const KxRlIniGroup *section) {
    std::unique_ptr<KxDTransformList> list(new KxDTransformList());
    for (int i = 0; i < section->getPropertyCount(); i++) {
        const char *key = section->getPropertyName(i);
        const KxRlIniProperty *p = section->getProperty(i);
        if (std::strcmp(key, "xtranslate") == 0) list->addTranslation(p->getFloatValue(0), 0, 0);
        else if (std::strcmp(key, "ytranslate") == 0) list->addTranslation(0, p->getFloatValue(0), 0);
        else if (std::strcmp(key, "ztranslate") == 0) list->addTranslation(0, 0, p->getFloatValue(0));
        else if (std::strcmp(key, "xrotate") == 0) list->addRotation(KXD_AXIS_X, roomRadians(p->getFloatValue(0)));
        else if (std::strcmp(key, "yrotate") == 0) list->addRotation(KXD_AXIS_Y, roomRadians(p->getFloatValue(0)));
        else if (std::strcmp(key, "zrotate") == 0 || std::strcmp(key, "rotate") == 0)
            list->addRotation(KXD_AXIS_Z, roomRadians(p->getFloatValue(0)));
        else if (std::strcmp(key, "scale") == 0) list->addScaling(p->getFloatValue(1));
        else if (std::strcmp(key, "xscale") == 0) list->addScaling(p->getFloatValue(1), 1, 1);
        else if (std::strcmp(key, "yscale") == 0) list->addScaling(1, p->getFloatValue(1), 1);
        else if (std::strcmp(key, "zscale") == 0) list->addScaling(1, 1, p->getFloatValue(1));
    }
    list->addTranslation(section->getFloatValue("x", 0), section->getFloatValue("y", 0),
                         section->getFloatValue("z", 0));
    return list;
}

// ---------------------------------------------------------------------------------------
// RoomBuilder: the run

RoomBuilder::RoomBuilder(PropDataClass *data, PropMeshLoader propLoader)
    : propData(data), loader(propLoader ? propLoader : loadPropMesh) {}

RoomBuilder::~RoomBuilder() = default;

KxRlRebuiltProp *RoomBuilder::buildProp() {
    rebuiltProp.reset(new KxRlRebuiltProp());
    mergedGroup.reset();
    meshOutputs.reset(new MeshOutputListClass());
    // Pieces of rooms with and without [lightmap] end up in the same meshes, so either all
    // carry light-map co-ordinates or none does.
    lightmapEverywhere = false;
    for (int r = 0; r < propData->getRoomCount(); r++)
        if (propData->getRoom(r)->getLightmap()) lightmapEverywhere = true;

    for (int r = 0; r < propData->getRoomCount(); r++) buildRoom(propData->getRoom(r));

    if (meshOutputs->getLength() > 0) {
        mergedGroup.reset(optimizeMeshData());
        rebuiltProp->addMeshGroupRef(new KxRlMeshGroupRef(mergedGroup.get()));
    }
    if (rebuiltProp->getMeshGroupRefCount() == 0) {
        toolError("No prop exported!\n");
        toolDiagnostic(propData->getRoomCount() > 0 ? propData->getRoom(0)->getFileName() : "roomwright",
                       "no room piece and no prop could be made; nothing written");
        return nullptr;
    }
    return rebuiltProp.get();
}

bool RoomBuilder::createProp() {
    KxRlRebuiltProp *prop = buildProp();
    bool written = prop && writePackage(prop);
    rebuiltProp.reset();
    mergedGroup.reset();
    meshOutputs.reset();
    return written;
}

bool RoomBuilder::writePackage(KxRlRebuiltProp *prop) {
    const char *name = propData->getName();
    if (!*name) {
        const std::string text = "Prop name made from the room INI file name is too long; give one with -propname";
        toolError("%s (%s)\n", text.c_str(), propData->getRefusedName());
        toolDiagnostic(propData->getRefusedName(), "the name has more than %d characters after \"p_\"; nothing written",
                       static_cast<int>(PropDataClass::kMaxDerivedNameLength));
        return false;
    }
    try {
        exportProp(prop, name, propData->getCategory());
    } catch (const IOException &e) {
        toolError("%s (%s)\n", e.getErrorString(), name);
        return false;
    }
    toolMessage("Exported prop %s!\n", name);
    return true;
}

void RoomBuilder::buildRoom(RoomDataClass *room) {
    if (!room->getIniFile()) {
        toolError("Error loading room INI file %s : %s\n", room->getFileName(), room->getErrorText());
        toolDiagnostic(room->getFileName(), "room INI file: %s; the room is left out", room->getErrorText());
        return;
    }
    toolMessage("Processing room INI file %s...\n", room->getFileName());
    const int refsBefore = rebuiltProp->getMeshGroupRefCount();
    RoomBuild build(*this, room);
    try {
        build.buildWalls();
        if (build.getWallSurface()->getWallCoordCount() < 2) {
            toolMessage("Warning in room INI file %s : There are fewer than two [wall] sections!\n",
                        room->getFileName());
        } else {
            meshOutputs->addWallPiece(room, build.getWallSurface(), lightmapEverywhere);
            reportFloorProblem(room, build.getWallSurface());
            build.printWallReport();
        }
    } catch (const IOException &e) {
        toolError("Error in room INI file %s : %s\n", room->getFileName(), e.getErrorString());
        toolDiagnostic(room->getFileName(), "%s; the room is left out", e.getErrorString());
        // The props of its cut-outs go with it.
        while (rebuiltProp->getMeshGroupRefCount() > refsBefore)
            delete rebuiltProp->removeMeshGroupRef(rebuiltProp->getMeshGroupRefCount() - 1);
        return;
    }
    build.addDressing();
}

// The floor and ceiling asked for that an outline crossing itself cannot have: the room keeps
// its walls, its props and its wall report.
void RoomBuilder::reportFloorProblem(const RoomDataClass *room, KxDWallSurface *surface) {
    const std::string &problem = surface->getFloorProblem();
    if (problem.empty()) return;
    const bool floor = surface->getHasFloor(), ceiling = surface->getHasCeiling();
    const char *missing = floor && ceiling ? "floor and ceiling" : (floor ? "floor" : "ceiling");
    toolError("Error in room INI file %s : %s; the room is built without its %s\n", room->getFileName(),
              problem.c_str(), missing);
    toolDiagnostic(room->getFileName(), "%s; the walls, the props and the wall report are kept, the %s left out",
                   problem.c_str(), floor && ceiling ? "floor and ceiling are" : (floor ? "floor is" : "ceiling is"));
}

// ---------------------------------------------------------------------------------------
// Props

bool RoomBuilder::placeProp(const char *propName, const char *shownName, const char *roomFile,
                            const KxRlIniGroup *section, const KxDMatTransform *transform) {
    KxRlMeshFile *file = loadProp(propName, shownName, roomFile);
    if (!file) return false;
    for (int g = 0; g < file->getMeshGroupCount(); g++) {
        std::unique_ptr<KxRlMeshGroupRef> ref(new KxRlMeshGroupRef(file->getMeshGroup(g)));
        setPropLightmap(ref.get(), section);
        ref->addTransform(transform);
        rebuiltProp->addMeshGroupRef(ref.release());
    }
    return true;
}

namespace {

// A prop found beside one room file is not the prop of that name beside another.
std::string besideKey(const char *propName, const char *roomFile) {
    return std::string(propName) + '\0' + std::string(roomFile, fileNameOf(roomFile));
}

}  // namespace

KxRlMeshFile *RoomBuilder::loadProp(const char *propName, const char *shownName, const char *roomFile) {
    for (const std::string &key : {std::string(propName), besideKey(propName, roomFile)}) {
        auto loaded = propMeshes.find(key);
        if (loaded != propMeshes.end()) return loaded->second.get();
    }
    std::string detail;
    try {
        return readProp(propName, roomFile, &detail);
    } catch (const IOException &e) {
        toolError("%s (%s)\n", e.getErrorString(), shownName);
        toolDiagnostic(propName, "%s", detail.empty() ? e.getErrorString() : detail.c_str());
        return nullptr;
    }
}

KxRlMeshFile *RoomBuilder::readProp(const char *propName, const char *roomFile, std::string *detail) {
    try {
        KxRlMeshFile *file = loader(propName, detail);
        propMeshes[propName].reset(file);
        return file;
    } catch (const IOException &e) {
        if (std::strcmp(e.getErrorString(), kPropMeshNotFound) != 0) throw;
        std::string searched = detail->empty() ? e.getErrorString() : *detail, places;
        if (KxRlMeshFile *file = loadPropBesideRoom(roomFile, propName, &places, detail)) {
            propMeshes[besideKey(propName, roomFile)].reset(file);
            return file;
        }
        if (KxRlContentRegistry *registry = getContentRegistry())
            searched += " (" + describeSearchedSources(registry) + ")";
        *detail = searched + "; " + places;
        throw;
    }
}

void RoomBuilder::setPropLightmap(KxRlMeshGroupRef *ref, const KxRlIniGroup *section) {
    const char *name = section->getValue("lightmap");
    if (!name) return;
    for (int m = 0; m < ref->getMeshCount(); m++) ref->setBitmap(m, STAGE_LIGHTMAP, name);
}

// ---------------------------------------------------------------------------------------
// Merging the room pieces

int RoomBuilder::findMaterial(const MeshOutputClass *piece, const std::vector<MergeSlot> &slots) {
    if (piece->getKeepApart()) return -1;
    const int vertices = piece->getMeshData()->getVertexCount();
    for (size_t i = 0; i < slots.size(); i++) {
        const MergeSlot &slot = slots[i];
        // A reflective floor keeps its mesh to itself; a full mesh takes no more pieces.
        if (slot.keepApart || slot.vertexCount > KXD_MAX_MESH_VERTICES - vertices) continue;
        if (slot.material->equals(piece->getMaterial())) return static_cast<int>(i);
    }
    return -1;
}

KxRlMeshGroup *RoomBuilder::optimizeMeshData() {
    std::vector<MergeSlot> slots;
    for (int i = 0; i < meshOutputs->getLength(); i++) {
        MeshOutputClass *piece = meshOutputs->getMesh(i);
        int index = findMaterial(piece, slots);
        if (index < 0) {
            slots.push_back(MergeSlot{piece->getMaterial(), std::unique_ptr<KxDMeshBinder>(new KxDMeshBinder()),
                                      piece->getKeepApart(), 0});
            index = static_cast<int>(slots.size()) - 1;
        }
        slots[static_cast<size_t>(index)].binder->addMeshData(piece->getMeshData());
        slots[static_cast<size_t>(index)].vertexCount += piece->getMeshData()->getVertexCount();
        piece->getMeshData()->transform(piece->getTransform());
    }

    std::vector<std::unique_ptr<KxDMeshData>> merged;
    std::vector<KxDMeshData *> data;
    std::vector<KxRlMeshMaterial *> materials;
    for (MergeSlot &slot : slots) {
        merged.emplace_back(slot.binder->getMeshData(0, lightmapEverywhere));
        data.push_back(merged.back().get());
        materials.push_back(slot.material);
    }
    KxRlMeshGroup *group = KxRlMeshGroup::CreateFromData(static_cast<int>(slots.size()), materials.data(), data.data());
    for (size_t i = 0; i < slots.size(); i++)
        if (slots[i].keepApart) group->getMesh(static_cast<int>(i))->getMeshFlags()[0] |= KXRL_MESHFLAG0_REFLECTIVE;
    return group;
}
