#ifndef KX_RENDER_PNGFILE_H
#define KX_RENDER_PNGFILE_H

// 8-bit RGB pictures as PNG files (zlib-compressed, one filter for every row).

#include <string>
#include <vector>

// The PNG bytes of a `width` x `height` RGB picture (rgb holds width x height x 3 bytes).
std::string encodePng(int width, int height, const std::vector<unsigned char> &rgb);

// Writes the picture as a PNG file through the suite's binary file writer. Throws an
// IOException when the file cannot be written.
void writePng(const std::string &path, int width, int height, const std::vector<unsigned char> &rgb);

#endif
