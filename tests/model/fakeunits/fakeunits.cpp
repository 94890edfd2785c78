// A units library of the tests' own, loaded in place of the installation's
// velx32.dll by the test program beside it. Its data is fixed; the
// environment variable FAKE_UNITS_FAIL makes one call fail:
//   "dims"       UnitGetDimList fails and returns no array,
//   "dims-array" UnitGetDimList fails but still returns an array,
//   "sym:NAME"   UnitGetSymList fails for the dimension NAME.
// Every call is logged, and the arrays still handed out are counted, so that
// a test can see the order of the calls and that nothing was kept.
#define VELX32_BUILD
#include "velx32.h"

#include <string>
#include <utility>
#include <vector>

namespace {

const std::vector<std::pair<std::wstring, std::vector<std::wstring>>> kDims = {
    {L"Length", {L"m", L"cm"}},
    {L"Mass", {L"kg", L"g", L"t"}},
    {L"Empty", {}},
    {L"Time", {L"s", L"min"}},
};

std::wstring g_log;
long g_outstanding = 0;

std::wstring Failure()
{
    wchar_t value[256] = L"";
    const DWORD n = GetEnvironmentVariableW(L"FAKE_UNITS_FAIL", value, 256);
    return n > 0 && n < 256 ? std::wstring(value) : std::wstring();
}

UnitList MakeList(const std::vector<std::wstring> &strings)
{
    auto **list = static_cast<wchar_t **>(
        KxMalloc(static_cast<uint32_t>((strings.size() + 1) * sizeof(wchar_t *))));
    for (size_t i = 0; i < strings.size(); ++i)
        list[i] = KxStrdupW(strings[i].c_str());
    list[strings.size()] = nullptr;
    ++g_outstanding;
    return list;
}

} // namespace

extern "C" {

VELX32_API int16_t WINAPI UnitInitialize(int32_t *result)
{
    if (result)
        *result = 0;
    return 0;
}

// Failures made on request have no load fault to tell.
VELX32_API int16_t WINAPI UnitGetLoadFault(UnitLoadFault *fault)
{
    if (fault)
        *fault = UnitLoadFault{};
    return 0;
}

VELX32_API UnitList WINAPI UnitGetDimList(KxStatus *status)
{
    const std::wstring failure = Failure();
    std::vector<std::wstring> names;
    for (const auto &dim : kDims)
        names.push_back(dim.first);
    if (failure == L"dims") {
        g_log += L"dims! ";
        *status = 5;
        return nullptr;
    }
    *status = failure == L"dims-array" ? 6 : 0;
    g_log += *status ? L"dims+! " : L"dims+ ";
    return MakeList(names);
}

VELX32_API UnitList WINAPI UnitGetSymList(const wchar_t *dimension, KxStatus *status)
{
    if (Failure() == std::wstring(L"sym:") + dimension) {
        g_log += std::wstring(L"sym(") + dimension + L")! ";
        *status = 7;
        return nullptr;
    }
    for (const auto &dim : kDims) {
        if (dim.first == dimension) {
            g_log += std::wstring(L"sym(") + dimension + L")+ ";
            *status = 0;
            return MakeList(dim.second);
        }
    }
    g_log += L"sym(?)! ";
    *status = 8;
    return nullptr;
}

VELX32_API void WINAPI UnitDestroyList(UnitList list)
{
    g_log += L"- ";
    --g_outstanding;
    for (wchar_t **s = list; *s; ++s)
        KxFree(*s);
    KxFree(list);
}

VELX32_API void WINAPI UserGetGlobalUnitSet(wchar_t *path)
{
    path[0] = L'\0';
}

VELX32_API void WINAPI UserSetGlobalUnitSet(const wchar_t *) {}

// For the tests: the calls since the last reset, and the arrays not given back.
__declspec(dllexport) const wchar_t *WINAPI FakeUnitsLog(void)
{
    return g_log.c_str();
}

__declspec(dllexport) long WINAPI FakeUnitsOutstanding(void)
{
    return g_outstanding;
}

__declspec(dllexport) void WINAPI FakeUnitsReset(void)
{
    g_log.clear();
    g_outstanding = 0;
}

} // extern "C"
