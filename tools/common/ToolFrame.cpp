#include "ToolFrame.h"

#include "ConsoleText.h"
#include "IOException.h"
#include "KxRlContentRegistry.h"
#include "KxRlGameDataFolder.h"
#include "KxRlPakRegistry.h"
#include "Platform.h"
#include "StandardFlags.h"
#include "ToolOutput.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <cstdint>
#include <string>

namespace {

ToolFrameValues frameValues;
// Outside the values that every run resets: it is chosen before the run starts.
bool documentOutput = false;

const char *const kDocumentsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Scripts and tests set REELMARA_NO_PAUSE=1 to skip the pauses of start-up and exit.
bool pausesSkipped() {
    const char *value = std::getenv("REELMARA_NO_PAUSE");
    return value && std::strcmp(value, "1") == 0;
}

void pause(unsigned int milliseconds) {
    std::fflush(stdout);
    if (!pausesSkipped()) platform::sleepMilliseconds(milliseconds);
}

void deleteContentRegistry() {
    delete frameValues.contentRegistry;
    frameValues.contentRegistry = nullptr;
}

// folder + "\" + name into a path buffer, or an IOException naming the path.
void joinFolder(char *target, const char *folder, const char *name) {
    if (!kxrlMakeDirName(target, folder, name, false))
        throw IOException("Path is too long: " + platform::nativePath((std::string(folder) + "\\" + name).c_str()));
}

// Application folder = `folder`; the content and cache folders are created in it.
void setAppFolder(const char *folder) {
    if (std::strlen(folder) >= KXRL_PATH_SIZE) throw IOException("Path is too long: " + std::string(folder));
    kxrlStrCopy(frameValues.appFolder, folder, KXRL_PATH_SIZE);
    joinFolder(frameValues.contentFolder, folder, "content");
    joinFolder(frameValues.cacheFolder, folder, "cache");
    platform::makeDirectory(frameValues.contentFolder);
    platform::makeDirectory(frameValues.cacheFolder);
}

// A missing game says which registry was read for which key; a game folder that the registry
// names but that is not there says so too. The sources are still made as described.
void diagnoseGameFolder() {
    const char *game = kxrlGetGamePath();
    std::string problem;
    std::string registry = platform::describeRegistrySource(platform::HIVE_CURRENT_USER, &problem);
    if (!game && problem.empty()) {
        toolDiagnostic(registry.c_str(),
                       "no value \"%s\" in the key HKEY_CURRENT_USER\\%s, so the game folder is unknown",
                       kxrlGameValue, kxrlGameKey);
    } else if (!game) {
        toolDiagnostic(registry.c_str(),
                       "cannot be read (%s), so the value \"%s\" of the key HKEY_CURRENT_USER\\%s that names the "
                       "game folder is unknown",
                       problem.c_str(), kxrlGameValue, kxrlGameKey);
    } else if (!platform::isDirectory(game)) {
        toolDiagnostic(platform::nativePath(game).c_str(), "the game folder named by \"%s\" in %s does not exist",
                       kxrlGameValue, registry.c_str());
    }
}

// Archives left out of the PAK registry: a warning on standard output and the full path and
// reason on standard error. The other archives stay in use.
void reportSkippedArchives(const KxRlPakRegistry *archives) {
    for (const KxRlPakRegistry::SkippedArchive &skipped : archives->getSkippedArchives()) {
        if (!documentOutput)
            toolMessage("Warning : skipping damaged archive %s (%s)\n", fileNameOf(skipped.path.c_str()),
                        skipped.reason.c_str());
        toolDiagnostic(platform::nativePath(skipped.path.c_str()).c_str(), "damaged archive skipped: %s",
                       skipped.reason.c_str());
    }
}

// Names of the folders inside a game's data folder; a -newdata folder that holds one of them
// instead of a data folder was probably meant one level up.
const char *const kDataFolderParts[] = {"meshes", "textures", "pak", "props", "setdressing"};

// The hint for a -newdata folder that looks like a data folder itself.
void hintAtDataFolder(const char *folder) {
    char probe[KXRL_PATH_SIZE];
    if (!kxrlMakeDirName(probe, folder, "data", false) || platform::isDirectory(probe)) return;
    for (const char *part : kDataFolderParts) {
        if (!kxrlMakeDirName(probe, folder, part, false) || !platform::isDirectory(probe)) continue;
        std::string parent = folder;
        while (!parent.empty() && kxrlIsSeparator(parent.back())) parent.pop_back();
        parent.resize(static_cast<size_t>(fileNameOf(parent.c_str()) - parent.c_str()));
        toolDiagnostic(folder,
                       "note: this -newdata folder holds no \"data\" folder but looks like one itself (it holds "
                       "\"%s\"); -newdata wants the folder that holds data\\meshes\\, here %s",
                       part, parent.empty() ? "its parent folder" : parent.c_str());
        return;
    }
}

// Why a -newdata folder cannot be used.
std::string newDataProblem(const char *folder) {
    if (!folder || !*folder) return "the folder name is empty";
    if (kxrlFileExists(folder) && !platform::isDirectory(folder)) return "this is a file, not a folder";
    if (!kxrlFileExists(folder)) return "no such folder";
    return "the folder cannot be listed";
}

}  // namespace

