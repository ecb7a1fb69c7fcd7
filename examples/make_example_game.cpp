// Makes the miniature game installation that the demo runs the tools on:
//   <out>/game/data/meshes/p_demo_shelf.msh   a shelf: several groups and materials (loose file)
//   <out>/game/data/pak/demo.pak              holding data\meshes\p_demo_table.msh, a table whose
//                                             one mesh holds five separate objects (top and legs),
//                                             and the table's texture, data\textures\demo_wood_light.dds
//   <out>/game/data/meshes/p_demo_window.msh  a window frame, p_demo_door.msh a door in its frame and
//                                             p_demo_lamp.msh a standing lamp (loose files): the
//                                             props of the bundled rooms (examples/rooms/)
//   <out>/reelmara.reg                        a registry file naming <out>/game as the game folder
//                                             and <out>/documents as the user's documents folder
//   <out>/game/data/setdressing/p_demo_shelf.ini  the shelf's set-dressing INI (names its mesh); and
//                                             in demo.pak, data\setdressing\p_demo_desk.ini: a desk that
//                                             uses the table's mesh
//   <out>/documents/Reelmara/Set Dressing/Demo/demo_office.ini
//                                             an arrangement saved in the game: two tables, a desk
//                                             turned a quarter round, and two shelves
// The meshes are built from boxes and written with the suite's own MSH writer; the archive with
// the test-support archive writer.

