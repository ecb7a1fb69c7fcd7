#include "RoomBuild.h"

#include "IOException.h"
#include "KxDTransformList.h"
#include "KxRlIniFile.h"
#include "RoomBuilder.h"
#include "RoomData.h"
#include "ToolFrame.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

// A room's outline never holds more points than one mesh can hold vertices: beyond that no
// wall, floor or ceiling could be made of it anyway.
constexpr int kMaxWallCoords = KXD_MAX_MESH_VERTICES;

bool isNamed(const KxRlIniGroup *group, const char *name) { return std::strcmp(group->getName(), name) == 0; }

}  // namespace

RoomBuild::RoomBuild(RoomBuilder &runBuilder, RoomDataClass *roomData)
    : builder(runBuilder), room(roomData), ini(roomData->getIniFile()), cutouts(roomData),
      wallSurface(3.0f, true, true) {}

// ---------------------------------------------------------------------------------------
// The wall surface

void RoomBuild::buildWalls() {
    if (room->getGlobal()) initWallSurface(room->getGlobal());
    if (room->getLightmap()) initLightmap(room->getLightmap());
    initTexTiling(true);
    initTexTiling(false);
    int number = 0;
    for (int g = 0; g < ini->getGroupCount(); g++) {
        const KxRlIniGroup *section = ini->getGroup(g);
        if (isNamed(section, "wall")) addWallSection(section, ++number);
    }
    if (wallSurface.getAttachFinalWall()) wallReport.addFinalWall();
}

void RoomBuild::initWallSurface(const KxRlIniGroup *global) {
    float height = global->getFloatValue("height", 3.0f);
    // Walls of no height (or upside down) make no room: the room is left out.
    if (!(height > 0.0f)) {
        char shown[32];
        std::snprintf(shown, sizeof shown, "%g", height);
        throw IOException(std::string("The wall height (") + shown + ") must be above 0");
    }
    wallSurface.setHeight(height);
    wallSurface.setHasFloor(global->getBoolValue("floor", true));
    wallSurface.setHasCeiling(global->getBoolValue("ceiling", true));
    wallSurface.setIsInterior(global->getBoolValue("interior", true));
    wallSurface.setAttachFinalWall(global->getBoolValue("connect", true));
}

void RoomBuild::initLightmap(const KxRlIniGroup *lightmap) {
    float x = lightmap->getFloatValue("xoffset", 0), y = lightmap->getFloatValue("yoffset", 0);
    wallSurface.setLmCoords(x, x + lightmap->getFloatValue("xsize", 1), y, y + lightmap->getFloatValue("ysize", 1));
}

void RoomBuild::initTexTiling(bool wall) {
    const KxRlIniGroup *section = wall ? room->getWallTiling() : room->getFloorTiling();
    if (!section) return;  // the surface's own tiling: one repeat every 3 units
    KxDTexTiling *tiling = wall ? wallSurface.getWallTiling() : wallSurface.getFloorTiling();
    float h = wallSurface.getHeight();
    tiling->setOffset(section->getFloatValue("xoffset", 0), section->getFloatValue("yoffset", 0));
    tiling->setReverse(section->getBoolValue("xreverse", false), section->getBoolValue("yreverse", false));
    tiling->setWrap(section->getFloatValue("xwrap", h), section->getFloatValue("ywrap", h));
}

bool RoomBuild::addWallSection(const KxRlIniGroup *wall, int number) {
    const char *file = room->getFileName();
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
    if (!previous) {
        toolError("Error in [wall] section : First wall cannot be a cutout!\n");
        toolDiagnostic(file, "[wall] section %d places cut-out %s before any wall point; it is left out", number, name);
        return false;
    }
    const CutoutClass *cutout = cutouts.getCutout(name);
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
    if (wall->getFloatValue("x", 0) == previous->x && wall->getFloatValue("y", 0) == previous->y) {
        toolError("Error in [wall] section : Cutout %s is placed on the previous wall point!\n", name);
        toolDiagnostic(file, "[wall] section %d: cut-out %s at (%g, %g) gives no wall direction; it is left out",
                       number, name, previous->x, previous->y);
        return false;
    }
    addWallCutout(wall, cutout, *previous);
    return true;
}

void RoomBuild::reserveWallCoords(int more) const {
    if (wallSurface.getWallCoordCount() > kMaxWallCoords - more)
        throw IOException("The outline has more than " + std::to_string(kMaxWallCoords) + " wall co-ordinates");
}

