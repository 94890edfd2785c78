// The units library's dimensions and unit symbols, as lists for the
// installation's programs.
//
// The units file named by the profile (key Units_File in Kalvex_Section) is
// read once per process, on the first call that needs it; the outcome,
// failure included, holds until the process ends, so every program of a
// session sees one consistent units library. Dimension names are looked up
// exactly, letter case counting: callers pass back the names this library
// gave them.
//
// Every list handed out is a fresh array of fresh strings, all blocks of the
// installation's heap, released together by UnitDestroyList.
#include "velx32.h"

#include "unitsfile.h"

#include <cwchar>
#include <string>
#include <vector>

namespace {

struct UnitData {
    bool Loaded = false;
    std::vector<velx::UnitDimension> Dims;
};

// A profile value this long was cut by the profile reader, so it is not a
// usable path.
constexpr int32_t ProfileValueChars = 1024;

void ReportFault(const std::wstring &path, const velx::UnitParseFault &fault)
{
    std::wstring text = L"velx32: units file \"" + path + L"\"";
    if (fault.Line > 0)
        text += L", line " + std::to_wstring(fault.Line);
    text += L": ";
    text += fault.Reason;
    text += L"\n";
    OutputDebugStringW(text.c_str());
}

UnitData Load()
{
    UnitData data;
    try {
        std::vector<wchar_t> value(ProfileValueChars, L'\0');
        int32_t size = ProfileValueChars;
        KxStatus status = 1;
        ProfReadStringW(L"Kalvex_Section", L"Units_File", value.data(), &size, &status);
        if (status != 0) {
            OutputDebugStringW(L"velx32: the profile names no units file (Units_File)\n");
            return data;
        }
        const std::wstring path(value.data());
        if (path.empty() || path.size() >= static_cast<size_t>(ProfileValueChars) - 1) {
            OutputDebugStringW(L"velx32: the profile's units file path is empty or too long\n");
            return data;
        }
        velx::UnitParseFault fault;
        if (!velx::UnitReadFile(path, data.Dims, fault)) {
            ReportFault(path, fault);
            data.Dims.clear();
            return data;
        }
        data.Loaded = true;
    } catch (...) {
        data.Dims.clear();
        data.Loaded = false;
    }
    return data;
}

const UnitData &Data()
{
    static const UnitData data = Load();
    return data;
}

void FreeList(wchar_t **list)
{
    if (!list)
        return;
    for (wchar_t **item = list; *item; ++item)
        KxFree(*item);
    KxFree(list);
}

// Copies count texts, text(i) for each i, into a new null-terminated list.
template <typename TextAt>
UnitList MakeList(size_t count, TextAt text)
{
    const size_t maxItems = (0xFFFFFFFFu / sizeof(wchar_t *)) - 1;
    if (count > maxItems)
        return nullptr;
    auto **list = static_cast<wchar_t **>(KxMalloc(static_cast<uint32_t>((count + 1) * sizeof(wchar_t *))));
    if (!list)
        return nullptr;
    // Kept null-terminated throughout, so that a failure can release it.
    list[0] = nullptr;
    for (size_t i = 0; i < count; ++i) {
        wchar_t *copy = KxStrdupW(text(i));
        if (!copy) {
            FreeList(list);
            return nullptr;
        }
        list[i] = copy;
        list[i + 1] = nullptr;
    }
    return list;
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
        list = MakeList(data.Dims.size(), [&data](size_t i) { return data.Dims[i].Name.c_str(); });
    if (status)
        *status = list ? 0 : 1;
    return list;
}

UnitList WINAPI UnitGetSymList(const wchar_t *dimension, KxStatus *status)
{
    UnitList list = nullptr;
    const UnitData &data = Data();
    if (data.Loaded && dimension) {
        for (const velx::UnitDimension &dim : data.Dims) {
            if (dim.Name == dimension) {
                list = MakeList(dim.Symbols.size(), [&dim](size_t i) { return dim.Symbols[i].c_str(); });
                break;
            }
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

} // extern "C"
