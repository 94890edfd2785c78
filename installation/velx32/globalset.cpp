// The user's global default unit set: the path of a set file, kept per user
// and across sessions in the registry (HKCU\Software\Kalvex, GlobalUnitSet).
//
// Only paths that a caller's buffer of UNIT_GLOBAL_PATH_CHARS can hold are
// stored. A stored value that does not fit (written by some other tool) or
// is not a string reads as "no global set": a cut path would name another
// file.
#include "velx32.h"

#include <cwchar>
#include <strsafe.h>

namespace {

constexpr wchar_t KeyPath[] = L"Software\\Kalvex";
constexpr wchar_t ValueName[] = L"GlobalUnitSet";

bool ReadStored(wchar_t (&stored)[UNIT_GLOBAL_PATH_CHARS])
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD bytes = sizeof(stored);
    const LONG rc = RegQueryValueExW(key, ValueName, nullptr, &type, reinterpret_cast<BYTE *>(stored), &bytes);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ)
        return false;
    // The stored data need not carry its terminator.
    const size_t chars = bytes / sizeof(wchar_t);
    const size_t length = wcsnlen(stored, chars);
    if (length >= UNIT_GLOBAL_PATH_CHARS)
        return false;
    stored[length] = L'\0';
    return true;
}

} // namespace

extern "C" {

void WINAPI UserGetGlobalUnitSet(wchar_t *path)
{
    if (!path)
        return;
    wchar_t stored[UNIT_GLOBAL_PATH_CHARS];
    if (!ReadStored(stored) || FAILED(StringCchCopyW(path, UNIT_GLOBAL_PATH_CHARS, stored)))
        path[0] = L'\0';
}

void WINAPI UserSetGlobalUnitSet(const wchar_t *path)
{
    size_t length = 0;
    if (!path || FAILED(StringCchLengthW(path, UNIT_GLOBAL_PATH_CHARS, &length)))
        return;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, ValueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(path),
                   static_cast<DWORD>((length + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

} // extern "C"
