// propbender end to end: the program runs in a fake installation; the packages it writes are
// read back through the MSH reader.

#include "KxRlMesh.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshSkeleton.h"
#include "MeshChecks.h"
#include "ToolHarness.h"
#include "ToolHarness.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Each mesh is one triangle at (x, y, z) facing +Z and a copy of it 10 higher.
MshMesh twoTriangles(int material, float x, float y, float z) {
    return mshTriangles(material,
                        {{x, y, z}, {x + 1, y, z}, {x, y + 1, z}, {x, y, z + 10}, {x + 1, y, z + 10}, {x, y + 1, z + 10}},
                        {0, 1, 2, 3, 4, 5});
}

// The model: group 0 "body" holds mesh 0 (wood.dds, no light-map) at (0, 0, 0) and mesh 1
// (metal.dds with light-map old_lm.dds) at (1, 2, 3); group 1 "door" holds one mesh at
// (5, 0, 0) whose material uses the wood.dds bitmap for its base and its light-map alike;
// group 2 "knob" holds one mesh at (-5, 0, 0) with old.dds, whose reflective and light-map
// slots share one bitmap with an empty name. One bone, translated by (1, 2, 3).
std::string modelFile() {
    MshDescription d;
    d.flags[0] = 0x01;  // skeleton
    d.flags[1] = 0x01;  // group names
    d.bitmaps = {"wood.dds", "metal.dds", "old_lm.dds", "", "old.dds"};
    d.materials = {mshMaterial(0), mshMaterial(1, 0xFF, 2), mshMaterial(0, 0xFF, 0), mshMaterial(4, 3, 3)};
    MshGroup body, door, knob;
    body.name = "body";
    body.meshes = {twoTriangles(0, 0, 0, 0), twoTriangles(1, 1, 2, 3)};
    door.name = "door";
    door.meshes = {twoTriangles(2, 5, 0, 0)};
    knob.name = "knob";
    knob.meshes = {twoTriangles(3, -5, 0, 0)};
    d.groups = {body, door, knob};
    MshBone bone;
    bone.name = "root";
    bone.matrix[9] = 1, bone.matrix[10] = 2, bone.matrix[11] = 3;
    d.bones = {bone};
    return bytesOf(buildMsh(d));
}

// The boxes of the four meshes as the model holds them.
void expectUnmoved(const KxRlMeshFile &f) {
    expectBox(f, 0, 0, 6, {0, 0, 0, 1, 1, 10});
    expectBox(f, 0, 1, 6, {1, 2, 3, 2, 3, 13});
    expectBox(f, 1, 0, 6, {5, 0, 0, 6, 1, 10});
    expectBox(f, 2, 0, 6, {-5, 0, 0, -4, 1, 10});
}

// Slots 0 and 2 of the four meshes, in the order of expectUnmoved.
void expectTextures(const KxRlMeshFile &f, const std::vector<std::array<const char *, 2>> &slots) {
    const int where[4][2] = {{0, 0}, {0, 1}, {1, 0}, {2, 0}};
    for (int i = 0; i < 4; i++) {
        SCOPED_TRACE("mesh " + std::to_string(i));
        EXPECT_STREQ(slots[i][0], slotName(f, where[i][0], where[i][1], 0));
        EXPECT_STREQ(slots[i][1], slotName(f, where[i][0], where[i][1], 2));
    }
}

// A light-map texture is written with light-map co-ordinates: mesh flag 1 bit 0x01.
void expectLightMapLists(const KxRlMeshFile &f) {
    for (int g = 0; g < f.getMeshGroupCount(); g++)
        for (int m = 0; m < f.getMeshCount(g); m++) EXPECT_EQ(0x01, f.getMesh(g, m)->getMeshFlag(1) & 0x01);
}

struct Case {
    const char *name;
    std::vector<std::string> options;  // after "model.msh x"
    int status;
    std::vector<std::string> output;  // lines expected on stdout, in order
    // Checks the package p_x (null: no package and no p_x folder may be left behind).
    std::function<void(const KxRlMeshFile &)> check;
};

const std::string kLongName = std::string(28, 'n') + ".dds";  // 32 characters

