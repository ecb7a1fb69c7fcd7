#include "IOException.h"
#include "KxRlGameDataFolder.h"
#include "KxRlUtil.h"
#include "RegistryFile.h"
#include "ScopedEnv.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const char *const kGameKey = "Software\\Brassnook Studios Ltd\\Reelmara";

std::string utf16le(const std::string &text) {
    std::string bytes("\xFF\xFE", 2);
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string lookup(const std::string &file, const char *key, const char *name) {
    std::string value;
    if (!platform::findRegistryValue(file, platform::HIVE_CURRENT_USER, key, name, value)) return "<missing>";
    return value;
}

}  // namespace

TEST(RegistryFile, readsRegeditExports) {
    std::string file =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
        "\"GameDir\"=\"wrong\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\r\n"
        "\"Version\"=dword:00000001\r\n"
        "\"GameDir\"=\"C:\\\\Games\\\\Reel \\\"mara\\\"\"\r\n"
        "@=\"default\"\r\n";
    EXPECT_EQ("C:\\Games\\Reel \"mara\"", lookup(file, kGameKey, "GameDir"));
    EXPECT_EQ("C:\\Games\\Reel \"mara\"", lookup(file, "SOFTWARE\\brassnook studios ltd\\REELMARA", "gamedir"));
    EXPECT_EQ("default", lookup(file, kGameKey, "@"));
    EXPECT_EQ("<missing>", lookup(file, kGameKey, "Version"));  // not text
    EXPECT_EQ("<missing>", lookup(file, kGameKey, "Absent"));
    EXPECT_EQ("<missing>", lookup(file, "Software\\Brassnook Studios Ltd", "GameDir"));

    EXPECT_EQ("C:\\Games\\Reel \"mara\"", lookup(utf16le(file), kGameKey, "GameDir"));

    std::string twoLines = "[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\n\"GameDir\"=\"/srv/reelmara\"\n";
    EXPECT_EQ("/srv/reelmara", lookup(twoLines, kGameKey, "GameDir"));
    EXPECT_EQ("<missing>", lookup("REGEDIT4\n[-HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\n"
                                  "\"GameDir\"=\"x\"\n",
                                  kGameKey, "GameDir"));
}

TEST(RegistryFile, readsWinePrefixesAndMapsTheirDrivePaths) {
    std::string file =
        "WINE REGISTRY Version 2\n"
        ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
        "#arch=win64\n\n"
        "[Software\\\\Brassnook Studios Ltd\\\\Reelmara] 1733580000\n"
        "#time=1db47d2a1b2c3d4\n"
        "\"GameDir\"=\"C:\\\\Program Files\\\\Reelmara\"\n"
        "\"Caf\\xe9\"=str(2):\"x\\ty\"\n";
    EXPECT_TRUE(platform::isWineRegistry(file));
    EXPECT_EQ("C:\\Program Files\\Reelmara", lookup(file, kGameKey, "GameDir"));
    EXPECT_EQ("x\ty", lookup(file, kGameKey, "Caf\xe9"));
    EXPECT_EQ("/home/u/.wine/dosdevices/c:/Program Files/Reelmara",
              platform::mapWineDrivePath("/home/u/.wine", "C:\\Program Files\\Reelmara"));
    EXPECT_EQ("/p/dosdevices/d:/", platform::mapWineDrivePath("/p/", "D:"));
    EXPECT_EQ("/already/posix", platform::mapWineDrivePath("/p", "/already/posix"));
}

