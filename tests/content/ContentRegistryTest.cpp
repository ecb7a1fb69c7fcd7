#include "KxRlContentRegistry.h"
#include "KxRlContentResults.h"
#include "KxRlGameDataFolder.h"
#include "KxRlPakRegistry.h"
#include "KxRlUtil.h"
#include "PakWriter.h"
#include "Platform.h"
#include "ScopedGameFolder.h"
#include "SuiteFiles.h"
#include "TempFolder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Marks a folder read-only the way each system does it: the attribute on Windows, the
// permission bits elsewhere.
void setReadOnly(const std::string &folder, bool readOnly) {
#ifdef _WIN32
    DWORD attributes = GetFileAttributesA(folder.c_str());
    SetFileAttributesA(folder.c_str(), readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                                                : (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)));
#else
    std::filesystem::permissions(folder, std::filesystem::perms::owner_write,
                                 readOnly ? std::filesystem::perm_options::remove : std::filesystem::perm_options::add);
#endif
}

std::vector<std::string> fileNames(const KxRlContentResults &results) {
    std::vector<std::string> names;
    for (int i = 0; i < results.getContentCount(); i++) names.push_back(results.getFilename(i));
    return names;
}

std::string withBackslashes(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// The tail of a found path after `root`, in the suite's backslash form.
std::string relativeTo(const std::string &root, const std::string &path) {
    return withBackslashes(path.substr(std::min(path.size(), root.size() + 1)));
}

}  // namespace

TEST(GameDataFolder, getContentJoinsRootFolderAndNameAndTestsForTheFile) {
    TempFolder dir;
    dir.write("data/meshes/Chair.msh", "c");
    KxRlGameDataFolder folder(dir.path().c_str());
    char out[KXRL_PATH_SIZE];
    EXPECT_TRUE(folder.getContent(out, "chair.msh", "data\\meshes\\", false));
    EXPECT_EQ(dir.path() + "\\data\\meshes\\chair.msh", out);
    EXPECT_FALSE(folder.getContent(out, "desk.msh", "data\\meshes\\", true));
    EXPECT_TRUE(folder.getContent(out, "data", nullptr, false));
    EXPECT_EQ(dir.path() + "\\data", out);
}

TEST(GameDataFolder, refusesPathsThatDoNotFitAPathBuffer) {
    TempFolder dir;
    KxRlGameDataFolder folder(dir.path().c_str());
    char out[KXRL_PATH_SIZE];
    std::string longName(300, 'x');
    try {
        folder.getContent(out, longName.c_str(), "data\\", false);
        FAIL() << "no exception";
    } catch (const IOException &e) {
        std::string text = e.getErrorString();
        EXPECT_EQ(0u, text.find("Path is too long: "));
        EXPECT_NE(std::string::npos, text.find(longName));
    }
}

TEST(GameDataFolder, findContentGathersLowerCasePathsAndDescendsOnlyWhenAsked) {
    TempFolder dir;
    dir.write("data/meshes/A.MSH", "a");
    dir.write("data/meshes/b.msh", "b");
    dir.write("data/meshes/notes.txt", "n");
    dir.write("data/meshes/Sub/C.msh", "c");
    dir.write("data/meshes/Sub/Deeper/d.msh", "d");
    dir.write("data/meshes/zz/e.msh", "e");
    KxRlGameDataFolder folder(dir.path().c_str());
    {
        KxRlContentResults results;
        EXPECT_EQ(2, folder.findContent(&results, "*.msh", "data\\meshes\\", false));
        std::vector<std::string> names = fileNames(results);
        ASSERT_EQ(2u, names.size());
        EXPECT_EQ("data\\meshes\\a.msh", relativeTo(dir.path(), names[0]));
        EXPECT_EQ("data\\meshes\\b.msh", relativeTo(dir.path(), names[1]));
    }
    {
        KxRlContentResults results;
        EXPECT_EQ(5, folder.findContent(&results, "*.msh", "data\\meshes\\", true));
        std::vector<std::string> names = fileNames(results);
        ASSERT_EQ(5u, names.size());
        // Depth first: each folder's files before those of its subfolders.
        EXPECT_EQ("data\\meshes\\sub\\c.msh", relativeTo(dir.path(), names[2]));
        EXPECT_EQ("data\\meshes\\sub\\deeper\\d.msh", relativeTo(dir.path(), names[3]));
        EXPECT_EQ("data\\meshes\\zz\\e.msh", relativeTo(dir.path(), names[4]));
        for (const std::string &name : names) EXPECT_TRUE(kxrlFileExists(name.c_str())) << name;
    }
}

