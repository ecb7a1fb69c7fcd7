#ifndef KX_TESTS_SLIPINPUTS_H
#define KX_TESTS_SLIPINPUTS_H

// What the command-line tests run every tool on, in one fake installation:
//   game data\meshes\model.msh   group "body", one mesh: the triangle (-5,0,0) (6,0,0) (0,1,2)
//   game data\meshes\p_box.msh   the same model, the prop of the set-dressing file
//   work\a.ini                   a set-dressing file with p_box at the origin
//   work\room.ini                a room: the square 0..4 x 0..4, walls 3 high
// and model.gltf (with model.bin) in the work folder once exportGltfModel has made it.

#include "ToolHarness.h"

#include <array>
#include <string>
#include <vector>

// The box of the model's one mesh: min x, y, z, max x, y, z.
extern const std::array<float, 6> kModelBox;

void layInputs(FakeInstall &install);

// Runs propbridge export on model.msh, so that model.gltf can be imported.
void exportGltfModel(const FakeInstall &install);

// Runs `tool` in the work folder (dresscaster by its bare name, away from the documents
// folder of the user running the tests).
ToolRun runSlip(const FakeInstall &install, const std::string &tool, const std::vector<std::string> &arguments);

// The room INI text of the outline through `points`, with `global` keys in its [global] section.
std::string roomFile(const std::vector<std::array<float, 2>> &points, const std::string &global = "");

#endif
