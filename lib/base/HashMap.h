#ifndef KX_BASE_HASHMAP_H
#define KX_BASE_HASHMAP_H

#include <cstdint>

// Bucket head and chain node of HashMap. Heads live inline in the bucket array; chain nodes
// are allocated one by one.
struct _INT_HashEntry {
    bool inUse;
    const void *key;
    uint32_t keyLength;
    void *value;
    _INT_HashEntry *next;
};

// djb2 over a zero-terminated text or a byte range; a null pointer hashes to 0.
uint32_t kxhash(const char *text);
uint32_t kxhash(const void *bytes, uint32_t length);
// Both null: true; one null: false; else equal lengths and bytes.
bool equals(const void *a, uint32_t aLength, const void *b, uint32_t bLength);
// Next bucket count after n: 17, 37, 79, ... 43853, then n * 2 + 1.
uint32_t findNextCapacity(uint32_t n);

// Chained hash table from byte-string keys to untyped pointers. It stores the caller's key
// pointer (never a copy), so the key bytes must stay alive and unchanged while the entry
// exists. Neither keys nor values are owned. Within a bucket the newest entry is the head.
class HashMap {
public:
    HashMap();                                     // 17 buckets, load factor 0.75
    explicit HashMap(uint32_t capacity);           // load factor 0.75
    HashMap(uint32_t capacity, float loadFactor);  // even capacity + 1; load factor at least 0.5
    ~HashMap();
    HashMap(const HashMap &) = delete;
    HashMap &operator=(const HashMap &) = delete;

    // Returns the previous value when the key was present (the entry keeps its first key
    // pointer), otherwise null.
    void *put(const char *key, void *value);
    void *put(const void *key, uint32_t keyLength, void *value);
    void *get(const char *key) const;
    void *get(const void *key, uint32_t keyLength) const;
    bool containsKey(const char *key) const;
    bool containsKey(const void *key, uint32_t keyLength) const;
    bool containsValue(const void *value) const;
    void *remove(const char *key);
    void *remove(const void *key, uint32_t keyLength);

    uint32_t getLength() const { return length; }
    uint32_t getCapacity() const { return capacity; }
    float getLoadFactor() const { return loadFactor; }
    int getThreshold() const { return threshold; }

    // The i-th entry in iteration order: buckets in index order, each head then its chain.
    // Throws IndexOutOfBoundsException unless 0 <= i < length.
    const void *getKey(int index) const;
    void *getValue(int index) const;

    void clear();

private:
    void init(uint32_t capacity, float loadFactor);
    const _INT_HashEntry *findEntry(const void *key, uint32_t keyLength) const;
    const _INT_HashEntry *entryAt(int index) const;
    void rehash();
    static void attach(_INT_HashEntry *bucket, const void *key, uint32_t keyLength, void *value);

    uint32_t capacity;
    float loadFactor;
    int threshold;
    uint32_t length;
    _INT_HashEntry *buckets;
};

#endif
