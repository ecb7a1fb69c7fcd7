// roomwright end to end: room INI files and cut-out libraries in the work folder, props in the
// game folder; the console text, the exit status and the package read back through the MSH reader.

#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshMaterial.h"
#include "MeshChecks.h"
#include "MshBuilder.h"
#include "RoomChecks.h"
#include "ToolHarness.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string walls(const std::vector<std::array<float, 2>> &points) {
    std::string text;
    for (const auto &p : points) text += "[wall]\nx = " + std::to_string(p[0]) + "\ny = " + std::to_string(p[1]) + "\n";
    return text;
}

// `count` points on a circle of radius 100 round the origin.
std::string circle(int count) {
    std::vector<std::array<float, 2>> points;
    for (int i = 0; i < count; i++)
        points.push_back({100 * std::cos(6.2831853f * i / count), 100 * std::sin(6.2831853f * i / count)});
    return walls(points);
}

// A counter-clockwise square of side 4 (seen from above) and the same square clockwise.
const std::string kSquare = walls({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
const std::string kSquareCw = walls({{0, 0}, {0, 4}, {4, 4}, {4, 0}});
const std::string kInterior = "[global]\n";
const std::string kLibrary =
    "[cutout]\nname = win\nprop = p_box\nx = -0.5\nbottom = 0.5\ntop = 1\nx = 0.5\nbottom = 0.5\ntop = 1\n"
    "[cutout]\nname = door\nprop = p_box\nx = -0.5\nbottom = 0\ntop = 2.1\nx = 0.5\nbottom = 0\ntop = 0\n";
// Three "x" and two "top": refused. "x" after its partners counts all the same.
const std::string kBadLibrary = "[cutout]\nname = empty\n[cutout]\nx = 1\n"
                                "[cutout]\nname = uneven\nx = 1\nx = 2\nbottom = 0\ntop = 1\nbottom = 0\nx = 3\n"
                                "[cutout]\nname = late\nbottom = 0\ntop = 1\nx = 1\n";

// (0, 0), a cut-out anchored at (4, 0), then (8, 0), (8, 4), (0, 4): an interior.
std::string roomWithCutout(const std::string &placement) {
    return kInterior + "[library]\ncutouts = lib.ini\n" + walls({{0, 0}}) + "[wall]\nx = 4\ny = 0\n" + placement +
           walls({{8, 0}, {8, 4}, {0, 4}});
}

// The room geometry is the last group; its meshes by diffuse texture (the first one of each).
int roomGroup(const KxRlMeshFile &f) { return f.getMeshGroupCount() - 1; }
const KxRlMesh *roomMesh(const KxRlMeshFile &f, const std::string &texture, int nth = 0) {
    for (int m = 0; m < f.getMeshCount(roomGroup(f)); m++)
        if (texture == slotName(f.getMesh(roomGroup(f), m), 0) && nth-- == 0) return f.getMesh(roomGroup(f), m);
    return nullptr;
}
const std::string kWallTexture = "wall_ph00.dds", kFloorTexture = "floor_tilesbluegrey_er01.dds";

// The light-map co-ordinates of the mesh lie within [u0, u1] x [v0, v1].
void expectLightMapWithin(const KxRlMesh *mesh, float u0, float u1, float v0, float v1) {
    ASSERT_NE(nullptr, mesh);
    ASSERT_NE(nullptr, mesh->getLightMapList());
    for (int i = 0; i < mesh->getVertexCount(); i++) {
        const _KxDVector2D &lm = mesh->getLightMapList()[i];
        EXPECT_TRUE(lm.x >= u0 - 1e-3f && lm.x <= u1 + 1e-3f && lm.y >= v0 - 1e-3f && lm.y <= v1 + 1e-3f)
            << "vertex " << i << ": " << lm.x << ", " << lm.y;
    }
}

struct Case {
    const char *name;
    std::map<std::string, std::string> files;  // below the work folder
    std::vector<std::string> arguments;
    int status;
    std::vector<std::string> output;  // expected on stdout, in this order
    std::string package;              // the mesh file written, below the work folder ("" for none)
    std::function<void(const KxRlMeshFile &, const FakeInstall &)> check;
};

const std::string kRoomMesh = "room/data/meshes/p_room.msh";
const std::string kLongName(26, 'n');

const std::vector<Case> kCases = {
    {"the wall report of a closed square", {{"room.ini", kSquare}}, {"room.ini"}, 0,
     {"Processing room INI file room.ini...\n"
      "         -ACTUAL COORDS-  DISTANCE  DIFFUSE  LIGHTMAP ---FLOOR---  --CEILING--\n"
      " CUTOUT  ---X--- ---Y---  TO NEXT   TEXTURE  TEXTURE  --X-- --Y--  --X-- --Y--\n"
      " No        0.000   0.000       N/A  0.000    0.0000.000 1.0000.500 1.000\n"
      " No  4.000   0.000     4.000  0.250    0.2500.500 1.0001.000 1.000\n"
      " No  4.000   4.000     4.000  0.500    0.5000.500 0.5001.000 0.500\n"
      " No  0.000   4.000     4.000  0.750    0.7500.000 0.5000.500 0.500\n"
      " No  0.000   0.000     4.000  1.000    1.0000.000 1.0000.500 1.000\n"
      "        TOTAL DISTANCE:     16.000\n"
      "Exported prop p_room!\n"},
     kRoomMesh,
     [](const KxRlMeshFile &f, const FakeInstall &i) {
         ASSERT_EQ(1, f.getMeshGroupCount());
         EXPECT_EQ(3, f.getMeshCount(0));  // wall, floor, ceiling; no [texture]: default textures
         EXPECT_STREQ("ceil_ph00.dds", slotName(f.getMesh(0, 2), 0));
         EXPECT_STREQ("(none)", slotName(f.getMesh(0, 0), 2));
         EXPECT_EQ(0u, i.readWorkFile("room/data/props/p_room.ini").find("\tmesh = p_room.msh\r\n"));
     }},
    {"a cut-out along the wall", {{"room.ini", roomWithCutout("cutout = win\nscale = 2\n")}, {"lib.ini", kLibrary}},
     {"room.ini"}, 0,
     {" Start  3.000   0.000     3.000", " Center  4.000   0.000     1.000",
      " End  5.000   0.000     1.000", " No  8.000   0.000     3.000"},
     kRoomMesh,
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(2, f.getMeshGroupCount());
         expectBox(f, 0, 0, 3, {3, 0, 0, 5, 0.5f, 2});  // the prop: scaled by 2, on the anchor
         const KxRlMesh *wall = roomMesh(f, kWallTexture);
         ASSERT_NE(nullptr, wall);
         EXPECT_TRUE(coversOnFront(wall, 4, 0.5f));   // below the window (1 to 2)
         EXPECT_FALSE(coversOnFront(wall, 4, 1.5f));  // the window
         EXPECT_TRUE(coversOnFront(wall, 4, 2.5f));
         EXPECT_TRUE(coversOnFront(wall, 6, 1.5f));   // the window ends at x = 5
     }},
    {"a cut-out flipped",
     {{"room.ini", roomWithCutout("cutout = win\nscale = 2\nflip = yes\n")}, {"lib.ini", kLibrary}}, {"room.ini"}, 0,
     {" Start  3.000   0.000     3.000", " Center  4.000   0.000     1.000", " End  5.000   0.000     1.000"},
     kRoomMesh,
     [](const KxRlMeshFile &f, const FakeInstall &) {
         expectBox(f, 0, 0, 3, {3, -0.5f, 0, 5, 0, 2});  // turned half a turn more
         EXPECT_FALSE(coversOnFront(roomMesh(f, kWallTexture), 4, 1.5f));
     }},
    {"a door without its prop", {{"room.ini", roomWithCutout("cutout = door\nuseprop = no\n")}, {"lib.ini", kLibrary}},
     {"room.ini"}, 0, {" Start  3.500   0.000", " Center  4.000   0.000", " End  4.500   0.000"}, kRoomMesh,
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(1, f.getMeshGroupCount());
         const KxRlMesh *wall = roomMesh(f, kWallTexture);
         EXPECT_FALSE(coversOnFront(wall, 4, 1));
         EXPECT_TRUE(coversOnFront(wall, 4, 2.5f));  // above the door (2.1 to 3)
         EXPECT_TRUE(coversOnFront(wall, 5, 1));     // its last point closes the doorway
     }},
    {"the light-map layout", {{"room.ini", kSquare + "[lightmap]\nxoffset = 0.5\nxsize = 0.5\n"}}, {"room.ini"}, 0,
     {" No  4.000   0.000     4.000  0.250    0.625"}, kRoomMesh,
     [](const KxRlMeshFile &f, const FakeInstall &) {
         EXPECT_STREQ("lm_generic.dds", slotName(roomMesh(f, kWallTexture), 2));
         expectLightMapWithin(roomMesh(f, kWallTexture), 0.5f, 1, 0, 0.5f);
         expectLightMapWithin(roomMesh(f, kFloorTexture), 0.5f, 0.75f, 0.5f, 1);
         expectLightMapWithin(roomMesh(f, "ceil_ph00.dds"), 0.75f, 1, 0.5f, 1);
     }},
    {"rooms with and without [lightmap]", {{"lit.ini", kSquare + "[lightmap]\n"}, {"plain.ini", kSquare}},
     {"lit.ini", "plain.ini", "-c", "10", "0", "0"}, 0, {}, "lit/data/meshes/p_lit.msh",
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(6, f.getMeshCount(0));  // the lit room's materials differ from the plain one's
         expectLightMapWithin(roomMesh(f, kWallTexture), 0, 1, 0, 0.5f);
         EXPECT_EQ(nullptr, roomMesh(f, kWallTexture, 1)->getLightMapList());
     }},
    {"two rooms merged by material", {{"a.ini", kSquare}, {"b.ini", kSquareCw}},
     {"a.ini", "b.ini", "-c", "0", "10", "0"}, 0, {}, "a/data/meshes/p_a.msh",
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(3, f.getMeshCount(0));
         expectBox(f, 0, 0, 32, {0, 0, 0, 4, 14, 3});
     }},
    {"a reflective floor kept apart",
     {{"a.ini", kSquare + "[texture]\nreflection = true\n"}, {"b.ini", kSquare + "[texture]\n"}},
     {"a.ini", "b.ini", "-c", "0", "10", "0"}, 0, {}, "a/data/meshes/p_a.msh",
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(4, f.getMeshCount(0));  // wall, floor of a, ceiling, floor of b
         EXPECT_EQ(0x02, f.getMesh(0, 1)->getMeshFlag(0) & 0x02);
         EXPECT_EQ(0, f.getMesh(0, 3)->getMeshFlag(0) & 0x02);
         EXPECT_EQ(0, f.getMesh(0, 0)->getMeshFlag(0) & 0x02);
     }},
    {"a reflective floor after an equal one",
     {{"a.ini", kSquare + "[texture]\n"}, {"b.ini", kSquare + "[texture]\nreflection = yes\n"}},
     {"a.ini", "b.ini", "-c", "0", "10", "0"}, 0, {}, "a/data/meshes/p_a.msh",
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(4, f.getMeshCount(0));  // wall, floor of a, ceiling, floor of b
         EXPECT_EQ(0, f.getMesh(0, 1)->getMeshFlag(0) & 0x02);
         EXPECT_EQ(0x02, f.getMesh(0, 3)->getMeshFlag(0) & 0x02);
         expectBox(f, 0, 3, 4, {0, 10, 0, 4, 14, 0});
     }},
    {"[prop] turns, then moves", {{"room.ini", kSquare + "[prop]\nprop = p_alias\nzrotate = 90\nxtranslate = 1\n"}},
     {"room.ini"}, 0, {}, kRoomMesh,
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 3, {0.75f, -0.5f, 0, 1, 0.5f, 1}); }},
    {"[prop] moves, then turns", {{"room.ini", kSquare + "[prop]\nprop = p_box\nxtranslate = 1\nrotate = 90\nz = 2\n"}},
     {"room.ini", "-c", "0", "0", "1"}, 0, {}, kRoomMesh,
     [](const KxRlMeshFile &f, const FakeInstall &) { expectBox(f, 0, 0, 3, {-0.25f, 0.5f, 3, 0, 1.5f, 4}); }},
    {"a mirror keeps faces facing in", {{"room.ini", kInterior + kSquare}}, {"room.ini", "-sx", "-1"}, 0, {}, kRoomMesh,
     [](const KxRlMeshFile &f, const FakeInstall &) {
         expectBox(f, 0, 0, 16, {-4, 0, 0, 0, 4, 3});
         for (int m = 0; m < 3; m++) expectFacesOut(f, 0, m);
         EXPECT_GT(roomMesh(f, kFloorTexture)->getVertexList()[0].normal.z, 0.9f);
         const KxRlMesh *wall = roomMesh(f, kWallTexture);
         for (int v = 0; v < wall->getVertexCount(); v++) {  // every wall normal points into the room
             const _KxDTexVertex &t = wall->getVertexList()[v];
             EXPECT_GT((-2 - t.position.x) * t.normal.x + (2 - t.position.y) * t.normal.y, 0.0f) << v;
         }
     }},
    {"interior floors face up whichever way the outline turns",
     {{"a.ini", kInterior + kSquare + "[texture]\nfloor = ccw.dds\n"}, {"b.ini", kInterior + kSquareCw}},
     {"a.ini", "b.ini"}, 0, {}, "a/data/meshes/p_a.msh",
     [](const KxRlMeshFile &f, const FakeInstall &) {
         for (const char *floor : {"ccw.dds", kFloorTexture.c_str()}) {
             SCOPED_TRACE(floor);
             const KxRlMesh *mesh = roomMesh(f, floor);
             ASSERT_NE(nullptr, mesh);
             EXPECT_GT(mesh->getVertexList()[0].normal.z, 0.9f);
             expectFacesOut(*mesh);
         }
     }},
    {"a room file and -workdata with /", {{"rooms/hall.ini", kSquare}}, {"rooms/hall.ini", "-workdata", "out/today"}, 0,
     {"Processing room INI file rooms/hall.ini...\n", "Exported prop p_hall!\n"}, "out/today/data/meshes/p_hall.msh",
     [](const KxRlMeshFile &f, const FakeInstall &i) {
         EXPECT_EQ(3, f.getMeshCount(0));
         EXPECT_TRUE(i.workFileExists("hall"));  // named by the room file before -workdata came
         EXPECT_FALSE(i.workFileExists("hall/data"));
     }},
    {"failures reported, the other rooms written",
     {{"good.ini", kSquare + "[texture]\nwall = good.dds\n"},
      {"bad.ini", kInterior + "[library]\ncutouts = lib.ini\ncutouts = badlib.ini\ncutouts = nolib.ini\n"
                  "[wall]\nx = 0\n[wall]\ncutout = win\nx = 1\ny = 0\n" + walls({{0, 0}}) +
                  "[wall]\ncutout = nosuch\nx = 1\ny = 0\n[wall]\ncutout = empty\nx = 1\ny = 0\n"
                  "[wall]\ncutout = late\nx = 0\ny = 0\n" + walls({{10, 0}, {10, 10}, {0, 10}}) +
                  "[prop]\nx = 1\n[prop]\nprop = p_none\n[prop]\nprop = p_nomesh\n"},
      {"lib.ini", kLibrary}, {"badlib.ini", kBadLibrary}},
     {"good.ini", "missing.ini", "bad.ini", "-c", "0", "20", "0"}, 1,
     {"Error loading room INI file missing.ini : File could not be opened\n",
      "Processing room INI file bad.ini...\n",
      "Error in [cutout] section : All cutouts must be given a name!\n",
      "Error in [cutout] section (uneven) : Cutouts must have an equal number of \"x\", \"bottom\", and \"top\" "
      "values!\n",
      "Error : Could not find cutout INI file nolib.ini\n",
      "Error in [wall] section : Missing X or Y co-ordinate value!\n",
      "Error in [wall] section : First wall cannot be a cutout!\n",
      "Error in [wall] section : No cutout named nosuch exists!\n",
      "Error in [wall] section : Cutout empty has no coordinate information!\n",
      "Error in [wall] section : Cutout late is placed on the previous wall point!\n",
      "        TOTAL DISTANCE:     40.000\n",
      "Error in [prop] section : The name of the prop must be specified!\n",
      "Prop MSH file could not be found (p_none)\n", "Prop MSH file could not be found (p_nomesh)\n",
      "Exported prop p_good!\n"},
     "good/data/meshes/p_good.msh",
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(1, f.getMeshGroupCount());
         ASSERT_EQ(4, f.getMeshCount(0));  // good's wall, both floors, both ceilings, bad's wall
         EXPECT_STREQ("good.dds", slotName(f.getMesh(0, 0), 0));
         expectBox(f, 0, 3, 16, {0, 20, 0, 10, 30, 3});  // bad.ini's walls, without the refused cut-outs
     }},
    {"a prop name too long to come from the file name", {{kLongName + ".ini", kSquare}}, {kLongName + ".ini"}, 1,
     {"Prop name made from the room INI file name is too long; give one with -propname (p_" + kLongName + ")\n"}, "",
     nullptr},
    {"... given with -propname", {{kLongName + ".ini", kSquare}}, {kLongName + ".ini", "-propname", "short"}, 0,
     {"Exported prop p_short!\n"}, kLongName + "/data/meshes/p_short.msh",
     [](const KxRlMeshFile &f, const FakeInstall &) { EXPECT_EQ(3, f.getMeshCount(0)); }},
    {"walls too many for one mesh fill two", {{"big.ini", "[global]\nfloor = no\nceiling = no\n" + circle(10000)}},
     {"big.ini", "big.ini", "-c", "0", "0", "5"}, 0, {"Exported prop p_big!\n"}, "big/data/meshes/p_big.msh",
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(2, f.getMeshCount(0));  // 2 x 40000 vertices do not fit 16-bit indices
         expectBox(f, 0, 1, 40000, {-100, -100, 5, 100, 100, 8});
     }},
    {"a room that crosses itself keeps its walls, props and report",
     {{"bowtie.ini", "[library]\ncutouts = lib.ini\n" + walls({{0, 0}}) + "[wall]\ncutout = win\nx = 2\ny = 0\n" +
                         walls({{4, 0}, {0, 4}, {4, 4}}) + "[prop]\nprop = p_box\n"},
      {"lib.ini", kLibrary}},
     {"bowtie.ini"}, 1,
     {"Processing room INI file bowtie.ini...\nError in room INI file bowtie.ini : Wall outline crosses itself: the "
      "stretch from (4, 0) to (0, 4) crosses the stretch from (4, 4) to (0, 0); the room is built without its floor "
      "and ceiling\n         -ACTUAL COORDS-",
      " Center  2.000   0.000", " No  0.000   0.000     5.657", "Exported prop p_bowtie!\n"},
     "bowtie/data/meshes/p_bowtie.msh",
     [](const KxRlMeshFile &f, const FakeInstall &) {
         ASSERT_EQ(3, f.getMeshGroupCount());  // the cut-out's prop, the [prop], the room
         ASSERT_EQ(1, f.getMeshCount(2));       // walls only
         const KxRlMesh *wall = f.getMesh(2, 0);
         EXPECT_TRUE(coversOnFront(wall, 1, 1.5f));
         EXPECT_FALSE(coversOnFront(wall, 2, 0.75f));  // the window: 0.5 to 1
         EXPECT_EQ(7 * 4, wall->getVertexCount());     // six stretches, two pieces under and over the window
     }},
    {"no room could be built", {{"one.ini", walls({{0, 0}})}}, {"missing.ini", "one.ini"}, 1,
     {"Error loading room INI file missing.ini", "Warning in room INI file one.ini", "No prop exported!\n"}, "",
     nullptr},
    {"a room with one wall point", {{"room.ini", walls({{1, 1}})}}, {"room.ini"}, 1,
     {"Warning in room INI file room.ini : There are fewer than two [wall] sections!\n", "No prop exported!\n"}, "",
     nullptr},
};

