// paklister end to end: a game whose -newdata folder, content folder, game folder and two
// archives hold copies of the same files, listed, asked about and extracted.

#include "PakWriter.h"
#include "Platform.h"
#include "ToolHarness.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

namespace {

void setHoursAgo(const std::string &path, int hours) {
    std::filesystem::last_write_time(path,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(hours));
}

int64_t modificationTime(const std::string &path) {
    int64_t seconds = -1;
    platform::getModificationTime(path.c_str(), &seconds);
    return seconds;
}

std::string texture() {
    std::string bytes = "DDS ";
    for (int i = 0; i < 300; i++) bytes += static_cast<char>(i * 7);
    return bytes;
}
const std::string kIni = "\tmesh = d.msh\r\n\r\n[finance]\r\n\tpurchasecost = 2.00\r\n";

// One copy as a listing shows it: path, size, packed (-1 for none), kind and place of the copy,
// shadowed, and the kind and place of the winner ("" when it wins itself).
using Row = std::tuple<std::string, uint64_t, int64_t, std::string, std::string, bool, std::string, std::string>;

std::vector<Row> rowsOfText(const std::string &text) {
    static const std::regex line(
        "^(\\S+) +(\\d+) +(\\d+|-) +(newdata|content|game|archive) +(.*?)"
        "(?:  shadowed by (newdata|content|game|archive) (.*))?$");
    std::vector<Row> rows;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string one = text.substr(start, end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        std::smatch m;
        if (!std::regex_match(one, m, line)) {
            ADD_FAILURE() << "not a list line: " << one;
            continue;
        }
        rows.emplace_back(m[1], std::stoull(m[2]), m[3] == "-" ? -1 : std::stoll(m[3]), m[4], m[5], m[6].matched,
                          m[6], m[7]);
    }
    return rows;
}

std::vector<Row> rowsOfJson(const std::string &text) {
    nlohmann::json document = nlohmann::json::parse(text);  // throws unless stdout is the document alone
    std::vector<Row> rows;
    for (const nlohmann::json &file : document.at("files")) {
        const nlohmann::json &winner = file.at("winner");
        EXPECT_EQ(file.at("shadowed").get<bool>(), !winner.is_null());
        rows.emplace_back(file.at("path").get<std::string>(), file.at("size").get<uint64_t>(),
                          file.at("packed").is_null() ? -1 : file.at("packed").get<int64_t>(),
                          file.at("source").at("kind").get<std::string>(),
                          file.at("source").at("path").get<std::string>(), file.at("shadowed").get<bool>(),
                          winner.is_null() ? "" : winner.at("kind").get<std::string>(),
                          winner.is_null() ? "" : winner.at("path").get<std::string>());
    }
    return rows;
}

//   mods/     data\meshes\a.msh, data\textures\t.dds                (given with -newdata)
//   content/  data\meshes\a.msh, data\meshes\b.msh
//   game/     data\meshes\b.msh, data\meshes\c.msh
//   a_old.pak data\meshes\c.msh, data\meshes\d.msh, data\setdressing\d.ini, data\textures\wall.dds,
//             and an entry whose name leads out of the folder        (2 hours old)
//   b_new.pak data\meshes\d.msh, data\textures\t.dds                  (1 hour old)
//   broken.pak, a damaged archive
class PaklisterTest : public ::testing::Test {
protected:
    void SetUp() override {
        install.addRootFile("mods/data/meshes/a.msh", "mods a");
        install.addRootFile("mods/data/textures/t.dds", "mods texture");
        install.addContentFile("data/meshes/a.msh", "content a!");
        install.addContentFile("data/meshes/b.msh", "content b");
        install.addGameFile("data/meshes/b.msh", "game b.");
        install.addGameFile("data/meshes/c.msh", "game c");
        PakWriter oldPak, newPak;
        oldPak.add("data\\meshes\\", "c.msh", "old c", PakWriter::COMPRESSED);
        oldPak.add("data\\meshes\\", "d.msh", "old d, longer");
        oldPak.add("data\\setdressing\\", "D.INI", kIni, PakWriter::COMPRESSED);
        oldPak.add("data\\textures\\", "wall.dds", texture());
        oldPak.add("data\\..\\..\\", "evil.txt", "escaped");
        newPak.add("data\\meshes\\", "d.msh", "new d from a nested stream", PakWriter::NESTED_COMPRESSED);
        newPak.add("data\\textures\\", "t.dds", "pak texture", PakWriter::NESTED_STORED);
        oldArchive = install.addPak("a_old.pak", oldPak);
        newArchive = install.addPak("b_new.pak", newPak);
        setHoursAgo(oldArchive, 2);
        setHoursAgo(newArchive, 1);
        install.addGameFile("data/pak/broken.pak", "PAK");
    }

