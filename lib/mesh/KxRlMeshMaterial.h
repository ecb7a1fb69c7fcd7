#ifndef KX_MESH_KXRLMESHMATERIAL_H
#define KX_MESH_KXRLMESHMATERIAL_H

#include <cstddef>
#include <cstdint>

class RandomAccessFile;
class StringBuffer;

// Size of a name field in an MSH file: at most 31 characters and a NUL.
constexpr size_t KXRL_MESH_NAME_FIELD = 32;
// Size of the buffers that hold such names in memory: a field read from a file that has no
// NUL keeps all 32 bytes and still gets a terminator.
constexpr size_t KXRL_MESH_NAME_SIZE = KXRL_MESH_NAME_FIELD + 1;

// Reads one 32-byte name field into `buffer` (KXRL_MESH_NAME_SIZE bytes): the characters up
// to the first NUL, or all 32 when there is none. An IOException of the file passes through.
void kxrlReadMeshName(RandomAccessFile *file, char *buffer);

// One entry of an MSH file's bitmap section: a texture file name.
class KxRlMeshBitmap {
public:
    // Empty name.
    KxRlMeshBitmap();
    // Copies at most 31 characters of `name` (null gives the empty name).
    explicit KxRlMeshBitmap(const char *name);
    KxRlMeshBitmap(const KxRlMeshBitmap &) = delete;
    KxRlMeshBitmap &operator=(const KxRlMeshBitmap &) = delete;

    // A new bitmap (owned by the caller) from a 32-byte name field. An IOException of the
    // file passes through and nothing is allocated then.
    static KxRlMeshBitmap *CreateFromFile(RandomAccessFile *file);

    // The name, writable in place (KXRL_MESH_NAME_SIZE bytes; keep at most 31 characters
    // when writing, see setFilename).
    char *getFilename() { return filename; }
    const char *getFilename() const { return filename; }
    // Replaces the name with at most 31 characters of `name` (null gives the empty name).
    void setFilename(const char *name);

    // True when `other` is not null and the names are equal, case-sensitive.
    bool equals(const KxRlMeshBitmap *other) const;
    // Appends the name.
    void toString(StringBuffer *buffer) const;

private:
    char filename[KXRL_MESH_NAME_SIZE];
};

// Size of a material record: 4 bitmap index bytes and 20 settings bytes.
constexpr int KXRL_MATERIAL_RAW_SIZE = 24;
// Bitmap index byte of a slot without a texture.
constexpr uint8_t KXRL_NO_BITMAP_INDEX = 0xFF;

// One entry of an MSH file's material section: four texture slots (0 base, 1 reflective,
// 2 light-map, 3 specular) and the 24 raw bytes of the record. Raw bytes 0 to 3 are the
// bitmap indices as read, 4 to 23 the settings: 7 alpha on, 8 set with 7 by the tools'
// alpha switches, 16 to 19 the diffuse colour (little-endian), 20 and 21 the texture
// animation speeds in X and Y, 22 the rotation speed; the rest is kept uninterpreted.
//
// Bitmaps given to a constructor or resolved from a file are not owned by the material
// (a file's bitmaps belong to the file, a constructor's to its caller); a bitmap that
// setBitmap creates belongs to the material and is freed with it (ownsBitmap). Code that
// frees the bitmaps it gave a material frees only those that are not the material's own.
class KxRlMeshMaterial {
public:
    // Each constructor starts from the settings of a new material: bytes 0 to 3 zero,
    // 5 and 6 one, 14 four, diffuse colour 150, 150, 150, 255, everything else zero.
    KxRlMeshMaterial();
    explicit KxRlMeshMaterial(KxRlMeshBitmap *base);
    KxRlMeshMaterial(KxRlMeshBitmap *b0, KxRlMeshBitmap *b1, KxRlMeshBitmap *b2, KxRlMeshBitmap *b3);
    // `alpha` sets byte 7 to 1 (byte 8 stays 0); `colour` is the diffuse colour.
    KxRlMeshMaterial(KxRlMeshBitmap *base, bool alpha, unsigned long colour);
    // Also sets the animation bytes 20 to 22.
    KxRlMeshMaterial(KxRlMeshBitmap *base, bool alpha, unsigned long colour, unsigned char speedX,
                     unsigned char speedY, unsigned char speedRotate);
    ~KxRlMeshMaterial();
    KxRlMeshMaterial(const KxRlMeshMaterial &) = delete;
    KxRlMeshMaterial &operator=(const KxRlMeshMaterial &) = delete;

    // A new material (owned by the caller) from a 24-byte record. Each index byte other
    // than 0xFF must be below `bitmapCount`; its slot points at that entry of `bitmaps`.
    // Throws IOException "Bitmap index out of range ..." for an index that is not, and lets
    // the file's IOException pass through; nothing is left allocated then.
    static KxRlMeshMaterial *CreateFromFile(RandomAccessFile *file, KxRlMeshBitmap **bitmaps, int bitmapCount);

    // Slot 0 to 3, unchecked; null for an empty slot.
    KxRlMeshBitmap *getBitmap(int slot) const { return bitmaps[slot]; }
    // Gives the slot the texture `name` (at most 31 characters) without touching any other
    // user of its bitmap: a slot whose bitmap is the material's own has it renamed in place;
    // any other slot (empty, or holding a bitmap of the file or of the caller, which other
    // slots and materials may share) gets a new bitmap of that name, owned by this material.
    // The bitmap it held before is left to its owner, unchanged.
    void setBitmap(int slot, const char *name);
    // True when the slot's bitmap was made by setBitmap and is freed with the material.
    bool ownsBitmap(int slot) const { return ownedBitmaps[slot]; }

    // The 24 raw bytes, writable: tools change settings through it.
    uint8_t *getRawData() { return rawData; }
    const uint8_t *getRawData() const { return rawData; }

    bool getHasAlpha() const { return rawData[7] != 0; }
    unsigned long getDiffuseColor() const;
    unsigned char getSpeedX() const { return rawData[20]; }
    unsigned char getSpeedY() const { return rawData[21]; }
    unsigned char getSpeedRotate() const { return rawData[22]; }

    // True when every slot is empty in both or holds bitmaps of equal names in both, and the
    // settings bytes 4 to 23 are identical. The index bytes 0 to 3 are not compared.
    bool equals(const KxRlMeshMaterial *other) const;

    // Appends "(name) (name) (name) (name)\n  [ " and the 24 raw bytes each as "%02X ",
    // then "]"; an empty slot shows "()". No newline at the end.
    void toString(StringBuffer *buffer) const;

private:
    void initPrefill();

    KxRlMeshBitmap *bitmaps[4];
    bool ownedBitmaps[4];
    uint8_t rawData[KXRL_MATERIAL_RAW_SIZE];
};

#endif
