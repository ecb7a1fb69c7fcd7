// propcarver end to end: the program runs in a fake installation; the packages it writes are
// read back through the MSH reader.

#include "KxRlMesh.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshSkeleton.h"
#include "MeshChecks.h"
#include "ToolHarness.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// The set: group 0 "set" holds mesh 0 with three objects, A (vertices 0-3, X 2..4, Y -1..1,
// Z 5..7), B (4-6, X 10..12) and C (7-9, X -10..-9), and mesh 1, one triangle at (1, 2, 3)
// with texture old.dds and mesh flag 0 0xF8. Group 1 "props" holds three triangles at
// Z = 1, 2, 3 (the last with flag 0 0xFA). One bone, translated by (1, 2, 3).
std::string setFile() {
    MshDescription d;
    d.flags[0] = 0x01;  // skeleton
    d.flags[1] = 0x01;  // group names
    d.bitmaps = {"wood.dds", "old.dds", "metal.dds"};
    d.materials = {mshMaterial(0), mshMaterial(1), mshMaterial(2)};
    MshGroup set;
    set.name = "set";
    set.meshes.push_back(mshTriangles(0,
                                      {{2, -1, 5}, {4, -1, 5}, {3, 1, 6}, {3, 0, 7}, {10, 0, 0}, {12, 0, 0},
                                       {11, 2, 0.5f}, {-10, -10, 0}, {-9, -10, 0}, {-10, -9, 0}},
                                      {0, 1, 2, 1, 3, 2, 4, 5, 6, 7, 8, 9}));
    set.meshes.push_back(mshTriangles(1, {{1, 2, 3}, {2, 2, 3}, {1, 3, 3}}, {0, 1, 2}, 0xF8));
    MshGroup props;
    props.name = "props";
    for (int z = 1; z <= 3; z++)
        props.meshes.push_back(mshTriangles(2, {{5, 5, float(z)}, {6, 5, float(z)}, {5, 6, float(z)}}, {0, 1, 2},
                                            z == 3 ? 0xFA : 0x70));
    d.groups = {set, props};
    MshBone bone;
    bone.name = "root";
    bone.matrix[9] = 1, bone.matrix[10] = 2, bone.matrix[11] = 3;
    d.bones = {bone};
    return bytesOf(buildMsh(d));
}

const std::string kPropIni = "\tmesh = p_x.msh\r\n\r\n[finance]\r\n\tpurchasecost = 1.00\r\n\tannualcost = 0\r\n"
                             "\tdailyrate = 0\r\n";

// 231 characters: the mesh path below it fits a path buffer, the blueprint path does not.
std::string deepFolder() {
    std::string folder = "d123456789";
    for (int i = 0; i < 20; i++) folder += "/d123456789";
    return folder;
}
const std::string kDeepFolder = deepFolder();

std::string blueprint(int category) {
    return "\r\n[blueprint]\r\n\tcategory = " + std::to_string(category) +
           "\r\n\tmenutype = 0\r\n\tmaxinstances = -1.00\r\n\ttrickiness = 0\r\n\tgiven = 1.00\r\n"
           "\tresearchable = 0\r\n\tETA = 1900.00\r\n\tpath = group_stuff\r\n\r\n[finance]\r\n"
           "\tpurchasecost = 1.00\r\n";
}

struct Case {
    const char *name;
    std::vector<std::string> arguments;
    int status;
    std::vector<std::string> output;  // lines expected on stdout, in order
    // Checks the package p_x (null: no package and no p_x folder may be left behind).
    std::function<void(const KxRlMeshFile &, const FakeInstall &)> check;
};

std::vector<std::string> carve(std::vector<std::string> options) {
    options.insert(options.begin(), {"set.msh", "x"});
    return options;
}

