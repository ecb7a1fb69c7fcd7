// The room guide in README.md: its examples of doors and windows are the example room files it
// quotes (examples/rooms/), and each picture of a wall is what roomwright builds from that file,
// drawn by sampling the built wall mesh; the openings in it are counted.

#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "MeshChecks.h"
#include "RoomChecks.h"
#include "SuiteFiles.h"
#include "ToolHarness.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string sourceFile(const std::string &relative) {
    return readSuiteFile(buildFolderPath(std::string(KX_SOURCE_DIR) + "/" + relative));
}

// The guide's picture of a wall standing on y = 0 from x = 0 to 5, 3 high, seen from the front:
// one character a tenth of a unit wide and a quarter of a unit high, '#' where a ray through
// the middle of it hits the wall, '.' where it passes through an opening.
const int kColumns = 50, kRows = 12;

std::string picture(const KxRlMesh *wall) {
    std::string text = "3 +" + std::string(kColumns, '-') + "+\n";
    for (int row = 0; row < kRows; row++) {
        text += "  |";
        float z = 3.0f - 0.25f * (static_cast<float>(row) + 0.5f);
        for (int column = 0; column < kColumns; column++)
            text += coversOnFront(wall, 0.1f * (static_cast<float>(column) + 0.5f), z) ? '#' : '.';
        text += "|\n";
    }
    text += "0 +" + std::string(kColumns, '-') + "+\n  0";
    for (int unit = 1; unit <= kColumns / 10; unit++) text += "         " + std::to_string(unit);
    return text + "\n";
}

// The openings of a picture: the groups of '.' that touch each other side by side or above
// one another.
int countOpenings(std::string text) {
    std::vector<std::string> rows;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        rows.push_back(text.substr(at, end - at));
    int openings = 0;
    for (size_t r = 0; r < rows.size(); r++) {
        for (size_t c = 0; c < rows[r].size(); c++) {
            if (rows[r][c] != '.') continue;
            openings++;
            std::vector<std::pair<size_t, size_t>> open = {{r, c}};
            rows[r][c] = ' ';
            while (!open.empty()) {
                auto [y, x] = open.back();
                open.pop_back();
                const std::pair<size_t, size_t> next[] = {{y - 1, x}, {y + 1, x}, {y, x - 1}, {y, x + 1}};
                for (auto [ny, nx] : next) {
                    if (ny >= rows.size() || nx >= rows[ny].size() || rows[ny][nx] != '.') continue;
                    rows[ny][nx] = ' ';
                    open.push_back({ny, nx});
                }
            }
        }
    }
    return openings;
}

}  // namespace

TEST(RoomGuide, drawsTheOpeningsOfItsExamplesAsRoomwrightBuildsThem) {
    const std::string guide = sourceFile("README.md");
    const std::string library = sourceFile("examples/rooms/demo_cutouts.ini");
    EXPECT_NE(std::string::npos, guide.find("```ini\n" + library + "```\n")) << "the guide quotes demo_cutouts.ini";
    const struct {
        const char *file;
        int openings;
    } examples[] = {
        {"openings_door.ini", 1},         // a door: one point with bottom 0
        {"openings_window.ini", 1},       // a window between two points that both carry it
        {"openings_window_point.ini", 0}, // one window point alone opens nothing
        {"openings_two_windows.ini", 2},  // two cut-outs of the library in a row, wall between
        {"openings_window_run.ini", 1},   // window points in a row: one opening to the last
    };
    for (const auto &example : examples) {
        SCOPED_TRACE(example.file);
        const std::string room = sourceFile(std::string("examples/rooms/") + example.file);
        EXPECT_NE(std::string::npos, guide.find("```ini\n" + room + "```\n")) << "the guide quotes the file";
        FakeInstall install;
        for (const char *prop : {"p_demo_window", "p_demo_door"})
            install.addGameFile(std::string("data/meshes/") + prop + ".msh", boxProp());
        install.addRootFile(std::string("work/") + example.file, room);
        install.addRootFile("work/demo_cutouts.ini", library);
        ToolRun run = install.run("roomwright", {example.file, "-propname", "wall"});
        expectToolRun(run, 0, {"Exported prop p_wall!\n"});
        const std::string folder = std::string(example.file).substr(0, std::string(example.file).find('.'));
        auto f = readMeshFile(install.workFile(folder + "/data/meshes/p_wall.msh"));
        ASSERT_GT(f->getMeshGroupCount(), 0);
        const int roomGroup = f->getMeshGroupCount() - 1;
        ASSERT_EQ(1, f->getMeshCount(roomGroup));  // a straight wall: no floor or ceiling
        const std::string drawn = picture(f->getMesh(roomGroup, 0));
        EXPECT_NE(std::string::npos, guide.find("```text\n" + drawn + "```\n"))
            << "the guide's picture, as roomwright builds it:\n" << drawn;
        EXPECT_EQ(example.openings, countOpenings(drawn)) << drawn;
    }
}
