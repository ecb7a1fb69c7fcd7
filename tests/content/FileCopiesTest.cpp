// Listings of every copy of every file the sources hold: where each lies, its sizes, and which
// copy the game finds under each name.

#include "KxRlContentRegistry.h"
#include "KxRlGameDataFolder.h"
#include "KxRlPakFile.h"
#include "KxRlPakRegistry.h"
#include "KxRlUtil.h"
#include "PakWriter.h"
#include "Platform.h"
#include "SuiteFiles.h"
#include "TempFolder.h"

#include <chrono>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

void setHoursAgo(const std::string &path, int hours) {
    std::filesystem::last_write_time(path,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(hours));
}

// The payload size an archive stores `bytes` in: the innermost header of what PakWriter writes.
int64_t packedOf(const std::string &bytes, PakWriter::Storage storage) {
    std::string encoded = PakWriter::encode(bytes, storage);
    auto word = [&encoded](size_t at) {
        uint32_t value = 0;
        std::memcpy(&value, encoded.data() + at, 4);
        return value;
    };
    size_t header = 0;
    while (word(header + 12) != 0 && encoded.size() >= header + 20 && word(header + 16) == 0x706D637Au) header += 20;
    return word(header + 12) != 0 ? word(header + 4) : word(header + 8);
}

// A game with a -newdata folder, the content folder, the game folder and two archives, whose
// files shadow each other:
//   mods/    data\meshes\a.msh, data\textures\t.dds
//   content/ data\meshes\a.msh, data\meshes\b.msh
//   game/    data\meshes\b.msh, data\meshes\c.msh, readme.txt (outside data\)
//   a_old.pak (older, loaded first): data\meshes\c.msh, data\meshes\d.msh, data\setdressing\d.ini,
//            and a hostile entry and one whose data lies beyond the end
//   b_new.pak (newer):               data\meshes\d.msh, data\textures\t.dds
class FileCopiesTest : public ::testing::Test {
protected:
    struct Stored {
        const char *archive, *dir, *name, *bytes;
        PakWriter::Storage storage;
    };
    static constexpr Stored kStored[] = {
        {"a_old.pak", "data\\meshes\\", "c.msh", "old c", PakWriter::COMPRESSED},
        {"a_old.pak", "data\\meshes\\", "d.msh", "old d, longer", PakWriter::STORED},
        {"a_old.pak", "data\\setdressing\\", "D.INI", "\tmesh = d.msh\r\n", PakWriter::STORED},
        {"b_new.pak", "data\\meshes\\", "d.msh", "new d from a nested stream", PakWriter::NESTED_COMPRESSED},
        {"b_new.pak", "data\\textures\\", "t.dds", "pak texture", PakWriter::NESTED_STORED},
    };

    void SetUp() override {
        dir.write("mods/data/meshes/a.msh", "mods a");
        dir.write("mods/data/textures/t.dds", "mods texture");
        dir.write("content/data/meshes/a.msh", "content a!");
        dir.write("content/data/meshes/b.msh", "content b");
        dir.write("game/data/meshes/b.msh", "game b.");
        dir.write("game/data/meshes/c.msh", "game c");
        dir.write("game/readme.txt", "not game data");
        PakWriter oldPak, newPak;
        for (const Stored &stored : kStored)
            (std::strcmp(stored.archive, "a_old.pak") == 0 ? oldPak : newPak)
                .add(stored.dir, stored.name, stored.bytes, stored.storage);
        oldPak.add("data\\..\\..\\", "evil.txt", "escape");
        PakWriter::Entry &far = oldPak.add("data\\meshes\\", "far.msh", "far");
        far.fixedOffset = true;
        far.dataOffset = 0x7FFFFF00u;
        setHoursAgo(oldPak.writeTo(dir.file("game/data/pak/a_old.pak")), 2);
        setHoursAgo(newPak.writeTo(dir.file("game/data/pak/b_new.pak")), 1);
        dir.makeFolders("cache");

        registry.addSource(KxRlGameDataFolder::CreateFromPath(dir.file("mods").c_str()));
        registry.addSource(new KxRlGameDataFolder(dir.file("content").c_str()));
        registry.addSource(new KxRlGameDataFolder(dir.file("game").c_str(), KxRlSourceKind::Game));
        registry.addSource(KxRlPakRegistry::CreateFromPath(dir.file("cache").c_str(),
                                                           (dir.file("game/data/pak") + "\\").c_str()));
    }

