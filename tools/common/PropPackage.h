#ifndef KX_TOOLS_PROPPACKAGE_H
#define KX_TOOLS_PROPPACKAGE_H

// The prop package: the folder tree the game loads a prop from. With O the tools' output
// folder and N the prop name:
//   O\data\meshes\N.msh           the mesh file
//   O\data\propblueprint\N.ini    the blueprint INI (menu category and price)
//   O\data\props\N.ini            the prop INI (names the mesh)
//   O\data\setdressing\N.ini      the same prop INI again
// Missing folders are created and existing ones used (a folder that cannot be made fails the
// file that goes into it, with the system's reason for the folder); the four files are replaced,
// each whole or not at all, and everything else in the tree stays. INI lines end in CR LF on
// every platform. Every prop writing tool (propcarver, propbender, dresscaster, roomwright)
// writes through here.

class KxRlRebuiltProp;

// Writes the package of `prop` into the frame's output folder under the frame's prop name
// (propcarver, propbender). `category` goes to the blueprint as it is (callers keep it 0 to 9).
// The caller has finished every change to the model; nothing in it is changed here.
// Throws IOException, after one stderr line naming the file and the reason: a prop name
// the game cannot load ("Prop name <name> <fault>", PropName.h), a
// package path that does not fit a path buffer ("Package path is too long: ...", checked
// for all four files before anything is written), the mesh writer's own errors (nothing
// of the package is written then, and the folders made for it go again), "Could not create propblueprint INI file", "Could not create
// prop INI file", and write errors. Files written before a failure stay.
void exportProp(KxRlRebuiltProp *prop, int category);
// The same with the name taken from the caller's own prop record (dresscaster, roomwright);
// the output folder is still the frame's.
void exportProp(KxRlRebuiltProp *prop, const char *propName, int category);

// The blueprint INI at `path` (created or truncated): an empty line, [blueprint] with the
// category and the fixed settings, an empty line, [finance] with the purchase cost.
void exportBluePrintINI(const char *path, int category);
// The prop INI at `path`: the mesh line naming "<propName>.msh", an empty line, [finance]
// with the three fixed costs.
void exportPropINI(const char *path, const char *propName);

#endif
