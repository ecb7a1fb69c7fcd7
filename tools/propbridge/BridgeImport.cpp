#include "BridgeImport.h"

#include "GltfImport.h"
#include "IOException.h"
#include "KxRlMeshFile.h"
#include "KxRlRebuiltProp.h"
#include "PropOptions.h"
#include "PropRun.h"
#include "ToolFrame.h"
#include "ToolOptions.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

enum Pending { PENDING_NONE, PENDING_GLOBAL, PENDING_CATEGORY, PENDING_SCALE };

}  // namespace

void runBridgeImport(int first, int argc, char **argv) {
    PropInput input;  // the prop name and the prop folder this run makes
    const char *model = nullptr;
    int category = 9;
    float scale = 1.0f;
    Pending pending = PENDING_NONE;
    const char *pendingWord = nullptr;
    GlobalOption global = GLOBAL_NONE;
    for (int i = first; i < argc; i++) {
        const char *word = argv[i];
        if (globalOptionOf(word) != GLOBAL_NONE) {
            pending = PENDING_GLOBAL;
            global = globalOptionOf(word);
        } else if (std::strcmp(word, "-cat") == 0) {
            pending = PENDING_CATEGORY;
        } else if (std::strcmp(word, "-s") == 0) {
            pending = PENDING_SCALE;
        } else if (pending == PENDING_GLOBAL) {
            if (applyGlobalOption(global, word)) pending = PENDING_NONE;
            continue;
        } else if (pending == PENDING_CATEGORY) {
            readCategory(word, &category);
            pending = PENDING_NONE;
            continue;
        } else if (pending == PENDING_SCALE) {
            float value = resFloatValue(word);
            if (value == kFloatNotGiven || value == 0.0f) {
                toolError("Error with -s option : Invalid number (%s): prop will not be scaled\n", word);
                toolDiagnostic("-s", "'%s' is not a number other than 0", word);
            } else {
                scale = value;
            }
            pending = PENDING_NONE;
            continue;
        } else if (!model) {
            model = word;
            continue;
        } else if (!input.hasPropName()) {
            input.setPropName(word);
            continue;
        } else {
            std::printf("Warning : option \"%s\" is unknown or out of place\n", word);
            continue;
        }
        pendingWord = word;
    }
    if (pending != PENDING_NONE) {
        toolMissingValue(pendingWord);
        return;
    }
    if (!model || !input.hasPropName()) {
        printHelpForIncompleteCommandLine();
        return;
    }

    std::unique_ptr<GltfProp> imported;
    try {
        imported.reset(GltfProp::CreateFromFile(model, scale));
    } catch (const IOException &e) {
        toolError("Could not load glTF file %s\n", model);
        toolDiagnostic(model, "%s", e.describe().c_str());
        return;
    }
    for (const std::string &message : imported->getMessages()) toolMessage("%s", message.c_str());
    KxRlRebuiltProp prop;
    imported->addTo(&prop);
    exportPropAndReport(input, &prop, category);
}
