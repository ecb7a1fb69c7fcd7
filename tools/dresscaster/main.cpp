// dresscaster: turns saved set-dressing files, in which the player arranged several props,
// into props that hold all of them in their arranged places, one prop package per file.

#include "DresscasterHelp.h"
#include "DresscasterParser.h"
#include "Platform.h"
#include "SetDressingProp.h"
#include "ToolFrame.h"

#include <string>

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

// The output folder named after the first file is made when the file is named; a run that
// writes no package at all removes it again, when it made it and it is still empty.
class OutputFolderCleanup {
public:
    explicit OutputFolderCleanup(const DresscasterParser &parser) : parser(parser) {}
    ~OutputFolderCleanup() {
        if (!packageWritten && !parser.getFolderMade().empty())
            platform::removeEmptyDirectory(parser.getFolderMade().c_str());
    }
    OutputFolderCleanup(const OutputFolderCleanup &) = delete;
    OutputFolderCleanup &operator=(const OutputFolderCleanup &) = delete;

    bool packageWritten = false;

private:
    const DresscasterParser &parser;
};

void runDresscaster(int argc, char **argv) {
    DresscasterParser parser;
    OutputFolderCleanup cleanup(parser);
    for (int i = 1; i < argc; i++) parser.takeWord(argv[i]);
    parser.finish();
    if (commandLineIncomplete()) return;
    if (parser.getProps().empty()) {
        printHelpForIncompleteCommandLine();
        return;
    }
    for (const PropData &data : parser.getProps())
        if (createProp(data)) cleanup.packageWritten = true;
}

}  // namespace

int main(int argc, char **argv) { return runTool(kDresscaster, argc, argv, runDresscaster); }
