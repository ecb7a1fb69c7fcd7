#include "MeshlisterHelp.h"

#define KX_RULE "------------------------------------------------------------------------------\n"

const char *const kMeshlisterHelp =
    "Usage: meshlister [GlobalOptions] MshFile(s)...\n"
    "All reports are appended to the same output file.\n"
    "If you choose to export props (using -xm or -xo), they will be created in a\n"
    "sub-directory with the same name as the mesh file.\n"
    KX_RULE
    "  [GlobalOptions] is optional, and can be any combination of the following:\n"
    "    -newdata folder           Indicates the location of an additional \\data\\\n"
    "                              folder containing modded props.  This application\n"
    "                              will look here first for the mesh files you\n"
    "                              specify.\n"
    "    -r file                   Sets the output report filename.  The default is\n"
    "                              'meshlister.txt'.\n"
    "    -xm                       Export each mesh as its own prop.\n"
    "    -xo                       Export each 3D object in each mesh as its own\n"
    "                              prop.\n"
    KX_RULE
    "  MshFile = *.msh file that you want to report upon.\n"
    "    This application will search for this file in:\n"
    "      1)  The \\content\\ folder containing this application.\n"
    "      2)  Your game's folder.\n"
    "      3)  The game's PAK files.\n"
    "    If you add a new directory using the -newdata option, this application will\n"
    "    look there first.\n"
    KX_RULE;
