// Writes what scripts/bench.sh times paklister on: archives in <game folder>/data/pak holding
// <entries> files in all, as a game ships them: set-dressing and prop INI files (compressed),
// meshes (compressed) and textures (stored), in a hundred folders of each kind. One file in
// twenty is in two archives, the newer one winning.
//   make_bench_paks <game folder> <entries> <archives>

#include "PakWriter.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A few hundred bytes of INI text.
std::string iniText(int i) {
    std::string text = "\tmesh = p_bench" + std::to_string(i) + ".msh\r\n\r\n[finance]\r\n";
    for (int k = 0; k < 8; k++) text += "\tvalue" + std::to_string(k) + " = " + std::to_string(i * 31 + k) + "\r\n";
    return text;
}

// About a kilobyte of mesh-like words: small co-ordinates that repeat now and then.
std::string meshBytes(int i) {
    std::string bytes;
    uint32_t state = static_cast<uint32_t>(i) * 2654435761u + 1;
    for (int k = 0; k < 256; k++) {
        state = state * 1103515245u + 12345u;
        uint32_t word = (state >> 16) & 0x3FF;
        for (int b = 0; b < 4; b++) bytes += static_cast<char>((word >> (8 * b)) & 0xFF);
    }
    return bytes;
}

// Two kilobytes of texture-like bytes (already packed by the texture format, so stored).
std::string textureBytes(int i) {
    std::string bytes = "DDS ";
    uint32_t state = static_cast<uint32_t>(i) * 40503u + 7;
    while (bytes.size() < 2048) {
        state = state * 1664525u + 1013904223u;
        bytes += static_cast<char>(state >> 24);
    }
    return bytes;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "Usage: make_bench_paks <game folder> <entries> <archives>\n");
        return 2;
    }
    const std::string game = argv[1];
    const int entries = std::atoi(argv[2]), archives = std::atoi(argv[3]);
    if (entries < 1 || archives < 1) return 2;
    std::filesystem::create_directories(game + "/data/pak");
    int written = 0;
    for (int a = 0; a < archives; a++) {
        PakWriter pak(5);
        int count = entries / archives + (a < entries % archives ? 1 : 0);
        for (int n = 0; n < count; n++, written++) {
            // Every twentieth file of an archive after the first repeats a file of the one before.
            int i = a > 0 && n % 20 == 0 ? written - count : written;
            std::string folder = std::to_string(i % 100) + "\\";
            switch (i % 10) {
            case 0:
                pak.add("data\\textures\\t" + folder, "bench" + std::to_string(i) + ".dds", textureBytes(i));
                break;
            case 1:
            case 2:
            case 3:
                pak.add("data\\meshes\\m" + folder, "p_bench" + std::to_string(i) + ".msh", meshBytes(i),
                        PakWriter::COMPRESSED);
                break;
            default:
                pak.add("data\\props\\p" + folder, "p_bench" + std::to_string(i) + ".ini", iniText(i),
                        PakWriter::COMPRESSED);
                break;
            }
        }
        char name[32];
        std::snprintf(name, sizeof name, "bench%02d.pak", a);
        std::string path = game + "/data/pak/" + name;
        pak.writeTo(path);
        // Later archives are newer, so that they win where they repeat a file.
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::hours(archives - a));
    }
    std::printf("%d entries in %d archives in %s/data/pak\n", entries, archives, game.c_str());
    return 0;
}
