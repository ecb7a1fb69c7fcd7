#ifndef KX_BASE_ARRAYLIST_H
#define KX_BASE_ARRAYLIST_H

#include <cstdint>

// Growable array of untyped pointers. The list never owns what it points to: the code that
// fills it deletes the elements. Out-of-range positions throw IndexOutOfBoundsException.
class ArrayList {
public:
    ArrayList();                            // capacity 16
    explicit ArrayList(uint32_t capacity);  // grows by the capacity capped at 256, rounded up to 16
    ~ArrayList();
    ArrayList(const ArrayList &) = delete;
    ArrayList &operator=(const ArrayList &) = delete;

    uint32_t getLength() const { return length; }
    uint32_t getCapacity() const { return capacity; }

    void *get(int index) const;
    void add(void *item);
    void add(int index, void *item);  // 0 <= index <= length
    void set(int index, void *item);
    void *remove(int index);
    void clear() { length = 0; }
    void ensureCapacity(uint32_t needed);
    void checkListPos(int index, bool allowEnd) const;

private:
    uint32_t growthIncrement;
    uint32_t capacity;
    uint32_t length;
    void **items;
};

#endif
