#ifndef KX_PROPCARVER_OPERATIONS_H
#define KX_PROPCARVER_OPERATIONS_H

// What propcarver's options do to the selection: the group references with their meshes,
// transforms, clip regions and textures, the prop-level settings, and the material and flag
// bytes of the loaded input. Nothing touches vertices: the MSH writer applies the settings
// when the package is written at the end.

#include "CarverOptions.h"
#include "KxDClipRegion.h"
#include "KxRlRebuiltProp.h"
#include "PropRun.h"

#include <memory>
#include <string>

class KxDTransformList;
class KxRlMesh;
class KxRlMeshGroupRef;
class KxRlMeshTraversal;
class OptionArguments;

class Carver {
public:
    Carver();
    ~Carver();
    Carver(const Carver &) = delete;
    Carver &operator=(const Carver &) = delete;

    bool hasGroup() const { return currentGroup != nullptr; }
    bool hasMesh() const { return currentMesh >= 0; }

    // A word outside any option: the input mesh, then the prop name, then out of place.
    void takePositional(const char *word) { input.takePositional(word); }

    // -g: closes the current group; none is current until a group number comes. Throws
    // IOException when no input mesh is loaded yet.
    void startGroups();
    // A group number after -g: closes the current group and opens the numbered one with no
    // mesh on. An invalid number is warned about and leaves the current group current.
    void takeGroupNumber(const char *word);
    // -m: no mesh is current until a mesh number comes. Throws IOException without an input
    // mesh or a current group.
    void startMeshes();
    // A mesh number after -m: switches that mesh of the current group on and makes it current.
    void takeMeshNumber(const char *word);
    // Adds the current group to the prop once, with every mesh on when no -m chose some.
    void closeGroup();

    // -bones: the input's skeleton goes into the prop, moved by the prop transforms (also by
    // those given later). Throws IOException when no input mesh is loaded yet.
    void keepBones();
    // -aon, -aoff, -rfon, -rfoff on the current mesh.
    void actNow(const CarverOption &option);
    // An option that has all its words: checked, then carried out or refused with its message.
    void apply(const CarverOption &option, const OptionArguments &arguments);

    // -v and -cv: each vertex number keeps the object that holds it (its bounding box becomes
    // a clip region of the current mesh); -cv also grows the centring box over the objects.
    void beginObjects(const CarverOption &option);
    void takeObjectVertex(const CarverOption &option, const char *word);
    // Ends an open -cv: centres the prop on the objects at this point of the prop transforms.
    void finishCentring();

    // The end of the run: closes the group and any centring, pushes the prop-level settings
    // onto every group and writes the package (or prints the help, or nothing after a
    // missing value).
    void finish();

private:
    KxRlMesh *currentMeshOfFile() const;
    // The transform list that a -c, -s or -r option of that level changes.
    KxDTransformList *transformsAt(CarverLevel level);
    // "prop", "mesh group 2", "mesh 1 (in mesh group 2)" for the messages.
    std::string subjectAt(CarverLevel level) const;
    void applyReplaceTexture(const CarverOption &option, const OptionArguments &arguments);
    void applyTransform(const CarverOption &option, const OptionArguments &arguments);
    void applyClip(const CarverOption &option, const OptionArguments &arguments);
    void applyTexAnimation(const OptionArguments &arguments);

    // The input mesh goes last: everything below points into it.
    PropInput input;
    PropLevelSettings settings;
    KxRlRebuiltProp prop;
    std::unique_ptr<KxRlMeshGroupRef> unclosedGroup;  // the current group until it is closed
    KxRlMeshGroupRef *currentGroup;
    int groupIndex;
    bool meshesChosen;
    int currentMesh;
    int category;

    std::unique_ptr<KxRlMeshTraversal> objectTraversal;
    const KxRlMesh *objectTraversalMesh;  // the mesh objectTraversal was made for
    bool centring;                        // a -cv is open
    int centringWords;                    // vertex words given to it
    KxDClipRegion3D centringBox;          // the objects it chose so far
};

#endif
