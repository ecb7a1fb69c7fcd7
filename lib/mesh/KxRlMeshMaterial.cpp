#include "KxRlMeshMaterial.h"

#include "ByteOrder.h"
#include "KxRlMeshReadCheck.h"
#include "KxRlUtil.h"
#include "RandomAccessFile.h"
#include "StringBuffer.h"

#include <cstring>
#include <memory>

void kxrlReadMeshName(RandomAccessFile *file, char *buffer) {
    // All 32 bytes and a terminator: a field without NUL keeps its 32 characters.
    file->readChars(buffer, KXRL_MESH_NAME_FIELD, true);
}

// ---------------------------------------------------------------------------------------
// KxRlMeshBitmap

KxRlMeshBitmap::KxRlMeshBitmap() { std::memset(filename, 0, sizeof filename); }

KxRlMeshBitmap::KxRlMeshBitmap(const char *name) : KxRlMeshBitmap() { setFilename(name); }

KxRlMeshBitmap *KxRlMeshBitmap::CreateFromFile(RandomAccessFile *file) {
    std::unique_ptr<KxRlMeshBitmap> bitmap(new KxRlMeshBitmap());
    kxrlReadMeshName(file, bitmap->filename);
    return bitmap.release();
}

void KxRlMeshBitmap::setFilename(const char *name) {
    std::memset(filename, 0, sizeof filename);
    kxrlStrCopy(filename, name, KXRL_MESH_NAME_FIELD);
}

bool KxRlMeshBitmap::equals(const KxRlMeshBitmap *other) const {
    return other != nullptr && std::strcmp(filename, other->filename) == 0;
}

void KxRlMeshBitmap::toString(StringBuffer *buffer) const { buffer->append(filename); }

// ---------------------------------------------------------------------------------------
// KxRlMeshMaterial

void KxRlMeshMaterial::initPrefill() {
    for (int slot = 0; slot < 4; slot++) {
        bitmaps[slot] = nullptr;
        ownedBitmaps[slot] = false;
    }
    std::memset(rawData, 0, sizeof rawData);
    rawData[5] = 1;
    rawData[6] = 1;
    rawData[14] = 4;
    rawData[16] = 150;
    rawData[17] = 150;
    rawData[18] = 150;
    rawData[19] = 255;
}

KxRlMeshMaterial::KxRlMeshMaterial() { initPrefill(); }

KxRlMeshMaterial::KxRlMeshMaterial(KxRlMeshBitmap *base) {
    initPrefill();
    bitmaps[0] = base;
}

KxRlMeshMaterial::KxRlMeshMaterial(KxRlMeshBitmap *b0, KxRlMeshBitmap *b1, KxRlMeshBitmap *b2,
                                   KxRlMeshBitmap *b3) {
    initPrefill();
    bitmaps[0] = b0;
    bitmaps[1] = b1;
    bitmaps[2] = b2;
    bitmaps[3] = b3;
}

KxRlMeshMaterial::KxRlMeshMaterial(KxRlMeshBitmap *base, bool alpha, unsigned long colour) {
    initPrefill();
    bitmaps[0] = base;
    if (alpha) rawData[7] = 1;
    for (int i = 0; i < 4; i++) rawData[16 + i] = static_cast<uint8_t>(colour >> (8 * i));
}

KxRlMeshMaterial::KxRlMeshMaterial(KxRlMeshBitmap *base, bool alpha, unsigned long colour, unsigned char speedX,
                                   unsigned char speedY, unsigned char speedRotate)
    : KxRlMeshMaterial(base, alpha, colour) {
    rawData[20] = speedX;
    rawData[21] = speedY;
    rawData[22] = speedRotate;
}

KxRlMeshMaterial::~KxRlMeshMaterial() {
    for (int slot = 0; slot < 4; slot++) {
        if (ownedBitmaps[slot]) delete bitmaps[slot];
    }
}

KxRlMeshMaterial *KxRlMeshMaterial::CreateFromFile(RandomAccessFile *file, KxRlMeshBitmap **bitmaps,
                                                   int bitmapCount) {
    std::unique_ptr<KxRlMeshMaterial> material(new KxRlMeshMaterial());
    file->readChars(reinterpret_cast<char *>(material->rawData), KXRL_MATERIAL_RAW_SIZE, false);
    for (int slot = 0; slot < 4; slot++) {
        uint8_t index = material->rawData[slot];
        if (index == KXRL_NO_BITMAP_INDEX) continue;
        kxrlCheckMeshIndex(file, index, bitmapCount, "Bitmap index");
        material->bitmaps[slot] = bitmaps[index];
    }
    return material.release();
}

void KxRlMeshMaterial::setBitmap(int slot, const char *name) {
    // Only a bitmap of the slot's own may be renamed: any other may be shared by other slots
    // and materials, which keep their texture. The one it replaces stays with its owner.
    if (ownedBitmaps[slot]) {
        bitmaps[slot]->setFilename(name);
    } else {
        bitmaps[slot] = new KxRlMeshBitmap(name);
        ownedBitmaps[slot] = true;
    }
}

unsigned long KxRlMeshMaterial::getDiffuseColor() const {
    return kxLoadLE32(rawData + 16);
}

bool KxRlMeshMaterial::equals(const KxRlMeshMaterial *other) const {
    if (!other) return false;
    for (int slot = 0; slot < 4; slot++) {
        if (bitmaps[slot] == nullptr) {
            if (other->bitmaps[slot] != nullptr) return false;
        } else if (!bitmaps[slot]->equals(other->bitmaps[slot])) {
            return false;
        }
    }
    return std::memcmp(rawData + 4, other->rawData + 4, KXRL_MATERIAL_RAW_SIZE - 4) == 0;
}

void KxRlMeshMaterial::toString(StringBuffer *buffer) const {
    for (int slot = 0; slot < 4; slot++) {
        buffer->append('(');
        if (bitmaps[slot]) bitmaps[slot]->toString(buffer);
        buffer->append(')');
        if (slot < 3) buffer->append(' ');
    }
    buffer->append("\n  [ ");
    for (int i = 0; i < KXRL_MATERIAL_RAW_SIZE; i++) buffer->appendFormat("%02X ", rawData[i]);
    buffer->append(']');
}
