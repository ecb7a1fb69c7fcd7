#include "BenderOptions.h"

#include "PropOptions.h"

#include <cstring>

namespace {

const BenderOption kOptions[] = {
    {"-newdata", BEND_NEWDATA, 1, 0},
    {"-workdata", BEND_WORKDATA, 1, 0},
    {"-cat", BEND_CATEGORY, 1, 0},
    {"-bones", BEND_BONES, 0, 0},
    {"-rt", BEND_REPLACE_TEXTURE, 2, 0},
    {"-lm", BEND_LIGHTMAP, 1, 0},
    {"-lma", BEND_LIGHTMAP_ALL, 1, 0},
    {"-c", BEND_CENTRE, 3, 0},
    {"-s", BEND_SCALE, 1, kUniformScale},
    {"-sx", BEND_SCALE, 1, 0},
    {"-sy", BEND_SCALE, 1, 1},
    {"-sz", BEND_SCALE, 1, 2},
    {"-rx", BEND_ROTATE, 1, 0},
    {"-ry", BEND_ROTATE, 1, 1},
    {"-rz", BEND_ROTATE, 1, 2},
    {"-cl", BEND_CLIP, 6, 0},
};

}  // namespace

const BenderOption *findBenderOption(const char *word) {
    for (const BenderOption &option : kOptions)
        if (std::strcmp(option.name, word) == 0) return &option;
    return nullptr;
}
