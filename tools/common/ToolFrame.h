#ifndef KX_TOOLS_TOOLFRAME_H
#define KX_TOOLS_TOOLFRAME_H

// The start-up frame that every tool of the suite shares: help and version, the start-up
// messages and pause, the random seed, the application folders, the content registry, the
// global options -newdata and -workdata, the top-level error report and the exit status.
// A tool describes itself with a ToolSettings record and hands its own work to runTool.

#include "ConsoleText.h"
#include "KxRlUtil.h"

class KxRlContentRegistry;

// How a -newdata folder that cannot be opened as a content source is handled.
enum NewDataFailure {
    // The exception passes on to the top-level report, which ends the tool (meshlister).
    NEWDATA_FAILURE_ENDS_TOOL,
    // "Error with -newdata option : %s\n"; the option is finished (propcarver, propbender).
    NEWDATA_FAILURE_REPORTED,
    // "Error with -newdata option : %s (%s)\n"; the option stays pending (roomwright).
    NEWDATA_FAILURE_REPORTED_PENDING,
    // "Error in -newdata option : %s (%s)\n"; the option stays pending (dresscaster).
    NEWDATA_FAILURE_REPORTED_IN_PENDING,
};

// What sets one tool apart from the others at start-up.
struct ToolSettings {
    const char *name;      // program name, for --version
    const char *helpText;  // printed as it stands
    // Fewer arguments than this print the help: with none at all the status is 0, otherwise 2.
    int minArguments;
    // True: a missing game folder or unreadable archives leave those sources out (the PAK
    // registry's failure is printed); false: the exception ends the tool.
    bool toleratesSourceFailures;
    NewDataFailure newDataFailure;
    bool acceptsWorkData;
    // dresscaster's form of the application folders: reads the documents folder, works in the
    // folder of the program path when it names one, and pauses 3000 ms before it ends then.
    bool readsDocumentsFolder;
};

// The body of a tool: reads the command line (argv[1] on) and does the work. The frame has
// set up the folders and the content registry; an IOException that leaves the body is
// reported as "Error : %s\n".
typedef void (*ToolBody)(int argc, char **argv);

// Runs a whole tool and returns its exit status: 0 when all went well, 1 when an error was
// reported, 2 when the help was printed because the command line was incomplete (this
// takes precedence). The help and version flags (StandardFlags.h: -h, -help, --help, -? as
// the only argument, --version) print the help or "<name> <version> (Reelmara prop tools)"
// and return 0, before anything else happens.
int runTool(const ToolSettings &settings, int argc, char **argv, ToolBody body);

// For the runs that follow (set before runTool): standard output carries a document that a
// script reads as it is (paklister's JSON), so the frame prints nothing there. The start-up lines
// and the lines about the sources (a damaged archive, a game that is not installed) are left off,
// their standard error lines stay, and toolError's lines go to standard error.
void setDocumentOutput(bool document);
bool isDocumentOutput();

// The process-wide values of the frame, in one place so that tests can reset them.
struct ToolFrameValues {
    const ToolSettings *settings = nullptr;
    char appFolder[KXRL_PATH_SIZE] = {};
    char contentFolder[KXRL_PATH_SIZE] = {};
    char cacheFolder[KXRL_PATH_SIZE] = {};
    char documentsFolder[KXRL_PATH_SIZE] = {};
    char outputFolder[KXRL_PATH_SIZE] = {};
    char propName[KXRL_PATH_SIZE] = {};
    bool outputLocked = false;
    bool inProgramFolder = false;  // the program path named a folder (dresscaster)
    KxRlContentRegistry *contentRegistry = nullptr;
    int newDataCount = 0;          // -newdata folders accepted so far
    bool errorReported = false;
    bool incompleteCommandLine = false;
    int diagnosticCount = 0;  // lines printed by toolDiagnostic
};

ToolFrameValues &toolFrame();
// Deletes the content registry and clears every value (settings included).
void resetToolFrame();
void setToolSettings(const ToolSettings *settings);

const char *getAppFolder();
const char *getContentFolder();
const char *getCacheFolder();
const char *getDocumentsFolder();
const char *getOutputFolder();
const char *getPropName();
bool isOutputLocked();
KxRlContentRegistry *getContentRegistry();

