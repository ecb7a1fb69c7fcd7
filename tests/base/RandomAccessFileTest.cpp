#include "RandomAccessFile.h"
#include "StringBuffer.h"
#include "TempFolder.h"
#include "TextFileWriter.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace {
std::string hex(const std::string &bytes) {
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02X ", c);
        out += b;
    }
    return out;
}
}  // namespace

TEST(RandomAccessFile, writesLittleEndianWhateverTheHost) {
    TempFolder dir;
    std::string path = dir.file("order.bin");
    {
        RandomAccessFile f(path.c_str(), "wb");
        f.writeUShort(0x1234);
        f.writeInt(1);
        f.writeFloat(1.0f);
        f.writeDouble(1.0);
        f.writeShort(-2);
        f.writeULong(0xA1B2C3D4u);
    }
    EXPECT_EQ("34 12 01 00 00 00 00 00 80 3F 00 00 00 00 00 00 F0 3F FE FF D4 C3 B2 A1 ", hex(readFileBytes(path)));

    RandomAccessFile f(path.c_str(), "rb");
    EXPECT_EQ(0x1234, f.readUShort());
    EXPECT_EQ(1, f.readInt());
    EXPECT_EQ(1.0f, f.readFloat());
    EXPECT_EQ(1.0, f.readDouble());
    f.seek(18);
    EXPECT_EQ(-2, f.readShort());
    f.seek(18);
    EXPECT_EQ(0xFFFE, f.readUShort());
    EXPECT_EQ(0xA1B2C3D4u, f.readULong());
    f.seek(20);
    EXPECT_EQ(static_cast<int8_t>(0xD4), f.readByte());
    EXPECT_EQ(0xC3, f.readUByte());
}

TEST(RandomAccessFile, readsCharsAndZeroTerminatedTexts) {
    TempFolder dir;
    std::string path = dir.write("chars.bin", std::string("MESH\0name\0", 10) + std::string("a\0b\0\0\0", 6));
    RandomAccessFile f(path.c_str(), "rb");
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    f.readChars(buffer, 4, false);
    EXPECT_EQ('#', buffer[4]);
    f.seek(0);
    f.readChars(buffer, 4, true);
    EXPECT_STREQ("MESH", buffer);
    char *name = f.readZChars();  // the zero after MESH
    EXPECT_STREQ("", name);
    delete[] name;
    name = f.readZChars();
    EXPECT_STREQ("name", name);
    delete[] name;
    uint16_t *wide = f.readZUnicode();
    EXPECT_EQ('a', wide[0]);
    EXPECT_EQ('b', wide[1]);
    EXPECT_EQ(0, wide[2]);
    delete[] wide;
}

TEST(RandomAccessFile, reportsTheEndOfTheFileInsteadOfReturningGarbage) {
    TempFolder dir;
    std::string path = dir.write("short.bin", std::string("abc", 3));
    RandomAccessFile f(path.c_str(), "rb");
    try {
        f.readInt();
        FAIL();
    } catch (const IOException &e) {
        EXPECT_STREQ("Unexpected end of file", e.getErrorString());
        EXPECT_EQ(0, e.getErrorNumber());
    }
    f.seek(0);
    EXPECT_THROW(f.readZChars(), IOException);  // no terminator before the end
    f.seek(0);
    char small[2];
    EXPECT_THROW(f.readZChars(small, sizeof small), IOException);
    f.seek(1);
    char buffer[8];
    EXPECT_EQ(2u, f.read(buffer, 8));  // bulk reads return what they got
    EXPECT_THROW(f.readUByte(), IOException);
}

