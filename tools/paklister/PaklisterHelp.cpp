#include "PaklisterHelp.h"

#include "ToolHelpText.h"

const char *const kPaklisterHelp =
    "Usage: paklister [GlobalOptions] list [Pattern(s)...] [-json]\n"
    "       paklister [GlobalOptions] which Name(s)... [-json]\n"
    "       paklister [GlobalOptions] extract Pattern(s)... [-o folder] [-force]\n"
    "Shows what the game's data sources hold (the -newdata folders, the \\content\\\n"
    "folder containing this application, the game's folder and the game's PAK\n"
    "files), which copy of a file the game finds, and takes files out of them.\n"
    KX_HELP_RULE
    "  [GlobalOptions] is optional, and can be any combination of the following:\n"
    "    -newdata folder           Indicates the location of an additional \\data\\\n"
    "                              folder containing modded files.  It is searched\n"
    "                              first, as by the other tools.\n"
    KX_HELP_RULE
    "  list: one line per file below \\data\\ (path, size, packed size of an\n"
    "  archived file, source), sorted by path.  A copy that another source wins\n"
    "  over is marked as shadowed and names the copy that wins.\n"
    "    -json                     Prints the same as one JSON document, for\n"
    "                              scripts.\n"
    "  which: where the game finds each name, and every copy it shadows.\n"
    "  extract: writes each matching file, as the game finds it, under its\n"
    "  \\data\\ path below the current folder.\n"
    "    -o folder                 Writes below this folder instead.\n"
    "    -force                    Replaces files that are already there.\n"
    KX_HELP_RULE
    "  Pattern = a file name, with the wildcards * and ? and in any case, such as\n"
    "    *.dds or p_demo_table.msh; it matches in every folder below \\data\\.  With\n"
    "    folder parts (textures/*.dds or data\\textures\\*.dds) it matches in that\n"
    "    folder only.\n"
    "  Options may stand before or after the command word.\n"
    KX_HELP_RULE;
