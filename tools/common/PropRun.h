#ifndef KX_TOOLS_PROPRUN_H
#define KX_TOOLS_PROPRUN_H

// What propcarver and propbender share around their own options: the two positional words
// (the input mesh, then the prop name), the prop-level transforms and clip regions, and the
// end of the run (the package written and reported).

#include "ArrayList.h"
#include "KxDTransformList.h"
#include "MadeOutputFolder.h"

#include <memory>
#include <string>

class KxDClipRegion3D;
class KxRlMeshFile;
class KxRlRebuiltProp;

// The input mesh file (owned) and the prop name. Declare it before the rebuilt prop and
// anything else that points into the mesh file, so that it goes last.
//
// The prop-named folder is made when the name is read; a run that writes no package (help at
// the end, a missing value, a run-stopping error, no mesh group, a failed export) removes it
// again when this object goes, if it made the folder and the folder is still empty.
class PropInput {
public:
    PropInput() = default;
    PropInput(const PropInput &) = delete;
    PropInput &operator=(const PropInput &) = delete;

    KxRlMeshFile *getMeshFile() const { return meshFile.get(); }
    bool hasPropName() const { return propNameGiven; }

    // A word that is no option and no argument: the input mesh first, then the prop name;
    // after both, "Warning : option \"%s\" is unknown or out of place\n".
    void takePositional(const char *word);
    // Looks the name up in data\meshes\ of the content registry, or else as a file on disk
    // (findMeshFileOrPath), and loads the file. A pattern is the one mesh file it names. Throws
    // IOException "Could not find input mesh file!", "Input mesh file name matches several mesh
    // files!" (the matches listed on stderr) or the reader's own error (after a stderr line
    // naming the file).
    void loadMeshFile(const char *name);
    // The frame's resOutput: throws IOException "Output prop name exceeds 25 characters."
    // (after a stderr line naming the word).
    void setPropName(const char *word);
    // The package was written: the prop folder stays even when empty.
    void markPackageWritten() { outputFolder.keep(); }

private:
    std::unique_ptr<KxRlMeshFile> meshFile;
    bool propNameGiven = false;
    MadeOutputFolder outputFolder;  // the prop-named folder, removed again when nothing was written
};

// The prop-level transforms and clip regions, given anywhere on the command line and pushed
// onto every group reference at the end. The final transform of the list is one object for
// the whole run (handed to the skeleton by -bones), so keep this alive until the export.
class PropLevelSettings {
public:
    PropLevelSettings() = default;
    ~PropLevelSettings();
    PropLevelSettings(const PropLevelSettings &) = delete;
    PropLevelSettings &operator=(const PropLevelSettings &) = delete;

    KxDTransformList *getTransforms() { return &transforms; }
    // Stores a copy of `box`, measured in the input's own co-ordinates.
    void addClipBox(const KxDClipRegion3D *box);
    int getClipCount() const { return static_cast<int>(clipRegions.getLength()); }

    // -bones: the input's skeleton goes into `prop`, moved by the final transform of the list
    // (also by transforms added later). Throws IOException "\"-bones\" option out of place; no
    // input mesh file has been given yet!" (after a stderr line) when no input is loaded.
    void keepBones(const PropInput &input, KxRlRebuiltProp *prop);

    // For every group reference of `prop`, in order: the list's final transform appended to
    // the group's transforms (when the list holds one, or always with `evenWhenEmpty`), then a
    // copy of every clip region appended to the group's regions.
    void pushOnto(KxRlRebuiltProp *prop, bool evenWhenEmpty);

private:
    KxDTransformList transforms;
    ArrayList clipRegions;  // KxDClipRegion3D*, owned
};

// Whether the command line asked for a prop that can be written: false when an option was
// left without its value at the end (already named on stderr; nothing is written) or when
// the input mesh or the prop name is missing (the help is printed; status 2 either way).
bool readyToExport(const PropInput &input);

// Writes the package with the frame's prop name and reports it: "Exported prop %s!\n", or
// "Error exporting prop : %s\n" (status 1) when the export fails or the prop holds no mesh
// group at all (nothing is written then).
void exportPropAndReport(PropInput &input, KxRlRebuiltProp *prop, int category);

#endif
