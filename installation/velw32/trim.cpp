// Trimming texts in place: surrounding white space, line ends.
#include "velw32.h"
#include "kxtext.h"

#include <cwchar>

extern "C" {

VELW32_API void WINAPI RemoveBlanks(wchar_t *text)
{
    kx::TrimInPlace(text);
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
