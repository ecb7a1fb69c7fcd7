#ifndef KX_MESHGALLERY_GALLERYTEXT_H
#define KX_MESHGALLERY_GALLERYTEXT_H

// Texts of the gallery's pages and catalogue. Everything that comes from a file (mesh, group
// and texture names, paths) is untrusted: it is turned into UTF-8 and escaped wherever it is
// written, so that it always shows as text and never becomes markup, script or JSON syntax.

#include <cstdint>
#include <string>

// `text` as UTF-8: kept as it is when it is valid UTF-8 (paths of this system), else read as
// the Windows code page 1252 that the game's files use. Control characters other than tab
// and line breaks become U+FFFD.
std::string toUtf8(const std::string &text);

// `text` (toUtf8) with & < > " ' escaped: safe in element content and in quoted attributes.
std::string htmlText(const std::string &text);

// `text` (toUtf8) as a JSON string, quotes included.
std::string jsonString(const std::string &text);

// A float for JSON (7 significant digits); "null" when it is not finite.
std::string jsonNumber(float value);

// `word` as one word of a command line that works in a POSIX shell and in the Windows
// command prompt alike where it can: bare when it needs no quotes, in double quotes when
// neither shell reads anything inside them, else in single quotes (POSIX shells).
std::string shellWord(const std::string &word);

// The file name (without extension) under which the gallery keeps a mesh file's page and
// pictures: the lower-case name with every character other than a-z, 0-9, '.', '-' and '_'
// made '_'; when that changed the name (or the result is a device name Windows reserves),
// '~' and a hash of the exact name follow, so that two names never share a page.
std::string pageStem(const std::string &meshName);

// A length in metres for people: "1.25", "0.003", "12.4".
std::string metres(float value);

// A byte count with thousands separated: "12,345".
std::string groupedNumber(uint64_t value);

#endif
