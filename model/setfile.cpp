/*
 * setfile.cpp - writing and reading set files. A set file holds one byte per
 * character (codes 0 to 255), lines end in CR LF (a bare LF is accepted on
 * reading); a comment header carries the set name, the file's base name and
 * the description, the body one "name  symbol" line per dimension.
 *
 * Streams are opened in binary mode and every byte is written and read here,
 * so that no runtime conversion decides what lands in the file.
 */
#include "setfile.h"

#include <io.h>
#include <string.h>
#include <wchar.h>

#include "dimcat.h"
#include "editstate.h"
#include "resloc.h"
#include "resource.h"
#include "textutil.h"
#include "velw32.h"

#define SETFILE_RULE_CHARS    70    /* hyphens of the opening and closing rule */
#define SETFILE_WRAP_CHARS    70    /* at most this many description characters a line */
#define SETFILE_PIECE_OFFSET  5     /* "*    " before each description piece */
#define SETFILE_SYMBOL_COLUMN 32    /* the symbol starts after this many characters */
#define SETFILE_WORD_CHARS    1024  /* a body word with its terminator */

/* ---- writing ---------------------------------------------------------- */

/* Writes count characters, one byte each. A character the format cannot
 * hold becomes "?": only the informational header lines can carry one,
 * since the description is checked before a save begins. */
static int SetFilePutText(FILE *stream, const wchar_t *text, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        wchar_t c = text[i];
        int byte = (int)c;
        if (c > 0xFF) {
            byte = '?';
            /* One question mark for the whole character. */
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF)
                ++i;
        }
        if (putc(byte, stream) == EOF)
            return 0;
    }
    return 1;
}

static int SetFilePutLineEnd(FILE *stream)
{
    return putc('\r', stream) != EOF && putc('\n', stream) != EOF;
}

/* One line: an ASCII lead, count characters of text, CR LF. */
static int SetFilePutLine(FILE *stream, const char *lead, const wchar_t *text, size_t count)
{
    if (fputs(lead, stream) == EOF)
        return 0;
    return SetFilePutText(stream, text, count) && SetFilePutLineEnd(stream);
}

static int SetFileIsStorable(const wchar_t *text)
{
    for (; text && *text; ++text)
        if (*text > 0xFF)
            return 0;
    return 1;
}

/* The first dimension whose chosen unit the format cannot store (a symbol
 * of the units library with a character above code 255); NULL when every
 * chosen unit can be stored. Such a unit would be written as "?" and never
 * found again when the file is read. */
static const DimEntry *SetFileUnstorableUnit(ListHandle catalogue, const wchar_t **symbol)
{
    ListIterator it;
    void *item = NULL;
    ListIteratorInit(&it, catalogue);
    while (ListIteratorNext(&it, &item)) {
        const DimEntry *entry = (const DimEntry *)item;
        if (!entry || !entry->UnitSymbols)
            continue;
        KxStatus status = 0;
        *symbol = (const wchar_t *)ListFindIth(entry->UnitSymbols, entry->SelectedUnit, &status);
        if (status == 0 && *symbol && !SetFileIsStorable(*symbol))
            return entry;
    }
    return NULL;
}

/* The description as stored: every CR LF pair becomes one space. A CR or
 * LF on its own becomes a space as well; written as it is, it would end the
 * line early and a reader would take the rest for header or body. Returns a
 * new block. */
static wchar_t *SetFileStoredDescription(const wchar_t *description)
{
    size_t length = wcslen(description);
    wchar_t *stored = (wchar_t *)KxMalloc((uint32_t)((length + 1) * sizeof(wchar_t)));
    if (!stored)
        return NULL;
    size_t out = 0;
    for (size_t i = 0; i < length; ++i) {
        wchar_t c = description[i];
        if (c == L'\r' && description[i + 1] == L'\n') {
            stored[out++] = L' ';
            ++i;
        } else if (c == L'\r' || c == L'\n') {
            stored[out++] = L' ';
        } else {
            stored[out++] = c;
        }
    }
    stored[out] = L'\0';
    return stored;
}

