// The set catalogue: the unit assignment sets of the installation, one
// NAME.uas file per set in the folder that the profile names (Set_Dir in
// Kalvex_Section). The file name is the only record of a set's name, so the
// catalogue and the disk cannot disagree about which file is which set.
#include "velw32.h"
#include "uascat.h"
#include "kxprofile.h"
#include "kxtext.h"

#include <shlobj.h>
#include <strsafe.h>

#include <algorithm>
#include <cwchar>
#include <new>

namespace {

const wchar_t kExtension[] = L".uas";
const size_t kExtensionChars = 4;

// Longest name and path a catalogue record holds, without the terminator.
const size_t kMaxName = UAS_NAME_CHARS - 1;
const size_t kMaxPath = UAS_PATH_CHARS - 1;

bool EndsWithExtension(const std::wstring &fileName)
{
    return fileName.size() >= kExtensionChars &&
           CompareStringOrdinal(fileName.c_str() + fileName.size() - kExtensionChars, -1,
                                kExtension, -1, TRUE) == CSTR_EQUAL;
}

// The folder named by the profile, made absolute; false when there is none.
bool ConfiguredFolder(std::wstring &dir)
{
    // Read whole or not at all: a cut folder name could name another folder.
    std::optional<std::wstring> value = kx::ProfileValue(L"Kalvex_Section", L"Set_Dir");
    if (!value || value->empty())
        return false;
    dir = *value;

    std::wstring full;
    if (kx::FullPath(dir, full))
        dir = full;
    // "C:\sets\" and "C:\sets" are one folder; keep a drive root's separator.
    while (dir.size() > 3 && kx::IsPathSeparator(dir.back()))
        dir.pop_back();
    return true;
}

bool NameLess(const UasSet &a, const UasSet &b)
{
    const int r = CompareStringOrdinal(a.Name.c_str(), -1, b.Name.c_str(), -1, TRUE);
    if (r != CSTR_EQUAL)
        return r == CSTR_LESS_THAN;
    // Only a case-sensitive file system holds both spellings; keep the
    // order stable so that the same one survives every time.
    return a.Name < b.Name;
}

void ListSets(UasFolder &folder)
{
    std::wstring pattern = folder.Dir;
    if (pattern.empty() || !kx::IsPathSeparator(pattern.back()))
        pattern += L'\\';
    pattern += L'*';

    // FindExInfoBasic: no short names, so "*" never matches through an 8.3
    // alias; the extension is checked on the long name below.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::wstring fileName = found.cFileName;
        if (!EndsWithExtension(fileName) || UasIsDeviceName(fileName))
            continue;
        UasSet set;
        set.Name = UasNameOfFile(fileName);
        set.Path = kx::JoinPath(folder.Dir, fileName);
        // A path too long for a catalogue record is still listed: the dialog
        // then says that the set's path is too long, not that it is missing.
        if (set.Name.empty() || set.Name.size() > kMaxName)
            continue;
        folder.Sets.push_back(std::move(set));
    } while (FindNextFileW(search, &found));
    FindClose(search);

    std::sort(folder.Sets.begin(), folder.Sets.end(), NameLess);
    folder.Sets.erase(
        std::unique(folder.Sets.begin(), folder.Sets.end(),
                    [](const UasSet &a, const UasSet &b) { return UasSameName(a.Name, b.Name); }),
        folder.Sets.end());
}

} // namespace

bool UasIsDeviceName(const std::wstring &name)
{
    // Windows drops trailing dots and spaces from a file name, then takes
    // the part before the first dot, without its trailing spaces.
    size_t end = name.size();
    while (end > 0 && (name[end - 1] == L'.' || name[end - 1] == L' '))
        --end;
    std::wstring stem = name.substr(0, std::min(end, name.find(L'.')));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    static const wchar_t *const plain[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t *device : plain)
        if (UasSameName(stem, device))
            return true;
    if (stem.size() != 4)
        return false;
    const std::wstring prefix = stem.substr(0, 3);
    if (!UasSameName(prefix, L"COM") && !UasSameName(prefix, L"LPT"))
        return false;
    const wchar_t digit = stem[3];
    // COM0 and LPT0 are reserved as well, though no port has that number.
    return (digit >= L'0' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 ||
           digit == 0x00B3;
}

bool UasIsFile(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_DEVICE);
}

namespace {

// The full form of path, or path itself when the system cannot make one.
std::wstring FullPathOf(const std::wstring &path)
{
    std::wstring full;
    return kx::FullPath(path, full) ? full : path;
}

} // namespace

bool UasSamePath(const std::wstring &a, const std::wstring &b)
{
    return !a.empty() && !b.empty() && UasSameName(FullPathOf(a), FullPathOf(b));
}

