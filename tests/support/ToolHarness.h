#ifndef KX_TESTS_TOOLHARNESS_H
#define KX_TESTS_TOOLHARNESS_H

// End-to-end runs of the built programs. A FakeInstall lays out a miniature installation in a
// temporary folder:
//   <root>/game/           the game folder (named in the registry), with data/meshes and data/pak
//   <root>/work/           the folder the tool runs in; its content\ folder is the tool's own
//   <root>/<name>/         extra data folders for -newdata
// and runs a program there as a separate process, with REELMARA_NO_PAUSE=1, capturing its
// standard output, standard error and exit status.

#include "PakWriter.h"
#include "ScopedEnv.h"
#include "ScopedGameFolder.h"
#include "TempFolder.h"

#include <memory>
#include <string>
#include <vector>

struct ToolRun {
    int status = -1;
    std::string output;  // standard output, with line ends as LF
    std::string errors;  // standard error (the diagnostic lines), with line ends as LF
};

// Full path of a built program (".exe" added on Windows).
std::string toolProgramPath(const std::string &tool);
// A path below the build folder as this program sees it: under Wine the POSIX root is drive Z:.
std::string buildFolderPath(const std::string &posixPath);

// A program that runs while the test goes on (FakeInstall::start).
class StartedTool {
public:
    virtual ~StartedTool() = default;
    // True while it runs.
    virtual bool running() = 0;
    // Ctrl-C: SIGINT on POSIX (or `signal`); on Windows the console's Ctrl-C (under Wine, which
    // turns SIGINT into that, SIGINT to the Wine process). False, with the reason, where it
    // cannot be sent.
    virtual bool interrupt(std::string *whyNot, int signal = 0) = 0;
    // Ends it at once, giving it no chance to tidy up (SIGKILL, TerminateProcess).
    virtual void kill() = 0;
    // Waits for the end: the status is the exit status, or 128 + the signal that ended it.
    virtual ToolRun wait() = 0;
};

class FakeInstall {
public:
    // With `gameInstalled` false the registry names no game folder.
    explicit FakeInstall(bool gameInstalled = true);
    FakeInstall(const FakeInstall &) = delete;
    FakeInstall &operator=(const FakeInstall &) = delete;

    const std::string &root() const { return folder.path(); }
    std::string gameFolder() const { return folder.file("game"); }
    std::string workFolder() const { return folder.file("work"); }

    // Writes a file below the game folder, the work folder's content folder, or any folder
    // below the root (for -newdata); returns its full path.
    std::string addGameFile(const std::string &relative, const std::string &bytes) const;
    std::string addContentFile(const std::string &relative, const std::string &bytes) const;
    std::string addRootFile(const std::string &relative, const std::string &bytes) const;
    // Writes an archive into the game's data\pak\ folder.
    std::string addPak(const std::string &name, const PakWriter &pak) const;
    // Makes the registry name `folder` as the user's documents folder (dresscaster).
    void setDocumentsFolder(const std::string &folder);

    // A path below the work folder, and its bytes ("" when missing).
    std::string workFile(const std::string &relative) const;
    std::string readWorkFile(const std::string &relative) const;
    bool workFileExists(const std::string &relative) const;

    // Runs `tool` in the work folder with these arguments.
    ToolRun run(const std::string &tool, const std::vector<std::string> &arguments) const;
    // The same, typed as a bare name that the shell finds on PATH, so that the program path
    // the tool sees holds no folder (dresscaster started with a full Windows path works in
    // the program's folder instead of the current one).
    ToolRun runByName(const std::string &tool, const std::vector<std::string> &arguments) const;
    // The same with the program given by its full path in the suite's form (`\` and `/` alike).
    ToolRun runProgram(const std::string &programPath, const std::vector<std::string> &arguments) const;

    // Runs that follow run as a user who is not root (nobody, uid 65534), so that a folder
    // without write permission keeps them out: where the tests run as root, through setpriv,
    // with the whole installation handed to that user before each run. True at once where the
    // tests do not run as root. False, with the reason, where it cannot be had (Windows, where a
    // folder's read-only mark keeps no one out; root without setpriv).
    bool runAsUnprivilegedUser(std::string *whyNot);

    // Starts `tool` in the work folder like run() and returns at once, so that the test can
    // interrupt it while it works.
    std::unique_ptr<StartedTool> start(const std::string &tool, const std::vector<std::string> &arguments) const;

    // Runs that follow may not make any file larger than `bytes` (rounded down to the 512-byte
    // blocks the shell counts in; 0 lifts the limit): a write beyond it fails with EFBIG, as on
    // a full disk, instead of ending the program. Standard output and error count too. False
    // where the system has no such limit (Windows).
    bool limitFileSize(uint64_t bytes);

private:
    // Runs the shell text `launch` (what starts the program) with the arguments in the work
    // folder.
    ToolRun runCommand(const std::string &launch, const std::vector<std::string> &arguments) const;

    std::string launchWord() const;

    TempFolder folder;
    bool gameInstalled;
    bool unprivileged = false;
    uint64_t fileSizeLimit = 0;
    std::unique_ptr<ScopedGameFolder> game;
    ScopedEnv noPause{"REELMARA_NO_PAUSE", "1"};
};

// Expects every text in `output`, in the order given, each after the end of the one before
// (a test failure names the missing text).
void expectInOrder(const std::string &output, const std::vector<std::string> &texts);

// The two lines every tool prints when it starts its work.
extern const std::string kToolStartUp;

// The checks every table of tool runs makes: the exit status, the two start-up lines first,
// the texts in order on stdout, and a stderr line whenever the status reports a failure.
void expectToolRun(const ToolRun &run, int status, const std::vector<std::string> &texts);

// `path` with the separators of this system (`/` on POSIX, `\` on Windows), as the tools show
// the paths they make.
std::string nativeSeparators(std::string path);

// The text with every CR removed: report files end their lines in CR LF.
std::string withoutCarriageReturns(const std::string &text);

// Bytes of a small file as bytes of a std::string.
std::string bytesOf(const std::vector<uint8_t> &bytes);

#endif
