#include "KxRlContentResults.h"
#include "KxRlPakFile.h"
#include "KxRlPakRegistry.h"
#include "KxRlUtil.h"
#include "PakWriter.h"
#include "ScopedGameFolder.h"
#include "SuiteFiles.h"
#include "TempFolder.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

void setTime(const std::string &path, int secondsFromNow) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() +
                                               std::chrono::seconds(secondsFromNow));
}

// Two archives in <root>/pak: base.pak and patch.pak, listed in that order.
class PakRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        PakWriter base;
        base.add("data\\meshes\\", "chair.msh", "base chair", PakWriter::COMPRESSED);
        base.add("data\\meshes\\", "CHAIR2.MSH", "base chair2");
        base.add("data\\meshes\\", "desk.msh", "base desk", PakWriter::NESTED_COMPRESSED);
        base.add("data\\meshes\\old\\", "chair.msh", "old chair");
        base.add("data\\meshes\\old\\", "lamp.msh", "old lamp");
        base.add("data\\props\\", "chair.ini", "props chair");
        base.add("data\\", "ahead.msh", "ahead");
        basePath = base.writeTo(dir.file("pak/base.pak"));
        PakWriter patch(5);
        patch.add("data\\meshes\\", "chair.msh", "patch chair", PakWriter::NESTED_STORED);
        patch.add("data\\meshes\\", "sofa.msh", "patch sofa");
        patchPath = patch.writeTo(dir.file("pak/patch.pak"));
        dir.write("pak/notes.txt", "not an archive");
        dir.makeFolders("pak/folder.pak");
        dir.makeFolders("cache");
    }

    std::unique_ptr<KxRlPakRegistry> create() {
        return std::unique_ptr<KxRlPakRegistry>(
            KxRlPakRegistry::CreateFromPath(dir.file("cache").c_str(), (dir.file("pak") + "\\").c_str()));
    }

    std::string content(KxRlPakRegistry *registry, const char *name, const char *folder, bool anyDepth) {
        char out[KXRL_PATH_SIZE];
        if (!registry->getContent(out, name, folder, anyDepth)) return "<not found>";
        return readSuiteFile(out);
    }

    void clearCache() {
        std::filesystem::remove_all(dir.file("cache"));
        dir.makeFolders("cache");
    }

    TempFolder dir;
    std::string basePath;
    std::string patchPath;
};

}  // namespace

TEST_F(PakRegistryTest, findsTheArchivesOfTheFolderAndSortsOneCatalogue) {
    auto registry = create();
    ASSERT_EQ(2, registry->getPakCount());
    EXPECT_NE(std::string::npos, std::string(registry->getPak(0)->getFilename()).find("base.pak"));
    EXPECT_EQ(8, registry->getSortedCount());  // nine entries, one file in both archives
    auto key = [&](int i) {
        return std::make_pair(std::string(registry->getSortedEntry(i)->getFileName()),
                              std::string(registry->getSortedEntry(i)->getDirName()));
    };
    for (int i = 1; i < registry->getSortedCount(); i++) EXPECT_LT(key(i - 1), key(i));
    EXPECT_EQ(dir.file("cache"), registry->getRootFolder());
}

TEST_F(PakRegistryTest, keepsTheEntryOfTheNewerArchiveAndTheFirstOnEqualTimes) {
    setTime(basePath, -100);
    setTime(patchPath, -50);
    EXPECT_EQ("patch chair", content(create().get(), "chair.msh", "data\\meshes\\", false));
    clearCache();

    setTime(basePath, -10);  // base is newer now
    EXPECT_EQ("base chair", content(create().get(), "chair.msh", "data\\meshes\\", false));
    clearCache();

    auto stamp = std::filesystem::last_write_time(patchPath);
    std::filesystem::last_write_time(basePath, stamp);
    EXPECT_EQ("base chair", content(create().get(), "chair.msh", "data\\meshes\\", false));
}

TEST_F(PakRegistryTest, getContentFindsNamesInAnyCaseAndExtractsThem) {
    auto registry = create();
    char out[KXRL_PATH_SIZE];
    ASSERT_TRUE(registry->getContent(out, "Chair2.MSH", "DATA\\MESHES\\", false));
    EXPECT_EQ(dir.file("cache") + "\\data\\meshes\\chair2.msh", out);
    EXPECT_EQ("base chair2", readSuiteFile(out));
    EXPECT_EQ("base desk", content(registry.get(), "desk.msh", "data\\meshes\\", false));
    EXPECT_EQ("old lamp", content(registry.get(), "lamp.msh", "data\\meshes\\old\\", false));
    EXPECT_EQ("<not found>", content(registry.get(), "lamp.msh", "data\\meshes\\", false));
    EXPECT_EQ("old lamp", content(registry.get(), "lamp.msh", "data\\meshes\\", true));
    EXPECT_EQ("<not found>", content(registry.get(), "lamp.msh", "data\\props\\", true));
    EXPECT_EQ("<not found>", content(registry.get(), "table.msh", "data\\meshes\\", true));
    EXPECT_FALSE(fileExistsOnDisk(dir.file("cache/data/meshes/table.msh")));
    // A copy already in the cache is found without extracting again.
    EXPECT_EQ("base chair2", content(registry.get(), "chair2.msh", "data\\meshes\\", false));
}