// --- start-up -----------------------------------------------------------------------------

// Prints "Initializing random number generator...\n" and seeds the C generator: with
// REELMARA_SEED=<number> from that number (tests, and comparing outputs before and after a
// change), else from a sub-second clock mixed with the process id. There is no pause: two runs
// in the same second still draw different identifiers.
void initRandomGenerator();
// The seed initRandomGenerator uses: REELMARA_SEED when it holds a number, else the clock mix.
unsigned int randomSeed();
// Application folder = the current directory; creates "content" and "cache" in it. Throws an
// IOException naming the folder when a path would not fit.
void initAppFolders();
// dresscaster's form: reads the documents folder ("Personal" of the shell folders in the
// registry, else the platform's user documents folder); when `programPath` holds a backslash
// (a start from Explorer) changes to the folder before it and makes that the application
// folder; then as above. Returns whether the program path held a backslash.
bool initAppFolders(const char *programPath);
// Builds the content registry: the content folder, the game folder, the game's archives
// (extracted into the cache folder). With the settings' tolerance a missing game folder is
// left out silently and a failing PAK registry prints its text; otherwise both throw. A
// damaged archive is left out with "Warning : skipping damaged archive <name> (<reason>)".
// Standard error names the registry read and the key when the game is not installed, and a
// game folder that the registry names but that does not exist.
void initContentRegistry();

// --- global options ------------------------------------------------------------------------

enum GlobalOption { GLOBAL_NONE, GLOBAL_NEWDATA, GLOBAL_WORKDATA };
// The global option that `word` names for this tool (-workdata only where it is accepted).
GlobalOption globalOptionOf(const char *word);
// Carries out a global option with its value. Returns true when the option is finished, false
// when it stays pending (an invalid -newdata folder where the settings say so).
bool applyGlobalOption(GlobalOption option, const char *value);
// Inserts a data folder into the content registry after the -newdata folders accepted so far,
// so that they are searched first and in command-line order. A folder that is not valid is
// named on standard error with the reason and handled as the settings say; returns true when
// the option is finished. A folder without a "data" folder that holds "meshes" or another
// part of one gets a note on standard error that its parent is probably meant.
bool addNewDataFolder(const char *folder);

// --- reporting and exit status --------------------------------------------------------------

// Prints a message (printf format) to standard output. The texts given for %s may come from files
// and command lines: bytes a terminal would act on are shown escaped (ConsoleText.h).
void toolMessage(const char *format, ...)
    KX_CONSOLE_FORMAT(1, 2);
// Prints an error line as toolMessage does and marks the run as failed.
void toolError(const char *format, ...)
    KX_CONSOLE_FORMAT(1, 2);
// One diagnostic line on standard error, "<tool>: <subject>: <reason>" (the reason in printf
// format), naming the file, folder, archive or registry source and the cause, so that a user
// can act on a failure. Control characters and line breaks in the subject and the reason are
// shown escaped, so the line stays one line. A path the tools made is given in the system's own
// form (platform::nativePath). It goes beside the described stdout message (toolError) and does not
// change the exit status by itself, so it also serves warnings about input used anyway.
void toolDiagnostic(const char *subject, const char *reasonFormat, ...)
    KX_CONSOLE_FORMAT(2, 3);
// An option word left without its value(s) at the end of the command line: names it on
// standard error and makes the exit status 2. The caller then writes nothing.
void toolMissingValue(const char *option);
// An option that got `valuesGot` of its values when the option word `nextWord` came: it goes
// without them and the rest of the run is done, but the run reports an error (status 1). The
// stderr line names the option and that word.
void toolOptionCutShort(const char *option, int valuesGot, const char *nextWord);
// True once toolMissingValue was called: the tool must not write its outputs.
bool commandLineIncomplete();
// Prints the tool's help text.
void printToolHelp();
// Prints the help text because the command line was incomplete (exit status 2).
void printHelpForIncompleteCommandLine();
// 2 after printHelpForIncompleteCommandLine, else 1 after an error, else 0.
int toolExitStatus();

#endif