TEST(Roomwright, buildsRoomsAsTheirFilesSay) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        FakeInstall install;
        install.addGameFile("data/meshes/p_box.msh", boxProp());
        install.addGameFile("data/setdressing/p_alias.ini", "\tmesh = p_box.msh\r\n\r\n[finance]\r\n");
        install.addGameFile("data/setdressing/p_nomesh.ini", "[finance]\r\n\tmesh = p_box.msh\r\n");
        for (const auto &file : c.files) install.addRootFile("work/" + file.first, file.second);
        ToolRun run = install.run("roomwright", c.arguments);
        expectToolRun(run, c.status, c.output);
        if (c.package.empty()) {
            EXPECT_EQ(std::string::npos, run.output.find("Exported prop"));
            for (const std::string &word : c.arguments) {  // a run that writes nothing leaves no folder
                std::string base = word.substr(0, word.find('.'));
                EXPECT_FALSE(install.workFileExists(base)) << base;
            }
            continue;
        }
        ASSERT_TRUE(install.workFileExists(c.package)) << run.output << run.errors;
        c.check(*readMeshFile(install.workFile(c.package)), install);
    }
}

// What a room file names is looked for as described (cut-out libraries from the current folder,
// props through the game's sources), then beside the room file; what is found nowhere is
// reported with every place looked at. A word that looks like an option but is none is taken
// as a room file, with a warning that says so.
TEST(Roomwright, looksBesideTheRoomFile) {
    const std::string hall = kInterior + "[library]\ncutouts = lib.ini\n" + walls({{0, 0}}) +
                             "[wall]\ncutout = win\nx = 4\ny = 0\n" + walls({{8, 0}, {8, 4}, {0, 4}}) +
                             "[prop]\nprop = p_chair\n[prop]\nprop = p_stool\nx = 2\n";
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::vector<std::string> output, errors;
        int groups;  // of the prop written into hall/ (0: none written)
    } runs[] = {
        {{"rooms/hall.ini"}, 0, {" Start  3.500   0.000", "Exported prop p_hall!\n"}, {}, 4},
        {{"rooms/empty.ini", "-rot", "90"}, 1,
         {"Error : Could not find cutout INI file nolib.ini\n", "Prop MSH file could not be found (p_nowhere)\n",
          "Error loading room INI file -rot : File could not be opened\n", "Exported prop p_empty!\n"},
         {"roomwright: -rot: warning: not an option of roomwright; taken as a room INI file name\n",
          "roomwright: nolib.ini: cut-out library not found; looked for nolib.ini (from the current folder) and "
          "rooms/nolib.ini (beside the room file)\n",
          "roomwright: p_nowhere: no source has data\\setdressing\\p_nowhere.ini or data\\meshes\\p_nowhere.msh (",
          "); neither rooms/p_nowhere.ini nor rooms/p_nowhere.msh lies beside the room file\n"},
         0},
    };
    for (const auto &r : runs) {
        SCOPED_TRACE(r.arguments[0]);
        FakeInstall install;
        install.addGameFile("data/meshes/p_box.msh", boxProp());
        install.addRootFile("work/rooms/hall.ini", hall);
        install.addRootFile("work/rooms/lib.ini", kLibrary);
        install.addRootFile("work/rooms/p_chair.ini", "\tmesh = chair.msh\r\n\r\n[finance]\r\n");
        install.addRootFile("work/rooms/chair.msh", boxProp());
        install.addRootFile("work/rooms/p_stool.msh", boxProp());
        install.addRootFile("work/rooms/empty.ini", "[library]\ncutouts = nolib.ini\n" + kSquare +
                                                        "[prop]\nprop = p_nowhere\n");
        ToolRun run = install.run("roomwright", r.arguments);
        expectToolRun(run, r.status, r.output);
        expectInOrder(run.errors, r.errors);
        if (r.groups == 0) continue;
        ASSERT_TRUE(install.workFileExists("hall/data/meshes/p_hall.msh")) << run.output << run.errors;
        auto f = readMeshFile(install.workFile("hall/data/meshes/p_hall.msh"));
        ASSERT_EQ(r.groups, f->getMeshGroupCount());  // the window's, the chair, the stool, the room
        expectBox(*f, 2, 0, 3, {1.5f, 0, 0, 2.5f, 0.25f, 1});  // the stool, moved by 2
        EXPECT_FALSE(coversOnFront(f->getMesh(3, 0), 4, 0.75f));  // the window's opening
    }
}

