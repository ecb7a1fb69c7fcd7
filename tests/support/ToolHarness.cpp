#include "ToolHarness.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <filesystem>
#include <stdexcept>
#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
// The build folder is given as a POSIX path when the Windows build runs under Wine; Wine
// shows the POSIX root as drive Z:.
std::string windowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char &c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string shellQuoted(const std::string &text) { return "\"" + text + "\""; }

// Starts `program` with `commandLine` (whose first word is what the program sees as its path)
// in `folder`, standard output and error going into the two files, without a shell in
// between, with the `flags` of CreateProcess. False when the program cannot be started.
bool startDirectly(const std::string &program, const std::string &commandLine, const std::string &folder,
                   const std::string &output, const std::string &errors, DWORD flags, PROCESS_INFORMATION *process) {
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE out = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE err = CreateFileA(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                   CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                                  folder.c_str(), &startup, process);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    return started;
}

// The same, waiting for the end. Returns the exit code, or -1 when the program cannot be started.
int runDirectly(const std::string &program, const std::string &commandLine, const std::string &folder,
                const std::string &output, const std::string &errors) {
    PROCESS_INFORMATION process = {};
    if (!startDirectly(program, commandLine, folder, output, errors, 0, &process)) return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
#else
std::string shellQuoted(const std::string &text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}
#endif

// Each run captures its output in files of its own, so that runs may go on at the same time.
std::string captureName(const char *what) {
    static std::atomic<unsigned> runs{0};
    return std::string(what) + "-" + std::to_string(++runs) + ".txt";
}

// The output files of a run, read and removed.
ToolRun collectRun(int status, const std::string &console, const std::string &errors) {
    ToolRun result;
    result.status = status;
    result.output = withoutCarriageReturns(readFileBytes(console));
    result.errors = withoutCarriageReturns(readFileBytes(errors));
    std::remove(console.c_str());
    std::remove(errors.c_str());
    return result;
}

#ifdef _WIN32
// Wine names itself through an export of its ntdll that Windows does not have.
bool underWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// What a Unix tool finds in a pattern of `pkill -f` (an extended regular expression) as `text`.
std::string regexLiteral(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (std::strchr("\\^$.|?*+()[]{}", c)) out += '\\';
        out += c;
    }
    return out;
}

class WindowsStartedTool : public StartedTool {
public:
    WindowsStartedTool(PROCESS_INFORMATION process, std::string marker, std::string console, std::string errors)
        : process(process), marker(std::move(marker)), console(std::move(console)), errors(std::move(errors)) {}
    ~WindowsStartedTool() override {
        if (running()) kill();
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    bool running() override { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
    bool interrupt(std::string *whyNot, int) override {
        if (!underWine()) {
            if (GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process.dwProcessId)) return true;
            *whyNot = "the test has no console through which to send Ctrl-Break";
            return false;
        }
        // Wine turns SIGINT into the console's Ctrl-C; the Unix process of the program is found
        // by its command line, which holds the marker.
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION signaller = {};
        std::string line = "/usr/bin/pkill -INT -f " + regexLiteral(marker);
        std::vector<char> text(line.begin(), line.end());
        text.push_back(0);
        if (!CreateProcessA("Z:\\usr\\bin\\pkill", text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &signaller)) {
            *whyNot = "Wine cannot start the host's /usr/bin/pkill to send SIGINT";
            return false;
        }
        // Wine does not hand on the exit code of a host program: whether the signal arrived shows
        // in how the run ends.
        WaitForSingleObject(signaller.hProcess, INFINITE);
        CloseHandle(signaller.hThread);
        CloseHandle(signaller.hProcess);
        return true;
    }
    void kill() override { TerminateProcess(process.hProcess, 1); }
    ToolRun wait() override {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return collectRun(static_cast<int>(code), console, errors);
    }

private:
    PROCESS_INFORMATION process;
    std::string marker, console, errors;
};
#else
class PosixStartedTool : public StartedTool {
public:
    PosixStartedTool(pid_t pid, std::string console, std::string errors)
        : pid(pid), console(std::move(console)), errors(std::move(errors)) {}
    ~PosixStartedTool() override {
        if (running()) kill();
        if (!ended) ::waitpid(pid, &endStatus, 0);
    }
    bool running() override {
        if (!ended && ::waitpid(pid, &endStatus, WNOHANG) == pid) ended = true;
        return !ended;
    }
    bool interrupt(std::string *whyNot, int signal) override {
        if (::kill(pid, signal ? signal : SIGINT) == 0) return true;
        *whyNot = "the program ended before the signal";
        return false;
    }
    void kill() override { ::kill(pid, SIGKILL); }
    ToolRun wait() override {
        if (!ended && ::waitpid(pid, &endStatus, 0) == pid) ended = true;
        int status = !ended                   ? -1
                     : WIFEXITED(endStatus)   ? WEXITSTATUS(endStatus)
                     : WIFSIGNALED(endStatus) ? 128 + WTERMSIG(endStatus)
                                              : -1;
        return collectRun(status, console, errors);
    }

private:
    pid_t pid;
    bool ended = false;
    int endStatus = 0;
    std::string console, errors;
};
#endif

}  // namespace

