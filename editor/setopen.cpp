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

#include <string>

namespace {

constexpr wchar_t SetExtension[] = L".uas";
constexpr size_t SetExtensionChars = 4;

bool SameText(const std::wstring &a, const std::wstring &b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The full, long form of a path; the path itself when the system cannot
// make one.
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

// The set's name when path is a NAME.uas file of the set folder that the
// catalogue can hold; empty for a file from anywhere else.
std::wstring NameInSetFolder(const std::wstring &fullPath)
{
    const std::wstring folder = SetFolder();
    const size_t start = FileNameStart(fullPath);
    if (folder.empty() || start == 0 || fullPath.size() >= UAS_PATH_CHARS)
        return std::wstring();
    const std::wstring parent = WithoutTrailingSeparators(fullPath.substr(0, start));
    if (!SameText(FullPathOf(parent), folder))
        return std::wstring();
    // The name as the folder spells it, as the set-selection dialog shows it.
    std::wstring file = fullPath.substr(start);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(fullPath.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        if (SameText(found.cFileName, file))
            file = found.cFileName;
    }
    if (file.size() <= SetExtensionChars ||
        !SameText(file.substr(file.size() - SetExtensionChars), SetExtension))
        return std::wstring();
    const std::wstring name = file.substr(0, file.size() - SetExtensionChars);
    return name.size() < UAS_NAME_CHARS ? name : std::wstring();
}

// The file's name without folder and without the set extension: the name
// that Save As offers for it.
std::wstring OfferedNameOf(const std::wstring &fullPath)
{
    std::wstring name = fullPath.substr(FileNameStart(fullPath));
    if (name.size() > SetExtensionChars &&
        SameText(name.substr(name.size() - SetExtensionChars), SetExtension))
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

void ReportNotOpened(HWND window, const std::wstring &path, const SetFileProbeResult &probe)
{
    HMODULE strings = ResGetStringModule();
    const std::wstring number = std::to_wstring(probe.SystemError);
    wchar_t *reason = EditFormatText(strings, ReasonId(probe), {number.c_str()});
    wchar_t *text =
        EditFormatText(strings, IDS_ERR_OPENFILE, {path.c_str(), reason ? reason : L""});
    EditMessageBox(window, text, IDS_TITLE, MB_OK | MB_ICONERROR, EditBeep::Yes);
    for (wchar_t *block : {reason, text})
        if (block)
            KxFree(block);
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
    const SetFileProbeResult probe = SetFileProbe(full.c_str());
    if (probe.Kind != SetFileKind::SetFile) {
        ReportNotOpened(window, full, probe);
        return 0;
    }
    if (EditAskToSave(window, IDS_OP_OPEN) == IDCANCEL)
        return 0;

    SetCursor(Editor.WaitCursor);
    if (!EditGuardedRead(full.c_str(), Editor.DimCatalogue, Editor.Description)) {
        // Gone or locked since it was looked at: still nothing has changed.
        SetCursor(Editor.ArrowCursor);
        ReportNotOpened(window, full, {SetFileKind::Unreadable, GetLastError()});
        return 0;
    }
    const std::wstring name = NameInSetFolder(full);
    EditShowDescription(Editor.Description);
    DimListShow(Editor.DimListBox);
    if (!name.empty()) {
        EditCopyText(Editor.CurrentSetName, EditSetNameChars, name.c_str());
        EditShowSetName(Editor.SetNameLabel, Editor.SetNamePrefix, name.c_str());
        EditRememberSet(full.c_str(), name.c_str());
    } else {
        EditCopyText(Editor.CurrentSetName, EditSetNameChars, Editor.NoneText);
        EditShowSetName(Editor.SetNameLabel, Editor.SetNamePrefix, Editor.NoneText);
        ShowOfferedName(full);
    }
    Editor.Modified = 0;
    SetCursor(Editor.ArrowCursor);
    return 1;
}