// The command line: options act on the last room read; refused values, misplaced options,
// names and categories.
TEST(Roomwright, readsItsCommandLine) {
    const std::string tooLong(28, 'n');
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::vector<std::string> output;
        std::string prop;  // written into room/ ("" for nothing written)
        int category;
    } lines[] = {
        {{"-propname", "abc", "room.ini"}, 0, {"Exported prop p_abc!\n"}, "p_abc", 9},
        {{"room.ini", "-propname", "p_abc", "-cat", "0"}, 0, {"Exported prop p_abc!\n"}, "p_abc", 0},
        {{"-propname", tooLong, "short", "room.ini"}, 1,
         {"Error with -propname option : " + tooLong + " : name given is too long!  Do not exceed 27 characters.\n",
          "Exported prop p_short!\n"}, "p_short", 9},
        {{"room.ini", "-cat", "12", "x", "3"}, 1,
         {"Error with -cat option: 12 out of range: must be a number from 0 to 9!\n",
          "Error with -cat option: x out of range: must be a number from 0 to 9!\n"}, "p_room", 3},
        {{"-s", "2", "room.ini", "-sx", "abc", "-rz", "x"}, 1,
         {"Error with -s option: no room INI file has been specified yet!\n",
          "Error with -sx option: Invalid number (abc): room will not be scaled\n",
          "Error with -rz option: Invalid number (x): room will not be rotated\n"}, "p_room", 9},
        {{"-propname", "-cat", "5", "room.ini"}, 1, {"Exported prop p_room!\n"}, "p_room", 5},
        {{"room.ini", "-c", "1", "2", "other.ini", "-lm", "0", "0", "1", "y"}, 1,
         {"Error with -c option: Invalid number: room will not be centered\n",
          "Error with -lm option: invalid number: lightmap coordinates will not be used\n",
          "Processing room INI file room.ini...\n         -ACTUAL"}, "p_room", 9},
        {{"room.ini", "-t2", std::string(32, 't')}, 1,
         {"Error with -t2 option: Filename given (" + std::string(32, 't') + ") is too long!  Do not exceed 31 "
          "characters.\n"}, "p_room", 9},
        {{"-c", "1", "2", "room.ini"}, 2,
         {"Error with -c option: no room INI file has been specified yet!\n", "Usage:  roomwright"}, "", 0},
        {{"room.ini", "-s"}, 2, {}, "", 0},
        {{"room.ini", "-lm", "0", "0.5"}, 2, {}, "", 0},
        {{"-cat", "3"}, 2, {kToolStartUp + "Usage:  roomwright [GlobalOptions] INIFile(s)... [INIOptions]\n"}, "", 0},
    };
    for (const auto &line : lines) {
        SCOPED_TRACE(line.arguments[0] + " " + line.arguments[1]);
        FakeInstall install;
        install.addRootFile("work/room.ini", kSquare);
        ToolRun run = install.run("roomwright", line.arguments);
        EXPECT_EQ(line.status, run.status) << run.output << run.errors;
        expectInOrder(run.output, line.output);
        if (line.prop.empty()) {
            EXPECT_FALSE(install.workFileExists("room")) << run.output;
            continue;
        }
        EXPECT_TRUE(install.workFileExists("room/data/meshes/" + line.prop + ".msh")) << run.output;
        EXPECT_NE(std::string::npos, install.readWorkFile("room/data/propblueprint/" + line.prop + ".ini")
                                         .find("\tcategory = " + std::to_string(line.category) + "\r\n"));
    }
}

