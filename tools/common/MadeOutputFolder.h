#ifndef KX_TOOLS_MADEOUTPUTFOLDER_H
#define KX_TOOLS_MADEOUTPUTFOLDER_H

// The output folder that this run made after an input's name (roomwright, dresscaster) or after
// the prop name (propcarver, propbender). The folder is made as soon as the name is read; a run that writes no package at all (help, a
// missing value, an error that ends it, nothing that could be exported) removes it again when
// this object goes, if it is still empty.

#include <string>

class MadeOutputFolder {
public:
    MadeOutputFolder() = default;
    ~MadeOutputFolder();
    MadeOutputFolder(const MadeOutputFolder &) = delete;
    MadeOutputFolder &operator=(const MadeOutputFolder &) = delete;

    // resOutputDir(inputPath): unless the output is locked, the folder named after the input
    // becomes the output folder. Remembers it when this call created it; returns whether it did.
    bool nameAfterInput(const char *inputPath);
    // resOutput(propName): as nameAfterInput, for the prop-named folder. Throws IOException as
    // resOutput does (a name too long).
    bool nameAfterProp(const char *propName);
    // A package was written: the folder stays, even when empty.
    void keep() { kept = true; }

private:
    // Remembers the frame's output folder when `made`; returns `made`.
    bool remember(bool made);

    std::string path;  // empty: this run made no output folder
    bool kept = false;
};

#endif
