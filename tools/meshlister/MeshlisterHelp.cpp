#include "MeshlisterHelp.h"

#include "ToolHelpText.h"

const char *const kMeshlisterHelp =
    "Usage: meshlister [GlobalOptions] MshFile(s)...\n"
    "All reports are appended to the same output file.\n"
    "If you choose to export props (using -xm or -xo), they will be created in a\n"
    "sub-directory with the same name as the mesh file.\n"
    KX_HELP_RULE
    KX_HELP_GLOBAL_NEWDATA
    "    -r file                   Sets the output report filename.  The default is\n"
    "                              'meshlister.txt'.\n"
    "    -xm                       Export each mesh as its own prop.\n"
    "    -xo                       Export each 3D object in each mesh as its own\n"
    "                              prop.\n"
    "    -o folder                 Makes the export sub-directories in this folder\n"
    "                              instead of the current one.\n"
    KX_HELP_RULE
    "  MshFile = *.msh file that you want to report upon.\n"
    KX_HELP_MESH_SEARCH
    KX_HELP_RULE;
