#include "CarverOperations.h"

#include "IOException.h"
#include "KxDTransformList.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshTraversal.h"
#include "PropOptions.h"
#include "ToolFrame.h"
#include "ToolOptions.h"

#include <cstdio>
#include <cstring>

namespace {

// A run-stopping error of an option that needs what the command line has not given yet.
[[noreturn]] void outOfPlace(const char *option, const char *message, const char *reason) {
    toolDiagnostic(option, "%s", reason);
    throw IOException(message);
}

}  // namespace

Carver::Carver()
    : currentGroup(nullptr), groupIndex(-1), meshesChosen(false), currentMesh(-1), category(9),
      objectTraversalMesh(nullptr), centring(false), centringWords(0) {}

Carver::~Carver() = default;

// ---------------------------------------------------------------------------------------
// Groups and meshes

void Carver::startGroups() {
    if (!input.getMeshFile())
        outOfPlace("-g", "\"-g\" option out of place; no input mesh file has been given yet!",
                   "group numbers need the input mesh: name it before -g");
    closeGroup();
    currentGroup = nullptr;
    groupIndex = -1;
    currentMesh = -1;
}

void Carver::takeGroupNumber(const char *word) {
    closeGroup();
    KxRlMeshFile *file = input.getMeshFile();
    int number = resOptionValue(word);
    if (number < 0 || number >= file->getMeshGroupCount()) {
        toolMessage("Warning : group number (%s) is invalid; entry will be ignored\n", word);
        return;
    }
    unclosedGroup.reset(new KxRlMeshGroupRef(file, number));
    unclosedGroup->activateAllMeshes(false);
    currentGroup = unclosedGroup.get();
    groupIndex = number;
    meshesChosen = false;
    currentMesh = -1;
}

void Carver::startMeshes() {
    if (!input.getMeshFile())
        outOfPlace("-m", "\"-m\" option out of place; no input mesh file has been given yet!",
                   "mesh numbers need the input mesh and a group: name the mesh, then -g");
    if (!currentGroup)
        outOfPlace("-m", "\"-m\" option out of place; no mesh group has been specified yet!",
                   "mesh numbers belong to a group: give -g and a group number before -m");
    currentMesh = -1;
}

void Carver::takeMeshNumber(const char *word) {
    int number = resOptionValue(word);
    if (number < 0 || number >= currentGroup->getMeshCount()) {
        toolMessage("Warning : mesh number (%s) is invalid; entry will be ignored\n", word);
        return;
    }
    currentGroup->activateMesh(number, true);
    currentMesh = number;
    meshesChosen = true;
}

void Carver::closeGroup() {
    if (!unclosedGroup) return;
    if (!meshesChosen) unclosedGroup->activateAllMeshes(true);
    prop.addMeshGroupRef(unclosedGroup.release());
}

KxRlMesh *Carver::currentMeshOfFile() const { return currentGroup->getMeshGroup()->getMesh(currentMesh); }

// ---------------------------------------------------------------------------------------
// Options that act at once

void Carver::keepBones() { settings.keepBones(input, &prop); }

void Carver::actNow(const CarverOption &option) {
    KxRlMesh *mesh = currentMeshOfFile();
    if (option.action == ACTION_REFLECTIVE) {
        // Only the reflective-floor bit: the others announce sections of the mesh record.
        uint8_t *flags = mesh->getMeshFlags();
        flags[0] = static_cast<uint8_t>(option.on ? flags[0] | KXRL_MESHFLAG0_REFLECTIVE
                                                  : flags[0] & ~KXRL_MESHFLAG0_REFLECTIVE);
    } else if (mesh->getMaterial()) {
        uint8_t *raw = mesh->getMaterial()->getRawData();
        raw[7] = raw[8] = option.on ? 1 : 0;
    }
}

// ---------------------------------------------------------------------------------------
// Options with words

