// roomwright: builds one room, or one building exterior, as a prop from room INI files: walls
// along an outline with doors and windows cut into them, floors and ceilings, texture tiling,
// a light-map layout and the props placed in the room. Every room INI file of the command
// line goes into the same prop.

#include "MadeOutputFolder.h"
#include "RoomBuilder.h"
#include "RoomData.h"
#include "RoomwrightHelp.h"
#include "RoomwrightParser.h"
#include "ToolFrame.h"

namespace {

const ToolSettings kRoomwright = {
    "roomwright",
    kRoomwrightHelp,
    1,                                  // one room INI file at least
    true,                               // works without the game's folder or archives
    NEWDATA_FAILURE_REPORTED_PENDING,   // an invalid -newdata folder keeps the option waiting
    true,                               // -workdata
    false,
};

void runRoomwright(int argc, char **argv) {
    PropDataClass propData;
    MadeOutputFolder folder;  // named after the first room INI file
    RoomwrightParser parser(&propData, &folder);
    for (int i = 1; i < argc; i++) parser.takeWord(argv[i]);
    parser.finish();
    if (commandLineIncomplete()) return;  // an option without its value: nothing is written
    if (!parser.hasRoom()) {
        printHelpForIncompleteCommandLine();
        return;
    }
    RoomBuilder builder(&propData);
    if (builder.createProp()) folder.keep();
}

}  // namespace

int main(int argc, char **argv) { return runTool(kRoomwright, argc, argv, runRoomwright); }
