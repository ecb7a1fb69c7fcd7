#include "BridgeImport.h"

#include "BridgeHelp.h"
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

// The option that `word` names, or PENDING_NONE for a word that is no option.
Pending importOptionOf(const char *word) {
    if (globalOptionOf(word) != GLOBAL_NONE) return PENDING_GLOBAL;
    if (std::strcmp(word, "-cat") == 0) return PENDING_CATEGORY;
    if (std::strcmp(word, "-s") == 0) return PENDING_SCALE;
    return PENDING_NONE;
}

// -s: a finite number other than 0, else refused with its message (status 1).
void readScale(const char *word, float *scale) {
    float value = resFloatValue(word);
    if (value != kFloatNotGiven && value != 0.0f) {
        *scale = value;
        return;
    }
    toolError("Error with -s option : Invalid number (%s): prop will not be scaled\n", word);
    if (value == 0.0f)
        reportFlatteningScale("-s", word, "prop");
    else
        reportBadNumber("-s", word);
}

}  // namespace

void runBridgeImport(int first, int argc, char **argv) {
    PropInput input;  // the prop name and the prop folder this run makes
    const char *model = nullptr;
    int category = 9;
    float scale = 1.0f;
    Pending pending = PENDING_NONE;
    const char *pendingWord = nullptr;
    for (int i = first; i < argc; i++) {
        const char *word = argv[i];
        Pending option = importOptionOf(word);
        if (option != PENDING_NONE) {
            if (pending != PENDING_NONE) toolOptionCutShort(pendingWord, 0, word);
            pending = option;
            pendingWord = word;
            continue;
        }
        switch (pending) {
        case PENDING_GLOBAL:
            if (applyGlobalOption(globalOptionOf(pendingWord), word)) pending = PENDING_NONE;
            continue;
        case PENDING_CATEGORY:
            readCategory(word, &category);
            break;
        case PENDING_SCALE:
            readScale(word, &scale);
            break;
        case PENDING_NONE:
            if (!model)
                model = word;
            else if (!input.hasPropName())
                input.setPropName(word);
            else
                toolMessage("Warning : option \"%s\" is unknown or out of place\n", word);
            break;
        }
        pending = PENDING_NONE;
    }
    if (pending != PENDING_NONE) {
        toolMissingValue(pendingWord);
        return;
    }
    if (!model) {
        refuseBridgeCommandLine("import", "No glTF model given: import needs Model.gltf (or Model.glb) and PropName.");
        return;
    }
    if (!input.hasPropName()) {
        refuseBridgeCommandLine(model, "No prop name given: import needs PropName after the glTF model.");
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
