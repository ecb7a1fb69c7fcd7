#ifndef KX_TOOLS_PROPOPTIONS_H
#define KX_TOOLS_PROPOPTIONS_H

// Option arguments of the prop tools (propcarver, propbender): the words an option gathers
// read with the frame's number readers, and the checks both tools make the same way.

#include "KxDClipRegion.h"

class KxDTransformList;

// The words gathered for the option waiting for its arguments. The words are not copied:
// they are command-line words, which live for the whole run.
class OptionArguments {
public:
    static constexpr int kMaxWords = 6;
    // `needed` for an option that takes any number of words (propcarver's -v and -cv): such
    // an option never completes; the caller handles each word as it comes.
    static constexpr int kAnyNumber = -1;

    // Starts gathering for `option` (the word as typed) with `needed` words (1 to 6, or
    // kAnyNumber); the float values start as kFloatNotGiven.
    void begin(const char *option, int needed);
    // Nothing is waiting any more.
    void clear() { option = nullptr; }
    bool isPending() const { return option != nullptr; }
    const char *getOption() const { return option; }

    // Takes the next word; true when the option now has all its words.
    bool add(const char *word);
    // Words taken since begin (for kAnyNumber also those beyond kMaxWords, which are not kept).
    int getCount() const { return count; }
    // True when the option may end here: it has all its words, or, taking any number, one.
    bool hasEnough() const { return needed == kAnyNumber ? count > 0 : count >= needed; }

    // Word i (0 <= i < min(count, kMaxWords)) as typed, as a float (resFloatValue) and as a
    // whole number (resOptionValue).
    const char *getWord(int i) const { return words[i]; }
    float getFloat(int i) const { return floats[i]; }
    int getInt(int i) const;
    // True when every one of the needed words is a number; else, when `bad` is given, it
    // receives the first word that is not. 1000000 itself counts as no number (the marker).
    bool allFloats(const char **bad = nullptr) const;
    // The option is given up because the option word `nextOption` came before it had its
    // words: an error (status 1) named on stderr with that word (toolOptionCutShort). Nothing
    // when it had enough.
    void reportAbandoned(const char *nextOption) const;

private:
    const char *option = nullptr;
    int needed = 0;
    int count = 0;
    const char *words[kMaxWords] = {};
    float floats[kMaxWords] = {};
};

// The stderr line of a number option whose word `word` is refused: not a number, not finite
// or beyond the float range (describeNumberWord).
void reportBadNumber(const char *option, const char *word);

// The stderr line of a scaling option refused for a factor of 0, which would flatten
// `subject` ("prop", "room", "mesh group 2") to nothing.
void reportFlatteningScale(const char *option, const char *word, const char *subject);

// The box of a clip option (-clp, -clg, -clm, -cl) whose six words, all numbers, give two
// corners: x1 y1 z1, then x2 y2 z2 (on each axis the ends in either order).
KxDClipRegion3D clipBoxOf(const OptionArguments &arguments);

// Degrees as typed on a command line to the radians the geometry works in (degrees / 180 x pi).
float degreesToRadians(float degrees);

// -cat: a whole number 0 to 9 becomes the category; anything else prints "Warning : invalid
// category number (%s)\n" and leaves the category as it was.
void readCategory(const char *word, int *category);

// A texture name from a command line: "null" switches the texture off (KxRlNoBitmap), any
// other word names a texture.
const char *textureNameOf(const char *word);
// True when the name fits the 31 characters of a name field ("null" counts as empty).
bool textureNameFits(const char *word);
// The stderr line of a name refused because it does not fit a name field.
void reportNameTooLong(const char *option, const char *name);
// The new texture name of -rtp, -rtg, -rt, -lm or -lma: true when `word` fits a name field
// ("null" counting as empty where `nullSwitchesOff`), else "Error with %s option : new
// texture name (%s) exceeds 31 characters\n" (status 1) and a stderr line.
bool acceptNewTextureName(const char *option, const char *word, bool nullSwitchesOff);

// The prop tools' centring, scaling and rotation options.
enum TransformKind { TRANSFORM_CENTRE, TRANSFORM_SCALE, TRANSFORM_ROTATE };
// `axis` of a scaling along all three axes.
constexpr int kUniformScale = -1;

// Carries out the transform option whose words `arguments` holds on `list`: a centring moves
// the point x y z to the origin, a scaling multiplies by the factor along `axis` (0 X, 1 Y,
// 2 Z, or kUniformScale), a rotation turns by the angle in degrees about `axis`. A word that is
// no finite number, or a scale factor of 0, refuses the option (status 1, the word named on
// stderr) with "Error with %s option : Invalid number: %s will not be centered\n" or "Error
// with %s option : Invalid number (%s): %s will not be scaled\n" (rotated), `subject` naming
// what moves ("prop", "mesh group 2").
void applyTransformOption(KxDTransformList *list, TransformKind kind, int axis, const OptionArguments &arguments,
                          const char *subject);

#endif
