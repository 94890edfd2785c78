// A throw-away installation for one test: a temporary folder with a profile
// (named through KALVEX_PROFILE) whose Set_Dir names the set folder in it.
#ifndef UAS_TEMPINSTALL_H
#define UAS_TEMPINSTALL_H

#include <windows.h>

#include <string>

class TempInstall {
public:
    // setDir: the profile's Set_Dir, "" for the folder "sets" made here,
    // nullptr for no Set_Dir at all.
    explicit TempInstall(const wchar_t *setDir = L"")
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static unsigned serial = 0;
        root_ = temp + std::wstring(L"uas") + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++serial);
        sets_ = root_ + L"\\sets";
        CreateDirectoryW(root_.c_str(), nullptr);
        CreateDirectoryW(sets_.c_str(), nullptr);
        WriteProfile(setDir);
    }
    ~TempInstall()
    {
        SetEnvironmentVariableW(L"KALVEX_PROFILE", nullptr);
        RemoveTree(root_);
    }
    TempInstall(const TempInstall &) = delete;
    TempInstall &operator=(const TempInstall &) = delete;

    const std::wstring &Root() const { return root_; }
    const std::wstring &SetDir() const { return sets_; }
    std::wstring PathOf(const std::wstring &name) const { return sets_ + L"\\" + name + L".uas"; }
    void AddSet(const std::wstring &name) const { AddFile(sets_ + L"\\" + name + L".uas"); }
    static void AddFile(const std::wstring &path)
    {
        CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }

    void WriteProfile(const wchar_t *setDir)
    {
        std::wstring text = L"\xFEFF[Kalvex_Section]\r\n";
        if (setDir)
            text += L"Set_Dir=" + (*setDir ? std::wstring(setDir) : sets_) + L"\r\n";
        const std::wstring profile = root_ + L"\\kalvex.ini";
        HANDLE file = CreateFileW(profile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(file);
        SetEnvironmentVariableW(L"KALVEX_PROFILE", profile.c_str());
    }

    // Nested folders below the root, making a path of exactly length characters.
    std::wstring FolderOfLength(size_t length) const
    {
        std::wstring path = root_;
        while (path.size() < length) {
            const size_t left = length - path.size();
            path += L"\\" + std::wstring(left > 60 ? 40 : left - 1, L'd');
            CreateDirectoryW(path.c_str(), nullptr);
        }
        return path;
    }

private:
    static void RemoveTree(const std::wstring &dir)
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
        while (search != INVALID_HANDLE_VALUE) {
            const std::wstring name = found.cFileName, path = dir + L"\\" + name;
            if (name != L"." && name != L"..") {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    DeleteFileW(path.c_str());
            }
            if (!FindNextFileW(search, &found)) {
                FindClose(search);
                break;
            }
        }
        RemoveDirectoryW(dir.c_str());
    }

    std::wstring root_, sets_;
};

#endif
