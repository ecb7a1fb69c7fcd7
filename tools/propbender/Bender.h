#ifndef KX_PROPBENDER_BENDER_H
#define KX_PROPBENDER_BENDER_H

// propbender's run: the command line read in one pass from left to right, the whole input
// mesh taken as the prop (one group reference per group, every mesh on), one set of
// prop-wide settings, and the package written at the end. Nothing touches vertices: the MSH
// writer applies the transforms and clip regions when the package is written.

#include "BenderOptions.h"
#include "KxRlRebuiltProp.h"
#include "PropOptions.h"
#include "PropRun.h"

class Bender {
public:
    Bender();
    ~Bender();
    Bender(const Bender &) = delete;
    Bender &operator=(const Bender &) = delete;

    // One word of the command line. An option word makes that option wait for its words,
    // giving up one still waiting (-bones acts at once and throws IOException when no input
    // is loaded yet). Any other word is the next word of the waiting option, which is
    // carried out once it has them all; with nothing waiting it is the input mesh, then the
    // prop name, then out of place.
    void takeWord(const char *word);

    // The end of the command line: an option left without its words stops the run (nothing
    // written); without the input or the prop name the help is printed. Otherwise every group
    // gets the prop transforms and clip regions, the light-maps are set, and the package is
    // written and reported.
    void finish();

private:
    void takeOption(const BenderOption &option);
    void takePositional(const char *word);
    // The waiting option has all its words: checked, then carried out or refused.
    void apply(const BenderOption &option);
    void applyClip();
    // -lma for every material of the prop's meshes, else -lm for those without a light-map.
    // Each changed slot gets a bitmap of its own, so the textures that share the old one
    // stay as they are.
    void applyLightMaps();

    // The input mesh goes last: everything below points into it.
    PropInput input;
    PropLevelSettings settings;
    KxRlRebuiltProp prop;
    int category = 9;
    const BenderOption *pending = nullptr;
    OptionArguments arguments;
    const char *lightMap = nullptr;     // -lm, a command-line word
    const char *lightMapAll = nullptr;  // -lma
};

#endif