TEST(GameDataFolder, gathersButDoesNotDescendIntoReadOnlyFolders) {
    TempFolder dir;
    dir.write("data/locked/inside.msh", "x");
    dir.write("data/open/inside.msh", "y");
    setReadOnly(dir.file("data/locked"), true);
    std::vector<platform::DirEntry> listed = platform::listDirectory(dir.file("data/locked").c_str());
    bool readOnly = listed.size() == 1 && listed[0].attributes == 0x11;
    if (readOnly) {
        KxRlGameDataFolder folder(dir.path().c_str());
        KxRlContentResults results;
        EXPECT_EQ(2, folder.findContent(&results, "*", "data\\", true));
        std::vector<std::string> names = fileNames(results);
        ASSERT_EQ(2u, names.size());
        EXPECT_EQ("data\\locked", relativeTo(dir.path(), names[0]));  // gathered like a file
        EXPECT_EQ("data\\open\\inside.msh", relativeTo(dir.path(), names[1]));
    }
    setReadOnly(dir.file("data/locked"), false);
    if (!readOnly) GTEST_SKIP() << "this system does not mark the folder read-only";
}

TEST(GameDataFolder, createFromPathChecksTheFolderAndCreateFromGameNeedsTheGame) {
    TempFolder dir;
    try {
        delete KxRlGameDataFolder::CreateFromPath(dir.file("missing").c_str());
        FAIL() << "no exception";
    } catch (const IOException &e) {
        EXPECT_STREQ("Path is not valid!", e.getErrorString());
    }
    std::unique_ptr<KxRlGameDataFolder> empty(KxRlGameDataFolder::CreateFromPath(dir.path().c_str()));
    EXPECT_EQ(dir.path(), empty->getRootFolder());
    {
        ScopedGameFolder game(dir.path());
        std::unique_ptr<KxRlGameDataFolder> folder(KxRlGameDataFolder::CreateFromGame());
        EXPECT_EQ(dir.path(), folder->getRootFolder());
    }
    ScopedGameFolder none("");
    try {
        delete KxRlGameDataFolder::CreateFromGame();
        FAIL() << "no exception";
    } catch (const IOException &e) {
        EXPECT_STREQ("Reelmara is not installed!", e.getErrorString());
    }
}

TEST(ContentResults, keepsTheFirstPathOfEachRelativePath) {
    KxRlGameDataFolder first("c:\\mods");
    KxRlGameDataFolder second("c:\\game\\");
    KxRlContentResults results;
    auto copy = [](const char *text) {
        char *path = new char[std::strlen(text) + 1];
        std::memcpy(path, text, std::strlen(text) + 1);
        return path;
    };
    EXPECT_TRUE(results.addContent(&first, copy("c:\\mods\\data\\a.msh")));
    EXPECT_FALSE(results.addContent(&second, copy("c:\\game\\data\\a.msh")));
    EXPECT_TRUE(results.addContent(&second, copy("c:\\game\\data\\b.msh")));
    ASSERT_EQ(2, results.getContentCount());
    char *removed = results.removeContent(0);
    EXPECT_STREQ("c:\\mods\\data\\a.msh", removed);
    delete[] removed;
    EXPECT_TRUE(results.addContent(&second, copy("c:\\game\\data\\a.msh")));
    EXPECT_STREQ("c:\\game\\data\\a.msh", results.getFilename(1));
    // Enough paths to grow the hash map past its first threshold.
    for (int i = 0; i < 200; i++) results.addContent(&first, copy(("c:\\mods\\x" + std::to_string(i)).c_str()));
    EXPECT_EQ(202, results.getContentCount());
    EXPECT_FALSE(results.addContent(&second, copy("c:\\game\\x199")));
}

