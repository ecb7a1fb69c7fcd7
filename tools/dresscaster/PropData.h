#ifndef KX_DRESSCASTER_PROPDATA_H
#define KX_DRESSCASTER_PROPDATA_H

// One set-dressing file named on dresscaster's command line and the settings of the prop it
// becomes.

#include <string>

struct PropData {
    // The default prop name: "p_" and the file's base name (the text after the last
    // separator, cut at its first '.').
    explicit PropData(const char *file);

    const char *file;          // as given on the command line (not copied: argv lives on)
    std::string propName;      // the default, or -propname as given
    bool propNameGiven = false;
    int category = 9;          // -cat
    const char *lightMap = nullptr;  // -lightmap as given (KxRlNoBitmap for "null"), or null
};

#endif
