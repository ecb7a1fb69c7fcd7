#include "RoomwrightHelp.h"

#include "ToolHelpText.h"

// The texture options (-wt0 ... -ct3, -t2) and -lm are accepted but not listed here; the room
// INI guide describes the [texture] and [lightmap] keys they stand for.
const char *const kRoomwrightHelp =
    "Usage:  roomwright [GlobalOptions] INIFile(s)... [INIOptions]\n"
    "This produces a single room, or building exterior, as a prop.  The output will\n"
    "combine all the INIFiles specified together into the same prop.\n"
    "By default, the output will be placed in a directory of the same name as the\n"
    "first INIFile listed.\n"
    KX_HELP_RULE
    "  [GlobalOptions] is optional, and can be any combination of the following:\n"
    "    -newdata folder           Indicates the location of an additional \\data\\\n"
    "                              folder containing modded props.  This application\n"
    "                              will look here for props listed in your room INI\n"
    "                              files.\n"
    "    -workdata folder          Changes the location of the output of this\n"
    "                              application.\n"
    KX_HELP_PROPNAME_CATEGORY
    KX_HELP_RULE
    "  INIFile(s) = *.ini files containing information on the room to be built.\n"
    "    This application will search for these files in the current directory.\n"
    "    See the user's guide for information on the format of this file.\n"
    KX_HELP_RULE
    "  [INIOptions] is optional, and is applied to the last room INI file entered\n"
    "  on the command line.  Transformations are applied in the order\n"
    "    -c x y z                  Centers this room around the given X, Y, Z\n"
    "                              co-ordinates.\n"
    "    -s factor                 Scales this room by the given factor.\n"
    "    -sz factor                Scales this room, in the Z direction only, by the\n"
    "                              given factor.  You can also scale the room in the\n"
    "                              X or Y direction only, with the -sx or -sy\n"
    "                              option.\n"
    "    -rz angle                 Rotates this room around the Z-axis using the\n"
    "                              given angle, measured in degrees.  You can also\n"
    "                              rotate the room around the X- or Y-axes, using the\n"
    "                              -rx or -ry option.\n"
    KX_HELP_RULE;