std::string buildFolderPath(const std::string &posixPath) {
#ifdef _WIN32
    return windowsPath(posixPath);
#else
    return posixPath;
#endif
}

std::string toolProgramPath(const std::string &tool) {
#ifdef _WIN32
    return buildFolderPath(std::string(KX_BIN_DIR) + "/" + tool + ".exe");
#else
    return std::string(KX_BIN_DIR) + "/" + tool;
#endif
}

const std::string kToolStartUp = "Initializing random number generator...\nInitializing Reelmara content registry...\n";

void expectInOrder(const std::string &output, const std::vector<std::string> &texts) {
    size_t at = 0;
    for (const std::string &text : texts) {
        size_t found = output.find(text, at);
        EXPECT_NE(std::string::npos, found) << "missing: " << text << "\nin:\n" << output;
        if (found != std::string::npos) at = found + text.size();
    }
}

void expectToolRun(const ToolRun &run, int status, const std::vector<std::string> &texts) {
    EXPECT_EQ(status, run.status) << run.output << run.errors;
    EXPECT_EQ(0u, run.output.find(kToolStartUp)) << run.output;
    expectInOrder(run.output, texts);
    if (status != 0) {
        EXPECT_NE("", run.errors) << "every failure is named on stderr";
    }
}

std::string nativeSeparators(std::string path) {
    for (char &c : path) {
        if (c == '/' || c == '\\') {
#ifdef _WIN32
            c = '\\';
#else
            c = '/';
#endif
        }
    }
    return path;
}

