#include "FrameTestSupport.h"
#include "IOException.h"
#include "KxRlContentRegistry.h"
#include "KxRlUtil.h"
#include "PakWriter.h"
#include "Platform.h"
#include "SuiteFiles.h"

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The content found for data\meshes\<name>, or "<not found>".
std::string lookUp(const char *name) {
    char out[KXRL_PATH_SIZE];
    if (!getContentRegistry()->getContent(out, name, "data\\meshes\\", false)) return "<not found>";
    return readSuiteFile(out);
}

std::string currentFolder() {
    char buffer[KXRL_PATH_SIZE];
    return platform::getCurrentDirectory(buffer, sizeof buffer) ? buffer : "<unknown>";
}

// What the last runTool call saw of its arguments.
std::vector<std::string> bodyArguments;
void recordingBody(int argc, char **argv) {
    bodyArguments.assign(argv, argv + argc);
    std::printf("body ran\n");
}
void failingBody(int, char **) { throw IOException("Could not find input mesh file!"); }
void reportingBody(int, char **) { toolError("Could not load mesh file %s\n", "x.msh"); }
void incompleteBody(int, char **) {
    toolError("Error with -cat option: %s out of range\n", "12");
    printHelpForIncompleteCommandLine();
}

// Runs runTool with the arguments, returning the status and what it printed.
int run(const ToolSettings &settings, std::vector<std::string> arguments, ToolBody body, std::string *printed) {
    std::vector<char *> argv;
    for (std::string &argument : arguments) argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    testing::internal::CaptureStdout();
    int status = runTool(settings, static_cast<int>(arguments.size()), argv.data(), body);
    *printed = testing::internal::GetCapturedStdout();
    return status;
}

const char *const kStartLines = "Initializing random number generator...\nInitializing Reelmara content registry...\n";

}  // namespace

TEST_F(FrameTest, initAppFoldersWorksInTheCurrentFolder) {
    initAppFolders();
    EXPECT_EQ(currentFolder(), getAppFolder());
    EXPECT_EQ(currentFolder() + "\\content", getContentFolder());
    EXPECT_EQ(currentFolder() + "\\cache", getCacheFolder());
    EXPECT_TRUE(fs::is_directory(work.file("content")));
    EXPECT_TRUE(fs::is_directory(work.file("cache")));
    initAppFolders();  // existing folders are fine
}

TEST_F(FrameTest, initAppFoldersWithAProgramPathMovesIntoTheProgramsFolder) {
    work.makeFolders("bin");
    EXPECT_FALSE(initAppFolders("tool"));
    EXPECT_EQ(currentFolder(), getAppFolder());
    // A shell's "/" is no start from Explorer: the tool stays in the current folder.
    EXPECT_FALSE(initAppFolders("bin/tool"));
    EXPECT_EQ(currentFolder(), getAppFolder());
    EXPECT_FALSE(fs::exists(work.file("bin/content")));

    EXPECT_TRUE(initAppFolders("bin\\tool"));  // relative: the folder is made absolute
    EXPECT_EQ(fs::canonical(work.file("bin")), fs::canonical(currentFolder()));
    EXPECT_EQ(currentFolder(), getAppFolder());
    EXPECT_TRUE(fs::is_directory(work.file("bin/content")));
    EXPECT_TRUE(fs::is_directory(work.file("bin/cache")));
    EXPECT_TRUE(toolFrame().inProgramFolder);
}

