#ifndef KX_DRESSCASTER_SETDRESSINGPROP_H
#define KX_DRESSCASTER_SETDRESSINGPROP_H

// A saved set-dressing arrangement turned into one prop: every prop of the file placed with
// its turn and position, centred on the arrangement, merged into one model and written as a
// prop package.

#include "PropData.h"

class KxRlSetDressingINI;

// Finds and reads a set-dressing file (owned by the caller): `file` as given (relative to the
// current folder), else in the documents folder's Reelmara\Set Dressing folder, else in each
// of that folder's sub-folders. A place whose file cannot be read counts as a miss. Throws
// IOException("Could not find set dressing file\n") after a stderr line that says where it
// was looked for.
KxRlSetDressingINI *loadSetDressing(const char *file);

// Builds and writes the prop of one set-dressing file, printing what happens on the way:
// "Error loading set dressing file %s : %s\n", "%s (%s)\n" for a prop whose mesh is missing
// (the prop is left out) or a failed export, "Exported prop %s!\n". A file none of whose props
// could be placed (none found, or no props at all) writes nothing and is reported. Returns
// whether the package was written.
bool createProp(const PropData &data);

#endif
