// dresscaster end to end: the program runs in a fake installation on set-dressing files
// written for each case; the packages it writes are read back through the MSH reader.

#include "MeshChecks.h"
#include "ToolHarness.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Points = MshPoints;

// One mesh of one triangle over `points`, with a light-map list when asked.
MshMesh triangle(int material, const Points &points, bool lightMap = false) {
    MshMesh mesh = mshTriangles(material, points, {0, 1, 2});
    if (lightMap) {
        mesh.flags[1] = 0x01;
        mesh.lightMap.assign(points.size(), {{0, 0}});
    }
    return mesh;
}

std::string meshFile(std::vector<MshGroup> groups, std::vector<std::string> bitmaps = {"wood.dds"},
                     std::vector<std::array<uint8_t, 24>> materials = {mshMaterial(0)}) {
    MshDescription d;
    d.flags[1] = 0x01;  // group names
    d.bitmaps = bitmaps;
    d.materials = materials;
    d.groups = groups;
    return bytesOf(buildMsh(d));
}

MshGroup group(const std::string &name, std::vector<MshMesh> meshes) {
    MshGroup g;
    g.name = name;
    g.meshes = meshes;
    return g;
}

// The prop every arrangement uses: X 0..2, Y 0..1, Z 0..1.
const Points kBox = {{0, 0, 0}, {2, 0, 0}, {2, 1, 1}};

struct Placed {
    std::string name;  // "" leaves the name out
    float x, y, z, angle;
};

// A set-dressing file as the game saves it.
std::string arrangement(const std::vector<Placed> &props) {
    std::string text = "set=041\r\n";
    for (size_t i = 0; i < props.size(); i++) {
        const Placed &p = props[i];
        text += "[" + std::to_string(i) + "]\r\n";
        if (!p.name.empty()) text += "name=" + p.name + "\r\n";
        text += "position.x=" + std::to_string(p.x) + "\r\nposition.y=" + std::to_string(p.y) +
                "\r\nposition.z=" + std::to_string(p.z) + "\r\nangle=" + std::to_string(p.angle) + "\r\n";
    }
    return text;
}

const std::string kName25(25, 'n');  // "p_" and 25 characters: the longest prop name
const std::string kName26(26, 'n');

// The game's props and a mod folder, and the set-dressing files of the work folder.
void lay(FakeInstall &install) {
    install.addGameFile("data/meshes/p_box.msh", meshFile({group("box", {triangle(0, kBox)})}));
    install.addGameFile("data/meshes/p_two.msh",
                        meshFile({group("top", {triangle(0, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}})}),
                                  group("legs", {triangle(0, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}})})}));
    // Mesh 0 has a light-map (slot 2 and a list), mesh 1 neither, mesh 2 a slot-2 texture only.
    install.addGameFile("data/meshes/p_lit.msh",
                        meshFile({group("lit", {triangle(0, kBox, true), triangle(1, kBox), triangle(2, kBox)})},
                                 {"wood.dds", "own_lm.dds", "stale.dds"},
                                 {mshMaterial(0, 0xFF, 1), mshMaterial(0), mshMaterial(0, 0xFF, 2)}));
    install.addGameFile("data/setdressing/p_named.ini", "\tmesh = other.msh\r\n\r\n[finance]\r\n");
    install.addGameFile("data/meshes/other.msh",
                        meshFile({group("other", {triangle(0, {{0, 0, 5}, {1, 0, 5}, {1, 1, 6}})})}));
    install.addGameFile("data/setdressing/p_nomesh.ini", "[finance]\r\n\tpurchasecost = 1.00\r\n");
    install.addGameFile("data/meshes/p_nomesh.msh", meshFile({group("unused", {triangle(0, kBox)})}));
    install.addRootFile("mod/data/meshes/p_box.msh",
                        meshFile({group("modded", {triangle(0, {{0, 0, 0}, {4, 0, 0}, {4, 1, 1}})})}));

    const struct {
        std::string file;
        std::vector<Placed> props;
    } files[] = {
        {"room.ini", {{"p_box", 0, 0, 0, 0}, {"p_box", 10, 0, 3, 0}, {"p_box", 20, 0, 0, 0}}},
        {"a.ini", {{"p_box", 1, 2, 0, 0}}},
        {"b.ini", {{"p_two", 4, 4, 0, 0}}},
        {"turn.ini", {{"p_box", 5, 7, 1, 1.5707964f}}},
        {"lit.ini", {{"p_lit", 0, 0, 0, 0}}},
        {"lit2.ini", {{"p_lit", 0, 0, 0, 0}}},
        {"found.ini", {{"p_named", 0, 0, 0, 0}, {"p_box", 0, 0, 0, 0}}},
        {"partial.ini", {{"p_box", 0, 0, 0, 0}, {"p_nomesh", 10, 0, 0, 0}, {"p_missing", 20, 0, 0, 0}, {"", 30, 0, 0, 0}}},
        {"gone.ini", {{"p_missing", 0, 0, 0, 0}, {"p_nomesh", 0, 0, 0, 0}}},
        {"repeat.ini", {{"p_box", 0, 0, 0, 0}, {"P_Box", 0, 0, 1, 0}, {"p_box", 0, 0, 2, 0}, {"p_two", 0, 0, 3, 0}}},
        {kName25 + ".ini", {{"p_box", 0, 0, 0, 0}}},
        {kName26 + ".ini", {{"p_box", 0, 0, 0, 0}}},
    };
    for (const auto &f : files) install.addRootFile("work/" + f.file, arrangement(f.props));
    install.addRootFile("work/empty.ini", "");
}

