#include "RoomBuilder.h"

#include "Cutouts.h"
#include "IOException.h"
#include "KxDMeshData.h"
#include "KxDWallSurface.h"
#include "KxRlIniFile.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlRebuiltProp.h"
#include "MeshOutput.h"
#include "PropMeshSearch.h"
#include "PropPackage.h"
#include "RoomData.h"
#include "ToolFrame.h"
#include "WallReport.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// A room's outline never holds more points than one mesh can hold vertices: beyond that no
// wall, floor or ceiling could be made of it anyway.
constexpr int kMaxWallCoords = KXD_MAX_MESH_VERTICES;

bool isNamed(const KxRlIniGroup *group, const char *name) { return std::strcmp(group->getName(), name) == 0; }

}  // namespace

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
    : propData(data), loader(propLoader ? propLoader : loadPropMesh), lastX(kCutoutUnset), lastY(kCutoutUnset) {}

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
    std::printf("Exported prop %s!\n", name);
    return true;
}

void RoomBuilder::buildRoom(RoomDataClass *room) {
    currentRoom = room;
    currentIni = room->getIniFile();
    if (!currentIni) {
        toolError("Error loading room INI file %s : %s\n", room->getFileName(), room->getErrorText());
        toolDiagnostic(room->getFileName(), "room INI file: %s; the room is left out", room->getErrorText());
        return;
    }
    std::printf("Processing room INI file %s...\n", room->getFileName());
    const int refsBefore = rebuiltProp->getMeshGroupRefCount();
    try {
        cutouts.reset(new CutoutListClass(room));
        wallReport.reset(new WallReportClass());
        createWallSurface();
        if (wallSurface->getWallCoordCount() < 2) {
            std::printf("Warning in room INI file %s : There are fewer than two [wall] sections!\n",
                        room->getFileName());
        } else {
            meshOutputs->addWallPiece(room, wallSurface.get(), lightmapEverywhere);
            wallReport->printReport(wallSurface.get());
        }
    } catch (const IOException &e) {
        toolError("Error in room INI file %s : %s\n", room->getFileName(), e.getErrorString());
        toolDiagnostic(room->getFileName(), "%s; the room is left out", e.getErrorString());
        // The props of its cut-outs go with it.
        while (rebuiltProp->getMeshGroupRefCount() > refsBefore)
            delete rebuiltProp->removeMeshGroupRef(rebuiltProp->getMeshGroupRefCount() - 1);
        wallSurface.reset();
        wallReport.reset();
        cutouts.reset();
        return;
    }
    addDressing();
    wallSurface.reset();
    wallReport.reset();
    cutouts.reset();
}

// ---------------------------------------------------------------------------------------
// The wall surface of the current room

void RoomBuilder::createWallSurface() {
    wallSurface.reset(new KxDWallSurface(3.0f, true, true));
    if (currentRoom->getGlobal()) initWallSurface(currentRoom->getGlobal());
    if (currentRoom->getLightmap()) initLightmap(currentRoom->getLightmap());
    initTexTiling(true);
    initTexTiling(false);
    lastX = lastY = kCutoutUnset;
    int number = 0;
    for (int g = 0; g < currentIni->getGroupCount(); g++) {
        const KxRlIniGroup *section = currentIni->getGroup(g);
        if (isNamed(section, "wall")) addWallSection(section, ++number);
    }
    if (wallSurface->getAttachFinalWall()) wallReport->addFinalWall();
}

void RoomBuilder::initWallSurface(const KxRlIniGroup *global) {
    wallSurface->setHeight(global->getFloatValue("height", 3.0f));
    wallSurface->setHasFloor(global->getBoolValue("floor", true));
    wallSurface->setHasCeiling(global->getBoolValue("ceiling", true));
    wallSurface->setIsInterior(global->getBoolValue("interior", true));
    wallSurface->setAttachFinalWall(global->getBoolValue("connect", true));
}

void RoomBuilder::initLightmap(const KxRlIniGroup *lightmap) {
    float x = lightmap->getFloatValue("xoffset", 0), y = lightmap->getFloatValue("yoffset", 0);
    wallSurface->setLmCoords(x, x + lightmap->getFloatValue("xsize", 1), y, y + lightmap->getFloatValue("ysize", 1));
}

