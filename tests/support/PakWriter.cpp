#include "PakWriter.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <zlib.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

void putLE32(std::string &bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; i++) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

std::string le32(uint32_t value) {
    std::string bytes(4, '\0');
    putLE32(bytes, 0, value);
    return bytes;
}

PakWriter::Entry &PakWriter::add(const std::string &dir, const std::string &name, const std::string &bytes,
                                 Storage storage) {
    Entry entry;
    entry.dir = dir;
    entry.name = name;
    entry.bytes = bytes;
    entry.storage = storage;
    entry.hash1 = 0x1000u + static_cast<uint32_t>(entries.size());
    entry.hash2 = 0x2000u + static_cast<uint32_t>(entries.size());
    entries.push_back(entry);
    return entries.back();
}

std::string PakWriter::deflate(const std::string &data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress(reinterpret_cast<Bytef *>(&out[0]), &size, reinterpret_cast<const Bytef *>(data.data()),
                 static_cast<uLong>(data.size())) != Z_OK)
        throw std::runtime_error("compress failed");
    out.resize(size);
    return out;
}

std::string PakWriter::compressionHeader(uint32_t decompressed, uint32_t compressed, uint32_t stored, uint32_t word) {
    return le32(word) + le32(decompressed) + le32(compressed) + le32(stored);
}

std::string PakWriter::encode(const std::string &bytes, Storage storage) {
    uint32_t size = static_cast<uint32_t>(bytes.size());
    switch (storage) {
    case STORED:
        return compressionHeader(size, size, 1) + bytes;
    case COMPRESSED: {
        std::string packed = deflate(bytes);
        return compressionHeader(size, static_cast<uint32_t>(packed.size()), 0) + packed;
    }
    case NESTED_STORED: {
        std::string packed = deflate(bytes);
        std::string nested = "zcmp" + compressionHeader(size, static_cast<uint32_t>(packed.size()), 0) + packed;
        uint32_t nestedSize = static_cast<uint32_t>(nested.size());
        return compressionHeader(nestedSize, nestedSize, 1) + nested;
    }
    case NESTED_COMPRESSED: {
        std::string packed = deflate(bytes);
        std::string nested = "zcmp" + compressionHeader(size, static_cast<uint32_t>(packed.size()), 0) + packed;
        std::string outer = deflate(nested);
        return compressionHeader(static_cast<uint32_t>(nested.size()), static_cast<uint32_t>(outer.size()), 0) + outer;
    }
    case RAW:
        return bytes;
    }
    return bytes;
}

// The header, index records and directory block (`head`), then the file table and the entry
// data (`far`), which start at `farOffset` (0: right behind the head).
void PakWriter::buildParts(uint32_t farOffset, std::string &head, std::string &far) const {
    // Directory names in order of first use, each zero-terminated.
    std::string dirBlock;
    std::map<std::string, uint32_t> dirOffsets;
    for (const Entry &entry : entries) {
        if (dirOffsets.count(entry.dir)) continue;
        dirOffsets[entry.dir] = static_cast<uint32_t>(dirBlock.size());
        dirBlock += entry.dir;
        dirBlock += '\0';
    }
    const uint32_t indexCount = 2;
    uint32_t indexOffset = headerSize();
    uint32_t dirOffset = indexOffset + indexCount * 8;
    uint32_t fileTableOffset = farOffset != 0 ? farOffset : dirOffset + static_cast<uint32_t>(dirBlock.size());
    uint32_t dataStart = fileTableOffset + static_cast<uint32_t>(entries.size()) * 56;

    std::string data;
    std::string table;
    for (const Entry &entry : entries) {
        uint32_t offset = entry.fixedOffset ? entry.dataOffset : dataStart + static_cast<uint32_t>(data.size());
        if (!entry.fixedOffset) data += encode(entry.bytes, entry.storage);
        uint32_t flags = entry.fixedFlags ? entry.flags : ((dirOffsets[entry.dir] << 1) | entry.extraFlags);
        std::string name = entry.name.substr(0, 32);
        name.resize(32, '\0');
        table += le32(entry.hash1) + le32(entry.hash2) + le32(offset) + le32(0xAAAA) + le32(0xBBBB) + le32(flags) + name;
    }

    head = le32(static_cast<uint32_t>(magic)) + le32(0x12345678) + le32(7) + le32(static_cast<uint32_t>(entries.size())) +
           le32(indexCount) + le32(static_cast<uint32_t>(dirOffsets.size())) +
           le32(static_cast<uint32_t>(dirBlock.size()));
    if (magic > 4) head += le32(11) + le32(22) + le32(33);
    head += le32(fileTableOffset) + le32(indexOffset) + le32(dirOffset);
    head += le32(1) + le32(100) + le32(2) + le32(200);  // index records
    head += dirBlock;
    far = table + data;
}

std::string PakWriter::build() const {
    std::string head, far;
    buildParts(0, head, far);
    return head + far;
}

std::string PakWriter::writeTo(const std::string &path) const {
    std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    std::string bytes = build();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

bool PakWriter::writeSparseTo(const std::string &path, uint32_t farOffset, std::string *whyNot) const {
    std::string head, far;
    buildParts(farOffset, head, far);
    std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path());
    std::error_code error;
#ifdef _WIN32
    // Windows programs run under Wine here, on the host's file system; on a real Windows
    // volume the gap may be written out, so it must at least fit.
    std::filesystem::space_info space = std::filesystem::space(target.parent_path(), error);
    if (error || space.available < static_cast<uint64_t>(farOffset) * 2) {
        *whyNot = "not enough free space for an archive of " + std::to_string(farOffset) + " bytes";
        return false;
    }
#endif
    {
        std::ofstream out(target, std::ios::binary);
        out.write(head.data(), static_cast<std::streamsize>(head.size()));
        out.close();
        // Extending the file leaves a hole; the far part is then appended (no seek, so no
        // 32-bit stream position on the way).
        std::filesystem::resize_file(target, farOffset, error);
        if (error) {
            *whyNot = "cannot extend " + path + ": " + error.message();
            std::filesystem::remove(target, error);
            return false;
        }
        std::ofstream tail(target, std::ios::binary | std::ios::app);
        tail.write(far.data(), static_cast<std::streamsize>(far.size()));
        if (!tail) throw std::runtime_error("cannot write " + path);
    }
#ifndef _WIN32
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || static_cast<uint64_t>(info.st_blocks) * 512 >= farOffset / 2) {
        *whyNot = "the file system of " + path + " does not keep files sparse";
        std::filesystem::remove(target, error);
        return false;
    }
#endif
    return true;
}
