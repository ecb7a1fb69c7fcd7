// Archives written to break the reader: names that leave the cache folder, sizes and offsets
// that do not fit, zlib streams that do not match their headers, truncated files. Each must
// end in an IOException with a clear text (and stay clean under the sanitizers).

#include "KxRlPakFile.h"
#include "KxRlUtil.h"
#include "PakWriter.h"
#include "TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

std::unique_ptr<KxRlPakFile> load(const std::string &path) {
    return std::unique_ptr<KxRlPakFile>(KxRlPakFile::CreateFromFile(path.c_str()));
}

// The text of the IOException that extracting entry `i` throws, or "<no exception>".
std::string extractError(KxRlPakFile *archive, int i, const std::string &cache, int *number = nullptr) {
    char out[KXRL_PATH_SIZE];
    try {
        archive->getFileEntry(i)->extract(out, cache.c_str());
    } catch (const IOException &e) {
        if (number) *number = e.getErrorNumber();
        return e.getErrorString();
    }
    return "<no exception>";
}

std::string loadError(const std::string &path) {
    try {
        load(path);
    } catch (const IOException &e) {
        return e.getErrorString();
    }
    return "<no exception>";
}

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(PakHostile, refusesEntriesWhoseNamesLeaveTheCacheFolder) {
    TempFolder dir;
    PakWriter writer;
    writer.add("..\\..\\", "evil1.txt", "x");
    writer.add("data\\..\\..\\", "evil2.txt", "x");
    writer.add("\\abs\\", "evil3.txt", "x");
    writer.add("/abs/", "evil4.txt", "x");
    writer.add("C:\\temp\\", "evil5.txt", "x");
    writer.add("data\\", "..", "x");
    writer.add("data\\", "../evil7.txt", "x");
    writer.add("data\\", "c:evil8.txt", "x");
    writer.add("data\\", "good.txt", "fine");
    auto archive = load(writer.writeTo(dir.file("hostile.pak")));  // reading the archive still works
    std::string cache = dir.file("work/cache");
    dir.makeFolders("work/cache");
    const char *names[] = {"..\\..\\evil1.txt", "data\\..\\..\\evil2.txt", "\\abs\\evil3.txt", "/abs/evil4.txt",
                           "C:\\temp\\evil5.txt", "data\\..", "data\\../evil7.txt", "data\\c:evil8.txt"};
    for (int i = 0; i < 8; i++) {
        std::string error = extractError(archive.get(), i, cache);
        EXPECT_TRUE(contains(error, names[i])) << error;
        EXPECT_TRUE(contains(error, "leaves the extraction folder")) << error;
    }
    for (const auto &item : std::filesystem::recursive_directory_iterator(dir.path()))
        EXPECT_EQ(std::string::npos, item.path().filename().string().find("evil")) << item.path();
    EXPECT_EQ("<no exception>", extractError(archive.get(), 8, cache));  // the rest of the archive is usable
    EXPECT_EQ("fine", readFileBytes(dir.file("work/cache/data/good.txt")));
}

TEST(PakHostile, refusesSizesThatDoNotFitTheArchive) {
    TempFolder dir;
    PakWriter writer;
    writer.add("", "offset.bin", "x").fixedOffset = true;
    writer.add("", "stored.bin", PakWriter::compressionHeader(1000000, 1000000, 1) + "abc", PakWriter::RAW);
    writer.add("", "packed.bin", PakWriter::compressionHeader(10, 5000, 0) + "abc", PakWriter::RAW);
    writer.add("", "huge.bin", PakWriter::compressionHeader(0xF0000000u, 3, 0) + "abc", PakWriter::RAW);
    writer.add("", "header.bin", "", PakWriter::RAW).fixedOffset = true;  // header cut by the end of the file
    std::string bytes = writer.build();
    // Point the header entry 8 bytes before the end, so that its 16-byte header does not fit.
    // Its record is the fifth; the data offset is the third word of the record.
    uint32_t tableOffset = static_cast<uint32_t>(writer.headerSize()) + 16 + 1;
    putLE32(bytes, tableOffset + 4 * 56 + 8, static_cast<uint32_t>(bytes.size() - 8));
    putLE32(bytes, tableOffset + 0 * 56 + 8, 0x7FFFFFF0u);
    dir.write("s.pak", bytes);
    auto archive = load(dir.file("s.pak"));
    std::string cache = dir.file("cache");
    dir.makeFolders("cache");
    EXPECT_TRUE(contains(extractError(archive.get(), 0, cache), "lies beyond the end of the archive"));
    EXPECT_TRUE(contains(extractError(archive.get(), 1, cache), "stored size of 1000000 bytes, but only"));
    EXPECT_TRUE(contains(extractError(archive.get(), 2, cache), "compressed size of 5000 bytes, but only"));
    EXPECT_TRUE(contains(extractError(archive.get(), 3, cache), "more than the 536870912 accepted"));
    EXPECT_TRUE(contains(extractError(archive.get(), 4, cache), "lies beyond the end of the archive"));
    EXPECT_FALSE(fileExistsOnDisk(dir.file("cache/stored.bin")));
}

