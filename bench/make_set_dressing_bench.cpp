// Writes what scripts/bench.sh times dresscaster on: a game of 10 prop meshes and a
// set-dressing arrangement of many props naming them in turn.
//   make_set_dressing_bench <game folder> <arrangement.ini> <props>
// The meshes are grids of 16 x 16 vertices (450 triangles) with light-map co-ordinates. The
// even ones belong to props p_bench_prop0, 2, ... through set-dressing INIs in
// <game>/data/setdressing/ that name them (bench_mesh0.msh, ...); the odd ones are found by
// the prop's name (p_bench_prop1.msh, ...).

#include "IOException.h"
#include "KxDMeshData.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlRebuiltProp.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kSide = 16;
constexpr int kMeshes = 10;

// A wavy grid, its height pattern shifted by `seed` so that the meshes differ.
KxDMeshData *gridMesh(int seed) {
    KxDMeshData *data = new KxDMeshData();
    data->allocate(kSide * kSide, 2 * (kSide - 1) * (kSide - 1), true);
    _KxDTexVertex *vertices = data->getVertexList();
    _KxDVector2D *lightMap = data->getLightMapList();
    uint16_t *indices = data->getIndexList();
    for (int row = 0, v = 0; row < kSide; row++) {
        for (int column = 0; column < kSide; column++, v++) {
            float x = 0.1f * static_cast<float>(column), y = 0.1f * static_cast<float>(row);
            kxdVecSet(&vertices[v].position, x, y, 0.02f * static_cast<float>((column * row + seed) % 7));
            kxdVecSet(&vertices[v].normal, 0.0f, 0.0f, 1.0f);
            kxdVecSet(&vertices[v].texture, x, y);
            kxdVecSet(&lightMap[v], static_cast<float>(column) / kSide, static_cast<float>(row) / kSide);
        }
    }
    int i = 0;
    for (int row = 0; row + 1 < kSide; row++) {
        for (int column = 0; column + 1 < kSide; column++) {
            int a = row * kSide + column, b = a + 1, c = a + kSide, d = c + 1;
            for (int corner : {a, b, d, a, d, c}) indices[i++] = static_cast<uint16_t>(corner);
        }
    }
    return data;
}

void writeMesh(const std::string &path, int seed) {
    std::string texture = "bench_prop" + std::to_string(seed) + ".dds";
    KxRlMeshBitmap bitmap(texture.c_str());
    KxRlMeshMaterial material(&bitmap);
    std::unique_ptr<KxDMeshData> data(gridMesh(seed));
    KxDMeshData *list[1] = {data.get()};
    std::unique_ptr<KxRlMeshGroup> group(KxRlMeshGroup::CreateFromData(&material, 1, list));
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(new KxRlMeshGroupRef(group.get()));
    prop.exportMesh(path.c_str());
}

}  // namespace

int main(int argc, char **argv) {
    int props = argc == 4 ? std::atoi(argv[3]) : 0;
    if (props < 1) {
        std::fprintf(stderr, "Usage: make_set_dressing_bench <game folder> <arrangement.ini> <props>\n");
        return 2;
    }
    const std::string game = argv[1];
    try {
        std::filesystem::create_directories(game + "/data/meshes");
        std::filesystem::create_directories(game + "/data/setdressing");
        for (int m = 0; m < kMeshes; m++) {
            const std::string number = std::to_string(m);
            if (m % 2 == 0) {
                writeMesh(game + "/data/meshes/bench_mesh" + number + ".msh", m);
                std::ofstream(game + "/data/setdressing/p_bench_prop" + number + ".ini", std::ios::binary)
                    << "\tmesh = bench_mesh" << m << ".msh\r\n\r\n[finance]\r\n\tpurchasecost = 1.00\r\n";
            } else {
                writeMesh(game + "/data/meshes/p_bench_prop" + number + ".msh", m);
            }
        }
        std::ofstream arrangement(argv[2], std::ios::binary);
        arrangement << "set=041\r\n";
        for (int i = 0; i < props; i++) {
            char section[256];
            std::snprintf(section, sizeof section,
                          "[%d]\r\nname=p_bench_prop%d\r\nposition.x=%f\r\nposition.y=%f\r\nposition.z=0.000000\r\n"
                          "angle=%f\r\n",
                          i, i % kMeshes, static_cast<double>((i % 40) * 2), static_cast<double>((i / 40) * 2),
                          static_cast<double>(i % 7) * 0.5);
            arrangement << section;
        }
        if (!arrangement) throw IOException("Could not write the arrangement " + std::string(argv[2]));
    } catch (const IOException &e) {
        std::fprintf(stderr, "make_set_dressing_bench: %s\n", e.getErrorString());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make_set_dressing_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
