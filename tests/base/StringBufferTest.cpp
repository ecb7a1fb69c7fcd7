#include "StringBuffer.h"

#include "IOException.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {
std::string text(const StringBuffer &b) { return std::string(b.getChars(), b.getLength()); }
}  // namespace

TEST(StringBuffer, growsByItsIncrementOrToWhatIsNeeded) {
    StringBuffer b;
    EXPECT_EQ(64u, b.getCapacity());
    for (int i = 0; i < 63; i++) b.append('x');
    EXPECT_EQ(64u, b.getCapacity());  // 63 characters and the terminator fit
    b.append('x');
    EXPECT_EQ(128u, b.getCapacity());
    b.append(std::string(100, 'y').c_str());
    EXPECT_EQ(192u, b.getCapacity());
    b.append(std::string(1000, 'z').c_str());
    EXPECT_EQ(1165u, b.getCapacity());  // more than one increment: exactly what is needed

    StringBuffer big(100000);
    for (int i = 0; i < 100000; i++) big.append('a');
    EXPECT_EQ(100000u + 32768u, big.getCapacity());
    EXPECT_EQ(0, big.getChars()[big.getLength()]);
}

TEST(StringBuffer, appendsNumbersInFixedCFormats) {
    StringBuffer b;
    b.append(-5);
    b.append(' ');
    b.append(4294967295u);
    b.append(' ');
    b.append(0.5f);
    b.append(' ');
    b.append(true);
    b.append(false);
    b.append(' ');
    b.append(static_cast<unsigned char>(65));
    b.append(' ');
    b.append(static_cast<short>(-32768));
    b.append(' ');
    b.append(-2.25);
    EXPECT_EQ("-5 4294967295 0.500000 truefalse 65 -32768 -2.250000", text(b));
    EXPECT_EQ(52u, b.getLength());

    StringBuffer huge;
    huge.append(3.0e38f);
    EXPECT_EQ(46u, huge.getLength());  // 39 digits, the point and six decimals

    StringBuffer nulls;
    nulls.append(static_cast<const char *>(nullptr));
    EXPECT_EQ("(null)", text(nulls));

    StringBuffer formatted;
    formatted.appendFormat("  X = (%7.3f, %7.3f)\n", -1.5f, 20.0f);
    EXPECT_EQ("  X = ( -1.500,  20.000)\n", text(formatted));
}

TEST(StringBuffer, searchesAndCutsOutText) {
    StringBuffer b("abcde");
    EXPECT_EQ(6u, b.getCapacity());
    EXPECT_EQ(-1, b.indexOf('z'));
    EXPECT_EQ(2, b.indexOf('c'));
    EXPECT_EQ(-1, b.indexOf('a', 1));
    EXPECT_EQ(3, b.indexOf("de"));
    EXPECT_EQ(-1, b.indexOf("bc", 2));
    char *sub = b.createSubString(1, 3);
    EXPECT_STREQ("bc", sub);
    delete[] sub;
    char *tail = b.createSubString(3);
    EXPECT_STREQ("de", tail);
    delete[] tail;
    char *copy = b.createCopy();
    EXPECT_STREQ("abcde", copy);
    delete[] copy;

    b.append("xyz", 1, 10);  // at most the characters there are
    EXPECT_EQ("abcdeyz", text(b));
}

TEST(StringBuffer, insertsAndDeletes) {
    StringBuffer b("held");
    b.insert(0, 42);
    EXPECT_EQ("42held", text(b));
    b.insert(2, ' ');
    EXPECT_EQ("42 held", text(b));
    b.deleteCharAt(0);
    EXPECT_EQ("2 held", text(b));
    b.deleteChars(1, 3);
    EXPECT_EQ("2eld", text(b));
    b.setChars("new");
    EXPECT_EQ("new", text(b));
    b.setCharAt(0, 'N');
    EXPECT_EQ('N', b.getCharAt(0));
}

TEST(StringBuffer, rejectsPositionsOutsideTheText) {
    StringBuffer b("abc");
    EXPECT_THROW(b.getCharAt(3), const char *);
    try {
        b.getCharAt(3);
    } catch (const char *e) {
        EXPECT_STREQ("IndexOutOfBoundsException", e);
    }
    try {
        b.createSubString(2, 1);
        FAIL();
    } catch (const char *e) {
        EXPECT_STREQ("IllegalArgumentException", e);
    }
    EXPECT_THROW(b.deleteChars(1, 1), const char *);
    EXPECT_THROW(b.insert(3, 'x'), const char *);
    EXPECT_THROW(b.append("ab", 3, 1), const char *);
    EXPECT_EQ("abc", text(b));
}
