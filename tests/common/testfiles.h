// Helpers for tests that read real files: a temporary folder that cleans up
// after itself, and an environment variable set for one scope.
#ifndef TESTFILES_H
#define TESTFILES_H

#include <windows.h>

#include <string>
#include <vector>

namespace testfiles {

// A new, empty folder TEMP\STEM-<process ID>-<n>; empty when none can be
// made. Process IDs come again (Wine gives them out anew within one run of
// the tests), and a test process may leave its folder behind (a library in
// it still mapped at its end): a name already in use is passed over, so a
// test never starts among an earlier test's files.
inline std::wstring NewTempFolder(const std::wstring &stem)
{
    static unsigned serial = 0;
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    for (int tries = 0; tries < 1000; ++tries) {
        std::wstring folder = std::wstring(base) + stem + L"-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++serial);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return std::wstring();
}

// Nested folders below root (which must exist), making a path of exactly
// length characters; returns it. Paths beyond the usual limit of 260
// characters are made too, as the system allows.
inline std::wstring FolderOfLength(const std::wstring &root, size_t length)
{
    std::wstring path = root;
    while (path.size() < length) {
        const size_t left = length - path.size();
        path += L"\\" + std::wstring(left > 60 ? 40 : left - 1, L'd');
        CreateDirectoryW(path.c_str(), nullptr);
    }
    return path;
}

class TempDir {
public:
    TempDir() : path_(NewTempFolder(L"uas")) {}
    ~TempDir()
    {
        for (const std::wstring &file : files_)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::wstring &Path() const { return path_; }

    // Writes the bytes to a file of that name in the folder; returns its path.
    std::wstring Write(const std::wstring &name, const std::string &bytes)
    {
        const std::wstring file = path_ + L"\\" + name;
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(h);
        }
        files_.push_back(file);
        return file;
    }

private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

// Sets (or, with null, removes) an environment variable until the end of the
// scope, then restores what was there.
class ScopedEnv {
public:
    ScopedEnv(const wchar_t *name, const wchar_t *value) : name_(name)
    {
        const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
        if (n > 0) {
            std::vector<wchar_t> old(n);
            GetEnvironmentVariableW(name, old.data(), n);
            old_.assign(old.data());
            had_ = true;
        }
        SetEnvironmentVariableW(name, value);
    }
    ~ScopedEnv() { SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr); }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    std::wstring name_;
    std::wstring old_;
    bool had_ = false;
};

// The names of the files and folders that match a search pattern
// ("folder\\*"), without "." and "..".
inline std::vector<std::wstring> Names(const std::wstring &pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

// A folder reached through a second drive letter as well, as a mapped
// network drive and the share's own name reach one folder. Under Wine every
// drive's folders are also reached through Z:, the host's root, so that is
// the second spelling; elsewhere a drive letter of its own is defined for
// the folder while the object lives. Path() is empty when neither works.
class OtherDrive {
public:
    explicit OtherDrive(const std::wstring &folder)
    {
        using UnixName = char *(CDECL *)(const WCHAR *);
        const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void *>(
            GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
        if (unixName) {
            if (char *name = unixName(folder.c_str())) {
                std::wstring path = L"Z:";
                for (const char *c = name; *c; ++c)
                    path +=
                        *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
                HeapFree(GetProcessHeap(), 0, name);
                // C: is a link to the prefix's drive_c; the link's own name
                // holds a colon, which no path outside the namespace of
                // drives should.
                const std::wstring link = L"\\dosdevices\\c:\\";
                const size_t at = path.find(link);
                if (at != std::wstring::npos)
                    path.replace(at, link.size(), L"\\drive_c\\");
                if (path.compare(0, 2, folder, 0, 2) != 0 && Reaches(path, folder))
                    path_ = path;
            }
            return;
        }
        for (wchar_t letter = L'Z'; letter > L'C'; --letter) {
            const wchar_t drive[] = {letter, L':', L'\0'};
            wchar_t target[MAX_PATH];
            const bool free = QueryDosDeviceW(drive, target, MAX_PATH) == 0 &&
                              GetLastError() == ERROR_FILE_NOT_FOUND;
            if (free && DefineDosDeviceW(0, drive, folder.c_str())) {
                drive_ = drive;
                if (Reaches(drive_, folder))
                    path_ = drive_;
                break;
            }
        }
    }
    ~OtherDrive()
    {
        if (!drive_.empty())
            DefineDosDeviceW(DDD_REMOVE_DEFINITION, drive_.c_str(), nullptr);
    }
    OtherDrive(const OtherDrive &) = delete;
    OtherDrive &operator=(const OtherDrive &) = delete;

    // The folder through the other drive, without a final backslash.
    const std::wstring &Path() const { return path_; }

private:
    // Whether both spellings name one folder: a file made through one is
    // found through the other.
    static bool Reaches(const std::wstring &other, const std::wstring &folder)
    {
        const std::wstring mark = L"\\other-drive-" + std::to_wstring(GetCurrentProcessId());
        HANDLE file = CreateFileW((folder + mark).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const bool found = GetFileAttributesW((other + mark).c_str()) != INVALID_FILE_ATTRIBUTES;
        CloseHandle(file);
        return found;
    }

    std::wstring path_;
    std::wstring drive_;
};

inline std::string Utf8(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

} // namespace testfiles

#endif // TESTFILES_H
