#ifndef KX_PAKLISTER_PAKCOMMANDS_H
#define KX_PAKLISTER_PAKCOMMANDS_H

// paklister's three commands, on the content registry of the start-up frame.

#include <string>
#include <vector>

struct PakRequest {
    enum Command { NONE, LIST, WHICH, EXTRACT };
    Command command = NONE;
    std::vector<std::string> words;  // the patterns or names after the command word
    bool json = false;
    bool force = false;
    const char *outputFolder = nullptr;  // -o
};

// The command a word names; NONE for any other word.
PakRequest::Command pakCommandOf(const char *word);

// list: every copy of every file the patterns name (all files below data\ without one), as text
// lines or one JSON document.
void runList(const PakRequest &request);
// which: for each name, the copy the game finds and every copy it shadows.
void runWhich(const PakRequest &request);
// extract: every file the patterns name, as the game finds it, below the output folder.
void runExtract(const PakRequest &request);

#endif
