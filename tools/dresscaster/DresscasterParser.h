#ifndef KX_DRESSCASTER_PARSER_H
#define KX_DRESSCASTER_PARSER_H

// dresscaster's command line, read in one pass from left to right. A word that is an option
// word (compared exactly) is always taken as an option, also where another option waits for
// its value (that one is then ignored, named on stderr). Any other word is the value of the
// option waiting for one, else a set-dressing file. -workdata, -propname, -cat and -lightmap
// take exactly the next word, accepted or refused; -newdata takes it when the folder is
// valid and otherwise stays waiting, so the next word is tried as a folder too. -propname,
// -cat and -lightmap act on the last file named so far.

#include "PropData.h"

#include <string>
#include <vector>

class MadeOutputFolder;

class DresscasterParser {
public:
    // The folder named after the first file is made through `folder`, which outlives
    // the parser.
    explicit DresscasterParser(MadeOutputFolder *folder) : outputFolder(folder) {}
    DresscasterParser(const DresscasterParser &) = delete;
    DresscasterParser &operator=(const DresscasterParser &) = delete;

    void takeWord(const char *word);
    // The end of the command line: an option still waiting for its first value is named on
    // stderr, and the run must then write nothing (status 2).
    void finish();

    std::vector<PropData> &getProps() { return props; }

private:
    enum Option { OPTION_NONE, OPTION_NEWDATA, OPTION_WORKDATA, OPTION_PROPNAME, OPTION_CAT, OPTION_LIGHTMAP };

    static Option optionOf(const char *word);
    void takeFile(const char *word);
    void takeValue(const char *word);
    // The file that -propname, -cat and -lightmap act on: the last one named, or null after the
    // "unused" message when none is named yet.
    PropData *lastFile(const char *option, const char *word);
    // False after the "too long" message when `length` exceeds `limit`.
    static bool nameFits(const char *option, const char *word, size_t length, size_t limit);
    void setPropName(const char *word);
    void setCategory(const char *word);
    void setLightMap(const char *word);

    MadeOutputFolder *outputFolder;
    std::vector<PropData> props;
    Option pending = OPTION_NONE;
    const char *pendingWord = nullptr;
    bool pendingHadValue = false;  // a refused -newdata folder keeps the option waiting
};

#endif