TEST(PakHostile, refusesZlibStreamsThatDoNotMatchTheirSizes) {
    TempFolder dir;
    std::string fifty(50, 'q');
    std::string packed = PakWriter::deflate(fifty);
    uint32_t packedSize = static_cast<uint32_t>(packed.size());
    PakWriter writer;
    writer.add("", "short.bin", PakWriter::compressionHeader(100, packedSize, 0) + packed, PakWriter::RAW);
    writer.add("", "long.bin", PakWriter::compressionHeader(10, packedSize, 0) + packed, PakWriter::RAW);
    writer.add("", "garbage.bin", PakWriter::compressionHeader(10, 8, 0) + "notzlib!", PakWriter::RAW);
    // Decompressed data that is a nested block whose stream is longer than the data.
    std::string nested = "zcmp" + PakWriter::compressionHeader(10, 9999, 0) + "xx";
    writer.add("", "nested.bin", nested, PakWriter::COMPRESSED);
    // The same, with a nested stream that inflates short.
    std::string nestedShort = "zcmp" + PakWriter::compressionHeader(60, packedSize, 0) + packed;
    writer.add("", "nested2.bin", nestedShort, PakWriter::COMPRESSED);
    auto archive = load(writer.writeTo(dir.file("z.pak")));
    std::string cache = dir.file("cache");
    dir.makeFolders("cache");

    std::string error = extractError(archive.get(), 0, cache);
    EXPECT_TRUE(contains(error, "short.bin")) << error;
    EXPECT_TRUE(contains(error, "inflates to 50 bytes instead of the stated 100")) << error;
    int number = 0;
    error = extractError(archive.get(), 1, cache, &number);
    EXPECT_TRUE(contains(error, "Could not inflate archive entry long.bin")) << error;
    EXPECT_EQ(-5, number);  // zlib: the output does not fit the stated size
    error = extractError(archive.get(), 2, cache, &number);
    EXPECT_EQ(-3, number) << error;  // zlib: not a zlib stream
    EXPECT_TRUE(contains(extractError(archive.get(), 3, cache), "compressed size of 9999 bytes, but only 2 remain"));
    EXPECT_TRUE(contains(extractError(archive.get(), 4, cache), "inflates to 50 bytes instead of the stated 60"));
    for (const char *name : {"short.bin", "long.bin", "garbage.bin", "nested.bin", "nested2.bin"}) {
        EXPECT_FALSE(fileExistsOnDisk(dir.file(std::string("cache/") + name))) << name;
    }
    EXPECT_TRUE(temporaryFilesBelow(dir.file("cache")).empty());
}

TEST(PakHostile, followsLongChainsOfNestedBlocksWithoutRecursion) {
    TempFolder dir;
    std::string chain;
    for (int i = 0; i < 20000; i++) chain += PakWriter::compressionHeader(0, 0, 1) + "zcmp";
    chain += PakWriter::compressionHeader(4, 4, 1) + "tail";
    PakWriter writer;
    writer.add("", "chain.bin", chain, PakWriter::RAW);
    auto archive = load(writer.writeTo(dir.file("c.pak")));
    dir.makeFolders("cache");
    EXPECT_EQ("<no exception>", extractError(archive.get(), 0, dir.file("cache")));
    EXPECT_EQ("tail", readFileBytes(dir.file("cache/chain.bin")));
}

