#include "PropRun.h"

#include "IOException.h"
#include "KxDClipRegion.h"
#include "KxRlContentRegistry.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlRebuiltProp.h"
#include "MeshNames.h"
#include "Platform.h"
#include "PropPackage.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

#include <cstdio>
#include <string>
#include <vector>

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
    // One input: a pattern is taken only when it names exactly one mesh file.
    std::vector<std::string> files;
    try {
        files = meshFilesOf(name);
    } catch (const IOException &e) {
        toolDiagnostic(name, "%s", e.describe().c_str());
        throw IOException("Could not find input mesh file!");
    }
    if (files.size() > 1) {
        std::string listed;
        for (const std::string &file : files) listed += (listed.empty() ? "" : ", ") + file;
        toolDiagnostic(name, "the pattern names %zu mesh files, but one input is read: %s", files.size(),
                       listed.c_str());
        throw IOException("Input mesh file name matches several mesh files!");
    }
    FoundMeshFile found;
    try {
        if (!findMeshFileOrPath(getContentRegistry(), files[0].c_str(), found)) {
            toolDiagnostic(files[0].c_str(), "%s", found.where.c_str());
            throw IOException("Could not find input mesh file!");
        }
    } catch (const IOException &e) {
        if (found.where.empty()) toolDiagnostic(files[0].c_str(), "%s", e.describe().c_str());
        throw;
    }
    try {
        meshFile.reset(KxRlMeshFile::CreateFromFile(found.path.c_str()));
    } catch (const IOException &e) {
        toolDiagnostic(platform::nativePath(found.path.c_str()).c_str(), "%s", e.getErrorString());
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
