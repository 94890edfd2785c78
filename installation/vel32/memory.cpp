// Memory blocks of the installation. A program of the installation makes
// blocks by the hundred thousand (a copy of every dimension name and unit
// symbol, the arrays the units library hands out and takes back, the lists'
// arrays), so small blocks come from pools of this library: each size class
// of 8 bytes up to 1 KB has a list of released blocks and a slab of 64 KB to
// cut new ones from, and a slab is a piece of a region taken from the
// process heap. Larger blocks are heap blocks of their own. Any module of
// the installation may release a block here, since all go back through
// KxFree. The blocks of KxMalloc are counted, for tests and measurements of
// the programs; the lists' own are not.
//
// Every byte counts twice: a page that a program touches for the first time
// costs far more than the few instructions that cut a block from it. So the
// classes step by 8 bytes (a block whose size is a multiple of 16 is aligned
// to 16, as a heap block is; one of 8, 24, 40... bytes to 8, which is all an
// object of that size can need), and a block carries no header. For the
// same reason a large block given back here (a file's bytes read, an array
// outgrown) becomes a region of the pools, up to a bound, rather than going
// back to the heap, which returns such blocks to the system: its pages have
// been touched, and the next slabs are cut from them.
#include "vel32.h"
#include "pool.h"
#include "kxtext.h"

#include <atomic>
#include <cstddef>
#include <cwchar>

