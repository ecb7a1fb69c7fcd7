// The floor of paklister's list in scripts/bench.sh: reads the catalogues of every archive of a
// PAK folder, as every tool does at start-up, and nothing else.
//   read_catalogues <pak folder> <cache folder>

#include "IOException.h"
#include "KxRlPakRegistry.h"

#include <cstdio>
#include <memory>

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: read_catalogues <pak folder> <cache folder>\n");
        return 2;
    }
    try {
        std::unique_ptr<KxRlPakRegistry> registry(KxRlPakRegistry::CreateFromPath(argv[2], argv[1]));
        std::printf("%d entries in %d archives\n", registry->getSortedCount(), registry->getPakCount());
    } catch (const IOException &e) {
        std::fprintf(stderr, "read_catalogues: %s\n", e.describe().c_str());
        return 1;
    }
    return 0;
}
