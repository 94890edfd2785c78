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
// most 1023 characters. Set files store one byte per character, so names and
// symbols keep to U+0000-U+00FF: anything above could be chosen but never
// stored. At most 32 767 dimensions, and 32 767 symbols a dimension, because
// the programs number list rows and the chosen unit in 16 bits. A file
// without any dimension is refused too: the programs cannot show an empty
// units library.
//
// The checks run line by line in the file's order, so the fault reported is
// the first one in the file; within a line: forbidden characters, lengths,
// unstorable characters, the symbol count, a repeated name, the dimension
// count.
#include "unitsfile.h"

#include "vel32.h"

#include <windows.h>

#include <memory>
#include <unordered_map>

// The system's upper-case table, one code unit at a time; kernel32 has no
// documented single-character form of it.
extern "C" __declspec(dllimport) WCHAR NTAPI RtlUpcaseUnicodeChar(WCHAR c);

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

bool IsClean(const std::wstring &word)
{
    for (wchar_t c : word)
        if (IsForbidden(c))
            return false;
    return true;
}

bool IsStorable(const std::wstring &word)
{
    for (wchar_t c : word)
        if (c > UnitStorableMax)
            return false;
    return true;
}

// A word for the fault report: forbidden characters become U+FFFD, so that
// the reader of a message sees where they are, and a NUL cannot cut it short.
std::wstring Shown(const std::wstring &word)
{
    std::wstring shown(word);
    for (wchar_t &c : shown)
        if (IsForbidden(c))
            c = 0xFFFD;
    return shown;
}

bool Decode(const char *bytes, size_t count, std::wstring &text)
{
    text.clear();
    if (count == 0)
        return true;
    const int inLen = static_cast<int>(count);
    const int outLen = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, inLen, nullptr, 0);
    if (outLen <= 0)
        return false;
    text.resize(static_cast<size_t>(outLen));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, inLen, &text[0], outLen) == outLen;
}

// The first line that does not decode. A line feed byte is never part of a
// UTF-8 sequence, so the lines can be tried one by one.
size_t FirstUndecodableLine(const char *bytes, size_t count)
{
    std::wstring scratch;
    size_t lineNo = 1;
    size_t pos = 0;
    while (pos < count) {
        const void *lf = memchr(bytes + pos, '\n', count - pos);
        const size_t end = lf ? static_cast<size_t>(static_cast<const char *>(lf) - bytes) : count;
        if (!Decode(bytes + pos, end - pos, scratch))
            return lineNo;
        pos = end + 1;
        ++lineNo;
    }
    return 0;
}

void SplitWords(const std::wstring &text, size_t begin, size_t end, std::vector<std::wstring> &words)
{
    words.clear();
    size_t pos = begin;
    while (pos < end) {
        while (pos < end && IsSeparator(text[pos]))
            ++pos;
        const size_t start = pos;
        while (pos < end && !IsSeparator(text[pos]))
            ++pos;
        if (pos > start)
            words.emplace_back(text, start, pos - start);
    }
}

bool Fail(UnitParseFault &fault, int32_t code, size_t line, const wchar_t *reason, std::wstring detail,
          std::vector<UnitDimension> &dims)
{
    fault.Code = code;
    fault.Line = line;
    fault.SystemError = 0;
    fault.Reason = reason;
    fault.Detail = std::move(detail);
    dims.clear();
    return false;
}

// Names met so far, by their case-folded key. A key's bucket holds the
// positions in dims of the names with that key; the final word on equality
// is the installation's own comparison ignoring case, the one set files are
// read with.
class NameIndex {
public:
    explicit NameIndex(const std::vector<UnitDimension> &dims) : dims_(dims) {}

    // Adds the name of dims[position] unless an equal one is there already.
    bool Add(size_t position)
    {
        const std::wstring &name = dims_[position].Name;
        std::vector<size_t> &bucket = byKey_[UnitFoldCase(name)];
        for (size_t other : bucket)
            if (IntlStrCmpIW(dims_[other].Name.c_str(), name.c_str()) == 0)
                return false;
        bucket.push_back(position);
        return true;
    }

private:
    const std::vector<UnitDimension> &dims_;
    std::unordered_map<std::wstring, std::vector<size_t>> byKey_;
};

