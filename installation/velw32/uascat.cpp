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

// The folder named by the profile, made absolute: Ready when there is one
// (it may not exist), else why there is none.
UasFolderState ConfiguredFolder(std::wstring &dir)
{
    // Read whole or not at all: a cut folder name could name another folder.
    std::wstring value;
    switch (kx::ReadProfileValue(L"Kalvex_Section", L"Set_Dir", value)) {
    case kx::ProfileRead::Value: break;
    case kx::ProfileRead::Absent: return UasFolderState::NotConfigured;
    case kx::ProfileRead::Unusable: return UasFolderState::Unreadable;
    }
    if (value.empty())
        return UasFolderState::NotConfigured;
    dir = value;

    std::wstring full;
    if (kx::FullPath(dir, full))
        dir = full;
    // "C:\sets\" and "C:\sets" are one folder; keep a drive root's separator.
    while (dir.size() > 3 && kx::IsPathSeparator(dir.back()))
        dir.pop_back();
    return UasFolderState::Ready;
}

// CompareStringOrdinal without regard to case, as -1, 0 or 1.
int CompareFolded(const std::wstring &a, const std::wstring &b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const wchar_t x = kx::Folded(a[i]);
        const wchar_t y = kx::Folded(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Of the part before the first dot, the most characters a device name has
// (CONOUT$); a longer stem is no device, whatever follows.
constexpr size_t DeviceStemMost = 7;

// False only for a name that cannot be a device's, as cheaply as it can be
// told: a stem that stays longer than a device name once its trailing
// blanks are gone.
bool MayBeDeviceName(const wchar_t *name)
{
    size_t stem = 0;
    while (name[stem] && name[stem] != L'.' && stem <= DeviceStemMost)
        ++stem;
    return stem <= DeviceStemMost || name[DeviceStemMost] == L' ';
}

// The length of the set name of a file found in the folder, or 0 when the
// file is no set: a folder, not NAME.uas, a name longer than a catalogue
// record holds, a device's name.
size_t SetNameLength(const WIN32_FIND_DATAW &found)
{
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return 0;
    const size_t length = wcsnlen(found.cFileName, MAX_PATH);
    if (length <= kExtensionChars || length - kExtensionChars > kMaxName ||
        CompareStringOrdinal(found.cFileName + length - kExtensionChars, -1, kExtension, -1,
                             TRUE) != CSTR_EQUAL)
        return 0;
    if (MayBeDeviceName(found.cFileName) && UasIsDeviceName(found.cFileName))
        return 0;
    return length - kExtensionChars;
}

// A full path as the file functions take it at any length: beyond MAX_PATH
// only in its extended form.
std::wstring LookupPath(const std::wstring &full)
{
    if (full.size() < MAX_PATH || full.compare(0, 4, L"\\\\?\\") == 0)
        return full;
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// The name of the file or folder at path as its directory entry spells it
// (its long name, in the letter case on disk), from the file itself, opened
// without access to its contents; false when it cannot be had that way.
bool NameOnDisk(const std::wstring &path, std::wstring &name)
{
    HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_NT;
    std::wstring full(MAX_PATH, L'\0');
    DWORD chars = GetFinalPathNameByHandleW(file, &full[0], static_cast<DWORD>(full.size()), flags);
    if (chars >= full.size()) {
        // Too small: chars is the size needed, its terminator included.
        full.assign(chars, L'\0');
        chars = GetFinalPathNameByHandleW(file, &full[0], static_cast<DWORD>(full.size()), flags);
    }
    CloseHandle(file);
    if (chars == 0 || chars >= full.size())
        return false;
    full.resize(chars);
    name = full.substr(full.find_last_of(L'\\') + 1);
    return !name.empty() && name.size() < MAX_PATH;
}

// One listing of the folder: the set files' names, without opening any
// file. A large folder, often on a network drive, is read in big batches.
void ListSets(UasFolder &folder, const std::atomic<bool> *stop)
{
    std::wstring pattern = folder.Dir;
    if (pattern.empty() || !kx::IsPathSeparator(pattern.back()))
        pattern += L'\\';
    pattern += L'*';
    std::wstring prefix = folder.Dir;
    if (!prefix.empty() && !kx::IsPathSeparator(prefix.back()))
        prefix += L'\\';

    // FindExInfoBasic: no short names, so "*" never matches through an 8.3
    // alias; the extension is checked on the long name below.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return;
    std::vector<UasSet> &sets = folder.Sets;
    size_t seen = 0;
    do {
        if (stop && ++seen % 256 == 0 && *stop)
            break;
        const size_t length = SetNameLength(found);
        if (length == 0)
            continue;
        sets.emplace_back();
        UasSet &set = sets.back();
        set.Name.assign(found.cFileName, length);
        // A path too long for a catalogue record is still listed: the dialog
        // then says that the set's path is too long, not that it is missing.
        set.Path.reserve(prefix.size() + length + kExtensionChars);
        set.Path.assign(prefix).append(found.cFileName, length + kExtensionChars);
    } while (FindNextFileW(search, &found));
    FindClose(search);

    // By name without regard to case. Only a case-sensitive file system
    // holds two spellings of one name; the same one survives every time.
    std::sort(sets.begin(), sets.end(), [](const UasSet &a, const UasSet &b) {
        const int r = CompareFolded(a.Name, b.Name);
        return r != 0 ? r < 0 : a.Name < b.Name;
    });
    sets.erase(std::unique(sets.begin(), sets.end(),
                           [](const UasSet &a, const UasSet &b) {
                               return CompareFolded(a.Name, b.Name) == 0;
                           }),
               sets.end());
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
    // The sets are sorted by name without regard to case, one of each name.
    const auto found = std::lower_bound(
        sets.begin(), sets.end(), name, [](const UasSet &set, const std::wstring &n) {
            return CompareStringOrdinal(set.Name.c_str(), static_cast<int>(set.Name.size()),
                                        n.c_str(), static_cast<int>(n.size()),
                                        TRUE) == CSTR_LESS_THAN;
        });
    return found != sets.end() && UasSameName(found->Name, name) ? &*found : nullptr;
}

UasOnDisk UasLookUpSet(const UasFolder &folder, const std::wstring &name, UasSet &set)
{
    if (folder.State != UasFolderState::Ready || name.empty())
        return UasOnDisk::Nothing;
    const std::wstring path = LookupPath(UasSetPath(folder.Dir, name));
    // A name that is not there is told by the file's attributes alone: a
    // search would wait for a listing of the same process that is under way
    // (the platform may read directories one at a time), and a new name is
    // what Save As looks up. Any other answer goes the search's way, as a
    // name with a wildcard does, which the attributes refuse as invalid.
    // A name that is there is spelt by the file itself, for the same reason.
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    const bool there = GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes);
    if (!there && GetLastError() == ERROR_FILE_NOT_FOUND)
        return UasOnDisk::Nothing;
    WIN32_FIND_DATAW found = {};
    std::wstring onDisk;
    if (there && NameOnDisk(path, onDisk)) {
        found.dwFileAttributes = attributes.dwFileAttributes;
        onDisk.copy(found.cFileName, onDisk.size());
    } else {
        HANDLE search = FindFirstFileExW(path.c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, 0);
        if (search == INVALID_HANDLE_VALUE)
            return UasOnDisk::Nothing;
        FindClose(search);
    }
    // Only the file of that very name is the set: the look-up also matches
    // through wildcards, a short 8.3 alias or a separator in the name.
    const size_t length = SetNameLength(found);
    if (length == 0 || !UasSameName(std::wstring(found.cFileName, length), name))
        return UasOnDisk::Other;
    set.Name.assign(found.cFileName, length);
    set.Path = kx::JoinPath(folder.Dir, found.cFileName);
    return UasOnDisk::Set;
}

UasFolder UasOpenFolder()
{
    UasFolder folder;
    folder.State = ConfiguredFolder(folder.Dir);
    if (folder.State != UasFolderState::Ready)
        return folder;
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
    return folder;
}

void UasListSets(UasFolder &folder, const std::atomic<bool> *stop)
{
    folder.Sets.clear();
    if (folder.State == UasFolderState::Ready)
        ListSets(folder, stop);
}

UasFolder UasReadFolder()
{
    UasFolder folder = UasOpenFolder();
    UasListSets(folder);
    return folder;
}

extern "C" {

// Status: 0 listed; 1 the profile names no folder (or its key cannot be
// read); 2 the folder is missing;
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
        case UasFolderState::NotConfigured:
        case UasFolderState::Unreadable: *status = 1; break;
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
