#ifndef KX_FUZZ_FUZZSCRATCH_H
#define KX_FUZZ_FUZZSCRATCH_H

// The scratch folder of the fuzz entries: one per process below the system's temporary folder,
// made on first use and removed when the process ends normally. Entries write their input
// there (the readers read files) and let the code under test write there.

#include <cstddef>
#include <cstdint>
#include <string>

// The full path of `name` (which may hold folders) in the scratch folder.
std::string scratchPath(const std::string &name);
// Writes the bytes to `name` in the scratch folder, creating its folders; returns the path.
std::string writeScratchFile(const std::string &name, const uint8_t *data, size_t size);
// Removes `name` and everything below it, then makes it again as an empty folder.
std::string emptyScratchFolder(const std::string &name);
// The bytes of a file named in the suite's form or natively ("" when it cannot be read).
std::string readWholeFile(const std::string &path);

#endif
