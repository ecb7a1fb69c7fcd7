#ifndef KX_TESTS_SUITEFILES_H
#define KX_TESTS_SUITEFILES_H

#include <string>

// Reads a file named in the suite's own form (backslashes, any case on POSIX) through the
// platform layer; "<unreadable>" when it cannot be opened.
std::string readSuiteFile(const std::string &path);

#endif
