#include "HashMap.h"

#include "IOException.h"

#include <cstring>

uint32_t kxhash(const char *text) {
    if (!text) return 0;
    return kxhash(text, static_cast<uint32_t>(std::strlen(text)));
}

uint32_t kxhash(const void *bytes, uint32_t length) {
    if (!bytes) return 0;
    const unsigned char *p = static_cast<const unsigned char *>(bytes);
    uint32_t hash = 5381;
    for (uint32_t i = 0; i < length; i++) hash = hash * 33 + p[i];
    return hash;
}

bool equals(const void *a, uint32_t aLength, const void *b, uint32_t bLength) {
    if (!a || !b) return a == b;
    return aLength == bLength && std::memcmp(a, b, aLength) == 0;
}

uint32_t findNextCapacity(uint32_t n) {
    static const uint32_t primes[] = {17, 37, 79, 163, 331, 673, 1361, 2729, 5471, 10949, 21911, 43853};
    for (uint32_t p : primes)
        if (p > n) return p;
    return n * 2 + 1;
}

namespace {
uint32_t keyLengthOf(const char *key) { return key ? static_cast<uint32_t>(std::strlen(key)) : 0; }
}  // namespace

HashMap::HashMap() { init(17, 0.75f); }

HashMap::HashMap(uint32_t initialCapacity) { init(initialCapacity, 0.75f); }

HashMap::HashMap(uint32_t initialCapacity, float factor) { init(initialCapacity, factor); }

void HashMap::init(uint32_t initialCapacity, float factor) {
    if (initialCapacity % 2 == 0) initialCapacity++;
    if (!(factor >= 0.5f)) factor = 0.5f;
    capacity = initialCapacity;
    loadFactor = factor;
    threshold = static_cast<int>(static_cast<float>(capacity) * loadFactor);
    length = 0;
    buckets = new _INT_HashEntry[capacity]();
}

HashMap::~HashMap() {
    clear();
    delete[] buckets;
}

void HashMap::clear() {
    for (uint32_t i = 0; i < capacity; i++) {
        _INT_HashEntry *node = buckets[i].next;
        while (node) {
            _INT_HashEntry *next = node->next;
            delete node;
            node = next;
        }
        buckets[i] = _INT_HashEntry();
    }
    length = 0;
}

const _INT_HashEntry *HashMap::findEntry(const void *key, uint32_t keyLength) const {
    const _INT_HashEntry *entry = &buckets[kxhash(key, keyLength) % capacity];
    if (!entry->inUse) return nullptr;
    for (; entry; entry = entry->next)
        if (equals(entry->key, entry->keyLength, key, keyLength)) return entry;
    return nullptr;
}

// Makes the new entry the bucket's head; the old head moves into a new chain node behind it.
void HashMap::attach(_INT_HashEntry *bucket, const void *key, uint32_t keyLength, void *value) {
    if (bucket->inUse) bucket->next = new _INT_HashEntry(*bucket);
    bucket->inUse = true;
    bucket->key = key;
    bucket->keyLength = keyLength;
    bucket->value = value;
}

void HashMap::rehash() {
    uint32_t oldCapacity = capacity;
    _INT_HashEntry *oldBuckets = buckets;
    capacity = findNextCapacity(oldCapacity);
    threshold = static_cast<int>(static_cast<float>(capacity) * loadFactor);
    buckets = new _INT_HashEntry[capacity]();
    for (uint32_t i = 0; i < oldCapacity; i++) {
        if (!oldBuckets[i].inUse) continue;
        for (const _INT_HashEntry *e = &oldBuckets[i]; e; e = e->next)
            attach(&buckets[kxhash(e->key, e->keyLength) % capacity], e->key, e->keyLength, e->value);
        _INT_HashEntry *node = oldBuckets[i].next;
        while (node) {
            _INT_HashEntry *next = node->next;
            delete node;
            node = next;
        }
    }
    delete[] oldBuckets;
}

void *HashMap::put(const char *key, void *value) { return put(key, keyLengthOf(key), value); }

void *HashMap::put(const void *key, uint32_t keyLength, void *value) {
    _INT_HashEntry *existing = const_cast<_INT_HashEntry *>(findEntry(key, keyLength));
    if (existing) {
        void *previous = existing->value;
        existing->value = value;
        return previous;
    }
    if (static_cast<int>(length) >= threshold) rehash();
    length++;
    attach(&buckets[kxhash(key, keyLength) % capacity], key, keyLength, value);
    return nullptr;
}

void *HashMap::get(const char *key) const { return get(key, keyLengthOf(key)); }

void *HashMap::get(const void *key, uint32_t keyLength) const {
    const _INT_HashEntry *entry = findEntry(key, keyLength);
    return entry ? entry->value : nullptr;
}

bool HashMap::containsKey(const char *key) const { return findEntry(key, keyLengthOf(key)) != nullptr; }

bool HashMap::containsKey(const void *key, uint32_t keyLength) const {
    return findEntry(key, keyLength) != nullptr;
}

bool HashMap::containsValue(const void *value) const {
    for (uint32_t i = 0; i < capacity; i++) {
        if (!buckets[i].inUse) continue;
        for (const _INT_HashEntry *e = &buckets[i]; e; e = e->next)
            if (e->value == value) return true;
    }
    return false;
}

void *HashMap::remove(const char *key) { return remove(key, keyLengthOf(key)); }

void *HashMap::remove(const void *key, uint32_t keyLength) {
    _INT_HashEntry *head = &buckets[kxhash(key, keyLength) % capacity];
    if (!head->inUse) return nullptr;
    _INT_HashEntry *previous = nullptr;
    for (_INT_HashEntry *e = head; e; previous = e, e = e->next) {
        if (!equals(e->key, e->keyLength, key, keyLength)) continue;
        void *value = e->value;
        if (previous) {
            previous->next = e->next;
            delete e;
        } else if (e->next) {
            _INT_HashEntry *successor = e->next;
            *e = *successor;
            delete successor;
        } else {
            *e = _INT_HashEntry();
        }
        length--;
        return value;
    }
    return nullptr;
}

const _INT_HashEntry *HashMap::entryAt(int index) const {
    if (index < 0 || static_cast<uint32_t>(index) >= length) throw IndexOutOfBoundsException;
    int seen = 0;
    for (uint32_t i = 0; i < capacity; i++) {
        if (!buckets[i].inUse) continue;
        for (const _INT_HashEntry *e = &buckets[i]; e; e = e->next)
            if (seen++ == index) return e;
    }
    throw IndexOutOfBoundsException;
}

const void *HashMap::getKey(int index) const { return entryAt(index)->key; }

void *HashMap::getValue(int index) const { return entryAt(index)->value; }