/* Cuts the stored description into pieces of at most 70 characters, each
 * on its own line. A cut falls before the last space that is not the
 * piece's first character, or after 70 characters when there is none, so
 * that joining the pieces gives the text back unchanged. */
static int SetFilePutDescription(FILE *stream, const wchar_t *stored)
{
    size_t length = wcslen(stored);
    size_t pos = 0;
    while (length - pos > SETFILE_WRAP_CHARS) {
        size_t n = SETFILE_WRAP_CHARS;
        while (n > 0 && stored[pos + n] != L' ')
            --n;
        if (n == 0)
            n = SETFILE_WRAP_CHARS;
        if (!SetFilePutLine(stream, "*    ", stored + pos, n))
            return 0;
        pos += n;
    }
    if (length > pos)
        return SetFilePutLine(stream, "*    ", stored + pos, length - pos);
    return 1;
}

int16_t SetFileWriteHeader(FILE *stream, const wchar_t *path, const wchar_t *setName,
                           const wchar_t *description)
{
    if (!path)
        path = L"";
    if (!setName)
        setName = L"";
    if (!description)
        description = L"";

    wchar_t rule[SETFILE_RULE_CHARS + 1];
    for (int i = 0; i < SETFILE_RULE_CHARS; ++i)
        rule[i] = L'-';
    rule[SETFILE_RULE_CHARS] = L'\0';

    /* Only a backslash separates here; the line is informational. */
    const wchar_t *baseName = wcsrchr(path, L'\\');
    baseName = baseName ? baseName + 1 : path;

    wchar_t *stored = SetFileStoredDescription(description);
    if (!stored)
        return 0;

    int ok = SetFilePutLine(stream, "* ", rule, SETFILE_RULE_CHARS) &&
             SetFilePutLine(stream, "* ", setName, wcslen(setName)) &&
             SetFilePutLine(stream, "* ", baseName, wcslen(baseName)) &&
             SetFilePutLine(stream, "*", L"", 0) &&
             SetFilePutDescription(stream, stored) &&
             SetFilePutLine(stream, "*", L"", 0) &&
             SetFilePutLine(stream, "* ", rule, SETFILE_RULE_CHARS);
    KxFree(stored);
    return (int16_t)(ok && !ferror(stream));
}

/* One line per dimension: the name, spaces up to column 32 (at least one),
 * the selected symbol. A dimension without symbols has nothing to store. */
static int SetFileWriteBody(FILE *stream, ListHandle catalogue)
{
    ListIterator it;
    void *item = NULL;
    ListIteratorInit(&it, catalogue);
    while (ListIteratorNext(&it, &item)) {
        const DimEntry *entry = (const DimEntry *)item;
        if (!entry || !entry->Name || !entry->UnitSymbols)
            continue;
        KxStatus status = 0;
        const wchar_t *symbol =
            (const wchar_t *)ListFindIth(entry->UnitSymbols, entry->SelectedUnit, &status);
        if (status != 0 || !symbol)
            continue;
        size_t nameLength = wcslen(entry->Name);
        if (!SetFilePutText(stream, entry->Name, nameLength))
            return 0;
        size_t spaces = nameLength < SETFILE_SYMBOL_COLUMN ? SETFILE_SYMBOL_COLUMN - nameLength : 1;
        for (size_t i = 0; i < spaces; ++i)
            if (putc(' ', stream) == EOF)
                return 0;
        if (!SetFilePutText(stream, symbol, wcslen(symbol)) || !SetFilePutLineEnd(stream))
            return 0;
    }
    return 1;
}

