// propbridge end to end: mesh files exported to glTF (every file kept for the glTF validator,
// which the gltf_validation test runs over them), glTF models made here imported as props and
// read back through the MSH reader and meshlister, and broken models refused whole.

#include "GltfImport.h"
#include "GltfModels.h"
#include "IOException.h"
#include "KxDClipRegion.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshMaterial.h"
#include "MshBuilder.h"
#include "TempFolder.h"
#include "ToolHarness.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::unique_ptr<KxRlMeshFile> readMesh(const std::string &path) {
    return std::unique_ptr<KxRlMeshFile>(KxRlMeshFile::CreateFromFile(path.c_str()));
}

std::unique_ptr<KxRlMeshFile> readPackage(const FakeInstall &install, const std::string &prop) {
    return readMesh(install.workFile("p_" + prop + "/data/meshes/p_" + prop + ".msh"));
}

// A copy of an exported model (and its .bin) for the validator, kept after the test.
void keepForValidation(const FakeInstall &install, const std::string &file) {
    static int kept = 0;
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::to_string(++kept) + "-" + test->test_suite_name() + "-" + test->name();
    for (char &c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') c = '_';
    fs::path folder = fs::path(buildFolderPath(KX_GLTF_EXPORTS)) / name;
    fs::path source = install.workFile(file);
    fs::create_directories(folder);
    fs::path bin = fs::path(source).replace_extension(".bin");
    for (const fs::path &file : {source, bin}) {
        if (file != source && (source.extension() != ".gltf" || !fs::exists(bin))) continue;
        fs::copy_file(file, folder / file.filename(), fs::copy_options::overwrite_existing);
        fs::permissions(folder / file.filename(), fs::perms::owner_write, fs::perm_options::add);
    }
}

// Every test program run starts the validator's folder afresh.
class ExportsFolder : public testing::Environment {
    void SetUp() override {
        fs::remove_all(buildFolderPath(KX_GLTF_EXPORTS));
        fs::create_directories(buildFolderPath(KX_GLTF_EXPORTS));
    }
};
testing::Environment *const kExportsFolder = testing::AddGlobalTestEnvironment(new ExportsFolder);

// The number of triangles whose corners do not wind counter-clockwise round their normal.
int inwardFaces(const KxRlMesh *m) {
    int inward = 0;
    const _KxDTexVertex *v = m->getVertexList();
    const uint16_t *i = m->getIndexList();
    for (int t = 0; t + 2 < m->getIndexCount(); t += 3) {
        const _KxDVector3D &a = v[i[t]].position, &b = v[i[t + 1]].position, &c = v[i[t + 2]].position,
                           &n = v[i[t]].normal;
        float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, wx = c.x - a.x, wy = c.y - a.y, wz = c.z - a.z;
        if ((uy * wz - uz * wy) * n.x + (uz * wx - ux * wz) * n.y + (ux * wy - uy * wx) * n.z <= 0) inward++;
    }
    return inward;
}

std::array<float, 6> boxOf(const KxRlMesh *m) {
    KxDClipRegion3D box;
    m->calcPosBounds(&box);
    return {{box.getMinX(), box.getMinY(), box.getMinZ(), box.getMaxX(), box.getMaxY(), box.getMaxZ()}};
}

// A mesh of one triangle facing out, its corners at `corners`, each with the normal `normal`.
void expectTriangle(const KxRlMesh *m, const std::array<std::array<float, 3>, 3> &corners,
                    const std::array<float, 3> &normal) {
    ASSERT_EQ(3, m->getVertexCount());
    for (int v = 0; v < 3; v++) {
        const _KxDTexVertex &vertex = m->getVertexList()[v];
        const float position[3] = {vertex.position.x, vertex.position.y, vertex.position.z};
        const float direction[3] = {vertex.normal.x, vertex.normal.y, vertex.normal.z};
        for (int k = 0; k < 3; k++) {
            EXPECT_NEAR(corners[v][k], position[k], 1e-4) << "vertex " << v;
            EXPECT_NEAR(normal[k], direction[k], 1e-3) << "vertex " << v;
        }
    }
    EXPECT_EQ(0, inwardFaces(m));
}

const char *slotName(const KxRlMesh *m, int slot) {
    const KxRlMeshBitmap *bitmap = m->getMaterial()->getBitmap(slot);
    return bitmap ? bitmap->getFilename() : "";
}

// ---------------------------------------------------------------------------------------
// Round trip: an MSH file exported and imported again

// Two groups: "body" with a light-mapped wooden mesh and a glass mesh (alpha, a specular
// texture, own colour and animation bytes), and an unnamed group with one glass mesh.
std::string roundTripFile() {
    MshDescription d;
    d.flags[1] = 0x01;
    d.bitmaps = {"wood.dds", "wood_lm.dds", "glass pane.dds", "spec.dds"};
    auto glass = mshMaterial(2, 0xFF, 0xFF, 3);
    glass[7] = glass[8] = 1;
    glass[16] = 20, glass[17] = 40, glass[18] = 60, glass[21] = 9;
    d.materials = {mshMaterial(0, 0xFF, 1), glass};
    auto mesh = [](int material, float shift, bool lightMap) {
        MshMesh m;
        m.materialIndex = material;
        m.flags[1] = lightMap ? 1 : 0;
        m.posBounds = {{-2, -3, 0, 4, 5, 2}};
        m.texBounds = {{0, 0, 2, 1}};
        const float corners[5][3] = {{-2, -3, 0}, {4, -3, 0.5f}, {4, 5, 2}, {-2, 5, 1}, {1, 1, 1.5f}};
        for (int i = 0; i < 5; i++) {
            float n = 1 / std::sqrt(3.0f);
            m.vertices.push_back(mshVertex(m, corners[i][0], corners[i][1], corners[i][2], n, -n, n,
                                           0.4f * i + shift, 0.2f * i));
            if (lightMap) m.lightMap.push_back({{uint16_t(9000 * i), uint16_t(65535 - 7000 * i)}});
        }
        m.indices = {0, 1, 4, 1, 2, 4, 2, 3, 4, 3, 0, 4};
        return m;
    };
    MshGroup body, unnamed;
    body.name = "body";
    body.meshes = {mesh(0, 0.0f, true), mesh(1, 0.1f, false)};
    unnamed.meshes = {mesh(1, 0.3f, false)};
    d.groups = {body, unnamed};
    return bytesOf(buildMsh(d));
}

void expectSameMesh(const KxRlMesh *a, const KxRlMesh *b) {
    ASSERT_EQ(a->getVertexCount(), b->getVertexCount());
    ASSERT_EQ(a->getIndexCount(), b->getIndexCount());
    for (int i = 0; i < a->getIndexCount(); i++) EXPECT_EQ(a->getIndexList()[i], b->getIndexList()[i]) << i;
    // Position, normal and texture co-ordinates: the 8 floats of each vertex.
    const float *v = &a->getVertexList()[0].position.x, *w = &b->getVertexList()[0].position.x;
    for (int i = 0; i < 8 * a->getVertexCount(); i++) EXPECT_NEAR(v[i], w[i], 1e-4) << "vertex " << i / 8;
    ASSERT_EQ(a->getLightMapList() != nullptr, b->getLightMapList() != nullptr);
    for (int i = 0; a->getLightMapList() && i < a->getVertexCount(); i++) {
        EXPECT_NEAR(a->getLightMapList()[i].x, b->getLightMapList()[i].x, 2.0 / 65535) << i;
        EXPECT_NEAR(a->getLightMapList()[i].y, b->getLightMapList()[i].y, 2.0 / 65535) << i;
    }
    for (int slot = 0; slot < 4; slot++) EXPECT_STREQ(slotName(a, slot), slotName(b, slot)) << "slot " << slot;
    for (int i = 4; i < KXRL_MATERIAL_RAW_SIZE; i++)
        EXPECT_EQ(a->getMaterial()->getRawData()[i], b->getMaterial()->getRawData()[i]) << "material byte " << i;
}

class RoundTrip : public testing::TestWithParam<const char *> {};

TEST_P(RoundTrip, keepsGeometryMaterialsAndCornerOrder) {
    const std::string form = GetParam();
    FakeInstall install;
    install.addGameFile("data/meshes/p_rt.msh", roundTripFile());
    std::vector<std::string> exportArgs = {"export", "p_rt.msh", "-o", "models"};
    if (form == ".glb") exportArgs.push_back("-glb");
    ASSERT_EQ(0, install.run("propbridge", exportArgs).status);
    ToolRun exported = install.run("propbridge", exportArgs);  // the files of the first run are replaced
    ASSERT_EQ(0, exported.status) << exported.output << exported.errors;
    EXPECT_NE(std::string::npos, exported.output.find("Exported glTF file models/p_rt" + form + "!\n"));
    keepForValidation(install, "models/p_rt" + form);

    ToolRun imported = install.run("propbridge", {"import", "models/p_rt" + form, "rt2"});
    ASSERT_EQ(0, imported.status) << imported.output << imported.errors;
    EXPECT_NE(std::string::npos, imported.output.find("Exported prop p_rt2!\n"));
    auto source = readMesh(install.gameFolder() + "/data/meshes/p_rt.msh");
    auto result = readPackage(install, "rt2");
    ASSERT_EQ(2, result->getMeshGroupCount());
    EXPECT_STREQ("body", result->getMeshGroup(0)->getName());
    EXPECT_STREQ("group01", result->getMeshGroup(1)->getName());
    for (int g = 0; g < 2; g++) {
        ASSERT_EQ(source->getMeshCount(g), result->getMeshCount(g));
        for (int m = 0; m < source->getMeshCount(g); m++) {
            SCOPED_TRACE("group " + std::to_string(g) + " mesh " + std::to_string(m));
            expectSameMesh(source->getMesh(g, m), result->getMesh(g, m));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothForms, RoundTrip, testing::Values(".gltf", ".glb"),
                         [](const testing::TestParamInfo<const char *> &info) { return std::string(info.param + 1); });

// ---------------------------------------------------------------------------------------
// Models made here, imported

// A triangle in glTF's X-Y plane facing +Z, drawn by one node.
int addTriangle(GltfModel &g, const std::string &name, bool root = true, bool normals = true) {
    int position = g.addFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, 3, true);
    int normal = normals ? g.addFloats({0, 0, 1, 0, 0, 1, 0, 0, 1}, 3) : -1;
    return g.addMeshNode(name, {GltfModel::primitive(position, normal, -1, -1)}, root);
}

struct ImportCase {
    const char *name;
    std::function<void(const FakeInstall &)> write;  // writes the model files into the work folder
    std::vector<std::string> arguments;
    std::vector<std::string> output;                  // lines expected on standard output
    std::function<void(const KxRlMeshFile &)> check;  // the package's mesh file
};

void writeWork(const FakeInstall &install, const std::string &name, const std::string &bytes) {
    install.addRootFile("work/" + name, bytes);
}

const std::vector<ImportCase> kImports = {
    {"boxAsGlb", [](const FakeInstall &i) { writeWork(i, "box.glb", boxModel().glb()); },
     {"box.glb", "box", "-cat", "3"}, {"Exported prop p_box!"},
     [](const KxRlMeshFile &f) {
         ASSERT_EQ(1, f.getMeshGroupCount());
         EXPECT_STREQ("box", f.getMeshGroup(0)->getName());
         ASSERT_EQ(2, f.getMeshCount(0));
         EXPECT_STREQ("red.dds", slotName(f.getMesh(0, 0), 0));
         EXPECT_STREQ("blue.dds", slotName(f.getMesh(0, 1), 0));
         // glTF's Y (height 0..4) is the game's Z; glTF's Z (-3..3) the game's -Y.
         std::array<float, 6> a = boxOf(f.getMesh(0, 0)), b = boxOf(f.getMesh(0, 1));
         std::array<float, 6> box = {{-1, -3, 0, 1, 3, 4}};
         for (int k = 0; k < 6; k++) EXPECT_NEAR(box[k], k < 3 ? std::fmin(a[k], b[k]) : std::fmax(a[k], b[k]), 1e-4);
         EXPECT_EQ(0, inwardFaces(f.getMesh(0, 0)) + inwardFaces(f.getMesh(0, 1)));
     }},
    {"boxAsJsonWithEmbeddedBuffer", [](const FakeInstall &i) { writeWork(i, "box.gltf", boxModel().json()); },
     {"box.gltf", "box", "-s", "0.5"}, {"Exported prop p_box!"},
     [](const KxRlMeshFile &f) {
         ASSERT_EQ(2, f.getMeshCount(0));
         EXPECT_EQ(12, f.getMesh(0, 0)->getVertexCount());
         EXPECT_NEAR(2.0f, boxOf(f.getMesh(0, 0))[5], 1e-4);  // scaled by 0.5
     }},
    {"nodeTreeWithRotationAndScale",
     [](const FakeInstall &i) {
         GltfModel g;
         int child = addTriangle(g, "tri", false);
         g.model.nodes[child].translation = {1, 0, 0};
         tinygltf::Node parent;
         parent.name = "parent";
         parent.rotation = {0, std::sqrt(0.5), 0, std::sqrt(0.5)};  // a quarter turn about +Y
         parent.scale = {2, 2, 2};
         parent.children = {child};
         g.model.nodes.push_back(parent);
         g.model.scenes[0].nodes = {static_cast<int>(g.model.nodes.size() - 1)};
         writeWork(i, "tree.glb", g.glb());
     },
     {"tree.glb", "tree"}, {"Exported prop p_tree!"},
     [](const KxRlMeshFile &f) {
         ASSERT_EQ(1, f.getMeshGroupCount());
         expectTriangle(f.getMesh(0, 0), {{{0, 2, 0}, {0, 4, 0}, {0, 2, 2}}}, {{1, 0, 0}});
     }},
    {"mirroringNodeKeepsFacesOut",
     [](const FakeInstall &i) {
         GltfModel g;
         int node = addTriangle(g, "tri");
         g.model.nodes[node].scale = {-1, 1, 1};
         writeWork(i, "mirror.glb", g.glb());
     },
     {"mirror.glb", "mirror"}, {"Exported prop p_mirror!"},
     [](const KxRlMeshFile &f) {
         EXPECT_NEAR(-1.0f, boxOf(f.getMesh(0, 0))[0], 1e-4);
         EXPECT_EQ(0, inwardFaces(f.getMesh(0, 0)));
         EXPECT_EQ(0, f.getMesh(0, 0)->getIndexList()[0]);
         EXPECT_EQ(2, f.getMesh(0, 0)->getIndexList()[1]);  // corners 1 and 2 swapped
     }},
    {"primitiveOf70000VerticesIsSplit",
     [](const FakeInstall &i) {
         // Two rows of 35,000 vertices, a quad between each pair of columns: 32-bit indices.
         GltfModel g;
         std::vector<float> positions, normals;
         std::vector<uint32_t> indices;
         for (uint32_t v = 0; v < 70000; v++) {
             positions.insert(positions.end(), {static_cast<float>(v / 2), static_cast<float>(v % 2), 0.0f});
             normals.insert(normals.end(), {0.0f, 0.0f, 1.0f});
         }
         for (uint32_t k = 0; k + 1 < 35000; k++)
             for (uint32_t c : {0u, 2u, 1u, 1u, 2u, 3u}) indices.push_back(2 * k + c);
         int index = g.addIndices(indices, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT);
         int position = g.addFloats(positions, 3, true), normal = g.addFloats(normals, 3);
         g.addMeshNode("strip", {GltfModel::primitive(position, normal, index, -1)});
         writeWork(i, "big.glb", g.glb());
     },
     {"big.glb", "big"},
     {"Note : mesh 0 (\"strip\"), primitive 0 has 70000 vertices; it is split into 2 meshes of at most 65536",
      "Exported prop p_big!"},
     [](const KxRlMeshFile &f) {
         ASSERT_EQ(2, f.getMeshCount(0));
         EXPECT_EQ(65536, f.getMesh(0, 0)->getVertexCount());
         EXPECT_EQ(3 * 65534, f.getMesh(0, 0)->getIndexCount());
         EXPECT_EQ(4466, f.getMesh(0, 1)->getVertexCount());
         EXPECT_EQ(3 * 4464, f.getMesh(0, 1)->getIndexCount());
         EXPECT_NEAR(34999.0f, boxOf(f.getMesh(0, 1))[3], 0.1);
     }},
    {"withoutNormalsFlatOnes",
     [](const FakeInstall &i) {
         GltfModel g;
         addTriangle(g, "flat", true, false);
         writeWork(i, "flat.gltf", g.json());
     },
     {"flat.gltf", "flat"},
     {"Note : mesh 0 (\"flat\"), primitive 0 has no normals; each triangle gets its own (flat shading)",
      "Exported prop p_flat!"},
     [](const KxRlMeshFile &f) {
         const KxRlMesh *m = f.getMesh(0, 0);
         EXPECT_NEAR(-1.0f, m->getVertexList()[0].normal.y, 1e-3);  // glTF +Z is the game's -Y
         EXPECT_EQ(0, inwardFaces(m));
     }},
    {"stripAndFanWithSmallIndices",
     [](const FakeInstall &i) {
         // A 2 x 1 quad in glTF's X-Z plane facing up (+Y), once as a strip, once as a fan.
         GltfModel g;
         int strip = g.addFloats({0, 0, 0, 0, 0, 1, 2, 0, 0, 2, 0, 1}, 3, true);
         int fan = g.addFloats({0, 0, 0, 0, 0, 1, 2, 0, 1, 2, 0, 0}, 3, true);
         int up = g.addFloats({0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0}, 3);
         int bytes = g.addIndices({0, 1, 2, 3}, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE);
         int shorts = g.addIndices({0, 1, 2, 3}, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT);
         g.addMeshNode("quads", {GltfModel::primitive(strip, up, bytes, -1, TINYGLTF_MODE_TRIANGLE_STRIP),
                                 GltfModel::primitive(fan, up, shorts, -1, TINYGLTF_MODE_TRIANGLE_FAN)});
         writeWork(i, "quads.glb", g.glb());
     },
     {"quads.glb", "quads"}, {"Exported prop p_quads!"},
     [](const KxRlMeshFile &f) {
         ASSERT_EQ(2, f.getMeshCount(0));
         for (int m = 0; m < 2; m++) {
             EXPECT_EQ(6, f.getMesh(0, m)->getIndexCount());
             EXPECT_EQ(0, inwardFaces(f.getMesh(0, m))) << m;
         }
     }},
    {"sparseStridedAccessorsAndLinesLeftOut",
     [](const FakeInstall &i) {
         GltfModel g;
         int position = g.addFloats({0, 0, 0, 9, 9, 9, 0, 1, 0}, 3, false, 20);
         int normal = g.addFloats({0, 0, 1, 0, 0, 1, 0, 0, 1}, 3, false, 16);
         // Vertex 1 comes from a sparse substitution: (1, 0, 0).
         tinygltf::Accessor &a = g.model.accessors[static_cast<size_t>(position)];
         a.sparse.isSparse = true;
         a.sparse.count = 1;
         int sparseIndex = g.addIndices({1}, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE);
         int sparseValue = g.addFloats({1, 0, 0}, 3);
         tinygltf::Accessor &b = g.model.accessors[static_cast<size_t>(position)];
         b.sparse.indices.bufferView = g.model.accessors[static_cast<size_t>(sparseIndex)].bufferView;
         b.sparse.indices.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
         b.sparse.indices.byteOffset = b.sparse.values.byteOffset = 0;
         b.sparse.values.bufferView = g.model.accessors[static_cast<size_t>(sparseValue)].bufferView;
         g.addMeshNode("sparse", {GltfModel::primitive(position, normal, -1, -1),
                                  GltfModel::primitive(position, -1, -1, -1, TINYGLTF_MODE_LINE)});
         writeWork(i, "sparse.glb", g.glb());
     },
     {"sparse.glb", "sparse"},
     {"Warning : mesh 0 (\"sparse\"), primitive 1 draws lines, which a prop cannot hold; it is left out",
      "Exported prop p_sparse!"},
     [](const KxRlMeshFile &f) {
         ASSERT_EQ(1, f.getMeshCount(0));
         EXPECT_NEAR(1.0f, boxOf(f.getMesh(0, 0))[3], 1e-4);  // max X: the substituted vertex
         EXPECT_NEAR(1.0f, boxOf(f.getMesh(0, 0))[5], 1e-4);  // max Z
     }},
    // As an editor writes a model: objects (nodes) named apart from their mesh data, a picture
    // kept inside the file, a picture file that is no .dds, a material that lost its picture
    // but kept its name, with the suffix an editor adds to a name used twice.
    {"picturesAndNamesFromAnEditor",
     [](const FakeInstall &i) {
         GltfModel g;
         tinygltf::Image cushion = g.embeddedPicture("cushion", "image/png"), wood;
         wood.uri = "textures/wood%20dark.jpg";
         int embedded = g.addMaterial("Material", &cushion), named = g.addMaterial("glass.dds.002", nullptr),
             file = g.addMaterial("Material.001", &wood);
         int position = g.addFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, 3, true);
         int seat = g.addMeshNode("Cylinder", {GltfModel::primitive(position, -1, -1, embedded),
                                               GltfModel::primitive(position, -1, -1, named)});
         g.model.nodes[static_cast<size_t>(seat)].name = "seat";
         g.addMeshNode("Cube", {GltfModel::primitive(position, -1, -1, file)});
         writeWork(i, "editor.glb", g.glb());
     },
     {"editor.glb", "editor"},
     {"Note : material 0 (\"Material\"): the game loads .dds textures: convert cushion.png to cushion.dds",
      "Note : material 2 (\"Material.001\"): the game loads .dds textures: convert wood dark.jpg to wood dark.dds",
      "Exported prop p_editor!"},
     [](const KxRlMeshFile &f) {
         ASSERT_EQ(2, f.getMeshGroupCount());
         EXPECT_STREQ("seat", f.getMeshGroup(0)->getName());
         EXPECT_STREQ("Cube", f.getMeshGroup(1)->getName());
         ASSERT_EQ(2, f.getMeshCount(0));
         EXPECT_STREQ("cushion.dds", slotName(f.getMesh(0, 0), 0));
         EXPECT_STREQ("glass.dds", slotName(f.getMesh(0, 1), 0));
         EXPECT_STREQ("wood dark.dds", slotName(f.getMesh(1, 0), 0));
     }},
    // Two joints: J0 at (0, 0.5, 0) with the inverse of that as its inverse bind matrix, J1 its
    // child one unit along X and turned a quarter round Z, with the identity. The node drawing
    // the mesh stands at (5, 0, 0), which a skinned mesh ignores. Vertex 0 follows J0 alone (it
    // stays at 0), vertex 1 = (1, 0, 0) both by half: ((1, 0, 0) + (1, 1.5, 0)) / 2 = (1, 0.75,
    // 0); vertex 2 = (0, 1, 0) J1 alone: (-1, 0, 0) + (1, 0.5, 0) = (0, 0.5, 0).
    {"skinnedMeshInItsBindPose",
     [](const FakeInstall &i) {
         GltfModel g;
         tinygltf::Primitive p = GltfModel::primitive(g.addFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, 3, true),
                                                      g.addFloats({0, 0, 1, 0, 0, 1, 0, 0, 1}, 3), -1, -1);
         p.attributes["JOINTS_0"] = g.addJoints({0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0});
         p.attributes["WEIGHTS_0"] = g.addFloats({1, 0, 0, 0, 0.5f, 0.5f, 0, 0, 1, 0, 0, 0}, 4);
         int drawn = g.addMeshNode("skinned", {p});
         g.model.nodes[static_cast<size_t>(drawn)].translation = {5, 0, 0};
         g.model.nodes[static_cast<size_t>(drawn)].skin = 0;
         tinygltf::Node j0, j1;
         j0.translation = {0, 0.5, 0};
         j0.children = {drawn + 2};
         j1.translation = {1, 0, 0};
         j1.rotation = {0, 0, std::sqrt(0.5), std::sqrt(0.5)};
         g.model.nodes.push_back(j0);
         g.model.nodes.push_back(j1);
         g.model.scenes[0].nodes.push_back(drawn + 1);
         tinygltf::Skin skin;
         skin.joints = {drawn + 1, drawn + 2};
         skin.inverseBindMatrices = g.addFloats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -0.5f, 0, 1,
                                                 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 16);
         g.model.accessors.back().type = TINYGLTF_TYPE_MAT4;
         g.model.skins.push_back(skin);
         writeWork(i, "skinned.glb", g.glb());
     },
     {"skinned.glb", "skinned"}, {"Exported prop p_skinned!"},
     [](const KxRlMeshFile &f) {
         // In the game's axes: glTF's (x, y, z) is (x, -z, y).
         expectTriangle(f.getMesh(0, 0), {{{0, 0, 0}, {1, 0, 0.75f}, {0, 0, 0.5f}}}, {{0, -1, 0}});
     }},
    // Values of the wrong type, which tinygltf would drop without a word: each is named, and
    // the rest of the model is read.
    {"schemaBreaksInAGlbAreNamedAndIgnored",
     [](const FakeInstall &i) {
         writeWork(i, "breaks.glb", boxModel().editedGlb([](nlohmann::json &model) {
             model["materials"][0]["pbrMetallicRoughness"]["baseColorTexture"]["index"] = "0";
             model["meshes"][0]["primitives"][1]["attributes"]["NORMAL"] = -2;
             model["nodes"][0]["translation"] = "far";
             model["materials"][1]["extras"] = {{"reelmara", {{"settings", "not hex"}}}};
         }));
     },
     {"breaks.glb", "breaks"},
     {"Warning : material 0: pbrMetallicRoughness.baseColorTexture.index is \"0\", not an index (a whole "
      "number from 0); it is ignored",
      "Warning : mesh 0 (\"box\"), primitive 1: attributes.NORMAL is -2, not an index (a whole number from 0); "
      "it is ignored",
      "Warning : node 0: translation is \"far\", not a list of numbers; it is ignored",
      "Warning : material 1: the reelmara custom property's settings is not 40 hex digits; it is ignored",
      "Note : mesh 0 (\"box\"), primitive 1 has no normals; each triangle gets its own (flat shading)",
      "Exported prop p_breaks!"},
     [](const KxRlMeshFile &f) {
         ASSERT_EQ(2, f.getMeshCount(0));
         EXPECT_STREQ("", slotName(f.getMesh(0, 0), 0));
         EXPECT_STREQ("blue.dds", slotName(f.getMesh(0, 1), 0));
     }},
    {"schemaBreakInJson",
     [](const FakeInstall &i) {
         writeWork(i, "break.gltf", boxModel().editedJson([](nlohmann::json &model) {
             // tinygltf would cut it to an int: 0, another material's texture.
             model["materials"][1]["pbrMetallicRoughness"]["baseColorTexture"]["index"] = 4294967296ull;
         }));
     },
     {"break.gltf", "break"},
     {"Warning : material 1: pbrMetallicRoughness.baseColorTexture.index is 4294967296, not an index (a whole "
      "number from 0); it is ignored"},
     [](const KxRlMeshFile &f) {
         EXPECT_STREQ("red.dds", slotName(f.getMesh(0, 0), 0));
         EXPECT_STREQ("", slotName(f.getMesh(0, 1), 0));
     }},
};

