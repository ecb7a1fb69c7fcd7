#ifndef KX_GLTF_GLTFACCESSOR_H
#define KX_GLTF_GLTFACCESSOR_H

// The values of a glTF accessor, whatever way the file stores them: interleaved (strided)
// or packed, as floats or as normalised or plain integers, with sparse substitutions, or with
// no buffer view at all (zeros). A model read from a file is untrusted: every index, offset,
// stride and count is checked against what it refers to before anything is read.

#include <tiny_gltf.h>

#include <cstdint>
#include <vector>

// The accessor `index` as floats, `components` per element (2 for VEC2, 3 for VEC3; the
// accessor's type must match). Normalised integers become -1..1 (signed) or 0..1 (unsigned),
// other integers their value. Throws IOException naming the accessor when the index is out of
// range, the type does not fit, the data reaches beyond its buffer view or buffer, a sparse
// index is out of range, or a value is not a finite number.
std::vector<float> readGltfFloats(const tinygltf::Model &model, int index, int components);

// The accessor `index` as vertex numbers: a SCALAR of unsigned 8, 16 or 32-bit integers.
// Throws IOException as readGltfFloats does.
std::vector<uint32_t> readGltfIndices(const tinygltf::Model &model, int index);

#endif
