#include "MadeOutputFolder.h"

#include "Platform.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

MadeOutputFolder::~MadeOutputFolder() {
    if (!kept && !path.empty()) platform::removeEmptyDirectory(path.c_str());
}

bool MadeOutputFolder::nameAfterInput(const char *inputPath) { return remember(resOutputDir(inputPath)); }

bool MadeOutputFolder::nameAfterProp(const char *propName) { return remember(resOutput(propName)); }

bool MadeOutputFolder::remember(bool made) {
    if (made) path = getOutputFolder();
    return made;
}
