#ifndef KX_PROPBENDER_OPTIONS_H
#define KX_PROPBENDER_OPTIONS_H

// propbender's option words. Every option acts on the whole prop and may stand anywhere on
// the command line, except -bones, which needs the input mesh loaded first.

enum BenderAction {
    BEND_NEWDATA,          // folder
    BEND_WORKDATA,         // folder
    BEND_CATEGORY,         // num
    BEND_BONES,            // acts at once
    BEND_REPLACE_TEXTURE,  // old new
    BEND_LIGHTMAP,         // name, for meshes without a light-map
    BEND_LIGHTMAP_ALL,     // name, for every mesh
    BEND_CENTRE,           // x y z
    BEND_SCALE,            // factor along `axis`, or uniform
    BEND_ROTATE,           // angle in degrees about `axis`
    BEND_CLIP,             // x1 y1 z1 x2 y2 z2
};

struct BenderOption {
    const char *name;
    BenderAction action;
    int words;  // argument words; 0 for -bones
    int axis;   // BEND_SCALE, BEND_ROTATE: 0 X, 1 Y, 2 Z (or kUniformScale)
};

// The option that `word` names exactly (case-sensitive), or null.
const BenderOption *findBenderOption(const char *word);

#endif
