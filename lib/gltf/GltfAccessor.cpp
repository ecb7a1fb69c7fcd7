#include "GltfAccessor.h"

#include "GltfFile.h"
#include "IOException.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

// An accessor without a buffer view has no data to bound its count: hold it to what a file
// could carry.
constexpr size_t kMaxElements = static_cast<size_t>(kGltfMaxFileSize);

IOException accessorError(int index, const std::string &what) {
    return IOException("accessor " + std::to_string(index) + " " + what);
}

int componentSize(int type) {
    switch (type) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
        return 4;
    default:
        return 0;  // not a component type of glTF 2.0 accessors
    }
}

// One component as a float, read byte by byte (the data need not be aligned).
float componentValue(const unsigned char *p, int type, bool normalized) {
    switch (type) {
    case TINYGLTF_COMPONENT_TYPE_BYTE: {
        int8_t c = static_cast<int8_t>(p[0]);
        return normalized ? std::fmax(c / 127.0f, -1.0f) : c;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return normalized ? p[0] / 255.0f : p[0];
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
        int16_t c;
        std::memcpy(&c, p, 2);
        return normalized ? std::fmax(c / 32767.0f, -1.0f) : c;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
        uint16_t c;
        std::memcpy(&c, p, 2);
        return normalized ? c / 65535.0f : c;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
        uint32_t c;
        std::memcpy(&c, p, 4);
        return normalized ? static_cast<float>(c / 4294967295.0) : static_cast<float>(c);
    }
    default: {
        float f;
        std::memcpy(&f, p, 4);
        return f;
    }
    }
}

uint32_t indexValue(const unsigned char *p, int type) {
    if (type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE) return p[0];
    if (type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT) {
        uint16_t c;
        std::memcpy(&c, p, 2);
        return c;
    }
    uint32_t c;
    std::memcpy(&c, p, 4);
    return c;
}

// Where `count` elements of `elementSize` bytes lie: in buffer view `view` from `offset` on,
// `stride` bytes apart (the view's own stride, or packed when it has none or `packed`).
struct Elements {
    const unsigned char *first = nullptr;
    size_t stride = 0;
};

Elements locate(const tinygltf::Model &model, int accessor, int view, size_t offset, size_t count, size_t elementSize,
                bool packed) {
    std::string where = "buffer view " + std::to_string(view);
    if (view < 0 || static_cast<size_t>(view) >= model.bufferViews.size())
        throw accessorError(accessor, "names " + where + ", which does not exist");
    const tinygltf::BufferView &bufferView = model.bufferViews[static_cast<size_t>(view)];
    if (bufferView.buffer < 0 || static_cast<size_t>(bufferView.buffer) >= model.buffers.size())
        throw accessorError(accessor, "reads " + where + ", whose buffer " + std::to_string(bufferView.buffer) +
                                          " does not exist");
    const std::vector<unsigned char> &data = model.buffers[static_cast<size_t>(bufferView.buffer)].data;
    if (bufferView.byteOffset > data.size() || bufferView.byteLength > data.size() - bufferView.byteOffset)
        throw accessorError(accessor, "reads " + where + ", which reaches beyond the end of buffer " +
                                          std::to_string(bufferView.buffer) + " (" + std::to_string(data.size()) +
                                          " bytes)");
    Elements elements;
    elements.stride = packed || bufferView.byteStride == 0 ? elementSize : bufferView.byteStride;
    if (elements.stride < elementSize)
        throw accessorError(accessor, "has elements of " + std::to_string(elementSize) + " bytes, but " + where +
                                          " places them " + std::to_string(elements.stride) + " bytes apart");
    if (count == 0) return elements;
    size_t length = bufferView.byteLength;
    if (offset > length || elementSize > length - offset ||
        count - 1 > (length - offset - elementSize) / elements.stride)
        throw accessorError(accessor, "reaches beyond the end of " + where + " (" + std::to_string(count) +
                                          " elements from byte " + std::to_string(offset) + " of " +
                                          std::to_string(length) + ")");
    elements.first = data.data() + bufferView.byteOffset + offset;
    return elements;
}

std::string typeName(int type) {
    switch (type) {
    case TINYGLTF_TYPE_SCALAR:
        return "SCALAR";
    case TINYGLTF_TYPE_MAT4:
        return "MAT4";
    default:
        return "VEC" + std::to_string(type);
    }
}

const tinygltf::Accessor &accessorAt(const tinygltf::Model &model, int index) {
    if (index < 0 || static_cast<size_t>(index) >= model.accessors.size())
        throw accessorError(index, "does not exist");
    return model.accessors[static_cast<size_t>(index)];
}

