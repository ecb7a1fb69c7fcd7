#ifndef KX_TOOLS_FOLDEROPTIONS_H
#define KX_TOOLS_FOLDEROPTIONS_H

// The options of a command line that take the next word as a folder, recognised wherever they
// stand, also where a value is awaited: the global options (-newdata, and -workdata where the tool
// takes it), carried out as soon as their value comes, and -o, whose folder is kept for the tool
// (propbridge export, paklister).
class FolderOptions {
public:
    // True when `word` is one of these options or the value one of them awaits. Check the tool's
    // own option words first: they are options even where a value is awaited.
    bool take(const char *word);
    // The option still awaiting its value (at the end of the line: toolMissingValue), or null.
    const char *pending() const { return pendingWord; }
    // The folder given with -o (the last one), or null.
    const char *outputFolder() const { return output; }

private:
    const char *pendingWord = nullptr;
    bool pendingOutput = false;  // the option awaiting its value is -o
    int global = 0;              // else this GlobalOption
    const char *output = nullptr;
};

#endif
