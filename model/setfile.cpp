// Writing and reading set files. A set file holds one byte per character
// (codes 0 to 255), lines end in CR LF (a bare LF is accepted on reading); a
// comment header carries the set name, the file's base name and the
// description, the body one "name  symbol" line per dimension.
//
// Streams are opened in binary mode and every byte is written and read here,
// so that no runtime conversion decides what lands in the file.
#include "setfile.h"

#include <io.h>

#include <cwchar>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "setchars.h"
#include "velw32.h"

namespace {

constexpr int RuleChars = 70;       // hyphens of the opening and closing rule
constexpr size_t WrapChars = 70;    // at most this many description characters a line
constexpr int PieceOffset = 5;      // "*    " before each description piece
constexpr size_t SymbolColumn = 32; // the symbol starts after this many characters
constexpr size_t WordChars = 1024;  // a body word with its terminator

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// ---- writing ---------------------------------------------------------------

// The file's bytes are collected in memory and written in one piece: one
// call per byte would cost more than the rest of a save.
using Bytes = std::string;

// Writes count characters, one byte each. A character the format cannot
// hold becomes "?": only the informational header lines can carry one,
// since the description and the units are checked before a save begins.
void PutText(Bytes &out, const wchar_t *text, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const wchar_t c = text[i];
        int byte = static_cast<int>(c);
        if (c > 0xFF) {
            byte = '?';
            // One question mark for the whole character.
            if (IsHighSurrogate(c) && i + 1 < count && IsLowSurrogate(text[i + 1]))
                ++i;
        }
        out += static_cast<char>(byte);
    }
}

void PutLineEnd(Bytes &out)
{
    out += "\r\n";
}

// One line: an ASCII lead, count characters of text, CR LF.
void PutLine(Bytes &out, const char *lead, const wchar_t *text, size_t count)
{
    out += lead;
    PutText(out, text, count);
    PutLineEnd(out);
}

bool IsStorable(const wchar_t *text)
{
    return !SetFileFindUnstorable(text, nullptr);
}

// The symbol at the entry's selection; null when the entry has none there.
const wchar_t *SelectedSymbol(const DimEntry *entry)
{
    if (!entry || !entry->UnitSymbols)
        return nullptr;
    KxStatus status = 0;
    const auto *symbol =
        static_cast<const wchar_t *>(ListFindIth(entry->UnitSymbols, entry->SelectedUnit, &status));
    return status == 0 ? symbol : nullptr;
}

// The first dimension whose chosen unit the format cannot store (a symbol of
// the units library with a character above code 255); null when every
// chosen unit can be stored. Such a unit would be written as "?" and never
// found again when the file is read.
const DimEntry *UnstorableUnit(ListHandle catalogue, const wchar_t **symbol)
{
    ListIterator it;
    void *item = nullptr;
    ListIteratorInit(&it, catalogue);
    while (ListIteratorNext(&it, &item)) {
        const auto *entry = static_cast<const DimEntry *>(item);
        const wchar_t *selected = SelectedSymbol(entry);
        if (selected && !IsStorable(selected)) {
            *symbol = selected;
            return entry;
        }
    }
    return nullptr;
}

// The description as stored: every CR LF pair becomes one space. A CR or LF
// on its own becomes a space as well; written as it is, it would end the
// line early and a reader would take the rest for header or body.
std::wstring StoredDescription(const wchar_t *description)
{
    std::wstring stored;
    for (const wchar_t *p = description; *p; ++p) {
        if (*p == L'\r' && p[1] == L'\n') {
            stored += L' ';
            ++p;
        } else if (*p == L'\r' || *p == L'\n') {
            stored += L' ';
        } else {
            stored += *p;
        }
    }
    return stored;
}

// Cuts the stored description into pieces of at most 70 characters, each on
// its own line. A cut falls before the last space that is not the piece's
// first character, or after 70 characters when there is none, so that
// joining the pieces gives the text back unchanged.
void PutDescription(Bytes &out, const std::wstring &stored)
{
    const size_t length = stored.size();
    size_t pos = 0;
    while (length - pos > WrapChars) {
        size_t n = WrapChars;
        while (n > 0 && stored[pos + n] != L' ')
            --n;
        if (n == 0)
            n = WrapChars;
        PutLine(out, "*    ", stored.c_str() + pos, n);
        pos += n;
    }
    if (length > pos)
        PutLine(out, "*    ", stored.c_str() + pos, length - pos);
}