void RoomBuilder::initTexTiling(bool wall) {
    const KxRlIniGroup *section = wall ? currentRoom->getWallTiling() : currentRoom->getFloorTiling();
    if (!section) return;  // the surface's own tiling: one repeat every 3 units
    KxDTexTiling *tiling = wall ? wallSurface->getWallTiling() : wallSurface->getFloorTiling();
    float h = wallSurface->getHeight();
    tiling->setOffset(section->getFloatValue("xoffset", 0), section->getFloatValue("yoffset", 0));
    tiling->setReverse(section->getBoolValue("xreverse", false), section->getBoolValue("yreverse", false));
    tiling->setWrap(section->getFloatValue("xwrap", h), section->getFloatValue("ywrap", h));
}

bool RoomBuilder::addWallSection(const KxRlIniGroup *wall, int number) {
    const char *file = currentRoom->getFileName();
    if (wall->getPropertyIndex("x") < 0 || wall->getPropertyIndex("y") < 0) {
        toolError("Error in [wall] section : Missing X or Y co-ordinate value!\n");
        toolDiagnostic(file, "[wall] section %d has no \"x\" or no \"y\"; it is left out", number);
        return false;
    }
    const char *name = wall->getValue("cutout");
    if (!name) {
        addWallCoord(wall);
        return true;
    }
    if (lastX == kCutoutUnset) {
        toolError("Error in [wall] section : First wall cannot be a cutout!\n");
        toolDiagnostic(file, "[wall] section %d places cut-out %s before any wall point; it is left out", number, name);
        return false;
    }
    const CutoutClass *cutout = cutouts->getCutout(name);
    if (!cutout) {
        toolError("Error in [wall] section : No cutout named %s exists!\n", name);
        toolDiagnostic(file, "[wall] section %d: no cut-out library of the room defines %s; it is left out", number,
                       name);
        return false;
    }
    if (cutout->getCoordCount() == 0) {
        toolError("Error in [wall] section : Cutout %s has no coordinate information!\n", name);
        toolDiagnostic(file, "[wall] section %d: cut-out %s has no \"x\", \"bottom\" or \"top\"; it is left out",
                       number, name);
        return false;
    }
    // The cut-out runs along the wall from the previous point to its anchor: without that
    // stretch it has no direction.
    if (wall->getFloatValue("x", 0) == lastX && wall->getFloatValue("y", 0) == lastY) {
        toolError("Error in [wall] section : Cutout %s is placed on the previous wall point!\n", name);
        toolDiagnostic(file, "[wall] section %d: cut-out %s at (%g, %g) gives no wall direction; it is left out",
                       number, name, lastX, lastY);
        return false;
    }
    addWallCutout(wall, cutout);
    return true;
}

void RoomBuilder::reserveWallCoords(int more) const {
    if (wallSurface->getWallCoordCount() > kMaxWallCoords - more)
        throw IOException("The outline has more than " + std::to_string(kMaxWallCoords) + " wall co-ordinates");
}

void RoomBuilder::addWallCoord(const KxRlIniGroup *wall) {
    reserveWallCoords(1);
    float x = wall->getFloatValue("x", 0), y = wall->getFloatValue("y", 0);
    wallSurface->addWallCoord(x, y, wall->getFloatValue("bottom", 0), wall->getFloatValue("top", 0));
    wallSurface->setWallExclusion(wallSurface->getWallCoordCount() - 1, wall->getBoolValue("exclude-bottom", false),
                                  wall->getBoolValue("exclude-top", false));
    wallReport->addWall(x, y);
    lastX = x;
    lastY = y;
}

void RoomBuilder::addWallCutout(const KxRlIniGroup *wall, const CutoutClass *cutout) {
    const int count = cutout->getCoordCount();
    reserveWallCoords(count);
    float x = wall->getFloatValue("x", 0), y = wall->getFloatValue("y", 0), base = wall->getFloatValue("bottom", 0);
    float scale = wall->getFloatValue("scale", 1);
    bool flip = wall->getBoolValue("flip", false);
    _KxDVector2D d;
    kxdVecSet(&d, x - lastX, y - lastY);
    kxdVecNormalize(&d);
    float s = flip ? -scale : scale;

    float px = x, py = y;
    for (int k = 0; k < count; k++) {
        const CutoutCoordClass &c = cutout->getCoord(flip ? count - 1 - k : k);
        px = x + c.x * s * d.x;
        py = y + c.x * s * d.y;
        bool fullWall = c.bottom == 0.0f && c.top == 0.0f;
        wallSurface->addWallCoord(px, py, fullWall ? 0.0f : base + c.bottom * scale,
                                  fullWall ? 0.0f : base + c.top * scale);
    }
    if (wall->getBoolValue("useprop", true)) placeCutoutProp(wall, cutout, d.x, d.y);
    wallReport->addCutout(cutout, x, y, scale, flip);
    lastX = px;
    lastY = py;
}