ToolFrameValues &toolFrame() { return frameValues; }

void resetToolFrame() {
    deleteContentRegistry();
    frameValues = ToolFrameValues();
}

void setToolSettings(const ToolSettings *settings) { frameValues.settings = settings; }

void setDocumentOutput(bool document) { documentOutput = document; }
bool isDocumentOutput() { return documentOutput; }

const char *getAppFolder() { return frameValues.appFolder; }
const char *getContentFolder() { return frameValues.contentFolder; }
const char *getCacheFolder() { return frameValues.cacheFolder; }
const char *getDocumentsFolder() { return frameValues.documentsFolder; }
const char *getOutputFolder() { return frameValues.outputFolder; }
const char *getPropName() { return frameValues.propName; }
bool isOutputLocked() { return frameValues.outputLocked; }
KxRlContentRegistry *getContentRegistry() { return frameValues.contentRegistry; }

int runTool(const ToolSettings &settings, int argc, char **argv, ToolBody body) {
    resetToolFrame();
    setToolSettings(&settings);
    int arguments = argc - 1;
    if (answerStandardFlag(settings.name, settings.helpText, argc, argv)) return 0;
    if (arguments < settings.minArguments) {
        if (arguments <= 0) {
            printToolHelp();
            return 0;
        }
        printHelpForIncompleteCommandLine();
        return toolExitStatus();
    }

    try {
        initRandomGenerator();
        if (!documentOutput) std::printf("Initializing Reelmara content registry...\n");
        if (settings.readsDocumentsFolder)
            initAppFolders(argv[0] ? argv[0] : "");
        else
            initAppFolders();
        initContentRegistry();
        body(argc, argv);
    } catch (const IOException &e) {
        toolError("Error : %s\n", e.getErrorString());
        // Code that fails names the subject itself; this line is for a failure that did not.
        if (frameValues.diagnosticCount == 0) toolDiagnostic("error", "%s", e.describe().c_str());
    } catch (const char *text) {  // the containers' bare texts
        toolError("Error : %s\n", text);
        if (frameValues.diagnosticCount == 0) toolDiagnostic("error", "%s", text);
    }
    deleteContentRegistry();
    if (settings.readsDocumentsFolder && frameValues.inProgramFolder) pause(3000);
    std::fflush(stdout);
    return toolExitStatus();
}

unsigned int randomSeed() {
    const char *fixed = std::getenv("REELMARA_SEED");
    if (fixed && *fixed) {
        char *end = nullptr;
        unsigned long value = std::strtoul(fixed, &end, 0);
        if (end != fixed && *end == 0) return static_cast<unsigned int>(value);
    }
    uint64_t ticks = static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    uint64_t mixed = ticks ^ (static_cast<uint64_t>(platform::processId()) * 0x9E3779B97F4A7C15ull);
    return static_cast<unsigned int>(mixed ^ (mixed >> 32));
}

void initRandomGenerator() {
    if (!documentOutput) std::printf("Initializing random number generator...\n");
    std::srand(randomSeed());
}

void initAppFolders() {
    char current[KXRL_PATH_SIZE];
    if (!platform::getCurrentDirectory(current, sizeof current))
        throw IOException("The current folder cannot be read or its path is too long");
    setAppFolder(current);
}

bool initAppFolders(const char *programPath) {
    if (!kxrlGetRegValue(frameValues.documentsFolder, platform::HIVE_CURRENT_USER, kDocumentsKey, "Personal") &&
        !platform::userDocumentsFolder(frameValues.documentsFolder, KXRL_PATH_SIZE))
        frameValues.documentsFolder[0] = 0;
    // Only a backslash tells a start with a full Windows path (from Explorer): a "/" is how a
    // shell names a program, and the user then expects the tool to work in the current folder.
    const char *path = programPath ? programPath : "";
    const char *lastBackslash = std::strrchr(path, '\\');
    bool namesFolder = lastBackslash != nullptr;
    // The folder is taken with its backslash ("C:\" stays the root); after changing to it the
    // application folder is the full current directory, also for a relative program path.
    if (namesFolder) {
        std::string folder(path, static_cast<size_t>(lastBackslash - path) + 1);
        if (!platform::changeDirectory(folder.c_str()))
            toolDiagnostic(folder.c_str(), "cannot change to the program's folder; working in the current folder");
    }
    initAppFolders();
    frameValues.inProgramFolder = namesFolder;
    return namesFolder;
}

