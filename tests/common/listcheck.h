// Small list helpers shared by the tests and the benchmark: a count of the
// live blocks (the installation's own blocks as the general library counts
// them, and the process heap's busy blocks for everything else, so that a
// leak shows as more blocks), whether a list is empty, and a list's items.
#ifndef LISTCHECK_H
#define LISTCHECK_H

#include <windows.h>

#include "vel32.h"

#include <vector>

namespace listcheck {

inline size_t LiveBlocks()
{
    uint32_t blocks = 0;
    KxMemoryUsage(&blocks, nullptr);
    size_t busy = blocks;
    PROCESS_HEAP_ENTRY entry = {};
    HeapLock(GetProcessHeap());
    while (HeapWalk(GetProcessHeap(), &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            ++busy;
    HeapUnlock(GetProcessHeap());
    return busy;
}

inline bool IsEmpty(ListHandle list)
{
    ListIterator it;
    void *item = nullptr;
    ListIteratorInit(&it, list);
    return ListIteratorNext(&it, &item) == 0;
}

// The items of a list, in order, as pointers to T.
template <typename T> std::vector<T *> Items(ListHandle list)
{
    std::vector<T *> items;
    ListIterator it;
    void *item = nullptr;
    ListIteratorInit(&it, list);
    while (ListIteratorNext(&it, &item))
        items.push_back(static_cast<T *>(item));
    return items;
}

} // namespace listcheck

#endif
