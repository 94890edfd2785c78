// The units library's dimensions and unit symbols, as lists for the
// installation's programs, and the reason when there are none.
//
// The profile and the units file it names (key Units_File in Kalvex_Section)
// are read once per process, on the first call that needs them; the
// outcome, failure included, holds until the process ends, so every program
// of a session sees one consistent units library. Dimension names are looked
// up exactly, letter case counting: callers pass back the names this
// library gave them.
//
// Every list handed out is a fresh array of fresh strings, released together
// by UnitDestroyList. A small list (the symbols of a dimension) is one block
// of the installation's memory, its strings behind its array: a program asks
// for every dimension's symbols in turn, copies them and gives the list
// back, so one block instead of one per string saves most of that work. A
// long one (all dimension names) is an array and a block per string, which
// the general library's pools take back and give out again for the next.
#include "velx32.h"

#include "unitsfile.h"
#include "kxprofile.h"
#include "kxtext.h"

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t ProfileSection[] = L"Kalvex_Section";
constexpr wchar_t ProfileKey[] = L"Units_File";

struct UnitData {
    bool Loaded = false;
    // The dimensions, their symbols and a table that finds each name: the
    // programs ask for every dimension's symbols in turn, so a search
    // through all names would make their start quadratic.
    velx::UnitTable Table;
    velx::UnitParseFault Fault;
    std::wstring FaultFile;
};

// The longest units file path taken, with its terminator.
constexpr size_t PathChars = 1024;

void ReportFault(const UnitData &data)
{
    std::wstring text = L"velx32: units file \"" + data.FaultFile + L"\"";
    if (data.Fault.Line > 0)
        text += L", line " + std::to_wstring(data.Fault.Line);
    text += L": ";
    text += data.Fault.Reason;
    if (!data.Fault.Detail.empty())
        text += L": \"" + data.Fault.Detail + L"\"";
    if (data.Fault.SystemError != 0)
        text += L" (system error " + std::to_wstring(data.Fault.SystemError) + L")";
    text += L"\n";
    OutputDebugStringW(text.c_str());
}

void FailProfile(UnitData &data, int32_t code, const wchar_t *reason)
{
    data.Fault = velx::UnitParseFault();
    data.Fault.Code = code;
    data.Fault.Reason = reason;
    data.FaultFile = ProfileKey;
    OutputDebugStringW(
        (std::wstring(L"velx32: profile key ") + ProfileKey + L": " + reason + L"\n").c_str());
}

UnitData Load()
{
    UnitData data;
    try {
        // The value is read whole, never cut; one that is no usable path is
        // refused below.
        std::wstring path;
        const kx::ProfileRead read = kx::ReadProfileValue(ProfileSection, ProfileKey, path);
        if (read == kx::ProfileRead::Absent) {
            FailProfile(data, UNIT_FAULT_NO_PROFILE_KEY, L"the profile names no units file");
            return data;
        }
        if (read == kx::ProfileRead::Unusable) {
            FailProfile(data, UNIT_FAULT_PROFILE_VALUE_UNREADABLE,
                        L"the units file's profile value cannot be read");
            return data;
        }
        if (path.empty()) {
            FailProfile(data, UNIT_FAULT_PROFILE_VALUE_EMPTY, L"the units file path is empty");
            return data;
        }
        if (path.size() >= PathChars - 1) {
            FailProfile(data, UNIT_FAULT_PROFILE_VALUE_TOO_LONG,
                        L"the units file path is too long");
            return data;
        }
        if (!velx::UnitReadFile(path, data.Table, data.Fault)) {
            data.FaultFile = path;
            data.Table.Clear();
            ReportFault(data);
            return data;
        }
        data.Loaded = true;
    } catch (...) {
        // Only memory can run out here.
        data.Table.Clear();
        data.Loaded = false;
        data.Fault = velx::UnitParseFault();
        data.Fault.Code = UNIT_FAULT_NO_MEMORY;
        data.Fault.Reason = L"out of memory";
        OutputDebugStringW(L"velx32: out of memory while loading the units file\n");
    }
    return data;
}

// Made on first use and never destroyed: the units library lives as long
// as the process, and a program that ends need not give its memory back
// block by block.
const UnitData &Data()
{
    static const UnitData &data = *new UnitData(Load());
    return data;
}

// Marks, behind the terminating null, a list whose strings lie in its own
// block; its address is this library's alone.
const char InsideMarker = 0;
void *const StringsInside = const_cast<char *>(&InsideMarker);

// The largest list that is made as one block: the general library's pools
// serve blocks up to this size.
constexpr size_t OneBlockMostBytes = 1024;

