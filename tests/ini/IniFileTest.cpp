// INI files: how lines become groups and properties, typed values, and hostile files.

#include "IOException.h"
#include "KxRlIniFile.h"
#include "KxRlSetDressingINI.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Every group of the file as "[name]" followed by "name=value|" for each property.
std::string dump(const KxRlIniFile &ini) {
    std::string out;
    for (int g = 0; g < ini.getGroupCount(); g++) {
        const KxRlIniGroup *group = ini.getGroup(g);
        out += "[" + std::string(group->getName()) + "]";
        for (int p = 0; p < group->getPropertyCount(); p++)
            out += std::string(group->getPropertyName(p)) + "=" + group->getPropertyValue(p) + "|";
    }
    return out;
}

std::string parsed(const std::string &bytes) {
    TempFolder folder;
    KxRlIniFile ini(folder.write("file.ini", bytes).c_str());
    return dump(ini);
}

using namespace std::string_literals;  // "..."s keeps embedded NUL bytes

struct LineCase {
    std::string bytes;
    std::string groups;
};

const LineCase kLineCases[] = {
    // Lines before the first section go to group 0, which has the empty name.
    {"Scale = 2.5\n", "[]scale=2.5|"},
    {"[Room]\nWidth=10\n", "[][room]width=10|"},
    {"[wall]\n[wall]\na=1\n", "[][wall][wall]a=1|"},
    // Only the first '=' splits; the others belong to the value.
    {"Texture = a=b\n", "[]texture=a=b|"},
    // Leading '=' are skipped; a line of '=' only is ignored; no '=' gives the empty value.
    {"==key = v\n===\nflag\n", "[]key=v|flag=|"},
    // Section names keep inner blanks and end at the first ']'; "[]" is the empty name.
    {"[ My Room ]\n[a]b]\n[]\n", "[][ my room ][a][]"},
    // No comments: a ';' line is a property. An unclosed '[' is a property too.
    {"; note\n[open\n", "[]; note=|[open=|"},
    // Blank lines, tabs, CR LF, lone CR, and no line end at the very end.
    {"\r\n \t \r\n\tA\t=\t1\t\r\rB=2", "[]a=1|b=2|"},
    // 40 characters are stored as their first 31 (names lowered, values as they are).
    {"NAME6789012345678901234567890123456789=Value678901234567890123456789012345\n",
     "[]name678901234567890123456789012=Value67890123456789012345678901|"},
    // Binary bytes: a NUL ends the line's text; other bytes are kept as they are.
    {"a=1\x1a\x01x\nb\0junk=2\n"s, "[]a=1\x1a\x01x|b=|"},
    {"", "[]"},
};

}  // namespace

TEST(IniFile, readsLinesIntoGroupsAndProperties) {
    for (const LineCase &c : kLineCases) EXPECT_EQ(c.groups, parsed(c.bytes)) << "file: " << c.bytes;
}

TEST(IniFile, lookupsReturnTheFirstMatchAndAskInLowerCase) {
    TempFolder folder;
    KxRlIniFile ini(folder.write("room.ini", "[Room]\nWidth=10\nwidth=20\n[room]\n").c_str());
    EXPECT_EQ(-1, ini.getGroupIndex("Room"));
    ASSERT_EQ(1, ini.getGroupIndex("room"));
    KxRlIniGroup *room = ini.getGroup(1);
    EXPECT_EQ(10, room->getIntValue("width", -1));
    EXPECT_EQ(-1, room->getIntValue("Width", -1));
    EXPECT_EQ(nullptr, room->findProperty("depth", false));
    room->setValue("width", 30);
    room->setValue("depth", 2.5f);
    EXPECT_STREQ("30", room->getProperty(0)->getValue());
    EXPECT_STREQ("20", room->getProperty(1)->getValue());
    EXPECT_STREQ("2.500000", room->getValue("depth"));
    EXPECT_TRUE(room->removeProperty("width"));
    EXPECT_STREQ("20", room->getValue("width"));
    EXPECT_TRUE(ini.removeGroup("room"));
    EXPECT_EQ(2, ini.getGroupCount());
    EXPECT_FALSE(ini.removeGroup("nothing"));
    EXPECT_THROW(ini.getGroup(2), const char *);
}

