#include "GalleryHelp.h"

#include "ToolHelpText.h"

const char *const kMeshgalleryHelp =
    "Usage: meshgallery [GlobalOptions] MshFile(s)... [-o folder] [-j threads]\n"
    "       meshgallery [GlobalOptions] MshFile(s)... -json file\n"
    "Draws mesh files and writes them as pages to look at in any browser, offline:\n"
    "index.html (one card per mesh file, with a search box), one page per mesh file\n"
    "(views, groups, meshes, materials, every separate 3D object with the command\n"
    "lines that carve it) and catalogue.json (the same data for scripts).\n"
    KX_HELP_RULE
    KX_HELP_GLOBAL_NEWDATA
    KX_HELP_RULE
    "  MshFile = *.msh file to show, as meshlister takes it.  A name with * or ?\n"
    "    (\"*.msh\") names every matching mesh file of every source, archives included.\n"
    KX_HELP_MESH_SEARCH
    KX_HELP_RULE
    "    -o folder                 Writes the gallery into this folder (default\n"
    "                              'gallery').  Run again, only the mesh files whose\n"
    "                              source changed are drawn again.\n"
    "    -j threads                Reads and draws on this many threads (default: one\n"
    "                              per processor).  The gallery is the same either way.\n"
    "    -json file                Writes only the catalogue, into this file.\n"
    KX_HELP_RULE;
