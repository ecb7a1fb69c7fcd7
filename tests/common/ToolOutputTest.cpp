#include "ConsoleText.h"
#include "FrameTestSupport.h"
#include "IOException.h"
#include "ToolOptions.h"
#include "ToolOutput.h"

#include <cstdarg>
#include <cstdio>
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

namespace {

std::string forConsole(const char *format, ...) KX_CONSOLE_FORMAT(1, 2);
std::string forConsole(const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::string text = formatForConsole(true, format, arguments);
    va_end(arguments);
    return text;
}

}  // namespace

// The tools' described messages go through this formatting: with printable arguments it gives
// exactly what printf gives.
TEST(ConsoleText, formatsPrintableArgumentsAsPrintfDoes) {
#define KX_EVERY_CONVERSION \
    "%d|%5d|%-5d|%+d|%05.1f|%7.3f|%02X|%x|%o|%u|%ld|%lld|%zu|%hd|%c|%s|%8s|%-4s|%.2s|%*d|%.*f|%%|%g|%e"
#define KX_ARGUMENTS                                                                                                 \
    -7, 42, 42, 3, 2.25, -3.0e37, 0xAB, 255u, 8u, 4000000000u, -5L, -9000000000LL, size_t{12}, static_cast<short>(-2), \
        'q', "plain", "right", "l", "cut", 6, 9, 2, 1.005, 0.5, 12345.678
    char expected[256];
#if defined(__MINGW32__)
    // The C++ library's snprintf is mingw's C99 one, but the compiler checks it against the
    // Windows C runtime's conversions, which lack %zu and %lld.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
#pragma GCC diagnostic ignored "-Wformat-extra-args"
#endif
    std::snprintf(expected, sizeof expected, KX_EVERY_CONVERSION, KX_ARGUMENTS);
#if defined(__MINGW32__)
#pragma GCC diagnostic pop
#endif
    EXPECT_EQ(expected, forConsole(KX_EVERY_CONVERSION, KX_ARGUMENTS));
#undef KX_ARGUMENTS
#undef KX_EVERY_CONVERSION
}

TEST(ConsoleText, escapesWhatATerminalWouldActOn) {
    struct Case {
        const char *text;
        bool keepLineBreaks;
        const char *shown;
    };
    const Case cases[] = {
        {"plain C:\\path\\file.msh", false, "plain C:\\path\\file.msh"},
        {"a\x1b[31mred\x07", false, "a\\x1B[31mred\\x07"},
        {"two\nlines\r\tand\x7f", false, "two\\nlines\\r\\tand\\x7F"},
        {"ends the line\n\n", true, "ends the line\n\n"},
        {"two\nlines\n", true, "two\\nlines\n"},
    };
    for (const Case &c : cases) EXPECT_EQ(c.shown, consoleSafe(c.text, c.keepLineBreaks)) << c.text;
    // Bytes from 0x80 up: UTF-8 characters where the system's texts are UTF-8, else characters of
    // the ANSI code page.
    const char *accented = "caf\xc3\xa9 \xff \xc2\x9b";
    EXPECT_EQ(platform::textIsUtf8() ? "caf\xc3\xa9 \\xFF \\xC2\\x9B" : accented, consoleSafe(accented, false))
        << "a byte that is no UTF-8, and the C1 control character U+009B in UTF-8";
    EXPECT_EQ("name x\\x1B[2J!\n", forConsole("name %s!\n", "x\x1b[2J"));
}
