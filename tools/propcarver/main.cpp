// propcarver: builds one prop out of chosen groups, meshes and 3D objects of an MSH file,
// with centring, scaling, rotation and clip regions at prop, group and mesh level, texture
// replacements and material settings, and writes it as a prop package.

#include "CarverHelp.h"
#include "CarverOperations.h"
#include "CarverParser.h"
#include "ToolFrame.h"

namespace {

const ToolSettings kPropcarver = {
    "propcarver",
    kPropcarverHelp,
    2,                          // the input mesh and the prop name at least
    true,                       // works without the game's folder or archives
    NEWDATA_FAILURE_REPORTED,   // an invalid -newdata folder is reported and skipped
    true,                       // -workdata
    false,
};

void runPropcarver(int argc, char **argv) {
    Carver carver;
    CarverParser parser(&carver);
    for (int i = 1; i < argc; i++) parser.takeWord(argv[i]);
    parser.finish();
    carver.finish();
}

}  // namespace

int main(int argc, char **argv) { return runTool(kPropcarver, argc, argv, runPropcarver); }
