// A throw-away installation for one test: a temporary folder with a profile
// (named through KALVEX_PROFILE while the object lives), a set folder, and
// optionally a units file. Everything is removed, and KALVEX_PROFILE put back
// as it was, when the object goes.
#ifndef TEMPINSTALL_H
#define TEMPINSTALL_H

#include <windows.h>

#include "testfiles.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// One key of the profile: section, key, value.
struct ProfileEntry {
    std::wstring Section, Key, Value;
};
using ProfileEntries = std::vector<ProfileEntry>;

class TempInstall {
public:
    struct Options {
        ProfileEntries Keys;                    // written in this order
        bool NameSetDir = true;                 // Set_Dir = the set folder, unless Keys name one
        std::optional<std::wstring> UnitsText;  // written as units.txt (UTF-8), named by Units_File
    };

    TempInstall() : TempInstall(Options()) {}
    explicit TempInstall(ProfileEntries keys) : TempInstall(Options{std::move(keys), true, std::nullopt}) {}
    explicit TempInstall(Options options)
    {
        root_ = testfiles::NewTempFolder(L"uasinst");
        sets_ = root_ + L"\\sets";
        CreateDirectoryW(sets_.c_str(), nullptr);
        profile_ = root_ + L"\\kalvex.ini";
        env_ = std::make_unique<testfiles::ScopedEnv>(L"KALVEX_PROFILE", profile_.c_str());
        if (options.UnitsText)
            units_ = WriteFile(L"units.txt", testfiles::Utf8(*options.UnitsText));
        WriteProfile(std::move(options.Keys), options.NameSetDir);
    }
    ~TempInstall()
    {
        env_.reset();
        RemoveTree(root_);
    }
    TempInstall(const TempInstall &) = delete;
    TempInstall &operator=(const TempInstall &) = delete;

    const std::wstring &Root() const { return root_; }
    const std::wstring &SetDir() const { return sets_; }
    const std::wstring &ProfilePath() const { return profile_; }
    const std::wstring &UnitsPath() const { return units_; }  // empty without units text
    std::wstring PathOf(const std::wstring &setName) const { return sets_ + L"\\" + setName + L".uas"; }

    // An empty set file of that name in the set folder.
    void AddSet(const std::wstring &setName) const { AddFile(PathOf(setName)); }
    // An empty file at path (a \\?\ path makes names Windows would refuse).
    static void AddFile(const std::wstring &path)
    {
        CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    // A file of the root folder with these bytes; returns its path.
    std::wstring WriteFile(const std::wstring &name, const std::string &bytes) const
    {
        const std::wstring path = root_ + L"\\" + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(file);
        }
        return path;
    }

    // Writes the profile anew with these keys, grouped by section in the
    // order of first mention; Set_Dir (when nameSetDir) and Units_File (with
    // a units file) are added to Kalvex_Section unless the keys name them.
    void WriteProfile(ProfileEntries keys, bool nameSetDir = true)
    {
        auto named = [&keys](const wchar_t *key) {
            for (const ProfileEntry &e : keys)
                if (e.Section == L"Kalvex_Section" && e.Key == key)
                    return true;
            return false;
        };
        if (nameSetDir && !named(L"Set_Dir"))
            keys.push_back({L"Kalvex_Section", L"Set_Dir", sets_});
        if (!units_.empty() && !named(L"Units_File"))
            keys.push_back({L"Kalvex_Section", L"Units_File", units_});
        std::vector<std::wstring> sections;
        for (const ProfileEntry &e : keys) {
            bool seen = false;
            for (const std::wstring &s : sections)
                seen = seen || s == e.Section;
            if (!seen)
                sections.push_back(e.Section);
        }
        std::wstring text;
        for (const std::wstring &section : sections) {
            text += L"[" + section + L"]\r\n";
            for (const ProfileEntry &e : keys)
                if (e.Section == section)
                    text += e.Key + L"=" + e.Value + L"\r\n";
        }
        WriteProfileText(text);
    }

    // The profile's text exactly as given (stored as UTF-8), for tests of
    // the format itself.
    void WriteProfileText(const std::wstring &text) const { WriteFile(L"kalvex.ini", testfiles::Utf8(text)); }

    // Nested folders below the root, making a path of exactly length characters.
    std::wstring FolderOfLength(size_t length) const
    {
        return testfiles::FolderOfLength(root_, length);
    }

    // Removes a folder (named without a final backslash) with all it holds,
    // read-only files too; through \\?\ so that files with device names go
    // as well.
    static void RemoveTree(const std::wstring &dir)
    {
        const std::wstring prefix = dir.compare(0, 4, L"\\\\?\\") == 0 ? L"" : L"\\\\?\\";
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((prefix + dir + L"\\*").c_str(), &found);
        while (search != INVALID_HANDLE_VALUE) {
            const std::wstring name = found.cFileName, path = prefix + dir + L"\\" + name;
            if (name != L"." && name != L"..") {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else {
                    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(path.c_str());
                }
            }
            if (!FindNextFileW(search, &found)) {
                FindClose(search);
                break;
            }
        }
        RemoveDirectoryW((prefix + dir).c_str());
    }

private:
    std::wstring root_, sets_, profile_, units_;
    std::unique_ptr<testfiles::ScopedEnv> env_;
};

#endif // TEMPINSTALL_H
