#include "FolderOptions.h"

#include "ToolFrame.h"

#include <cstring>

bool FolderOptions::take(const char *word) {
    if (globalOptionOf(word) != GLOBAL_NONE) {
        pendingWord = word;
        global = globalOptionOf(word);
        pendingOutput = false;
        return true;
    }
    if (std::strcmp(word, "-o") == 0) {
        pendingWord = word;
        pendingOutput = true;
        return true;
    }
    if (!pendingWord) return false;
    if (pendingOutput) {
        output = word;
        pendingWord = nullptr;
    } else if (applyGlobalOption(static_cast<GlobalOption>(global), word)) {
        pendingWord = nullptr;
    }
    return true;
}
