#ifndef KX_PROPCARVER_PARSER_H
#define KX_PROPCARVER_PARSER_H

// propcarver's command line, read in one pass from left to right. Every word is first
// compared with the option words, whatever is being read; a word that is no option is taken
// by the reading mode:
//   positional  the input mesh, then the prop name (then out of place);
//   groups      group numbers, after -g;
//   meshes      mesh numbers of the current group, after -m;
//   arguments   the words of the option waiting for them; once it has them all it is carried
//               out and the mode it interrupted returns.
// An option word that arrives while another option still waits ends that one: -v and -cv
// with at least one number are done, any other is abandoned (named on stderr), and the mode
// from before it returns. Group and mesh options out of place are warned about and ignored
// without changing the mode.

#include "CarverOptions.h"
#include "PropOptions.h"

class Carver;

class CarverParser {
public:
    explicit CarverParser(Carver *carver) : carver(carver) {}
    CarverParser(const CarverParser &) = delete;
    CarverParser &operator=(const CarverParser &) = delete;

    void takeWord(const char *word);
    // The end of the command line: an option, -g or -m left without its words is named on
    // stderr (status 2, nothing written); -v and -cv with numbers are done.
    void finish();

private:
    enum Mode { MODE_POSITIONAL, MODE_GROUPS, MODE_MESHES, MODE_ARGUMENTS };

    void takeOption(const CarverOption &option);
    void takeArgument(const char *word);
    // The option waiting for words is done or abandoned; the mode it interrupted returns.
    void endPending(const char *nextOption);
    bool warnIfOutOfPlace(const CarverOption &option) const;

    Carver *carver;
    Mode mode = MODE_POSITIONAL;
    Mode savedMode = MODE_POSITIONAL;
    const CarverOption *pending = nullptr;
    OptionArguments arguments;
    // -g or -m as typed, until the first number after it.
    const char *awaitingNumbers = nullptr;
};

#endif
