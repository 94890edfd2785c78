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
#include "kxtext.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <memory>

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
    case 0xFEFF: return true;
    default: return c >= 0x2000 && c <= 0x200B;
    }
}

// A word of a line: where it starts in the decoded text, and its length.
struct Word {
    size_t Begin;
    size_t Length;
};

bool IsClean(const wchar_t *word, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (IsForbidden(word[i]))
            return false;
    return true;
}

bool IsStorable(const wchar_t *word, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (word[i] > UnitStorableMax)
            return false;
    return true;
}

// A word for the fault report: forbidden characters become U+FFFD, so that
// the reader of a message sees where they are, and a NUL cannot cut it short.
std::wstring Shown(const wchar_t *word, size_t length)
{
    std::wstring shown(word, length);
    for (wchar_t &c : shown)
        if (IsForbidden(c))
            c = 0xFFFD;
    return shown;
}

// The text decoded, followed by a NUL, so that the last word of the file is
// terminated as every other one.
bool Decode(const char *bytes, size_t count, PoolVector<wchar_t> &text)
{
    text.assign(1, L'\0');
    if (count == 0)
        return true;
    const int inLen = static_cast<int>(count);
    const int outLen = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, inLen, nullptr, 0);
    if (outLen <= 0)
        return false;
    text.resize(static_cast<size_t>(outLen) + 1);
    text[static_cast<size_t>(outLen)] = L'\0';
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, inLen, text.data(), outLen) ==
           outLen;
}

// The first line that does not decode. A line feed byte is never part of a
// UTF-8 sequence, so the lines can be tried one by one.
size_t FirstUndecodableLine(const char *bytes, size_t count)
{
    PoolVector<wchar_t> scratch;
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

void SplitWords(const PoolVector<wchar_t> &text, size_t begin, size_t end, std::vector<Word> &words)
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
            words.push_back({start, pos - start});
    }
}

template <typename Table>
bool Fail(UnitParseFault &fault, int32_t code, size_t line, const wchar_t *reason,
          std::wstring detail, Table &table)
{
    fault.Code = code;
    fault.Line = line;
    fault.SystemError = 0;
    fault.Reason = reason;
    fault.Detail = std::move(detail);
    table.Clear();
    return false;
}

// A hash of the name as ordinal comparison without regard to case sees it,
// so that names equal that way meet in the table (FNV-1a).
size_t FoldedHash(const wchar_t *name, size_t length)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < length; ++i) {
        hash ^= static_cast<uint16_t>(kx::Folded(name[i]));
        hash *= 16777619u;
    }
    return hash;
}

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

bool UnitTable::FindFolded(const wchar_t *name, size_t length, size_t &position, size_t &slot) const
{
    const size_t mask = slots_.size() - 1;
    for (slot = FoldedHash(name, length) & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
        // The final word on equality is the installation's own comparison
        // ignoring case, the one set files are read with.
        if (IntlStrCmpIW(Name(slots_[slot] - 1), name) == 0) {
            position = slots_[slot] - 1;
            return true;
        }
    }
    return false;
}

bool UnitTable::Find(const wchar_t *name, size_t &position) const
{
    if (!name || slots_.empty())
        return false;
    // Every dimension of a catalogue is looked up by its name of a few
    // characters, which is measured and compared here rather than by calls
    // into the C library.
    const size_t length = kx::Length(name);
    const size_t mask = slots_.size() - 1;
    // A name equal letter for letter is also equal without regard to case,
    // so it lies on the same path through the table.
    for (size_t slot = FoldedHash(name, length) & mask; slots_[slot] != 0;
         slot = (slot + 1) & mask) {
        const wchar_t *stored = Name(slots_[slot] - 1);
        size_t same = 0;
        while (same < length && stored[same] == name[same])
            ++same;
        if (same == length && stored[length] == L'\0') {
            position = slots_[slot] - 1;
            return true;
        }
    }
    return false;
}

void UnitTable::Clear()
{
    text_.clear();
    dims_.clear();
    symbols_.clear();
    slots_.clear();
}

