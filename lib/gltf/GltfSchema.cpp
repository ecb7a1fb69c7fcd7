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
    AlphaMode,  // OPAQUE, MASK or BLEND (the last kind)
};

struct Field {
    const char *name;
    Kind kind;
    bool required;         // the object cannot be read without it: a break is an error
    const Field *fields;   // Object and Objects: their fields, ended by a null name
    const char *label;     // Objects: what one element is called in messages
};

constexpr Field optional(const char *name, Kind kind) { return {name, kind, false, nullptr, nullptr}; }
constexpr Field required(const char *name, Kind kind) { return {name, kind, true, nullptr, nullptr}; }
constexpr Field object(const char *name, const Field *fields) { return {name, Kind::Object, false, fields, nullptr}; }
constexpr Field requiredObject(const char *name, const Field *fields) {
    return {name, Kind::Object, true, fields, nullptr};
}
constexpr Field objects(const char *name, const Field *fields, const char *label) {
    return {name, Kind::Objects, false, fields, label};
}
constexpr Field requiredObjects(const char *name, const Field *fields, const char *label) {
    return {name, Kind::Objects, true, fields, label};
}
constexpr Field kEnd = {nullptr, Kind::Index, false, nullptr, nullptr};

const Field kTextureInfo[] = {optional("index", Kind::Index), optional("texCoord", Kind::Integer), kEnd};
const Field kNormalTextureInfo[] = {optional("index", Kind::Index), optional("texCoord", Kind::Integer),
                                    optional("scale", Kind::Number), kEnd};
const Field kOcclusionTextureInfo[] = {optional("index", Kind::Index), optional("texCoord", Kind::Integer),
                                       optional("strength", Kind::Number), kEnd};
const Field kPbr[] = {optional("baseColorFactor", Kind::Numbers),
                      object("baseColorTexture", kTextureInfo),
                      optional("metallicFactor", Kind::Number),
                      optional("roughnessFactor", Kind::Number),
                      object("metallicRoughnessTexture", kTextureInfo),
                      kEnd};
const Field kMaterial[] = {optional("name", Kind::Text),
                           object("pbrMetallicRoughness", kPbr),
                           object("normalTexture", kNormalTextureInfo),
                           object("occlusionTexture", kOcclusionTextureInfo),
                           object("emissiveTexture", kTextureInfo),
                           optional("emissiveFactor", Kind::Numbers),
                           optional("alphaMode", Kind::AlphaMode),
                           optional("alphaCutoff", Kind::Number),
                           optional("doubleSided", Kind::Boolean),
                           kEnd};
const Field kDdsSource[] = {optional("source", Kind::Index), kEnd};
const Field kTextureExtensions[] = {object("MSFT_texture_dds", kDdsSource), kEnd};
const Field kTexture[] = {optional("name", Kind::Text), optional("sampler", Kind::Index),
                          optional("source", Kind::Index), object("extensions", kTextureExtensions), kEnd};
const Field kImage[] = {optional("name", Kind::Text), optional("uri", Kind::Text), optional("mimeType", Kind::Text),
                        optional("bufferView", Kind::Index), kEnd};
const Field kPrimitive[] = {required("attributes", Kind::IndexMap), optional("indices", Kind::Index),
                            optional("material", Kind::Index), optional("mode", Kind::Integer), kEnd};
const Field kMesh[] = {optional("name", Kind::Text), requiredObjects("primitives", kPrimitive, "primitive"),
                       optional("weights", Kind::Numbers), kEnd};
const Field kNode[] = {optional("name", Kind::Text),
                       optional("camera", Kind::Index),
                       optional("children", Kind::Indices),
                       optional("skin", Kind::Index),
                       optional("matrix", Kind::Numbers),
                       optional("mesh", Kind::Index),
                       optional("rotation", Kind::Numbers),
                       optional("scale", Kind::Numbers),
                       optional("translation", Kind::Numbers),
                       optional("weights", Kind::Numbers),
                       kEnd};
const Field kScene[] = {optional("name", Kind::Text), optional("nodes", Kind::Indices), kEnd};
const Field kSkin[] = {optional("name", Kind::Text), optional("inverseBindMatrices", Kind::Index),
                       optional("skeleton", Kind::Index), required("joints", Kind::Indices), kEnd};
const Field kSparseIndices[] = {required("bufferView", Kind::Index), optional("byteOffset", Kind::Unsigned),
                                required("componentType", Kind::Integer), kEnd};
const Field kSparseValues[] = {required("bufferView", Kind::Index), optional("byteOffset", Kind::Unsigned), kEnd};
const Field kSparse[] = {required("count", Kind::Index), requiredObject("indices", kSparseIndices),
                         requiredObject("values", kSparseValues), kEnd};
const Field kAccessor[] = {optional("name", Kind::Text),
                           optional("bufferView", Kind::Index),
                           optional("byteOffset", Kind::Unsigned),
                           required("componentType", Kind::Integer),
                           optional("normalized", Kind::Boolean),
                           required("count", Kind::Unsigned),
                           required("type", Kind::Text),
                           optional("max", Kind::Numbers),
                           optional("min", Kind::Numbers),
                           object("sparse", kSparse),
                           kEnd};
const Field kBufferView[] = {optional("name", Kind::Text),
                             required("buffer", Kind::Index),
                             optional("byteOffset", Kind::Unsigned),
                             required("byteLength", Kind::Unsigned),
                             optional("byteStride", Kind::Unsigned),
                             optional("target", Kind::Integer),
                             kEnd};
const Field kBuffer[] = {optional("name", Kind::Text), optional("uri", Kind::Text),
                         required("byteLength", Kind::Unsigned), kEnd};
const Field kDocument[] = {optional("extensionsUsed", Kind::Texts),
                           optional("extensionsRequired", Kind::Texts),
                           optional("scene", Kind::Index),
                           objects("scenes", kScene, "scene"),
                           objects("nodes", kNode, "node"),
                           objects("meshes", kMesh, "mesh"),
                           objects("skins", kSkin, "skin"),
                           objects("materials", kMaterial, "material"),
                           objects("textures", kTexture, "texture"),
                           objects("images", kImage, "image"),
                           objects("accessors", kAccessor, "accessor"),
                           objects("bufferViews", kBufferView, "buffer view"),
                           objects("buffers", kBuffer, "buffer"),
                           kEnd};

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

// What a value of each kind must be, in the order of Kind, for messages.
const char *const kExpectations[] = {
    "an index (a whole number from 0)", "a whole number from 0", "a whole number", "a number", "true or false",
    "a text", "a list of numbers", "a list of indices", "a list of texts", "an object", "a list of objects",
    "an object", "OPAQUE, MASK or BLEND"};
static_assert(sizeof kExpectations / sizeof kExpectations[0] == static_cast<size_t>(Kind::AlphaMode) + 1,
              "one text per kind");

const char *expectation(Kind kind) { return kExpectations[static_cast<size_t>(kind)]; }

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
