#include "BridgeHelp.h"

#include "ToolFrame.h"
#include "ToolHelpText.h"

#include <cstdio>

const char *const kPropbridgeHelp =
    "Usage: propbridge export [GlobalOptions] MshFile(s)... [-glb] [-o folder]\n"
    "       propbridge import [GlobalOptions] Model.gltf|Model.glb PropName\n"
    "                         [-cat num] [-s factor]\n"
    "Turns mesh files into glTF 2.0 models that 3D editors open, and glTF models\n"
    "back into props.\n"
    KX_HELP_RULE
    KX_HELP_GLOBAL_NEWDATA
    "    -workdata folder          Changes the location of the output: the folder\n"
    "                              of the glTF files (export, as -o) or of the prop\n"
    "                              (import).\n"
    KX_HELP_RULE
    "  export: each MshFile becomes a glTF model, name.gltf with its data in\n"
    "  name.bin, in the current folder.\n"
    "    MshFile = *.msh file to export (wildcards * and ? name every match).\n"
    KX_HELP_MESH_SEARCH
    "    -glb                      Write one binary name.glb file instead.\n"
    "    -o folder                 Write the models into this folder.\n"
    KX_HELP_RULE
    "  import: the glTF model (.gltf with its buffers, or .glb) becomes a prop.\n"
    "    PropName = Base filename of the prop to be created.\n"
    "    It is not necessary to include the \"p_\" at the beginning, nor the \".msh\"\n"
    "    at the end.  This name must not have any spaces, and should be at most 25\n"
    "    characters in length.\n"
    "    -cat num                  Build menu category of the prop, 0 to 9\n"
    "                              (default 9).\n"
    "    -s factor                 Scales the whole prop by this factor.\n"
    KX_HELP_RULE;

void refuseBridgeCommandLine(const char *subject, const char *message) {
    toolMessage("%s\n", message);
    toolDiagnostic(subject, "%s", message);
    printHelpForIncompleteCommandLine();
}