bool UnitParseText(const char *bytes, size_t count, UnitTable &table, UnitParseFault &fault)
{
    table.Clear();
    fault = UnitParseFault();
    if (count > UnitFileMaxBytes)
        return Fail(fault, UNIT_FAULT_FILE_TOO_LARGE, 0, L"larger than a units file can be", L"",
                    table);
    if (count >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB &&
        static_cast<unsigned char>(bytes[2]) == 0xBF) {
        bytes += 3;
        count -= 3;
    }
    PoolVector<wchar_t> &text = table.text_;
    if (!Decode(bytes, count, text))
        return Fail(fault, UNIT_FAULT_NOT_UTF8, FirstUndecodableLine(bytes, count),
                    L"not UTF-8 text", L"", table);
    const size_t length = text.size() - 1; // without the final NUL

    // Twice as many slots as there can be names (one a line), so that a
    // search seldom passes more than one taken slot.
    size_t lines = 1;
    for (size_t i = 0; i < length; ++i)
        lines += text[i] == L'\n';
    size_t slotCount = 16;
    while (slotCount < std::min(lines, UnitMaxDimensions + 1) * 2)
        slotCount *= 2;
    table.slots_.assign(slotCount, 0);

    std::vector<Word> words;
    size_t lineNo = 0;
    size_t pos = 0;
    while (pos < length) {
        const wchar_t *lf = wmemchr(text.data() + pos, L'\n', length - pos);
        const size_t end = lf ? static_cast<size_t>(lf - text.data()) : length;
        size_t stop = end;
        if (stop > pos && text[stop - 1] == L'\r')
            --stop;
        SplitWords(text, pos, stop, words);
        pos = end + 1;
        ++lineNo;

        if (words.empty() || text[words[0].Begin] == L'#')
            continue;
        const wchar_t *name = text.data() + words[0].Begin;
        const size_t nameLength = words[0].Length;
        if (!IsClean(name, nameLength))
            return Fail(fault, UNIT_FAULT_BAD_NAME, lineNo,
                        L"control or white-space character in a name", Shown(name, nameLength),
                        table);
        for (size_t i = 1; i < words.size(); ++i)
            if (!IsClean(text.data() + words[i].Begin, words[i].Length))
                return Fail(fault, UNIT_FAULT_BAD_SYMBOL, lineNo,
                            L"control or white-space character in a symbol",
                            Shown(text.data() + words[i].Begin, words[i].Length), table);
        if (nameLength > UnitNameMaxChars)
            return Fail(fault, UNIT_FAULT_NAME_TOO_LONG, lineNo,
                        L"dimension name longer than 31 characters", std::wstring(name, nameLength),
                        table);
        for (size_t i = 1; i < words.size(); ++i)
            if (words[i].Length > UnitSymbolMaxChars)
                return Fail(fault, UNIT_FAULT_SYMBOL_TOO_LONG, lineNo,
                            L"unit symbol longer than 1023 characters",
                            std::wstring(text.data() + words[i].Begin, words[i].Length), table);
        if (!IsStorable(name, nameLength))
            return Fail(fault, UNIT_FAULT_UNSTORABLE_NAME, lineNo,
                        L"dimension name with a character a set file cannot store (above U+00FF)",
                        std::wstring(name, nameLength), table);
        for (size_t i = 1; i < words.size(); ++i)
            if (!IsStorable(text.data() + words[i].Begin, words[i].Length))
                return Fail(fault, UNIT_FAULT_UNSTORABLE_SYMBOL, lineNo,
                            L"unit symbol with a character a set file cannot store (above U+00FF)",
                            std::wstring(text.data() + words[i].Begin, words[i].Length), table);
        if (words.size() - 1 > UnitMaxSymbols)
            return Fail(fault, UNIT_FAULT_TOO_MANY_SYMBOLS, lineNo, L"more than 32767 unit symbols",
                        std::wstring(name, nameLength), table);

        // Each word ends where its separator or line end was.
        for (const Word &word : words)
            text[word.Begin + word.Length] = L'\0';
        size_t other = 0;
        size_t slot = 0;
        if (table.FindFolded(name, nameLength, other, slot))
            return Fail(fault, UNIT_FAULT_DUPLICATE_NAME, lineNo, L"dimension listed twice",
                        std::wstring(name, nameLength), table);
        if (table.dims_.size() >= UnitMaxDimensions)
            return Fail(fault, UNIT_FAULT_TOO_MANY_DIMENSIONS, lineNo,
                        L"more than 32767 dimensions", std::wstring(name, nameLength), table);
        table.slots_[slot] = static_cast<uint32_t>(table.dims_.size() + 1);
        table.dims_.push_back({static_cast<uint32_t>(words[0].Begin),
                               static_cast<uint32_t>(table.symbols_.size()),
                               static_cast<uint32_t>(words.size() - 1)});
        for (size_t i = 1; i < words.size(); ++i)
            table.symbols_.push_back(static_cast<uint32_t>(words[i].Begin));
    }
    if (table.dims_.empty())
        return Fail(fault, UNIT_FAULT_NO_DIMENSIONS, 0, L"no dimension", L"", table);
    return true;
}

bool UnitParseText(const char *bytes, size_t count, std::vector<UnitDimension> &dims,
                   UnitParseFault &fault)
{
    dims.clear();
    UnitTable table;
    if (!UnitParseText(bytes, count, table, fault))
        return false;
    dims.resize(table.Size());
    for (size_t d = 0; d < table.Size(); ++d) {
        dims[d].Name = table.Name(d);
        for (size_t k = 0; k < table.SymbolCount(d); ++k)
            dims[d].Symbols.emplace_back(table.Symbol(d, k));
    }
    return true;
}

namespace {

// The bytes of the file at path; false with the fault told.
bool ReadBytes(const std::wstring &path, PoolVector<char> &bytes, UnitParseFault &fault)
{
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
    bytes.clear();
    if (size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr))
            return FailSystem(fault, UNIT_FAULT_READ, GetLastError(), L"cannot be read");
        // A file that shrank under the reader is not the one that was measured.
        if (got != bytes.size())
            return FailSystem(fault, UNIT_FAULT_READ, 0, L"changed while being read");
    }
    return true;
}

} // namespace

bool UnitReadFile(const std::wstring &path, UnitTable &table, UnitParseFault &fault)
{
    table.Clear();
    PoolVector<char> bytes;
    if (!ReadBytes(path, bytes, fault))
        return false;
    return UnitParseText(bytes.data(), bytes.size(), table, fault);
}

bool UnitReadFile(const std::wstring &path, std::vector<UnitDimension> &dims, UnitParseFault &fault)
{
    dims.clear();
    PoolVector<char> bytes;
    if (!ReadBytes(path, bytes, fault))
        return false;
    return UnitParseText(bytes.data(), bytes.size(), dims, fault);
}

} // namespace velx
