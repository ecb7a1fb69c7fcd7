// What reaches a written prop, end to end: numbers that are not finite are refused like words
// that are no numbers, the mesh writer refuses a mesh that is not finite after its transforms,
// and prop names the game cannot load are refused before anything is written.

#include "KxRlMesh.h"
#include "MeshChecks.h"
#include "SlipInputs.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Each number option refuses nan, inf, a value beyond the float range and (for a scaling) 0
// with its invalid-number message and a stderr line naming the option and the word; the rest
// of the run is done, as for a word that is no number.
TEST(OutputGuard, numbersThatAreNotFiniteAreRefused) {
    const struct {
        const char *tool;
        std::vector<std::string> arguments;
        std::string message;
        std::string word;     // named on stderr after the option
        std::string written;  // the package's mesh
    } cases[] = {
        {"propcarver", {"-rpz", "nan"}, "Error with -rpz option : Invalid number (nan): prop will not be rotated\n",
         "nan", "p_x"},
        {"propcarver", {"-sp", "1e40"}, "Error with -sp option : Invalid number (1e40): prop will not be scaled\n",
         "1e40", "p_x"},
        {"propcarver", {"-cp", "nan", "0", "0"}, "Error with -cp option : Invalid number: prop will not be centered\n",
         "nan", "p_x"},
        {"propcarver", {"-sgz", "0"}, "Error with -sgz option : Invalid number (0): mesh group 0 will not be scaled\n",
         "0", "p_x"},
        {"propcarver", {"-clm", "0", "0", "0", "1", "1", "inf"},
         "Error with -clm option : Invalid number: clip region will not be applied to mesh 0 (in mesh group 0)\n",
         "inf", "p_x"},
        {"propcarver", {"-tt", "1e39", "0"},
         "Error with -tt option : Invalid number: texture co-ordinates for mesh 0 (in mesh group 0) will not be "
         "translated\n", "1e39", "p_x"},
        {"propbender", {"-rz", "nan"}, "Error with -rz option : Invalid number (nan): prop will not be rotated\n", "nan",
         "p_x"},
        {"propbender", {"-s", "1e40"}, "Error with -s option : Invalid number (1e40): prop will not be scaled\n", "1e40",
         "p_x"},
        {"propbender", {"-s", "inf"}, "Error with -s option : Invalid number (inf): prop will not be scaled\n", "inf",
         "p_x"},
        {"propbender", {"-c", "nan", "0", "0"}, "Error with -c option : Invalid number: prop will not be centered\n",
         "nan", "p_x"},
        {"propbender", {"-sx", "0"}, "Error with -sx option : Invalid number (0): prop will not be scaled\n", "0", "p_x"},
        {"propbender", {"-cl", "0", "0", "0", "1", "1", "-inf"},
         "Error with -cl option : Invalid number: clip region will not be applied\n", "-inf", "p_x"},
        {"roomwright", {"-s", "nan"}, "Error with -s option: Invalid number (nan): room will not be scaled\n", "nan",
         "room"},
        {"roomwright", {"-sz", "0"}, "Error with -sz option: Invalid number (0): room will not be scaled\n", "0", "room"},
        {"roomwright", {"-rz", "inf"}, "Error with -rz option: Invalid number (inf): room will not be rotated\n", "inf",
         "room"},
        {"roomwright", {"-c", "1e40", "0", "0"}, "Error with -c option: Invalid number: room will not be centered\n",
         "1e40", "room"},
        {"roomwright", {"-lm", "0", "0", "nan", "1"},
         "Error with -lm option: invalid number: lightmap coordinates will not be used\n", "nan", "room"},
        {"propbridge", {"-s", "nan"}, "Error with -s option : Invalid number (nan): prop will not be scaled\n", "nan",
         "p_y"},
        {"propbridge", {"-s", "1e40"}, "Error with -s option : Invalid number (1e40): prop will not be scaled\n", "1e40",
         "p_y"},
        {"propbridge", {"-s", "0"}, "Error with -s option : Invalid number (0): prop will not be scaled\n", "0", "p_y"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.tool) + " " + c.arguments[0] + " " + c.word);
        FakeInstall install;
        layInputs(install);
        std::vector<std::string> arguments;
        const std::string tool = c.tool;
        if (tool == "propcarver") arguments = {"model.msh", "x", "-g", "0", "-m", "0"};
        if (tool == "propbender") arguments = {"model.msh", "x"};
        if (tool == "roomwright") arguments = {"room.ini"};
        if (tool == "propbridge") {
            exportGltfModel(install);
            arguments = {"import", "model.gltf", "y"};
        }
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        ToolRun run = install.run(tool, arguments);
        expectToolRun(run, 1, {c.message, "Exported prop "});
        EXPECT_NE(std::string::npos, run.errors.find(tool + ": " + c.arguments[0] + ": '" + c.word + "'")) << run.errors;
        const std::string prop = tool == "roomwright" ? "p_room" : c.written;
        auto written = readMeshFile(install.workFile(c.written + "/data/meshes/" + prop + ".msh"));
        if (tool == "propcarver" || tool == "propbender") expectBox(*written, 0, 0, 3, kModelBox);
        if (tool == "roomwright") {
            KxDClipRegion3D box;
            written->getMesh(0, 0)->calcPosBounds(&box);  // the walls, unmoved
            EXPECT_NEAR(4, box.getMaxX(), 1e-3);
            EXPECT_NEAR(3, box.getMaxZ(), 1e-3);
        }
    }
}

