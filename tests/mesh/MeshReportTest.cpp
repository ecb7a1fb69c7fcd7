// Whole report texts of files, groups, meshes, materials and control meshes.

#include "KxRlControlMesh.h"
#include "KxRlMeshFile.h"
#include "MeshTestFiles.h"
#include "StringBuffer.h"

#include <gtest/gtest.h>

namespace {

#define EMPTY_MAX "30000001069098037760363920625477091328.000"
#define EMPTY_MIN "-30000001069098037760363920625477091328.000"

const char *const kRichReport =
    "3D Co-ordinate Range :\n"
    "  X = ( -6.000,   3.000)\n"
    "  Y = ( -8.000,   5.000)\n"
    "  Z = (  0.000,  20.000)\n"
    "Mesh File Flags : 01 01 02 01 5A 06 DF 00 \n"
    "Selection (3 vertices and 3 indices)\n"
    "Collision (4 vertices and 6 indices)\n"
    "Wall (0 vertices and 0 indices)\n"
    "Foundation (3 vertices and 3 indices)\n"
    "AntiPhysic (3 vertices and 3 indices)\n"
    "Land (3 vertices and 3 indices)\n"
    "Floor (4 vertices and 6 indices)\n"
    "Room \"kitchen\" (3 vertices and 3 indices)\n"
    "Room \"hall\" (4 vertices and 6 indices)\n"
    "\n"
    "----------------------------------------------------------------------\n"
    "GROUP #0 : \"chair\" : 2 Meshes (Flag = 00 10 )\n"
    " 3D Co-ordinate Range :\n"
    "  X = ( -6.000,   3.000)\n"
    "  Y = ( -8.000,   5.000)\n"
    "  Z = (  0.000,  20.000)\n"
    "Mesh #0 : Using material (wood.dds) () (lm_chair.dds) ()\n"
    "  [ 00 FF 02 FF 00 01 01 00 00 00 00 00 00 00 04 00 96 96 96 FF 00 00 00 00 ]\n"
    "  3D Co-ordinate Range:\n"
    "    X = ( -6.000,   2.500)\n"
    "    Y = ( -8.000,   3.750)\n"
    "    Z = (  0.000,  12.000)\n"
    "  (3 vertices and 3 indexes)\n"
    "  Flags = 70 01 00 00\n"
    "Mesh #1 : Using material (metal.dds) () () ()\n"
    "  [ 01 FF FF FF 00 01 01 01 01 00 00 00 00 00 04 00 10 20 30 FF 03 04 05 00 ]\n"
    "  3D Co-ordinate Range:\n"
    "    X = (  1.000,   3.000)\n"
    "    Y = (  1.000,   5.000)\n"
    "    Z = (  1.000,  20.000)\n"
    "  (4 vertices and 6 indexes)\n"
    "  Flags = 31 00 05 00\n"
    "\n"
    "----------------------------------------------------------------------\n"
    "GROUP #1 : \"empty\" : 1 Meshes (Flag = 01 00 )\n"
    " 3D Co-ordinate Range :\n"
    "  X = (" EMPTY_MAX ", " EMPTY_MIN ")\n"
    "  Y = (" EMPTY_MAX ", " EMPTY_MIN ")\n"
    "  Z = (" EMPTY_MAX ", " EMPTY_MIN ")\n"
    "Mesh #0 : Using material () () () ()\n"
    "  [ FF FF FF FF 00 01 01 00 00 00 00 00 00 00 04 00 96 96 96 FF 00 00 00 00 ]\n"
    "  3D Co-ordinate Range:\n"
    "    X = (" EMPTY_MAX ", " EMPTY_MIN ")\n"
    "    Y = (" EMPTY_MAX ", " EMPTY_MIN ")\n"
    "    Z = (" EMPTY_MAX ", " EMPTY_MIN ")\n"
    "  (0 vertices and 0 indexes)\n"
    "  Flags = 20 00 00 00\n"
    "\n"
    "----------------------------------------------------------------------\n"
    "GROUP #2 : \"none\" : 0 Meshes (Flag = 02 14 )\n"
    " 3D Co-ordinate Range :\n"
    "  X = (" EMPTY_MAX ", " EMPTY_MIN ")\n"
    "  Y = (" EMPTY_MAX ", " EMPTY_MIN ")\n"
    "  Z = (" EMPTY_MAX ", " EMPTY_MIN ")\n"
    "\n"
    "\n";

TEST(MeshReport, richFileReportsEverySectionInOrder) {
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(richDescription()));
    EXPECT_EQ(kRichReport, reportOf(*file));
}

