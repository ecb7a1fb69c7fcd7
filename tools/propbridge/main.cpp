// propbridge: turns mesh files into glTF 2.0 models that 3D editors open (export), and glTF
// models back into props (import).

#include "BridgeExport.h"
#include "BridgeHelp.h"
#include "BridgeImport.h"
#include "ToolFrame.h"

#include <cstring>
#include <string>

namespace {

const ToolSettings kPropbridge = {
    "propbridge",
    kPropbridgeHelp,
    1,                          // the command; the command itself says what else it needs
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
        std::string message = std::string("Unknown command ") + command + ": the first word is export or import.";
        refuseBridgeCommandLine(command, message.c_str());
    }
}

}  // namespace

int main(int argc, char **argv) { return runTool(kPropbridge, argc, argv, runPropbridge); }
