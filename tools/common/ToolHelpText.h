#ifndef KX_TOOLS_TOOLHELPTEXT_H
#define KX_TOOLS_TOOLHELPTEXT_H

// Pieces of the help texts that several tools print word for word alike, as string literals
// to be joined into a tool's text.

#define KX_HELP_RULE "------------------------------------------------------------------------------\n"

// Where an input mesh is looked for (meshlister, propcarver, propbender).
#define KX_HELP_MESH_SEARCH                                                             \
    "    This application will search for this file in:\n"                             \
    "      1)  The \\content\\ folder containing this application.\n"                   \
    "      2)  Your game's folder.\n"                                                   \
    "      3)  The game's PAK files.\n"                                                 \
    "    If you add a new directory using the -newdata option, this application will\n" \
    "    look there first.  When none of them has the file, a file of that name on\n"  \
    "    disk (relative to the current folder, or a full path) is read.\n"

// The head of the global options of the tools that read mesh files by name (meshlister,
// propbridge): -newdata.
#define KX_HELP_GLOBAL_NEWDATA                                                          \
    "  [GlobalOptions] is optional, and can be any combination of the following:\n"     \
    "    -newdata folder           Indicates the location of an additional \\data\\\n"  \
    "                              folder containing modded props.  This application\n" \
    "                              will look here first for the mesh files you\n"       \
    "                              specify.\n"

// The global options, the input mesh and the prop name of propcarver and propbender, each
// section closed by a rule.
#define KX_HELP_PROP_TOOL_ARGUMENTS                                                          \
    KX_HELP_RULE                                                                             \
    "  [GlobalOptions] is optional, and can be any combination of the following:\n"          \
    "    -newdata folder           Indicates the location of an additional \\data\\\n"       \
    "                              folder containing modded props.  This application\n"     \
    "                              will look here first for InputMshFile.\n"                \
    "    -workdata folder          Changes the location of the prop output by this\n"       \
    "                              application.\n"                                          \
    KX_HELP_RULE                                                                             \
    "  InputMshFile = *.msh file that you want to extract a prop out of.\n"                 \
    KX_HELP_MESH_SEARCH                                                                      \
    KX_HELP_RULE                                                                             \
    "  OutputPropName = Base filename of the prop to be created.\n"                         \
    "    It is not necessary to include the \"p_\" at the beginning, nor the \".msh\"\n"    \
    "    at the end.  This name must not have any spaces, and should be at most 25\n"       \
    "    characters in length.\n"                                                           \
    KX_HELP_RULE

// The prop name and category options of the tools that name their prop after an INI file
// (dresscaster, roomwright).
#define KX_HELP_PROPNAME_CATEGORY                                                            \
    "    -propname name            Indicates the name of the prop to be exported.\n"          \
    "                              For example, \"p_myprop\" (without any file\n"            \
    "                              extension).  If no name is given, the default is\n"       \
    "                              \"p_<INIFile>\".\n"                                        \
    "    -cat num (0 to 9)         Sets the prop category to use in Cutbay.  The\n"          \
    "                              default is 9 (Miscellaneous).\n"

#endif
