// propbridge: turns mesh files into glTF 2.0 models that 3D editors open (export), and glTF
// models back into props (import).

#include "BridgeExport.h"
#include "BridgeHelp.h"
#include "BridgeImport.h"
#include "ToolFrame.h"

#include <cstring>

namespace {

const ToolSettings kPropbridge = {
    "propbridge",
    kPropbridgeHelp,
    2,                          // the command and one word at least
    true,                       // works without the game's folder or archives
    NEWDATA_FAILURE_REPORTED,   // an invalid -newdata folder is reported and skipped
    true,                       // -workdata
    false,
};

void runPropbridge(int argc, char **argv) {
    const char *command = argv[1];
    if (std::strcmp(command, "export") == 0) {
        runBridgeExport(2, argc, argv);
    } else if (std::strcmp(command, "import") == 0) {
        runBridgeImport(2, argc, argv);
    } else {
        toolDiagnostic(command, "not a command of propbridge: give export or import first");
        printHelpForIncompleteCommandLine();
    }
}

}  // namespace

int main(int argc, char **argv) { return runTool(kPropbridge, argc, argv, runPropbridge); }