struct Case {
    const char *name;
    std::vector<std::string> arguments;
    int status;
    std::vector<std::string> output;    // lines expected on stdout, in this order
    std::vector<std::string> packages;  // "folder/p_name" of every package written
    std::vector<std::string> absent;    // folders that must not be there afterwards
    std::function<void(const FakeInstall &)> check;
};

std::string blueprint(int category) {
    return "\r\n[blueprint]\r\n\tcategory = " + std::to_string(category) +
           "\r\n\tmenutype = 0\r\n\tmaxinstances = -1.00\r\n\ttrickiness = 0\r\n\tgiven = 1.00\r\n"
           "\tresearchable = 0\r\n\tETA = 1900.00\r\n\tpath = group_stuff\r\n\r\n[finance]\r\n"
           "\tpurchasecost = 1.00\r\n";
}

std::string propIni(const std::string &propName) {
    return "\tmesh = " + propName + ".msh\r\n\r\n[finance]\r\n\tpurchasecost = 1.00\r\n\tannualcost = 0\r\n"
           "\tdailyrate = 0\r\n";
}

std::unique_ptr<KxRlMeshFile> packageMesh(const FakeInstall &install, const std::string &package) {
    size_t slash = package.rfind('/');
    std::string name = package.substr(slash + 1);
    return readMeshFile(install.workFile(package.substr(0, slash) + "/data/meshes/" + name + ".msh"));
}

