#include "DresscasterHelp.h"

#include "ToolHelpText.h"

const char *const kDresscasterHelp =
    "Usage:  dresscaster [GlobalOptions] INIFile(s)... [INIOptions]\n"
    "This produces a single prop encompassing all props in a set dressing file.\n"
    "By default, the output will be placed in a directory of the same name as your\n"
    "set dressing file.  Output will include the mesh file, the propblueprint file,\n"
    "and the setdressing file.\n"
    KX_HELP_RULE
    "  [GlobalOptions] is optional, and can be any combination of the following:\n"
    "    -newdata folder           Indicates the location of an additional \\data\\\n"
    "                              folder containing modded props.  This application\n"
    "                              will look here for props listed in your set\n"
    "                              dressing file.\n"
    "    -workdata folder          Changes the location of the output of this\n"
    "                              application.\n"
    KX_HELP_RULE
    "  INIFile = *.ini file containing your saved set dressing information.\n"
    "    This application will search for this file in:\n"
    "      1)  The current directory.\n"
    "      2)  Your \\My Documents\\Reelmara\\Set Dressing\\ folders.\n"
    KX_HELP_RULE
    "  [INIOptions] is optional, and is applied to the last set dressing INI file\n"
    "  entered on the command-line.\n"
    KX_HELP_PROPNAME_CATEGORY
    "    -lightmap texture.dds     For those props that do not have a light-map,\n"
    "                              this sets their light-map to the given texture.\n"
    "                              This should be a single-colour texture.\n"
    KX_HELP_RULE
    "By default, this application will search for the props contained in your set\n"
    "dressing file in the following locations (in this order):\n"
    "  1) The \\content\\ folder containing this application.\n"
    "  2) Your game's folder.\n"
    "  3) The game's PAK files.\n"
    "If you add a new directory using the -newdata option, this application will\n"
    "look there first.\n"
    KX_HELP_RULE;
