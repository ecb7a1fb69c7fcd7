#ifndef KX_CONTENT_KXRLCONTENTREGISTRY_H
#define KX_CONTENT_KXRLCONTENTREGISTRY_H

#include "ArrayList.h"
#include "KxRlGameFiles.h"

// The ordered list of sources that every lookup of game files goes through. The registry owns
// its sources and deletes them with itself. Exceptions of a source are not caught: they leave
// getContent/findContent at once.
class KxRlContentRegistry : public KxRlGameFiles {
public:
    KxRlContentRegistry();
    ~KxRlContentRegistry() override;
    KxRlContentRegistry(const KxRlContentRegistry &) = delete;
    KxRlContentRegistry &operator=(const KxRlContentRegistry &) = delete;

    // Takes ownership of `source`: appended, or inserted at 0 <= position <= count.
    void addSource(KxRlGameFiles *source);
    void addSource(int position, KxRlGameFiles *source);
    // Takes the source out of the list and hands it (and its ownership) to the caller.
    KxRlGameFiles *removeSource(int position);
    KxRlGameFiles *getSource(int position) const;
    int getSourceCount() const { return static_cast<int>(sources.getLength()); }

    // The registry's own root folder is the empty text.
    const char *getRootFolder() const override { return ""; }
    // Asks the sources in list order; true at the first that has the file.
    bool getContent(char *outPath, const char *name, const char *folder, bool anyDepth) override;
    // As getContent, but answers which source had the file (null when none had it).
    KxRlGameFiles *getContentSource(char *outPath, const char *name, const char *folder, bool anyDepth);
    // Asks every source in list order; returns the sum of their counts.
    int findContent(KxRlContentResults *results, const char *pattern, const char *folder, bool anyDepth) override;
    // The matching names of every source, each once, in byte order.
    void listNames(std::vector<std::string> &names, const char *pattern, const char *folder) const override;

private:
    ArrayList sources;  // KxRlGameFiles*, owned
};

#endif