void RoomBuild::addWallCoord(const KxRlIniGroup *wall) {
    reserveWallCoords(1);
    float x = wall->getFloatValue("x", 0), y = wall->getFloatValue("y", 0);
    wallSurface.addWallCoord(x, y, wall->getFloatValue("bottom", 0), wall->getFloatValue("top", 0));
    wallSurface.setWallExclusion(wallSurface.getWallCoordCount() - 1, wall->getBoolValue("exclude-bottom", false),
                                 wall->getBoolValue("exclude-top", false));
    wallReport.addWall(x, y);
    previous = WallPoint{x, y};
}

void RoomBuild::addWallCutout(const KxRlIniGroup *wall, const CutoutClass *cutout, WallPoint from) {
    const int count = cutout->getCoordCount();
    reserveWallCoords(count);
    float x = wall->getFloatValue("x", 0), y = wall->getFloatValue("y", 0), base = wall->getFloatValue("bottom", 0);
    float scale = wall->getFloatValue("scale", 1);
    bool flip = wall->getBoolValue("flip", false);
    _KxDVector2D d;
    kxdVecSet(&d, x - from.x, y - from.y);
    kxdVecNormalize(&d);
    float s = flip ? -scale : scale;

    float px = x, py = y;
    for (int k = 0; k < count; k++) {
        const CutoutCoordClass &c = cutout->getCoord(flip ? count - 1 - k : k);
        px = x + c.x * s * d.x;
        py = y + c.x * s * d.y;
        bool fullWall = c.bottom == 0.0f && c.top == 0.0f;
        wallSurface.addWallCoord(px, py, fullWall ? 0.0f : base + c.bottom * scale,
                                 fullWall ? 0.0f : base + c.top * scale);
    }
    if (wall->getBoolValue("useprop", true)) placeCutoutProp(wall, cutout, d.x, d.y);
    wallReport.addCutout(cutout, x, y, scale, flip);
    previous = WallPoint{px, py};
}

void RoomBuild::placeCutoutProp(const KxRlIniGroup *wall, const CutoutClass *cutout, float dx, float dy) {
    const char *name = wall->getValue("prop") ? wall->getValue("prop") : cutout->getProp();
    float x = wall->getFloatValue("x", 0), y = wall->getFloatValue("y", 0), base = wall->getFloatValue("bottom", 0);
    bool flip = wall->getBoolValue("flip", false);

    // Modelled with X along the wall, the prop is turned to face the room's inside (or, for
    // an exterior, the outside) and put on the anchor.
    float wallAngle;
    if (dx == 0.0f)
        wallAngle = dy < 0.0f ? -1.5707964f : 1.5707964f;
    else
        wallAngle = std::atan(dy / dx) + (dx < 0.0f ? static_cast<float>(kRoomPi) : 0.0f);
    if (!wallSurface.getIsInterior()) wallAngle += static_cast<float>(kRoomPi);

    KxDTransformList place;
    place.addRotation(KXD_AXIS_Z, static_cast<float>(cutout->getRotate() / 180.0 * kRoomPi + (flip ? kRoomPi : 0.0)));
    place.addTranslation(-cutout->getXCenter(), -cutout->getYCenter(), 0);
    place.addScaling(wall->getFloatValue("scale", 1));
    place.addRotation(KXD_AXIS_Z, wallAngle);
    place.addTranslation(x, y, base);
    place.addTransform(room->getTransforms()->getFinalTransform());
    // A prop that cannot be read is reported; the opening stays.
    builder.placeProp(name, cutout->getProp(), room->getFileName(), wall, place.getFinalTransform());
}

// ---------------------------------------------------------------------------------------
// The room's own props

void RoomBuild::addDressing() {
    for (int g = 0; g < ini->getGroupCount(); g++) {
        const KxRlIniGroup *section = ini->getGroup(g);
        if (!isNamed(section, "prop")) continue;
        const char *name = section->getValue("prop");
        if (!name) {
            toolError("Error in [prop] section : The name of the prop must be specified!\n");
            toolDiagnostic(room->getFileName(), "a [prop] section has no \"prop\" key; it is left out");
            continue;
        }
        std::unique_ptr<KxDTransformList> list = transformFromIni(section);
        list->addTransform(room->getTransforms()->getFinalTransform());
        builder.placeProp(name, name, room->getFileName(), section, list->getFinalTransform());
    }
}