#ifndef _WIN32
TEST(GamePath, comesFromTheNamedRegistryFileOrTheWinePrefix) {
    TempFolder dir;
    std::string named = dir.write("reelmara.reg",
                                  "[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\r\n"
                                  "\"GameDir\"=\"/opt/reelmara\"\r\n");
    dir.write("prefix/user.reg",
              "WINE REGISTRY Version 2\n[Software\\\\Brassnook Studios Ltd\\\\Reelmara] 1\n"
              "\"GameDir\"=\"C:\\\\Games\\\\Reelmara\"\n");
    {
        ScopedEnv registry("REELMARA_REGISTRY", named.c_str());
        kxrlForgetGamePath();
        ASSERT_NE(nullptr, kxrlGetGamePath());
        EXPECT_STREQ("/opt/reelmara", kxrlGetGamePath());
    }
    {
        ScopedEnv registry("REELMARA_REGISTRY", nullptr);
        ScopedEnv prefix("WINEPREFIX", dir.file("prefix").c_str());
        kxrlForgetGamePath();
        ASSERT_NE(nullptr, kxrlGetGamePath());
        EXPECT_EQ(dir.file("prefix") + "/dosdevices/c:/Games/Reelmara", kxrlGetGamePath());
    }
    {
        ScopedEnv registry("REELMARA_REGISTRY", dir.file("missing.reg").c_str());
        kxrlForgetGamePath();
        EXPECT_EQ(nullptr, kxrlGetGamePath());
        // Read once per process: a registry that appears later is not seen.
        ScopedEnv now("REELMARA_REGISTRY", named.c_str());
        EXPECT_EQ(nullptr, kxrlGetGamePath());
    }
    kxrlForgetGamePath();
}

// A regedit export from Windows or from a Wine prefix names the game by its drive path. The
// named file wins over the prefix's own registry; its drive paths are mapped through the
// prefix when the prefix has the drive, and otherwise reported as unusable here.
TEST(GamePath, mapsDrivePathsOfARegistryFileThroughTheWinePrefix) {
    TempFolder dir;
    std::string named = dir.write("export.reg",
                                  "Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\r\n"
                                  "\"GameDir\"=\"C:\\\\Games\\\\Reelmara\"\r\n");
    dir.makeFolders("prefix/dosdevices/c:/Games/Reelmara");
    dir.write("prefix/user.reg",
              "WINE REGISTRY Version 2\n[Software\\\\Brassnook Studios Ltd\\\\Reelmara] 1\n"
              "\"GameDir\"=\"C:\\\\Elsewhere\"\n");
    dir.makeFolders("driveless/dosdevices/d:");
    ScopedEnv registry("REELMARA_REGISTRY", named.c_str());
    {
        ScopedEnv prefix("WINEPREFIX", dir.file("prefix").c_str());
        kxrlForgetGamePath();
        ASSERT_NE(nullptr, kxrlGetGamePath());
        EXPECT_EQ(dir.file("prefix") + "/dosdevices/c:/Games/Reelmara", kxrlGetGamePath());
        EXPECT_STREQ(kxrlGetGamePath(), KxRlGameDataFolder::requireGamePath());
    }
    {
        ScopedEnv prefix("WINEPREFIX", dir.file("driveless").c_str());
        kxrlForgetGamePath();
        ASSERT_NE(nullptr, kxrlGetGamePath());
        EXPECT_STREQ("C:\\Games\\Reelmara", kxrlGetGamePath());
        try {
            KxRlGameDataFolder::requireGamePath();
            FAIL() << "no exception";
        } catch (const IOException &e) {
            EXPECT_STREQ("The game folder C:\\Games\\Reelmara is a Windows path that cannot be used on this system "
                         "(no Wine prefix has its drive)",
                         e.getErrorString());
        }
    }
    kxrlForgetGamePath();
}
#else
// The Windows build reads the real registry; CTest's set-up step stores this value with
// `wine reg add` before the tests run.
TEST(GamePath, readsAValueStoredInTheWindowsRegistry) {
    char buffer[KXRL_PATH_SIZE];
    ASSERT_TRUE(kxrlGetRegValue(buffer, platform::HIVE_CURRENT_USER, "Software\\ReelkitTests", "Probe"));
    EXPECT_STREQ("C:\\Games\\Reel mara", buffer);
    EXPECT_FALSE(kxrlGetRegValue(buffer, platform::HIVE_CURRENT_USER, "Software\\ReelkitTests", "Absent"));
    EXPECT_FALSE(kxrlGetRegValue(buffer, platform::HIVE_CURRENT_USER, "Software\\ReelkitTestsAbsent", "Probe"));
}
#endif
