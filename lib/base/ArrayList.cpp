#include "ArrayList.h"

#include "IOException.h"

#include <cstring>

ArrayList::ArrayList() : ArrayList(16) {}

ArrayList::ArrayList(uint32_t initialCapacity) {
    uint32_t increment = initialCapacity > 256 ? 256 : initialCapacity;
    growthIncrement = (increment + 15) & ~15u;
    capacity = initialCapacity;
    length = 0;
    items = capacity ? new void *[capacity] : nullptr;
}

ArrayList::~ArrayList() { delete[] items; }

void ArrayList::checkListPos(int index, bool allowEnd) const {
    if (index < 0) throw IndexOutOfBoundsException;
    uint32_t position = static_cast<uint32_t>(index);
    if (position > length || (!allowEnd && position == length)) throw IndexOutOfBoundsException;
}

void *ArrayList::get(int index) const {
    checkListPos(index, false);
    return items[index];
}

void ArrayList::ensureCapacity(uint32_t needed) {
    if (capacity >= needed) return;
    uint32_t grown = capacity + growthIncrement;
    uint32_t newCapacity = grown > needed ? grown : needed;
    void **newItems = new void *[newCapacity];
    if (length) std::memcpy(newItems, items, length * sizeof(void *));
    delete[] items;
    items = newItems;
    capacity = newCapacity;
}

void ArrayList::add(void *item) {
    ensureCapacity(length + 1);
    items[length++] = item;
}

void ArrayList::add(int index, void *item) {
    checkListPos(index, true);
    ensureCapacity(length + 1);
    std::memmove(items + index + 1, items + index, (length - static_cast<uint32_t>(index)) * sizeof(void *));
    items[index] = item;
    length++;
}

void ArrayList::set(int index, void *item) {
    checkListPos(index, false);
    items[index] = item;
}

void *ArrayList::remove(int index) {
    checkListPos(index, false);
    void *removed = items[index];
    std::memmove(items + index, items + index + 1, (length - static_cast<uint32_t>(index) - 1) * sizeof(void *));
    length--;
    return removed;
}
