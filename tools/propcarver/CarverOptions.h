#ifndef KX_PROPCARVER_OPTIONS_H
#define KX_PROPCARVER_OPTIONS_H

// propcarver's option words. Each belongs to a level: the global and prop-level options are
// valid anywhere, group options need a current group (-g), mesh options a current mesh (-m).
// Options of the same kind at several levels (-cp, -cg, -cm) share one action and differ in
// the level they act on.

#include "PropOptions.h"

enum CarverLevel { LEVEL_PROP, LEVEL_GROUP, LEVEL_MESH };

enum CarverAction {
    ACTION_NEWDATA,         // folder
    ACTION_WORKDATA,        // folder
    ACTION_CATEGORY,        // num
    ACTION_BONES,           // acts at once
    ACTION_GROUPS,          // -g: group numbers follow
    ACTION_MESHES,          // -m: mesh numbers follow
    ACTION_GROUP_NAME,      // name
    ACTION_REPLACE_TEXTURE, // old new (prop or group)
    ACTION_CENTRE,          // x y z
    ACTION_SCALE,           // factor, along `axis` or uniform
    ACTION_ROTATE,          // angle in degrees about `axis`
    ACTION_CLIP,            // x1 y1 z1 x2 y2 z2
    ACTION_TEXTURE,         // name for material slot `slot`
    ACTION_ALPHA,           // acts at once: `on`
    ACTION_TEX_TRANSLATE,   // x y
    ACTION_TEX_ANIMATE,     // x y rot, 0 to 255
    ACTION_REFLECTIVE,      // acts at once: `on`
    ACTION_OBJECTS,         // vertex numbers (-v)
    ACTION_CENTRE_OBJECTS,  // vertex numbers (-cv)
};

constexpr int kUniform = kUniformScale;  // `axis` of the uniform scalings

struct CarverOption {
    const char *name;
    CarverAction action;
    CarverLevel level;
    // Argument words: 0 for the options that act at once and for -g and -m (which change the
    // reading mode instead), OptionArguments::kAnyNumber for -v and -cv.
    int words;
    int axis;  // ACTION_SCALE, ACTION_ROTATE: 0 X, 1 Y, 2 Z (or kUniform); ACTION_TEXTURE: the slot
    bool on;   // ACTION_ALPHA, ACTION_REFLECTIVE
};

// The option that `word` names exactly (case-sensitive), or null.
const CarverOption *findCarverOption(const char *word);

#endif
