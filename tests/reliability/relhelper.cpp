// A helper that the reliability tests start as a process of its own.
//   relhelper units REPORT   loads the units library under the profile that
//                            KALVEX_PROFILE names and writes what it said
//                            ("return code line dimensions") to REPORT;
//   relhelper hold FILE NAME [HOW]
//                            opens FILE without sharing (HOW "share-read":
//                            sharing reads only; "lock": sharing everything
//                            and locking all of it), sets the event
//                            NAME-ready and keeps the file until the event
//                            NAME-release is set (at most a minute).
#include <windows.h>

#include "velx32.h"

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD HoldLimitMs = 60000;

int ReportUnits(const wchar_t *report)
{
    UnitLoadFault fault = {};
    const int16_t failed = UnitGetLoadFault(&fault);
    int dims = -1;
    if (!failed) {
        KxStatus status = 0;
        UnitList list = UnitGetDimList(&status);
        dims = 0;
        for (wchar_t **d = list; d && *d; ++d)
            ++dims;
        if (list)
            UnitDestroyList(list);
    }
    FILE *out = _wfopen(report, L"wb");
    if (!out)
        return 3;
    std::fprintf(out, "%d %d %d %d\n", failed, fault.Code, fault.Line, dims);
    std::fclose(out);
    return 0;
}

int Hold(const wchar_t *file, const std::wstring &name, const std::wstring &how)
{
    DWORD share = 0;
    if (how == L"share-read")
        share = FILE_SHARE_READ;
    else if (how == L"lock")
        share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    else if (!how.empty())
        return 1;
    HANDLE held = CreateFileW(file, GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        return 2;
    OVERLAPPED whole = {};
    if (how == L"lock" && !LockFileEx(held, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                                      MAXDWORD, MAXDWORD, &whole)) {
        CloseHandle(held);
        return 2;
    }
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, (name + L"-ready").c_str());
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, (name + L"-release").c_str());
    if (ready)
        SetEvent(ready);
    if (release)
        WaitForSingleObject(release, HoldLimitMs);
    for (HANDLE h : {ready, release})
        if (h)
            CloseHandle(h);
    CloseHandle(held);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc == 3 && std::wcscmp(argv[1], L"units") == 0)
        return ReportUnits(argv[2]);
    if ((argc == 4 || argc == 5) && std::wcscmp(argv[1], L"hold") == 0)
        return Hold(argv[2], argv[3], argc == 5 ? argv[4] : L"");
    return 1;
}
