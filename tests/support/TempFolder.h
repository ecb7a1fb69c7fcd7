#ifndef KX_TESTS_TEMPFOLDER_H
#define KX_TESTS_TEMPFOLDER_H

#include <cstdint>
#include <string>
#include <vector>

// A fresh folder below the system's temporary folder, removed with everything in it when
// the object goes. Paths handed out use the platform's own separator.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::string &path() const { return root; }
    // root + separator + relative (relative may use either separator).
    std::string file(const std::string &relative) const;
    // Writes bytes to root/relative, creating the folders on the way; returns the full path.
    std::string write(const std::string &relative, const std::string &bytes) const;
    std::string write(const std::string &relative, const std::vector<uint8_t> &bytes) const;
    void makeFolders(const std::string &relative) const;

private:
    std::string root;
};

// Whole-file helpers for tests.
std::string readFileBytes(const std::string &path);
bool fileExistsOnDisk(const std::string &path);
// The files below `folder` (at any depth) whose names end in ".part": temporary files that
// a finished or failed write must not leave behind.
std::vector<std::string> temporaryFilesBelow(const std::string &folder);

#endif
