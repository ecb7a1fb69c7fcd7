#include "KxRlPakFile.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "PakWriter.h"
#include "RandomAccessFile.h"
#include "TempFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

std::string sampleBytes(size_t size, int seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; i++) bytes[i] = static_cast<char>((i * 31 + static_cast<size_t>(seed) * 7) % 251);
    return bytes;
}

std::unique_ptr<KxRlPakFile> load(const std::string &path) {
    return std::unique_ptr<KxRlPakFile>(KxRlPakFile::CreateFromFile(path.c_str()));
}

void setTime(const std::string &path, int secondsFromNow) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() +
                                               std::chrono::seconds(secondsFromNow));
}

}  // namespace

TEST(PakFile, readsBothHeaderSizesAndTheirTables) {
    TempFolder dir;
    for (int magic : {4, 5}) {
        PakWriter writer(magic);
        writer.add("data\\meshes\\", "chair.msh", "abc");
        writer.add("", "readme.txt", "x");
        std::string path = writer.writeTo(dir.file("m" + std::to_string(magic) + ".pak"));
        auto archive = load(path);
        EXPECT_EQ(magic, archive->getMagicNumber());
        EXPECT_EQ(0x12345678u, archive->getHeaderWord1());
        EXPECT_EQ(2, archive->getFileCount());
        EXPECT_EQ(2, archive->getIndexCount());
        EXPECT_EQ(2, archive->getDirCount());
        EXPECT_EQ(static_cast<uint32_t>(writer.headerSize()), archive->getIndexTableOffset());
        EXPECT_EQ(200, archive->getIndexWord(1, 1));
        EXPECT_STREQ("data\\meshes\\", archive->getFileEntry(0)->getDirName());
        EXPECT_STREQ("", archive->getFileEntry(1)->getDirName());
        EXPECT_EQ(0x1001u, archive->getFileEntry(1)->getHash1());
        EXPECT_EQ(0x2001u, archive->getFileEntry(1)->getHash2());
        EXPECT_GT(archive->getTimestamp(), 0);
    }
}

TEST(PakFile, takesTheDirectoryOffsetFromFlagBitsOneToFourteen) {
    TempFolder dir;
    PakWriter writer;
    writer.add("a\\b\\", "first.txt", "1");  // directory block: "a\b\" 0 at 0..4
    writer.add("c\\", "second.txt", "2").extraFlags = 0x1;
    writer.add("c\\", "third.txt", "3").extraFlags = 0xFFFF8001u;  // high bits are not part of the offset
    auto archive = load(writer.writeTo(dir.file("a.pak")));
    EXPECT_EQ(0x0Bu, archive->getFileEntry(1)->getFlags());
    EXPECT_EQ(5u, archive->getFileEntry(1)->getDirOffset());
    EXPECT_STREQ("c\\", archive->getFileEntry(1)->getDirName());
    EXPECT_STREQ("c\\", archive->getFileEntry(2)->getDirName());
    EXPECT_STREQ("a\\b\\", archive->getDirAt(0));
    EXPECT_STREQ("", archive->getDirAt(1000));
}

TEST(PakFile, lowerCasesFileNamesButKeepsDirectoryCase) {
    TempFolder dir;
    PakWriter writer;
    writer.add("Data\\Meshes\\", "CHAIR_01.MSH", "x");
    writer.add("", std::string(32, 'N'), "y");  // a name filling the whole field
    auto archive = load(writer.writeTo(dir.file("u.pak")));
    EXPECT_STREQ("chair_01.msh", archive->getFileEntry(0)->getFileName());
    EXPECT_STREQ("Data\\Meshes\\", archive->getFileEntry(0)->getDirName());
    EXPECT_EQ(std::string(32, 'n'), archive->getFileEntry(1)->getFileName());
    char name[KXRL_PATH_SIZE];
    archive->getFileEntry(0)->getFullFileName(name);
    EXPECT_STREQ("Data\\Meshes\\chair_01.msh", name);
}

TEST(PakFile, extractsEveryStorageFormByteForByte) {
    TempFolder dir;
    PakWriter writer(5);
    const std::string stored = sampleBytes(1000, 1) + "zcmp";
    const std::string compressed = sampleBytes(70000, 2);
    const std::string nestedStored = sampleBytes(5000, 3);
    const std::string nestedCompressed = sampleBytes(3000, 4);
    writer.add("data\\", "stored.bin", stored, PakWriter::STORED);
    writer.add("data\\", "compressed.bin", compressed, PakWriter::COMPRESSED);
    writer.add("data\\", "nested1.bin", nestedStored, PakWriter::NESTED_STORED);
    writer.add("data\\", "nested2.bin", nestedCompressed, PakWriter::NESTED_COMPRESSED);
    writer.add("data\\", "empty.bin", "", PakWriter::COMPRESSED);
    auto archive = load(writer.writeTo(dir.file("s.pak")));
    const std::string cache = dir.file("cache");
    dir.makeFolders("cache");
    const std::string expected[] = {stored, compressed, nestedStored, nestedCompressed, ""};
    const int inflations[] = {0, 1, 1, 2, 1};
    for (int i = 0; i < 5; i++) {
        char out[KXRL_PATH_SIZE];
        KxRlPakFileEntry *entry = archive->getFileEntry(i);
        EXPECT_EQ(inflations[i], entry->extract(out, cache.c_str())) << entry->getFileName();
        EXPECT_EQ(cache + "\\data\\" + entry->getFileName(), out);
        EXPECT_EQ(expected[i], readFileBytes(dir.file(std::string("cache/data/") + entry->getFileName())));
    }
    EXPECT_TRUE(temporaryFilesBelow(cache).empty());
    EXPECT_EQ(static_cast<uint32_t>(compressed.size()), archive->getFileEntry(1)->getDecompressedSize());
    EXPECT_LT(archive->getFileEntry(1)->getCompressedSize(), 70000u);
}

