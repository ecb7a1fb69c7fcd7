// propbender: turns a whole MSH model into a prop with one set of prop-wide settings
// (centring, scaling, rotation, clip regions, texture replacements, light-maps, bones) and
// writes it as a prop package.

#include "Bender.h"
#include "BenderHelp.h"
#include "ToolFrame.h"

namespace {

const ToolSettings kPropbender = {
    "propbender",
    kPropbenderHelp,
    2,                          // the input mesh and the prop name at least
    true,                       // works without the game's folder or archives
    NEWDATA_FAILURE_REPORTED,   // an invalid -newdata folder is reported and skipped
    true,                       // -workdata
    false,
};

void runPropbender(int argc, char **argv) {
    Bender bender;
    for (int i = 1; i < argc; i++) bender.takeWord(argv[i]);
    bender.finish();
}

}  // namespace

int main(int argc, char **argv) { return runTool(kPropbender, argc, argv, runPropbender); }
