// dresscaster: turns saved set-dressing files, in which the player arranged several props,
// into props that hold all of them in their arranged places, one prop package per file.

#include "DresscasterHelp.h"
#include "DresscasterParser.h"
#include "MadeOutputFolder.h"
#include "SetDressingProp.h"
#include "ToolFrame.h"

namespace {

const ToolSettings kDresscaster = {
    "dresscaster",
    kDresscasterHelp,
    1,
    true,                                 // works without the game's folder or archives
    NEWDATA_FAILURE_REPORTED_IN_PENDING,  // an invalid -newdata folder keeps the option waiting
    true,                                 // -workdata
    true,                                 // documents folder, program folder and closing pause
};

void runDresscaster(int argc, char **argv) {
    MadeOutputFolder folder;  // named after the first file
    DresscasterParser parser(&folder);
    for (int i = 1; i < argc; i++) parser.takeWord(argv[i]);
    parser.finish();
    if (commandLineIncomplete()) return;
    if (parser.getProps().empty()) {
        printHelpForIncompleteCommandLine();
        return;
    }
    for (const PropData &data : parser.getProps())
        if (createProp(data)) folder.keep();
}

}  // namespace

int main(int argc, char **argv) { return runTool(kDresscaster, argc, argv, runDresscaster); }
