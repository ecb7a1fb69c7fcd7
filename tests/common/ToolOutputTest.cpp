#include "FrameTestSupport.h"
#include "IOException.h"
#include "ToolOptions.h"
#include "ToolOutput.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

TEST(ToolOptions, readWholeNumbersWithAutomaticBase) {
    EXPECT_EQ(7, resOptionValue("7"));
    EXPECT_EQ(16, resOptionValue("0x10"));
    EXPECT_EQ(8, resOptionValue("010"));
    EXPECT_EQ(-1, resOptionValue("abc"));
    EXPECT_EQ(-1, resOptionValue(""));
    EXPECT_EQ(-5, resOptionValue("-5"));
    EXPECT_EQ(12, resOptionValue("12abc"));
    EXPECT_EQ(2147483647, resOptionValue("99999999999"));  // the same on every platform
}

TEST(ToolOptions, readFloatsAndTellWhetherAllWereGiven) {
    EXPECT_FLOAT_EQ(2.5f, resFloatValue("2.5"));
    EXPECT_FLOAT_EQ(100.0f, resFloatValue("1e2"));
    EXPECT_FLOAT_EQ(-0.25f, resFloatValue("-.25xyz"));
    EXPECT_EQ(1000000.0f, resFloatValue("x"));
    EXPECT_EQ(1000000.0f, resFloatValue(""));
    float values[3];
    initFloatArray(values, 3);
    EXPECT_EQ(1000000.0f, values[2]);
    values[0] = 1.0f;
    values[2] = 0.0f;
    EXPECT_FALSE(checkFloatArray(values, 3));
    EXPECT_TRUE(checkFloatArray(values, 1));
    values[1] = -3.0f;
    EXPECT_TRUE(checkFloatArray(values, 3));
}

TEST_F(FrameTest, resOutputMakesThePropNameAndItsFolder) {
    resOutput("p_chair");
    EXPECT_STREQ("p_chair", getPropName());
    EXPECT_STREQ("p_chair", getOutputFolder());
    EXPECT_TRUE(fs::is_directory(work.file("p_chair")));
    resOutput("chair.msh");
    EXPECT_STREQ("p_chair", getPropName());

    std::string longest(25, 'a');
    resOutput(("p_" + longest + ".msh").c_str());
    EXPECT_EQ("p_" + longest, getPropName());
    for (const std::string &name : {std::string(26, 'b'), "p_" + std::string(26, 'b')}) {
        try {
            resOutput(name.c_str());
            FAIL() << name;
        } catch (const IOException &e) {
            EXPECT_STREQ("Output prop name exceeds 25 characters.", e.getErrorString());
        }
    }
}

TEST_F(FrameTest, aLockedOutputFolderStaysWhereWorkdataPutIt) {
    lockOutputDir("out\\props\\today");
    EXPECT_TRUE(fs::is_directory(work.file("out")));
    EXPECT_TRUE(fs::is_directory(work.file("out/props")));
    EXPECT_TRUE(fs::is_directory(work.file("out/props/today")));
    EXPECT_STREQ("out\\props\\today", getOutputFolder());
    EXPECT_TRUE(isOutputLocked());

    resOutput("chair");
    EXPECT_STREQ("p_chair", getPropName());
    EXPECT_STREQ("out\\props\\today", getOutputFolder());
    EXPECT_FALSE(fs::exists(work.file("p_chair")));
    resOutputDir("room.ini");
    EXPECT_STREQ("out\\props\\today", getOutputFolder());
    EXPECT_FALSE(fs::exists(work.file("room")));

    lockOutputDir((work.path() + "/slashed/levels/").c_str());  // absolute, with forward slashes
    EXPECT_TRUE(fs::is_directory(work.file("slashed/levels")));
}

TEST_F(FrameTest, lockOutputDirRefusesAPathLongerThanAPathBuffer) {
    std::string tooLong(300, 'd');
    try {
        lockOutputDir(tooLong.c_str());
        FAIL() << "no exception";
    } catch (const IOException &e) {
        EXPECT_EQ("Path is too long: " + tooLong, e.getErrorString());
    }
    EXPECT_FALSE(isOutputLocked());
}

TEST_F(FrameTest, resOutputDirTakesTheFirstInputsName) {
    resOutputDir("rooms\\kitchen.room.ini");
    EXPECT_STREQ("kitchen", getOutputFolder());
    EXPECT_TRUE(fs::is_directory(work.file("kitchen")));
    resOutputDir("hall.ini");
    EXPECT_STREQ("kitchen", getOutputFolder());
    EXPECT_FALSE(fs::exists(work.file("hall")));

    resetToolFrame();
    resOutputDir("sets/Living Room");  // `/` separates too; no dot: the whole name
    EXPECT_STREQ("Living Room", getOutputFolder());
    EXPECT_TRUE(fs::is_directory(work.file("Living Room")));
}

TEST_F(FrameTest, resMeshFileDirCutsTheFileNameAndCreatesEveryLevel) {
    resMeshFileDir("p_desk.msh");
    EXPECT_STREQ("p_desk", getOutputFolder());
    EXPECT_TRUE(fs::is_directory(work.file("p_desk")));
    resMeshFileDir("mods.v2/meshes\\chair.lod.msh");  // a dot in a folder name stays
    EXPECT_STREQ("mods.v2/meshes\\chair", getOutputFolder());
    EXPECT_TRUE(fs::is_directory(work.file("mods.v2/meshes/chair")));
    resMeshFileDir("nodot");
    EXPECT_STREQ("nodot", getOutputFolder());
    // An empty name would send the exports to the root of the file system.
    EXPECT_THROW(resMeshFileDir(".msh"), IOException);
    EXPECT_THROW(resMeshFileDir("meshes\\.hidden"), IOException);
}

TEST(ToolOutput, fileNameOfTakesTheTextAfterTheLastSeparator) {
    EXPECT_STREQ("c.ini", fileNameOf("a\\b/c.ini"));
    EXPECT_STREQ("c.ini", fileNameOf("c.ini"));
    EXPECT_STREQ("", fileNameOf("dir\\"));
}
