// One libFuzzer program per entry function: the build names the entry in KX_FUZZ_ENTRY.

#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return KX_FUZZ_ENTRY(data, size); }
