#include "GltfSkin.h"

#include "GltfAccessor.h"
#include "IOException.h"

#include <cmath>
#include <string>

namespace {

// Weights whose sum is this close to 1 are taken as they are.
const double kWeightTolerance = 1e-3;

int attributeOf(const tinygltf::Primitive &primitive, const std::string &name) {
    auto found = primitive.attributes.find(name);
    return found == primitive.attributes.end() ? -1 : found->second;
}

}  // namespace

GltfSkinning::GltfSkinning(const tinygltf::Model &model, int skin, const std::vector<GltfMatrix> &worlds,
                           const tinygltf::Primitive &primitive, size_t vertexCount) {
    const tinygltf::Skin &source = model.skins[static_cast<size_t>(skin)];
    const std::string where = "skin " + std::to_string(skin);
    std::vector<float> inverseBind;
    if (source.inverseBindMatrices >= 0) {
        inverseBind = readGltfFloats(model, source.inverseBindMatrices, TINYGLTF_TYPE_MAT4);
        if (inverseBind.size() / 16 < source.joints.size())
            throw IOException(where + " has " + std::to_string(source.joints.size()) + " joints but " +
                              std::to_string(inverseBind.size() / 16) + " inverse bind matrices");
    }
    for (size_t j = 0; j < source.joints.size(); j++) {
        int node = source.joints[j];
        if (node < 0 || static_cast<size_t>(node) >= worlds.size())
            throw IOException(where + ": joint " + std::to_string(j) + " is node " + std::to_string(node) +
                              ", which does not exist");
        GltfMatrix bind = GltfMatrix::identity();
        if (!inverseBind.empty())
            for (int k = 0; k < 16; k++) bind.m[k] = inverseBind[16 * j + static_cast<size_t>(k)];
        joints.push_back(worlds[static_cast<size_t>(node)].after(bind));
    }

    for (;; sets++) {
        int jointSet = attributeOf(primitive, "JOINTS_" + std::to_string(sets));
        int weightSet = attributeOf(primitive, "WEIGHTS_" + std::to_string(sets));
        if (jointSet < 0 || weightSet < 0) break;
        std::vector<uint32_t> setJoints = readGltfJoints(model, jointSet);
        std::vector<float> setWeights = readGltfFloats(model, weightSet, TINYGLTF_TYPE_VEC4);
        if (setJoints.size() != 4 * vertexCount || setWeights.size() != 4 * vertexCount)
            throw IOException("has " + std::to_string(setJoints.size() / 4) + " JOINTS_" + std::to_string(sets) +
                              " and " + std::to_string(setWeights.size() / 4) + " WEIGHTS_" + std::to_string(sets) +
                              " values for " + std::to_string(vertexCount) + " vertices");
        for (size_t i = 0; i < setJoints.size(); i++)
            if (setWeights[i] != 0.0f && setJoints[i] >= joints.size())
                throw IOException("gives vertex " + std::to_string(i / 4) + " joint " + std::to_string(setJoints[i]) +
                                  ", which " + where + " does not have (it has " + std::to_string(joints.size()) +
                                  (joints.size() == 1 ? " joint)" : " joints)"));
        jointOf.insert(jointOf.end(), setJoints.begin(), setJoints.end());
        weights.insert(weights.end(), setWeights.begin(), setWeights.end());
    }
    // Sets are stored one after the other; count the vertices whose weights need help.
    for (size_t v = 0; v < vertexCount && sets > 0; v++) {
        double sum = 0;
        for (size_t s = 0; s < sets; s++)
            for (size_t k = 0; k < 4; k++) sum += weights[4 * (s * vertexCount + v) + k];
        if (!(sum > 0))
            unweighted++;
        else if (std::fabs(sum - 1) > kWeightTolerance)
            rescaled++;
    }
}

GltfMatrix GltfSkinning::vertexTransform(size_t v) const {
    const size_t vertexCount = sets ? weights.size() / (4 * sets) : 0;
    GltfMatrix blend;
    for (double &value : blend.m) value = 0;
    double sum = 0;
    for (size_t s = 0; s < sets; s++)
        for (size_t k = 0; k < 4; k++) {
            size_t at = 4 * (s * vertexCount + v) + k;
            double weight = weights[at];
            if (weight == 0) continue;
            const GltfMatrix &joint = joints[jointOf[at]];
            for (int i = 0; i < 16; i++) blend.m[i] += weight * joint.m[i];
            sum += weight;
        }
    if (!(sum > 0)) return GltfMatrix::identity();
    for (double &value : blend.m) value /= sum;
    return blend;
}
