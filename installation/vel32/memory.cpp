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
// object of that size can need), and a block carries no header.
#include "vel32.h"
#include "pool.h"

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

struct FreeBlock {
    FreeBlock *Next;
};

// A piece of the process heap that is cut into slabs, one slab after the
// other; a slab serves one size class, whose index its header holds.
struct Region {
    char *Base;
    size_t Bytes;
    size_t Used;
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

// A new slab for the size class, from the newest region or a new one twice
// its size; false when the heap has no more.
bool NewSlab(size_t sizeClass)
{
    Region *region = pools.RegionCount ? &pools.Regions[pools.RegionCount - 1] : nullptr;
    if (!region || region->Used + SlabBytes > region->Bytes) {
        if (pools.RegionCount == MaxRegions)
            return false;
        size_t bytes = region ? region->Bytes * 2 : FirstRegionBytes;
        if (bytes > MostRegionBytes)
            bytes = MostRegionBytes;
        // A little more, so that the slabs can start aligned.
        void *base = HeapAlloc(GetProcessHeap(), 0, bytes + Alignment);
        if (!base && bytes > FirstRegionBytes) {
            bytes = FirstRegionBytes;
            base = HeapAlloc(GetProcessHeap(), 0, bytes + Alignment);
        }
        if (!base)
            return false;
        region = &pools.Regions[pools.RegionCount++];
        const auto address = reinterpret_cast<uintptr_t>(base);
        region->Base = static_cast<char *>(base) + (Alignment - address % Alignment) % Alignment;
        region->Bytes = bytes;
        region->Used = 0;
    }
    char *slab = region->Base + region->Used;
    region->Used += SlabBytes;
    *reinterpret_cast<size_t *>(slab) = sizeClass;
    pools.Classes[sizeClass].Next = slab + SlabHeader;
    pools.Classes[sizeClass].End = slab + SlabBytes;
    return true;
}

// The size class of a pooled block, or false for a heap block of its own.
bool PooledClass(const void *block, size_t &sizeClass)
{
    const uintptr_t at = reinterpret_cast<uintptr_t>(block);
    for (size_t i = pools.RegionCount; i-- > 0;) {
        const Region &region = pools.Regions[i];
        const uintptr_t base = reinterpret_cast<uintptr_t>(region.Base);
        if (at >= base && at - base < region.Used) {
            const size_t slab = (at - base) / SlabBytes;
            sizeClass = *reinterpret_cast<const size_t *>(region.Base + slab * SlabBytes);
            return true;
        }
    }
    return false;
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
    if (HeapFree(GetProcessHeap(), 0, block) && counted) {
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
    const size_t chars = wcslen(text) + 1;
    auto *copy = static_cast<wchar_t *>(KxMalloc(static_cast<uint32_t>(chars * sizeof(wchar_t))));
    if (copy)
        wmemcpy(copy, text, chars);
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