const std::vector<Case> kCases = {
    {"three props centred on the mean X and Y, heights kept", {"room.ini"}, 0, {"Exported prop p_room!\n"},
     {"room/p_room"}, {},
     [](const FakeInstall &i) {
         auto f = packageMesh(i, "room/p_room");
         ASSERT_EQ(3, f->getMeshGroupCount());
         expectBox(*f, 0, 0, 3, {-10, 0, 0, -8, 1, 1});
         expectBox(*f, 1, 0, 3, {0, 0, 3, 2, 1, 4});
         expectBox(*f, 2, 0, 3, {10, 0, 0, 12, 1, 1});
     }},
    {"turned by the stored angle in radians, then placed", {"turn.ini"}, 0, {}, {"turn/p_turn"}, {},
     [](const FakeInstall &i) { expectBox(*packageMesh(i, "turn/p_turn"), 0, 0, 3, {-1, 0, 1, 0, 2, 2}); }},
    {"category and name of the last file", {"a.ini", "-cat", "3", "-propname", "p_new"}, 0,
     {"Exported prop p_new!\n"}, {"a/p_new"}, {},
     [](const FakeInstall &i) {
         EXPECT_EQ(blueprint(3), i.readWorkFile("a/data/propblueprint/p_new.ini"));
         EXPECT_EQ(propIni("p_new"), i.readWorkFile("a/data/props/p_new.ini"));
         EXPECT_EQ(propIni("p_new"), i.readWorkFile("a/data/setdressing/p_new.ini"));
         expectBox(*packageMesh(i, "a/p_new"), 0, 0, 3, {0, 0, 0, 2, 1, 1});
     }},
    {"-cat before any file", {"-cat", "3", "a.ini"}, 1,
     {"-cat option 3 unused: no set dressing INI file has been set!\n", "Exported prop p_a!\n"}, {"a/p_a"}, {},
     [](const FakeInstall &i) { EXPECT_EQ(blueprint(9), i.readWorkFile("a/data/propblueprint/p_a.ini")); }},
    {"-cat 12", {"a.ini", "-cat", "12"}, 1, {"-cat option 12 out of range: must be a number from 0 to 9!\n"},
     {"a/p_a"}, {},
     [](const FakeInstall &i) { EXPECT_EQ(blueprint(9), i.readWorkFile("a/data/propblueprint/p_a.ini")); }},
    {"-cat x", {"a.ini", "-cat", "x"}, 1, {"-cat option x out of range: must be a number from 0 to 9!\n"}, {"a/p_a"},
     {}, nullptr},
    {"two files into the first file's folder", {"a.ini", "b.ini"}, 0,
     {"Exported prop p_a!\n", "Exported prop p_b!\n"}, {"a/p_a", "a/p_b"}, {"b"},
     [](const FakeInstall &i) {
         auto f = packageMesh(i, "a/p_b");
         ASSERT_EQ(2, f->getMeshGroupCount());
         EXPECT_STREQ("top", f->getMeshGroup(0)->getName());
         EXPECT_STREQ("legs", f->getMeshGroup(1)->getName());
     }},
    {"-workdata", {"-workdata", "out/today", "a.ini"}, 0, {}, {"out/today/p_a"}, {"a"}, nullptr},
    {"-workdata after the file leaves its folder empty", {"a.ini", "-workdata", "out"}, 0, {}, {"out/p_a"}, {},
     [](const FakeInstall &i) {
         EXPECT_TRUE(i.workFileExists("a"));
         EXPECT_FALSE(i.workFileExists("a/data"));
     }},
    {"-lightmap only where a mesh has no light-map, for the last file", {"lit.ini", "-lightmap", "lm.dds", "lit2.ini"},
     0, {}, {"lit/p_lit", "lit/p_lit2"}, {},
     [](const FakeInstall &i) {
         auto lit = packageMesh(i, "lit/p_lit");
         EXPECT_STREQ("own_lm.dds", slotName(*lit, 0, 0, 2));
         EXPECT_STREQ("lm.dds", slotName(*lit, 0, 1, 2));
         EXPECT_STREQ("lm.dds", slotName(*lit, 0, 2, 2));
         auto plain = packageMesh(i, "lit/p_lit2");
         EXPECT_STREQ("own_lm.dds", slotName(*plain, 0, 0, 2));
         EXPECT_STREQ("(none)", slotName(*plain, 0, 1, 2));
         EXPECT_STREQ("stale.dds", slotName(*plain, 0, 2, 2));
     }},
    {"a mesh named by the prop's INI, and one found as name.msh", {"found.ini"}, 0, {}, {"found/p_found"}, {},
     [](const FakeInstall &i) {
         auto f = packageMesh(i, "found/p_found");
         ASSERT_EQ(2, f->getMeshGroupCount());
         EXPECT_STREQ("other", f->getMeshGroup(0)->getName());
         EXPECT_STREQ("box", f->getMeshGroup(1)->getName());
     }},
    {"missing meshes and a nameless prop are left out; the rest is written", {"partial.ini"}, 1,
     {"Prop MSH file could not be found (p_nomesh)\n", "Prop MSH file could not be found (p_missing)\n",
      "Prop has no name (partial.ini)\n", "Exported prop p_partial!\n"},
     {"partial/p_partial"}, {},
     [](const FakeInstall &i) {
         auto f = packageMesh(i, "partial/p_partial");
         ASSERT_EQ(1, f->getMeshGroupCount());
         expectBox(*f, 0, 0, 3, {-15, 0, 0, -13, 1, 1});  // the missing ones still count in the mean
     }},
    {"a mesh named by several props is placed each time", {"repeat.ini"}, 0, {}, {"repeat/p_repeat"}, {},
     [](const FakeInstall &i) {
         auto f = packageMesh(i, "repeat/p_repeat");
         ASSERT_EQ(5, f->getMeshGroupCount());
         for (int g = 0; g < 3; g++) expectBox(*f, g, 0, 3, {0, 0, float(g), 2, 1, float(g + 1)});
         EXPECT_STREQ("legs", f->getMeshGroup(4)->getName());
     }},
    {"every mesh missing writes nothing", {"gone.ini"}, 1,
     {"Prop MSH file could not be found (p_missing)\n",
      "No prop of the set dressing file could be placed (p_gone)\n"}, {}, {"gone"}, nullptr},
    {"an empty file writes nothing", {"empty.ini"}, 1, {"The set dressing file holds no prop (p_empty)\n"}, {},
     {"empty"}, nullptr},
    {"a missing file is reported and the next one written", {"nothere.ini", "a.ini"}, 1,
     {"Error loading set dressing file nothere.ini : Could not find set dressing file\n\n", "Exported prop p_a!\n"},
     {"nothere/p_a"}, {"a"}, nullptr},
    {"-propname of 27 characters", {"a.ini", "-propname", "p_" + kName25}, 0, {}, {"a/p_" + kName25}, {}, nullptr},
    {"-propname of 28 characters", {"a.ini", "-propname", "p_" + kName26}, 1,
     {"-propname option p_" + kName26 + " unused: name given is too long!  Do not exceed 27 characters.\n",
      "Exported prop p_a!\n"},
     {"a/p_a"}, {}, nullptr},
    {"a default name of 27 characters", {kName25 + ".ini"}, 0, {}, {kName25 + "/p_" + kName25}, {}, nullptr},
    {"a default name of 28 characters", {kName26 + ".ini"}, 1,
     {"Default prop name p_" + kName26 + " is too long!  Do not exceed 27 characters.\n"}, {}, {kName26},
     nullptr},
    {"a refused -newdata folder keeps the option waiting", {"-newdata", "nowhere", "../mod", "a.ini"}, 1,
     {"Error in -newdata option : Path is not valid! (nowhere)\n", "Exported prop p_a!\n"}, {"a/p_a"}, {},
     [](const FakeInstall &i) { EXPECT_STREQ("modded", packageMesh(i, "a/p_a")->getMeshGroup(0)->getName()); }},
    {"an option word where a value waits", {"a.ini", "-cat", "-propname", "p_y"}, 1, {}, {"a/p_y"}, {},
     [](const FakeInstall &i) { EXPECT_EQ(blueprint(9), i.readWorkFile("a/data/propblueprint/p_y.ini")); }},
    {"a value missing at the end", {"a.ini", "-cat"}, 2, {}, {}, {"a"}, nullptr},
    {"a prop name with a folder", {"a.ini", "-propname", "sub/p_x"}, 1,
     {"Prop name sub/p_x holds a path separator (sub/p_x)\n"}, {}, {"a"}, nullptr},
};

}  // namespace

