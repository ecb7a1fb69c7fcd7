#ifndef KX_TOOLS_TOOLOPTIONS_H
#define KX_TOOLS_TOOLOPTIONS_H

// Number readers of the tools' command lines, and the marker of a float option not given.

#include <string>

// The value of a float option that was not given or was not a number.
constexpr float kFloatNotGiven = 1000000.0f;

// The text as a whole number with automatic base (7, 0x10, 010 as in strtol with base 0),
// limited to the int range; -1 when the text does not begin with a number.
int resOptionValue(const char *text);
// The text read with "%f"; kFloatNotGiven when nothing could be read, and also when the
// value read is not finite (nan, inf, or beyond the float range such as 1e40).
float resFloatValue(const char *text);
// Why resFloatValue refuses `text`, to follow the word in a message: "is not a number", "is
// beyond the float range ...".
std::string describeNumberWord(const char *text);
// Sets the first `count` values to kFloatNotGiven.
void initFloatArray(float *values, int count);
// True when none of the first `count` values is kFloatNotGiven, that is when all were given.
bool checkFloatArray(const float *values, int count);

#endif