TEST(IniFile, typedValues) {
    struct Typed {
        const char *value;
        int asInt;
        float asFloat;
        bool asBool;
    };
    const Typed cases[] = {
        {"0x1F", 31, 0.0f, false},  // strtof reads the hexadecimal too, as 31
        {"12abc", 12, 12.0f, false}, {"abc", -7, -7.0f, false}, {"010", 8, 10.0f, false},
        {"2.5", 2, 2.5f, false},     {"Yes", -7, -7.0f, true},  {"ON", -7, -7.0f, true},
        {"Y", -7, -7.0f, true},      {"TRUE", -7, -7.0f, true}, {"1", 1, 1.0f, false},
        {"", -7, -7.0f, false},      {"nan", -7, -7.0f, false}, {"1e99", 1, -7.0f, false},
        {"99999999999", 2147483647, 99999999999.0f, false},
    };
    for (const Typed &c : cases) {
        KxRlIniProperty property("key", c.value);
        EXPECT_EQ(c.asInt, property.getIntValue(-7)) << c.value;
        float expected = std::string(c.value) == "0x1F" ? 31.0f : c.asFloat;
        EXPECT_EQ(expected, property.getFloatValue(-7.0f)) << c.value;
        EXPECT_EQ(c.asBool, property.getBoolValue()) << c.value;
    }
}

TEST(IniFile, hostileFilesEndInAClearResultOrAnException) {
    TempFolder folder;
    EXPECT_THROW(KxRlIniFile(folder.file("missing.ini").c_str()), IOException);
    // A line of a megabyte without a line end.
    std::string longLine(1024 * 1024, 'x');
    try {
        KxRlIniFile ini(folder.write("long.ini", "a=1\n" + longLine).c_str());
        FAIL() << "a megabyte line was read";
    } catch (const IOException &e) {
        EXPECT_NE(std::string::npos, std::string(e.getErrorString()).find("line 2")) << e.getErrorString();
    }
    // A line just within the limit is read, and cut to 31 characters.
    std::string longest(KxRlIniFile::kMaxLineLength, 'v');
    KxRlIniFile ok(folder.write("ok.ini", "k=" + longest.substr(2)).c_str());
    EXPECT_EQ(31u, std::string(ok.getGroup(0)->getValue("k")).size());
    // A huge file is refused before it is read.
    std::string huge(static_cast<size_t>(KxRlIniFile::kMaxFileSize) + 1, '\n');
    EXPECT_THROW(KxRlIniFile(folder.write("huge.ini", huge).c_str()), IOException);
#ifndef _WIN32
    // A device that never ends, and has no size to ask for, is refused once it passes the limit.
    try {
        KxRlIniFile endless("/dev/urandom");
        FAIL() << "an endless device was read";
    } catch (const IOException &e) {
        EXPECT_NE(std::string::npos, std::string(e.getErrorString()).find("too large")) << e.getErrorString();
    }
#endif
}

TEST(SetDressingIni, propsAreTheGroupsAfterGroupZero) {
    TempFolder folder;
    std::string file =
        "set=041\n"
        "[first]\nname=p_lamp\nposition.x=1.5\nposition.y=-2\nposition.z=0.25\nangle=1.5708\n"
        "[7]\nname=p_desk\n"
        "[x]\nposition.x=3\n";
    KxRlSetDressingINI arrangement(folder.write("a.ini", file).c_str());
    ASSERT_EQ(3, arrangement.getPropCount());
    EXPECT_STREQ("p_lamp", arrangement.getPropName(0));
    EXPECT_EQ(1.5f, arrangement.getPropX(0));
    EXPECT_EQ(-2.0f, arrangement.getPropY(0));
    EXPECT_EQ(0.25f, arrangement.getPropZ(0));
    EXPECT_EQ(1.5708f, arrangement.getPropAngle(0));
    EXPECT_EQ(0.0f, arrangement.getPropAngle(1));
    EXPECT_EQ(nullptr, arrangement.getPropName(2));
    EXPECT_THROW(arrangement.getPropName(3), const char *);
    EXPECT_THROW(arrangement.getPropName(-1), const char *);
}

TEST(SetDressingIni, addedPropsAreNamedByTheirCountAndNotRenumbered) {
    KxRlSetDressingINI arrangement;
    EXPECT_EQ("[]set=041|", dump(arrangement.getIniFile()));
    arrangement.addProp("p_lamp", 1, 2, 0, 90);
    EXPECT_EQ("[]set=041|[0]name=p_lamp|position.x=1.000000|position.y=2.000000|position.z=0.000000|"
              "angle=90.000000|",
              dump(arrangement.getIniFile()));
    arrangement.addProp("p_desk", 0, 0, 0, 0);
    arrangement.removeProp(0);
    EXPECT_STREQ("p_desk", arrangement.getPropName(0));
    arrangement.addProp("p_chair", 0, 0, 0, 0);
    EXPECT_STREQ("1", arrangement.getIniFile().getGroup(2)->getName());
    arrangement.setPropPosition(1, 4, 5, 6);
    arrangement.setPropAngle(1, 0.5f);
    arrangement.setPropName(1, "p_stool");
    EXPECT_EQ(4.0f, arrangement.getPropX(1));
    EXPECT_EQ(0.5f, arrangement.getPropAngle(1));
    EXPECT_STREQ("p_stool", arrangement.getPropName(1));
}
