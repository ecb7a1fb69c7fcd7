#include "KxRlPakWindow.h"

#include "RandomAccessFile.h"

#include <zlib.h>

KxRlPakWindow::KxRlPakWindow(RandomAccessFile *archiveFile, size_t chunk)
    : file(archiveFile), length(archiveFile->getLength()), chunkSize(chunk > 0 ? chunk : 1) {}

KxRlPakWindow::~KxRlPakWindow() = default;

void KxRlPakWindow::InflateEnd::operator()(z_stream_s *stream) const {
    inflateEnd(stream);
    delete stream;
}

bool KxRlPakWindow::inflateStart(const uint8_t *input, size_t inputSize, uint8_t *output, size_t outputSize) {
    if (!inflater) {
        std::unique_ptr<z_stream> stream(new z_stream());
        if (inflateInit(stream.get()) != Z_OK) return false;
        inflater.reset(stream.release());
    } else if (inflateReset(inflater.get()) != Z_OK) {
        return false;
    }
    inflater->next_in = const_cast<uint8_t *>(input);
    inflater->avail_in = static_cast<uInt>(inputSize);
    inflater->next_out = output;
    inflater->avail_out = static_cast<uInt>(outputSize);
    inflate(inflater.get(), Z_SYNC_FLUSH);
    return inflater->avail_out == 0;
}

const uint8_t *KxRlPakWindow::view(int64_t offset, size_t size) {
    if (offset < 0 || offset > length || static_cast<uint64_t>(length - offset) < size) return nullptr;
    if (offset >= start && static_cast<uint64_t>(offset - start) <= filled &&
        filled - static_cast<size_t>(offset - start) >= size)
        return buffer.data() + (offset - start);
    size_t want = size > chunkSize ? size : chunkSize;
    if (static_cast<uint64_t>(length - offset) < want) want = static_cast<size_t>(length - offset);
    if (buffer.size() < want) buffer.resize(want);
    file->seek(offset);
    start = offset;
    filled = file->read(buffer.data(), want);
    // The archive was checked to be this long when it was opened; a shorter read means it shrank.
    if (filled < size) throw IOException("Unexpected end of file");
    return buffer.data();
}
