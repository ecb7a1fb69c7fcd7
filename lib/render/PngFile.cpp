#include "PngFile.h"

#include "IOException.h"
#include "RandomAccessFile.h"

#include <cstdint>
#include <cstring>
#include <zlib.h>

namespace {

void appendBigEndian(std::string &out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void appendChunk(std::string &out, const char *type, const std::string &data) {
    appendBigEndian(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    appendBigEndian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef *>(body.data()),
                                                     static_cast<uInt>(body.size()))));
}

// Every row filtered with "Sub" (each byte less the same channel of the pixel to its left):
// the flat colours of a preview become runs of zeros, which deflate packs well and fast.
std::string filteredRows(int width, int height, const std::vector<unsigned char> &rgb) {
    const size_t stride = static_cast<size_t>(width) * 3;
    std::string raw(static_cast<size_t>(height) * (stride + 1), '\0');
    for (int y = 0; y < height; y++) {
        const unsigned char *row = &rgb[static_cast<size_t>(y) * stride];
        char *out = &raw[static_cast<size_t>(y) * (stride + 1)];
        out[0] = 1;
        for (size_t i = 0; i < stride; i++)
            out[1 + i] = static_cast<char>(static_cast<unsigned char>(row[i] - (i >= 3 ? row[i - 3] : 0)));
    }
    return raw;
}

std::string deflateAll(const std::string &raw) {
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (deflateInit2(&stream, 6, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) throw IOException("PNG compression failed");
    std::string packed(deflateBound(&stream, static_cast<uLong>(raw.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(raw.data()));
    stream.avail_in = static_cast<uInt>(raw.size());
    stream.next_out = reinterpret_cast<Bytef *>(&packed[0]);
    stream.avail_out = static_cast<uInt>(packed.size());
    int result = deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw IOException("PNG compression failed");
    return packed;
}

}  // namespace

std::string encodePng(int width, int height, const std::vector<unsigned char> &rgb) {
    if (width < 1 || height < 1 || rgb.size() != static_cast<size_t>(width) * height * 3)
        throw IOException("PNG picture has no pixels or the wrong number of them");
    std::string header;
    appendBigEndian(header, static_cast<uint32_t>(width));
    appendBigEndian(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, adaptive filters, no interlace
    std::string png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", deflateAll(filteredRows(width, height, rgb)));
    appendChunk(png, "IEND", "");
    return png;
}

void writePng(const std::string &path, int width, int height, const std::vector<unsigned char> &rgb) {
    std::string png = encodePng(width, height, rgb);
    RandomAccessFile file(path.c_str(), "wb");
    file.write(png.data(), png.size());
    file.close();
}