// Reads every element of the accessor as `components` values each, through `convert`
// (bytes of one component -> value), with the sparse substitutions applied.
template <typename Value, typename Convert>
std::vector<Value> readElements(const tinygltf::Model &model, int index, int components, Convert convert) {
    const tinygltf::Accessor &accessor = accessorAt(model, index);
    size_t component = static_cast<size_t>(componentSize(accessor.componentType));
    size_t elementSize = component * static_cast<size_t>(components);
    if (accessor.count > kMaxElements / elementSize)
        throw accessorError(index, "has " + std::to_string(accessor.count) + " elements, more than a file can hold");
    std::vector<Value> values(accessor.count * static_cast<size_t>(components), Value());
    if (accessor.bufferView >= 0) {
        Elements e = locate(model, index, accessor.bufferView, accessor.byteOffset, accessor.count, elementSize, false);
        for (size_t i = 0; i < accessor.count; i++)
            for (size_t c = 0; c < static_cast<size_t>(components); c++)
                values[i * components + c] = convert(e.first + i * e.stride + c * component);
    }
    if (!accessor.sparse.isSparse) return values;

    const auto &sparse = accessor.sparse;
    int indexType = sparse.indices.componentType;
    if (indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
        throw accessorError(index, "has sparse indices that are not unsigned integers");
    if (sparse.count < 1 || static_cast<size_t>(sparse.count) > accessor.count || sparse.indices.byteOffset < 0 ||
        sparse.values.byteOffset < 0)
        throw accessorError(index, "has a sparse count or offset out of range");
    size_t count = static_cast<size_t>(sparse.count);
    Elements at = locate(model, index, sparse.indices.bufferView, static_cast<size_t>(sparse.indices.byteOffset), count,
                         static_cast<size_t>(componentSize(indexType)), true);
    Elements with = locate(model, index, sparse.values.bufferView, static_cast<size_t>(sparse.values.byteOffset), count,
                           elementSize, true);
    for (size_t i = 0; i < count; i++) {
        uint32_t target = indexValue(at.first + i * at.stride, indexType);
        if (target >= accessor.count)
            throw accessorError(index, "has sparse index " + std::to_string(target) + " beyond its " +
                                           std::to_string(accessor.count) + " elements");
        for (size_t c = 0; c < static_cast<size_t>(components); c++)
            values[target * components + c] = convert(with.first + i * with.stride + c * component);
    }
    return values;
}

}  // namespace

std::vector<float> readGltfFloats(const tinygltf::Model &model, int index, int type) {
    const tinygltf::Accessor &accessor = accessorAt(model, index);
    const int components = tinygltf::GetNumComponentsInType(static_cast<uint32_t>(type));
    if (accessor.type != type) throw accessorError(index, "is not of type " + typeName(type));
    if (componentSize(accessor.componentType) == 0)
        throw accessorError(index, "has a component type that glTF 2.0 does not allow");
    // Matrices of smaller components pad their columns; only float matrices are read.
    if (type == TINYGLTF_TYPE_MAT4 && accessor.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT)
        throw accessorError(index, "holds a matrix that is not of floats");
    int componentType = accessor.componentType;
    bool normalized = accessor.normalized;
    auto convert = [componentType, normalized](const unsigned char *p) {
        return componentValue(p, componentType, normalized);
    };
    std::vector<float> values = readElements<float>(model, index, components, convert);
    for (float v : values)
        if (!std::isfinite(v)) throw accessorError(index, "holds a value that is not a finite number");
    return values;
}

std::vector<uint32_t> readGltfIndices(const tinygltf::Model &model, int index) {
    const tinygltf::Accessor &accessor = accessorAt(model, index);
    int type = accessor.componentType;
    if (accessor.type != TINYGLTF_TYPE_SCALAR ||
        (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
         type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT))
        throw accessorError(index, "is used for indices but is not a SCALAR of unsigned 8, 16 or 32-bit integers");
    return readElements<uint32_t>(model, index, 1, [type](const unsigned char *p) { return indexValue(p, type); });
}

std::vector<uint32_t> readGltfJoints(const tinygltf::Model &model, int index) {
    const tinygltf::Accessor &accessor = accessorAt(model, index);
    int type = accessor.componentType;
    if (accessor.type != TINYGLTF_TYPE_VEC4 ||
        (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT))
        throw accessorError(index, "is used for joints but is not a VEC4 of unsigned 8 or 16-bit integers");
    return readElements<uint32_t>(model, index, 4, [type](const unsigned char *p) { return indexValue(p, type); });
}
