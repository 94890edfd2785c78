// Memory blocks of the installation: every block comes from the process heap,
// so that a block made here may be released by any module of the installation.
// The live blocks are counted, for tests and measurements of the programs.
#include "vel32.h"

#include <atomic>
#include <cwchar>

namespace {

// Bytes are counted as HeapSize reports them, at both ends, so that the
// count returns to where it was whatever the heap rounds.
std::atomic<uint32_t> liveBlocks{0};
std::atomic<uint64_t> liveBytes{0};

} // namespace

extern "C" {

void *WINAPI KxMalloc(uint32_t size)
{
    // A zero-sized request still yields a distinct block that KxFree accepts.
    void *block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (block) {
        const SIZE_T held = HeapSize(GetProcessHeap(), 0, block);
        liveBlocks.fetch_add(1, std::memory_order_relaxed);
        liveBytes.fetch_add(held == static_cast<SIZE_T>(-1) ? 0 : held, std::memory_order_relaxed);
    }
    return block;
}

void WINAPI KxFree(void *block)
{
    if (!block)
        return;
    const SIZE_T held = HeapSize(GetProcessHeap(), 0, block);
    if (HeapFree(GetProcessHeap(), 0, block)) {
        liveBlocks.fetch_sub(1, std::memory_order_relaxed);
        liveBytes.fetch_sub(held == static_cast<SIZE_T>(-1) ? 0 : held, std::memory_order_relaxed);
    }
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
    if (blocks)
        *blocks = liveBlocks.load(std::memory_order_relaxed);
    if (bytes)
        *bytes = liveBytes.load(std::memory_order_relaxed);
}

} // extern "C"
