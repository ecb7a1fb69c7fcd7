#include "GltfSchema.h"

#include "IOException.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

using json = nlohmann::json;

enum class Kind {
    Index,      // a whole number from 0 that fits an int
    Unsigned,   // a whole number from 0 (byte offsets, lengths, counts)
    Integer,    // a whole number that fits an int (modes, targets, component types)
    Number,
    Boolean,
    Text,
    Numbers,    // an array of numbers
    Indices,    // an array of indices
    Texts,      // an array of texts
    Object,     // an object with the fields given
    Objects,    // an array of objects with the fields given
    IndexMap,   // an object whose every value is an index (a primitive's attributes)
    AlphaMode,  // OPAQUE, MASK or BLEND
};

struct Field {
    const char *name;
    Kind kind;
    bool required;         // the object cannot be read without it: a break is an error
    const Field *fields;   // Object and Objects: their fields, ended by a null name
    const char *label;     // Objects: what one element is called in messages
};

const Field kTextureInfo[] = {{"index", Kind::Index, false, nullptr, nullptr},
                              {"texCoord", Kind::Integer, false, nullptr, nullptr},
                              {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kNormalTextureInfo[] = {{"index", Kind::Index, false, nullptr, nullptr},
                                    {"texCoord", Kind::Integer, false, nullptr, nullptr},
                                    {"scale", Kind::Number, false, nullptr, nullptr},
                                    {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kOcclusionTextureInfo[] = {{"index", Kind::Index, false, nullptr, nullptr},
                                       {"texCoord", Kind::Integer, false, nullptr, nullptr},
                                       {"strength", Kind::Number, false, nullptr, nullptr},
                                       {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kPbr[] = {{"baseColorFactor", Kind::Numbers, false, nullptr, nullptr},
                      {"baseColorTexture", Kind::Object, false, kTextureInfo, nullptr},
                      {"metallicFactor", Kind::Number, false, nullptr, nullptr},
                      {"roughnessFactor", Kind::Number, false, nullptr, nullptr},
                      {"metallicRoughnessTexture", Kind::Object, false, kTextureInfo, nullptr},
                      {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kMaterial[] = {{"name", Kind::Text, false, nullptr, nullptr},
                           {"pbrMetallicRoughness", Kind::Object, false, kPbr, nullptr},
                           {"normalTexture", Kind::Object, false, kNormalTextureInfo, nullptr},
                           {"occlusionTexture", Kind::Object, false, kOcclusionTextureInfo, nullptr},
                           {"emissiveTexture", Kind::Object, false, kTextureInfo, nullptr},
                           {"emissiveFactor", Kind::Numbers, false, nullptr, nullptr},
                           {"alphaMode", Kind::AlphaMode, false, nullptr, nullptr},
                           {"alphaCutoff", Kind::Number, false, nullptr, nullptr},
                           {"doubleSided", Kind::Boolean, false, nullptr, nullptr},
                           {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kDdsSource[] = {{"source", Kind::Index, false, nullptr, nullptr},
                            {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kTextureExtensions[] = {{"MSFT_texture_dds", Kind::Object, false, kDdsSource, nullptr},
                                    {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kTexture[] = {{"name", Kind::Text, false, nullptr, nullptr},
                          {"sampler", Kind::Index, false, nullptr, nullptr},
                          {"source", Kind::Index, false, nullptr, nullptr},
                          {"extensions", Kind::Object, false, kTextureExtensions, nullptr},
                          {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kImage[] = {{"name", Kind::Text, false, nullptr, nullptr},
                        {"uri", Kind::Text, false, nullptr, nullptr},
                        {"mimeType", Kind::Text, false, nullptr, nullptr},
                        {"bufferView", Kind::Index, false, nullptr, nullptr},
                        {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kPrimitive[] = {{"attributes", Kind::IndexMap, true, nullptr, nullptr},
                            {"indices", Kind::Index, false, nullptr, nullptr},
                            {"material", Kind::Index, false, nullptr, nullptr},
                            {"mode", Kind::Integer, false, nullptr, nullptr},
                            {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kMesh[] = {{"name", Kind::Text, false, nullptr, nullptr},
                       {"primitives", Kind::Objects, true, kPrimitive, "primitive"},
                       {"weights", Kind::Numbers, false, nullptr, nullptr},
                       {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kNode[] = {{"name", Kind::Text, false, nullptr, nullptr},
                       {"camera", Kind::Index, false, nullptr, nullptr},
                       {"children", Kind::Indices, false, nullptr, nullptr},
                       {"skin", Kind::Index, false, nullptr, nullptr},
                       {"matrix", Kind::Numbers, false, nullptr, nullptr},
                       {"mesh", Kind::Index, false, nullptr, nullptr},
                       {"rotation", Kind::Numbers, false, nullptr, nullptr},
                       {"scale", Kind::Numbers, false, nullptr, nullptr},
                       {"translation", Kind::Numbers, false, nullptr, nullptr},
                       {"weights", Kind::Numbers, false, nullptr, nullptr},
                       {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kScene[] = {{"name", Kind::Text, false, nullptr, nullptr},
                        {"nodes", Kind::Indices, false, nullptr, nullptr},
                        {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kSkin[] = {{"name", Kind::Text, false, nullptr, nullptr},
                       {"inverseBindMatrices", Kind::Index, false, nullptr, nullptr},
                       {"skeleton", Kind::Index, false, nullptr, nullptr},
                       {"joints", Kind::Indices, true, nullptr, nullptr},
                       {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kSparseIndices[] = {{"bufferView", Kind::Index, true, nullptr, nullptr},
                                {"byteOffset", Kind::Unsigned, false, nullptr, nullptr},
                                {"componentType", Kind::Integer, true, nullptr, nullptr},
                                {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kSparseValues[] = {{"bufferView", Kind::Index, true, nullptr, nullptr},
                               {"byteOffset", Kind::Unsigned, false, nullptr, nullptr},
                               {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kSparse[] = {{"count", Kind::Index, true, nullptr, nullptr},
                         {"indices", Kind::Object, true, kSparseIndices, nullptr},
                         {"values", Kind::Object, true, kSparseValues, nullptr},
                         {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kAccessor[] = {{"name", Kind::Text, false, nullptr, nullptr},
                           {"bufferView", Kind::Index, false, nullptr, nullptr},
                           {"byteOffset", Kind::Unsigned, false, nullptr, nullptr},
                           {"componentType", Kind::Integer, true, nullptr, nullptr},
                           {"normalized", Kind::Boolean, false, nullptr, nullptr},
                           {"count", Kind::Unsigned, true, nullptr, nullptr},
                           {"type", Kind::Text, true, nullptr, nullptr},
                           {"max", Kind::Numbers, false, nullptr, nullptr},
                           {"min", Kind::Numbers, false, nullptr, nullptr},
                           {"sparse", Kind::Object, false, kSparse, nullptr},
                           {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kBufferView[] = {{"name", Kind::Text, false, nullptr, nullptr},
                             {"buffer", Kind::Index, true, nullptr, nullptr},
                             {"byteOffset", Kind::Unsigned, false, nullptr, nullptr},
                             {"byteLength", Kind::Unsigned, true, nullptr, nullptr},
                             {"byteStride", Kind::Unsigned, false, nullptr, nullptr},
                             {"target", Kind::Integer, false, nullptr, nullptr},
                             {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kBuffer[] = {{"name", Kind::Text, false, nullptr, nullptr},
                         {"uri", Kind::Text, false, nullptr, nullptr},
                         {"byteLength", Kind::Unsigned, true, nullptr, nullptr},
                         {nullptr, Kind::Index, false, nullptr, nullptr}};
const Field kDocument[] = {{"extensionsUsed", Kind::Texts, false, nullptr, nullptr},
                           {"extensionsRequired", Kind::Texts, false, nullptr, nullptr},
                           {"scene", Kind::Index, false, nullptr, nullptr},
                           {"scenes", Kind::Objects, false, kScene, "scene"},
                           {"nodes", Kind::Objects, false, kNode, "node"},
                           {"meshes", Kind::Objects, false, kMesh, "mesh"},
                           {"skins", Kind::Objects, false, kSkin, "skin"},
                           {"materials", Kind::Objects, false, kMaterial, "material"},
                           {"textures", Kind::Objects, false, kTexture, "texture"},
                           {"images", Kind::Objects, false, kImage, "image"},
                           {"accessors", Kind::Objects, false, kAccessor, "accessor"},
                           {"bufferViews", Kind::Objects, false, kBufferView, "buffer view"},
                           {"buffers", Kind::Objects, false, kBuffer, "buffer"},
                           {nullptr, Kind::Index, false, nullptr, nullptr}};

// Extensions that change nothing this reader takes from a model, so a model may require them.
const char *const kReadableExtensions[] = {"MSFT_texture_dds", "KHR_mesh_quantization", "KHR_materials_unlit"};

// What the document's own values are said to belong to.
const char *const kWholeModel = "the model";

bool isIntegerIn(const json &value, int64_t low, int64_t high) {
    if (value.is_number_unsigned()) return value.get<uint64_t>() <= static_cast<uint64_t>(high);
    if (!value.is_number_integer()) return false;
    int64_t v = value.get<int64_t>();
    return v >= low && v <= high;
}

bool isIndex(const json &value) { return isIntegerIn(value, 0, INT_MAX); }

template <typename Test>
bool isArrayOf(const json &value, Test test) {
    if (!value.is_array()) return false;
    for (const json &element : value)
        if (!test(element)) return false;
    return true;
}

bool fits(const json &value, Kind kind) {
    switch (kind) {
    case Kind::Index:
        return isIndex(value);
    case Kind::Unsigned:
        return value.is_number_unsigned();
    case Kind::Integer:
        return isIntegerIn(value, INT_MIN, INT_MAX);
    case Kind::Number:
        return value.is_number();
    case Kind::Boolean:
        return value.is_boolean();
    case Kind::Text:
        return value.is_string();
    case Kind::Numbers:
        return isArrayOf(value, [](const json &v) { return v.is_number(); });
    case Kind::Indices:
        return isArrayOf(value, isIndex);
    case Kind::Texts:
        return isArrayOf(value, [](const json &v) { return v.is_string(); });
    case Kind::Object:
    case Kind::IndexMap:
        return value.is_object();
    case Kind::Objects:
        return value.is_array();
    case Kind::AlphaMode:
        return value == "OPAQUE" || value == "MASK" || value == "BLEND";
    }
    return false;
}

const char *expectation(Kind kind) {
    switch (kind) {
    case Kind::Index:
        return "an index (a whole number from 0)";
    case Kind::Unsigned:
        return "a whole number from 0";
    case Kind::Integer:
        return "a whole number";
    case Kind::Number:
        return "a number";
    case Kind::Boolean:
        return "true or false";
    case Kind::Text:
        return "a text";
    case Kind::Numbers:
        return "a list of numbers";
    case Kind::Indices:
        return "a list of indices";
    case Kind::Texts:
        return "a list of texts";
    case Kind::Object:
    case Kind::IndexMap:
        return "an object";
    case Kind::Objects:
        return "a list of objects";
    case Kind::AlphaMode:
        return "OPAQUE, MASK or BLEND";
    }
    return "";
}

// The value as the file writes it, cut to a length that fits a message.
std::string shown(const json &value) {
    std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
    const size_t kLongest = 40;
    return text.size() > kLongest ? text.substr(0, kLongest - 3) + "..." : text;
}

class SchemaCheck {
public:
    std::vector<std::string> removed;

    void checkObject(json &object, const Field *fields, const std::string &where, const std::string &path) {
        for (const Field *field = fields; field->name; field++) {
            auto found = object.find(field->name);
            if (found == object.end()) continue;
            const std::string name = path + field->name;
            if (!fits(*found, field->kind)) {
                std::string text = where + ": " + name + " is " + shown(*found) + ", not " + expectation(field->kind);
                if (field->required) throw IOException(text);
                removed.push_back(text + "; it is ignored");
                object.erase(found);
                continue;
            }
            if (field->kind == Kind::Object) {
                checkObject(*found, field->fields, where, name + ".");
            } else if (field->kind == Kind::Objects) {
                checkElements(*found, *field, where);
            } else if (field->kind == Kind::IndexMap) {
                for (auto entry = found->begin(); entry != found->end();) {
                    if (isIndex(*entry)) {
                        ++entry;
                        continue;
                    }
                    removed.push_back(where + ": " + name + "." + entry.key() + " is " + shown(*entry) + ", not " +
                                      expectation(Kind::Index) + "; it is ignored");
                    entry = found->erase(entry);
                }
            }
        }
    }

private:
    // Each element of an array of objects, named "mesh 2 (\"box\")" (after `where` when nested).
    void checkElements(json &elements, const Field &field, const std::string &where) {
        for (size_t i = 0; i < elements.size(); i++) {
            json &element = elements[i];
            std::string label = std::string(field.label) + " " + std::to_string(i);
            auto name = element.is_object() ? element.find("name") : element.end();
            if (element.is_object() && name != element.end() && name->is_string())
                label += " (\"" + name->get<std::string>() + "\")";
            if (where != kWholeModel) label = where + ", " + label;
            // Objects are numbered by their place: one that is no object cannot be left out.
            if (!element.is_object()) throw IOException(label + " is " + shown(element) + ", not an object");
            checkObject(element, field.fields, label, "");
        }
    }
};

}  // namespace

std::vector<std::string> gltfRemoveSchemaBreaks(nlohmann::json *document) {
    if (!document->is_object()) throw IOException("the JSON text is not an object");
    SchemaCheck check;
    check.checkObject(*document, kDocument, kWholeModel, "");
    return check.removed;
}

std::vector<std::string> gltfUnreadableExtensions(const nlohmann::json &document) {
    std::vector<std::string> unreadable;
    if (!document.is_object()) return unreadable;
    auto required = document.find("extensionsRequired");
    if (required == document.end() || !required->is_array()) return unreadable;
    for (const json &extension : *required) {
        if (!extension.is_string()) continue;
        bool readable = false;
        for (const char *known : kReadableExtensions) readable = readable || extension == known;
        if (!readable) unreadable.push_back(extension.get<std::string>());
    }
    return unreadable;
}
