#ifndef KX_PROPBRIDGE_IMPORT_H
#define KX_PROPBRIDGE_IMPORT_H

// propbridge import [GlobalOptions] Model.gltf|Model.glb PropName [-cat num] [-s factor]: the
// glTF model becomes a prop package, written as propcarver writes one. A model that cannot be
// read whole is reported and nothing of the package is written.

// Reads the words argv[first] on and imports.
void runBridgeImport(int first, int argc, char **argv);

#endif
