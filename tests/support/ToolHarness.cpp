#include "ToolHarness.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <filesystem>
#include <stdexcept>
#ifndef _WIN32
#include <sys/wait.h>
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
// between. Returns the exit code, or -1 when the program cannot be started.
int runDirectly(const std::string &program, const std::string &commandLine, const std::string &folder,
                const std::string &output, const std::string &errors) {
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
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                   CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                                  &startup, &process);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    if (!started) return -1;
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
    std::string console = folder.file("console.txt"), errors = folder.file("errors.txt");
    std::string commandLine = tool + ".exe";
    for (const std::string &a : arguments) commandLine += " " + shellQuoted(a);
    ToolRun result;
    result.status = runDirectly(toolProgramPath(tool), commandLine, workFolder(), console, errors);
    result.output = withoutCarriageReturns(readFileBytes(console));
    result.errors = withoutCarriageReturns(readFileBytes(errors));
    return result;
#else
    return runCommand("PATH=" + shellQuoted(KX_BIN_DIR) + ":\"$PATH\" exec " + tool, arguments);
#endif
}

ToolRun FakeInstall::runProgram(const std::string &programPath, const std::vector<std::string> &arguments) const {
#ifdef _WIN32
    return runCommand(shellQuoted(windowsPath(programPath)), arguments);
#else
    return runCommand("exec " + shellQuoted(programPath), arguments);
#endif
}

ToolRun FakeInstall::runCommand(const std::string &launch, const std::vector<std::string> &arguments) const {
    std::string console = folder.file("console.txt");
    std::string errors = folder.file("errors.txt");
    std::string command;
#ifdef _WIN32
    command = "cd /d " + shellQuoted(workFolder()) + " && " + launch;
    for (const std::string &a : arguments) command += " " + shellQuoted(a);
    command += " > " + shellQuoted(console) + " 2> " + shellQuoted(errors);
    command = "\"" + command + "\"";  // cmd /c drops the outermost pair of quotes
#else
    command = "cd " + shellQuoted(workFolder()) + " && " + launch;
    for (const std::string &a : arguments) command += " " + shellQuoted(a);
    command += " > " + shellQuoted(console) + " 2> " + shellQuoted(errors);
#endif
    int raw = std::system(command.c_str());
    ToolRun result;
#ifdef _WIN32
    result.status = raw;
#else
    result.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    result.output = withoutCarriageReturns(readFileBytes(console));
    result.errors = withoutCarriageReturns(readFileBytes(errors));
    return result;
}
