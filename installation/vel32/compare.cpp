// Ordinal string comparison. A locale collation may call different strings
// equal (ignorable characters, compatibility forms); callers here need 0
// exactly for equal texts, so both comparisons work code unit by code unit.
#include "vel32.h"

extern "C" {

int32_t WINAPI IntlStrCmpW(const wchar_t *a, const wchar_t *b)
{
    const int r = CompareStringOrdinal(a, -1, b, -1, FALSE);
    return r - CSTR_EQUAL;
}

int32_t WINAPI IntlStrCmpIW(const wchar_t *a, const wchar_t *b)
{
    const int r = CompareStringOrdinal(a, -1, b, -1, TRUE);
    return r - CSTR_EQUAL;
}

} // extern "C"
