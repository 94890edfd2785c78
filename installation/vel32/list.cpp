// Ordered lists of item pointers and their caller-owned iterators. The list
// never copies, interprets or releases its items.
//
// A program holds a list for every dimension, so a list is small: one array
// of the items, followed by an end mark that no caller can pass as an item
// (the address of this library's own marker), in a block of the library's
// pools that grows by half when it is full. The iterator is one pointer-sized
// word: the place of the next item in that array. ListFindIth is a look-up
// in the array. An iterated list does not change meanwhile, so that an
// array given up when it grew is never read again.
#include "vel32.h"
#include "pool.h"

#include <cstring>

namespace {

const char EndMarker = 0;
void *const EndMark = const_cast<char *>(&EndMarker);

constexpr size_t FirstSlots = 4; // three items and the end mark

} // namespace

struct KxListRec {
    void **Slots; // Count items, then the end mark; null while empty
    size_t Count;
    size_t Capacity; // slots, the end mark's included
};

extern "C" {

ListHandle WINAPI ListCreate(KxStatus *status)
{
    auto *list = static_cast<KxListRec *>(kxpool::Allocate(sizeof(KxListRec)));
    if (list) {
        list->Slots = nullptr;
        list->Count = 0;
        list->Capacity = 0;
    }
    *status = list ? 0 : 1;
    return list;
}

void WINAPI ListAddBack(ListHandle list, void *item, KxStatus *status)
{
    if (!list) {
        *status = 1;
        return;
    }
    if (list->Count + 1 >= list->Capacity) {
        const size_t capacity =
            list->Capacity ? list->Capacity + (list->Capacity / 2 + 1) / 2 * 2 : FirstSlots;
        if (capacity > static_cast<size_t>(-1) / sizeof(void *)) {
            *status = 1;
            return;
        }
        auto **slots = static_cast<void **>(kxpool::Allocate(capacity * sizeof(void *)));
        if (!slots) {
            *status = 1;
            return;
        }
        if (list->Slots)
            memcpy(slots, list->Slots, list->Count * sizeof(void *));
        kxpool::Release(list->Slots);
        list->Slots = slots;
        list->Capacity = capacity;
    }
    list->Slots[list->Count++] = item;
    list->Slots[list->Count] = EndMark;
    *status = 0;
}

void *WINAPI ListFindIth(ListHandle list, int32_t position, KxStatus *status)
{
    if (!list || position < 0 || static_cast<size_t>(position) >= list->Count) {
        *status = 1;
        return nullptr;
    }
    *status = 0;
    return list->Slots[position];
}

void WINAPI ListIteratorInit(ListIterator *iterator, ListHandle list)
{
    iterator->Position = list ? list->Slots : nullptr;
}

int16_t WINAPI ListIteratorNext(ListIterator *iterator, void **item)
{
    auto **slot = static_cast<void **>(iterator->Position);
    if (!slot || *slot == EndMark) {
        *item = nullptr;
        return 0;
    }
    *item = *slot;
    iterator->Position = slot + 1;
    return 1;
}

void WINAPI ListFree(ListHandle list)
{
    if (!list)
        return;
    kxpool::Release(list->Slots);
    kxpool::Release(list);
}

} // extern "C"
