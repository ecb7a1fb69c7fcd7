// meshlister: reports on MSH files, lists meshes made of several separate 3D objects, and
// exports every mesh or every object as an MSH file of its own.

#include "ArrayList.h"
#include "IOException.h"
#include "MeshNames.h"
#include "MeshReport.h"
#include "MeshlisterHelp.h"
#include "ToolFrame.h"

#include <cstring>
#include <string>

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
enum Pending { PENDING_NONE, PENDING_GLOBAL, PENDING_REPORT, PENDING_EXPORT_FOLDER };

// Reports one mesh file; what cannot be done is reported and the run goes on.
void reportOne(MeshReport &report, const char *name, ExportMode mode) {
    try {
        if (!report.reportMeshFile(name, mode)) toolError("Could not load mesh file %s\n", name);
    } catch (const IOException &e) {
        toolError("Could not load mesh file %s\n", name);
        if (report.foundAt().empty())
            toolDiagnostic(name, "%s", e.describe().c_str());
        else
            toolDiagnostic(name, "%s (%s)", e.describe().c_str(), report.foundAt().c_str());
    }
}

void runMeshlister(int argc, char **argv) {
    const char *reportName = "meshlister.txt";
    const char *exportFolder = "";
    ExportMode mode = EXPORT_NONE;
    ArrayList meshNames;
    Pending pending = PENDING_NONE;
    const char *pendingWord = nullptr;
    GlobalOption global = GLOBAL_NONE;
    for (int i = 1; i < argc; i++) {
        const char *word = argv[i];
        if ((globalOptionOf(word) != GLOBAL_NONE || std::strcmp(word, "-r") == 0) && pending != PENDING_NONE)
            toolOptionCutShort(pendingWord, 0, word);  // the option waiting for its value goes without
        if (globalOptionOf(word) != GLOBAL_NONE) {
            pending = PENDING_GLOBAL;
            pendingWord = word;
            global = globalOptionOf(word);
        } else if (std::strcmp(word, "-r") == 0) {
            pending = PENDING_REPORT;
            pendingWord = word;
        } else if (std::strcmp(word, "-o") == 0) {
            pending = PENDING_EXPORT_FOLDER;
            pendingWord = word;
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
        } else if (pending == PENDING_EXPORT_FOLDER) {
            exportFolder = word;
            pending = PENDING_NONE;
        } else {
            if (word[0] == '-' && word[1] != 0)
                toolDiagnostic(word, "warning: not an option of meshlister; taken as a mesh file name");
            meshNames.add(argv[i]);
        }
    }
    if (pending != PENDING_NONE) {
        toolMissingValue(pendingWord);
        return;
    }

    MeshReport report;
    report.setExportFolder(exportFolder);
    std::string reason;
    if (!report.open(reportName, &reason)) {
        toolError("An error occurred attempting to write to the output file!\n");
        toolDiagnostic(reportName, "the report file cannot be written: %s", reason.c_str());
        return;
    }
    for (uint32_t i = 0; i < meshNames.getLength(); i++) {
        const char *name = static_cast<const char *>(meshNames.get(static_cast<int>(i)));
        forEachMeshFile(name, [&report, mode](const char *file) { reportOne(report, file, mode); });
    }
    try {
        report.close();
    } catch (const IOException &e) {
        toolError("An error occurred attempting to write to the output file!\n");
        toolDiagnostic(reportName, "the report file could not be finished: %s", e.describe().c_str());
    }
}

}  // namespace

int main(int argc, char **argv) { return runTool(kMeshlister, argc, argv, runMeshlister); }