void initContentRegistry() {
    deleteContentRegistry();
    bool tolerant = !frameValues.settings || frameValues.settings->toleratesSourceFailures;
    KxRlContentRegistry *registry = new KxRlContentRegistry();
    frameValues.contentRegistry = registry;
    registry->addSource(new KxRlGameDataFolder(frameValues.contentFolder));
    diagnoseGameFolder();
    try {
        registry->addSource(KxRlGameDataFolder::CreateFromGame());
    } catch (const IOException &) {
        if (!tolerant) throw;
    }
    try {
        KxRlPakRegistry *archives = KxRlPakRegistry::CreateFromGame(frameValues.cacheFolder);
        registry->addSource(archives);
        reportSkippedArchives(archives);
    } catch (const IOException &e) {
        // Without a game folder the reason is already on standard error.
        if (const char *game = kxrlGetGamePath())
            toolDiagnostic(platform::nativePath(game).c_str(), "the game's archives: %s", e.getErrorString());
        if (!tolerant) throw;
        if (!documentOutput) toolMessage("%s\n", e.getErrorString());
    }
}

GlobalOption globalOptionOf(const char *word) {
    if (!word) return GLOBAL_NONE;
    if (std::strcmp(word, "-newdata") == 0) return GLOBAL_NEWDATA;
    if (std::strcmp(word, "-workdata") == 0 && (!frameValues.settings || frameValues.settings->acceptsWorkData))
        return GLOBAL_WORKDATA;
    return GLOBAL_NONE;
}

bool applyGlobalOption(GlobalOption option, const char *value) {
    switch (option) {
    case GLOBAL_NEWDATA:
        return addNewDataFolder(value);
    case GLOBAL_WORKDATA:
        lockOutputDir(value);
        return true;
    case GLOBAL_NONE:
        break;
    }
    return true;
}

bool addNewDataFolder(const char *folder) {
    KxRlContentRegistry *registry = frameValues.contentRegistry;
    if (!registry) throw IOException("The content registry is not set up");
    KxRlGameDataFolder *source;
    try {
        source = KxRlGameDataFolder::CreateFromPath(folder);
    } catch (const IOException &e) {
        NewDataFailure failure = frameValues.settings ? frameValues.settings->newDataFailure : NEWDATA_FAILURE_ENDS_TOOL;
        const char *shown = folder ? folder : "";
        toolDiagnostic(shown, "-newdata folder refused (%s): %s", e.getErrorString(), newDataProblem(folder).c_str());
        switch (failure) {
        case NEWDATA_FAILURE_ENDS_TOOL:
            throw;
        case NEWDATA_FAILURE_REPORTED:
            toolError("Error with -newdata option : %s\n", e.getErrorString());
            return true;
        case NEWDATA_FAILURE_REPORTED_PENDING:
            toolError("Error with -newdata option : %s (%s)\n", e.getErrorString(), shown);
            return false;
        case NEWDATA_FAILURE_REPORTED_IN_PENDING:
            toolError("Error in -newdata option : %s (%s)\n", e.getErrorString(), shown);
            return false;
        }
        throw;
    }
    registry->addSource(frameValues.newDataCount, source);
    frameValues.newDataCount++;
    hintAtDataFolder(folder);
    return true;
}

void toolMessage(const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::fputs(formatForConsole(true, format, arguments).c_str(), stdout);
    va_end(arguments);
}

void toolError(const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    // With a document on standard output (paklister -json), messages go to standard error.
    const std::string text = formatForConsole(true, format, arguments);
    if (documentOutput) std::fflush(stdout);
    std::fputs(text.c_str(), documentOutput ? stderr : stdout);
    va_end(arguments);
    frameValues.errorReported = true;
}

void toolDiagnostic(const char *subject, const char *reasonFormat, ...) {
    // stdout first, so that a console that shows both keeps the described line above this one.
    std::fflush(stdout);
    const char *tool = frameValues.settings && frameValues.settings->name ? frameValues.settings->name : "reelmara";
    va_list arguments;
    va_start(arguments, reasonFormat);
    // One line, whatever the subject and the reason hold.
    std::string reason = consoleSafe(formatForConsole(false, reasonFormat, arguments).c_str(), false);
    va_end(arguments);
    std::fprintf(stderr, "%s: %s: %s\n", tool, consoleSafe(subject, false).c_str(), reason.c_str());
    std::fflush(stderr);
    frameValues.diagnosticCount++;
}

void toolMissingValue(const char *option) {
    toolDiagnostic(option, "the option needs a value, but the command line ends there; nothing was written");
    frameValues.incompleteCommandLine = true;
}

void toolOptionCutShort(const char *option, int valuesGot, const char *nextWord) {
    toolDiagnostic(option, "the option got %d of its values before the option %s came, so it is ignored", valuesGot,
                   nextWord ? nextWord : "");
    frameValues.errorReported = true;
}

bool commandLineIncomplete() { return frameValues.incompleteCommandLine; }

void printToolHelp() {
    if (frameValues.settings && frameValues.settings->helpText) std::fputs(frameValues.settings->helpText, stdout);
}

void printHelpForIncompleteCommandLine() {
    printToolHelp();
    frameValues.incompleteCommandLine = true;
}

int toolExitStatus() {
    if (frameValues.incompleteCommandLine) return 2;
    return frameValues.errorReported ? 1 : 0;
}