TEST(Dresscaster, turnsSetDressingFilesIntoProps) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        FakeInstall install;
        lay(install);
#ifndef _WIN32
        ScopedEnv home("HOME", install.root().c_str());  // no documents folder of the user running the tests
#endif
        ToolRun run = install.runByName("dresscaster", c.arguments);
        expectToolRun(run, c.status, c.output);
        for (const std::string &package : c.packages) {
            SCOPED_TRACE(package);
            size_t slash = package.rfind('/');
            const std::string folder = package.substr(0, slash), name = package.substr(slash + 1);
            EXPECT_NE(std::string::npos, run.output.find("Exported prop " + name + "!\n"));
            for (const char *part : {"propblueprint", "props", "setdressing"})
                EXPECT_TRUE(install.workFileExists(folder + "/data/" + part + "/" + name + ".ini")) << part;
            EXPECT_GT(packageMesh(install, package)->getMeshGroupCount(), 0);
        }
        if (c.packages.empty()) {
            EXPECT_EQ(std::string::npos, run.output.find("Exported prop"));
        }
        for (const std::string &folder : c.absent) EXPECT_FALSE(install.workFileExists(folder)) << folder;
        if (c.check) c.check(install);
    }
}

TEST(Dresscaster, printsItsHelpWhenNoFileIsNamed) {
    FakeInstall install;
    const std::string rule(78, '-');
    const std::string head = "Usage:  dresscaster [GlobalOptions] INIFile(s)... [INIOptions]\n"
                             "This produces a single prop encompassing all props in a set dressing file.\n";
    const std::string tail = "If you add a new directory using the -newdata option, this application will\n"
                             "look there first.\n" + rule + "\n";
    ToolRun none = install.runByName("dresscaster", {});
    EXPECT_EQ(0, none.status);
    EXPECT_EQ(0u, none.output.find(head));
    EXPECT_EQ(none.output.size() - tail.size(), none.output.rfind(tail));
    EXPECT_NE(std::string::npos, none.output.find("      2)  Your \\My Documents\\Reelmara\\Set Dressing\\ folders.\n"));
    EXPECT_EQ(39, std::count(none.output.begin(), none.output.end(), '\n'));

    ToolRun options = install.runByName("dresscaster", {"-cat", "3"});
    EXPECT_EQ(2, options.status);
    EXPECT_EQ(kToolStartUp + "-cat option 3 unused: no set dressing INI file has been set!\n" +
                  none.output,
              options.output);
}