void FreeList(wchar_t **list)
{
    if (!list)
        return;
    wchar_t **item = list;
    while (*item)
        ++item;
    if (item[1] != StringsInside) {
        for (item = list; *item; ++item)
            KxFree(*item);
    }
    KxFree(list);
}

// Copies count texts, text(i) for each i, into a new null-terminated list,
// with one more slot behind the null that tells how its strings are kept.
template <typename TextAt> UnitList MakeList(size_t count, TextAt text)
{
    const size_t maxItems = (0xFFFFFFFFu / sizeof(wchar_t *)) - 2;
    if (count > maxItems)
        return nullptr;
    const size_t arrayBytes = (count + 2) * sizeof(wchar_t *);
    size_t textBytes = 0;
    for (size_t i = 0; i < count && arrayBytes + textBytes <= OneBlockMostBytes; ++i)
        textBytes += (kx::Length(text(i)) + 1) * sizeof(wchar_t);
    if (arrayBytes + textBytes <= OneBlockMostBytes) {
        auto **list =
            static_cast<wchar_t **>(KxMalloc(static_cast<uint32_t>(arrayBytes + textBytes)));
        if (!list)
            return nullptr;
        auto *at = reinterpret_cast<wchar_t *>(reinterpret_cast<char *>(list) + arrayBytes);
        for (size_t i = 0; i < count; ++i) {
            list[i] = at;
            for (const wchar_t *from = text(i);; ++from) {
                *at++ = *from;
                if (*from == L'\0')
                    break;
            }
        }
        list[count] = nullptr;
        list[count + 1] = static_cast<wchar_t *>(StringsInside);
        return list;
    }
    auto **list = static_cast<wchar_t **>(KxMalloc(static_cast<uint32_t>(arrayBytes)));
    if (!list)
        return nullptr;
    // Kept null-terminated throughout, so that a failure can release it.
    list[0] = nullptr;
    list[1] = nullptr;
    for (size_t i = 0; i < count; ++i) {
        wchar_t *copy = KxStrdupW(text(i));
        if (!copy) {
            FreeList(list);
            return nullptr;
        }
        list[i] = copy;
        list[i + 1] = nullptr;
        list[i + 2] = nullptr;
    }
    return list;
}

// Copies text into a fixed field, cut to fit and always terminated; a cut
// never splits a surrogate pair.
template <size_t Capacity> void CopyCut(wchar_t (&field)[Capacity], const std::wstring &text)
{
    size_t n = text.size() < Capacity - 1 ? text.size() : Capacity - 1;
    if (n < text.size() && n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF)
        --n;
    wmemcpy(field, text.data(), n);
    field[n] = L'\0';
}

} // namespace

extern "C" {

int16_t WINAPI UnitInitialize(int32_t *result)
{
    const int16_t failed = Data().Loaded ? 0 : 1;
    if (result)
        *result = failed;
    return failed;
}

UnitList WINAPI UnitGetDimList(KxStatus *status)
{
    UnitList list = nullptr;
    const UnitData &data = Data();
    if (data.Loaded)
        list = MakeList(data.Table.Size(), [&data](size_t i) { return data.Table.Name(i); });
    if (status)
        *status = list ? 0 : 1;
    return list;
}

UnitList WINAPI UnitGetSymList(const wchar_t *dimension, KxStatus *status)
{
    UnitList list = nullptr;
    const UnitData &data = Data();
    if (data.Loaded && dimension) {
        try {
            size_t position = 0;
            if (data.Table.Find(dimension, position)) {
                const velx::UnitTable &table = data.Table;
                list = MakeList(table.SymbolCount(position),
                                [&table, position](size_t i) { return table.Symbol(position, i); });
            }
        } catch (...) {
            list = nullptr;
        }
    }
    if (status)
        *status = list ? 0 : 1;
    return list;
}

void WINAPI UnitDestroyList(UnitList list)
{
    FreeList(list);
}

int16_t WINAPI UnitGetLoadFault(UnitLoadFault *fault)
{
    if (!fault)
        return 0;
    const UnitData &data = Data();
    *fault = UnitLoadFault();
    if (data.Loaded)
        return 0;
    fault->Code = data.Fault.Code;
    fault->Line = data.Fault.Line <= 0x7FFFFFFF ? static_cast<int32_t>(data.Fault.Line) : 0;
    fault->SystemError = data.Fault.SystemError;
    CopyCut(fault->File, data.FaultFile);
    CopyCut(fault->Detail, data.Fault.Detail);
    return 1;
}

} // extern "C"