void Carver::apply(const CarverOption &option, const OptionArguments &arguments) {
    const char *word = arguments.getWord(0);
    switch (option.action) {
    case ACTION_NEWDATA:
    case ACTION_WORKDATA:
        applyGlobalOption(globalOptionOf(option.name), word);
        break;
    case ACTION_CATEGORY:
        readCategory(word, &category);
        break;
    case ACTION_GROUP_NAME:
        if (std::strlen(word) >= KXRL_MESH_NAME_FIELD) {
            toolError("Error with -n option : group name (%s) exceeds 31 characters\n", word);
            reportNameTooLong(option.name, word);
        } else {
            currentGroup->setGroupName(word);
        }
        break;
    case ACTION_REPLACE_TEXTURE:
        applyReplaceTexture(option, arguments);
        break;
    case ACTION_CENTRE:
    case ACTION_SCALE:
    case ACTION_ROTATE:
        applyTransform(option, arguments);
        break;
    case ACTION_CLIP:
        applyClip(option, arguments);
        break;
    case ACTION_TEXTURE:
        if (!textureNameFits(word)) {
            toolError("Error with -t%d option : texture name (%s) exceeds 31 characters\n", option.axis, word);
            reportNameTooLong(option.name, word);
        } else {
            currentGroup->setBitmap(currentMesh, option.axis, textureNameOf(word));
        }
        break;
    case ACTION_TEX_TRANSLATE: {
        const char *bad = "";
        if (!arguments.allFloats(&bad)) {
            toolError("Error with -tt option : Invalid number: texture co-ordinates for mesh %d (in mesh group %d) "
                      "will not be translated\n", currentMesh, groupIndex);
            reportBadNumber(option.name, bad);
        } else {
            currentGroup->setTexTranslation(currentMesh, arguments.getFloat(0), arguments.getFloat(1));
        }
        break;
    }
    case ACTION_TEX_ANIMATE:
        applyTexAnimation(arguments);
        break;
    default:  // the options that act at once, -g, -m, -v and -cv never complete here
        break;
    }
}

void Carver::applyReplaceTexture(const CarverOption &option, const OptionArguments &arguments) {
    const char *oldName = arguments.getWord(0);
    const char *newName = arguments.getWord(1);
    if (!acceptNewTextureName(option.name, newName, true)) return;
    // The words are command-line words, alive for the whole run as the replacement lists need.
    if (option.level == LEVEL_PROP)
        prop.replaceBitmap(oldName, textureNameOf(newName));
    else
        currentGroup->replaceBitmap(oldName, textureNameOf(newName));
}

void Carver::applyTransform(const CarverOption &option, const OptionArguments &arguments) {
    TransformKind kind = option.action == ACTION_CENTRE  ? TRANSFORM_CENTRE
                         : option.action == ACTION_SCALE ? TRANSFORM_SCALE
                                                         : TRANSFORM_ROTATE;
    applyTransformOption(transformsAt(option.level), kind, option.axis, arguments, subjectAt(option.level).c_str());
}

void Carver::applyClip(const CarverOption &option, const OptionArguments &arguments) {
    const char *bad = "";
    if (!arguments.allFloats(&bad)) {
        std::string subject = option.level == LEVEL_PROP ? std::string("the prop") : subjectAt(option.level);
        toolError("Error with %s option : Invalid number: clip region will not be applied to %s\n", option.name,
                  subject.c_str());
        reportBadNumber(option.name, bad);
        return;
    }
    KxDClipRegion3D box = clipBoxOf(arguments);
    if (option.level == LEVEL_PROP)
        settings.addClipBox(&box);
    else if (option.level == LEVEL_GROUP)
        currentGroup->addClipRegion(&box);
    else
        currentGroup->addClipRegion(currentMesh, &box);
}