    std::string place(const std::string &relative) const { return platform::nativePath(dir.file(relative).c_str()); }

    TempFolder dir;
    KxRlContentRegistry registry;
};

constexpr FileCopiesTest::Stored FileCopiesTest::kStored[];

TEST_F(FileCopiesTest, listsEveryCopyByPathInSearchOrderWithItsPlaceAndSizes) {
    struct Expected {
        const char *path;
        KxRlSourceKind kind;
        const char *place;  // below the test folder
        uint64_t size;
        int64_t packed;
        bool shadowed;
    };
    auto stored = [](int i) { return packedOf(kStored[i].bytes, kStored[i].storage); };
    const Expected expected[] = {
        {"data\\meshes\\a.msh", KxRlSourceKind::NewData, "mods", 6, -1, false},
        {"data\\meshes\\a.msh", KxRlSourceKind::Content, "content", 10, -1, true},
        {"data\\meshes\\b.msh", KxRlSourceKind::Content, "content", 9, -1, false},
        {"data\\meshes\\b.msh", KxRlSourceKind::Game, "game", 7, -1, true},
        {"data\\meshes\\c.msh", KxRlSourceKind::Game, "game", 6, -1, false},
        {"data\\meshes\\c.msh", KxRlSourceKind::Archive, "game/data/pak/a_old.pak", 5, stored(0), true},
        // The newer archive wins, although the older one was loaded first.
        {"data\\meshes\\d.msh", KxRlSourceKind::Archive, "game/data/pak/b_new.pak", 26, stored(3), false},
        {"data\\meshes\\d.msh", KxRlSourceKind::Archive, "game/data/pak/a_old.pak", 13, stored(1), true},
        {"data\\pak\\a_old.pak", KxRlSourceKind::Game, "game", 0, -1, false},
        {"data\\pak\\b_new.pak", KxRlSourceKind::Game, "game", 0, -1, false},
        {"data\\setdressing\\d.ini", KxRlSourceKind::Archive, "game/data/pak/a_old.pak", 15, 15, false},
        {"data\\textures\\t.dds", KxRlSourceKind::NewData, "mods", 12, -1, false},
        {"data\\textures\\t.dds", KxRlSourceKind::Archive, "game/data/pak/b_new.pak", 11, stored(4), true},
    };

    KxRlCopyListing listing = registry.listCopies("*", "data\\", true);
    ASSERT_EQ(sizeof expected / sizeof expected[0], listing.copies.size());
    for (size_t i = 0; i < listing.copies.size(); i++) {
        const KxRlFileCopy &copy = listing.copies[i];
        const Expected &want = expected[i];
        SCOPED_TRACE(std::string(want.path) + " from " + want.place);
        EXPECT_EQ(want.path, copy.path);
        EXPECT_EQ(want.kind, copy.place->kind);
        EXPECT_EQ(place(want.place), copy.place->path);
        if (want.size > 0) {
            EXPECT_EQ(want.size, copy.size);  // (the archives themselves vary in size)
        }
        EXPECT_EQ(want.packed, copy.packed);
        EXPECT_EQ(want.shadowed, copy.shadowed);
        // The winner is the first copy of the path.
        const KxRlFileCopy &winner = listing.copies[copy.winner];
        EXPECT_EQ(copy.path, winner.path);
        EXPECT_FALSE(winner.shadowed);
        EXPECT_TRUE(copy.winner == i || copy.shadowed);
    }
    EXPECT_EQ(std::string("archive"), kxrlSourceKindName(listing.copies[5].place->kind));

    ASSERT_EQ(2u, listing.refused.size());
    EXPECT_NE(std::string::npos, listing.refused[0].reason.find("leaves the extraction folder"));
    EXPECT_NE(std::string::npos, listing.refused[1].subject.find("far.msh"));
    EXPECT_NE(std::string::npos, listing.refused[1].reason.find("beyond the end of the archive"));
}

