// meshgallery: the game's meshes and a maker's own props as pages to look at in a browser,
// with pictures of every mesh and separate object, and the command lines that carve them.

#include "GalleryHelp.h"
#include "GalleryRun.h"
#include "ToolFrame.h"
#include "ToolOptions.h"

#include <cstring>
#include <string>

namespace {

const ToolSettings kMeshgallery = {
    "meshgallery",
    kMeshgalleryHelp,
    1,                          // one argument at least
    false,                      // a game that cannot be read ends the run, as in meshlister
    NEWDATA_FAILURE_ENDS_TOOL,  // so does an invalid -newdata folder
    false,                      // no -workdata: -o names the gallery folder
    false,
};

const int kMostThreads = 256;

void runMeshgallery(int argc, char **argv) {
    GalleryOptions options;
    bool gotFolder = false;
    for (int i = 1; i < argc; i++) {
        const char *word = argv[i];
        GlobalOption global = globalOptionOf(word);
        bool takesValue = global != GLOBAL_NONE || !std::strcmp(word, "-o") || !std::strcmp(word, "-j") ||
                          !std::strcmp(word, "-json");
        if (takesValue && i + 1 >= argc) {
            toolMissingValue(word);
            return;
        }
        if (global != GLOBAL_NONE) {
            applyGlobalOption(global, argv[++i]);  // an invalid -newdata folder ends the run
            options.context.newDataFolders.push_back(argv[i]);
        } else if (!std::strcmp(word, "-o")) {
            options.folder = argv[++i];
            gotFolder = true;
        } else if (!std::strcmp(word, "-json")) {
            options.jsonFile = argv[++i];
        } else if (!std::strcmp(word, "-j")) {
            int threads = resOptionValue(argv[++i]);
            if (threads < 1 || threads > kMostThreads) {
                toolError("Error with -j option : %s is not a number of threads from 1 to %d\n", argv[i], kMostThreads);
                toolDiagnostic("-j", "refused value %s: the default (one thread per processor) is used", argv[i]);
            } else {
                options.threads = threads;
            }
        } else {
            if (word[0] == '-' && word[1] != 0)
                toolDiagnostic(word, "warning: not an option of meshgallery; taken as a mesh file name");
            options.names.push_back(word);
        }
    }
    if (gotFolder && !options.jsonFile.empty())
        toolDiagnostic("-o", "warning: -json writes only the catalogue, so the folder %s is not used",
                       options.folder.c_str());
    runGallery(options);
}

}  // namespace

int main(int argc, char **argv) { return runTool(kMeshgallery, argc, argv, runMeshgallery); }