// A room whose walls have no height (or a negative one) is refused with a message naming its
// file and left out; the other rooms are built.
TEST(OutputGuard, roomsWithoutWallHeightAreLeftOut) {
    for (const char *height : {"0", "-2"}) {
        SCOPED_TRACE(height);
        FakeInstall install;
        layInputs(install);
        install.addRootFile("work/low.ini", roomFile({{10, 0}, {14, 0}, {14, 4}}, "height = " + std::string(height) + "\n"));
        ToolRun run = install.run("roomwright", {"low.ini", "room.ini"});
        expectToolRun(run, 1, {"Error in room INI file low.ini : The wall height (" + std::string(height) +
                                   ") must be above 0\n",
                               "Processing room INI file room.ini...\n", "Exported prop p_low!\n"});
        KxDClipRegion3D box;
        readMeshFile(install.workFile("low/data/meshes/p_low.msh"))->getMesh(0, 0)->calcPosBounds(&box);
        EXPECT_NEAR(4, box.getMaxX(), 1e-3);  // only room.ini's walls
    }
}

// The mesh writer is the last guard: a mesh whose positions or light-map co-ordinates are not
// finite after every transform, or whose box overflows the float range, is not written, and
// nothing else of the package either.
TEST(OutputGuard, theWriterRefusesAMeshThatIsNotFinite) {
    // A room standing at x = 1e38: its box cannot be measured in float (its walls are longer than
    // any float, the wall report sums to inf), the light-map co-ordinates spread along them are
    // not-a-number, and scaled by 4 its positions overflow.
    const std::string far = roomFile({{1e38f, 0}, {1e38f, 4}, {0, 4}, {0, 0}});
    const struct {
        const char *tool;
        std::vector<std::string> arguments;
        std::string roomFile;  // far.ini, when given
        std::string message;
    } cases[] = {
        {"propbender", {"model.msh", "x", "-s", "1e38"}, "",
         "Error exporting prop : Mesh 0 of group 0 (body) cannot be written: a vertex position is not a finite "
         "number\n"},
        {"propbender", {"model.msh", "x", "-s", "5e37"}, "",
         "Error exporting prop : Mesh 0 of group 0 (body) cannot be written: its bounding box exceeds the float "
         "range\n"},
        {"roomwright", {"far.ini"}, far,
         "Mesh 0 of group 0 (Data) cannot be written: its bounding box exceeds the float range (p_far)\n"},
        {"roomwright", {"far.ini"}, far + "[lightmap]\n",
         "Mesh 0 of group 0 (Data) cannot be written: a light-map co-ordinate is not a finite number (p_far)\n"},
        {"roomwright", {"far.ini", "-sx", "4"}, far,
         "Mesh 0 of group 0 (Data) cannot be written: a vertex position is not a finite number (p_far)\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        FakeInstall install;
        layInputs(install);
        if (!c.roomFile.empty()) install.addRootFile("work/far.ini", c.roomFile);
        ToolRun run = install.run(c.tool, c.arguments);
        expectToolRun(run, 1, {c.message});
        EXPECT_EQ(std::string::npos, run.output.find("Exported prop"));
        EXPECT_NE(std::string::npos, run.errors.find("cannot be written")) << run.errors;
        for (const char *folder : {"p_x", "far"}) EXPECT_FALSE(install.workFileExists(folder)) << folder;
    }
}

// Names the game cannot load are refused, whatever the tool, and nothing is written under
// them: no package and no folder.
TEST(OutputGuard, propNamesTheGameCannotLoadAreRefused) {
    const std::string name26(26, 'n');
    const struct {
        const char *tool;
        std::vector<std::string> arguments;
        std::string message;
        std::string written;  // the package written instead, "" for none
    } cases[] = {
        {"propcarver", {"model.msh", "../escape", "-g", "0"}, "Error : Output prop name ../escape leaves an empty name.\n",
         ""},
        {"propcarver", {"model.msh", ".hidden", "-g", "0"}, "Error : Output prop name .hidden leaves an empty name.\n", ""},
        {"propcarver", {"model.msh", "p_", "-g", "0"}, "Error : Output prop name p_ leaves an empty name.\n", ""},
        {"propcarver", {"model.msh", "my shelf", "-g", "0"}, "Error : Output prop name my shelf holds a space.\n", ""},
        {"propcarver", {"model.msh", "a\tb", "-g", "0"},
         "Error : Output prop name a\\tb holds a control character.\n", ""},
        {"propbender", {"model.msh", "a|b"}, "Error : Output prop name a|b holds the character |.\n", ""},
        {"propbender", {"model.msh", "a*b"}, "Error : Output prop name a*b holds the character *.\n", ""},
        {"propbender", {"model.msh", "x:y"}, "Error : Output prop name x:y holds the character :.\n", ""},
        {"propbender", {"model.msh", "sub\\x"}, "Error : Output prop name sub\\x holds a path separator.\n", ""},
        {"propbender", {"model.msh", name26}, "Error : Output prop name exceeds 25 characters.\n", ""},
        {"propbridge", {"import", "model.gltf", "../escape"},
         "Error : Output prop name ../escape leaves an empty name.\n", ""},
        {"dresscaster", {"a.ini", "-propname", "my shelf"}, "Prop name my shelf holds a space (my shelf)\n", ""},
        {"dresscaster", {"a.ini", "-propname", "p_"}, "Prop name p_ leaves an empty name (p_)\n", ""},
        {"roomwright", {"room.ini", "-propname", "my room"}, "Prop name p_my room holds a space (p_my room)\n", ""},
        {"roomwright", {"room.ini", "-propname", "p_"}, "Prop name p_ leaves an empty name (p_)\n", ""},
        // "p_" and 26 characters: the described message, and the option waits for another name.
        {"roomwright", {"room.ini", "-propname", name26},
         "Error with -propname option : " + name26 + " : name given is too long!  Do not exceed 27 characters.\n",
         "room/data/meshes/p_room.msh"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.tool) + " " + c.message);
        FakeInstall install;
        layInputs(install);
        if (c.arguments[0] == "import") exportGltfModel(install);
        ToolRun run = runSlip(install, c.tool, c.arguments);
        expectToolRun(run, 1, {c.message});
        if (c.written.empty()) {
            EXPECT_EQ(std::string::npos, run.output.find("Exported prop")) << run.output;
            for (const char *folder : {"p_", "escape", "p_escape", "p_my shelf", "p_a", "p_x", "p_sub", "a", "room"})
                EXPECT_FALSE(install.workFileExists(folder)) << folder;
        } else {
            EXPECT_TRUE(install.workFileExists(c.written));
        }
        EXPECT_FALSE(install.workFileExists("p_" + name26));
    }
}

#ifndef _WIN32
// On Linux the command line is UTF-8: a name beyond ASCII would not be stored as the game
// reads it. (On Windows it is in the code page, one byte per character, and is taken.)
TEST(OutputGuard, namesBeyondAsciiAreRefusedOnLinux) {
    FakeInstall install;
    layInputs(install);
    ToolRun run = install.run("propbender", {"model.msh", "caf\xc3\xa9"});
    expectToolRun(run, 1,
                  {"Error : Output prop name caf\xc3\xa9 holds characters beyond ASCII, which cannot be stored on this "
                   "system as the game reads them.\n"});
    EXPECT_FALSE(install.workFileExists("p_caf\xc3\xa9"));
}
#endif

}  // namespace