// The copy a listing says wins is the one the tools' own search finds, and the winners alone
// are the same copies in the same order.
TEST_F(FileCopiesTest, winnersAreWhatTheSearchFinds) {
    KxRlCopyListing all = registry.listCopies("*", "data\\", true);
    KxRlCopyListing winners = registry.listCopies("*", "data\\", true, KxRlContentRegistry::Copies::Winners);
    std::vector<const KxRlFileCopy *> expected;
    for (const KxRlFileCopy &copy : all.copies)
        if (!copy.shadowed) expected.push_back(&copy);
    ASSERT_EQ(expected.size(), winners.copies.size());
    for (size_t i = 0; i < expected.size(); i++) {
        const KxRlFileCopy &copy = winners.copies[i];
        EXPECT_EQ(expected[i]->path, copy.path);
        EXPECT_EQ(expected[i]->place->path, copy.place->path);
        EXPECT_EQ(i, copy.winner);
        size_t split = copy.path.rfind('\\') + 1;
        char found[KXRL_PATH_SIZE];
        KxRlGameFiles *source = registry.getContentSource(found, copy.path.c_str() + split,
                                                          copy.path.substr(0, split).c_str(), false);
        EXPECT_EQ(copy.source, source) << copy.path;
        EXPECT_EQ(readSuiteFile(found), readSuiteFile(registry.readablePath(copy))) << copy.path;
    }
}

TEST_F(FileCopiesTest, patternsAndFoldersNarrowTheListing) {
    const struct {
        const char *pattern, *folder;
        bool anyDepth;
        std::vector<std::string> paths;
    } cases[] = {
        {"*.MSH", "data\\meshes\\", false,
         {"data\\meshes\\a.msh", "data\\meshes\\a.msh", "data\\meshes\\b.msh", "data\\meshes\\b.msh",
          "data\\meshes\\c.msh", "data\\meshes\\c.msh", "data\\meshes\\d.msh", "data\\meshes\\d.msh"}},
        {"?.dds", "DATA\\", true, {"data\\textures\\t.dds", "data\\textures\\t.dds"}},
        {"d.*", "data\\", true,
         {"data\\meshes\\d.msh", "data\\meshes\\d.msh", "data\\setdressing\\d.ini"}},
        {"*", "data\\props\\", true, {}},
    };
    for (const auto &c : cases) {
        KxRlCopyListing listing = registry.listCopies(c.pattern, c.folder, c.anyDepth);
        std::vector<std::string> paths;
        for (const KxRlFileCopy &copy : listing.copies) paths.push_back(copy.path);
        EXPECT_EQ(c.paths, paths) << c.pattern << " in " << c.folder;
    }
}

TEST_F(FileCopiesTest, extractsArchivedAndLooseCopiesWholeWithTheirTimes) {
    KxRlCopyListing listing = registry.listCopies("*", "data\\", true, KxRlContentRegistry::Copies::Winners);
    const struct {
        const char *path, *bytes, *timeOf;
    } cases[] = {
        {"data\\meshes\\d.msh", "new d from a nested stream", "game/data/pak/b_new.pak"},
        {"data\\setdressing\\d.ini", "\tmesh = d.msh\r\n", "game/data/pak/a_old.pak"},
        {"data\\meshes\\a.msh", "mods a", "mods/data/meshes/a.msh"},
    };
    std::string out = dir.file("out");
    dir.makeFolders("out");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        const KxRlFileCopy *copy = nullptr;
        for (const KxRlFileCopy &candidate : listing.copies)
            if (candidate.path == c.path) copy = &candidate;
        ASSERT_NE(nullptr, copy);
        char written[KXRL_PATH_SIZE];
        registry.extractCopy(*copy, out.c_str(), written);
        EXPECT_EQ(c.bytes, readSuiteFile(written));
        EXPECT_EQ(c.bytes, readFileBytes(dir.file("out/" + std::string(c.path))));
        int64_t copyTime = 0, sourceTime = -1;
        EXPECT_TRUE(platform::getModificationTime(written, &copyTime));
        EXPECT_TRUE(platform::getModificationTime(dir.file(c.timeOf).c_str(), &sourceTime));
        EXPECT_EQ(sourceTime, copyTime);
    }
    EXPECT_TRUE(temporaryFilesBelow(out).empty());
}

