// Writes the seed corpus of every fuzz target into <folder>/corpus/<target>/: MSH files made
// with the test builder and the suite's own writer, archives made with the test archive
// writer, INI files, and rooms with their cut-out libraries and options. Run from the
// repository root as `make_fuzz_corpus fuzz` after a change of a format or of a writer.
//   make_fuzz_corpus <fuzz folder>

#include "FuzzEntries.h"
#include "IOException.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlRebuiltProp.h"
#include "MeshTestFiles.h"
#include "MshBuilder.h"
#include "PakWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path corpusFolder;

void writeSeed(const std::string &target, const std::string &name, const std::string &bytes) {
    fs::path folder = corpusFolder / "corpus" / target;
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

std::string text(const std::vector<uint8_t> &bytes) { return std::string(bytes.begin(), bytes.end()); }

// One triangle per entry (nine corner co-ordinates), each with vertices of its own.
MshMesh triangles(const std::vector<std::vector<float>> &corners) {
    MshMesh mesh;
    mesh.posBounds = {{0, 0, 0, 10, 10, 10}};
    for (const std::vector<float> &c : corners) {
        for (int k = 0; k < 3; k++) {
            mesh.indices.push_back(static_cast<uint16_t>(mesh.vertices.size()));
            mesh.vertices.push_back(mshVertex(mesh, c[3 * k], c[3 * k + 1], c[3 * k + 2], 0, 0, 1, 0, 0));
        }
    }
    return mesh;
}

// Three separate triangles in one mesh, and two that touch at one position in another.
std::string objectsFile() {
    MshDescription d;
    d.flags[1] = 0x01;
    d.bitmaps = {"desk.dds", "lm_desk.dds"};
    d.materials = {mshMaterial(0, 0xFF, 1)};
    MshGroup group;
    group.name = "desk";
    MshMesh parts = triangles({{0, 0, 0, 1, 0, 0, 0, 1, 0}, {4, 4, 4, 5, 4, 4, 4, 5, 4}, {8, 8, 8, 9, 8, 8, 8, 9, 8}});
    parts.flags[1] = 0x01;
    for (size_t i = 0; i < parts.vertices.size(); i++)
        parts.lightMap.push_back({{static_cast<uint16_t>(i * 7000), static_cast<uint16_t>(65535 - i * 7000)}});
    group.meshes.push_back(parts);
    group.meshes.push_back(triangles({{0, 0, 0, 2, 0, 0, 0, 2, 0}, {2, 0, 0, 4, 0, 0, 4, 2, 0}}));
    d.groups.push_back(group);
    return text(buildMsh(d));
}

// The header's optional counts, an odd face count, reversed bounds, no tail.
std::string countsFile() {
    MshDescription d;
    d.flags[6] = 0xC2;
    d.bitmaps = {"a.dds"};
    d.materials = {mshMaterial(0)};
    d.rooms = {makeControl(3, 1, "attic")};
    d.subMeshCount = 3;
    MshGroup group;
    MshMesh mesh = triangles({{1, 1, 1, 2, 1, 1, 1, 2, 1}});
    mesh.posBounds = {{10, 10, 10, 0, 0, 0}};
    group.meshes.push_back(mesh);
    d.groups.push_back(group);
    d.posMatrices = {{3, mshIdentity(), {{1, 2, 3}}}};
    return text(buildMsh(d));
}

// A file as the suite's writer makes it: the rich file read and written again.
std::string rewrittenFile(const std::string &rich) {
    fs::path scratch = fs::temp_directory_path() / "make_fuzz_corpus";
    fs::create_directories(scratch);
    std::string in = (scratch / "rich.msh").string(), out = (scratch / "rewritten.msh").string();
    {
        std::ofstream file(in, std::ios::binary);
        file.write(rich.data(), static_cast<std::streamsize>(rich.size()));
    }
    std::unique_ptr<KxRlMeshFile> model(KxRlMeshFile::CreateFromFile(in.c_str()));
    KxRlRebuiltProp prop;
    for (int g = 0; g < model->getMeshGroupCount(); g++) prop.addMeshGroupRef(new KxRlMeshGroupRef(model.get(), g));
    prop.setSkeleton(model->getSkeleton(), nullptr);
    std::srand(1);
    prop.exportMesh(out.c_str());
    std::ifstream file(out, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    fs::remove_all(scratch);
    return bytes;
}

void meshSeeds() {
    const std::string rich = text(buildMsh(richDescription()));
    writeSeed("mesh_file", "rich.msh", rich);
    writeSeed("mesh_file", "objects.msh", objectsFile());
    writeSeed("mesh_file", "counts.msh", countsFile());
    writeSeed("mesh_file", "rewritten.msh", rewrittenFile(rich));
}

void pakSeeds() {
    PakWriter plain(4);
    plain.add("", "readme.txt", "archive root\n");
    plain.add("data\\meshes\\", "P_Desk.MSH", objectsFile());
    plain.add("data\\setdressing\\", "p_desk.ini", "mesh = p_desk.msh\n");
    writeSeed("pak_archive", "stored.pak", plain.build());

    PakWriter packed(5);
    packed.add("data\\meshes\\", "p_desk.msh", objectsFile(), PakWriter::COMPRESSED);
    packed.add("data\\meshes\\props\\", "p_counts.msh", countsFile(), PakWriter::NESTED_STORED);
    packed.add("Data\\Textures\\", "wood.dds", std::string(300, 'w'), PakWriter::NESTED_COMPRESSED);
    packed.add("data\\meshes\\", "p_desk.msh", "a duplicate of the first entry", PakWriter::STORED);
    writeSeed("pak_archive", "compressed.pak", packed.build());
}

const char *const kSetDressing =
    "set = 041\n[0]\nname = p_lamp\nposition.x = 1.000000\nposition.y = 2.000000\nposition.z = 0.000000\n"
    "angle = 90.000000\n[1]\nname = p_desk\nposition.x = -3.5\nposition.y = 0x10\n[]\n";
const char *const kOddIni =
    "Scale = 2.5\r\n[Room]\r\nWidth=10\r\n  = = \r\n[open\r\nTexture = a=b\r\n"
    "long = 0123456789012345678901234567890123456789\r\n\tflag = Yes\r\nnumber = 0x1F\r\noctal = 017\r\n"
    "big = 1e99\r\nnan = nan\r\n[wall]\n[wall]\n; note\n";

void iniSeeds() {
    writeSeed("ini_file", "setdressing.ini", kSetDressing);
    writeSeed("ini_file", "odd.ini", kOddIni);
}

// The cut-out library every room seed carries.
const char *const kCutouts =
    "[cutout]\nname = window\nprop = p_window\nx = -0.6\nbottom = 0\ntop = 1.2\nx = 0.6\nbottom = 0\ntop = 1.2\n"
    "[cutout]\nname = door\nprop = p_door\nxcenter = 0.1\nrotate = 90\nx = -0.5\nbottom = 0\ntop = 2.1\n"
    "x = 0.5\nbottom = 0\ntop = 0\n"
    "[cutout]\nname = arch\nprop = other\nx = -1\nbottom = 0\ntop = 2.5\nx = 0\nbottom = 0\ntop = 2.8\n"
    "x = 1\nbottom = 0\ntop = 0\n"
    "[cutout]\nname = empty\n[cutout]\nx = 1\n[cutout]\nname = uneven\nx = 1\nx = 2\nbottom = 0\ntop = 1\n";

std::string room(const std::string &ini, const std::string &options = "") {
    return ini + std::string(1, '\0') + kCutouts + std::string(1, '\0') + options;
}

std::string wall(float x, float y, const std::string &more = "") {
    return "[wall]\nx = " + std::to_string(x) + "\ny = " + std::to_string(y) + "\n" + more;
}

void roomSeeds() {
    const std::string library = "[library]\ncutouts = lib.ini\n";
    // An interior with a window and a door, a reflective floor, a light-map and dressing props.
    writeSeed("room_builder", "interior.room",
              room(library + "[global]\nheight = 2.8\n[texture]\nwall = w.dds\nfloor = f.dds\nreflection = true\n"
                             "wallxscroll = 300\nflooralpha = yes\n[wall tiling]\nxwrap = 1.4\n[lightmap]\n"
                             "lightmap = lm_room.dds\nxsize = 0.5\n" +
                       wall(0, 0) + wall(3, 0, "cutout = window\nbottom = 0.9\n") + wall(6, 0) + wall(6, 4) +
                       wall(2.5f, 4, "cutout = door\n") + wall(0, 4) +
                       "[prop]\nprop = p_lamp\nx = 5.4\ny = 3.4\n[prop]\nprop = p_shelf\nrotate = 180\n"
                       "xtranslate = 1\nscale = 0.5\nzscale = 2\nx = 5\ny = 4\nlightmap = lm_shelf.dds\n"));
    // A building: no floor, walls facing out, tiled in both directions, cut-outs flipped and
    // scaled, an arch whose prop is not found.
    writeSeed("room_builder", "exterior.room",
              room(library + "[global]\ninterior = false\nheight = 3.2\nfloor = false\nraise = 0.5\n"
                             "[wall tiling]\nxwrap = 1.6\nywrap = 1.6\nxreverse = true\n[floor tiling]\nxoffset = 0.5\n"
                             "yreverse = on\n" +
                       wall(0, 0) + wall(2, 0, "cutout = window\nbottom = 1\nflip = true\nscale = 1.5\n") +
                       wall(4.5f, 0, "cutout = door\nuseprop = false\n") + wall(9, 0) + wall(9, 6) +
                       wall(6, 6, "cutout = arch\nprop = p_gate\n") + wall(0, 6),
                   "-s 2 -rz 30 -c 1 2 3"));
    // Counter-clockwise and open, with openings and left-out wall pieces; the room squashed flat.
    writeSeed("room_builder", "open.room",
              room("[global]\nconnect = false\nceiling = no\n" + wall(0, 0, "bottom = 1\ntop = 2\n") +
                       wall(4, 0, "bottom = 1\ntop = 2\nexclude-bottom = true\n") +
                       wall(4, 4, "top = 2.5\nexclude-top = y\n") + wall(2, 5) + wall(0, 4),
                   "-sz 0 -rx 90"));
    // Scaled to nothing, as a room and as a prop.
    writeSeed("room_builder", "flat.room",
              room(wall(0, 0) + wall(0, 3) + wall(3, 3) + wall(3, 0) + "[prop]\nprop = p_flat\nscale = 0\n", "-s 0"));
    // Every refusal: a cut-out first, no co-ordinate, an unknown cut-out, one without
    // co-ordinates, a cut-out on the previous point, props without a name or not found.
    writeSeed("room_builder", "refused.room",
              room(library + wall(1, 1, "cutout = door\n") + "[wall]\nx = 1\n" + wall(0, 0) +
                       wall(2, 0, "cutout = nothing\n") + wall(3, 0) + wall(3, 0, "cutout = empty\n") +
                       wall(3, 0, "cutout = door\n") + wall(3, 3) + "[prop]\nx = 1\n[prop]\nprop = missing\n"));
    // An outline that crosses itself: no floor can fill it.
    writeSeed("room_builder", "crossing.room", room(wall(0, 0) + wall(4, 4) + wall(4, 0) + wall(0, 4)));
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_corpus <fuzz folder>\n");
        return 2;
    }
    corpusFolder = argv[1];
    try {
        meshSeeds();
        pakSeeds();
        iniSeeds();
        roomSeeds();
    } catch (const IOException &e) {
        std::fprintf(stderr, "make_fuzz_corpus: %s\n", e.describe().c_str());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make_fuzz_corpus: %s\n", e.what());
        return 1;
    }
    return 0;
}
