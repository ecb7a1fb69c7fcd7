#ifndef KX_GLTF_GLTFFILE_H
#define KX_GLTF_GLTFFILE_H

// glTF 2.0 files on disk, through tinygltf: a model read from a .gltf (with external or
// embedded buffers) or a .glb file, and a model written as .gltf + .bin or as one .glb. Every
// file is read through the platform layer, so paths are the suite's own (either separator,
// any case on POSIX). Texture pictures are never read: only their names are used.

#include <tiny_gltf.h>

#include <cstdint>
#include <string>
#include <vector>

// The largest file read, whether the model or one of its buffers: each is held in memory whole.
constexpr uint64_t kGltfMaxFileSize = 1ull << 30;
// The deepest nesting of JSON arrays and objects accepted (glTF itself needs about six levels;
// the rest is room for extras). Deeper files are refused before tinygltf walks them.
constexpr int kGltfMaxJsonDepth = 256;

// Reads the model at `path` into `model`; a file that begins with the GLB magic is read as
// binary glTF, any other as JSON. External buffers are looked for beside the model file only,
// and every buffer must be there, whole. Values that break the glTF schema and can be left out
// are left out, each with a text in `removed` (when given) that names it (see GltfSchema.h).
// Throws IOException with a text saying what is wrong: the file cannot be opened or read, is
// too large, is not glTF, JSON that is broken or nested too deep, a required value that breaks
// the schema, an extension the model requires that is not read here (named, with what to do),
// a missing or short buffer, or tinygltf's own error text.
void loadGltfModel(const char *path, tinygltf::Model *model, std::vector<std::string> *removed = nullptr);

// Writes `model` (buffer 0 holding all the data, its uri set here) as `basePath` + ".glb", or as `basePath` +
// ".gltf" with the data in `basePath` + ".bin", which the .gltf names by its file name. The
// files are written under temporary names, read back to check that they are whole, and only
// then moved over the final names, so a failure leaves earlier files at those names as they
// were. Throws IOException naming the file and the reason.
void saveGltfModel(tinygltf::Model *model, const char *basePath, bool binary);

#endif
