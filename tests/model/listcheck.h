// Small checks shared by the catalogue tests of every test program here: a
// count of the process heap's busy blocks (every installation block lives
// on that heap, so a leak shows as more blocks), and whether a list is empty.
#ifndef LISTCHECK_H
#define LISTCHECK_H

#include <windows.h>

#include "vel32.h"

namespace listcheck {

inline size_t BusyHeapBlocks()
{
    size_t busy = 0;
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

} // namespace listcheck

#endif