std::string withoutCarriageReturns(const std::string &text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

std::string bytesOf(const std::vector<uint8_t> &bytes) { return std::string(bytes.begin(), bytes.end()); }

FakeInstall::FakeInstall(bool gameInstalled) : gameInstalled(gameInstalled) {
    folder.makeFolders("game/data/meshes");
    folder.makeFolders("game/data/pak");
    folder.makeFolders("work");
    game.reset(new ScopedGameFolder(gameInstalled ? gameFolder() : std::string()));
}

std::string FakeInstall::addGameFile(const std::string &relative, const std::string &bytes) const {
    return folder.write("game/" + relative, bytes);
}

std::string FakeInstall::addContentFile(const std::string &relative, const std::string &bytes) const {
    return folder.write("work/content/" + relative, bytes);
}

std::string FakeInstall::addRootFile(const std::string &relative, const std::string &bytes) const {
    return folder.write(relative, bytes);
}

std::string FakeInstall::addPak(const std::string &name, const PakWriter &pak) const {
    return pak.writeTo(folder.file("game/data/pak/" + name));
}

void FakeInstall::setDocumentsFolder(const std::string &documents) {
    game.reset();
    game.reset(new ScopedGameFolder(gameInstalled ? gameFolder() : std::string(), documents));
}

std::string FakeInstall::workFile(const std::string &relative) const { return folder.file("work/" + relative); }

std::string FakeInstall::readWorkFile(const std::string &relative) const { return readFileBytes(workFile(relative)); }

bool FakeInstall::workFileExists(const std::string &relative) const { return fileExistsOnDisk(workFile(relative)); }

ToolRun FakeInstall::run(const std::string &tool, const std::vector<std::string> &arguments) const {
    return runProgram(toolProgramPath(tool), arguments);
}

ToolRun FakeInstall::runByName(const std::string &tool, const std::vector<std::string> &arguments) const {
#ifdef _WIN32
    // Started directly rather than found on PATH by cmd, which now and then fails to find a
    // program under Wine.
    std::string console = folder.file(captureName("console")), errors = folder.file(captureName("errors"));
    std::string commandLine = tool + ".exe";
    for (const std::string &a : arguments) commandLine += " " + shellQuoted(a);
    return collectRun(runDirectly(toolProgramPath(tool), commandLine, workFolder(), console, errors), console, errors);
#else
    return runCommand("PATH=" + shellQuoted(KX_BIN_DIR) + ":\"$PATH\" " + launchWord() + tool, arguments);
#endif
}

ToolRun FakeInstall::runProgram(const std::string &programPath, const std::vector<std::string> &arguments) const {
#ifdef _WIN32
    return runCommand(shellQuoted(windowsPath(programPath)), arguments);
#else
    return runCommand(launchWord() + shellQuoted(programPath), arguments);
#endif
}

bool FakeInstall::runAsUnprivilegedUser(std::string *whyNot) {
#ifdef _WIN32
    *whyNot = "on Windows a folder's read-only mark keeps no one out, and a test under Wine cannot take its own "
              "rights away from the programs it starts";
    return false;
#else
    if (::geteuid() != 0) return true;
    if (std::system("command -v setpriv > /dev/null 2>&1") != 0) {
        *whyNot = "the tests run as root, and setpriv, which would run the programs as another user, is missing";
        return false;
    }
    unprivileged = true;
    return true;
#endif
}

std::string FakeInstall::launchWord() const {
    return unprivileged ? "exec setpriv --reuid=65534 --regid=65534 --clear-groups -- " : "exec ";
}

std::unique_ptr<StartedTool> FakeInstall::start(const std::string &tool,
                                                const std::vector<std::string> &arguments) const {
    std::string console = folder.file(captureName("console")), errors = folder.file(captureName("errors"));
    std::string program = toolProgramPath(tool);
#ifdef _WIN32
    std::string commandLine = shellQuoted(program);
    for (const std::string &a : arguments) commandLine += " " + shellQuoted(a);
    // A group of its own lets Ctrl-Break reach the program alone on Windows; Wine then ignores Ctrl-C
    // in it, and there SIGINT stands for Ctrl-C instead.
    DWORD flags = underWine() ? 0 : CREATE_NEW_PROCESS_GROUP;
    PROCESS_INFORMATION process = {};
    if (!startDirectly(program, commandLine, workFolder(), console, errors, flags, &process)) return nullptr;
    return std::unique_ptr<StartedTool>(
        new WindowsStartedTool(process, arguments.empty() ? program : arguments.back(), console, errors));
#else
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    const std::string work = workFolder();
    pid_t pid = ::fork();
    if (pid < 0) return nullptr;
    if (pid == 0) {  // only async-signal-safe calls until exec
        int out = ::open(console.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::chdir(work.c_str()) != 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(127);
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return std::unique_ptr<StartedTool>(new PosixStartedTool(pid, console, errors));
#endif
}

bool FakeInstall::limitFileSize(uint64_t bytes) {
#ifdef _WIN32
    (void)bytes;
    return false;
#else
    fileSizeLimit = bytes;
    return true;
#endif
}

ToolRun FakeInstall::runCommand(const std::string &launch, const std::vector<std::string> &arguments) const {
    std::string console = folder.file(captureName("console"));
    std::string errors = folder.file(captureName("errors"));
    std::string command;
#ifdef _WIN32
    command = "cd /d " + shellQuoted(workFolder()) + " && " + launch;
    for (const std::string &a : arguments) command += " " + shellQuoted(a);
    command += " > " + shellQuoted(console) + " 2> " + shellQuoted(errors);
    command = "\"" + command + "\"";  // cmd /c drops the outermost pair of quotes
#else
    command = "cd " + shellQuoted(workFolder()) + " && ";
    // What the run makes below the installation, the other user must be able to make.
    if (unprivileged) command += "chown -R 65534:65534 " + shellQuoted(root()) + " && ";
    // An ignored SIGXFSZ stays ignored in the program, whose writes beyond the limit then fail
    // with EFBIG. The limit is the shell's, in blocks of 512 bytes.
    if (fileSizeLimit) command += "trap '' XFSZ && ulimit -f " + std::to_string(fileSizeLimit / 512) + " && ";
    command += launch;
    for (const std::string &a : arguments) command += " " + shellQuoted(a);
    command += " > " + shellQuoted(console) + " 2> " + shellQuoted(errors);
#endif
    int raw = std::system(command.c_str());
#ifdef _WIN32
    // Wine's command shell now and then fails to start a program that is there ("Can't
    // recognize ... as an internal or external command", status 9009) while other tests start
    // theirs: the program never ran, so it is started again.
    for (int attempt = 1; raw == 9009 && attempt < 3; attempt++) {
        Sleep(200);
        raw = std::system(command.c_str());
    }
    int status = raw;
#else
    int status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    return collectRun(status, console, errors);
}
