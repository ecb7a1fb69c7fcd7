#include "PngFile.h"

#include "IOException.h"
#include "TemporaryFile.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <zlib.h>

namespace {

void appendBigEndian(std::string &out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// A chunk: its length, type and data, then the CRC of type and data. `build` appends the data.
template <typename Build>
void appendChunk(std::string &out, const char *type, Build build) {
    size_t lengthAt = out.size();
    appendBigEndian(out, 0);
    out.append(type, 4);
    build(out);
    size_t length = out.size() - lengthAt - 8;
    for (int i = 0; i < 4; i++) out[lengthAt + i] = static_cast<char>((length >> (24 - 8 * i)) & 0xFF);
    appendBigEndian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef *>(&out[lengthAt + 4]),
                                                     static_cast<uInt>(length + 4))));
}

// Every row filtered with "Sub" (each byte less the same channel of the pixel to its left):
// the flat colours of a preview become runs of zeros, which deflate packs well and fast.
std::unique_ptr<unsigned char[]> filteredRows(int width, int height, const std::vector<unsigned char> &rgb,
                                             size_t *size) {
    const size_t stride = static_cast<size_t>(width) * 3;
    *size = static_cast<size_t>(height) * (stride + 1);
    std::unique_ptr<unsigned char[]> raw(new unsigned char[*size]);
    for (int y = 0; y < height; y++) {
        const unsigned char *row = &rgb[static_cast<size_t>(y) * stride];
        unsigned char *out = &raw[static_cast<size_t>(y) * (stride + 1)];
        out[0] = 1;
        out[1] = row[0];
        out[2] = row[1];
        out[3] = row[2];
        for (size_t i = 3; i < stride; i++) out[1 + i] = static_cast<unsigned char>(row[i] - row[i - 3]);
    }
    return raw;
}

// The zlib stream of `raw`, appended to `out`.
void deflateInto(const unsigned char *raw, size_t size, std::string &out) {
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    // Runs need no hash table (Z_RLE finds them without one). memLevel 8 gives blocks of 16,384
    // symbols: fewer Huffman trees to build than smaller levels, measured faster on previews.
    if (deflateInit2(&stream, 6, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) throw IOException("PNG compression failed");
    size_t start = out.size();
    out.resize(start + deflateBound(&stream, static_cast<uLong>(size)));
    stream.next_in = const_cast<Bytef *>(raw);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = reinterpret_cast<Bytef *>(&out[start]);
    stream.avail_out = static_cast<uInt>(out.size() - start);
    int result = deflate(&stream, Z_FINISH);
    out.resize(start + stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw IOException("PNG compression failed");
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
    appendChunk(png, "IHDR", [&header](std::string &out) { out += header; });
    size_t size;
    std::unique_ptr<unsigned char[]> raw = filteredRows(width, height, rgb, &size);
    appendChunk(png, "IDAT", [&](std::string &out) { deflateInto(raw.get(), size, out); });
    appendChunk(png, "IEND", [](std::string &) {});
    return png;
}

void writePng(const std::string &path, int width, int height, const std::vector<unsigned char> &rgb) {
    std::string png = encodePng(width, height, rgb);
    writeWholeFile(path.c_str(), png.data(), png.size());
}