TEST_F(PakRegistryTest, findContentScansPrefixRunsAndStarPatterns) {
    auto registry = create();
    auto names = [](KxRlContentResults &results) {
        std::set<std::string> found;
        for (int i = 0; i < results.getContentCount(); i++)
            found.insert(std::strrchr(results.getFilename(i), '\\') + 1);  // the name after the last backslash
        return found;
    };
    auto under = [&](const std::string &relative) { return dir.file("cache") + "\\" + relative; };
    {
        KxRlContentResults results;
        EXPECT_EQ(4, registry->findContent(&results, "*.msh", "data\\meshes\\", false));
        EXPECT_EQ((std::set<std::string>{"chair.msh", "chair2.msh", "desk.msh", "sofa.msh"}), names(results));
    }
    {
        KxRlContentResults results;
        EXPECT_EQ(6, registry->findContent(&results, "*.msh", "data\\meshes\\", true));
        // chair.msh of two folders: the results keep both (different relative paths).
        EXPECT_EQ(6, results.getContentCount());
        EXPECT_EQ("old chair", readSuiteFile(under("data\\meshes\\old\\chair.msh")));
    }
    {
        KxRlContentResults results;
        clearCache();
        EXPECT_EQ(2, registry->findContent(&results, "chair*", "data\\meshes\\", false));
        EXPECT_EQ((std::set<std::string>{"chair.msh", "chair2.msh"}), names(results));
        // Entries outside the folder or the pattern are not extracted.
        EXPECT_FALSE(fileExistsOnDisk(dir.file("cache/data/meshes/desk.msh")));
        EXPECT_FALSE(fileExistsOnDisk(dir.file("cache/data/props/chair.ini")));
    }
    {
        KxRlContentResults results;
        EXPECT_EQ(1, registry->findContent(&results, "chair.ini", "data\\", true));
        EXPECT_EQ(1, registry->findContent(&results, "c*r.i*", "data\\props\\", false));  // counted, refused
        EXPECT_EQ(1, results.getContentCount());
        EXPECT_EQ(0, registry->findContent(&results, "zebra*", "data\\", true));
        EXPECT_EQ(0, registry->findContent(&results, "a", "data\\", true));
        EXPECT_EQ(0, registry->findContent(&results, "Chair*", "data\\meshes\\", false));  // used as given
    }
}

TEST_F(PakRegistryTest, searchesReturnTheFirstMatchOrMinusOne) {
    auto registry = create();
    int last = registry->getSortedCount() - 1;
    int chair = registry->searchFilename("chair.msh", 0, 0, last);
    ASSERT_GE(chair, 0);
    EXPECT_STREQ("ahead.msh", registry->getSortedEntry(0)->getFileName());
    EXPECT_STREQ("chair.ini", registry->getSortedEntry(1)->getFileName());
    EXPECT_EQ(2, chair);  // two chair.msh entries; the first of them
    EXPECT_STREQ("data\\meshes\\", registry->getSortedEntry(chair)->getDirName());
    EXPECT_EQ(1, registry->searchFilename("chair", 5, 0, last));
    EXPECT_EQ(-1, registry->searchFilename("zzz", 0, 0, last));
    EXPECT_EQ(3, registry->searchFullPath("chair.msh", "data\\meshes\\old\\", 0, last));
    EXPECT_EQ(-1, registry->searchFullPath("chair.msh", "data\\", 0, last));
    EXPECT_EQ(-1, registry->searchFilename("chair.msh", 0, 0, -1));
}

TEST_F(PakRegistryTest, addAndRemoveArchivesRebuildTheCatalogue) {
    auto registry = create();
    KxRlPakFile *patch = registry->removePak(1);
    EXPECT_EQ(7, registry->getSortedCount());
    registry->addPak(patch);
    EXPECT_EQ(8, registry->getSortedCount());
}

TEST_F(PakRegistryTest, aDamagedArchiveIsSkippedAndTheOthersStayUsable) {
    dir.write("pak/broken.pak", "PAK?");
    std::unique_ptr<KxRlPakRegistry> registry = create();
    EXPECT_EQ(2, registry->getPakCount());
    ASSERT_EQ(1u, registry->getSkippedArchives().size());
    EXPECT_NE(std::string::npos, registry->getSkippedArchives()[0].path.find("broken.pak"));
    EXPECT_EQ("Unexpected end of file", registry->getSkippedArchives()[0].reason);
    EXPECT_EQ("patch sofa", content(registry.get(), "sofa.msh", "data\\meshes\\", false));
}