TEST(RandomAccessFile, padsAndSeeksToBoundaries) {
    TempFolder dir;
    std::string path = dir.file("pad.bin");
    RandomAccessFile f(path.c_str(), "wb");
    f.writeChars("abcdef", 6, false);
    EXPECT_EQ(2, f.writePadToBoundary(4, 0));
    EXPECT_EQ(8, f.getPosition());
    EXPECT_EQ(0, f.writePadToBoundary(4, 0));
    f.writeZChars("x");
    f.close();
    EXPECT_EQ(std::string("abcdef\0\0x\0", 10), readFileBytes(path));

    f.open(path.c_str(), "rb");
    f.seek(5);
    f.seekToBoundary(4);
    EXPECT_EQ(8, f.getPosition());
    f.seekToBoundary(4);
    EXPECT_EQ(8, f.getPosition());
    f.seekRelative(-3);
    EXPECT_EQ(5, f.getPosition());
    f.seekEnd(-1);
    EXPECT_EQ(9, f.getPosition());
    EXPECT_EQ(10, f.getLength());
    EXPECT_EQ(9, f.getPosition());

    // A boundary below 1 has no multiples: refused, and the position stays.
    for (int32_t n : {0, -4}) {
        EXPECT_THROW(f.seekToBoundary(n), IOException) << n;
        EXPECT_EQ(9, f.getPosition());
    }
    f.close();
    f.open(dir.file("pad2.bin").c_str(), "wb");
    f.writeUByte(1);
    EXPECT_THROW(f.writePadToBoundary(0, 0), IOException);
    EXPECT_EQ(1, f.getPosition());
}

TEST(RandomAccessFile, opensClosesAndReportsMisuse) {
    TempFolder dir;
    std::string first = dir.write("one.bin", std::string("1"));
    std::string second = dir.write("two.bin", std::string("2"));
    RandomAccessFile f;
    EXPECT_FALSE(f.isOpen());
    f.open(first.c_str(), "rb");
    f.open(second.c_str(), "rb");  // closes the first
    EXPECT_EQ('2', f.readUByte());
    f.close();
    try {
        f.close();
        FAIL();
    } catch (const IOException &e) {
        EXPECT_STREQ("No file was open", e.getErrorString());
        EXPECT_EQ(0, e.getErrorNumber());
    }
    try {
        f.open(dir.file("missing.bin").c_str(), "rb");
        FAIL();
    } catch (const IOException &e) {
        EXPECT_STREQ("File could not be opened", e.getErrorString());
    }
    RandomAccessFile stillOpen(first.c_str(), "rb");  // the destructor closes it quietly
}

// An existing read-only file is never written, on any platform and whoever runs the program
// (POSIX would let root open it).
TEST(RandomAccessFile, refusesToWriteReadOnlyFiles) {
    TempFolder dir;
    std::string locked = dir.write("locked.bin", std::string("keep"));
    namespace fs = std::filesystem;
    fs::permissions(locked, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    RandomAccessFile f;
    EXPECT_THROW(f.open(locked.c_str(), "wb"), IOException);
    EXPECT_FALSE(TextFileWriter().open(locked.c_str()));
    f.open(locked.c_str(), "rb");  // reading is fine
    fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ("keep", readFileBytes(locked));
}

TEST(RandomAccessFile, copiesInBlocksUntilTheSourceEnds) {
    TempFolder dir;
    std::string data;
    for (int i = 0; i < 1000; i++) data += static_cast<char>(i * 7);
    std::string sourcePath = dir.write("source.bin", data);
    std::string targetPath = dir.file("target.bin");
    RandomAccessFile source(sourcePath.c_str(), "rb");
    RandomAccessFile target(targetPath.c_str(), "wb");
    target.setCopyBufferSize(64);
    EXPECT_EQ(64u, target.getCopyBufferSize());
    source.seek(10);
    EXPECT_EQ(990u, target.copyFromFile(&source, 5000));
    target.close();
    EXPECT_EQ(data.substr(10), readFileBytes(targetPath));
}

TEST(IOException, keepsComposedTextsAndSystemTexts) {
    IOException composed(std::string("Mesh file is truncated at offset ") + std::to_string(12));
    IOException copy = composed;
    EXPECT_STREQ("Mesh file is truncated at offset 12", copy.getErrorString());
    IOException system(2);
    EXPECT_EQ(2, system.getErrorNumber());
    EXPECT_NE(nullptr, system.getErrorString());
}

TEST(TextFileWriter, endsEveryLineWithCrLf) {
    TempFolder dir;
    std::string path = dir.file("report.txt");
    TextFileWriter out;
    ASSERT_TRUE(out.open(path.c_str()));
    out.write("a\nb");
    StringBuffer text("\n\nc\n");
    out.write(text);
    out.writeFormat("%s=%d\n", std::string(600, 'k').c_str(), 7);  // longer than the small buffer
    out.close();
    EXPECT_EQ("a\r\nb\r\n\r\nc\r\n" + std::string(600, 'k') + "=7\r\n", readFileBytes(path));
    EXPECT_FALSE(out.open(dir.file("missing/report.txt").c_str()));
}