const std::vector<Case> kCases = {
    {"the whole model", {}, 0, {"Exported prop p_x!\n"},
     [](const KxRlMeshFile &f) {
         ASSERT_EQ(3, f.getMeshGroupCount());
         EXPECT_STREQ("body", f.getMeshGroup(0)->getName());
         EXPECT_STREQ("door", f.getMeshGroup(1)->getName());
         EXPECT_STREQ("knob", f.getMeshGroup(2)->getName());
         EXPECT_EQ(2, f.getMeshCount(0));
         expectUnmoved(f);
         expectTextures(f, {{"wood.dds", "(none)"}, {"metal.dds", "old_lm.dds"}, {"wood.dds", "wood.dds"},
                            {"old.dds", ""}});
         EXPECT_EQ(nullptr, f.getSkeleton());
     }},
    // -lm fills only the empty light-map slots; a bitmap that is also a base texture (door)
    // or a reflective texture (knob) keeps its name for those.
    {"-lm fills what is missing", {"-lm", "lm.dds"}, 0, {},
     [](const KxRlMeshFile &f) {
         expectTextures(f, {{"wood.dds", "lm.dds"}, {"metal.dds", "old_lm.dds"}, {"wood.dds", "wood.dds"},
                            {"old.dds", "lm.dds"}});
         EXPECT_STREQ("", f.getMesh(2, 0)->getMaterial()->getBitmap(1)->getFilename());
         expectLightMapLists(f);
     }},
    {"-lma replaces every light-map", {"-lma", "all.dds"}, 0, {},
     [](const KxRlMeshFile &f) {
         expectTextures(f, {{"wood.dds", "all.dds"}, {"metal.dds", "all.dds"}, {"wood.dds", "all.dds"},
                            {"old.dds", "all.dds"}});
         for (int i = 0; i < f.getBitmapCount(); i++) EXPECT_STRNE("old_lm.dds", f.getBitmap(i)->getFilename());
     }},
    {"-lma wins over -lm", {"-lma", "all.dds", "-lm", "lm.dds"}, 0, {},
     [](const KxRlMeshFile &f) { EXPECT_STREQ("all.dds", slotName(f, 0, 1, 2)); }},
    {"-lm takes null as a name", {"-lm", "null"}, 0, {},
     [](const KxRlMeshFile &f) { EXPECT_STREQ("null", slotName(f, 0, 0, 2)); }},
    {"two -rt", {"-rt", "wood.dds", "pine.dds", "-rt", "metal.dds", "null"}, 0, {},
     [](const KxRlMeshFile &f) {
         expectTextures(f, {{"pine.dds", "(none)"}, {"(none)", "old_lm.dds"}, {"pine.dds", "pine.dds"},
                            {"old.dds", ""}});
     }},
    {"-rt with an over-long name", {"-rt", "wood.dds", kLongName, "-lm", kLongName}, 1,
     {"Error with -rt option : new texture name (" + kLongName + ") exceeds 31 characters\n",
      "Error with -lm option : new texture name (" + kLongName + ") exceeds 31 characters\n", "Exported prop p_x!\n"},
     [](const KxRlMeshFile &f) {
         expectTextures(f, {{"wood.dds", "(none)"}, {"metal.dds", "old_lm.dds"}, {"wood.dds", "wood.dds"},
                            {"old.dds", ""}});
     }},
    {"centre, then turn", {"-c", "1", "2", "3", "-rz", "90"}, 0, {},
     [](const KxRlMeshFile &f) { expectBox(f, 0, 1, 6, {-1, 0, 0, 0, 1, 10}); }},
    {"turn, then centre", {"-rz", "90", "-c", "1", "2", "3"}, 0, {},
     [](const KxRlMeshFile &f) {
         expectBox(f, 0, 1, 6, {-4, -1, 0, -3, 0, 10});
         expectBox(f, 2, 0, 6, {-2, -7, -3, -1, -6, 7});
     }},
    {"scalings and turns about X and Y", {"-s", "2", "-sy", "3", "-sz", "0.5", "-rx", "180", "-ry", "90"}, 0, {},
     [](const KxRlMeshFile &f) { expectBox(f, 0, 1, 6, {-13, -18, -4, -3, -12, -2}); }},
    {"a clip box in every group", {"-cl", "-10", "-10", "-1", "10", "10", "4"}, 0, {},
     [](const KxRlMeshFile &f) {
         expectBox(f, 0, 0, 3, {0, 0, 0, 1, 1, 0});
         expectBox(f, 0, 1, 3, {1, 2, 3, 2, 3, 3});
         expectBox(f, 1, 0, 3, {5, 0, 0, 6, 1, 0});
         expectBox(f, 2, 0, 3, {-5, 0, 0, -4, 1, 0});
     }},
    {"a mirror keeps faces facing out", {"-sx", "-1"}, 0, {},
     [](const KxRlMeshFile &f) {
         expectBox(f, 0, 1, 6, {-2, 2, 3, -1, 3, 13});
         for (int g = 0; g < 3; g++) expectFacesOut(f, g, 0);
         expectFacesOut(f, 0, 1);
     }},
    {"bones move with the prop", {"-bones", "-c", "1", "0", "0"}, 0, {},
     [](const KxRlMeshFile &f) {
         ASSERT_NE(nullptr, f.getSkeleton());
         const KxDMatTransform *m = f.getSkeleton()->getBone(0)->getMatrix();
         EXPECT_FLOAT_EQ(0, m->getValue(3, 0));
         EXPECT_FLOAT_EQ(2, m->getValue(3, 1));
     }},
    {"unknown words", {"extra", "-cat", "3", "-x"}, 0,
     {"Warning : option \"extra\" is unknown or out of place\n",
      "Warning : option \"-x\" is unknown or out of place\n", "Exported prop p_x!\n"},
     [](const KxRlMeshFile &f) { expectUnmoved(f); }},
    {"an option cut short by the end", {"-c", "1", "2"}, 2, {}, nullptr},
};

