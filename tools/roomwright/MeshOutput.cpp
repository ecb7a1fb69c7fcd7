#include "MeshOutput.h"

#include "KxDWallSurface.h"
#include "KxRlIniFile.h"
#include "RoomData.h"

#include <string>

namespace {

// Material record bytes that a room's [texture] section sets.
constexpr int kAlphaByte = 7;
constexpr int kAlphaToolByte = 8;
constexpr int kScrollXByte = 20;
constexpr int kScrollYByte = 21;
constexpr int kRotateByte = 22;

void setAlpha(KxRlMeshMaterial *material, const KxRlIniGroup *texture, const std::string &prefix) {
    if (!texture->getBoolValue((prefix + "alpha").c_str(), false)) return;
    material->getRawData()[kAlphaByte] = 1;
    material->getRawData()[kAlphaToolByte] = 1;
}

void setScroll(KxRlMeshMaterial *material, int recordByte, const KxRlIniGroup *texture, const std::string &key) {
    int v = texture->getIntValue(key.c_str(), 0);
    material->getRawData()[recordByte] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// MeshOutputClass

MeshOutputClass::MeshOutputClass(const KxDMatTransform *t) : transform(), keepApart(false) {
    if (t) transform.multiply(t);
}

void MeshOutputClass::setMaterial(std::unique_ptr<KxRlMeshBitmap> given[4]) {
    for (int s = 0; s < 4; s++) bitmaps[s] = std::move(given[s]);
    material.reset(new KxRlMeshMaterial(bitmaps[0].get(), bitmaps[1].get(), bitmaps[2].get(), bitmaps[3].get()));
}

// ---------------------------------------------------------------------------------------
// MeshOutputListClass

void MeshOutputListClass::addWallPiece(RoomDataClass *room, KxDWallSurface *surface, bool lightmap) {
    const KxRlIniGroup *texture = room->getTexture(), *lightmapSection = room->getLightmap();
    const KxDMatTransform *transform = room->getTransforms()->getFinalTransform();
    std::vector<std::unique_ptr<MeshOutputClass>> made;
    for (int m = 0; m < surface->getMeshCount(); m++) {
        std::unique_ptr<MeshOutputClass> piece(new MeshOutputClass(transform));
        switch (surface->getMeshKind(m)) {
        case KXD_MESH_WALL:
            createMaterial(piece.get(), "wall", texture, lightmapSection, "wall_ph00.dds");
            break;
        case KXD_MESH_FLOOR:
            createMaterial(piece.get(), "floor", texture, lightmapSection, "floor_tilesbluegrey_er01.dds");
            if (texture) piece->setKeepApart(texture->getBoolValue("reflection", false));
            break;
        case KXD_MESH_CEILING:
            createMaterial(piece.get(), "ceiling", texture, lightmapSection, "ceil_ph00.dds");
            break;
        }
        piece->setMeshData(surface->getMeshData(m, lightmap));
        made.push_back(std::move(piece));
    }
    for (std::unique_ptr<MeshOutputClass> &piece : made) pieces.push_back(std::move(piece));
}

void MeshOutputListClass::createMaterial(MeshOutputClass *piece, const char *prefix, const KxRlIniGroup *texture,
                                         const KxRlIniGroup *lightmap, const char *defaultTexture) {
    std::unique_ptr<KxRlMeshBitmap> bitmaps[4];
    bitmaps[STAGE_DIFFUSE].reset(createBitmap(prefix, nullptr, texture, defaultTexture));
    bitmaps[STAGE_REFLECTIVE].reset(createBitmap(prefix, "reflective", texture, nullptr));
    bitmaps[STAGE_SPECULAR].reset(createBitmap(prefix, "specular", texture, nullptr));
    bitmaps[STAGE_LIGHTMAP].reset(createBitmap("lightmap", nullptr, lightmap, lightmap ? "lm_generic.dds" : nullptr));
    piece->setMaterial(bitmaps);
    setMatFlags(piece->getMaterial(), texture, prefix);
}

KxRlMeshBitmap *MeshOutputListClass::createBitmap(const char *prefix, const char *suffix, const KxRlIniGroup *section,
                                                  const char *defaultName) {
    std::string key = std::string(prefix) + (suffix ? suffix : "");
    const char *name = defaultName;
    if (section && section->getValue(key.c_str())) name = section->getValue(key.c_str());
    return name ? new KxRlMeshBitmap(name) : nullptr;
}

void MeshOutputListClass::setMatFlags(KxRlMeshMaterial *material, const KxRlIniGroup *texture, const char *prefix) {
    if (!texture) return;
    const std::string p = prefix;
    setAlpha(material, texture, p);
    setScroll(material, kScrollXByte, texture, p + "xscroll");
    setScroll(material, kScrollYByte, texture, p + "yscroll");
    setScroll(material, kRotateByte, texture, p + "rotate");
}