    std::string place(const std::string &path) const { return platform::nativePath(path.c_str()); }
    std::string mods() const { return install.root() + "/mods"; }

    FakeInstall install;
    std::string oldArchive, newArchive;
};

TEST_F(PaklisterTest, listsEveryCopyWithTheCopyThatWinsAndTheSameInJson) {
    const std::string modsPlace = place(mods()), content = place(install.workFile("content")),
                      game = place(install.gameFolder()), oldPak = place(oldArchive), newPak = place(newArchive);
    // Path, kind and place of the copy, kind and place of its winner when it is shadowed.
    const std::vector<std::tuple<std::string, std::string, std::string, std::string, std::string>> expected = {
        {"data\\meshes\\a.msh", "newdata", modsPlace, "", ""},
        {"data\\meshes\\a.msh", "content", content, "newdata", modsPlace},
        {"data\\meshes\\b.msh", "content", content, "", ""},
        {"data\\meshes\\b.msh", "game", game, "content", content},
        {"data\\meshes\\c.msh", "game", game, "", ""},
        {"data\\meshes\\c.msh", "archive", oldPak, "game", game},
        {"data\\meshes\\d.msh", "archive", newPak, "", ""},  // the newer archive wins
        {"data\\meshes\\d.msh", "archive", oldPak, "archive", newPak},
        {"data\\pak\\a_old.pak", "game", game, "", ""},
        {"data\\pak\\b_new.pak", "game", game, "", ""},
        {"data\\pak\\broken.pak", "game", game, "", ""},
        {"data\\setdressing\\d.ini", "archive", oldPak, "", ""},
        {"data\\textures\\t.dds", "newdata", modsPlace, "", ""},
        {"data\\textures\\t.dds", "archive", newPak, "newdata", modsPlace},
        {"data\\textures\\wall.dds", "archive", oldPak, "", ""},
    };

    ToolRun text = install.run("paklister", {"list", "-newdata", mods()});
    expectToolRun(text, 0, {"Warning : skipping damaged archive broken.pak ("});
    EXPECT_NE(std::string::npos, text.errors.find("broken.pak: damaged archive skipped"));
    EXPECT_NE(std::string::npos, text.errors.find("evil.txt of " + oldPak + ": warning: left out:"));
    std::string lines = text.output.substr(text.output.find(")\n") + 2);  // after the warning
    std::vector<Row> rows = rowsOfText(lines);
    ASSERT_EQ(expected.size(), rows.size()) << lines;
    for (size_t i = 0; i < rows.size(); i++) {
        const auto &want = expected[i];
        const Row &row = rows[i];
        EXPECT_EQ(std::get<0>(want), std::get<0>(row)) << i;
        EXPECT_EQ(std::get<1>(want), std::get<3>(row)) << i;
        EXPECT_EQ(std::get<2>(want), std::get<4>(row)) << i;
        EXPECT_EQ(!std::get<3>(want).empty(), std::get<5>(row)) << i;
        EXPECT_EQ(std::get<3>(want), std::get<6>(row)) << i;
        EXPECT_EQ(std::get<4>(want), std::get<7>(row)) << i;
        EXPECT_EQ(std::get<1>(want) == "archive", std::get<2>(row) >= 0) << i;
    }
    // Sizes of files as extracted: the nested stream and the stored texture.
    EXPECT_EQ(26u, std::get<1>(rows[6]));
    EXPECT_EQ(texture().size(), std::get<1>(rows[14]));
    EXPECT_EQ(static_cast<int64_t>(texture().size()), std::get<2>(rows[14]));
    EXPECT_EQ(kIni.size(), std::get<1>(rows[11]));

    // The JSON document says the same, alone on standard output, whatever the order of the words.
    for (const std::vector<std::string> &arguments :
         {std::vector<std::string>{"-json", "list", "-newdata", mods()},
          std::vector<std::string>{"-newdata", mods(), "list", "-json"}}) {
        ToolRun json = install.run("paklister", arguments);
        EXPECT_EQ(0, json.status) << json.errors;
        EXPECT_EQ(0u, json.output.find("{\"files\": ["));
        EXPECT_EQ(rows, rowsOfJson(json.output));
        EXPECT_NE(std::string::npos, json.errors.find("broken.pak: damaged archive skipped"));
    }

    // Patterns narrow the list: a folder's files, a name in every folder, a wildcard in a folder.
    const struct {
        std::vector<std::string> patterns;
        std::vector<size_t> rows;  // indices into the full list
    } narrowed[] = {
        {{"textures/"}, {12, 13, 14}},
        {{"D.*", "data/*/c.msh"}, {4, 5, 6, 7, 11}},
    };
    for (const auto &n : narrowed) {
        std::vector<std::string> arguments = {"-json", "list", "-newdata", mods()};
        arguments.insert(arguments.end(), n.patterns.begin(), n.patterns.end());
        ToolRun json = install.run("paklister", arguments);
        EXPECT_EQ(0, json.status) << json.errors;
        std::vector<Row> expectedRows;
        for (size_t i : n.rows) expectedRows.push_back(rows[i]);
        EXPECT_EQ(expectedRows, rowsOfJson(json.output)) << n.patterns[0];
    }
}

TEST_F(PaklisterTest, whichNamesTheWinnerAndEveryCopyItShadows) {
    ToolRun run = install.run("paklister", {"-newdata", mods(), "which", "D.msh", "textures/t.dds", "nowhere.msh"});
    expectToolRun(run, 1,
                  {"data\\meshes\\d.msh: archive " + place(newArchive) + " (26 bytes)\n  shadows archive " +
                       place(oldArchive) + " (13 bytes)\n",
                   "data\\textures\\t.dds: newdata " + place(mods()) + " (12 bytes)\n  shadows archive " +
                       place(newArchive) + " (11 bytes)\n",
                   "Could not find nowhere.msh\n"});
    EXPECT_NE(std::string::npos, run.errors.find("nowhere.msh: no file data\\...\\nowhere.msh in -newdata folder"));

    ToolRun json = install.run("paklister", {"which", "d.msh", "-json"});
    EXPECT_EQ(0, json.status) << json.errors;
    std::vector<Row> rows = rowsOfJson(json.output);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(place(newArchive), std::get<4>(rows[0]));
    EXPECT_EQ(place(newArchive), std::get<7>(rows[1]));
}

// A texture and an INI file out of an archive: the entries' bytes, the archive's time, an
// existing file kept unless -force, the hostile entry refused.
TEST_F(PaklisterTest, extractsArchivedFilesWholeWithTheArchivesTime) {
    const struct {
        const char *file;
        std::string bytes;
    } extracted[] = {{"out/data/textures/wall.dds", texture()}, {"out/data/setdressing/d.ini", kIni}};

    ToolRun first = install.run("paklister", {"extract", "textures/wall.dds", "-o", "out", "D.INI"});
    // In path order, whatever the order of the patterns.
    expectToolRun(first, 0,
                  {"Extracted data\\setdressing\\d.ini from archive " + place(oldArchive) + "\n",
                   "Extracted data\\textures\\wall.dds from archive " + place(oldArchive) + "\n"});
    for (const auto &e : extracted) {
        EXPECT_EQ(e.bytes, install.readWorkFile(e.file)) << e.file;
        EXPECT_EQ(modificationTime(oldArchive), modificationTime(install.workFile(e.file))) << e.file;
    }

    install.addRootFile("work/out/data/setdressing/d.ini", "edited");
    ToolRun kept = install.run("paklister", {"-o", "out", "extract", "*.ini", "wall.dds"});
    expectToolRun(kept, 1, {"Error extracting data\\setdressing\\d.ini : the file is already there (-force replaces it)\n"});
    EXPECT_EQ("edited", install.readWorkFile("out/data/setdressing/d.ini"));
    EXPECT_NE(std::string::npos, kept.errors.find("d.ini: not extracted: the file is already there"));

    ToolRun forced = install.run("paklister", {"extract", "*.ini", "-force", "-o", "out"});
    expectToolRun(forced, 0, {"Extracted data\\setdressing\\d.ini"});
    EXPECT_EQ(kIni, install.readWorkFile("out/data/setdressing/d.ini"));

    ToolRun hostile = install.run("paklister", {"extract", "*.txt", "-o", "out"});
    expectToolRun(hostile, 1, {"Error extracting data\\..\\..\\evil.txt : Refused archive entry"});
    EXPECT_NE(std::string::npos, hostile.errors.find("leaves the extraction folder"));
    EXPECT_FALSE(fileExistsOnDisk(install.root() + "/evil.txt"));
    EXPECT_FALSE(fileExistsOnDisk(install.root() + "/work/evil.txt"));
    EXPECT_TRUE(temporaryFilesBelow(install.root()).empty());
}

TEST(Paklister, printsItsHelpAndRefusesIncompleteCommandLines) {
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char *output;
        const char *errors;
    } cases[] = {
        {{}, 0, "Usage: paklister [GlobalOptions] list [Pattern(s)...] [-json]\n", ""},
        {{"--version"}, 0, "paklister ", ""},
        {{"which"}, 2, "Usage: paklister", ""},
        {{"-json", "extract"}, 2, "Usage: paklister", ""},
        {{"lsit"}, 2, "Usage: paklister", "lsit: not a command of paklister"},
        {{"extract", "*.dds", "-o"}, 2, "", "-o: the option needs a value"},
        {{"list", "../*.msh"}, 1, "Error with pattern ../*.msh : The pattern ../*.msh leads out of the data folder", ""},
    };
    for (const auto &c : cases) {
        FakeInstall install;
        install.addGameFile("data/meshes/a.msh", "a");
        ToolRun run = install.run("paklister", c.arguments);
        std::string line = c.arguments.empty() ? "" : c.arguments[0];
        EXPECT_EQ(c.status, run.status) << line << run.output << run.errors;
        EXPECT_NE(std::string::npos, run.output.find(c.output)) << line << run.output;
        EXPECT_NE(std::string::npos, run.errors.find(c.errors)) << line << run.errors;
        EXPECT_FALSE(install.workFileExists("data"));
    }
}