TEST(PakFile, compressionHeaderFollowsNestedBlocksOfStoredPayloads) {
    TempFolder dir;
    PakWriter writer;
    writer.add("", "n.bin", "payload", PakWriter::NESTED_STORED);
    auto archive = load(writer.writeTo(dir.file("n.pak")));
    KxRlPakFileEntry *entry = archive->getFileEntry(0);
    EXPECT_EQ(7u, entry->getDecompressedSize());  // the innermost header
    EXPECT_EQ(static_cast<uint32_t>(PakWriter::deflate("payload").size()), entry->getCompressedSize());
}

TEST(PakFile, createsEachDirectoryLevelBeforeWriting) {
    TempFolder dir;
    PakWriter writer;
    writer.add("a\\b\\", "f.txt", "data");
    auto archive = load(writer.writeTo(dir.file("d.pak")));
    std::string cache = dir.file("cache") + "\\";  // a folder that already ends with a separator
    dir.makeFolders("cache");
    char out[KXRL_PATH_SIZE];
    archive->getFileEntry(0)->extract(out, cache.c_str());
    EXPECT_EQ(cache + "a\\b\\f.txt", out);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("cache/a")));
    EXPECT_EQ("data", readFileBytes(dir.file("cache/a/b/f.txt")));
}

// A copy in the cache is used only when it is this entry's extraction: the size the entry
// extracts to and the archive's time, which extraction gives it. Anything else is extracted
// again, whatever its own time says.
TEST(PakFile, usesACopyOnlyWhenItIsTheEntrysExtraction) {
    TempFolder dir;
    PakWriter writer;
    writer.add("", "f.txt", sampleBytes(3000, 1), PakWriter::COMPRESSED);
    writer.add("", "n.txt", sampleBytes(3000, 2), PakWriter::NESTED_COMPRESSED);  // its size is in the nested header
    std::string pak = writer.writeTo(dir.file("t.pak"));
    setTime(pak, -100000);
    auto archive = load(pak);
    const std::string cache = dir.file("cache");
    dir.makeFolders("cache");
    const auto archiveTime = std::filesystem::last_write_time(pak);
    for (int i = 0; i < 2; i++) {
        KxRlPakFileEntry *entry = archive->getFileEntry(i);
        const std::string copy = dir.file(std::string("cache/") + entry->getFileName());
        char out[KXRL_PATH_SIZE];
        auto expectExtractedAgain = [&](const char *what) {
            EXPECT_EQ(i + 1, entry->extract(out, cache.c_str())) << entry->getFileName() << ", " << what;
            EXPECT_TRUE(sampleBytes(3000, i + 1) == readFileBytes(copy)) << entry->getFileName() << ", " << what;
        };
        expectExtractedAgain("no copy yet");
        int64_t copyTime = 0;
        ASSERT_TRUE(platform::getModificationTime(out, &copyTime));
        EXPECT_EQ(archive->getTimestamp(), copyTime);
        EXPECT_EQ(0, entry->extract(out, cache.c_str()));  // the extraction itself is used as it is

        std::filesystem::resize_file(copy, 1500);
        std::filesystem::last_write_time(copy, archiveTime);
        expectExtractedAgain("truncated, time kept");
        std::string edited = readFileBytes(copy);
        edited[0] = static_cast<char>(edited[0] ^ 1);
        std::ofstream(copy, std::ios::binary).write(edited.data(), static_cast<std::streamsize>(edited.size()));
        expectExtractedAgain("edited in place");
        std::filesystem::last_write_time(copy, archiveTime - std::chrono::hours(1000));
        expectExtractedAgain("an older extraction");
        std::filesystem::last_write_time(copy, std::filesystem::file_time_type::clock::now());
        expectExtractedAgain("newer than the archive");
    }
    EXPECT_TRUE(temporaryFilesBelow(cache).empty());
}

TEST(PakFile, holdsTheFileOpenOnlyWhenAsked) {
    TempFolder dir;
    PakWriter writer;
    writer.add("", "a.txt", "a");
    writer.add("", "b.txt", "b");
    auto archive = load(writer.writeTo(dir.file("o.pak")));
    EXPECT_FALSE(archive->isFileOpen());  // closed once the tables are read
    std::string cache = dir.file("cache");
    dir.makeFolders("cache");
    char out[KXRL_PATH_SIZE];

    archive->open();
    EXPECT_TRUE(archive->isFileOpen());
    archive->getFileEntry(0)->extract(out, cache.c_str());
    EXPECT_TRUE(archive->isFileOpen());  // held across an extraction
    archive->close();
    EXPECT_FALSE(archive->isFileOpen());

    archive->getFileEntry(1)->extract(out, cache.c_str());
    EXPECT_FALSE(archive->isFileOpen());  // an extraction releases what it opened
    archive->getFile();
    EXPECT_TRUE(archive->isFileOpen());
    archive->doneFile();
    EXPECT_FALSE(archive->isFileOpen());
    EXPECT_EQ("a", readFileBytes(dir.file("cache/a.txt")));
    EXPECT_EQ("b", readFileBytes(dir.file("cache/b.txt")));
}
