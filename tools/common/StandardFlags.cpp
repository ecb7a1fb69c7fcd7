#include "StandardFlags.h"

#include <cstdio>
#include <cstring>

namespace {

bool isOneOf(const char *word, const char *const *flags) {
    for (; *flags; flags++)
        if (std::strcmp(word, *flags) == 0) return true;
    return false;
}

}  // namespace

StandardFlag standardFlagOf(int argc, char **argv) {
    if (argc < 2 || !argv[1]) return STANDARD_FLAG_NONE;
    const char *word = argv[1];
    if (std::strcmp(word, "--version") == 0) return STANDARD_FLAG_VERSION;
    if (std::strcmp(word, "--help") == 0) return STANDARD_FLAG_HELP;
    // The short forms only alone: elsewhere they may be values or names.
    static const char *const kShortHelp[] = {"-h", "-help", "-?", nullptr};
    if (argc == 2 && isOneOf(word, kShortHelp)) return STANDARD_FLAG_HELP;
    return STANDARD_FLAG_NONE;
}

void printVersionLine(const char *program) {
    std::printf("%s %s (Reelmara prop tools)\n", program ? program : "", KX_SUITE_VERSION);
}

bool answerStandardFlag(const char *program, const char *helpText, int argc, char **argv) {
    switch (standardFlagOf(argc, argv)) {
    case STANDARD_FLAG_HELP:
        if (helpText) std::fputs(helpText, stdout);
        std::fflush(stdout);
        return true;
    case STANDARD_FLAG_VERSION:
        printVersionLine(program);
        std::fflush(stdout);
        return true;
    case STANDARD_FLAG_NONE:
        break;
    }
    return false;
}