// The set-dressing folder of the documents folder and its sub-folders, with the documents
// folder named by the registry (a registry file natively, the real registry under Wine). The
// folder above (the ".." of the listing) is not searched, and the stderr line names the folder
// that was, with the system's separators.
TEST(Dresscaster, findsFilesInTheDocumentsSetDressingFolders) {
    FakeInstall install;
    lay(install);
    const std::string documents = install.root() + (install.root().find('\\') != std::string::npos ? "\\" : "/") + "docs";
    install.addRootFile("docs/Reelmara/Set Dressing/Office/office.ini", arrangement({{"p_box", 3, 3, 0, 0}}));
    install.addRootFile("docs/Reelmara/Set Dressing/direct.ini", arrangement({{"p_two", 0, 0, 0, 0}}));
    install.addRootFile("docs/Reelmara/above.ini", arrangement({{"p_two", 0, 0, 0, 0}}));
    install.setDocumentsFolder(documents);
    // A read-only folder is searched like any other.
    const std::filesystem::path office = install.root() + "/docs/Reelmara/Set Dressing/Office";
    std::filesystem::permissions(office, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    ToolRun run = install.runByName("dresscaster", {"office.ini", "direct.ini", "elsewhere.ini", "above.ini"});
    std::filesystem::permissions(office, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    EXPECT_EQ(1, run.status) << run.output << run.errors;
    EXPECT_TRUE(install.workFileExists("office/data/meshes/p_office.msh")) << run.output << run.errors;
    EXPECT_TRUE(install.workFileExists("office/data/meshes/p_direct.msh"));
    EXPECT_NE(std::string::npos, run.output.find("Error loading set dressing file elsewhere.ini : "));
    EXPECT_NE(std::string::npos, run.output.find("Error loading set dressing file above.ini : "));
    EXPECT_FALSE(install.workFileExists("office/data/meshes/p_above.msh"));
    EXPECT_NE(std::string::npos, run.errors.find(nativeSeparators(documents + "/Reelmara/Set Dressing/") +
                                                 " or its sub-folders"))
        << "the stderr line says where it looked: " << run.errors;
}

#ifndef _WIN32
// Without a documents folder in the registry, the user's XDG documents folder is searched.
TEST(Dresscaster, findsFilesInTheXdgDocumentsFolderWithoutARegistryValue) {
    FakeInstall install;
    lay(install);
    ScopedEnv home("HOME", install.root().c_str());
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    install.addRootFile(".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/My Files\"\n");
    install.addRootFile("My Files/Reelmara/Set Dressing/Saved/saved.ini", arrangement({{"p_box", 0, 0, 0, 0}}));
    ToolRun run = install.runByName("dresscaster", {"saved.ini"});
    EXPECT_EQ(0, run.status) << run.output << run.errors;
    EXPECT_TRUE(install.workFileExists("saved/data/meshes/p_saved.msh"));
}
#endif

#ifdef _WIN32
// Started with a full path, as from Explorer: the tool works in its own folder.
TEST(Dresscaster, startedWithAFullPathWorksInTheProgramsFolder) {
    FakeInstall install;
    lay(install);
    std::string program = install.addRootFile("app/dresscaster.exe", readFileBytes(toolProgramPath("dresscaster")));
    install.addRootFile("app/here.ini", arrangement({{"p_box", 0, 0, 0, 0}}));
    ToolRun run = install.runProgram(program, {"here.ini"});
    EXPECT_EQ(0, run.status) << run.output << run.errors;
    EXPECT_TRUE(fileExistsOnDisk(install.root() + "\\app\\here\\data\\meshes\\p_here.msh"));
    EXPECT_TRUE(fileExistsOnDisk(install.root() + "\\app\\content"));
    EXPECT_FALSE(install.workFileExists("here"));
}
#endif
