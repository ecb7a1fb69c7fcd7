#include "DresscasterParser.h"

#include "KxRlMeshMaterial.h"
#include "MadeOutputFolder.h"
#include "PropName.h"
#include "PropOptions.h"
#include "ToolFrame.h"
#include "ToolOptions.h"
#include "ToolOutput.h"

#include <cstring>

PropData::PropData(const char *file) : file(file) {
    const char *name = fileNameOf(file);
    const char *dot = std::strchr(name, '.');
    propName = "p_" + (dot ? std::string(name, static_cast<size_t>(dot - name)) : std::string(name));
}

DresscasterParser::Option DresscasterParser::optionOf(const char *word) {
    switch (globalOptionOf(word)) {
    case GLOBAL_NEWDATA:
        return OPTION_NEWDATA;
    case GLOBAL_WORKDATA:
        return OPTION_WORKDATA;
    case GLOBAL_NONE:
        break;
    }
    if (std::strcmp(word, "-propname") == 0) return OPTION_PROPNAME;
    if (std::strcmp(word, "-cat") == 0) return OPTION_CAT;
    if (std::strcmp(word, "-lightmap") == 0) return OPTION_LIGHTMAP;
    return OPTION_NONE;
}

void DresscasterParser::takeWord(const char *word) {
    Option option = optionOf(word);
    if (option == OPTION_NONE) {
        if (pending != OPTION_NONE)
            takeValue(word);
        else
            takeFile(word);
        return;
    }
    if (pending != OPTION_NONE && !pendingHadValue) toolOptionCutShort(pendingWord, 0, word);
    pending = option;
    pendingWord = word;
    pendingHadValue = false;
}

void DresscasterParser::finish() {
    if (pending != OPTION_NONE && !pendingHadValue) toolMissingValue(pendingWord);
    pending = OPTION_NONE;
}

void DresscasterParser::takeFile(const char *word) {
    outputFolder->nameAfterInput(word);
    props.emplace_back(word);
}

void DresscasterParser::takeValue(const char *word) {
    Option option = pending;
    pending = OPTION_NONE;
    switch (option) {
    case OPTION_NEWDATA:
        if (!applyGlobalOption(GLOBAL_NEWDATA, word)) {
            pending = OPTION_NEWDATA;  // the next word is tried as a folder too
            pendingHadValue = true;
        }
        return;
    case OPTION_WORKDATA:
        applyGlobalOption(GLOBAL_WORKDATA, word);
        return;
    case OPTION_PROPNAME:
        setPropName(word);
        return;
    case OPTION_CAT:
        setCategory(word);
        return;
    case OPTION_LIGHTMAP:
        setLightMap(word);
        return;
    case OPTION_NONE:
        break;
    }
}

PropData *DresscasterParser::lastFile(const char *option, const char *word) {
    if (!props.empty()) return &props.back();
    toolError("%s option %s unused: no set dressing INI file has been set!\n", option, word);
    toolDiagnostic(option, "%s is unused: the option acts on the last set dressing file named before it, and there "
                           "is none", word);
    return nullptr;
}

bool DresscasterParser::nameFits(const char *option, const char *word, size_t length, size_t limit) {
    if (length <= limit) return true;
    toolError("%s option %s unused: name given is too long!  Do not exceed %u characters.\n", option, word,
              static_cast<unsigned>(limit));
    toolDiagnostic(option, "%s has %u characters; at most %u fit", word, static_cast<unsigned>(length),
                   static_cast<unsigned>(limit));
    return false;
}

void DresscasterParser::setPropName(const char *word) {
    PropData *data = lastFile("-propname", word);
    // The game reads "<name>.msh" in the prop's INI files to 31 characters. Other faults of
    // the name are refused when the package is written.
    if (!data || !nameFits("-propname", word, std::strlen(word), kMaxPropNameLength)) return;
    data->propName = word;
    data->propNameGiven = true;
}

void DresscasterParser::setCategory(const char *word) {
    PropData *data = lastFile("-cat", word);
    if (!data) return;
    int category = resOptionValue(word);
    if (category < 0 || category > 9) {
        toolError("-cat option %s out of range: must be a number from 0 to 9!\n", word);
        toolDiagnostic("-cat", "%s is no category from 0 to 9; %s keeps category %d", word, data->file, data->category);
        return;
    }
    data->category = category;
}

void DresscasterParser::setLightMap(const char *word) {
    PropData *data = lastFile("-lightmap", word);
    if (!data || !nameFits("-lightmap", word, std::strlen(textureNameOf(word)), KXRL_MESH_NAME_FIELD - 1)) return;
    data->lightMap = textureNameOf(word);
}
