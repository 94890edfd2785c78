// Opening a set file by its path: from the command line, from a drop on the
// main window. The file is looked at before anything changes, then read by
// the same reader as Open.
#include "setopen.h"

#include "controls.h"
#include "dimcat.h"
#include "editstate.h"
#include "mainproc.h"
#include "resloc.h"
#include "resource.h"
#include "setcmds.h"
#include "setfile.h"
#include "setguard.h"
#include "setlabel.h"
#include "setprobe.h"
#include "textutil.h"
#include "vel32.h"
#include "velw32.h"

#include <initializer_list>
#include <string>

namespace {

constexpr wchar_t SetExtension[] = L".uas";
constexpr size_t SetExtensionChars = 4;

// The longest full path that the editor hands to the system. Some systems'
// calls fail badly on longer ones (one overflows its stack at 1 024
// characters); such a path is told about instead.
constexpr size_t EditPathMostChars = 1023;
// A path too long to be opened is shown by its beginning and its end, each
// of this many characters: thousands of them would not fit any box.
constexpr size_t ShownPathEndChars = 60;

bool SameText(const std::wstring &a, const std::wstring &b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The full, long form of a path; the path itself when the system cannot
// make one. A full path longer than EditPathMostChars is left as it is.
std::wstring FullPathOf(const std::wstring &path)
{
    std::wstring full = path;
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed > 0) {
        std::wstring buffer(needed, L'\0');
        const DWORD got = GetFullPathNameW(path.c_str(), needed, &buffer[0], nullptr);
        if (got > 0 && got < needed) {
            buffer.resize(got);
            full = buffer;
        }
    }
    if (full.size() > EditPathMostChars)
        return full;
    // A short (8.3) spelling of a folder names the same folder.
    const DWORD longNeeded = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (longNeeded > 0) {
        std::wstring buffer(longNeeded, L'\0');
        const DWORD got = GetLongPathNameW(full.c_str(), &buffer[0], longNeeded);
        if (got > 0 && got < longNeeded) {
            buffer.resize(got);
            full = buffer;
        }
    }
    return full;
}

std::wstring WithoutTrailingSeparators(std::wstring path)
{
    // Keep a drive root's separator: "C:\" is a folder, "C:" is not.
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

size_t FileNameStart(const std::wstring &path)
{
    const size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? 0 : separator + 1;
}

// The set folder of the profile, in full; empty when the profile names none.
std::wstring SetFolder()
{
    // A capacity of 0 asks for the length; a missing key gives 0.
    wchar_t none[1] = L"";
    int32_t size = 0;
    KxStatus status = 0;
    ProfReadStringW(L"Kalvex_Section", L"Set_Dir", none, &size, &status);
    if (size <= 1)
        return std::wstring();
    std::wstring value(static_cast<size_t>(size), L'\0');
    ProfReadStringW(L"Kalvex_Section", L"Set_Dir", &value[0], &size, &status);
    if (status != 0)
        return std::wstring();
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value.empty() ? value : WithoutTrailingSeparators(FullPathOf(value));
}

bool HasSetExtension(const std::wstring &file)
{
    return file.size() > SetExtensionChars &&
           SameText(file.substr(file.size() - SetExtensionChars), SetExtension);
}

// What tells one file from every other, however its path is spelled: the
// volume's serial number and the file's index on it.
struct FileIdentity {
    DWORD Volume;
    DWORD IndexHigh;
    DWORD IndexLow;
};

// False when the file cannot be looked at, or its file system gives no
// index (all zero).
bool IdentityOf(const std::wstring &path, FileIdentity *identity)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool read = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    if (!read || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0))
        return false;
    *identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

// Whether two paths name one file. The same folder is reached in many
// spellings (another drive letter mapped to the same share, the share's
// network name, a \\?\ prefix, short names), so the file's identity
// decides; only where the system gives none, the spelling does.
bool SameFile(const std::wstring &a, const std::wstring &b)
{
    FileIdentity first;
    FileIdentity second;
    if (IdentityOf(a, &first) && IdentityOf(b, &second))
        return first.Volume == second.Volume && first.IndexHigh == second.IndexHigh &&
               first.IndexLow == second.IndexLow;
    return SameText(FullPathOf(a), FullPathOf(b));
}

// The file's name as its folder spells it, as the set-selection dialog
// shows it; for a short (8.3) name, the long one. The name as given when
// the folder does not answer.
std::wstring StoredFileName(const std::wstring &fullPath)
{
    const std::wstring given = fullPath.substr(FileNameStart(fullPath));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(fullPath.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return given;
    FindClose(search);
    // Only this file's own names: a path with wildcards matches others.
    if (SameText(found.cFileName, given) || SameText(found.cAlternateFileName, given))
        return found.cFileName;
    return given;
}

// A set of the set folder that a file given by its path is.
struct FolderSet {
    std::wstring Name; // empty: the file is no set of the set folder
    std::wstring Path; // the set's path as the editor saves it
};

// The set that the file at fullPath is, when it is a NAME.uas file of the
// set folder that the catalogue can hold; an empty name for a file from
// anywhere else. The set's path is that of its catalogue record, which
// Save writes to, or else the set folder's own spelling.
FolderSet SetOfFile(const std::wstring &fullPath)
{
    const std::wstring folder = SetFolder();
    if (folder.empty() || FileNameStart(fullPath) == 0 || folder.size() > EditPathMostChars)
        return {};
    const std::wstring file = StoredFileName(fullPath);
    if (!HasSetExtension(file))
        return {};
    const std::wstring name = file.substr(0, file.size() - SetExtensionChars);
    const std::wstring path = folder + L"\\" + file;
    if (name.size() >= UAS_NAME_CHARS || path.size() >= UAS_PATH_CHARS || !SameFile(fullPath, path))
        return {};
    KxStatus status = 0;
    const UasInfo *record = UasInfoExists(Editor.SetCatalogue, name.c_str())
                                ? UasGetUasInfo(Editor.SetCatalogue, name.c_str(), &status)
                                : nullptr;
    if (record && status == 0 && SameFile(record->UasPath, path))
        return {name, record->UasPath};
    return {name, path};
}

// The file's name without folder and without the set extension: the name
// that Save As offers for it.
std::wstring OfferedNameOf(const std::wstring &fullPath)
{
    std::wstring name = fullPath.substr(FileNameStart(fullPath));
    if (HasSetExtension(name))
        name.resize(name.size() - SetExtensionChars);
    return name;
}

UINT ReasonId(const SetFileProbeResult &probe)
{
    switch (probe.Kind) {
    case SetFileKind::Missing: return IDS_OPENCAUSE_MISSING;
    case SetFileKind::Folder: return IDS_OPENCAUSE_FOLDER;
    case SetFileKind::Device: return IDS_OPENCAUSE_DEVICE;
    case SetFileKind::OtherFormat: return IDS_OPENCAUSE_FORMAT;
    case SetFileKind::Unreadable: break;
    case SetFileKind::SetFile: break;
    }
    switch (probe.SystemError) {
    case ERROR_ACCESS_DENIED: return IDS_OPENCAUSE_DENIED;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return IDS_CAUSE_INUSE;
    default: return IDS_CAUSE_OTHER;
    }
}

// "This file cannot be opened..." with the path as shown and the reason
// (string reasonId with values).
void ReportNotOpened(HWND window, const std::wstring &shown, UINT reasonId,
                     std::initializer_list<const wchar_t *> values)
{
    HMODULE strings = ResGetStringModule();
    wchar_t *reason = EditFormatText(strings, reasonId, values);
    wchar_t *text =
        EditFormatText(strings, IDS_ERR_OPENFILE, {shown.c_str(), reason ? reason : L""});
    EditMessageBox(window, text, IDS_TITLE, MB_OK | MB_ICONERROR, EditBeep::Yes);
    for (wchar_t *block : {reason, text})
        if (block)
            KxFree(block);
}

void ReportProbed(HWND window, const std::wstring &shown, const SetFileProbeResult &probe)
{
    const std::wstring number = std::to_wstring(probe.SystemError);
    ReportNotOpened(window, shown, ReasonId(probe), {number.c_str()});
}

// A path longer than the editor opens, told by its length; the path itself
// by its beginning and its end.
void ReportTooLong(HWND window, const std::wstring &path)
{
    std::wstring shown = path;
    if (path.size() > 2 * ShownPathEndChars) {
        const std::wstring head = path.substr(0, ShownPathEndChars);
        const std::wstring tail = path.substr(path.size() - ShownPathEndChars);
        if (wchar_t *cut = EditFormatText(ResGetStringModule(), IDS_PATHSHORTENED,
                                          {head.c_str(), tail.c_str()})) {
            shown = cut;
            KxFree(cut);
        }
    }
    const std::wstring length = std::to_wstring(path.size());
    const std::wstring most = std::to_wstring(EditPathMostChars);
    ReportNotOpened(window, shown, IDS_OPENCAUSE_TOOLONG, {length.c_str(), most.c_str()});
}

// The label of an unnamed set read from elsewhere: "<none> (read from F)".
void ShowOfferedName(const std::wstring &fullPath)
{
    const std::wstring offered = OfferedNameOf(fullPath);
    EditCopyText(Editor.OfferedSetName, EditShownNameChars, offered.c_str());
    const std::wstring file = fullPath.substr(FileNameStart(fullPath));
    wchar_t *pattern = StrLoadNewW(ResGetStringModule(), IDS_SETNAMEFROMFILE);
    if (!pattern)
        return;
    EditShowFileSetName(Editor.SetNamePrefix, Editor.NoneText, pattern, file.c_str());
    KxFree(pattern);
}

} // namespace

const wchar_t *EditSetFileArgument(int32_t count, wchar_t *const *arguments)
{
    for (int32_t i = 1; arguments && i < count; ++i) {
        const wchar_t *argument = arguments[i];
        if (argument && *argument && *argument != L'/' && *argument != L'-')
            return argument;
    }
    return nullptr;
}

void EditDropFiles(HWND window, HDROP drop)
{
    std::wstring path;
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    if (length > 0) {
        path.assign(length + 1, L'\0');
        const UINT got = DragQueryFileW(drop, 0, &path[0], length + 1);
        path.resize(got <= length ? got : 0);
    }
    DragFinish(drop);
    if (path.empty())
        return;
    // The drop came from another program, which keeps the activation.
    SetForegroundWindow(window);
    EditOpenSetFile(window, path.c_str());
}

int16_t EditOpenSetFile(HWND window, const wchar_t *path)
{
    if (!path || !Editor.Description || !Editor.CurrentSetName)
        return 0;
    const std::wstring full = FullPathOf(path);
    if (full.size() > EditPathMostChars) {
        ReportTooLong(window, full);
        return 0;
    }
    const SetFileProbeResult probe = SetFileProbe(full.c_str());
    if (probe.Kind != SetFileKind::SetFile) {
        // A device is named as it was given: its full form (\\.\CON) is
        // no name the user ever saw.
        ReportProbed(window, probe.Kind == SetFileKind::Device ? std::wstring(path) : full, probe);
        return 0;
    }
    if (EditAskToSave(window, IDS_OP_OPEN) == IDCANCEL)
        return 0;

    // A set of the set folder is read through its own path, which Save
    // writes to and the guard of Save remembers.
    const FolderSet set = SetOfFile(full);
    const std::wstring &readPath = set.Name.empty() ? full : set.Path;
    SetCursor(Editor.WaitCursor);
    if (!EditGuardedRead(readPath.c_str(), Editor.DimCatalogue, Editor.Description)) {
        // Gone or locked since it was looked at: still nothing has changed.
        const DWORD error = GetLastError();
        SetCursor(Editor.ArrowCursor);
        ReportProbed(window, full, {SetFileKind::Unreadable, error});
        return 0;
    }
    EditShowDescription(Editor.Description);
    DimListShow(Editor.DimListBox);
    if (!set.Name.empty()) {
        EditCopyText(Editor.CurrentSetName, EditSetNameChars, set.Name.c_str());
        EditShowSetName(Editor.SetNameLabel, Editor.SetNamePrefix, set.Name.c_str());
        EditRememberSet(set.Path.c_str(), set.Name.c_str());
    } else {
        EditCopyText(Editor.CurrentSetName, EditSetNameChars, Editor.NoneText);
        EditShowSetName(Editor.SetNameLabel, Editor.SetNamePrefix, Editor.NoneText);
        ShowOfferedName(full);
    }
    Editor.Modified = 0;
    SetCursor(Editor.ArrowCursor);
    return 1;
}
