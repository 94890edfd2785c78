// Trimming texts in place: surrounding white space, line ends.
#include "velw32.h"

#include <cwchar>

namespace {

// White space as texts typed or read from files carry it: blanks, tabs,
// line and page ends, the no-break space and the ideographic (full-width)
// space of Japanese input.
bool IsBlank(wchar_t c)
{
    switch (c) {
    case L' ':
    case L'\t':
    case L'\n':
    case L'\r':
    case L'\v':
    case L'\f':
    case 0x00A0:
    case 0x3000:
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" {

VELW32_API void WINAPI RemoveBlanks(wchar_t *text)
{
    if (!text)
        return;
    size_t length = wcslen(text);
    while (length > 0 && IsBlank(text[length - 1]))
        --length;
    size_t start = 0;
    while (start < length && IsBlank(text[start]))
        ++start;
    if (start > 0)
        wmemmove(text, text + start, length - start);
    text[length - start] = L'\0';
}

// Removes the whole run of CR and LF at the end ("\r\n", "\n", also "\n\n"),
// so a line read with either line end comes out the same; everything before
// it stays, blanks included.
VELW32_API void WINAPI RemoveEoln(wchar_t *text)
{
    if (!text)
        return;
    size_t length = wcslen(text);
    while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r'))
        --length;
    text[length] = L'\0';
}

} // extern "C"