// One line per dimension: the name, spaces up to column 32 (at least one),
// the selected symbol. A dimension without symbols has nothing to store.
void PutBody(Bytes &out, ListHandle catalogue)
{
    ListIterator it;
    void *item = nullptr;
    ListIteratorInit(&it, catalogue);
    while (ListIteratorNext(&it, &item)) {
        const auto *entry = static_cast<const DimEntry *>(item);
        const wchar_t *symbol = SelectedSymbol(entry);
        if (!symbol || !entry->Name)
            continue;
        const size_t nameLength = wcslen(entry->Name);
        PutText(out, entry->Name, nameLength);
        const size_t spaces = nameLength < SymbolColumn ? SymbolColumn - nameLength : 1;
        out.append(spaces, ' ');
        PutText(out, symbol, wcslen(symbol));
        PutLineEnd(out);
    }
}

// Header of the file: lines 1 up to the closing rule.
void PutHeader(Bytes &out, const wchar_t *path, const wchar_t *setName, const wchar_t *description)
{
    if (!path)
        path = L"";
    if (!setName)
        setName = L"";
    if (!description)
        description = L"";

    const std::wstring rule(RuleChars, L'-');

    // Only a backslash separates here; the line is informational.
    const wchar_t *baseName = wcsrchr(path, L'\\');
    baseName = baseName ? baseName + 1 : path;

    PutLine(out, "* ", rule.c_str(), rule.size());
    PutLine(out, "* ", setName, wcslen(setName));
    PutLine(out, "* ", baseName, wcslen(baseName));
    PutLine(out, "*", L"", 0);
    PutDescription(out, StoredDescription(description));
    PutLine(out, "*", L"", 0);
    PutLine(out, "* ", rule.c_str(), rule.size());
}

// A new, empty file beside the target, named by the system.
bool TempNameBeside(const wchar_t *path, wchar_t *temp)
{
    const wchar_t *separator = nullptr;
    for (const wchar_t *p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/')
            separator = p;

    wchar_t folder[MAX_PATH];
    if (separator) {
        const size_t length = static_cast<size_t>(separator - path) + 1;
        if (length >= MAX_PATH - 14)
            return false;
        wmemcpy(folder, path, length);
        folder[length] = L'\0';
    } else if (path[0] && path[1] == L':') {
        // "X:name": the current folder of that drive.
        folder[0] = path[0];
        folder[1] = L':';
        folder[2] = L'.';
        folder[3] = L'\0';
    } else {
        folder[0] = L'.';
        folder[1] = L'\0';
    }
    return GetTempFileNameW(folder, L"uas", 0, temp) != 0;
}

// Remembers the first failure's system error; later ones only follow from it.
void NoteFailure(DWORD *error, DWORD code)
{
    if (*error == 0)
        *error = code != 0 ? code : ERROR_WRITE_FAULT;
}

// The system reports a target that another program holds open as access
// denied, however that program shares it (reads only, everything) and
// whether or not it has locked a part of it; the user is better served by
// "in use". An open that shares nothing fails for a file that anyone holds
// open, and only for such a file.
DWORD InUseOrCode(const wchar_t *path, DWORD code)
{
    if (code != ERROR_ACCESS_DENIED)
        return code;
    HANDLE probe =
        CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return code;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : code;
}

// Why a target cannot be replaced before anything is written; 0 when it can
// be tried.
DWORD TargetRefusal(const wchar_t *path)
{
    if (!path || !path[0])
        return ERROR_INVALID_NAME;
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return SetFileErrorTargetIsFolder;
    // A read-only set file stays as it is. Some file systems let a rename
    // replace it, so this is not left to the replacement step.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return ERROR_ACCESS_DENIED;
    return 0;
}

// Writes the whole file beside the target and puts it in the target's place
// only when every byte is on disk, so that a failure leaves the previous file
// as it was. Returns 0 when written, else the system's error code.
DWORD WriteReplacing(const wchar_t *path, const wchar_t *setName, ListHandle catalogue,
                     const wchar_t *description, SetFileStamp *written)
{
    DWORD error = TargetRefusal(path);
    if (error != 0)
        return error;

    // Made before any file is: running out of memory here leaves nothing behind.
    Bytes content;
    PutHeader(content, path, setName, description);
    PutBody(content, catalogue);

    wchar_t temp[MAX_PATH];
    if (!TempNameBeside(path, temp)) {
        // The system names a missing folder in several ways; one is told.
        const DWORD code = GetLastError();
        NoteFailure(&error, code == ERROR_DIRECTORY ? ERROR_PATH_NOT_FOUND : code);
        return error;
    }
    FILE *stream = _wfopen(temp, L"wb");
    if (!stream) {
        NoteFailure(&error, GetLastError());
        DeleteFileW(temp);
        return error;
    }
    if (fwrite(content.data(), 1, content.size(), stream) != content.size())
        NoteFailure(&error, GetLastError());
    if (fflush(stream) != 0 || ferror(stream))
        NoteFailure(&error, GetLastError());
    if (error == 0 && !FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)))))
        NoteFailure(&error, GetLastError());
    if (fclose(stream) != 0)
        NoteFailure(&error, GetLastError());
    if (error == 0 && !MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        NoteFailure(&error, InUseOrCode(path, GetLastError()));
    if (error != 0)
        DeleteFileW(temp);
    else
        // Of the bytes meant, not of the file read back: had another program
        // written in between, its content would pass for this editor's own.
        *written = SetFileStampOfBytes(content.data(), content.size());
    return error;
}