// The file the writer makes: flags[6] = 0xC2 announces the three counts, the file ends after
// the group names.
TEST(MeshReport, writerStyleFileEndsAfterGroupNames) {
    MshDescription d;
    d.flags = {{0, 0, 0, 0, 0, 0, 0xC2, 0x01}};
    d.bitmaps = {"crate.dds"};
    d.materials = {mshMaterial(0)};
    MshGroup group;
    group.name = "p_box";
    MshMesh a, b;
    setSixtyFourthBounds(a, -1, -1, -1);
    setSixtyFourthBounds(b, -1, -1, -1);
    for (MshMesh *m : {&a, &b}) {
        addVertex(*m, -0.5f, -0.5f, 0.0f);
        addVertex(*m, 0.5f, -0.5f, 0.0f);
        addVertex(*m, 0.5f, 0.5f, 1.0f);
        m->indices = {0, 1, 2};
    }
    b.vertices[2] = mshVertex(b, 0.5f, 0.5f, 2.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
    group.meshes = {a, b};
    d.groups = {group};
    d.writeTail = false;

    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    EXPECT_EQ(
        "3D Co-ordinate Range :\n"
        "  X = ( -0.500,   0.500)\n"
        "  Y = ( -0.500,   0.500)\n"
        "  Z = (  0.000,   2.000)\n"
        "Mesh File Flags : 00 00 00 00 00 00 C2 01 \n"
        "\n"
        "----------------------------------------------------------------------\n"
        "GROUP #0 : \"p_box\" : 2 Meshes (Flag = 00 10 )\n"
        " 3D Co-ordinate Range :\n"
        "  X = ( -0.500,   0.500)\n"
        "  Y = ( -0.500,   0.500)\n"
        "  Z = (  0.000,   2.000)\n"
        "Mesh #0 : Using material (crate.dds) () () ()\n"
        "  [ 00 FF FF FF 00 01 01 00 00 00 00 00 00 00 04 00 96 96 96 FF 00 00 00 00 ]\n"
        "  3D Co-ordinate Range:\n"
        "    X = ( -0.500,   0.500)\n"
        "    Y = ( -0.500,   0.500)\n"
        "    Z = (  0.000,   1.000)\n"
        "  (3 vertices and 3 indexes)\n"
        "  Flags = 70 00 00 00\n"
        "Mesh #1 : Using material (crate.dds) () () ()\n"
        "  [ 00 FF FF FF 00 01 01 00 00 00 00 00 00 00 04 00 96 96 96 FF 00 00 00 00 ]\n"
        "  3D Co-ordinate Range:\n"
        "    X = ( -0.500,   0.500)\n"
        "    Y = ( -0.500,   0.500)\n"
        "    Z = (  0.000,   2.000)\n"
        "  (3 vertices and 3 indexes)\n"
        "  Flags = 70 00 00 00\n"
        "\n"
        "\n",
        reportOf(*file));
}

// flags[6] = 0x40 carries only the sub mesh count; flags[2] = 0x80 is 128 named matrices.
// Neither shows in the report beyond the flag bytes.
TEST(MeshReport, subMeshCountAndManyNamedMatrices) {
    MshDescription d;
    d.flags = {{0, 0, 0x80, 0, 0, 0, 0x40, 0}};
    d.subMeshCount = 9;
    for (int i = 0; i < 128; i++) d.namedMatrices.push_back({"n", mshIdentity()});
    d.materials = {mshMaterial(0xFF, 0xFF, 0xFF, 0xFF)};
    MshMesh mesh;
    mesh.flags = {{0x20, 0x00, 0x00, 0x80}};
    mesh.posBounds = {{0, 0, 0, 65535, 65535, 65535}};
    mesh.vertices = {MshVertex{{100, 200, 300}, {0, 0, 0}, {0, 0}}};
    MshGroup group;
    group.flags = {{0xAB, 0x00}};
    group.meshes = {mesh};
    d.groups = {group};
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    EXPECT_EQ(9, file->getSubMeshCount());
    EXPECT_EQ(128, file->getNamedMatrixCount());
    EXPECT_EQ(
        "3D Co-ordinate Range :\n"
        "  X = (100.000, 100.000)\n"
        "  Y = (200.000, 200.000)\n"
        "  Z = (300.000, 300.000)\n"
        "Mesh File Flags : 00 00 80 00 00 00 40 00 \n"
        "\n"
        "----------------------------------------------------------------------\n"
        "GROUP #0 : \"\" : 1 Meshes (Flag = AB 00 )\n"
        " 3D Co-ordinate Range :\n"
        "  X = (100.000, 100.000)\n"
        "  Y = (200.000, 200.000)\n"
        "  Z = (300.000, 300.000)\n"
        "Mesh #0 : Using material () () () ()\n"
        "  [ FF FF FF FF 00 01 01 00 00 00 00 00 00 00 04 00 96 96 96 FF 00 00 00 00 ]\n"
        "  3D Co-ordinate Range:\n"
        "    X = (100.000, 100.000)\n"
        "    Y = (200.000, 200.000)\n"
        "    Z = (300.000, 300.000)\n"
        "  (1 vertices and 0 indexes)\n"
        "  Flags = 20 00 00 80\n"
        "\n"
        "\n",
        reportOf(*file));
}

// Empty boxes are skipped when boxes merge; only a file without any vertex reports the
// empty state.
TEST(MeshReport, emptyBoxesDoNotWidenTheRange) {
    MshDescription d;
    d.materials = {mshMaterial(0xFF)};
    MshGroup solid;
    MshMesh emptyMesh, oneVertex;
    setSixtyFourthBounds(oneVertex, 0, 0, 0);
    addVertex(oneVertex, 1.5f, 2.5f, 3.5f);
    solid.meshes = {emptyMesh, oneVertex};
    MshGroup hollow;
    d.groups = {hollow, solid, hollow};
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    std::string report = reportOf(*file);
    EXPECT_EQ(0u, report.find("3D Co-ordinate Range :\n"
                              "  X = (  1.500,   1.500)\n"
                              "  Y = (  2.500,   2.500)\n"
                              "  Z = (  3.500,   3.500)\n"));
    EXPECT_NE(std::string::npos, report.find("GROUP #1 : \"\" : 2 Meshes (Flag = 00 10 )\n"
                                             " 3D Co-ordinate Range :\n"
                                             "  X = (  1.500,   1.500)\n"));

    MshDescription nothing;
    nothing.groups = {hollow};
    auto emptyFile = loadMsh(folder, buildMsh(nothing), "empty.msh");
    EXPECT_EQ(0u, reportOf(*emptyFile).find("3D Co-ordinate Range :\n"
                                            "  X = (" EMPTY_MAX ", " EMPTY_MIN ")\n"));
}

TEST(MeshReport, flagsAllZeroGiveNoControlLinesAndUnnamedGroups) {
    MshDescription d;
    d.groups = {MshGroup{}};
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    EXPECT_EQ(0, file->getControlMeshCount());
    EXPECT_EQ(0, file->getRoomCount());
    EXPECT_EQ(nullptr, file->getSkeleton());
    EXPECT_EQ(0, file->getNamedMatrixCount());
    EXPECT_STREQ("", file->getMeshGroup(0)->getName());
    std::string report = reportOf(*file);
    EXPECT_NE(std::string::npos, report.find("Mesh File Flags : 00 00 00 00 00 00 00 00 \n\n------"));
    EXPECT_NE(std::string::npos, report.find("GROUP #0 : \"\" : 0 Meshes (Flag = 00 10 )\n"));
}

TEST(MeshReport, controlMeshLines) {
    KxRlControlMesh empty;
    StringBuffer buffer;
    empty.toString(&buffer);
    EXPECT_STREQ(" (0 vertices and 0 indices)", buffer.getChars());

    EXPECT_STREQ("Floor", kxrlGetControlTypeName(KXRL_CONTROL_FLOOR));
    EXPECT_STREQ("AntiPhysic", kxrlGetControlTypeName(5));
    EXPECT_STREQ("Room", kxrlGetControlTypeName(8));
    EXPECT_EQ(nullptr, kxrlGetControlTypeName(0));
    EXPECT_EQ(nullptr, kxrlGetControlTypeName(9));
}

}  // namespace
