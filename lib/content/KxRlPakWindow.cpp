#include "KxRlPakWindow.h"

#include "RandomAccessFile.h"

KxRlPakWindow::KxRlPakWindow(RandomAccessFile *archiveFile, size_t chunk)
    : file(archiveFile), length(archiveFile->getLength()), chunkSize(chunk > 0 ? chunk : 1) {}

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