// ---- reading ---------------------------------------------------------------

// Bytes of a stream, taken in blocks: one runtime call per byte would cost
// more than the rest of a read. Consumed() tells how far the reader really
// got, so that the stream can be left just there.
class ByteReader {
public:
    explicit ByteReader(FILE *stream) : stream_(stream) {}

    int Get()
    {
        if (next_ == filled_ && !Fill())
            return EOF;
        return static_cast<unsigned char>(block_[next_++]);
    }
    // Gives back the byte that the last Get returned.
    void Unget() { --next_; }
    long long Consumed() const { return consumedBefore_ + static_cast<long long>(next_); }

private:
    bool Fill()
    {
        consumedBefore_ += static_cast<long long>(filled_);
        filled_ = fread(block_, 1, sizeof block_, stream_);
        next_ = 0;
        return filled_ > 0;
    }

    FILE *stream_;
    char block_[16384];
    size_t next_ = 0;
    size_t filled_ = 0;
    long long consumedBefore_ = 0;
};

// What the header reader needs of a line: its first and fourth byte (-1 when
// the line is shorter).
struct LineStart {
    int First;
    int Fourth;
};

// Where a header line's description characters go.
struct DescriptionSink {
    wchar_t *Text;
    size_t Length;
    bool Appended; // a character was added by the last line
};

// Reads one line, of any length, up to CR LF, LF or the end of the file.
// With a sink, the line's bytes from the sixth on are appended to it up to
// its capacity, unless the line is a rule (a hyphen as its fourth byte). NUL
// bytes cannot be held in a text and are left out. Returns false when the
// file had ended before the line.
bool ReadLine(ByteReader &in, LineStart *line, DescriptionSink *sink)
{
    int column = 0;
    line->First = -1;
    line->Fourth = -1;
    if (sink)
        sink->Appended = false;
    for (;;) {
        const int c = in.Get();
        if (c == EOF)
            return column > 0;
        if (c == '\n')
            return true;
        if (c == '\r') {
            const int next = in.Get();
            if (next == '\n')
                return true;
            if (next != EOF)
                in.Unget();
        }
        if (column == 0)
            line->First = c;
        else if (column == 3)
            line->Fourth = c;
        if (sink && column >= PieceOffset && line->Fourth != '-' && c != 0 &&
            sink->Length < SetFileDescriptionChars) {
            sink->Text[sink->Length++] = static_cast<wchar_t>(c);
            sink->Text[sink->Length] = L'\0';
            sink->Appended = true;
        }
        ++column;
    }
}

