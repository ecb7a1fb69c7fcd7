#ifndef KX_PROPBRIDGE_EXPORT_H
#define KX_PROPBRIDGE_EXPORT_H

// propbridge export [GlobalOptions] MshFile(s)... [-glb] [-o folder]: each mesh file, found as
// meshlister finds it (names, folder parts, wildcard patterns), becomes a glTF model named after
// it: name.gltf and name.bin, or name.glb with -glb, in the current folder or the -o folder
// (folder parts of the name go below it; an absolute name keeps its file name only).

// Reads the words argv[first] on and exports. Failures are reported per file; the run goes on.
void runBridgeExport(int first, int argc, char **argv);

#endif
