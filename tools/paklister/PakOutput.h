#ifndef KX_PAKLISTER_PAKOUTPUT_H
#define KX_PAKLISTER_PAKOUTPUT_H

// How paklister shows copies of game files: aligned text lines for people, one JSON document for
// scripts. Both say the same.

#include "KxRlFileCopy.h"

#include <string>
#include <vector>

// Both are written to standard output a block at a time as they are made: a listing of a
// hundred thousand archive entries is never held whole a second time.

// One line per copy, with the columns aligned over all of them, names from archives and folders
// shown with every byte a terminal would act on escaped:
//   <path>  <size>  <packed or ->  <kind> <source path>[  shadowed by <kind> <source path>]
void printCopyLines(const std::vector<KxRlFileCopy> &copies);

// {"files": [{"path": ..., "size": ..., "packed": ... or null, "source": {"kind": ..., "path": ...},
// "shadowed": ..., "winner": null or the winner's source}, ...]}, one file a line. Texts are
// written as UTF-8: bytes that do not form UTF-8 are taken as Latin-1 characters.
void printCopyDocument(const std::vector<KxRlFileCopy> &copies);

// "<kind> <source path>".
std::string describePlace(const KxRlSourcePlace &place);

// Lines of text for the console: names from archives and folders shown with every byte a
// terminal would act on escaped.
void printLines(const std::string &text);

#endif