#ifndef _WIN32
// The documents folder: a registry file's "Personal", a Wine prefix's (its drive path mapped
// into the prefix), else the user's XDG documents folder, else ~/Documents.
TEST_F(FrameTest, initAppFoldersWithAProgramPathReadsTheDocumentsFolder) {
    TempFolder home;
    const std::string shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const std::string regedit = "[HKEY_CURRENT_USER\\" + shellFolders + "]\n\"Personal\"=\"/home/player/Documents\"\n";
    const std::string wine = "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer"
                             "\\\\Shell Folders] 1700000000\n\"Personal\"=\"C:\\\\users\\\\me\\\\Documents\"\n";
    const std::string xdg = "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Mine\"\n";
    const struct {
        const char *name;
        std::string registryFile, winePrefixFile, userDirs, expected;
    } cases[] = {
        {"registry file", regedit, "", xdg, "/home/player/Documents"},
        {"wine prefix", "", wine, xdg, home.file("prefix/dosdevices/c:/users/me/Documents")},
        {"registry file without the value", "[HKEY_CURRENT_USER\\Software]\n", "", xdg, home.file("Mine")},
        {"no user-dirs file", "", "", "", home.file("Documents")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string registry = c.registryFile.empty() ? "" : home.write("reelmara.reg", c.registryFile);
        std::string prefix = c.winePrefixFile.empty() ? home.file("no-prefix") : home.file("prefix");
        if (!c.winePrefixFile.empty()) home.write("prefix/user.reg", c.winePrefixFile);
        std::string config = home.file(c.userDirs.empty() ? "no-config" : "config");
        if (!c.userDirs.empty()) home.write("config/user-dirs.dirs", c.userDirs);
        ScopedEnv named("REELMARA_REGISTRY", registry.empty() ? nullptr : registry.c_str());
        ScopedEnv winePrefix("WINEPREFIX", prefix.c_str());
        ScopedEnv homeFolder("HOME", home.path().c_str());
        ScopedEnv configFolder("XDG_CONFIG_HOME", config.c_str());
        initAppFolders("tool");
        EXPECT_EQ(c.expected, getDocumentsFolder());
    }
}
#endif

TEST_F(FrameTest, newdataFoldersComeFirstInCommandLineOrder) {
    ToolSettings settings = testSettings();
    setToolSettings(&settings);
    work.write("one/data/meshes/chair.msh", "one");
    work.write("two/data/meshes/chair.msh", "two");
    work.write("two/data/meshes/desk.msh", "two desk");
    work.write("content/data/meshes/desk.msh", "content desk");
    work.write("content/data/meshes/lamp.msh", "content lamp");
    work.write("game/data/meshes/lamp.msh", "game lamp");
    work.write("game/data/meshes/sofa.msh", "game sofa");
    PakWriter pak;
    pak.add("data\\meshes\\", "sofa.msh", "pak sofa");
    pak.add("data\\meshes\\", "table.msh", "pak table", PakWriter::COMPRESSED);
    pak.writeTo(work.file("game/data/pak/game.pak"));

    initAppFolders();
    initContentRegistry();
    ASSERT_EQ(3, getContentRegistry()->getSourceCount());
    EXPECT_TRUE(addNewDataFolder(work.file("one").c_str()));
    EXPECT_EQ(GLOBAL_NEWDATA, globalOptionOf("-newdata"));
    EXPECT_TRUE(applyGlobalOption(GLOBAL_NEWDATA, work.file("two").c_str()));
    ASSERT_EQ(5, getContentRegistry()->getSourceCount());

    EXPECT_EQ("one", lookUp("chair.msh"));
    EXPECT_EQ("two desk", lookUp("desk.msh"));
    EXPECT_EQ("content lamp", lookUp("lamp.msh"));
    EXPECT_EQ("game sofa", lookUp("sofa.msh"));
    EXPECT_EQ("pak table", lookUp("table.msh"));  // extracted below the cache folder
    EXPECT_TRUE(fs::exists(work.file("cache/data/meshes/table.msh")));
    EXPECT_EQ(0, toolExitStatus());
}

TEST_F(FrameTest, anInvalidNewdataFolderIsHandledAsTheToolSays) {
    ToolSettings settings = testSettings();
    setToolSettings(&settings);
    initAppFolders();
    initContentRegistry();
    const std::string missing = work.file("missing");
    struct Case {
        NewDataFailure failure;
        bool finished;
        std::string printed;
    } cases[] = {
        {NEWDATA_FAILURE_REPORTED, true, "Error with -newdata option : Path is not valid!\n"},
        {NEWDATA_FAILURE_REPORTED_PENDING, false, "Error with -newdata option : Path is not valid! (" + missing + ")\n"},
        {NEWDATA_FAILURE_REPORTED_IN_PENDING, false, "Error in -newdata option : Path is not valid! (" + missing + ")\n"},
    };
    for (const Case &c : cases) {
        settings.newDataFailure = c.failure;
        toolFrame().errorReported = false;
        testing::internal::CaptureStdout();
        EXPECT_EQ(c.finished, addNewDataFolder(missing.c_str()));
        EXPECT_EQ(c.printed, testing::internal::GetCapturedStdout());
        EXPECT_EQ(1, toolExitStatus());
    }
    settings.newDataFailure = NEWDATA_FAILURE_ENDS_TOOL;
    EXPECT_THROW(addNewDataFolder(missing.c_str()), IOException);
    EXPECT_EQ(3, getContentRegistry()->getSourceCount());

    // A later valid folder still goes to the front.
    work.makeFolders("valid");
    EXPECT_TRUE(addNewDataFolder(work.file("valid").c_str()));
    EXPECT_EQ(work.file("valid"), getContentRegistry()->getSource(0)->getRootFolder());
}

TEST_F(FrameTest, workdataIsAGlobalOptionOnlyWhereTheToolAcceptsIt) {
    ToolSettings settings = testSettings();
    setToolSettings(&settings);
    EXPECT_EQ(GLOBAL_WORKDATA, globalOptionOf("-workdata"));
    EXPECT_TRUE(applyGlobalOption(GLOBAL_WORKDATA, "out"));
    EXPECT_TRUE(isOutputLocked());
    settings.acceptsWorkData = false;
    EXPECT_EQ(GLOBAL_NONE, globalOptionOf("-workdata"));
    EXPECT_EQ(GLOBAL_NONE, globalOptionOf("-Newdata"));
}

TEST_F(FrameTest, startUpSourceFailuresAreToleratedOrEndTheTool) {
    ToolSettings settings = testSettings();
    setToolSettings(&settings);
    initAppFolders();

    installGame("");
    testing::internal::CaptureStdout();
    initContentRegistry();
    EXPECT_EQ("Reelmara is not installed!\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ(1, getContentRegistry()->getSourceCount());  // the content folder only
    EXPECT_EQ(0, toolExitStatus());

    // A damaged archive is skipped with a warning, by every tool; the archives stay a source.
    installGame(work.file("game"));
    work.write("game/data/pak/broken.pak", "PAK");
    testing::internal::CaptureStdout();
    initContentRegistry();
    EXPECT_EQ("Warning : skipping damaged archive broken.pak (Unexpected end of file)\n",
              testing::internal::GetCapturedStdout());
    EXPECT_EQ(3, getContentRegistry()->getSourceCount());
    EXPECT_EQ(0, toolExitStatus());

    settings.toleratesSourceFailures = false;
    testing::internal::CaptureStdout();
    EXPECT_NO_THROW(initContentRegistry());
    testing::internal::GetCapturedStdout();
    installGame("");
    try {
        initContentRegistry();
        FAIL() << "no exception";
    } catch (const IOException &e) {
        EXPECT_STREQ("Reelmara is not installed!", e.getErrorString());
    }
}

TEST_F(FrameTest, runToolAnswersHelpAndVersionWithoutStarting) {
    ToolSettings settings = testSettings();
    settings.minArguments = 2;
    std::string printed;
    EXPECT_EQ(0, run(settings, {"testtool", "--version"}, recordingBody, &printed));
    EXPECT_EQ("testtool " KX_SUITE_VERSION " (Reelmara prop tools)\n", printed);
    EXPECT_EQ(0, run(settings, {"testtool", "--help", "more"}, recordingBody, &printed));
    EXPECT_EQ("Usage: testtool things\n", printed);
    EXPECT_EQ(0, run(settings, {"testtool"}, recordingBody, &printed));  // no arguments at all
    EXPECT_EQ("Usage: testtool things\n", printed);
    EXPECT_EQ(2, run(settings, {"testtool", "one"}, recordingBody, &printed));  // incomplete
    EXPECT_EQ("Usage: testtool things\n", printed);
    EXPECT_FALSE(fs::exists(work.file("content")));
    EXPECT_TRUE(bodyArguments.empty());
}

TEST_F(FrameTest, runToolStartsTheToolAndReportsItsOutcome) {
    ToolSettings settings = testSettings();
    std::string printed;
    EXPECT_EQ(0, run(settings, {"testtool", "a", "b"}, recordingBody, &printed));
    EXPECT_EQ(std::string(kStartLines) + "body ran\n", printed);
    EXPECT_EQ((std::vector<std::string>{"testtool", "a", "b"}), bodyArguments);
    EXPECT_TRUE(fs::is_directory(work.file("content")));
    EXPECT_TRUE(fs::is_directory(work.file("cache")));
    EXPECT_EQ(nullptr, getContentRegistry());  // deleted on the way out

    EXPECT_EQ(1, run(settings, {"testtool", "a"}, failingBody, &printed));
    EXPECT_EQ(std::string(kStartLines) + "Error : Could not find input mesh file!\n", printed);
    EXPECT_EQ(1, run(settings, {"testtool", "a"}, reportingBody, &printed));
    EXPECT_EQ(std::string(kStartLines) + "Could not load mesh file x.msh\n", printed);
    EXPECT_EQ(2, run(settings, {"testtool", "-cat", "12"}, incompleteBody, &printed));
    EXPECT_EQ(std::string(kStartLines) + "Error with -cat option: 12 out of range\nUsage: testtool things\n", printed);

    // A tool that does not tolerate a missing game ends before its body runs.
    installGame("");
    settings.toleratesSourceFailures = false;
    bodyArguments.clear();
    EXPECT_EQ(1, run(settings, {"testtool", "a"}, recordingBody, &printed));
    EXPECT_EQ(std::string(kStartLines) + "Error : Reelmara is not installed!\n", printed);
    EXPECT_TRUE(bodyArguments.empty());
}

TEST_F(FrameTest, runToolWithTheProgramFolderFormWorksBesideTheProgram) {
    ToolSettings settings = testSettings();
    settings.readsDocumentsFolder = true;
    work.makeFolders("bin");
    std::string printed;
    EXPECT_EQ(0, run(settings, {"bin\\testtool", "a"}, recordingBody, &printed));
    EXPECT_TRUE(fs::is_directory(work.file("bin/content")));
    EXPECT_TRUE(toolFrame().inProgramFolder);
}

TEST(ToolFrameSeed, aFixedSeedComesFromTheEnvironmentAndTheClockMixOtherwise) {
    {
        ScopedEnv fixed("REELMARA_SEED", "42");
        EXPECT_EQ(42u, randomSeed());
    }
    {
        ScopedEnv none("REELMARA_SEED", nullptr);
        // Two draws in a row: the sub-second clock moves between them, with no pause.
        unsigned int first = randomSeed();
        unsigned int second = first;
        for (int i = 0; i < 1000 && second == first; i++) second = randomSeed();
        EXPECT_NE(first, second);
    }
}
