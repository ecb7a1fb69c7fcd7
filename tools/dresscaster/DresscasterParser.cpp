#include "DresscasterParser.h"

#include "PropOptions.h"
#include "ToolFrame.h"
#include "ToolOptions.h"
#include "ToolOutput.h"

#include <cstring>

namespace {

const char *const kNoFileYet = "unused: no set dressing INI file has been set!";

}  // namespace

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
    if (pending != OPTION_NONE && !pendingHadValue)
        toolDiagnostic(pendingWord, "the option got no value before %s; it is ignored", word);
    pending = option;
    pendingWord = word;
    pendingHadValue = false;
}

void DresscasterParser::finish() {
    if (pending != OPTION_NONE && !pendingHadValue) toolMissingValue(pendingWord);
    pending = OPTION_NONE;
}

void DresscasterParser::takeFile(const char *word) {
    if (resOutputDir(word)) folderMade = getOutputFolder();
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

void DresscasterParser::setPropName(const char *word) {
    if (props.empty()) {
        toolError("-propname option %s %s\n", word, kNoFileYet);
        toolDiagnostic(word, "-propname names the prop of the set dressing file before it; name a file first");
        return;
    }
    if (std::strlen(word) > PropData::kMaxNameLength) {
        toolError("-propname option %s unused: name given is too long!  Do not exceed %u characters.\n", word,
                  static_cast<unsigned>(PropData::kMaxNameLength));
        toolDiagnostic(word, "the prop name has %u characters; the game reads at most %u with \".msh\" added",
                       static_cast<unsigned>(std::strlen(word)), static_cast<unsigned>(PropData::kMaxNameLength));
        return;
    }
    props.back().propName = word;
    props.back().propNameGiven = true;
}

void DresscasterParser::setCategory(const char *word) {
    if (props.empty()) {
        toolError("-cat option %s %s\n", word, kNoFileYet);
        toolDiagnostic(word, "-cat sets the category of the set dressing file before it; name a file first");
        return;
    }
    int category = resOptionValue(word);
    if (category < 0 || category > 9) {
        toolError("-cat option %s out of range: must be a number from 0 to 9!\n", word);
        toolDiagnostic(word, "not a category from 0 to 9; %s keeps category %d", props.back().file,
                       props.back().category);
        return;
    }
    props.back().category = category;
}

void DresscasterParser::setLightMap(const char *word) {
    if (props.empty()) {
        toolError("-lightmap option %s %s\n", word, kNoFileYet);
        toolDiagnostic(word, "-lightmap sets the light-map of the set dressing file before it; name a file first");
        return;
    }
    if (!textureNameFits(word)) {
        toolError("-lightmap option %s unused: name given is too long!  Do not exceed 31 characters.\n", word);
        toolDiagnostic(word, "the texture name has %u characters; a texture name field holds 31",
                       static_cast<unsigned>(std::strlen(word)));
        return;
    }
    props.back().lightMap = textureNameOf(word);
}