TEST(ContentRegistry, asksItsSourcesInOrderAndEarlierSourcesHideLaterOnes) {
    TempFolder dir;
    dir.write("newdata1/data/meshes/chair.msh", "newdata1");
    dir.write("newdata2/data/meshes/chair.msh", "newdata2");
    dir.write("newdata2/data/meshes/desk.msh", "newdata2 desk");
    dir.write("content/data/meshes/Lamp.msh", "content lamp");
    dir.write("game/data/meshes/lamp.msh", "game lamp");
    dir.write("game/data/meshes/sofa.msh", "game sofa");
    PakWriter pak;
    pak.add("data\\meshes\\", "chair.msh", "pak chair", PakWriter::COMPRESSED);
    pak.add("data\\meshes\\", "TABLE.MSH", "pak table");
    pak.writeTo(dir.file("game/data/pak/main.pak"));
    dir.makeFolders("cache");

    KxRlContentRegistry registry;
    char out[KXRL_PATH_SIZE];
    EXPECT_FALSE(registry.getContent(out, "chair.msh", "data\\meshes\\", false));
    EXPECT_STREQ("", registry.getRootFolder());

    // The order the tools build: content, game, archives; -newdata folders in front, in order.
    registry.addSource(new KxRlGameDataFolder(dir.file("content").c_str()));
    registry.addSource(new KxRlGameDataFolder(dir.file("game").c_str()));
    registry.addSource(KxRlPakRegistry::CreateFromPath(dir.file("cache").c_str(), dir.file("game/data/pak").c_str()));
    registry.addSource(0, KxRlGameDataFolder::CreateFromPath(dir.file("newdata1").c_str()));
    registry.addSource(1, KxRlGameDataFolder::CreateFromPath(dir.file("newdata2").c_str()));
    ASSERT_EQ(5, registry.getSourceCount());

    auto found = [&](const char *name) {
        return registry.getContent(out, name, "data\\meshes\\", false) ? readSuiteFile(out) : "<not found>";
    };
    EXPECT_EQ("newdata1", found("chair.msh"));
    EXPECT_EQ("newdata2 desk", found("desk.msh"));
    EXPECT_EQ("content lamp", found("lamp.msh"));
    EXPECT_EQ("game sofa", found("sofa.msh"));
    EXPECT_EQ("pak table", found("table.msh"));
    EXPECT_EQ("<not found>", found("bed.msh"));

    KxRlContentResults results;
    // 6: the archives count the chair.msh that the results refused as hidden.
    EXPECT_EQ(6, registry.findContent(&results, "*.msh", "data\\meshes\\", false));
    std::vector<std::string> names = fileNames(results);
    ASSERT_EQ(5u, names.size());
    EXPECT_EQ("newdata1", readSuiteFile(names[0]));
    EXPECT_EQ("newdata2 desk", readSuiteFile(names[1]));
    EXPECT_EQ("content lamp", readSuiteFile(names[2]));
    EXPECT_EQ("game sofa", readSuiteFile(names[3]));
    EXPECT_EQ("pak table", readSuiteFile(names[4]));
    std::string lamp = dir.file("content") + "\\data\\meshes\\lamp.msh";
    kxrlStrLower(&lamp[0]);
    EXPECT_EQ(lamp, names[2]);  // the whole path lower-cased

    KxRlGameFiles *removed = registry.removeSource(0);
    EXPECT_EQ(dir.file("newdata1"), removed->getRootFolder());
    delete removed;
    EXPECT_EQ("newdata2", found("chair.msh"));
}

TEST(ContentRegistry, passesOnTheExceptionsOfItsSources) {
    TempFolder dir;
    PakWriter pak;
    pak.add("data\\..\\..\\", "chair.msh", "escape");
    pak.writeTo(dir.file("pak/evil.pak"));
    KxRlContentRegistry registry;
    registry.addSource(KxRlPakRegistry::CreateFromPath(dir.file("cache").c_str(), dir.file("pak").c_str()));
    registry.addSource(new KxRlGameDataFolder(dir.path().c_str()));
    KxRlContentResults results;
    EXPECT_THROW(registry.findContent(&results, "*", "data\\..\\..\\", false), IOException);
    EXPECT_EQ(0, results.getContentCount());
}