const std::vector<Case> kCases = {
    {"groups and meshes", carve({"-g", "0", "1", "-m", "2"}), 0, {"Exported prop p_x!\n"},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(2, f.getMeshGroupCount());
         EXPECT_EQ(2, f.getMeshCount(0));
         expectBox(f, 1, 0, 3, {5, 5, 3, 6, 6, 3});
         EXPECT_EQ(1, f.getMeshCount(1));
     }},
    {"group name, then the next group", carve({"-g", "0", "-n", "foo", "1"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(2, f.getMeshGroupCount());
         EXPECT_STREQ("foo", f.getMeshGroup(0)->getName());
         EXPECT_STREQ("props", f.getMeshGroup(1)->getName());
         EXPECT_EQ(3, f.getMeshCount(1));
     }},
    {"mesh option without -m", carve({"-g", "0", "-t0", "a.dds"}), 0,
     {"Warning : \"-t0\" option out of place; no mesh has been specified yet!\n",
      "Warning : group number (a.dds) is invalid; entry will be ignored\n"},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         EXPECT_EQ(2, f.getMeshCount(0));
         EXPECT_STREQ("old.dds", slotName(f, 0, 1, 0));
     }},
    {"bad number", carve({"-g", "0", "-m", "1", "-cp", "1", "x", "3"}), 1,
     {"Error with -cp option : Invalid number: prop will not be centered\n"},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 3, {1, 2, 3, 2, 3, 3}); }},
    {"centre", carve({"-g", "0", "-m", "1", "-cp", "1", "2", "3"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 3, {0, 0, 0, 1, 1, 0}); }},
    {"centre, then turn", carve({"-g", "0", "-m", "1", "-cp", "1", "2", "3", "-rpz", "90"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 3, {-1, 0, 0, 0, 1, 0}); }},
    {"turn, then centre", carve({"-g", "0", "-m", "1", "-rpz", "90", "-cp", "1", "2", "3"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 3, {-4, -1, 0, -3, 0, 0}); }},
    {"negative numbers are arguments", carve({"-g", "1", "-m", "0", "-cm", "-1", "-2", "-3"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 3, {6, 7, 4, 7, 8, 4}); }},
    {"a mesh's own transform wins", carve({"-g", "0", "-m", "0", "1", "-cm", "0", "0", "0", "-sp", "2"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         expectBox(f, 0, 0, 10, {-20, -20, 0, 24, 4, 14});
         expectBox(f, 0, 1, 3, {1, 2, 3, 2, 3, 3});
     }},
    {"two mesh boxes", carve({"-g", "0", "-m", "0", "-clm", "1.9", "-1.1", "4.9", "4.1", "1.1", "7.1", "-clm", "9.9",
                              "-0.1", "-0.1", "12.1", "2.1", "0.6"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 7, {2, -1, 0, 12, 2, 7}); }},
    {"a group box and a mesh box", carve({"-g", "0", "-clg", "1.9", "-1.1", "4.9", "4.1", "1.1", "7.1", "-m", "0",
                                          "-clm", "9.9", "-0.1", "-0.1", "12.1", "2.1", "0.6"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 7, {2, -1, 0, 12, 2, 7}); }},
    {"one object", carve({"-g", "0", "-m", "0", "-v", "0"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 4, {2, -1, 5, 4, 1, 7}); }},
    {"two vertices of one object", carve({"-g", "0", "-m", "0", "-v", "0", "3"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 4, {2, -1, 5, 4, 1, 7}); }},
    {"centre on an object", carve({"-g", "0", "-m", "0", "-cv", "1"}), 0,
     {"Note about -cv option : Prop will be centered around (3.000, 0.000, 5.000)\n", "Exported prop p_x!\n"},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 4, {-1, -1, 0, 1, 1, 2}); }},
    {"centring on no valid vertex moves nothing", carve({"-g", "0", "-m", "0", "-cv", "99"}), 1,
     {"Error with -cv option : Invalid number (99) for mesh 0 (in mesh group 0)\n", "Exported prop p_x!\n"},
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 10, {-10, -10, 0, 12, 2, 7}); }},
    {"texture off for the prop", carve({"-g", "0", "-rtp", "old.dds", "null"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         EXPECT_STREQ("(none)", slotName(f, 0, 1, 0));
         for (int i = 0; i < f.getBitmapCount(); i++) EXPECT_STRNE("old.dds", f.getBitmap(i)->getFilename());
     }},
    {"texture off for a group", carve({"-g", "0", "-rtg", "old.dds", "null"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) { EXPECT_STREQ("(none)", slotName(f, 0, 1, 0)); }},
    {"texture renamed for the prop", carve({"-g", "0", "-rtp", "old.dds", "new.dds"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         EXPECT_STREQ("new.dds", slotName(f, 0, 1, 0));
         EXPECT_STREQ("wood.dds", slotName(f, 0, 0, 0));
         for (int i = 0; i < f.getBitmapCount(); i++) EXPECT_STRNE("old.dds", f.getBitmap(i)->getFilename());
     }},
    {"a group's renaming comes first, the prop's applies to its result",
     carve({"-g", "0", "-rtg", "old.dds", "grp.dds", "-rtp", "old.dds", "new.dds", "-rtp", "grp.dds", "last.dds"}), 0,
     {}, [](const KxRlMeshFile &f, const FakeInstall &) { EXPECT_STREQ("last.dds", slotName(f, 0, 1, 0)); }},
    {"textures of a mesh", carve({"-g", "0", "-m", "1", "-t0", "null", "-t2", "lm.dds"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         EXPECT_STREQ("(none)", slotName(f, 0, 0, 0));
         EXPECT_STREQ("lm.dds", slotName(f, 0, 0, 2));
     }},
    {"over-long texture name", carve({"-g", "0", "-m", "1", "-t1", std::string(32, 't') + ".dds"}), 1,
     {"Error with -t1 option : texture name (" + std::string(32, 't') + ".dds) exceeds 31 characters\n"},
     [](const KxRlMeshFile &f, const FakeInstall &) { EXPECT_STREQ("(none)", slotName(f, 0, 0, 1)); }},
    {"bones keep later transforms", carve({"-bones", "-g", "0", "-cp", "1", "0", "0"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_NE(nullptr, f.getSkeleton());
         const KxDMatTransform *m = f.getSkeleton()->getBone(0)->getMatrix();
         EXPECT_FLOAT_EQ(0, m->getValue(3, 0));
         EXPECT_FLOAT_EQ(2, m->getValue(3, 1));
         EXPECT_FLOAT_EQ(3, m->getValue(3, 2));
     }},
    {"reflective floor bit only", carve({"-g", "0", "-m", "1", "-rfon", "-g", "1", "-m", "2", "-rfoff"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         EXPECT_EQ(0xFA, f.getMesh(0, 0)->getMeshFlag(0));
         EXPECT_EQ(0xF8, f.getMesh(1, 0)->getMeshFlag(0));
     }},
    {"animation refused as a whole", carve({"-g", "0", "-m", "1", "-tanim", "10", "20", "300"}), 1,
     {"Error with -tanim option : Invalid number: animation values must be between 0 and 255 (for mesh 1 in mesh "
      "group 0)\n"},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         EXPECT_EQ(0, f.getMesh(0, 0)->getMaterial()->getSpeedX());
         EXPECT_EQ(0, f.getMesh(0, 0)->getMaterial()->getSpeedRotate());
     }},
    {"animation and alpha", carve({"-g", "0", "-m", "1", "-tanim", "10", "20", "30", "-aon"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         const KxRlMeshMaterial *m = f.getMesh(0, 0)->getMaterial();
         EXPECT_EQ(10, m->getSpeedX());
         EXPECT_EQ(20, m->getSpeedY());
         EXPECT_EQ(30, m->getSpeedRotate());
         EXPECT_EQ(1, m->getRawData()[7]);
         EXPECT_EQ(1, m->getRawData()[8]);
     }},
    {"a mirror keeps faces facing out", carve({"-g", "0", "-m", "1", "-spx", "-1"}), 0, {},
     [](const KxRlMeshFile &f, const FakeInstall &) {
         expectBox(f, 0, 0, 3, {-2, 2, 3, -1, 3, 3});
         expectFacesOut(f, 0, 0);
     }},
    {"category out of range", carve({"-g", "0", "-cat", "10"}), 0, {"Warning : invalid category number (10)\n"},
     [](const KxRlMeshFile &, const FakeInstall &i) {
         EXPECT_EQ(blueprint(9), i.readWorkFile("p_x/data/propblueprint/p_x.ini"));
     }},
    {"category 0 and the INI bytes", carve({"-cat", "0", "-g", "0"}), 0, {},
     [](const KxRlMeshFile &, const FakeInstall &i) {
         EXPECT_EQ(blueprint(0), i.readWorkFile("p_x/data/propblueprint/p_x.ini"));
         EXPECT_EQ(kPropIni, i.readWorkFile("p_x/data/props/p_x.ini"));
         EXPECT_EQ(kPropIni, i.readWorkFile("p_x/data/setdressing/p_x.ini"));
     }},
    {"value cut short by the end", carve({"-g", "0", "-cp", "1", "2"}), 2, {}, nullptr},
    {"-g without a number at the end", carve({"-g", "0", "-m", "1", "-g"}), 2, {}, nullptr},
    {"no -g", carve({"-cp", "1", "2", "3"}), 1, {"Error exporting prop : The prop holds no mesh group\n"}, nullptr},
    {"group numbers all refused", carve({"-g", "7"}), 1,
     {"Warning : group number (7) is invalid; entry will be ignored\n",
      "Error exporting prop : The prop holds no mesh group\n"}, nullptr},
    {"-g before the input", {"-g", "0", "set.msh", "x"}, 1,
     {"Error : \"-g\" option out of place; no input mesh file has been given yet!\n"}, nullptr},
    {"-bones before the input", {"-bones", "set.msh", "x", "-g", "0"}, 1,
     {"Error : \"-bones\" option out of place; no input mesh file has been given yet!\n"}, nullptr},
    {"-m out of place stops the run", carve({"-m", "0"}), 1,
     {"Error : \"-m\" option out of place; no mesh group has been specified yet!\n"}, nullptr},
    {"package path too long", {"-workdata", kDeepFolder, "set.msh", "x", "-g", "0"}, 1,
     {"Error exporting prop : Package path is too long: " +
      nativeSeparators(kDeepFolder + "/data/propblueprint/p_x.ini") + "\n"},
     nullptr},
    {"prop name with a folder", {"set.msh", "sub/x", "-g", "0"}, 1,
     {"Error : Output prop name sub/x holds a path separator.\n"}, nullptr},
    {"input not found", {"nothere.msh", "x", "-g", "0"}, 1, {"Error : Could not find input mesh file!\n"}, nullptr},
};

TEST(Propcarver, carvesAsTheCommandLineSays) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        FakeInstall install;
        install.addGameFile("data/meshes/set.msh", setFile());
        ToolRun run = install.run("propcarver", c.arguments);
        expectToolRun(run, c.status, c.output);
        if (!c.check) {
            EXPECT_FALSE(install.workFileExists("p_x")) << "a run that writes nothing leaves no folder";
            EXPECT_EQ(std::string::npos, run.output.find("Exported prop"));
            continue;
        }
        ASSERT_NE(std::string::npos, run.output.find("Exported prop p_x!\n")) << run.output << run.errors;
        c.check(*readMeshFile(install.workFile("p_x/data/meshes/p_x.msh")), install);
    }
}

TEST(Propcarver, printsItsHelpWhenTheCommandLineIsIncomplete) {
    FakeInstall install;
    install.addGameFile("data/meshes/set.msh", setFile());
    const std::vector<std::vector<std::string>> lines = {{}, {"set.msh"}, {"-cat", "3"}, {"set.msh", "-g", "0"}};
    for (size_t i = 0; i < lines.size(); i++) {
        ToolRun run = install.run("propcarver", lines[i]);
        EXPECT_EQ(i == 0 ? 0 : 2, run.status);
        size_t help = run.output.find("Usage: propcarver [GlobalOptions] InputMshFile OutputPropName [ExtractOptions]\n\n"
                                      "This produces a single prop, based on the contents of InputMshFile and the\n");
        EXPECT_EQ(i < 2 ? 0 : kToolStartUp.size(), help) << run.output;
        EXPECT_NE(std::string::npos, run.output.find("    -clm x1 y1 z1 x2 y2 z2    Applies a clipping region to this "
                                                     "mesh.\n" + std::string(78, '-') + "\n"));
    }
    EXPECT_FALSE(install.workFileExists("p_x"));
}

TEST(Propcarver, namesThePropAndItsFolder) {
    const std::string name25(25, 'n');
    const struct {
        std::string word, folder;
    } names[] = {{name25, "p_" + name25}, {"p_" + name25 + ".msh", "p_" + name25}, {"p_chair.msh", "p_chair"}};
    for (const auto &n : names) {
        FakeInstall install;
        install.addGameFile("data/meshes/set.msh", setFile());
        ToolRun run = install.run("propcarver", {"set.msh", n.word, "-g", "1"});
        EXPECT_EQ(0, run.status) << run.output;
        EXPECT_TRUE(install.workFileExists(n.folder + "/data/meshes/" + n.folder + ".msh")) << n.word;
    }
    FakeInstall install;
    install.addGameFile("data/meshes/set.msh", setFile());
    ToolRun run = install.run("propcarver", {"set.msh", name25 + "n", "-g", "1"});
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.output.find("Error : Output prop name exceeds 25 characters.\n"));
    EXPECT_NE(std::string::npos, run.errors.find(name25 + "n"));
    EXPECT_FALSE(install.workFileExists("p_" + name25 + "n"));
}

TEST(Propcarver, writesIntoWorkDataFoldersAndKeepsOtherFiles) {
    FakeInstall install;
    install.addGameFile("data/meshes/set.msh", setFile());
    install.addRootFile("work/p_x/data/meshes/p_x.msh", "an older prop");
    install.addRootFile("work/p_x/data/meshes/notes.txt", "mine");
    EXPECT_EQ(0, install.run("propcarver", {"set.msh", "x", "-g", "1"}).status);
    EXPECT_EQ(3, readMeshFile(install.workFile("p_x/data/meshes/p_x.msh"))->getMeshCount(0));
    EXPECT_EQ("mine", install.readWorkFile("p_x/data/meshes/notes.txt"));

    // Before the name: no prop-named folder. After it: that folder stays, empty.
    EXPECT_EQ(0, install.run("propcarver", {"-workdata", "out/nested\\today", "set.msh", "y", "-g", "1"}).status);
    EXPECT_TRUE(install.workFileExists("out/nested/today/data/props/p_y.ini"));
    EXPECT_FALSE(install.workFileExists("p_y"));
    EXPECT_EQ(0, install.run("propcarver", {"set.msh", "z", "-workdata", "out\\later/z", "-g", "1"}).status);
    EXPECT_TRUE(install.workFileExists("out/later/z/data/setdressing/p_z.ini"));
    EXPECT_TRUE(install.workFileExists("p_z"));
    EXPECT_FALSE(install.workFileExists("p_z/data"));

    // meshlister reads the carved prop like any game mesh.
    ToolRun listed = install.run("meshlister", {"-newdata", install.workFile("out/nested/today"), "p_y.msh"});
    EXPECT_EQ(0, listed.status) << listed.output << listed.errors;
    EXPECT_NE(std::string::npos, withoutCarriageReturns(install.readWorkFile("meshlister.txt")).find(
                                     "GROUP #0 : \"props\" : 3 Meshes"));
}

}  // namespace
