// The floor of a timed tool run: the least work that produces the same files. Reads the input
// file whole, then writes every file of a listing with its size, filled with input bytes.
//   write_floor <input file> <listing> <output folder>
// The listing has one "<size> <relative path>" line per file, as `find -printf '%s %P\n'`
// prints them; folders named in the paths are created first.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "Usage: write_floor <input file> <listing> <output folder>\n");
        return 2;
    }
    std::FILE *in = std::fopen(argv[1], "rb");
    if (!in) {
        std::fprintf(stderr, "write_floor: %s: cannot open\n", argv[1]);
        return 1;
    }
    std::vector<char> input;
    char block[1 << 16];
    for (size_t n; (n = std::fread(block, 1, sizeof block, in)) > 0;) input.insert(input.end(), block, block + n);
    std::fclose(in);
    if (input.empty()) input.push_back(0);

    std::ifstream listing(argv[2]);
    std::filesystem::path root(argv[3]);
    unsigned long long size;
    std::string name;
    size_t offset = 0;
    while (listing >> size && std::getline(listing >> std::ws, name)) {
        std::filesystem::path path = root / name;
        std::filesystem::create_directories(path.parent_path());
        std::FILE *out = std::fopen(path.string().c_str(), "wb");
        if (!out) {
            std::fprintf(stderr, "write_floor: %s: cannot create\n", path.string().c_str());
            return 1;
        }
        for (unsigned long long left = size; left > 0;) {
            size_t n = input.size() - offset;
            if (n > left) n = static_cast<size_t>(left);
            if (std::fwrite(input.data() + offset, 1, n, out) != n) {
                std::fprintf(stderr, "write_floor: %s: cannot write\n", path.string().c_str());
                return 1;
            }
            left -= n;
            offset = (offset + n) % input.size();
        }
        if (std::fclose(out) != 0) {
            std::fprintf(stderr, "write_floor: %s: cannot write\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
