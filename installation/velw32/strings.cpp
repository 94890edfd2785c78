// Loading texts from a module's string table: as a new block or into a
// caller's buffer of fixed capacity.
#include "velw32.h"
#include "texts.h"

#include <cstring>

extern "C" {

// Never null: a string the module lacks (or a module that is not there)
// gives a block with the empty text, so callers can use the result untested.
VELW32_API wchar_t *WINAPI StrLoadNewW(HMODULE module, UINT id)
{
    const std::wstring text = VelwLoadString(module, id);
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    wchar_t *block = static_cast<wchar_t *>(KxMalloc(static_cast<uint32_t>(bytes)));
    if (!block)
        return nullptr;
    std::memcpy(block, text.c_str(), bytes);
    return block;
}

// Copies at most capacity - 1 characters and the terminator; a longer text
// is cut. Nothing is written when there is no room even for the terminator.
VELW32_API int32_t WINAPI StrLoadW(HMODULE module, UINT id, wchar_t *buffer, int32_t capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    const std::wstring text = VelwLoadString(module, id);
    size_t count = text.size();
    if (count > static_cast<size_t>(capacity) - 1)
        count = static_cast<size_t>(capacity) - 1;
    std::memcpy(buffer, text.data(), count * sizeof(wchar_t));
    buffer[count] = L'\0';
    return static_cast<int32_t>(count);
}

} // extern "C"
