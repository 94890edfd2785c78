// Memory blocks of the installation: every block comes from the process heap,
// so that a block made here may be released by any module of the installation.
#include "vel32.h"

#include <cwchar>

extern "C" {

void *WINAPI KxMalloc(uint32_t size)
{
    // A zero-sized request still yields a distinct block that KxFree accepts.
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

void WINAPI KxFree(void *block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
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

} // extern "C"
