#ifndef KX_TOOLS_STANDARDFLAGS_H
#define KX_TOOLS_STANDARDFLAGS_H

// The flags that every program of the suite answers alike, the tools (through the start-up
// frame) and the example programs: -h, -help, --help and -? as the only argument print the
// program's help, --version its version line; both on standard output, with exit status 0.
// --help and --version are also taken as the first of several arguments.

enum StandardFlag { STANDARD_FLAG_NONE, STANDARD_FLAG_HELP, STANDARD_FLAG_VERSION };

// The flag that the command line gives, if any.
StandardFlag standardFlagOf(int argc, char **argv);

// "<program> <version> (Reelmara prop tools)\n" on standard output.
void printVersionLine(const char *program);

// Answers a help or version flag: prints `helpText` or the version line of `program` and
// returns true (the program then ends with 0). False, printing nothing, for any other
// command line.
bool answerStandardFlag(const char *program, const char *helpText, int argc, char **argv);

#endif
