#include "KxRlUtil.h"
#include "StringBuffer.h"
#include "TempFolder.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

TEST(KxRlUtil, foldsCaseAndTrimsBlanks) {
    char text[] = "Chair_01.MSH";
    kxrlStrLower(text);
    EXPECT_STREQ("chair_01.msh", text);
    kxrlStrUpper(text);
    EXPECT_STREQ("CHAIR_01.MSH", text);
    kxrlStrLower(nullptr);

    char blanks[] = " \tab ";
    EXPECT_EQ(3, kxrlStrTrim(blanks));
    EXPECT_STREQ("ab", blanks);
    char only[] = " \t ";
    EXPECT_EQ(3, kxrlStrRTrim(only));
    EXPECT_STREQ("", only);
    char empty[] = "";
    EXPECT_EQ(0, kxrlStrRTrim(empty));
    EXPECT_EQ(0, kxrlStrLTrim(nullptr));
}

TEST(KxRlUtil, matchesStarPatterns) {
    EXPECT_TRUE(kxrlStrPattern("chair.msh", "*.msh"));
    EXPECT_TRUE(kxrlStrPattern("chair.msh", "chair*"));
    EXPECT_TRUE(kxrlStrPattern("chair.msh", "c*r.m*"));
    EXPECT_FALSE(kxrlStrPattern("chair.msh", "*.ini"));
    EXPECT_TRUE(kxrlStrPattern("chair.msh", "chair.msh"));
    EXPECT_FALSE(kxrlStrPattern("Chair.msh", "chair*"));
    EXPECT_TRUE(kxrlStrPattern("anything", "*"));
    EXPECT_TRUE(kxrlStrPattern("", "*"));
    EXPECT_TRUE(kxrlStrPattern("ab", "a**b"));
    EXPECT_FALSE(kxrlStrPattern("chair.ms", "chair.msh"));
    EXPECT_FALSE(kxrlStrPattern("a?c", "abc"));  // no single-character wildcard
    // A final fragment that also occurs earlier still matches at the end.
    EXPECT_TRUE(kxrlStrPattern("a.msh.msh", "*.msh"));
    EXPECT_TRUE(kxrlStrPattern("abcbc", "a*b*c"));
    EXPECT_FALSE(kxrlStrPattern("abcbd", "a*b*c"));
}

TEST(KxRlUtil, joinsPathsWithBackslashes) {
    char path[KXRL_PATH_SIZE];
    ASSERT_TRUE(kxrlMakeDirName(path, "data", "x.ini", false));
    EXPECT_STREQ("data\\x.ini", path);
    ASSERT_TRUE(kxrlMakeDirName(path, "C:\\Games\\Reelmara", "data\\pak\\", true));
    EXPECT_STREQ("C:\\Games\\Reelmara\\data\\pak\\", path);
    ASSERT_TRUE(kxrlMakeDirName(path, "", "meshes", true));
    EXPECT_STREQ("meshes\\", path);
    ASSERT_TRUE(kxrlAttachDirName(path, "sub\\", true));
    EXPECT_STREQ("meshes\\sub\\", path);
    ASSERT_TRUE(kxrlAttachDirName(path, nullptr, true));
    ASSERT_TRUE(kxrlAttachDirName(path, "", true));
    EXPECT_STREQ("meshes\\sub\\", path);

    char copy[4];
    kxrlStrCopy(copy, "abcdef", sizeof copy);
    EXPECT_STREQ("abc", copy);
    kxrlStrCopy(copy, nullptr, sizeof copy);
    EXPECT_STREQ("", copy);
}

TEST(KxRlUtil, refusesPathsThatWouldNotFit) {
    char path[KXRL_PATH_SIZE];
    std::string folder(250, 'f');
    EXPECT_TRUE(kxrlMakeDirName(path, folder.c_str(), "abcd", false));  // 255 characters fit
    EXPECT_EQ(255u, std::strlen(path));
    EXPECT_FALSE(kxrlAttachDirName(path, "x", false));
    EXPECT_EQ(255u, std::strlen(path));  // unchanged
    EXPECT_FALSE(kxrlMakeDirName(path, folder.c_str(), "abcde", false));
    EXPECT_STREQ("", path);
    EXPECT_FALSE(kxrlMakeDirName(path, folder.c_str(), "abcd", true));  // the separator does not fit
}

TEST(KxRlUtil, readsNonEmptyLinesWithAnyLineEnd) {
    TempFolder dir;
    std::string path = dir.write("lines.txt", std::string("\n\nab\r\ncd"));
    FILE *file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, file);
    StringBuffer line;
    ASSERT_TRUE(kxrlReadLine(&line, file));
    EXPECT_STREQ("ab", line.getChars());
    ASSERT_TRUE(kxrlReadLine(&line, file));
    EXPECT_STREQ("cd", line.getChars());
    EXPECT_FALSE(kxrlReadLine(&line, file));
    EXPECT_EQ(0u, line.getLength());
    std::fclose(file);

    std::string blanks = dir.write("blanks.txt", std::string(" \tx \r\r\n"));
    file = std::fopen(blanks.c_str(), "rb");
    ASSERT_TRUE(kxrlReadLine(&line, file));
    EXPECT_STREQ(" \tx ", line.getChars());
    EXPECT_FALSE(kxrlReadLine(&line, file));
    std::fclose(file);
}

TEST(KxRlUtil, drawsRandomHalvesOf15Bits) {
    std::srand(7);
    for (int i = 0; i < 1000; i++) {
        int r = kxrlRand15();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}
