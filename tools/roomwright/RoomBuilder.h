#ifndef KX_ROOMWRIGHT_ROOMBUILDER_H
#define KX_ROOMWRIGHT_ROOMBUILDER_H

// Turns the rooms of a run into one prop: for each room (built by a RoomBuild of its own) a
// wall surface (walls, floor, ceiling) with its cut-outs opened and their props placed, its
// dressing props placed, its pieces collected and its wall report printed; then the pieces of
// every room merged by material into one mesh group, added after the placed props, and the
// prop package written.

#include "KxDTransformList.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class KxDWallSurface;
class KxRlIniGroup;
class KxRlMeshFile;
class KxRlMeshGroup;
class KxRlMeshGroupRef;
class KxRlRebuiltProp;
class MeshOutputClass;
class MeshOutputListClass;
class PropDataClass;
class RoomDataClass;

// The transforms of a [prop] section, one step per key in the order the keys stand
// ("xtranslate", "xrotate" in degrees, "scale", "xscale" ... and their Y and Z forms,
// "rotate" as "zrotate"), then the translation to ("x", "y", "z"). Owned by the caller.
std::unique_ptr<KxDTransformList> transformFromIni(const KxRlIniGroup *section);

// Reads the MSH file of a prop named in a room (owned by the caller). Throws IOException when
// there is none or it cannot be read; `detail`, when given, then receives the sentence for the
// stderr line. loadPropMesh (through the content registry) is the one roomwright uses.
typedef KxRlMeshFile *(*PropMeshLoader)(const char *propName, std::string *detail);

class RoomBuilder {
public:
    // Rooms, prop name and category come from `propData`, which outlives the builder; the
    // props placed in the rooms are read through `loader`.
    explicit RoomBuilder(PropDataClass *propData, PropMeshLoader loader = nullptr);
    ~RoomBuilder();
    RoomBuilder(const RoomBuilder &) = delete;
    RoomBuilder &operator=(const RoomBuilder &) = delete;

    // Builds every room and writes the package. Everything is reported as it happens
    // (progress, wall reports, refused sections, missing props); ends with "Exported prop
    // %s!\n", or with "No prop exported!\n" when nothing at all could be made. Returns whether
    // the package was written.
    bool createProp();
    // Builds every room into one prop, reporting as createProp does, and returns it (owned by
    // the builder, valid until the builder goes or builds again); null, after "No prop
    // exported!\n", when nothing at all could be made.
    KxRlRebuiltProp *buildProp();

private:
    // Builds one room and places its props through placeProp.
    friend class RoomBuild;
    struct MergeSlot;

    // The package of the built prop under the run's prop name; false when it was not written
    // (reported).
    bool writePackage(KxRlRebuiltProp *prop);
    // One room: its walls, their pieces and report, and its props. When its outline cannot be
    // built (too many points for a mesh), the room is reported and nothing of it is kept
    // (neither pieces nor placed props); an outline that crosses itself loses only its floor
    // and ceiling (reportFloorProblem).
    void buildRoom(RoomDataClass *room);
    static void reportFloorProblem(const RoomDataClass *room, KxDWallSurface *surface);

    // A reference to every group of the prop's MSH, moved by `transform` and given the
    // section's light-map texture, into the rebuilt prop. False when the prop cannot be read
    // (reported as loadProp says).
    bool placeProp(const char *propName, const char *shownName, const char *roomFile, const KxRlIniGroup *section,
                   const KxDMatTransform *transform);
    // The loaded MSH of a prop, read once per run: through the loader, and when that finds no
    // mesh, beside the room file (loadPropBesideRoom). Null after reporting "%s (%s)\n" with
    // the exception's text and `shownName`, and on stderr the reason (for a prop found
    // nowhere, every place looked at).
    KxRlMeshFile *loadProp(const char *propName, const char *shownName, const char *roomFile);
    // The prop's MSH through the loader, else beside the room file, kept for the run. Throws
    // IOException when it cannot be read, or is found nowhere (`detail` then names every place
    // looked at).
    KxRlMeshFile *readProp(const char *propName, const char *roomFile, std::string *detail);
    // Stage 2 of every mesh of the reference, when the section has a "lightmap" key.
    static void setPropLightmap(KxRlMeshGroupRef *ref, const KxRlIniGroup *section);

    // The slot for a piece: the first whose material equals the piece's
    // and that is not kept apart and still has room for the piece's vertices; -1 for none
    // (and always for a piece kept apart).
    static int findMaterial(const MeshOutputClass *piece, const std::vector<MergeSlot> &slots);
    // The merged group of every room piece (owned by the caller).
    KxRlMeshGroup *optimizeMeshData();

    PropDataClass *propData;
    PropMeshLoader loader;
    // Build every piece with light-map co-ordinates: some room of the run has [lightmap].
    bool lightmapEverywhere = false;

    // Declared so that they go in the right order: the prop meshes last (references point
    // into them), the pieces after the merged group (its meshes use their materials).
    std::map<std::string, std::unique_ptr<KxRlMeshFile>> propMeshes;
    std::unique_ptr<MeshOutputListClass> meshOutputs;
    std::unique_ptr<KxRlMeshGroup> mergedGroup;
    std::unique_ptr<KxRlRebuiltProp> rebuiltProp;
};

#endif