namespace {

constexpr size_t Granule = 8;      // every block's size is a multiple of this
constexpr size_t Alignment = 16;   // a slab's blocks start on this
constexpr size_t SmallMost = 1024; // larger blocks come from the heap directly
constexpr size_t ClassCount = SmallMost / Granule;
constexpr size_t SlabBytes = 64 * 1024;
constexpr size_t SlabHeader = Alignment; // the slab's size class, keeping blocks aligned
constexpr size_t FirstRegionBytes = 1024 * 1024;
constexpr size_t MostRegionBytes = 64 * 1024 * 1024; // regions double in size up to this
constexpr size_t MaxRegions = 64;
// Large blocks given back become regions while the pools hold fewer uncut
// bytes than this and fewer such regions than half of all, so that the
// pools keep room for regions of their own.
constexpr size_t MostSpareBytes = 32 * 1024 * 1024;
constexpr size_t MostTakenRegions = MaxRegions / 2;

struct FreeBlock {
    FreeBlock *Next;
};

// A piece of the process heap that is cut into slabs, one slab after the
// other; a slab serves one size class, whose index its header holds.
struct Region {
    char *Base;
    size_t Bytes;
    size_t Used;
    bool Untouched; // taken from the heap for the pools, not given back to them
};

struct SizeClass {
    FreeBlock *Released = nullptr;
    char *Next = nullptr; // uncut part of the class's newest slab
    char *End = nullptr;
};

struct Pools {
    SizeClass Classes[ClassCount];
    Region Regions[MaxRegions] = {};
    size_t RegionCount = 0;
    size_t Cutting = 0; // the region that new slabs come from
    size_t NextRegionBytes = FirstRegionBytes;
    uint32_t LiveBlocks = 0;
    uint64_t LiveBytes = 0;
};

Pools pools;

// The pools' lock: a block is made or given back in a few dozen
// instructions, so a waiting thread spins (giving way to others) rather than
// sleeps, and taking the lock costs one atomic exchange.
std::atomic_flag busy = ATOMIC_FLAG_INIT;

class Locked {
public:
    Locked()
    {
        while (busy.test_and_set(std::memory_order_acquire))
            SwitchToThread();
    }
    ~Locked() { busy.clear(std::memory_order_release); }
    Locked(const Locked &) = delete;
    Locked &operator=(const Locked &) = delete;
};

size_t ClassOf(size_t size)
{
    return size == 0 ? 0 : (size - 1) / Granule;
}

size_t ClassBytes(size_t sizeClass)
{
    return (sizeClass + 1) * Granule;
}

bool HasRoom(const Region &region)
{
    return region.Used + SlabBytes <= region.Bytes;
}

// Adds a region of the bytes at base (as many whole slabs as fit once the
// start is aligned), keeping the regions in the order of their addresses;
// its index, or MaxRegions when none fits or no place is left.
size_t AddRegion(void *base, size_t bytes, bool untouched)
{
    const auto address = reinterpret_cast<uintptr_t>(base);
    const size_t skip = (Alignment - address % Alignment) % Alignment;
    if (pools.RegionCount == MaxRegions || bytes < skip + SlabBytes)
        return MaxRegions;
    const Region added = {static_cast<char *>(base) + skip, (bytes - skip) / SlabBytes * SlabBytes,
                          0, untouched};
    size_t at = pools.RegionCount;
    for (; at > 0 && reinterpret_cast<uintptr_t>(pools.Regions[at - 1].Base) >
                         reinterpret_cast<uintptr_t>(added.Base);
         --at)
        pools.Regions[at] = pools.Regions[at - 1];
    pools.Regions[at] = added;
    if (pools.RegionCount > 0 && pools.Cutting >= at)
        ++pools.Cutting;
    ++pools.RegionCount;
    return at;
}

// A region with room for a slab: the one being cut, another that has room
// (a large block given back), or a new one from the heap, twice the size
// of the pools' last; false when the heap has no more.
bool FindRoom()
{
    if (pools.RegionCount && HasRoom(pools.Regions[pools.Cutting]))
        return true;
    for (size_t i = 0; i < pools.RegionCount; ++i) {
        if (HasRoom(pools.Regions[i])) {
            pools.Cutting = i;
            return true;
        }
    }
    size_t bytes = pools.NextRegionBytes;
    // A little more, so that the slabs can start aligned.
    void *base = HeapAlloc(GetProcessHeap(), 0, bytes + Alignment);
    if (!base && bytes > FirstRegionBytes) {
        bytes = FirstRegionBytes;
        base = HeapAlloc(GetProcessHeap(), 0, bytes + Alignment);
    }
    if (!base)
        return false;
    const size_t added = AddRegion(base, bytes + Alignment, true);
    if (added == MaxRegions) {
        HeapFree(GetProcessHeap(), 0, base);
        return false;
    }
    pools.Cutting = added;
    pools.NextRegionBytes = bytes * 2 > MostRegionBytes ? MostRegionBytes : bytes * 2;
    return true;
}

// A new slab for the size class; false when the heap has no more.
bool NewSlab(size_t sizeClass)
{
    if (!FindRoom())
        return false;
    Region &region = pools.Regions[pools.Cutting];
    char *slab = region.Base + region.Used;
    region.Used += SlabBytes;
    // The slab's pages made present in one call rather than by a fault
    // each. Only a lock that succeeded is undone: unlocking pages that are
    // not locked would take them out of the working set.
    if (region.Untouched && VirtualLock(slab, SlabBytes))
        VirtualUnlock(slab, SlabBytes);
    *reinterpret_cast<size_t *>(slab) = sizeClass;
    pools.Classes[sizeClass].Next = slab + SlabHeader;
    pools.Classes[sizeClass].End = slab + SlabBytes;
    return true;
}

// Takes a heap block that is given back as a region of the pools, while
// they are within their bounds; false leaves it to the heap.
bool TakeAsRegion(void *block, uint64_t bytes)
{
    size_t taken = 0;
    uint64_t spare = 0;
    for (size_t i = 0; i < pools.RegionCount; ++i) {
        taken += pools.Regions[i].Untouched ? 0 : 1;
        spare += pools.Regions[i].Bytes - pools.Regions[i].Used;
    }
    return taken < MostTakenRegions && spare + bytes <= MostSpareBytes &&
           AddRegion(block, static_cast<size_t>(bytes), false) != MaxRegions;
}

// The size class of a pooled block, or false for a heap block of its own.
bool PooledClass(const void *block, size_t &sizeClass)
{
    const uintptr_t at = reinterpret_cast<uintptr_t>(block);
    // The last region that starts at or before the block.
    size_t low = 0;
    size_t high = pools.RegionCount;
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (reinterpret_cast<uintptr_t>(pools.Regions[middle].Base) <= at)
            low = middle + 1;
        else
            high = middle;
    }
    if (low == 0)
        return false;
    const Region &region = pools.Regions[low - 1];
    const size_t offset = at - reinterpret_cast<uintptr_t>(region.Base);
    if (offset >= region.Used)
        return false;
    sizeClass = *reinterpret_cast<const size_t *>(region.Base + offset / SlabBytes * SlabBytes);
    return true;
}

