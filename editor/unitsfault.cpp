// Wording the units library's load fault: the design's one-line message,
// then the file, the line and the reason, each from the string table.
#include "unitsfault.h"

#include <string>

#include "resloc.h"
#include "resource.h"
#include "textutil.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

namespace {

// The reason's string for a fault code; 0 for a code this program does not
// know (a newer units library), which shows the first line only.
UINT ReasonId(const UnitLoadFault &fault)
{
    switch (fault.Code) {
    case UNIT_FAULT_NO_PROFILE_KEY: return IDS_UNITS_NOPROFILEKEY;
    case UNIT_FAULT_PROFILE_VALUE_EMPTY: return IDS_UNITS_PROFILEEMPTY;
    case UNIT_FAULT_PROFILE_VALUE_TOO_LONG: return IDS_UNITS_PROFILETOOLONG;
    case UNIT_FAULT_PROFILE_VALUE_UNREADABLE: return IDS_UNITS_PROFILEUNREADABLE;
    case UNIT_FAULT_OPEN:
        return fault.SystemError == ERROR_FILE_NOT_FOUND ||
                       fault.SystemError == ERROR_PATH_NOT_FOUND
                   ? IDS_UNITS_MISSING
                   : IDS_UNITS_OPEN;
    case UNIT_FAULT_READ: return IDS_UNITS_READ;
    case UNIT_FAULT_FILE_TOO_LARGE: return IDS_UNITS_TOOLARGE;
    case UNIT_FAULT_NOT_UTF8: return IDS_UNITS_NOTUTF8;
    case UNIT_FAULT_BAD_NAME: return IDS_UNITS_BADNAME;
    case UNIT_FAULT_BAD_SYMBOL: return IDS_UNITS_BADSYMBOL;
    case UNIT_FAULT_NAME_TOO_LONG: return IDS_UNITS_NAMETOOLONG;
    case UNIT_FAULT_SYMBOL_TOO_LONG: return IDS_UNITS_SYMBOLTOOLONG;
    case UNIT_FAULT_UNSTORABLE_NAME: return IDS_UNITS_UNSTORABLENAME;
    case UNIT_FAULT_UNSTORABLE_SYMBOL: return IDS_UNITS_UNSTORABLESYMBOL;
    case UNIT_FAULT_TOO_MANY_SYMBOLS: return IDS_UNITS_TOOMANYSYMBOLS;
    case UNIT_FAULT_DUPLICATE_NAME: return IDS_UNITS_DUPLICATE;
    case UNIT_FAULT_TOO_MANY_DIMENSIONS: return IDS_UNITS_TOOMANYDIMENSIONS;
    case UNIT_FAULT_NO_DIMENSIONS: return IDS_UNITS_NODIMENSIONS;
    case UNIT_FAULT_NO_MEMORY: return IDS_UNITS_NOMEMORY;
    default: return 0;
    }
}

// The number that a reason's second place holds: a limit, or the system's
// error code.
std::wstring ReasonNumber(const UnitLoadFault &fault)
{
    switch (fault.Code) {
    case UNIT_FAULT_OPEN:
    case UNIT_FAULT_READ: return std::to_wstring(fault.SystemError);
    case UNIT_FAULT_FILE_TOO_LARGE: return std::to_wstring(UNIT_FILE_MAX_BYTES);
    case UNIT_FAULT_NAME_TOO_LONG: return std::to_wstring(UNIT_NAME_MAX_CHARS);
    case UNIT_FAULT_SYMBOL_TOO_LONG: return std::to_wstring(UNIT_SYMBOL_MAX_CHARS);
    case UNIT_FAULT_TOO_MANY_SYMBOLS: return std::to_wstring(UNIT_MAX_SYMBOLS);
    case UNIT_FAULT_TOO_MANY_DIMENSIONS: return std::to_wstring(UNIT_MAX_DIMENSIONS);
    default: return std::wstring();
    }
}

// The lines below the first: "File: ...", then the reason, after "Line n: "
// when the fault has a line.
std::wstring CauseLines(const UnitLoadFault &fault)
{
    HMODULE strings = ResGetStringModule();
    std::wstring lines;
    const UINT reasonId = ReasonId(fault);
    if (reasonId == 0)
        return lines;
    const std::wstring number = ReasonNumber(fault);
    // Reasons take the detail first and the number second; a reason
    // without the detail takes the number in its first place. The count of
    // dimensions names only its limit: the library's detail there is the
    // name of the dimension one too many.
    const bool takesDetail = fault.Detail[0] && fault.Code != UNIT_FAULT_TOO_MANY_DIMENSIONS;
    const wchar_t *first = takesDetail ? fault.Detail : number.c_str();
    wchar_t *reason = EditFormatText(strings, reasonId, {first, number.c_str()});
    wchar_t *file = EditFormatText(strings, IDS_UNITS_FILE, {fault.File});
    wchar_t *where = nullptr;
    if (fault.Line > 0) {
        const std::wstring line = std::to_wstring(fault.Line);
        where = EditFormatText(strings, IDS_UNITS_LINE, {line.c_str(), reason ? reason : L""});
    }
    if (file)
        lines += file;
    lines += L"\n";
    if (where)
        lines += where;
    else if (reason)
        lines += reason;
    for (wchar_t *block : {reason, file, where})
        if (block)
            KxFree(block);
    return lines;
}

} // namespace

wchar_t *EditUnitsFailureText()
{
    wchar_t *first = StrLoadNewW(ResGetStringModule(), IDS_ERR_UNITFILES);
    UnitLoadFault fault = {};
    std::wstring cause;
    if (UnitGetLoadFault(&fault))
        cause = CauseLines(fault);
    wchar_t *text = cause.empty()
                        ? EditSubstitute(L"%s", {first ? first : L""})
                        : EditSubstitute(L"%s\n\n%s", {first ? first : L"", cause.c_str()});
    if (first)
        KxFree(first);
    return text;
}
