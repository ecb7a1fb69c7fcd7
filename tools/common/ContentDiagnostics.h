#ifndef KX_TOOLS_CONTENTDIAGNOSTICS_H
#define KX_TOOLS_CONTENTDIAGNOSTICS_H

// Texts for the diagnostic lines that say where the tools looked for a game file and where
// they found it, in the words a user knows from the help: -newdata folders, the content
// folder, the game folder and the game's archives.

#include <string>

class KxRlContentRegistry;
class KxRlGameFiles;

// One source: "-newdata folder <root>", "content folder <root>", "game folder <root>" or
// "the archives in <folder> (<n> archives)".
std::string describeSource(const KxRlGameFiles *source);

// Every source of the registry in search order, separated by "; " ("no source" when empty).
std::string describeSearchedSources(const KxRlContentRegistry *registry);

// Where `source` found the file `name` of `folder`, whose path it gave as `path`: "found in
// the game folder <root> as <path>", or for an archived file "found in archive <archive>,
// extracted to <path>".
std::string describeFoundFile(const KxRlGameFiles *source, const char *path, const char *name, const char *folder);

#endif