void *AllocatePooled(size_t size)
{
    const size_t sizeClass = ClassOf(size);
    SizeClass &pool = pools.Classes[sizeClass];
    if (FreeBlock *block = pool.Released) {
        pool.Released = block->Next;
        return block;
    }
    const size_t bytes = ClassBytes(sizeClass);
    if (static_cast<size_t>(pool.End - pool.Next) < bytes && !NewSlab(sizeClass))
        return nullptr;
    void *block = pool.Next;
    pool.Next += bytes;
    return block;
}

// Bytes of a heap block as HeapSize reports them, at both ends, so that the
// count returns to where it was whatever the heap rounds.
uint64_t HeapBytes(void *block)
{
    const SIZE_T held = HeapSize(GetProcessHeap(), 0, block);
    return held == static_cast<SIZE_T>(-1) ? 0 : held;
}

// A block of the pools or the heap; a counted one is added to the live
// blocks.
void *Allocate(size_t size, bool counted)
{
    if (size <= SmallMost) {
        Locked lock;
        void *block = AllocatePooled(size);
        if (block && counted) {
            ++pools.LiveBlocks;
            pools.LiveBytes += ClassBytes(ClassOf(size));
        }
        return block;
    }
    void *block = HeapAlloc(GetProcessHeap(), 0, size);
    if (block && counted) {
        const uint64_t bytes = HeapBytes(block);
        Locked lock;
        ++pools.LiveBlocks;
        pools.LiveBytes += bytes;
    }
    return block;
}

// Gives a block back to its pool or the heap; a counted one leaves the live
// blocks. A block that is neither changes nothing.
void Release(void *block, bool counted)
{
    if (!block)
        return;
    {
        Locked lock;
        size_t sizeClass = 0;
        if (PooledClass(block, sizeClass)) {
            auto *released = static_cast<FreeBlock *>(block);
            released->Next = pools.Classes[sizeClass].Released;
            pools.Classes[sizeClass].Released = released;
            if (counted) {
                --pools.LiveBlocks;
                pools.LiveBytes -= ClassBytes(sizeClass);
            }
            return;
        }
    }
    const uint64_t bytes = HeapBytes(block);
    bool taken = false;
    {
        Locked lock;
        taken = TakeAsRegion(block, bytes);
    }
    if (!taken && !HeapFree(GetProcessHeap(), 0, block))
        return;
    if (counted) {
        Locked lock;
        --pools.LiveBlocks;
        pools.LiveBytes -= bytes;
    }
}

} // namespace

void *kxpool::Allocate(size_t size)
{
    return ::Allocate(size, false);
}

void kxpool::Release(void *block)
{
    ::Release(block, false);
}

extern "C" {

void *WINAPI KxMalloc(uint32_t size)
{
    return Allocate(size, true);
}

void WINAPI KxFree(void *block)
{
    Release(block, true);
}

wchar_t *WINAPI KxStrdupW(const wchar_t *text)
{
    if (!text)
        text = L"";
    // Most copies are of a name or symbol of a few characters, copied here
    // rather than by a call into the C library.
    const size_t chars = kx::Length(text) + 1;
    auto *copy = static_cast<wchar_t *>(KxMalloc(static_cast<uint32_t>(chars * sizeof(wchar_t))));
    if (copy) {
        for (size_t i = 0; i < chars; ++i)
            copy[i] = text[i];
    }
    return copy;
}

void WINAPI KxMemoryUsage(uint32_t *blocks, uint64_t *bytes)
{
    Locked lock;
    if (blocks)
        *blocks = pools.LiveBlocks;
    if (bytes)
        *bytes = pools.LiveBytes;
}

} // extern "C"