/* A new, empty file beside the target, named by the system. */
static int SetFileTempName(const wchar_t *path, wchar_t *temp)
{
    const wchar_t *separator = NULL;
    for (const wchar_t *p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/')
            separator = p;

    wchar_t folder[MAX_PATH];
    if (separator) {
        size_t length = (size_t)(separator - path) + 1;
        if (length >= MAX_PATH - 14)
            return 0;
        wmemcpy(folder, path, length);
        folder[length] = L'\0';
    } else if (path[0] && path[1] == L':') {
        /* "X:name": the current folder of that drive. */
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

/* Writes the whole file beside the target and puts it in the target's place
 * only when every byte is on disk, so that a failure leaves the previous
 * file as it was. */
static int SetFileWriteReplacing(const wchar_t *path, const wchar_t *setName,
                                 ListHandle catalogue, const wchar_t *description)
{
    if (!path || !path[0])
        return 0;
    /* A read-only set file stays as it is. Some file systems let a rename
     * replace it, so this is not left to the replacement step. */
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return 0;

    wchar_t temp[MAX_PATH];
    if (!SetFileTempName(path, temp))
        return 0;

    FILE *stream = _wfopen(temp, L"wb");
    if (!stream) {
        DeleteFileW(temp);
        return 0;
    }
    int ok = SetFileWriteHeader(stream, path, setName, description) &&
             SetFileWriteBody(stream, catalogue);
    if (fflush(stream) != 0 || ferror(stream))
        ok = 0;
    if (ok && !FlushFileBuffers((HANDLE)_get_osfhandle(_fileno(stream))))
        ok = 0;
    if (fclose(stream) != 0)
        ok = 0;
    if (ok && !MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ok = 0;
    if (!ok)
        DeleteFileW(temp);
    return ok;
}

/* Tells the user why the set was not saved; text is released here. */
static void SetFileReport(wchar_t *text)
{
    wchar_t *caption = StrLoadNewW(ResGetStringModule(), IDS_TITLE);
    MessageBoxW(NULL, text, caption, MB_SETFOREGROUND | MB_ICONERROR);
    KxFree(caption);
    KxFree(text);
}

int16_t SetFileWrite(const wchar_t *path, const wchar_t *setName, ListHandle catalogue)
{
    /* The description is taken from its control now, but a save that does
     * not happen must leave it as it was: otherwise the editor would no
     * longer see the typed text as a change. */
    wchar_t *previous = Description ? KxStrdupW(Description) : NULL;
    EditReadDescription();

    /* Nothing is touched when the set holds what the file cannot store. */
    HMODULE strings = ResGetStringModule();
    const wchar_t *symbol = NULL;
    const DimEntry *unstorable = NULL;
    wchar_t *failure = NULL;
    if (!SetFileIsStorable(Description))
        failure = StrLoadNewW(strings, IDS_ERR_UNSTORABLE);
    else if ((unstorable = SetFileUnstorableUnit(catalogue, &symbol)) != NULL)
        failure = EditFormatText(strings, IDS_ERR_UNSTORABLEUNIT, {symbol, unstorable->Name});
    else if (!SetFileWriteReplacing(path, setName, catalogue, Description))
        failure = StrLoadNewW(strings, IDS_ERR_WRITE);

    if (failure != NULL) {
        if (previous && Description)
            EditCopyText(Description, EDIT_DESCRIPTION_CHARS, previous);
        if (previous)
            KxFree(previous);
        SetFileReport(failure);
        return 0;
    }
    if (previous)
        KxFree(previous);
    Modified = 0;
    return 1;
}

/* ---- reading ---------------------------------------------------------- */

/* What the header reader needs of a line: its first and fourth byte (-1
 * when the line is shorter). */
typedef struct SetFileLine {
    int First;
    int Fourth;
} SetFileLine;

/* Reads one line, of any length, up to CR LF, LF or the end of the file.
 * When description is given, the line's bytes from the sixth on are
 * appended to it up to its capacity, unless the line is a rule (a hyphen as
 * its fourth byte). NUL bytes cannot be held in a text and are left out.
 * Returns 0 when the file had ended before the line; *appended tells
 * whether a character was added. */
static int SetFileReadLine(FILE *stream, SetFileLine *line, wchar_t *description, size_t *length,
                           int *appended)
{
    int column = 0;
    line->First = -1;
    line->Fourth = -1;
    if (appended)
        *appended = 0;
    for (;;) {
        int c = getc(stream);
        if (c == EOF)
            return column > 0;
        if (c == '\n')
            return 1;
        if (c == '\r') {
            int next = getc(stream);
            if (next == '\n')
                return 1;
            if (next != EOF)
                ungetc(next, stream);
        }
        if (column == 0)
            line->First = c;
        else if (column == 3)
            line->Fourth = c;
        if (description && column >= SETFILE_PIECE_OFFSET && line->Fourth != '-' && c != 0 &&
            *length < SETFILE_DESCRIPTION_CHARS) {
            description[(*length)++] = (wchar_t)c;
            description[*length] = L'\0';
            *appended = 1;
        }
        ++column;
    }
}

void SetFileReadHeader(FILE *stream, wchar_t *description)
{
    description[0] = L'\0';
    SetFileLine line;
    for (int i = 0; i < 4; ++i) {
        if (!SetFileReadLine(stream, &line, NULL, NULL, NULL) || line.First != '*')
            return;
    }

    size_t length = 0;
    int appended = 0;
    while (SetFileReadLine(stream, &line, description, &length, &appended)) {
        if (line.Fourth == '-')
            break;
        if (appended) {
            /* A CR left before the line end is part of it, not of the text. */
            RemoveEoln(description);
            length = wcslen(description);
        }
    }
    RemoveBlanks(description);
}

typedef struct SetFileWord {
    wchar_t Text[SETFILE_WORD_CHARS];
    int TooLong; /* cut at the capacity: it can match nothing */
} SetFileWord;

static int SetFileIsSeparator(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0;
}

/* The next word of the body; 0 at the end of the file. */
static int SetFileReadWord(FILE *stream, SetFileWord *word)
{
    int c;
    do {
        c = getc(stream);
    } while (c != EOF && SetFileIsSeparator(c));
    if (c == EOF)
        return 0;

    size_t length = 0;
    word->TooLong = 0;
    while (c != EOF && !SetFileIsSeparator(c)) {
        if (length < SETFILE_WORD_CHARS - 1)
            word->Text[length++] = (wchar_t)c;
        else
            word->TooLong = 1;
        c = getc(stream);
    }
    word->Text[length] = L'\0';
    return 1;
}

/* The first dimension of that name takes the first symbol of that name. */
static void SetFileApplyPair(ListHandle catalogue, const SetFileWord *name,
                             const SetFileWord *symbol)
{
    if (name->TooLong || symbol->TooLong)
        return;
    ListIterator it;
    void *item = NULL;
    ListIteratorInit(&it, catalogue);
    while (ListIteratorNext(&it, &item)) {
        DimEntry *entry = (DimEntry *)item;
        if (!entry || !entry->Name || IntlStrCmpIW(entry->Name, name->Text) != 0)
            continue;
        if (!entry->UnitSymbols)
            return;
        ListIterator symbols;
        void *candidate = NULL;
        uint32_t position = 0;
        ListIteratorInit(&symbols, entry->UnitSymbols);
        while (ListIteratorNext(&symbols, &candidate)) {
            if (candidate && IntlStrCmpIW((const wchar_t *)candidate, symbol->Text) == 0) {
                if (position <= 0xFFFF)
                    entry->SelectedUnit = (uint16_t)position;
                return;
            }
            ++position;
        }
        return;
    }
}

int16_t SetFileRead(const wchar_t *path, ListHandle catalogue, wchar_t *description)
{
    if (!path || !description)
        return 0;
    FILE *stream = _wfopen(path, L"rb");
    if (!stream)
        return 0;

    SetFileReadHeader(stream, description);

    /* Two words at a time, whatever the line breaks; a last word without a
     * partner is ignored. */
    SetFileWord *name = (SetFileWord *)KxMalloc(sizeof(SetFileWord));
    SetFileWord *symbol = (SetFileWord *)KxMalloc(sizeof(SetFileWord));
    if (name && symbol) {
        while (SetFileReadWord(stream, name) && SetFileReadWord(stream, symbol))
            SetFileApplyPair(catalogue, name, symbol);
    }
    if (symbol)
        KxFree(symbol);
    if (name)
        KxFree(name);
    fclose(stream);
    return 1;
}
