#ifndef KX_ROOMWRIGHT_ROOMWRIGHTPARSER_H
#define KX_ROOMWRIGHT_ROOMWRIGHTPARSER_H

// roomwright's command line, read left to right in one pass: room INI files (each read at
// once), the global options, and the options that change the last room read.

#include "PropOptions.h"

class MadeOutputFolder;
class PropDataClass;
class RoomDataClass;

class RoomwrightParser {
public:
    // The rooms, prop name and category go into `propData`; the folder named after the first
    // room INI file is made through `outputFolder`. Both outlive the parser.
    RoomwrightParser(PropDataClass *propData, MadeOutputFolder *outputFolder);

    // One command-line word (alive for the whole run). An option name starts that option,
    // dropping one that still waited for its value; any other word is the value of the
    // waiting option, or else a room INI file.
    void takeWord(const char *word);
    // The end of the command line: an option that got no value (or only some of its
    // numbers) is named on stderr and the run must write nothing (exit status 2). One whose
    // value was refused stays reported as it was.
    void finish();

    bool hasRoom() const { return roomSeen; }

    struct Option;

private:
    // The waiting option's value, once it has all its words: a run option is taken at once,
    // any other acts on the last room read (refused when there is none yet).
    void takeValue(const char *word);
    void takeRunOption(const char *word);
    void takeTexture(const Option &option, RoomDataClass *room, const char *word);
    void takeTransform(const Option &option, RoomDataClass *room, const char *word);
    void takeLightmapArea(const Option &option, RoomDataClass *room, const char *word);
    // True when every value of `option` is a number; else the option's message is printed.
    bool numbersGiven(const Option &option, const char *word) const;
    // Clears the waiting option.
    void done() { pending = nullptr; }
    // A refused value: the option keeps waiting for the next word.
    void refused();

    PropDataClass *propData;
    MadeOutputFolder *outputFolder;
    const Option *pending = nullptr;
    OptionArguments arguments;
    bool valueRefused = false;
    bool roomSeen = false;
};

#endif
