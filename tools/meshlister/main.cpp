// meshlister: reports on MSH files, lists meshes made of several separate 3D objects, and
// exports every mesh or every object as an MSH file of its own.

#include "IOException.h"
#include "ArrayList.h"
#include "MeshReport.h"
#include "MeshlisterHelp.h"
#include "ToolFrame.h"

#include <cstring>

namespace {

const ToolSettings kMeshlister = {
    "meshlister",
    kMeshlisterHelp,
    1,                          // one argument at least
    false,                      // a game that cannot be read ends the run
    NEWDATA_FAILURE_ENDS_TOOL,  // so does an invalid -newdata folder
    false,                      // no -workdata
    false,
};

// Option words are recognised wherever they stand, also where a value is expected; the
// pending value then goes to the next argument that is no option word.
enum Pending { PENDING_NONE, PENDING_GLOBAL, PENDING_REPORT };

void runMeshlister(int argc, char **argv) {
    const char *reportName = "meshlister.txt";
    ExportMode mode = EXPORT_NONE;
    ArrayList meshNames;
    Pending pending = PENDING_NONE;
    GlobalOption global = GLOBAL_NONE;
    for (int i = 1; i < argc; i++) {
        const char *word = argv[i];
        if (globalOptionOf(word) != GLOBAL_NONE) {
            pending = PENDING_GLOBAL;
            global = globalOptionOf(word);
        } else if (std::strcmp(word, "-r") == 0) {
            pending = PENDING_REPORT;
        } else if (std::strcmp(word, "-xm") == 0) {
            mode = EXPORT_MESHES;
        } else if (std::strcmp(word, "-xo") == 0) {
            mode = EXPORT_OBJECTS;
        } else if (pending == PENDING_GLOBAL) {
            applyGlobalOption(global, word);  // an invalid -newdata folder ends the run
            pending = PENDING_NONE;
        } else if (pending == PENDING_REPORT) {
            reportName = word;
            pending = PENDING_NONE;
        } else {
            meshNames.add(argv[i]);
        }
    }

    MeshReport report;
    if (!report.open(reportName)) {
        toolError("An error occurred attempting to write to the output file!\n");
        return;
    }
    for (uint32_t i = 0; i < meshNames.getLength(); i++) {
        const char *name = static_cast<const char *>(meshNames.get(static_cast<int>(i)));
        try {
            report.reportMeshFile(name, mode);
        } catch (const IOException &) {
            toolError("Could not load mesh file %s\n", name);
        }
    }
    report.close();
}

}  // namespace

int main(int argc, char **argv) { return runTool(kMeshlister, argc, argv, runMeshlister); }
