#include "FolderOptions.h"

#include "ToolFrame.h"

#include <cstring>

void FolderOptions::interrupt(const char *word) {
    if (pendingWord) toolOptionCutShort(pendingWord, 0, word);
    pendingWord = nullptr;
    waiting = NOTHING;
}

bool FolderOptions::take(const char *word) {
    Waiting option = NOTHING;
    switch (globalOptionOf(word)) {
    case GLOBAL_NEWDATA: option = NEWDATA; break;
    case GLOBAL_WORKDATA: option = WORKDATA; break;
    case GLOBAL_NONE: if (std::strcmp(word, "-o") == 0) option = OUTPUT; break;
    }
    if (option != NOTHING) {
        interrupt(word);
        pendingWord = word;
        waiting = option;
        return true;
    }
    if (!pendingWord) return false;
    if (waiting == OUTPUT) output = word;
    else if (waiting == WORKDATA) work = word;
    else if (!applyGlobalOption(GLOBAL_NEWDATA, word)) return true;  // refused: the next word is tried
    pendingWord = nullptr;
    waiting = NOTHING;
    return true;
}
