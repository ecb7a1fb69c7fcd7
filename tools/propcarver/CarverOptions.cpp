#include "CarverOptions.h"

#include "PropOptions.h"

#include <cstring>

namespace {

constexpr int kAny = OptionArguments::kAnyNumber;

const CarverOption kOptions[] = {
    // Global and prop-level options.
    {"-newdata", ACTION_NEWDATA, LEVEL_PROP, 1, 0, false},
    {"-workdata", ACTION_WORKDATA, LEVEL_PROP, 1, 0, false},
    {"-cat", ACTION_CATEGORY, LEVEL_PROP, 1, 0, false},
    {"-bones", ACTION_BONES, LEVEL_PROP, 0, 0, false},
    {"-rtp", ACTION_REPLACE_TEXTURE, LEVEL_PROP, 2, 0, false},
    {"-cp", ACTION_CENTRE, LEVEL_PROP, 3, 0, false},
    {"-sp", ACTION_SCALE, LEVEL_PROP, 1, kUniform, false},
    {"-spx", ACTION_SCALE, LEVEL_PROP, 1, 0, false},
    {"-spy", ACTION_SCALE, LEVEL_PROP, 1, 1, false},
    {"-spz", ACTION_SCALE, LEVEL_PROP, 1, 2, false},
    {"-rpx", ACTION_ROTATE, LEVEL_PROP, 1, 0, false},
    {"-rpy", ACTION_ROTATE, LEVEL_PROP, 1, 1, false},
    {"-rpz", ACTION_ROTATE, LEVEL_PROP, 1, 2, false},
    {"-clp", ACTION_CLIP, LEVEL_PROP, 6, 0, false},
    {"-g", ACTION_GROUPS, LEVEL_PROP, 0, 0, false},
    // Group options.
    {"-n", ACTION_GROUP_NAME, LEVEL_GROUP, 1, 0, false},
    {"-rtg", ACTION_REPLACE_TEXTURE, LEVEL_GROUP, 2, 0, false},
    {"-cg", ACTION_CENTRE, LEVEL_GROUP, 3, 0, false},
    {"-sg", ACTION_SCALE, LEVEL_GROUP, 1, kUniform, false},
    {"-sgx", ACTION_SCALE, LEVEL_GROUP, 1, 0, false},
    {"-sgy", ACTION_SCALE, LEVEL_GROUP, 1, 1, false},
    {"-sgz", ACTION_SCALE, LEVEL_GROUP, 1, 2, false},
    {"-rgx", ACTION_ROTATE, LEVEL_GROUP, 1, 0, false},
    {"-rgy", ACTION_ROTATE, LEVEL_GROUP, 1, 1, false},
    {"-rgz", ACTION_ROTATE, LEVEL_GROUP, 1, 2, false},
    {"-clg", ACTION_CLIP, LEVEL_GROUP, 6, 0, false},
    {"-m", ACTION_MESHES, LEVEL_GROUP, 0, 0, false},
    // Mesh options.
    {"-t0", ACTION_TEXTURE, LEVEL_MESH, 1, 0, false},
    {"-t1", ACTION_TEXTURE, LEVEL_MESH, 1, 1, false},
    {"-t2", ACTION_TEXTURE, LEVEL_MESH, 1, 2, false},
    {"-t3", ACTION_TEXTURE, LEVEL_MESH, 1, 3, false},
    {"-aon", ACTION_ALPHA, LEVEL_MESH, 0, 0, true},
    {"-aoff", ACTION_ALPHA, LEVEL_MESH, 0, 0, false},
    {"-tt", ACTION_TEX_TRANSLATE, LEVEL_MESH, 2, 0, false},
    {"-tanim", ACTION_TEX_ANIMATE, LEVEL_MESH, 3, 0, false},
    {"-rfon", ACTION_REFLECTIVE, LEVEL_MESH, 0, 0, true},
    {"-rfoff", ACTION_REFLECTIVE, LEVEL_MESH, 0, 0, false},
    {"-v", ACTION_OBJECTS, LEVEL_MESH, kAny, 0, false},
    {"-cv", ACTION_CENTRE_OBJECTS, LEVEL_MESH, kAny, 0, false},
    {"-cm", ACTION_CENTRE, LEVEL_MESH, 3, 0, false},
    {"-sm", ACTION_SCALE, LEVEL_MESH, 1, kUniform, false},
    {"-smx", ACTION_SCALE, LEVEL_MESH, 1, 0, false},
    {"-smy", ACTION_SCALE, LEVEL_MESH, 1, 1, false},
    {"-smz", ACTION_SCALE, LEVEL_MESH, 1, 2, false},
    {"-rmx", ACTION_ROTATE, LEVEL_MESH, 1, 0, false},
    {"-rmy", ACTION_ROTATE, LEVEL_MESH, 1, 1, false},
    {"-rmz", ACTION_ROTATE, LEVEL_MESH, 1, 2, false},
    {"-clm", ACTION_CLIP, LEVEL_MESH, 6, 0, false},
};

}  // namespace

const CarverOption *findCarverOption(const char *word) {
    for (const CarverOption &option : kOptions)
        if (std::strcmp(option.name, word) == 0) return &option;
    return nullptr;
}
