#include "KxRlUtil.h"
#include "Platform.h"
#include "RandomAccessFile.h"
#include "TempFolder.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The suite's own path form: backslashes inside the system.
std::string suitePath(const TempFolder &dir, const std::string &relative) { return dir.path() + "\\" + relative; }

std::vector<std::string> names(const std::vector<platform::DirEntry> &entries) {
    std::vector<std::string> out;
    for (const auto &e : entries) out.push_back(e.name);
    return out;
}

std::string lowered(std::string text) {
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void makeReadOnly(const std::string &path) {
    std::filesystem::permissions(path, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                           std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
}

}  // namespace

TEST(DirectoryListing, opensGameFilesWhateverTheCaseOfTheirNames) {
    TempFolder dir;
    dir.write("Data/Meshes/Chair.MSH", std::string("MESH"));
    std::string path = suitePath(dir, "data\\meshes\\chair.msh");
    RandomAccessFile f(path.c_str(), "rb");
    char buffer[5];
    EXPECT_STREQ("MESH", f.readChars(buffer, 4, true));
    EXPECT_TRUE(kxrlFileExists(path.c_str()));
    EXPECT_TRUE(kxrlFileExists(suitePath(dir, "DATA/meshes").c_str()));
    EXPECT_FALSE(kxrlFileExists(suitePath(dir, "data\\meshes\\table.msh").c_str()));

    std::vector<platform::DirEntry> found = platform::listDirectory(path.c_str());
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ("Chair.MSH", found[0].name);  // the name as stored
    EXPECT_EQ(4u, found[0].size);
}

TEST(DirectoryListing, listsSortedWithAttributesSizesAndDotEntries) {
    TempFolder dir;
    dir.write("list/b.txt", std::string("12345"));
    dir.write("list/A.txt", std::string(""));
    dir.write("list/c.TXT", std::string("x"));
    dir.makeFolders("list/d");
    std::string locked = dir.write("list/e.pak", std::string("pak"));
    makeReadOnly(locked);

    std::vector<platform::DirEntry> all = platform::listDirectory(suitePath(dir, "list\\*").c_str());
    EXPECT_EQ((std::vector<std::string>{".", "..", "A.txt", "b.txt", "c.TXT", "d", "e.pak"}), names(all));
    ASSERT_EQ(7u, all.size());
    EXPECT_TRUE(all[0].attributes & platform::ATTR_DIRECTORY);
    EXPECT_EQ(platform::ATTR_ARCHIVE, all[3].attributes & 0xFF);
    EXPECT_EQ(5u, all[3].size);
    EXPECT_EQ(platform::ATTR_DIRECTORY, all[5].attributes & 0xFF);
    EXPECT_EQ(static_cast<uint32_t>(platform::ATTR_ARCHIVE | platform::ATTR_READONLY), all[6].attributes & 0xFF);

    EXPECT_EQ((std::vector<std::string>{"A.txt", "b.txt", "c.TXT"}),
              names(platform::listDirectory(suitePath(dir, "list\\*.txt").c_str())));
    EXPECT_EQ((std::vector<std::string>{"A.txt", "b.txt", "c.TXT"}),
              names(platform::listDirectory(suitePath(dir, "LIST\\?.txt").c_str())));
    EXPECT_EQ((std::vector<std::string>{"e.pak"}), names(platform::listDirectory(suitePath(dir, "list\\*.PAK").c_str())));
    EXPECT_TRUE(platform::listDirectory(suitePath(dir, "list\\??.txt").c_str()).empty());
    EXPECT_TRUE(platform::listDirectory(suitePath(dir, "list\\").c_str()).empty());
    EXPECT_TRUE(platform::listDirectory(suitePath(dir, "nowhere\\*").c_str()).empty());
    std::filesystem::permissions(locked, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

// The Windows file system lists names folded to upper case: `[`, `^`, `_` and `` ` `` sort
// after the letters. Archives are loaded in this order on every platform.
TEST(DirectoryListing, sortsNamesFoldedToUpperCaseAsWindowsDoes) {
    TempFolder dir;
    const std::vector<std::string> expected = {"ab.pak", "aZb.pak", "a[b.pak", "a^b.pak", "a_b.pak", "a`b.pak", "a~b.pak"};
    for (auto it = expected.rbegin(); it != expected.rend(); ++it) dir.write("order/" + *it, std::string("x"));
    EXPECT_EQ(expected, names(platform::listDirectory(suitePath(dir, "order\\*.pak").c_str())));
}

TEST(DirectoryListing, createsFoldersRenamesAndDatesFiles) {
    TempFolder dir;
    dir.makeFolders("Out");
    EXPECT_TRUE(platform::makeDirectory(suitePath(dir, "out\\props").c_str()));  // below the existing Out
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Out/props")));
    EXPECT_FALSE(platform::makeDirectory(suitePath(dir, "out\\props").c_str()));
    EXPECT_TRUE(platform::isDirectory(suitePath(dir, "OUT\\PROPS").c_str()));

    std::string from = dir.write("Out/props/new.part", std::string("new"));
    dir.write("Out/props/Target.msh", std::string("old"));
    EXPECT_TRUE(platform::renameFile(from.c_str(), suitePath(dir, "out\\props\\target.msh").c_str()));
    EXPECT_EQ("new", readFileBytes(dir.file("Out/props/Target.msh")));

    int64_t seconds = 0;
    EXPECT_TRUE(platform::getModificationTime(suitePath(dir, "out\\props\\target.msh").c_str(), &seconds));
    EXPECT_GT(seconds, 1500000000);
    EXPECT_TRUE(platform::setModificationTime(suitePath(dir, "out\\props\\target.msh").c_str(), 1577836800));
    EXPECT_TRUE(platform::getModificationTime(suitePath(dir, "out\\props\\target.msh").c_str(), &seconds));
    EXPECT_EQ(1577836800, seconds);  // 2020-01-01, to the second
    EXPECT_FALSE(platform::getModificationTime(suitePath(dir, "out\\none").c_str(), &seconds));
    EXPECT_TRUE(platform::removeFile(suitePath(dir, "out\\props\\target.msh").c_str()));
    EXPECT_FALSE(fileExistsOnDisk(dir.file("Out/props/Target.msh")));
}

TEST(DirectoryListing, changesAndReportsTheCurrentFolder) {
    TempFolder dir;
    dir.makeFolders("Work");
    char before[KXRL_PATH_SIZE];
    ASSERT_TRUE(platform::getCurrentDirectory(before, sizeof before));
    ASSERT_TRUE(platform::changeDirectory(suitePath(dir, "work").c_str()));
    char now[KXRL_PATH_SIZE];
    ASSERT_TRUE(platform::getCurrentDirectory(now, sizeof now));
    EXPECT_EQ(lowered(std::filesystem::canonical(dir.file("Work")).string()),
              lowered(std::filesystem::canonical(now).string()));
    EXPECT_TRUE(platform::makeDirectory("content"));  // relative to the new current folder
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Work/content")));
    ASSERT_TRUE(platform::changeDirectory(before));
    char tiny[2];
    EXPECT_FALSE(platform::getCurrentDirectory(tiny, sizeof tiny));
}

TEST(DirectoryListing, findsInAnyCaseWhatTheToolAndOthersChangeInAFolder) {
    TempFolder dir;
    auto contentOf = [&](const char *relative) {
        FILE *f = platform::openFile(suitePath(dir, relative).c_str(), "rb");
        if (!f) return std::string("(none)");
        char buffer[16] = {0};
        size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
        std::fclose(f);
        return std::string(buffer, n);
    };
    // Another program changes the folder now and then; the folder's time tells the layer.
    auto changedByOthers = [&](const char *relative, const char *bytes) {
        dir.write(relative, std::string(bytes));
#ifndef _WIN32
        std::filesystem::last_write_time(dir.file("Mixed"),
                                         std::filesystem::file_time_type::clock::now() + std::chrono::seconds(30));
#endif
    };

    dir.write("Mixed/One.TXT", std::string("1"));
    EXPECT_EQ("1", contentOf("mixed\\one.txt"));
    dir.write("Mixed/Two.TXT", std::string("2"));  // in the very moment the folder was read
    EXPECT_EQ("2", contentOf("mixed\\TWO.txt"));

    FILE *made = platform::openFile(suitePath(dir, "mixed\\Made.BIN").c_str(), "wb");
    ASSERT_NE(nullptr, made);
    std::fputs("m", made);
    std::fclose(made);
    EXPECT_EQ("m", contentOf("MIXED\\made.bin"));
    EXPECT_TRUE(platform::renameFile(suitePath(dir, "mixed\\made.bin").c_str(),
                                     suitePath(dir, "mixed\\Moved.BIN").c_str()));
    EXPECT_EQ("(none)", contentOf("mixed\\MADE.bin"));
    EXPECT_EQ("m", contentOf("mixed\\moved.bin"));
    EXPECT_TRUE(platform::removeFile(suitePath(dir, "mixed\\MOVED.BIN").c_str()));
    EXPECT_EQ("(none)", contentOf("mixed\\moved.bin"));

    changedByOthers("Mixed/Three.TXT", "3");
    EXPECT_EQ("3", contentOf("mixed\\three.txt"));
#ifndef _WIN32
    // Names that differ only in case: the lowest in byte order.
    dir.write("Mixed/Dup.txt", std::string("lower"));
    changedByOthers("Mixed/DUP.txt", "upper");
    EXPECT_EQ("upper", contentOf("mixed\\dup.TXT"));
#endif
}
