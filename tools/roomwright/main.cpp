// roomwright: builds one room, or one building exterior, as a prop from room INI files: walls
// along an outline with doors and windows cut into them, floors and ceilings, texture tiling,
// a light-map layout and the props placed in the room. Every room INI file of the command
// line goes into the same prop.

#include "Platform.h"
#include "RoomBuilder.h"
#include "RoomData.h"
#include "RoomwrightHelp.h"
#include "RoomwrightParser.h"
#include "ToolFrame.h"

#include <string>

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

// The folder named after the first room INI file, made by this run: removed again, when still
// empty, unless a package was written (also when the run ends early with an error).
class MadeFolder {
public:
    ~MadeFolder() {
        if (!kept && !path.empty()) platform::removeEmptyDirectory(path.c_str());
    }
    std::string path;
    bool kept = false;
};

void runRoomwright(int argc, char **argv) {
    PropDataClass propData;
    RoomwrightParser parser(&propData);
    MadeFolder folder;
    for (int i = 1; i < argc; i++) {
        parser.takeWord(argv[i]);
        if (folder.path.empty()) folder.path = parser.getFolderMade();
    }
    parser.finish();
    if (commandLineIncomplete()) return;  // an option without its value: nothing is written
    if (!parser.hasRoom()) {
        printHelpForIncompleteCommandLine();
        return;
    }
    RoomBuilder builder(&propData);
    folder.kept = builder.createProp();
}

}  // namespace

int main(int argc, char **argv) { return runTool(kRoomwright, argc, argv, runRoomwright); }