TEST_F(PakRegistryTest, listNamesMatchesStarAndQuestionMarkInAnyCaseWithoutExtracting) {
    std::unique_ptr<KxRlPakRegistry> registry = create();
    std::vector<std::string> names;
    registry->listNames(names, "CH?IR*.MSH", "Data\\Meshes\\");
    EXPECT_EQ((std::vector<std::string>{"chair.msh", "chair2.msh"}), names);
    EXPECT_FALSE(std::filesystem::exists(dir.file("cache/data")));
    std::string archive = registry->findEntry("desk.msh", "data\\meshes\\", false)->getPakFile()->getFilename();
    EXPECT_EQ("base.pak", archive.substr(archive.size() - 8));
}

TEST(PakRegistry, anEmptyOrMissingFolderGivesAnEmptyRegistry) {
    TempFolder dir;
    std::unique_ptr<KxRlPakRegistry> registry(
        KxRlPakRegistry::CreateFromPath(dir.file("cache").c_str(), dir.file("nothing").c_str()));
    EXPECT_EQ(0, registry->getPakCount());
    char out[KXRL_PATH_SIZE];
    EXPECT_FALSE(registry->getContent(out, "chair.msh", "data\\meshes\\", false));
    KxRlContentResults results;
    EXPECT_EQ(0, registry->findContent(&results, "*", "", true));
}

TEST(PakRegistry, createFromGameUsesTheGamesPakFolder) {
    TempFolder dir;
    PakWriter writer;
    writer.add("data\\meshes\\", "chair.msh", "game chair");
    writer.writeTo(dir.file("game/data/pak/game.pak"));
    {
        ScopedGameFolder game(dir.file("game"));
        std::unique_ptr<KxRlPakRegistry> registry(KxRlPakRegistry::CreateFromGame(dir.file("cache").c_str()));
        EXPECT_EQ(1, registry->getPakCount());
    }
    ScopedGameFolder none("");
    try {
        delete KxRlPakRegistry::CreateFromGame(dir.file("cache").c_str());
        FAIL() << "no exception";
    } catch (const IOException &e) {
        EXPECT_STREQ("Reelmara is not installed!", e.getErrorString());
    }
}

// The cache serves whichever archive wins now: archives that go or come between runs change
// what a name gives, whatever the times of the copies made by earlier runs.
TEST(PakRegistry, servesTheEntryOfTheArchiveThatWinsNow) {
    TempFolder dir;
    auto archiveWith = [&](const char *name, const char *bytes, int hoursAgo) {
        PakWriter writer;
        writer.add("data\\meshes\\", "x.msh", bytes, PakWriter::COMPRESSED);
        std::string path = writer.writeTo(dir.file(std::string("pak/") + name));
        setTime(path, -3600 * hoursAgo);
        return path;
    };
    auto served = [&]() {
        std::unique_ptr<KxRlPakRegistry> registry(
            KxRlPakRegistry::CreateFromPath(dir.file("cache").c_str(), (dir.file("pak") + "\\").c_str()));
        char out[KXRL_PATH_SIZE];
        return registry->getContent(out, "x.msh", "data\\meshes\\", false) ? readSuiteFile(out) : "<not found>";
    };
    dir.makeFolders("cache");
    archiveWith("a.pak", "from a", 30000);
    std::string b = archiveWith("b.pak", "from b", 20000);
    EXPECT_EQ("from b", served());
    std::filesystem::remove(b);
    EXPECT_EQ("from a", served());
    // Newer than a, but older than the copy that the last run made.
    std::string c = archiveWith("c.pak", "from c", 10000);
    EXPECT_EQ("from c", served());
    std::filesystem::remove(c);
    EXPECT_EQ("from a", served());
}

// Equal times keep the archive loaded first, in the listing order of the Windows file system:
// names folded to upper case, so patcha.pak comes before patch_a.pak.
TEST(PakRegistry, equalTimesKeepTheArchiveListedFirstInWindowsOrder) {
    TempFolder dir;
    const char *names[] = {"patch_a.pak", "patcha.pak"};
    for (const char *name : names) {
        PakWriter writer;
        writer.add("data\\meshes\\", "x.msh", std::string("from ") + name);
        std::filesystem::last_write_time(writer.writeTo(dir.file(std::string("pak/") + name)),
                                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }
    std::filesystem::last_write_time(dir.file("pak/patch_a.pak"), std::filesystem::last_write_time(dir.file("pak/patcha.pak")));
    dir.makeFolders("cache");
    std::unique_ptr<KxRlPakRegistry> registry(
        KxRlPakRegistry::CreateFromPath(dir.file("cache").c_str(), (dir.file("pak") + "\\").c_str()));
    char out[KXRL_PATH_SIZE];
    ASSERT_TRUE(registry->getContent(out, "x.msh", "data\\meshes\\", false));
    EXPECT_EQ("from patcha.pak", readSuiteFile(out));
}
