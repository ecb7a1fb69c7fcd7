#ifndef KX_ROOMWRIGHT_MESHOUTPUT_H
#define KX_ROOMWRIGHT_MESHOUTPUT_H

// The room pieces of a run: one wall, one floor and one ceiling piece per room, each with its
// own material made from the room's [texture] and [lightmap] sections, its geometry and the
// room's transform. The builder later merges pieces of equal materials into single meshes.

#include "KxDMatTransform.h"
#include "KxDMeshData.h"
#include "KxRlMeshMaterial.h"

#include <memory>
#include <vector>

class KxDWallSurface;
class KxRlIniGroup;
class RoomDataClass;

// Texture stages of a material.
enum MaterialStage { STAGE_DIFFUSE = 0, STAGE_REFLECTIVE = 1, STAGE_LIGHTMAP = 2, STAGE_SPECULAR = 3 };

// One piece. Owns its material with the material's bitmaps, its mesh data and its transform.
class MeshOutputClass {
public:
    // A copy of `t`, or the identity when `t` is null; keep apart off.
    explicit MeshOutputClass(const KxDMatTransform *t);
    MeshOutputClass(const MeshOutputClass &) = delete;
    MeshOutputClass &operator=(const MeshOutputClass &) = delete;

    KxRlMeshMaterial *getMaterial() const { return material.get(); }
    KxDMeshData *getMeshData() const { return meshData.get(); }
    const KxDMatTransform *getTransform() const { return &transform; }
    // Never merged with another piece: a reflective floor.
    bool getKeepApart() const { return keepApart; }
    void setKeepApart(bool b) { keepApart = b; }

    // Takes the four bitmaps (each may be null) and makes the material from them.
    void setMaterial(std::unique_ptr<KxRlMeshBitmap> bitmaps[4]);
    void setMeshData(KxDMeshData *data) { meshData.reset(data); }

private:
    std::unique_ptr<KxRlMeshBitmap> bitmaps[4];
    std::unique_ptr<KxRlMeshMaterial> material;
    std::unique_ptr<KxDMeshData> meshData;
    KxDMatTransform transform;
    bool keepApart;
};

class MeshOutputListClass {
public:
    MeshOutputListClass() = default;
    MeshOutputListClass(const MeshOutputListClass &) = delete;
    MeshOutputListClass &operator=(const MeshOutputListClass &) = delete;

    int getLength() const { return static_cast<int>(pieces.size()); }
    MeshOutputClass *getMesh(int i) const { return pieces[static_cast<size_t>(i)].get(); }

    // Appends the room's wall piece, then its floor and ceiling pieces when the surface has
    // them, all in the room's frame with a copy of its final transform. With `lightmap` the
    // geometry carries light-map co-ordinates. An outline that crosses itself has no floor or
    // ceiling mesh (the surface's getFloorProblem says why): only its wall piece is made. All
    // or nothing: when a mesh cannot be made (the surface's IOException, for a mesh too large)
    // nothing is appended and the exception passes on.
    void addWallPiece(RoomDataClass *room, KxDWallSurface *surface, bool lightmap);

    // The material of one surface: diffuse `prefix` (or `defaultTexture`), reflective and
    // specular from prefix + "reflective" / "specular", the light-map texture of [lightmap];
    // then the alpha and animation bytes of [texture].
    static void createMaterial(MeshOutputClass *piece, const char *prefix, const KxRlIniGroup *texture,
                               const KxRlIniGroup *lightmap, const char *defaultTexture);
    // The bitmap named by prefix + suffix in `section`, else `defaultName`; null for neither.
    static KxRlMeshBitmap *createBitmap(const char *prefix, const char *suffix, const KxRlIniGroup *section,
                                        const char *defaultName);
    static void setMatFlags(KxRlMeshMaterial *material, const KxRlIniGroup *texture, const char *prefix);

private:
    std::vector<std::unique_ptr<MeshOutputClass>> pieces;
};

#endif