// A listing is mostly written out as it stands; a name (lower case, as listings show names) with
// bytes a terminal acts on, first or last, is escaped in the text and kept exactly in the JSON.
TEST(Paklister, escapesNamesATerminalWouldActOnInTextOnly) {
    for (const char *name : {"a\x1b[2j.msh", "z\x07\x7f.msh"}) {
        FakeInstall install;
        install.addGameFile("data/meshes/m.msh", "plain");
        PakWriter pak;
        pak.add("data\\meshes\\", name, "odd");
        install.addPak("odd.pak", pak);
        ToolRun text = install.run("paklister", {"list", "*.msh"});
        EXPECT_EQ(0, text.status) << text.errors;
        EXPECT_EQ(std::string::npos, text.output.find_first_of("\x1b\x07\x7f")) << text.output;
        const std::string shown = name[0] == 'a' ? "a\\x1B[2j.msh" : "z\\x07\\x7F.msh";
        EXPECT_NE(std::string::npos, text.output.find("data\\meshes\\" + shown)) << text.output;
        EXPECT_NE(std::string::npos, text.output.find("data\\meshes\\m.msh")) << text.output;

        ToolRun json = install.run("paklister", {"list", "*.msh", "-json"});
        EXPECT_EQ(0, json.status) << json.errors;
        EXPECT_EQ(std::string("data\\meshes\\") + name,
                  nlohmann::json::parse(json.output).at("files").at(name[0] == 'a' ? 0 : 1).at("path"));
    }
}

}  // namespace
