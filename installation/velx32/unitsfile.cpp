// Reading and checking the units file.
//
// The units file is UTF-8 text, with or without a byte order mark, with
// CR LF or LF line ends:
//   - a line whose first non-blank character is '#' is a comment;
//   - a line of blanks and tabs only is ignored;
//   - every other line is one dimension: its name, then its unit symbols,
//     separated by blanks or tabs. The symbols keep the order of the line.
// A name has 1 to 31 characters; names must differ from each other even when
// letter case is ignored, because set files match them that way. A line with
// a name and no symbols is a dimension with an empty symbol list. Names and
// symbols hold no white space and no control characters; a symbol has at
// most 1023 characters. A file without any dimension is refused too: the
// programs cannot show an empty units library.
#include "unitsfile.h"

#include "vel32.h"

#include <windows.h>

namespace velx {

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// Characters that cannot be part of a name or symbol: controls (a stray CR
// included) and the white space that is not a separator, which would split
// the word when a set file is read back.
bool IsForbidden(wchar_t c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return true;
    switch (c) {
    case 0x00A0:
    case 0x1680:
    case 0x180E:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
    case 0xFEFF:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200B;
    }
}

bool Decode(const char *bytes, size_t count, std::wstring &text)
{
    if (count >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF) {
        bytes += 3;
        count -= 3;
    }
    text.clear();
    if (count == 0)
        return true;
    if (count > UnitFileMaxBytes)
        return false;
    const int inLen = static_cast<int>(count);
    const int outLen = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, inLen, nullptr, 0);
    if (outLen <= 0)
        return false;
    text.resize(static_cast<size_t>(outLen));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, inLen, &text[0], outLen) == outLen;
}

void SplitWords(const std::wstring &line, std::vector<std::wstring> &words)
{
    words.clear();
    size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && IsSeparator(line[pos]))
            ++pos;
        const size_t start = pos;
        while (pos < line.size() && !IsSeparator(line[pos]))
            ++pos;
        if (pos > start)
            words.push_back(line.substr(start, pos - start));
    }
}

bool WordIsClean(const std::wstring &word)
{
    for (wchar_t c : word)
        if (IsForbidden(c))
            return false;
    return true;
}

bool Fail(UnitParseFault &fault, size_t line, const wchar_t *reason, std::vector<UnitDimension> &dims)
{
    fault.Line = line;
    fault.Reason = reason;
    dims.clear();
    return false;
}

} // namespace

bool UnitParseText(const char *bytes, size_t count, std::vector<UnitDimension> &dims,
                   UnitParseFault &fault)
{
    dims.clear();
    std::wstring text;
    if (!Decode(bytes, count, text))
        return Fail(fault, 0, L"not UTF-8 text, or too large", dims);

    std::vector<std::wstring> words;
    size_t lineNo = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos)
            end = text.size();
        size_t stop = end;
        if (stop > pos && text[stop - 1] == L'\r')
            --stop;
        const std::wstring line = text.substr(pos, stop - pos);
        pos = end + 1;
        ++lineNo;

        SplitWords(line, words);
        if (words.empty() || words[0][0] == L'#')
            continue;
        for (const std::wstring &word : words)
            if (!WordIsClean(word))
                return Fail(fault, lineNo, L"control or white-space character in a word", dims);
        if (words[0].size() > UnitNameMaxChars)
            return Fail(fault, lineNo, L"dimension name longer than 31 characters", dims);
        for (size_t i = 1; i < words.size(); ++i)
            if (words[i].size() > UnitSymbolMaxChars)
                return Fail(fault, lineNo, L"unit symbol longer than 1023 characters", dims);
        for (const UnitDimension &known : dims)
            if (IntlStrCmpIW(known.Name.c_str(), words[0].c_str()) == 0)
                return Fail(fault, lineNo, L"dimension listed twice", dims);

        UnitDimension dim;
        dim.Name = words[0];
        dim.Symbols.assign(words.begin() + 1, words.end());
        dims.push_back(std::move(dim));
    }
    if (dims.empty())
        return Fail(fault, 0, L"no dimension", dims);
    return true;
}

bool UnitReadFile(const std::wstring &path, std::vector<UnitDimension> &dims, UnitParseFault &fault)
{
    dims.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fault.Line = 0;
        fault.Reason = L"cannot be opened";
        return false;
    }
    std::string bytes;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= UnitFileMaxBytes;
    if (ok && size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
             got == bytes.size();
    }
    CloseHandle(file);
    if (!ok) {
        fault.Line = 0;
        fault.Reason = L"cannot be read, or too large";
        return false;
    }
    return UnitParseText(bytes.data(), bytes.size(), dims, fault);
}

} // namespace velx
