#ifndef KX_GLTF_GLTFSCHEMA_H
#define KX_GLTF_GLTFSCHEMA_H

// The glTF 2.0 schema, checked on the JSON of a model before tinygltf reads it. tinygltf
// silently drops an optional value of the wrong type (a texture index written as "0") and
// wraps integers beyond its int (an index of 4294967296 would read as 0), so every value the
// import reads is checked here first: one that breaks the schema is removed from the
// document, so that it is ignored for certain, and reported.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// Removes from `document` each value that breaks the schema and can be left out, and returns
// one text per value removed, naming the object and the value ("material 0 (\"glass\"):
// pbrMetallicRoughness.baseColorTexture.index is \"0\", not an index (a whole number from 0);
// it is ignored"). A required value that breaks the schema (an accessor's count, a skin's
// joints ...) throws IOException naming it: the object cannot be read without it.
std::vector<std::string> gltfRemoveSchemaBreaks(nlohmann::json *document);

// The extensions `document` requires that this reader does not read, in their order.
std::vector<std::string> gltfUnreadableExtensions(const nlohmann::json &document);

#endif