TEST(PakHostile, refusesTablesThatDoNotFitTheArchive) {
    TempFolder dir;
    PakWriter writer(5);
    writer.add("ab\\", "f.txt", "x");
    writer.add("ab\\", "g.txt", "y");
    const std::string good = writer.build();
    const uint32_t tables = writer.tableOffsetsAt();
    const uint32_t dirBlockAt = writer.headerSize() + 16;

    auto patched = [&](size_t offset, uint32_t value) {
        std::string bytes = good;
        putLE32(bytes, offset, value);
        return dir.write("p.pak", bytes);
    };
    std::string error = loadError(patched(PakWriter::kFileCountOffset, 0x10000000u));
    EXPECT_TRUE(contains(error, "Invalid PAK archive")) << error;
    EXPECT_TRUE(contains(error, "p.pak")) << error;
    EXPECT_TRUE(contains(error, "file table")) << error;
    EXPECT_TRUE(contains(loadError(patched(PakWriter::kFileCountOffset, 0xFFFFFFFFu)), "negative count"));
    EXPECT_TRUE(contains(loadError(patched(16, 0x20000000u)), "index table"));
    EXPECT_TRUE(contains(loadError(patched(24, 100000u)), "directory block"));
    EXPECT_TRUE(contains(loadError(patched(tables, 0xFFFFFF00u)), "file table"));
    EXPECT_TRUE(contains(loadError(patched(tables + 4, static_cast<uint32_t>(good.size()) + 1)), "index table"));
    EXPECT_TRUE(contains(loadError(patched(tables + 8, 0x80000000u)), "directory block"));

    // An entry whose flags point past the directory block.
    uint32_t firstRecord = dirBlockAt + 4;
    error = loadError(patched(firstRecord + 20, 500u << 1));
    EXPECT_TRUE(contains(error, "entry 0 (f.txt) names directory offset 500")) << error;
    // A directory block whose name is not terminated inside the block.
    std::string unterminated = good;
    unterminated[dirBlockAt + 3] = 'x';
    error = loadError(dir.write("p.pak", unterminated));
    EXPECT_TRUE(contains(error, "not a name inside the directory block")) << error;
}

TEST(PakHostile, everyTruncatedArchiveFailsCleanlyOrExtractsCorrectly) {
    TempFolder dir;
    PakWriter writer(5);
    writer.add("d\\", "stored.bin", "stored bytes", PakWriter::STORED);
    writer.add("d\\", "packed.bin", std::string(300, 'p'), PakWriter::COMPRESSED);
    writer.add("d\\", "nest1.bin", "nested one", PakWriter::NESTED_STORED);
    writer.add("d\\", "nest2.bin", "nested two", PakWriter::NESTED_COMPRESSED);
    const std::string whole = writer.build();
    const std::string expected[] = {"stored bytes", std::string(300, 'p'), "nested one", "nested two"};
    for (size_t length = 0; length < whole.size(); length++) {
        std::string path = dir.write("t.pak", whole.substr(0, length));
        std::unique_ptr<KxRlPakFile> archive;
        try {
            archive = load(path);
        } catch (const IOException &) {
            continue;
        }
        std::string cache = dir.file("cache" + std::to_string(length));
        dir.makeFolders("cache" + std::to_string(length));
        for (int i = 0; i < archive->getFileCount(); i++) {
            if (extractError(archive.get(), i, cache) != "<no exception>") continue;
            EXPECT_EQ(expected[i], readFileBytes(dir.file("cache" + std::to_string(length) + "/d/" +
                                                          archive->getFileEntry(i)->getFileName())))
                << "prefix " << length;
        }
    }
}

TEST(PakHostile, refusesAnArchiveThatCannotBeOpened) {
    TempFolder dir;
    EXPECT_EQ("File could not be opened", loadError(dir.file("missing.pak")));
}

TEST(PakHostile, removesTheTemporaryCopyWhenTheTargetCannotBeReplaced) {
    TempFolder dir;
    PakWriter writer;
    writer.add("", "f.txt", "x");
    auto archive = load(writer.writeTo(dir.file("f.pak")));
    dir.makeFolders("cache/f.txt/inside");  // a folder where the file should go
    EXPECT_NE("<no exception>", extractError(archive.get(), 0, dir.file("cache")));
    EXPECT_TRUE(temporaryFilesBelow(dir.file("cache")).empty());
}
