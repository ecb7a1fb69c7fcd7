#include "PropRun.h"

#include "IOException.h"
#include "KxDClipRegion.h"
#include "KxRlContentRegistry.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlRebuiltProp.h"
#include "Platform.h"
#include "PropPackage.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

#include <cstdio>

// ---------------------------------------------------------------------------------------
// PropInput

void PropInput::takePositional(const char *word) {
    if (!meshFile)
        loadMeshFile(word);
    else if (!propNameGiven)
        setPropName(word);
    else
        toolMessage("Warning : option \"%s\" is unknown or out of place\n", word);
}

void PropInput::loadMeshFile(const char *name) {
    char path[KXRL_PATH_SIZE];
    bool found;
    try {
        found = getContentRegistry()->getContent(path, name, "data\\meshes\\", false);
    } catch (const IOException &e) {
        toolDiagnostic(name, "%s", e.getErrorString());
        throw;
    }
    if (!found) {
        toolDiagnostic(name, "no such mesh in data\\meshes\\ of the -newdata folders, the content folder, "
                             "the game folder or the game's archives");
        throw IOException("Could not find input mesh file!");
    }
    try {
        meshFile.reset(KxRlMeshFile::CreateFromFile(path));
    } catch (const IOException &e) {
        toolDiagnostic(platform::nativePath(path).c_str(), "%s", e.getErrorString());
        throw;
    }
}

void PropInput::setPropName(const char *word) {
    try {
        outputFolder.nameAfterProp(word);
    } catch (const IOException &e) {
        toolDiagnostic(word, "%s", e.getErrorString());
        throw;
    }
    propNameGiven = true;
}

// ---------------------------------------------------------------------------------------
// PropLevelSettings

PropLevelSettings::~PropLevelSettings() {
    for (int i = 0; i < getClipCount(); i++) delete static_cast<KxDClipRegion3D *>(clipRegions.get(i));
}

void PropLevelSettings::addClipBox(const KxDClipRegion3D *box) { clipRegions.add(new KxDClipRegion3D(box)); }

void PropLevelSettings::keepBones(const PropInput &input, KxRlRebuiltProp *prop) {
    if (!input.getMeshFile()) {
        toolDiagnostic("-bones", "the skeleton comes from the input mesh: name it before -bones");
        throw IOException("\"-bones\" option out of place; no input mesh file has been given yet!");
    }
    prop->setSkeleton(input.getMeshFile()->getSkeleton(), transforms.getFinalTransform());
}

void PropLevelSettings::pushOnto(KxRlRebuiltProp *prop, bool evenWhenEmpty) {
    bool transform = evenWhenEmpty || transforms.getTransformCount() > 0;
    for (int r = 0; r < prop->getMeshGroupRefCount(); r++) {
        KxRlMeshGroupRef *ref = prop->getMeshGroupRef(r);
        if (transform) ref->addTransform(transforms.getFinalTransform());
        for (int i = 0; i < getClipCount(); i++)
            ref->addClipRegion(static_cast<const KxDClipRegion3D *>(clipRegions.get(i)));
    }
}

// ---------------------------------------------------------------------------------------
// The end of the run

bool readyToExport(const PropInput &input) {
    if (commandLineIncomplete()) return false;
    if (input.getMeshFile() && input.hasPropName()) return true;
    printHelpForIncompleteCommandLine();
    return false;
}

void exportPropAndReport(PropInput &input, KxRlRebuiltProp *prop, int category) {
    if (prop->getMeshGroupRefCount() == 0) {
        toolError("Error exporting prop : %s\n", "The prop holds no mesh group");
        toolDiagnostic(getPropName(), "no mesh group was chosen for the prop, so no package was written");
        return;
    }
    try {
        exportProp(prop, category);
    } catch (const IOException &e) {
        toolError("Error exporting prop : %s\n", e.getErrorString());
        return;
    }
    input.markPackageWritten();
    toolMessage("Exported prop %s!\n", getPropName());
}
