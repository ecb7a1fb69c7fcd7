#include "SuiteFiles.h"

#include "Platform.h"

#include <cstdio>

std::string readSuiteFile(const std::string &path) {
    FILE *file = platform::openFile(path.c_str(), "rb");
    if (!file) return "<unreadable>";
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}
