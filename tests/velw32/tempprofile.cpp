// A temporary profile for the tests (see tempprofile.h).
#include "tempprofile.h"

#include <vector>

std::string Utf8(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

TempProfile::TempProfile()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    folder_ = std::wstring(temp) + L"velw32test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++serial);
    CreateDirectoryW(folder_.c_str(), nullptr);

    std::vector<wchar_t> old(32768);
    const DWORD n = GetEnvironmentVariableW(L"KALVEX_PROFILE", old.data(), static_cast<DWORD>(old.size()));
    hadPrevious_ = n > 0 && n < old.size();
    if (hadPrevious_)
        previous_.assign(old.data(), n);
    SetEnvironmentVariableW(L"KALVEX_PROFILE", (folder_ + L"\\kalvex.ini").c_str());
}

TempProfile::~TempProfile()
{
    SetEnvironmentVariableW(L"KALVEX_PROFILE", hadPrevious_ ? previous_.c_str() : nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder_.c_str());
}

void TempProfile::Write(const std::wstring &text)
{
    WriteFile(L"kalvex.ini", Utf8(text));
}

void TempProfile::WriteFile(const std::wstring &name, const std::string &bytes)
{
    HANDLE file = CreateFileW((folder_ + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}
