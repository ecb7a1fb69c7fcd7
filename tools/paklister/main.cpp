// paklister: what the game's data sources hold (the -newdata folders, the content folder, the game
// folder and the game's archives), which copy of each file the game finds, and any file taken out.

#include "FolderOptions.h"
#include "PakCommands.h"
#include "PaklisterHelp.h"
#include "ToolFrame.h"

#include <cstring>

namespace {

const ToolSettings kPaklister = {
    "paklister",
    kPaklisterHelp,
    1,                          // a command word at least
    true,                       // works without the game's folder or archives
    NEWDATA_FAILURE_REPORTED,   // an invalid -newdata folder is reported and skipped
    false,                      // no -workdata: extract takes -o
    false,
};

// Option words are recognised wherever they stand, before or after the command word.
void runPaklister(int argc, char **argv) {
    PakRequest request;
    FolderOptions options;
    for (int i = 1; i < argc; i++) {
        const char *word = argv[i];
        if (std::strcmp(word, "-json") == 0) {
            options.interrupt(word);
            request.json = true;
        } else if (std::strcmp(word, "-force") == 0) {
            options.interrupt(word);
            request.force = true;
        } else if (options.take(word)) {
            continue;
        } else if (request.command == PakRequest::NONE) {
            request.command = pakCommandOf(word);
            if (request.command == PakRequest::NONE) {
                toolDiagnostic(word, "not a command of paklister: give list, which or extract first");
                printHelpForIncompleteCommandLine();
                return;
            }
        } else {
            if (word[0] == '-' && word[1] != 0)
                toolDiagnostic(word, "warning: not an option of paklister; taken as a file name or pattern");
            request.words.push_back(word);
        }
    }
    if (options.pending()) {
        toolMissingValue(options.pending());
        return;
    }
    request.outputFolder = options.outputFolder();
    if (request.command == PakRequest::NONE ||
        (request.command != PakRequest::LIST && request.words.empty())) {
        printHelpForIncompleteCommandLine();
        return;
    }
    switch (request.command) {
    case PakRequest::LIST:
        runList(request);
        break;
    case PakRequest::WHICH:
        runWhich(request);
        break;
    case PakRequest::EXTRACT:
        runExtract(request);
        break;
    case PakRequest::NONE:
        break;
    }
}

}  // namespace

int main(int argc, char **argv) {
    // With -json, standard output carries the JSON document alone; the frame must know before it
    // prints its start-up lines.
    for (int i = 1; i < argc; i++)
        if (std::strcmp(argv[i], "-json") == 0) setDocumentOutput(true);
    return runTool(kPaklister, argc, argv, runPaklister);
}
