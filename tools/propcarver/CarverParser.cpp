#include "CarverParser.h"

#include "CarverOperations.h"
#include "ToolFrame.h"

#include <cstdio>

void CarverParser::takeWord(const char *word) {
    const CarverOption *option = findCarverOption(word);
    if (option)
        takeOption(*option);
    else
        takeArgument(word);
}

bool CarverParser::warnIfOutOfPlace(const CarverOption &option) const {
    if (option.level == LEVEL_GROUP && option.action != ACTION_MESHES && !carver->hasGroup()) {
        std::printf("Warning : \"%s\" option out of place; no mesh group has been specified yet!\n", option.name);
        return true;
    }
    if (option.level == LEVEL_MESH && !carver->hasMesh()) {
        std::printf("Warning : \"%s\" option out of place; no mesh has been specified yet!\n", option.name);
        return true;
    }
    return false;
}

void CarverParser::takeOption(const CarverOption &option) {
    if (warnIfOutOfPlace(option)) return;
    endPending(option.name);
    switch (option.action) {
    case ACTION_GROUPS:
        carver->startGroups();
        mode = MODE_GROUPS;
        awaitingNumbers = option.name;
        return;
    case ACTION_MESHES:
        carver->startMeshes();
        mode = MODE_MESHES;
        awaitingNumbers = option.name;
        return;
    case ACTION_BONES:
        carver->keepBones();
        return;
    case ACTION_ALPHA:
    case ACTION_REFLECTIVE:
        carver->actNow(option);
        return;
    default:
        break;
    }
    savedMode = mode;
    mode = MODE_ARGUMENTS;
    pending = &option;
    arguments.begin(option.name, option.words);
    if (option.action == ACTION_OBJECTS || option.action == ACTION_CENTRE_OBJECTS) carver->beginObjects(option);
}

void CarverParser::takeArgument(const char *word) {
    switch (mode) {
    case MODE_POSITIONAL:
        carver->takePositional(word);
        return;
    case MODE_GROUPS:
        awaitingNumbers = nullptr;
        carver->takeGroupNumber(word);
        return;
    case MODE_MESHES:
        awaitingNumbers = nullptr;
        carver->takeMeshNumber(word);
        return;
    case MODE_ARGUMENTS:
        break;
    }
    bool complete = arguments.add(word);
    if (pending->words == OptionArguments::kAnyNumber) {
        carver->takeObjectVertex(*pending, word);
        return;
    }
    if (!complete) return;
    const CarverOption *done = pending;
    pending = nullptr;
    mode = savedMode;
    carver->apply(*done, arguments);
}

void CarverParser::endPending(const char *nextOption) {
    if (!pending) return;
    if (pending->action == ACTION_CENTRE_OBJECTS) carver->finishCentring();
    arguments.reportAbandoned(nextOption);
    pending = nullptr;
    mode = savedMode;
}

void CarverParser::finish() {
    if (pending && !arguments.hasEnough()) {
        toolMissingValue(pending->name);
        pending = nullptr;
    } else if (pending) {
        endPending(nullptr);
    } else if (awaitingNumbers && (mode == MODE_GROUPS || mode == MODE_MESHES)) {
        toolMissingValue(awaitingNumbers);
    }
}