// Paths that share long beginnings and folders named like files sort in byte order (not in the
// order in which folders are listed), each path's copies in search order. Paths are compared eight
// bytes at a time: some end just before, at and after such a boundary ("data\m0\" is eight).
TEST(FileCopyListing, sortsPathsByTheirBytes) {
    TempFolder dir;
    std::vector<std::string> expected;
    const char *names[] = {"d.msh",         "d\\deep.msh", "d_\\x.msh",    "d0.msh",   "~tilde.dds",
                           "p_bench1.ini",  "p_bench10.ini", "p_bench2.ini", "p_bench1\\a.ini", "z.msh",
                           "abcdefg",       "abcdefgh",      "abcdefgh0",    "abcdefghi\\x", "abcdefg_\\x"};
    for (int folder = 0; folder < 3; folder++)
        for (const char *name : names) {
            std::string relative = "data\\m" + std::to_string(folder) + "\\" + name;
            std::string onDisk = relative;
            for (char &c : onDisk)
                if (c == '\\') c = '/';
            dir.write("first/" + onDisk, "1");
            if (folder == 1) dir.write("second/" + onDisk, "2");
            expected.push_back(relative);
            if (folder == 1) expected.push_back(relative);
        }
    std::sort(expected.begin(), expected.end());
    KxRlContentRegistry registry;
    registry.addSource(new KxRlGameDataFolder(dir.file("first").c_str()));
    registry.addSource(new KxRlGameDataFolder(dir.file("second").c_str(), KxRlSourceKind::Game));
    KxRlCopyListing listing = registry.listCopies("*", "data\\", true);
    std::vector<std::string> paths;
    for (const KxRlFileCopy &copy : listing.copies) {
        paths.push_back(copy.path);
        EXPECT_EQ(copy.shadowed ? KxRlSourceKind::Game : KxRlSourceKind::Content, copy.place->kind) << copy.path;
    }
    EXPECT_EQ(expected, paths);
}

// A path that several archives hold: the copy the search finds first, then newer archives before
// older ones, equal times in loading order. Directories that differ only in case are one path.
TEST(FileCopyListing, ranksAPathThatSeveralArchivesHold) {
    TempFolder dir;
    struct Stored {
        const char *archive, *dir, *name;
        int hoursAgo;
    };
    const Stored stored[] = {
        {"p1.pak", "data\\meshes\\", "x.msh", 2}, {"p1.pak", "Data\\Meshes\\", "y.msh", 2},
        {"p2.pak", "data\\meshes\\", "x.msh", 1}, {"p2.pak", "data\\meshes\\", "y.msh", 1},
        {"p3.pak", "data\\meshes\\", "x.msh", 2},
    };
    for (const char *archive : {"p1.pak", "p2.pak", "p3.pak"}) {
        PakWriter pak;
        int hours = 0;
        for (const Stored &entry : stored)
            if (std::strcmp(entry.archive, archive) == 0) {
                pak.add(entry.dir, entry.name, std::string(archive) + " " + entry.name);
                hours = entry.hoursAgo;
            }
        setHoursAgo(pak.writeTo(dir.file(std::string("pak/") + archive)), hours);
    }
    dir.makeFolders("cache");
    KxRlContentRegistry registry;
    registry.addSource(KxRlPakRegistry::CreateFromPath(dir.file("cache").c_str(), (dir.file("pak") + "\\").c_str()));

    KxRlCopyListing listing = registry.listCopies("*", "data\\", true);
    std::vector<std::string> seen;
    for (const KxRlFileCopy &copy : listing.copies)
        seen.push_back(copy.path + " " + copy.place->path.substr(copy.place->path.size() - 6));
    const std::vector<std::string> expected = {"data\\meshes\\x.msh p2.pak", "data\\meshes\\x.msh p1.pak",
                                               "data\\meshes\\x.msh p3.pak", "data\\meshes\\y.msh p2.pak",
                                               "data\\meshes\\y.msh p1.pak"};
    EXPECT_EQ(expected, seen);
    char found[KXRL_PATH_SIZE];
    for (const char *name : {"x.msh", "y.msh"}) {
        ASSERT_TRUE(registry.getContent(found, name, "data\\meshes\\", false)) << name;
        EXPECT_EQ("p2.pak " + std::string(name), readSuiteFile(found));
    }
}

TEST(FileCopyPlace, absolutePlacesFoldDotPartsAndUseTheSystemsSeparator) {
    char current[KXRL_PATH_SIZE];
    ASSERT_TRUE(platform::getCurrentDirectory(current, sizeof current));
    std::string here = platform::nativePath(current);
    std::string sep = platform::nativePath("\\");
    EXPECT_EQ(here + sep + "mods" + sep + "x", kxrlAbsolutePlace("mods/./y/../x/"));
    EXPECT_EQ(here, kxrlAbsolutePlace("."));
    std::string absolute = platform::nativePath((std::string(current) + "\\a\\b").c_str());
    EXPECT_EQ(absolute, kxrlAbsolutePlace((std::string(current) + "/a//b\\").c_str()));
    EXPECT_EQ(std::string("newdata"), kxrlSourceKindName(KxRlSourceKind::NewData));
}

}  // namespace