void Carver::applyTexAnimation(const OptionArguments &arguments) {
    int speeds[3];
    for (int i = 0; i < 3; i++) {
        speeds[i] = arguments.getInt(i);
        if (speeds[i] >= 0 && speeds[i] <= 255) continue;
        toolError("Error with -tanim option : Invalid number: animation values must be between 0 and 255 "
                  "(for mesh %d in mesh group %d)\n", currentMesh, groupIndex);
        toolDiagnostic("-tanim", "'%s' is not a whole number from 0 to 255", arguments.getWord(i));
        return;
    }
    KxRlMeshMaterial *material = currentMeshOfFile()->getMaterial();
    if (!material) return;
    uint8_t *raw = material->getRawData();
    for (int i = 0; i < 3; i++) raw[20 + i] = static_cast<uint8_t>(speeds[i]);
}

KxDTransformList *Carver::transformsAt(CarverLevel level) {
    if (level == LEVEL_PROP) return settings.getTransforms();
    if (level == LEVEL_GROUP) return currentGroup->getGroupChanges()->getTransformList();
    return currentGroup->getMeshChanges(currentMesh)->getTransformList();
}

std::string Carver::subjectAt(CarverLevel level) const {
    char text[64];
    if (level == LEVEL_PROP) return "prop";
    if (level == LEVEL_GROUP)
        std::snprintf(text, sizeof text, "mesh group %d", groupIndex);
    else
        std::snprintf(text, sizeof text, "mesh %d (in mesh group %d)", currentMesh, groupIndex);
    return text;
}

// ---------------------------------------------------------------------------------------
// Objects and centring

void Carver::beginObjects(const CarverOption &option) {
    const KxRlMesh *mesh = currentMeshOfFile();
    // The links of a mesh are worked out once; later -v and -cv on the same mesh reuse them.
    if (!objectTraversal || objectTraversalMesh != mesh) {
        objectTraversal.reset(new KxRlMeshTraversal(mesh));
        objectTraversalMesh = mesh;
    }
    if (option.action == ACTION_CENTRE_OBJECTS) {
        centring = true;
        centringWords = 0;
        centringBox.clear();
    }
}

void Carver::takeObjectVertex(const CarverOption &option, const char *word) {
    bool centringWord = option.action == ACTION_CENTRE_OBJECTS;
    if (centringWord) centringWords++;
    int vertex = resOptionValue(word);
    if (vertex < 0 || vertex >= objectTraversal->getVertexCount()) {
        toolError("Error with %s option : Invalid number (%s) for mesh %d (in mesh group %d)\n", option.name, word,
                  currentMesh, groupIndex);
        toolDiagnostic(option.name, "'%s' is no vertex number of that mesh (it has %d vertices)", word,
                       objectTraversal->getVertexCount());
        return;
    }
    objectTraversal->reset();
    objectTraversal->traverse(vertex);
    const KxDClipRegion3D *box = objectTraversal->getClipRegion();
    currentGroup->addClipRegion(currentMesh, box);
    // The box of all the objects chosen is the box of their boxes.
    if (centringWord) centringBox.merge(box);
}

void Carver::finishCentring() {
    if (!centring) return;
    centring = false;
    if (centringBox.isEmpty()) {
        // Centring on nothing would move the prop by the empty box's 3.0e37.
        if (centringWords > 0) toolDiagnostic("-cv", "no valid vertex number, so the prop is not centred");
        return;
    }
    float midX = (centringBox.getMinX() + centringBox.getMaxX()) / 2.0f;
    float midY = (centringBox.getMinY() + centringBox.getMaxY()) / 2.0f;
    float minZ = centringBox.getMinZ();
    std::printf("Note about -cv option : Prop will be centered around (%.3f, %.3f, %.3f)\n", midX, midY, minZ);
    settings.getTransforms()->addTranslation(-midX, -midY, -minZ);
}

// ---------------------------------------------------------------------------------------
// The end of the run

void Carver::finish() {
    closeGroup();
    finishCentring();
    if (!readyToExport(input)) return;
    settings.pushOnto(&prop, false);
    exportPropAndReport(input, &prop, category);
}
