// The one translation unit that compiles tinygltf's implementation (and the JSON parser it
// uses) for the glTF conversion.
#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
