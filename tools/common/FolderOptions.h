#ifndef KX_TOOLS_FOLDEROPTIONS_H
#define KX_TOOLS_FOLDEROPTIONS_H

// The options of a command line that take the next word as a folder, recognised wherever they
// stand, also where a value is awaited: -newdata, carried out as soon as its folder comes, and
// -o and -workdata, whose folders are kept for the tool to use once the whole line is read
// (propbridge export, paklister). An option word that comes while one of them still waits for
// its folder cuts it short: reported (status 1), and the waiting option goes without it.
class FolderOptions {
public:
    // True when `word` is one of these options or the value one of them awaits. Check the tool's
    // own option words first and hand them to interrupt(): they are options even where a value
    // is awaited.
    bool take(const char *word);
    // One of the tool's own option words came: a waiting option is cut short by it.
    void interrupt(const char *word);
    // The option still awaiting its value (at the end of the line: toolMissingValue), or null.
    const char *pending() const { return pendingWord; }
    // The folder given with -o, or with -workdata (the last one of each), or null.
    const char *outputFolder() const { return output; }
    const char *workFolder() const { return work; }

private:
    enum Waiting { NOTHING, NEWDATA, OUTPUT, WORKDATA };

    const char *pendingWord = nullptr;
    Waiting waiting = NOTHING;
    const char *output = nullptr;
    const char *work = nullptr;
};

#endif
