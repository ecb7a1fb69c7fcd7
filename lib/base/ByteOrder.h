#ifndef KX_BASE_BYTEORDER_H
#define KX_BASE_BYTEORDER_H

// Little-endian loads and stores by shifting, so that file bytes keep their order whatever
// the host's byte order.

#include <cstdint>
#include <cstring>

inline uint16_t kxLoadLE16(const uint8_t *b) { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }

inline uint32_t kxLoadLE32(const uint8_t *b) {
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
           (static_cast<uint32_t>(b[3]) << 24);
}

inline uint64_t kxLoadLE64(const uint8_t *b) { return kxLoadLE32(b) | (static_cast<uint64_t>(kxLoadLE32(b + 4)) << 32); }

// An IEEE binary32 stored little-endian.
inline float kxLoadLEFloat(const uint8_t *b) {
    uint32_t bits = kxLoadLE32(b);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void kxStoreLE16(uint8_t *b, uint16_t v) {
    b[0] = static_cast<uint8_t>(v);
    b[1] = static_cast<uint8_t>(v >> 8);
}

inline void kxStoreLE32(uint8_t *b, uint32_t v) {
    for (int i = 0; i < 4; i++) b[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void kxStoreLE64(uint8_t *b, uint64_t v) {
    kxStoreLE32(b, static_cast<uint32_t>(v));
    kxStoreLE32(b + 4, static_cast<uint32_t>(v >> 32));
}

#endif