void RoomBuilder::placeCutoutProp(const KxRlIniGroup *wall, const CutoutClass *cutout, float dx, float dy) {
    const char *name = wall->getValue("prop") ? wall->getValue("prop") : cutout->getProp();
    KxRlMeshFile *file = loadProp(name, cutout->getProp());
    if (!file) return;  // reported; the opening stays
    float x = wall->getFloatValue("x", 0), y = wall->getFloatValue("y", 0), base = wall->getFloatValue("bottom", 0);
    bool flip = wall->getBoolValue("flip", false);

    // Modelled with X along the wall, the prop is turned to face the room's inside (or, for
    // an exterior, the outside) and put on the anchor.
    float wallAngle;
    if (dx == 0.0f)
        wallAngle = dy < 0.0f ? -1.5707964f : 1.5707964f;
    else
        wallAngle = std::atan(dy / dx) + (dx < 0.0f ? static_cast<float>(kRoomPi) : 0.0f);
    if (!wallSurface->getIsInterior()) wallAngle += static_cast<float>(kRoomPi);

    KxDTransformList place;
    place.addRotation(KXD_AXIS_Z, static_cast<float>(cutout->getRotate() / 180.0 * kRoomPi + (flip ? kRoomPi : 0.0)));
    place.addTranslation(-cutout->getXCenter(), -cutout->getYCenter(), 0);
    place.addScaling(wall->getFloatValue("scale", 1));
    place.addRotation(KXD_AXIS_Z, wallAngle);
    place.addTranslation(x, y, base);
    place.addTransform(currentRoom->getTransforms()->getFinalTransform());
    placeGroups(file, wall, place.getFinalTransform());
}

// ---------------------------------------------------------------------------------------
// Props

void RoomBuilder::addDressing() {
    for (int g = 0; g < currentIni->getGroupCount(); g++) {
        const KxRlIniGroup *section = currentIni->getGroup(g);
        if (!isNamed(section, "prop")) continue;
        const char *name = section->getValue("prop");
        if (!name) {
            toolError("Error in [prop] section : The name of the prop must be specified!\n");
            toolDiagnostic(currentRoom->getFileName(), "a [prop] section has no \"prop\" key; it is left out");
            continue;
        }
        KxRlMeshFile *file = loadProp(name, name);
        if (!file) continue;
        std::unique_ptr<KxDTransformList> list = transformFromIni(section);
        list->addTransform(currentRoom->getTransforms()->getFinalTransform());
        placeGroups(file, section, list->getFinalTransform());
    }
}

void RoomBuilder::placeGroups(KxRlMeshFile *file, const KxRlIniGroup *section, const KxDMatTransform *transform) {
    for (int g = 0; g < file->getMeshGroupCount(); g++) {
        std::unique_ptr<KxRlMeshGroupRef> ref(new KxRlMeshGroupRef(file->getMeshGroup(g)));
        setPropLightmap(ref.get(), section);
        ref->addTransform(transform);
        rebuiltProp->addMeshGroupRef(ref.release());
    }
}

KxRlMeshFile *RoomBuilder::loadProp(const char *propName, const char *shownName) {
    auto loaded = propMeshes.find(propName);
    if (loaded != propMeshes.end()) return loaded->second.get();
    std::string detail;
    try {
        KxRlMeshFile *file = loader(propName, &detail);
        propMeshes[propName].reset(file);
        return file;
    } catch (const IOException &e) {
        toolError("%s (%s)\n", e.getErrorString(), shownName);
        toolDiagnostic(propName, "%s", detail.empty() ? e.getErrorString() : detail.c_str());
        return nullptr;
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