std::wstring UasSetPath(const std::wstring &dir, const std::wstring &name)
{
    return kx::JoinPath(dir, name + kExtension);
}

std::wstring UasNameOfFile(const std::wstring &fileName)
{
    if (EndsWithExtension(fileName))
        return fileName.substr(0, fileName.size() - kExtensionChars);
    return fileName;
}

bool UasSameName(const std::wstring &a, const std::wstring &b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

const UasSet *UasFindSet(const std::vector<UasSet> &sets, const std::wstring &name)
{
    for (const UasSet &set : sets)
        if (UasSameName(set.Name, name))
            return &set;
    return nullptr;
}

UasFolder UasReadFolder()
{
    UasFolder folder;
    if (!ConfiguredFolder(folder.Dir)) {
        folder.State = UasFolderState::NotConfigured;
        return folder;
    }
    DWORD attributes = GetFileAttributesW(folder.Dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // First use of a per-user folder: make it and the folders above it.
        SHCreateDirectoryExW(nullptr, folder.Dir.c_str(), nullptr);
        attributes = GetFileAttributesW(folder.Dir.c_str());
    }
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        folder.State = UasFolderState::Missing;
        return folder;
    }
    folder.State = UasFolderState::Ready;
    ListSets(folder);
    return folder;
}

extern "C" {

// Status: 0 listed; 1 the profile names no folder; 2 the folder is missing;
// 3 out of memory (the list then holds the records made so far).
ListHandle WINAPI UasCreateUasInfoList(KxStatus *status)
{
    KxStatus ignored = 0;
    if (!status)
        status = &ignored;
    KxStatus listStatus = 0;
    ListHandle list = ListCreate(&listStatus);
    if (!list) {
        *status = 3;
        return nullptr;
    }
    try {
        const UasFolder folder = UasReadFolder();
        switch (folder.State) {
        case UasFolderState::Ready: *status = 0; break;
        case UasFolderState::NotConfigured: *status = 1; break;
        case UasFolderState::Missing: *status = 2; break;
        }
        for (const UasSet &set : folder.Sets) {
            // A record holds no longer path; a cut one would name another file.
            if (set.Path.size() > kMaxPath)
                continue;
            auto *info = static_cast<UasInfo *>(KxMalloc(sizeof(UasInfo)));
            if (!info) {
                *status = 3;
                break;
            }
            ZeroMemory(info, sizeof(UasInfo));
            StringCchCopyW(info->UasName, UAS_NAME_CHARS, set.Name.c_str());
            StringCchCopyW(info->UasPath, UAS_PATH_CHARS, set.Path.c_str());
            ListAddBack(list, info, &listStatus);
            if (listStatus != 0) {
                KxFree(info);
                *status = 3;
                break;
            }
        }
    } catch (const std::bad_alloc &) {
        *status = 3;
    }
    return list;
}

int16_t WINAPI UasInfoExists(ListHandle catalogue, const wchar_t *name)
{
    KxStatus status = 0;
    return UasGetUasInfo(catalogue, name, &status) ? 1 : 0;
}

UasInfo *WINAPI UasGetUasInfo(ListHandle catalogue, const wchar_t *name, KxStatus *status)
{
    KxStatus ignored = 0;
    if (!status)
        status = &ignored;
    *status = 1;
    if (!catalogue || !name)
        return nullptr;
    ListIterator it;
    ListIteratorInit(&it, catalogue);
    void *item = nullptr;
    while (ListIteratorNext(&it, &item)) {
        auto *info = static_cast<UasInfo *>(item);
        if (!info)
            continue;
        // Records made by callers are trusted only within their fields.
        const size_t length = wcsnlen(info->UasName, UAS_NAME_CHARS);
        if (length < UAS_NAME_CHARS && CompareStringOrdinal(info->UasName, static_cast<int>(length),
                                                            name, -1, TRUE) == CSTR_EQUAL) {
            *status = 0;
            return info;
        }
    }
    return nullptr;
}

void WINAPI UasGetUasName(const wchar_t *path, wchar_t *name)
{
    if (!name)
        return;
    name[0] = L'\0';
    if (!path)
        return;
    const wchar_t *base = path;
    for (const wchar_t *p = path; *p; ++p)
        if (kx::IsPathSeparator(*p) || *p == L':')
            base = p + 1;
    std::wstring setName;
    try {
        setName = UasNameOfFile(base);
    } catch (const std::bad_alloc &) {
        return;
    }
    size_t length = std::min(setName.size(), kMaxName);
    // Never keep half of a surrogate pair at the cut.
    if (length < setName.size() && length > 0 && IS_HIGH_SURROGATE(setName[length - 1]))
        --length;
    wmemcpy(name, setName.data(), length);
    name[length] = L'\0';
}

} // extern "C"
