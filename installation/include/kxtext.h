// kxtext.h - small text and path helpers of the installation's libraries:
// which characters are blanks, trimming, letter case as the file system
// sees it, joining a folder and a file name.
// Header-only, so that each library has the same rules without exporting them.
#ifndef KXTEXT_H
#define KXTEXT_H

#include <windows.h>

#include <cwchar>
#include <string>

// The system's upper-case table, one code unit at a time; kernel32 has no
// documented single-character form of it. A library that folds letter case
// links ntdll.
extern "C" __declspec(dllimport) WCHAR NTAPI RtlUpcaseUnicodeChar(WCHAR c);

namespace kx {

// White space as typed texts and texts read from files carry it: blanks,
// tabs, line and page ends, the no-break space and the ideographic
// (full-width) space of Japanese input.
inline bool IsBlank(wchar_t c)
{
    switch (c) {
    case L' ':
    case L'\t':
    case L'\n':
    case L'\r':
    case L'\v':
    case L'\f':
    case 0x00A0:
    case 0x3000: return true;
    default: return false;
    }
}

// The white space of a text file's layout only (blank, tab, line ends): the
// profile's format, whose values may begin or end with other spaces.
inline bool IsLayoutBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// text without the blanks (as isBlank tells them) at either end; the blanks
// between words stay.
template <typename BlankTest> std::wstring Trim(const std::wstring &text, BlankTest isBlank)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

inline std::wstring Trim(const std::wstring &text)
{
    return Trim(text, IsBlank);
}

// The same in place on a NUL-terminated text; returns the new length.
inline size_t TrimInPlace(wchar_t *text)
{
    if (!text)
        return 0;
    size_t length = wcslen(text);
    while (length > 0 && IsBlank(text[length - 1]))
        --length;
    size_t start = 0;
    while (start < length && IsBlank(text[start]))
        ++start;
    if (start > 0)
        wmemmove(text, text + start, length - start);
    text[length - start] = L'\0';
    return length - start;
}

// A code unit as ordinal comparison without regard to case sees it
// (CompareStringOrdinal, the file system): upper-cased by the system's
// table. The first 256 code units, the ones names are mostly made of, are
// looked up once.
inline wchar_t Folded(wchar_t c)
{
    struct Latin1Upper {
        wchar_t Of[256];
        Latin1Upper()
        {
            for (int u = 0; u < 256; ++u)
                Of[u] = RtlUpcaseUnicodeChar(static_cast<wchar_t>(u));
        }
    };
    static const Latin1Upper latin1;
    return c < 256 ? latin1.Of[c] : RtlUpcaseUnicodeChar(c);
}

// The length of a text, counted here: the names and symbols the libraries
// copy and look up by the thousand are a few characters long, and a call
// into the C library costs more than counting them.
inline size_t Length(const wchar_t *text)
{
    size_t length = 0;
    while (text[length] != L'\0')
        ++length;
    return length;
}

inline bool IsPathSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// folder\name: a separator goes between them unless the folder ends with
// one; an empty folder gives the name alone.
inline std::wstring JoinPath(const std::wstring &folder, const std::wstring &name)
{
    std::wstring path = folder;
    if (!path.empty() && !IsPathSeparator(path.back()))
        path += L'\\';
    return path + name;
}

// The full form of path: absolute, "." and ".." resolved; false (full left
// alone) when the system cannot make it.
inline bool FullPath(const std::wstring &path, std::wstring &full)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    std::wstring out(needed, L'\0');
    const DWORD got = GetFullPathNameW(path.c_str(), needed, &out[0], nullptr);
    if (got == 0 || got >= needed)
        return false;
    out.resize(got);
    full.swap(out);
    return true;
}

} // namespace kx

#endif // KXTEXT_H