struct HandleCloser {
    void operator()(void *handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

bool FailSystem(UnitParseFault &fault, int32_t code, uint32_t error, const wchar_t *reason)
{
    fault.Code = code;
    fault.Line = 0;
    fault.SystemError = error;
    fault.Reason = reason;
    fault.Detail.clear();
    return false;
}

} // namespace

std::wstring UnitFoldCase(const std::wstring &name)
{
    std::wstring key(name);
    for (wchar_t &c : key)
        c = RtlUpcaseUnicodeChar(c);
    return key;
}

bool UnitParseText(const char *bytes, size_t count, std::vector<UnitDimension> &dims,
                   UnitParseFault &fault)
{
    dims.clear();
    fault = UnitParseFault();
    if (count > UnitFileMaxBytes)
        return Fail(fault, UNIT_FAULT_FILE_TOO_LARGE, 0, L"larger than a units file can be", L"", dims);
    if (count >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF) {
        bytes += 3;
        count -= 3;
    }
    std::wstring text;
    if (!Decode(bytes, count, text))
        return Fail(fault, UNIT_FAULT_NOT_UTF8, FirstUndecodableLine(bytes, count), L"not UTF-8 text", L"",
                    dims);

    NameIndex names(dims);
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
        SplitWords(text, pos, stop, words);
        pos = end + 1;
        ++lineNo;

        if (words.empty() || words[0][0] == L'#')
            continue;
        const std::wstring &name = words[0];
        if (!IsClean(name))
            return Fail(fault, UNIT_FAULT_BAD_NAME, lineNo, L"control or white-space character in a name",
                        Shown(name), dims);
        for (size_t i = 1; i < words.size(); ++i)
            if (!IsClean(words[i]))
                return Fail(fault, UNIT_FAULT_BAD_SYMBOL, lineNo,
                            L"control or white-space character in a symbol", Shown(words[i]), dims);
        if (name.size() > UnitNameMaxChars)
            return Fail(fault, UNIT_FAULT_NAME_TOO_LONG, lineNo, L"dimension name longer than 31 characters",
                        name, dims);
        for (size_t i = 1; i < words.size(); ++i)
            if (words[i].size() > UnitSymbolMaxChars)
                return Fail(fault, UNIT_FAULT_SYMBOL_TOO_LONG, lineNo, L"unit symbol longer than 1023 characters",
                            words[i], dims);
        if (!IsStorable(name))
            return Fail(fault, UNIT_FAULT_UNSTORABLE_NAME, lineNo,
                        L"dimension name with a character a set file cannot store (above U+00FF)", name, dims);
        for (size_t i = 1; i < words.size(); ++i)
            if (!IsStorable(words[i]))
                return Fail(fault, UNIT_FAULT_UNSTORABLE_SYMBOL, lineNo,
                            L"unit symbol with a character a set file cannot store (above U+00FF)", words[i],
                            dims);
        if (words.size() - 1 > UnitMaxSymbols)
            return Fail(fault, UNIT_FAULT_TOO_MANY_SYMBOLS, lineNo, L"more than 32767 unit symbols", name,
                        dims);

        UnitDimension dim;
        dim.Name = name;
        dim.Symbols.assign(std::make_move_iterator(words.begin() + 1), std::make_move_iterator(words.end()));
        dims.push_back(std::move(dim));
        if (!names.Add(dims.size() - 1))
            return Fail(fault, UNIT_FAULT_DUPLICATE_NAME, lineNo, L"dimension listed twice", name, dims);
        if (dims.size() > UnitMaxDimensions)
            return Fail(fault, UNIT_FAULT_TOO_MANY_DIMENSIONS, lineNo, L"more than 32767 dimensions",
                        dims.back().Name, dims);
    }
    if (dims.empty())
        return Fail(fault, UNIT_FAULT_NO_DIMENSIONS, 0, L"no dimension", L"", dims);
    return true;
}

bool UnitReadFile(const std::wstring &path, std::vector<UnitDimension> &dims, UnitParseFault &fault)
{
    dims.clear();
    fault = UnitParseFault();
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        file.release();
        return FailSystem(fault, UNIT_FAULT_OPEN, error, L"cannot be opened");
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size))
        return FailSystem(fault, UNIT_FAULT_READ, GetLastError(), L"cannot be read");
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > UnitFileMaxBytes)
        return FailSystem(fault, UNIT_FAULT_FILE_TOO_LARGE, 0, L"larger than a units file can be");
    std::string bytes;
    if (size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr))
            return FailSystem(fault, UNIT_FAULT_READ, GetLastError(), L"cannot be read");
        // A file that shrank under the reader is not the one that was measured.
        if (got != bytes.size())
            return FailSystem(fault, UNIT_FAULT_READ, 0, L"changed while being read");
    }
    file.reset();
    return UnitParseText(bytes.data(), bytes.size(), dims, fault);
}

} // namespace velx
