#ifndef KX_TESTS_PACKAGECHECKS_H
#define KX_TESTS_PACKAGECHECKS_H

// Checks of the tools' console output and of the prop packages they write, read back through
// the suite's own reader.

#include <array>
#include <memory>
#include <string>
#include <vector>

class KxRlMeshFile;

// The two lines every tool prints at start-up.
extern const char *const kToolStartLines;

// Expects each of `lines` in `output`, in this order (other text may stand between them).
void expectLinesInOrder(const std::string &output, const std::vector<std::string> &lines);

// Reads an MSH file (the test fails with the reader's text when it cannot be read).
std::unique_ptr<KxRlMeshFile> readPackageMesh(const std::string &path);

// Expects mesh `mesh` of group `group` to hold `vertices` vertices whose decoded positions
// span `box` (min X, Y, Z, max X, Y, Z) within the quantiser's step.
void expectMeshBox(const KxRlMeshFile &file, int group, int mesh, int vertices, std::array<float, 6> box);

// The texture name in material slot `slot` of a mesh, or "(none)".
const char *meshSlotName(const KxRlMeshFile &file, int group, int mesh, int slot);

// The bytes of a blueprint INI of `category`, and of a prop INI naming <propName>.msh.
std::string blueprintIniBytes(int category);
std::string propIniBytes(const std::string &propName);

#endif