struct BodyWord {
    wchar_t Text[WordChars];
    bool TooLong; // cut at the capacity: it can match nothing
};

bool IsSeparator(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0;
}

// The next word of the body; false at the end of the file.
bool ReadWord(ByteReader &in, BodyWord *word)
{
    int c;
    do {
        c = in.Get();
    } while (c != EOF && IsSeparator(c));
    if (c == EOF)
        return false;

    size_t length = 0;
    word->TooLong = false;
    while (c != EOF && !IsSeparator(c)) {
        if (length < WordChars - 1)
            word->Text[length++] = static_cast<wchar_t>(c);
        else
            word->TooLong = true;
        c = in.Get();
    }
    word->Text[length] = L'\0';
    return true;
}

// A name as the case-blind index keys it. Only a candidate that the support
// library's case-blind comparison accepts is ever taken, so the key merely
// narrows the search.
std::wstring CaseKey(const wchar_t *text)
{
    std::wstring key(text);
    if (!key.empty())
        CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

// The catalogue's dimensions by name, built once per read so that a set
// naming every dimension is read in time proportional to its size. A name
// that matches a dimension exactly finds it; otherwise the first dimension
// whose name matches ignoring letter case does.
class DimIndex {
public:
    explicit DimIndex(ListHandle catalogue)
    {
        ListIterator it;
        void *item = nullptr;
        ListIteratorInit(&it, catalogue);
        while (ListIteratorNext(&it, &item)) {
            auto *entry = static_cast<DimEntry *>(item);
            if (entry && entry->Name)
                entries_.push_back(entry);
        }
        // The names stay in the catalogue while the index lives: the exact
        // index keys them in place.
        exact_.reserve(entries_.size());
        for (DimEntry *entry : entries_)
            exact_.emplace(std::wstring_view(entry->Name), entry);
    }

    DimEntry *Find(const wchar_t *name)
    {
        const auto exact = exact_.find(std::wstring_view(name));
        if (exact != exact_.end())
            return exact->second;
        // Names that differ in case from every dimension are rare: their
        // index is made on the first one.
        try {
            if (caseBlind_.empty()) {
                caseBlind_.reserve(entries_.size());
                for (DimEntry *entry : entries_)
                    caseBlind_[CaseKey(entry->Name)].push_back(entry);
            }
            const auto candidates = caseBlind_.find(CaseKey(name));
            if (candidates == caseBlind_.end())
                return nullptr;
            return FirstCaseBlind(candidates->second, name);
        } catch (const std::bad_alloc &) {
            // Without memory for the index, the search in order finds the same.
            caseBlind_.clear();
            return FirstCaseBlind(entries_, name);
        }
    }

private:
    static DimEntry *FirstCaseBlind(const std::vector<DimEntry *> &entries, const wchar_t *name)
    {
        for (DimEntry *entry : entries)
            if (IntlStrCmpIW(entry->Name, name) == 0)
                return entry;
        return nullptr;
    }

    std::vector<DimEntry *> entries_; // in catalogue order
    // emplace keeps the first entry of a name, as the search in order would.
    std::unordered_map<std::wstring_view, DimEntry *> exact_;
    std::unordered_map<std::wstring, std::vector<DimEntry *>> caseBlind_;
};

// The position of the symbol in the entry's list: an exact match first,
// else the first match ignoring letter case; -1 when none matches. Symbols
// that differ only in case are different units (mW and MW). Exact equality
// of two texts needs no library call.
int32_t FindSymbol(const DimEntry *entry, const wchar_t *symbol)
{
    ListIterator it;
    void *candidate = nullptr;
    int32_t position = 0;
    ListIteratorInit(&it, entry->UnitSymbols);
    while (ListIteratorNext(&it, &candidate)) {
        const auto *text = static_cast<const wchar_t *>(candidate);
        if (text && wcscmp(text, symbol) == 0)
            return position;
        ++position;
    }
    position = 0;
    ListIteratorInit(&it, entry->UnitSymbols);
    while (ListIteratorNext(&it, &candidate)) {
        const auto *text = static_cast<const wchar_t *>(candidate);
        if (text && IntlStrCmpIW(text, symbol) == 0)
            return position;
        ++position;
    }
    return -1;
}

void ApplyPair(DimIndex &index, const BodyWord &name, const BodyWord &symbol)
{
    if (name.TooLong || symbol.TooLong)
        return;
    DimEntry *entry = index.Find(name.Text);
    if (!entry || !entry->UnitSymbols)
        return;
    const int32_t position = FindSymbol(entry, symbol.Text);
    if (position >= 0 && position <= 0xFFFF)
        entry->SelectedUnit = static_cast<uint16_t>(position);
}

// Opens a set file for reading, but only a file on disk: a name that the
// system takes for a device (AUX, COM1, NUL...) must never be read, since
// reading a device may never end.
FILE *OpenForReading(const wchar_t *path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), 0);
    if (descriptor == -1) {
        CloseHandle(file);
        return nullptr;
    }
    FILE *stream = _fdopen(descriptor, "rb");
    if (!stream)
        _close(descriptor);
    return stream;
}

