#include "ToolHarness.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#ifndef _WIN32
#include <sys/wait.h>
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

std::string withoutCarriageReturns(const std::string &text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

std::string bytesOf(const std::vector<uint8_t> &bytes) { return std::string(bytes.begin(), bytes.end()); }

FakeInstall::FakeInstall(bool gameInstalled) {
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

std::string FakeInstall::workFile(const std::string &relative) const { return folder.file("work/" + relative); }

std::string FakeInstall::readWorkFile(const std::string &relative) const { return readFileBytes(workFile(relative)); }

bool FakeInstall::workFileExists(const std::string &relative) const { return fileExistsOnDisk(workFile(relative)); }

ToolRun FakeInstall::run(const std::string &tool, const std::vector<std::string> &arguments) const {
    std::string console = folder.file("console.txt");
    std::string errors = folder.file("errors.txt");
    std::string command;
#ifdef _WIN32
    command = "cd /d " + shellQuoted(workFolder()) + " && " + shellQuoted(toolProgramPath(tool));
    for (const std::string &a : arguments) command += " " + shellQuoted(a);
    command += " > " + shellQuoted(console) + " 2> " + shellQuoted(errors);
    command = "\"" + command + "\"";  // cmd /c drops the outermost pair of quotes
#else
    command = "cd " + shellQuoted(workFolder()) + " && exec " + shellQuoted(toolProgramPath(tool));
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