TEST(Propbender, bendsTheWholeModelAsTheCommandLineSays) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        FakeInstall install;
        install.addGameFile("data/meshes/model.msh", modelFile());
        std::vector<std::string> arguments = {"model.msh", "x"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        ToolRun run = install.run("propbender", arguments);
        expectToolRun(run, c.status, c.output);
        if (!c.check) {
            EXPECT_FALSE(install.workFileExists("p_x")) << "a run that writes nothing leaves no folder";
            continue;
        }
        ASSERT_NE(std::string::npos, run.output.find("Exported prop p_x!\n")) << run.output << run.errors;
        EXPECT_TRUE(install.workFileExists("p_x/data/setdressing/p_x.ini"));
        c.check(*readMeshFile(install.workFile("p_x/data/meshes/p_x.msh")));
    }
}

// Every number option refuses a word that is no number (and the marker 1000000) with its
// message; the run goes on and the prop is written without it.
TEST(Propbender, refusesBadNumbersAndGoesOn) {
    const struct {
        std::vector<std::string> options;
        int status;
        std::string message;
    } cases[] = {
        {{"-c", "1", "x", "3"}, 1, "Error with -c option : Invalid number: prop will not be centered\n"},
        {{"-s", "big"}, 1, "Error with -s option : Invalid number (big): prop will not be scaled\n"},
        {{"-sx", "1000000"}, 1, "Error with -sx option : Invalid number (1000000): prop will not be scaled\n"},
        {{"-sy", "y"}, 1, "Error with -sy option : Invalid number (y): prop will not be scaled\n"},
        {{"-sz", "z"}, 1, "Error with -sz option : Invalid number (z): prop will not be scaled\n"},
        {{"-rx", "a"}, 1, "Error with -rx option : Invalid number (a): prop will not be rotated\n"},
        {{"-ry", "b"}, 1, "Error with -ry option : Invalid number (b): prop will not be rotated\n"},
        {{"-rz", "c"}, 1, "Error with -rz option : Invalid number (c): prop will not be rotated\n"},
        {{"-cl", "0", "0", "0", "1", "1", "top"}, 1,
         "Error with -cl option : Invalid number: clip region will not be applied\n"},
        {{"-cat", "10"}, 0, "Warning : invalid category number (10)\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options[0]);
        FakeInstall install;
        install.addGameFile("data/meshes/model.msh", modelFile());
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"model.msh", "x"});  // options stand anywhere
        ToolRun run = install.run("propbender", arguments);
        expectToolRun(run, c.status, {c.message, "Exported prop p_x!\n"});
        expectUnmoved(*readMeshFile(install.workFile("p_x/data/meshes/p_x.msh")));
        EXPECT_NE(std::string::npos, install.readWorkFile("p_x/data/propblueprint/p_x.ini").find("category = 9\r\n"));
    }
}

// Runs that stop before anything is written: the help, -bones before the input, a missing
// input, an over-long prop name.
TEST(Propbender, stopsWithoutWritingAnything) {
    const std::string help = "Usage: propbender [GlobalOptions] InputMshFile OutputPropName [ExtractOptions]\n\n"
                             "This produces a single prop, based on the contents of InputMshFile and the\n"
                             "input options specified.  This utility is a simplified version of\npropcarver.\n";
    const std::string helpEnd = "    -cl x1 y1 z1 x2 y2 z2     Applies a clipping region to the prop.\n" +
                                std::string(78, '-') + "\n";
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string output;  // "" for the help
    } cases[] = {
        {{}, 0, ""},
        {{"model.msh"}, 2, ""},
        {{"model.msh", "-s", "2"}, 2, ""},
        {{"-bones", "model.msh", "x"}, 1,
         "Error : \"-bones\" option out of place; no input mesh file has been given yet!\n"},
        {{"nothere.msh", "x"}, 1, "Error : Could not find input mesh file!\n"},
        {{"model.msh", std::string(26, 'n')}, 1, "Error : Output prop name exceeds 25 characters.\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "no arguments" : c.arguments.back());
        FakeInstall install;
        install.addGameFile("data/meshes/model.msh", modelFile());
        ToolRun run = install.run("propbender", c.arguments);
        EXPECT_EQ(c.status, run.status) << run.output << run.errors;
        if (c.output.empty()) {
            size_t at = run.output.find(help);
            EXPECT_EQ(c.arguments.size() < 2 ? 0 : kToolStartUp.size(), at) << run.output;
            EXPECT_EQ(run.output.size() - helpEnd.size(), run.output.rfind(helpEnd)) << run.output;
        } else {
            EXPECT_EQ(kToolStartUp + c.output, run.output);
            EXPECT_NE("", run.errors);
        }
        EXPECT_FALSE(install.workFileExists("p_x"));
        EXPECT_FALSE(install.workFileExists("p_" + std::string(26, 'n')));
    }
}

}  // namespace