#include "IOException.h"
#include "KxDMeshData.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlRebuiltProp.h"
#include "PakWriter.h"
#include "StandardFlags.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// An axis-aligned box from `low` to `high`: four vertices and two triangles per face, wound
// counter-clockwise seen from outside, texture 0..1 on every face.
KxDMeshData *box(float x0, float y0, float z0, float x1, float y1, float z1) {
    struct Face {
        float n[3], u[3], v[3];
    };
    static const Face faces[6] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {{-1, 0, 0}, {0, -1, 0}, {0, 0, 1}}, {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
        {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},   {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
    };
    static const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    const float centre[3] = {(x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2};
    const float half[3] = {(x1 - x0) / 2, (y1 - y0) / 2, (z1 - z0) / 2};
    KxDMeshData *data = new KxDMeshData();
    data->allocate(24, 12, false);
    _KxDTexVertex *vertex = data->getVertexList();
    uint16_t *index = data->getIndexList();
    for (int f = 0; f < 6; f++) {
        const Face &face = faces[f];
        for (int k = 0; k < 4; k++) {
            _KxDTexVertex &out = vertex[4 * f + k];
            float p[3];
            for (int a = 0; a < 3; a++)
                p[a] = centre[a] + half[a] * (face.n[a] + corners[k][0] * face.u[a] + corners[k][1] * face.v[a]);
            kxdVecSet(&out.position, p[0], p[1], p[2]);
            kxdVecSet(&out.normal, face.n[0], face.n[1], face.n[2]);
            kxdVecSet(&out.texture, (corners[k][0] + 1) / 2, (corners[k][1] + 1) / 2);
        }
        const uint16_t base = static_cast<uint16_t>(4 * f);
        const uint16_t triangles[6] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; i++) index[6 * f + i] = static_cast<uint16_t>(base + triangles[i]);
    }
    return data;
}

// Glues the boxes into one mesh and frees them.
KxDMeshData *glued(std::vector<KxDMeshData *> parts) {
    KxDMeshBinder binder;
    for (KxDMeshData *part : parts) binder.addMeshData(part);
    KxDMeshData *mesh = binder.getMeshData(0, false);
    for (KxDMeshData *part : parts) delete part;
    return mesh;
}

struct GroupSpec {
    const char *name;
    std::vector<KxDMeshData *> meshes;
    std::vector<KxRlMeshMaterial *> materials;
};

// Writes the groups as one MSH file through the suite's writer.
void writeModel(const std::string &path, std::vector<GroupSpec> groups) {
    std::vector<std::unique_ptr<KxRlMeshGroup>> built;
    KxRlRebuiltProp prop;
    for (GroupSpec &spec : groups) {
        built.emplace_back(KxRlMeshGroup::CreateFromData(static_cast<int>(spec.meshes.size()), spec.materials.data(),
                                                         spec.meshes.data()));
        KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(built.back().get());
        ref->setGroupName(spec.name);
        prop.addMeshGroupRef(ref);
        for (KxDMeshData *mesh : spec.meshes) delete mesh;
    }
    prop.exportMesh(path.c_str());
}

// A text as a quoted regedit value holds it: backslashes doubled.
std::string regeditText(const std::string &text) {
    std::string escaped;
    for (char c : text) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return escaped;
}

// A 64 x 64 texture in the DDS format (uncompressed 32-bit colour): light wood with darker grain
// that runs along it.
std::string woodTexture() {
    const uint32_t size = 64;
    std::string dds = "DDS ";
    auto word = [&dds](uint32_t value) {
        for (int i = 0; i < 4; i++) dds += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    // The header: size, flags (caps, height, width, pitch, pixel format), height, width, pitch,
    // depth, mipmap count, 11 reserved words; the pixel format: size, flags (RGB with alpha), no
    // four-character code, 32 bits, the red, green, blue and alpha masks; the caps (a texture).
    const uint32_t header[] = {124, 0x100F, size, size, size * 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               32, 0x41, 0, 32, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u, 0x1000,
                               0, 0, 0, 0};
    for (uint32_t value : header) word(value);
    for (uint32_t y = 0; y < size; y++)
        for (uint32_t x = 0; x < size; x++) {
            uint32_t grain = (y * 7 + (x * x) / 40) % 16 < 3 ? 40 : 0;
            word(0xFF000000u | ((0xD8 - grain) << 16) | ((0xB0 - grain) << 8) | (0x78 - grain / 2));
        }
    return dds;
}

std::string readAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char *const kUsage =
    "Usage: make_example_game <folder>\n"
    "Writes a miniature game installation into <folder> for trying the tools out:\n"
    "the game folder (loose meshes and an archive), a registry file naming it\n"
    "(reelmara.reg, for REELMARA_REGISTRY) and a documents folder with a saved\n"
    "set-dressing arrangement.\n";

}  // namespace

int main(int argc, char **argv) {
    if (answerStandardFlag("make_example_game", kUsage, argc, argv)) return 0;
    if (argc != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        fs::path out = fs::absolute(argv[1]);
        fs::create_directories(out / "game" / "data" / "meshes");
        fs::create_directories(out / "game" / "data" / "pak");

        KxRlMeshBitmap woodDark("demo_wood_dark.dds"), woodLight("demo_wood_light.dds"), books("demo_books.dds");
        KxRlMeshMaterial dark(&woodDark), light(&woodLight), spines(&books, false, 0xFF8080C0ul);

        // The shelf: a frame, two shelf boards, and a row of books with a material of its own.
        writeModel((out / "game" / "data" / "meshes" / "p_demo_shelf.msh").string(),
                   {{"frame",
                     {glued({box(0, 0, 0, 0.05f, 0.4f, 1.8f), box(1.15f, 0, 0, 1.2f, 0.4f, 1.8f),
                             box(0.05f, 0, 1.75f, 1.15f, 0.4f, 1.8f), box(0.05f, 0.38f, 0, 1.15f, 0.4f, 1.75f)})},
                     {&dark}},
                    {"shelves",
                     {glued({box(0.05f, 0, 0.6f, 1.15f, 0.38f, 0.63f), box(0.05f, 0, 1.2f, 1.15f, 0.38f, 1.23f)}),
                      glued({box(0.1f, 0.05f, 0.63f, 0.16f, 0.33f, 0.93f), box(0.17f, 0.05f, 0.63f, 0.25f, 0.33f, 0.9f),
                             box(0.26f, 0.05f, 0.63f, 0.3f, 0.33f, 0.95f)})},
                     {&light, &spines}}});

        // The props of the bundled rooms. The window and the door are modelled as cut-out props:
        // X along the wall, centred on X = 0, standing on Z = 0, the wall's plane at Y = 0.
        KxRlMeshBitmap frameWood("demo_frame.dds"), glassPane("demo_glass.dds"), doorWood("demo_door.dds"),
            lampShade("demo_lamp_shade.dds");
        KxRlMeshMaterial frameMaterial(&frameWood), glassMaterial(&glassPane, true, 0xC0E0F0A0ul),
            doorMaterial(&doorWood), shadeMaterial(&lampShade, false, 0xFFF0D080ul);
        const std::string meshes = (out / "game" / "data" / "meshes").string();
        writeModel(meshes + "/p_demo_window.msh",
                   {{"window",
                     {glued({box(-0.65f, -0.08f, -0.05f, 0.65f, 0.08f, 0.0f),
                             box(-0.65f, -0.08f, 1.2f, 0.65f, 0.08f, 1.25f),
                             box(-0.65f, -0.08f, 0.0f, -0.6f, 0.08f, 1.2f), box(0.6f, -0.08f, 0.0f, 0.65f, 0.08f, 1.2f),
                             box(-0.02f, -0.04f, 0.0f, 0.02f, 0.04f, 1.2f)}),
                      glued({box(-0.6f, -0.01f, 0.0f, 0.6f, 0.01f, 1.2f)})},
                     {&frameMaterial, &glassMaterial}}});
        writeModel(meshes + "/p_demo_door.msh",
                   {{"door",
                     {glued({box(-0.55f, -0.08f, 0.0f, -0.5f, 0.08f, 2.15f),
                             box(0.5f, -0.08f, 0.0f, 0.55f, 0.08f, 2.15f),
                             box(-0.55f, -0.08f, 2.1f, 0.55f, 0.08f, 2.15f)}),
                      glued({box(-0.48f, -0.03f, 0.0f, 0.48f, 0.03f, 2.08f),
                             box(0.3f, -0.09f, 1.0f, 0.4f, -0.03f, 1.04f)})},
                     {&frameMaterial, &doorMaterial}}});
        writeModel(meshes + "/p_demo_lamp.msh",
                   {{"lamp",
                     {glued({box(-0.2f, -0.2f, 0.0f, 0.2f, 0.2f, 0.04f),
                             box(-0.02f, -0.02f, 0.04f, 0.02f, 0.02f, 1.4f)}),
                      glued({box(-0.22f, -0.22f, 1.35f, 0.22f, 0.22f, 1.65f)})},
                     {&dark, &shadeMaterial}}});

        // The table: the top and four legs in one mesh, five separate objects.
        std::string tablePath = (out / "p_demo_table.msh").string();
        writeModel(tablePath, {{"table",
                                {glued({box(0, 0, 0.72f, 1.6f, 0.9f, 0.76f), box(0.05f, 0.05f, 0, 0.11f, 0.11f, 0.7f),
                                        box(1.49f, 0.05f, 0, 1.55f, 0.11f, 0.7f), box(0.05f, 0.79f, 0, 0.11f, 0.85f, 0.7f),
                                        box(1.49f, 0.79f, 0, 1.55f, 0.85f, 0.7f)})},
                                {&light}}});
        PakWriter pak(5);
        pak.add("data\\meshes\\", "p_demo_table.msh", readAll(tablePath), PakWriter::COMPRESSED);
        pak.add("data\\setdressing\\", "p_demo_desk.ini", "\tmesh = p_demo_table.msh\r\n");
        pak.add("data\\textures\\", "demo_wood_light.dds", woodTexture());
        pak.writeTo((out / "game" / "data" / "pak" / "demo.pak").string());
        fs::remove(tablePath);

        fs::create_directories(out / "game" / "data" / "setdressing");
        std::ofstream(out / "game" / "data" / "setdressing" / "p_demo_shelf.ini", std::ios::binary)
            << "\tmesh = p_demo_shelf.msh\r\n\r\n[finance]\r\n\tpurchasecost = 1.00\r\n";

        // The arrangement, as the game saves it: positions in the game's units, turns in radians.
        fs::path saved = out / "documents" / "Reelmara" / "Set Dressing" / "Demo";
        fs::create_directories(saved);
        std::ofstream arrangement(saved / "demo_office.ini", std::ios::binary);
        arrangement << "set=041\r\n";
        const struct {
            const char *name;
            float x, y, angle;
        } placed[] = {{"p_demo_table", 0, 0, 0},
                      {"p_demo_table", 0, -1.2f, 0},
                      {"p_demo_desk", 3.5f, -1.2f, 1.5707964f},
                      {"p_demo_shelf", 0.2f, 1.5f, 0},
                      {"p_demo_shelf", 1.5f, 1.5f, 0}};
        for (size_t i = 0; i < sizeof placed / sizeof placed[0]; i++) {
            char section[256];
            std::snprintf(section, sizeof section,
                          "[%u]\r\nname=%s\r\nposition.x=%f\r\nposition.y=%f\r\nposition.z=0.000000\r\nangle=%f\r\n",
                          static_cast<unsigned>(i), placed[i].name, placed[i].x, placed[i].y, placed[i].angle);
            arrangement << section;
        }
        arrangement.close();

        std::ofstream reg(out / "reelmara.reg", std::ios::binary);
        reg << "[HKEY_CURRENT_USER\\Software\\Brassnook Studios Ltd\\Reelmara]\n\"GameDir\"=\""
            << regeditText((out / "game").string()) << "\"\n"
            << "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"
            << "\"Personal\"=\"" << regeditText((out / "documents").string()) << "\"\n";
        std::printf("Example game written to %s\n", out.string().c_str());
    } catch (const IOException &e) {
        std::fprintf(stderr, "make_example_game: %s\n", e.getErrorString());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make_example_game: %s\n", e.what());
        return 1;
    }
    return 0;
}
