#ifndef KX_TOOLS_PROPNAME_H
#define KX_TOOLS_PROPNAME_H

// Prop names the game can load. A prop name becomes the folder and file names of its package
// and the mesh line of its INI files ("mesh = <name>.msh"), which the game's INI reader cuts
// at 31 characters. So a name has at most 27 characters, "p_" included, counted as the game
// stores them (one byte per character of the Windows code page), and it is a plain file name
// that the game and every file system take: something after "p_", no space, no path
// separator, no control character and none of < > : " | ? *. Where texts are not in the code
// page (Linux: UTF-8), a character beyond ASCII cannot be stored as the game reads it, so
// such a name is refused there. Every tool that names a prop checks it here.

#include <cstddef>
#include <string>

// The longest prop name, "p_" included.
constexpr size_t kMaxPropNameLength = 27;

enum class PropNameFault { NONE, EMPTY, SPACE, SEPARATOR, CONTROL, RESERVED, NOT_ASCII, TOO_LONG };

// The first fault of `name` (the whole prop name, "p_" included; null counts as empty): an
// empty name or "p_" alone first, then the characters in order, then the length.
PropNameFault propNameFault(const char *name);

// The fault in words, to follow the name in a message ("p_my shelf holds a space").
std::string describePropNameFault(PropNameFault fault, const char *name);

#endif