// Options change the last room only, in the order given; texture and light-map options stand
// for the keys of the room's [texture] and [lightmap] sections, which they add when missing.
TEST(Roomwright, appliesOptionsToTheLastRoom) {
    FakeInstall install;
    install.addRootFile("work/a.ini", kSquare + "[texture]\nwall = old.dds\n");
    install.addRootFile("work/b.ini", kSquare);
    ToolRun run = install.run("roomwright", {"a.ini", "-rz", "90", "-wt0", "brick.dds", "b.ini", "-s", "2", "-ft1",
                                             "shiny.dds", "-lm", "0", "0.5", "1", "1", "-t2", "lm_b.dds"});
    ASSERT_EQ(0, run.status) << run.output << run.errors;
    EXPECT_EQ(kSquare + "[texture]\nwall = old.dds\n", install.readWorkFile("a.ini"));  // changed in memory only
    auto f = readMeshFile(install.workFile("a/data/meshes/p_a.msh"));
    const KxRlMesh *wallA = roomMesh(*f, "brick.dds"), *wallB = roomMesh(*f, kWallTexture);
    ASSERT_NE(nullptr, wallA);
    ASSERT_NE(nullptr, wallB);
    KxDClipRegion3D box;
    wallA->calcPosBounds(&box);
    EXPECT_NEAR(-4, box.getMinX(), 2e-3);  // a quarter turn about Z
    EXPECT_NEAR(4, box.getMaxY(), 2e-3);
    wallB->calcPosBounds(&box);
    EXPECT_NEAR(8, box.getMaxX(), 2e-3);  // scaled by 2
    EXPECT_NEAR(6, box.getMaxZ(), 2e-3);
    EXPECT_STREQ("(none)", slotName(wallA, 2));
    EXPECT_STREQ("lm_b.dds", slotName(wallB, 2));
    EXPECT_STREQ("shiny.dds", slotName(roomMesh(*f, kFloorTexture, 1), 1));
    expectLightMapWithin(wallB, 0, 1, 0.5f, 0.75f);  // the walls in the upper half of 0.5 .. 1
}

TEST(Roomwright, printsItsHelpWithoutArguments) {
    FakeInstall install;
    ToolRun run = install.run("roomwright", {});
    EXPECT_EQ(0, run.status);
    const std::string end = "                              -rx or -ry option.\n" + std::string(78, '-') + "\n";
    EXPECT_EQ(0u, run.output.find("Usage:  roomwright [GlobalOptions] INIFile(s)... [INIOptions]\n"
                                  "This produces a single room, or building exterior, as a prop.  The output will\n"));
    EXPECT_NE(std::string::npos, run.output.find("For example, \"p_myprop\" (without any file\n"));
    EXPECT_EQ(run.output.size() - end.size(), run.output.find(end));
    EXPECT_FALSE(install.workFileExists("content"));
}

}  // namespace