void ReadHeader(ByteReader &in, wchar_t *description)
{
    description[0] = L'\0';
    LineStart line;
    for (int i = 0; i < 4; ++i) {
        if (!ReadLine(in, &line, nullptr) || line.First != '*')
            return;
    }

    DescriptionSink sink = {description, 0, false};
    while (ReadLine(in, &line, &sink)) {
        if (line.Fourth == '-')
            break;
        if (sink.Appended) {
            // A CR left before the line end is part of it, not of the text.
            RemoveEoln(description);
            sink.Length = wcslen(description);
        }
    }
    RemoveBlanks(description);
}

} // namespace

int16_t SetFileWriteHeader(FILE *stream, const wchar_t *path, const wchar_t *setName,
                           const wchar_t *description)
{
    Bytes header;
    PutHeader(header, path, setName, description);
    const bool ok = fwrite(header.data(), 1, header.size(), stream) == header.size();
    return static_cast<int16_t>(ok && !ferror(stream));
}

SetFileSaveResult SetFileSave(const wchar_t *path, const wchar_t *setName, ListHandle catalogue,
                              const wchar_t *description)
{
    SetFileSaveResult result = {SetFileOutcome::Written, nullptr, nullptr, 0, {}};
    if (!description)
        description = L"";
    if (!IsStorable(description)) {
        result.Outcome = SetFileOutcome::UnstorableDescription;
    } else if ((result.UnstorableDim = UnstorableUnit(catalogue, &result.UnstorableSymbol))) {
        result.Outcome = SetFileOutcome::UnstorableUnit;
    } else {
        try {
            result.SystemError =
                WriteReplacing(path, setName, catalogue, description, &result.Written);
        } catch (const std::bad_alloc &) {
            result.SystemError = ERROR_NOT_ENOUGH_MEMORY;
        }
        if (result.SystemError != 0)
            result.Outcome = SetFileOutcome::CannotWrite;
    }
    return result;
}

void SetFileReadHeader(FILE *stream, wchar_t *description)
{
    const long long start = _ftelli64(stream);
    ByteReader in(stream);
    ReadHeader(in, description);
    // The reader took bytes in blocks; the stream goes on where the header
    // ended.
    if (start >= 0)
        _fseeki64(stream, start + in.Consumed(), SEEK_SET);
}

int16_t SetFileRead(const wchar_t *path, ListHandle catalogue, wchar_t *description)
{
    if (!path || !description)
        return 0;
    FILE *stream = OpenForReading(path);
    if (!stream)
        return 0;

    // The index comes first: without memory for it nothing may change.
    std::unique_ptr<DimIndex> index;
    try {
        index = std::make_unique<DimIndex>(catalogue);
    } catch (const std::bad_alloc &) {
        fclose(stream);
        return 0;
    }
    ByteReader in(stream);
    ReadHeader(in, description);

    // Two words at a time, whatever the line breaks; a last word without a
    // partner is ignored.
    BodyWord name;
    BodyWord symbol;
    while (ReadWord(in, &name) && ReadWord(in, &symbol))
        ApplyPair(*index, name, symbol);
    fclose(stream);
    return 1;
}
