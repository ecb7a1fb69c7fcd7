#ifndef KX_CONTENT_KXRLPAKWINDOW_H
#define KX_CONTENT_KXRLPAKWINDOW_H

#include "IOException.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class RandomAccessFile;
struct z_stream_s;

// Reads an archive through a buffer of its own. Many small reads at rising offsets, such as the
// compression headers of every entry of a listing, then cost one read of the file per chunk,
// where a buffered C stream reads again after every seek.
class KxRlPakWindow {
public:
    // `file` is open; its position is left where the last chunk read ended.
    explicit KxRlPakWindow(RandomAccessFile *file, size_t chunkSize = 65536);
    ~KxRlPakWindow();
    KxRlPakWindow(const KxRlPakWindow &) = delete;
    KxRlPakWindow &operator=(const KxRlPakWindow &) = delete;

    int64_t getLength() const { return length; }
    // The `size` bytes at `offset`, valid until the next call; null when they do not all lie
    // inside the archive. Throws IOException when the file cannot be read.
    const uint8_t *view(int64_t offset, size_t size);

    // Inflates the first `outputSize` bytes of the zlib stream that `input` starts, into `output`.
    // False when they do not come out of it. One zlib state serves every stream of the window,
    // so that looking into the start of many streams costs no allocation each.
    bool inflateStart(const uint8_t *input, size_t inputSize, uint8_t *output, size_t outputSize);

private:
    RandomAccessFile *file;
    int64_t length;
    size_t chunkSize;
    std::vector<uint8_t> buffer;
    int64_t start = 0;  // archive offset of buffer[0]
    size_t filled = 0;  // bytes of the buffer read from there
    struct InflateEnd {
        void operator()(z_stream_s *stream) const;
    };
    std::unique_ptr<z_stream_s, InflateEnd> inflater;  // made on first use
};

#endif
