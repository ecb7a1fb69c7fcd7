#include "MadeOutputFolder.h"

#include "Platform.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

MadeOutputFolder::~MadeOutputFolder() {
    if (!kept && !path.empty()) platform::removeEmptyDirectory(path.c_str());
}

bool MadeOutputFolder::nameAfterInput(const char *inputPath) {
    if (!resOutputDir(inputPath)) return false;
    path = getOutputFolder();
    return true;
}
