#ifndef KX_GLTF_GLTFACCESSOR_H
#define KX_GLTF_GLTFACCESSOR_H

// The values of a glTF accessor, whatever way the file stores them: interleaved (strided)
// or packed, as floats or as normalised or plain integers, with sparse substitutions, or with
// no buffer view at all (zeros). A model read from a file is untrusted: every index, offset,
// stride and count is checked against what it refers to before anything is read.

#include <tiny_gltf.h>

#include <cstdint>
#include <vector>

// The accessor `index` as floats, as many per element as `type` (TINYGLTF_TYPE_VEC2, _VEC3,
// _VEC4 or _MAT4; the accessor's type must be that one) has components; a matrix in column
// order, and only of floats. Normalised integers become -1..1 (signed) or 0..1 (unsigned),
// other integers their value. Throws IOException naming the accessor when the index is out of
// range, the type does not fit, the data reaches beyond its buffer view or buffer, a sparse
// index is out of range, or a value is not a finite number.
std::vector<float> readGltfFloats(const tinygltf::Model &model, int index, int type);

// The accessor `index` as vertex numbers: a SCALAR of unsigned 8, 16 or 32-bit integers.
// Throws IOException as readGltfFloats does.
std::vector<uint32_t> readGltfIndices(const tinygltf::Model &model, int index);

// The accessor `index` as joint numbers, four per vertex: a VEC4 of unsigned 8 or 16-bit
// integers (JOINTS_n). Throws IOException as readGltfFloats does.
std::vector<uint32_t> readGltfJoints(const tinygltf::Model &model, int index);

#endif