class Import : public testing::TestWithParam<ImportCase> {};

TEST_P(Import, writesThePropMeshlisterReports) {
    const ImportCase &c = GetParam();
    FakeInstall install;
    c.write(install);
    std::vector<std::string> arguments = {"import"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    ToolRun run = install.run("propbridge", arguments);
    EXPECT_EQ(0, run.status) << run.output << run.errors;
    for (const std::string &line : c.output) EXPECT_NE(std::string::npos, run.output.find(line + "\n")) << run.output;
    std::string prop = c.arguments[1];
    c.check(*readPackage(install, prop));
    // meshlister reads the package as the game would find it.
    ToolRun listed = install.run("meshlister", {"-newdata", "p_" + prop, "-r", "list.txt", "p_" + prop + ".msh"});
    EXPECT_EQ(0, listed.status) << listed.errors;
    EXPECT_NE(std::string::npos, withoutCarriageReturns(install.readWorkFile("list.txt")).find("GROUP #0 : \""));
    if (c.arguments.size() > 3 && c.arguments[2] == "-cat") {
        EXPECT_NE(std::string::npos, install.readWorkFile("p_" + prop + "/data/propblueprint/p_" + prop + ".ini")
                                         .find("category = " + c.arguments[3]));
    }
}

INSTANTIATE_TEST_SUITE_P(Models, Import, testing::ValuesIn(kImports),
                         [](const testing::TestParamInfo<ImportCase> &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Made by Blender 3.4 from propbridge's export of the example shelf, renamed and given a
// picture (blender/make_models.py says how): every object and texture name comes back.

struct BlenderCase {
    const char *name;
    std::vector<std::string> files;  // the model's files in blender/, the model first
    const char *booksTexture;        // the base texture of the seat's second mesh
    const char *note;
    bool settings;                   // the game's material settings travel (the books' colour)
};

const std::vector<BlenderCase> kBlenderModels = {
    {"defaultGlb", {"shelf_blender.glb"}, "cushion.dds",
     "Note : material 2 (\"demo_books.dds\"): the game loads .dds textures: convert cushion.png to cushion.dds", false},
    {"defaultSeparate", {"shelf_blender.gltf", "shelf_blender.bin", "cushion.png"}, "cushion.dds",
     "Note : material 2 (\"demo_books.dds\"): the game loads .dds textures: convert cushion.png to cushion.dds", false},
    // With Custom Properties the game's names travel too, and win over the new picture.
    {"customPropertiesGlb", {"shelf_blender_extras.glb"}, "demo_books.dds",
     "Note : material 2 (\"demo_books.dds\"): its base colour texture shows cushion.png, but its reelmara custom "
     "property names demo_books.dds, which is kept (delete the property to use the picture)", true},
};

class BlenderModel : public testing::TestWithParam<BlenderCase> {};

TEST_P(BlenderModel, comesBackWithEveryObjectAndTextureName) {
    const BlenderCase &c = GetParam();
    FakeInstall install;
    for (const std::string &file : c.files)
        writeWork(install, file, readFileBytes(buildFolderPath(std::string(KX_BLENDER_MODELS) + "/" + file)));
    ToolRun run = install.run("propbridge", {"import", c.files[0], "shelf"});
    ASSERT_EQ(0, run.status) << run.output << run.errors;
    EXPECT_NE(std::string::npos, run.output.find(std::string(c.note) + "\n")) << run.output;
    auto f = readPackage(install, "shelf");
    ASSERT_EQ(2, f->getMeshGroupCount());
    EXPECT_STREQ("legs", f->getMeshGroup(0)->getName());
    EXPECT_STREQ("seat", f->getMeshGroup(1)->getName());
    ASSERT_EQ(1, f->getMeshCount(0));
    ASSERT_EQ(2, f->getMeshCount(1));
    EXPECT_STREQ("demo_wood_dark.dds", slotName(f->getMesh(0, 0), 0));
    EXPECT_STREQ("demo_wood_light.dds", slotName(f->getMesh(1, 0), 0));  // from "demo_wood_light.dds.001"
    EXPECT_STREQ(c.booksTexture, slotName(f->getMesh(1, 1), 0));
    if (c.settings) {
        const uint8_t *raw = f->getMesh(1, 1)->getMaterial()->getRawData();
        EXPECT_EQ((std::vector<uint8_t>{0xC0, 0x80, 0x80, 0xFF}), std::vector<uint8_t>(raw + 16, raw + 20));
    }
    // The frame where the example game has it: the axes came back as they went.
    std::array<float, 6> frame = boxOf(f->getMesh(0, 0)), expected = {{0, 0, 0, 1.2f, 0.4f, 1.8f}};
    for (int k = 0; k < 6; k++) EXPECT_NEAR(expected[k], frame[k], 1e-4) << k;
    EXPECT_EQ(0, inwardFaces(f->getMesh(0, 0)));
}

INSTANTIATE_TEST_SUITE_P(Exports, BlenderModel, testing::ValuesIn(kBlenderModels),
                         [](const testing::TestParamInfo<BlenderCase> &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Broken models: a clear message, status 1, nothing of the package written

struct BadCase {
    const char *name;
    std::function<void(const FakeInstall &)> write;  // writes model.gltf or model.glb into the work folder
    const char *model;
    const char *reason;  // part of the stderr line
};

std::string withNesting(int depth) {
    std::string json = boxModel().json();
    return json.insert(json.find('{') + 1, "\"extras\":" + std::string(depth, '[') + std::string(depth, ']') + ",");
}

// The box as a .gltf at `model` whose buffer is the file `bin` (its bytes `binBytes`) instead of embedded.
void writeWithExternalBuffer(const FakeInstall &i, const std::string &model, const std::string &bin, size_t cut) {
    GltfModel box = boxModel();
    std::string bytes(box.model.buffers[0].data.begin(), box.model.buffers[0].data.end() - cut);
    std::string json = box.json();
    size_t uri = json.find("data:application/octet-stream;base64,");
    json.replace(uri, json.find('"', uri) - uri, "model.bin");
    writeWork(i, model, json);
    writeWork(i, bin, bytes);
}

const std::vector<BadCase> kBadFiles = {
    {"externalBufferShort", [](const FakeInstall &i) { writeWithExternalBuffer(i, "model.gltf", "model.bin", 8); },
     "model.gltf", "File size mismatch"},
    // tinygltf would also look in the current folder: only the model's own folder counts.
    {"externalBufferNotBesideTheModel",
     [](const FakeInstall &i) { writeWithExternalBuffer(i, "sub/model.gltf", "model.bin", 0); }, "sub/model.gltf",
     "File not found : model.bin"},
    {"brokenJson", [](const FakeInstall &i) { writeWork(i, "model.gltf", boxModel().json().substr(0, 200)); },
     "model.gltf", "not a valid glTF file"},
    {"accessorBeyondItsView",
     [](const FakeInstall &i) {
         GltfModel g = boxModel();
         g.model.accessors[0].count = 1000;
         writeWork(i, "model.glb", g.glb());
     },
     "model.glb", "accessor 0 reaches beyond the end of buffer view 0"},
    {"viewBeyondItsBuffer",
     [](const FakeInstall &i) {
         GltfModel g = boxModel();
         g.model.bufferViews[1].byteLength = 100000;
         writeWork(i, "model.glb", g.glb());
     },
     "model.glb", "reaches beyond the end of buffer 0"},
    {"indexOutOfRange",
     [](const FakeInstall &i) {
         GltfModel g;
         int p = g.addFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, 3, true);
         g.addMeshNode("t", {GltfModel::primitive(p, -1, g.addIndices({0, 1, 7}, 5123), -1)});
         writeWork(i, "model.glb", g.glb());
     },
     "model.glb", "has vertex number 7 among its indices, but 3 vertices"},
    {"nodeCycle",
     [](const FakeInstall &i) {
         GltfModel g = boxModel();
         g.model.nodes[0].children = {0};
         writeWork(i, "model.glb", g.glb());
     },
     "model.glb", "node 0 is reached twice"},
    {"textureNameTooLong",
     [](const FakeInstall &i) {
         GltfModel g = boxModel();
         g.model.images[0].uri = "a_texture_name_of_32_characters.dds";
         writeWork(i, "model.glb", g.glb());
     },
     "model.glb", "has 35 characters; a mesh file holds at most 31"},
    {"nestedTooDeep", [](const FakeInstall &i) { writeWork(i, "model.gltf", withNesting(100000)); }, "model.gltf",
     "nest deeper than 256 levels"},
    // Compressed data leaves the accessors without buffer views.
    {"requiresDraco",
     [](const FakeInstall &i) {
         GltfModel g = boxModel();
         g.model.extensionsUsed = g.model.extensionsRequired = {"KHR_draco_mesh_compression"};
         for (tinygltf::Accessor &accessor : g.model.accessors) accessor.bufferView = -1;
         writeWork(i, "model.gltf", g.json());
     },
     "model.gltf",
     "the model requires KHR_draco_mesh_compression, which propbridge does not read; decompress the model first"},
    {"requiredValueBreaksTheSchema",
     [](const FakeInstall &i) {
         writeWork(i, "model.glb",
                   boxModel().editedGlb([](nlohmann::json &model) { model["accessors"][2]["count"] = -4; }));
     },
     "model.glb", "accessor 2: count is -4, not a whole number from 0"},
    {"skinJointWithoutANode",
     [](const FakeInstall &i) {
         GltfModel g;
         tinygltf::Primitive p = GltfModel::primitive(g.addFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, 3, true), -1, -1, -1);
         p.attributes["JOINTS_0"] = g.addJoints({0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
         p.attributes["WEIGHTS_0"] = g.addFloats({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, 4);
         g.model.nodes[static_cast<size_t>(g.addMeshNode("skinned", {p}))].skin = 0;
         tinygltf::Skin skin;
         skin.joints = {0};
         g.model.skins.push_back(skin);
         writeWork(i, "model.glb", g.glb());
     },
     "model.glb", "gives vertex 1 joint 1, which skin 0 does not have (it has 1 joint)"},
    {"onlyLines",
     [](const FakeInstall &i) {
         GltfModel g;
         int p = g.addFloats({0, 0, 0, 1, 0, 0}, 3, true);
         g.addMeshNode("line", {GltfModel::primitive(p, -1, -1, -1, TINYGLTF_MODE_LINE)});
         writeWork(i, "model.glb", g.glb());
     },
     "model.glb", "the model holds no triangles"},
};

class BadFile : public testing::TestWithParam<BadCase> {};

TEST_P(BadFile, isReportedAndNothingIsWritten) {
    const BadCase &c = GetParam();
    FakeInstall install;
    c.write(install);
    ToolRun run = install.run("propbridge", {"import", c.model, "bad"});
    EXPECT_EQ(1, run.status) << run.output << run.errors;
    EXPECT_NE(std::string::npos, run.output.find(std::string("Could not load glTF file ") + c.model + "\n"))
        << run.output;
    EXPECT_NE(std::string::npos, run.errors.find(std::string("propbridge: ") + c.model + ": ")) << run.errors;
    EXPECT_NE(std::string::npos, run.errors.find(c.reason)) << run.errors;
    EXPECT_FALSE(install.workFileExists("p_bad"));
}

INSTANTIATE_TEST_SUITE_P(Models, BadFile, testing::ValuesIn(kBadFiles),
                         [](const testing::TestParamInfo<BadCase> &info) { return std::string(info.param.name); });

// Every prefix of a valid GLB file fails cleanly (run under the sanitizers, this catches any
// read past what the file holds).
TEST(BadFile, everyPrefixOfAGlbFails) {
    FakeInstall install;
    GltfModel g;
    addTriangle(g, "tri");
    std::string glb = g.glb();
    std::string path = install.workFile("prefix.glb");
    for (size_t length = 0; length < glb.size(); length++) {
        writeWork(install, "prefix.glb", glb.substr(0, length));
        EXPECT_THROW(delete GltfProp::CreateFromFile(path.c_str(), 1.0f), IOException) << length;
    }
    writeWork(install, "prefix.glb", glb);
    std::unique_ptr<GltfProp> whole(GltfProp::CreateFromFile(path.c_str(), 1.0f));
    EXPECT_EQ(1, whole->getGroupCount());
}

// ---------------------------------------------------------------------------------------
// The command line and export failures

TEST(Propbridge, commandLineAndExportFailures) {
    FakeInstall install;
    install.addGameFile("data/meshes/p_rt.msh", roundTripFile());
    install.addGameFile("data/meshes/props/p_two.msh", roundTripFile());
    EXPECT_EQ(0, install.run("propbridge", {}).status);
    EXPECT_EQ(2, install.run("propbridge", {"convert", "p_rt.msh"}).status);
    EXPECT_EQ(2, install.run("propbridge", {"import", "model.glb"}).status);
    ToolRun missingValue = install.run("propbridge", {"export", "p_rt.msh", "-o"});
    EXPECT_EQ(2, missingValue.status);
    EXPECT_FALSE(install.workFileExists("p_rt.gltf"));

    // A pattern over every source, folder parts kept below -o; a name no source has.
    ToolRun run = install.run("propbridge", {"export", "-o", "out", "props/p_*.msh", "p_nope.msh"});
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.output.find("Exported glTF file out/props/p_two.gltf!\n")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("Could not load mesh file p_nope.msh\n"));
    keepForValidation(install, "out/props/p_two.gltf");

    // A folder in the way of the .gltf: reported; the .bin written before stays as it was.
    fs::create_directories(install.workFile("p_rt.gltf"));
    writeWork(install, "p_rt.bin", "earlier");
    ToolRun blocked = install.run("propbridge", {"export", "p_rt.msh"});
    EXPECT_EQ(1, blocked.status);
    EXPECT_NE(std::string::npos, blocked.output.find("Error exporting glTF file p_rt.gltf : ")) << blocked.output;
    EXPECT_NE(std::string::npos, blocked.errors.find("propbridge: p_rt.gltf: ")) << blocked.errors;
    EXPECT_EQ("earlier", install.readWorkFile("p_rt.bin"));
}

}  // namespace
