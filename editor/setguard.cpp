// The lost-update guard of Save. Engineers share a set folder, often on a
// network drive, and two editors may hold the same set. The record of the
// file's content taken when this editor read it (before reading, so that a
// change during the read shows up later as a change) or wrote it (of the
// bytes written, so that another program's write right after cannot pass
// for this editor's own) is compared with the file just before Save.
#include "setguard.h"

#include "resloc.h"
#include "resource.h"
#include "setfile.h"
#include "textutil.h"
#include "vel32.h"

#include <string>

namespace {

// One set is edited at a time; the record belongs to the file of that path.
std::wstring GuardedPath;
SetFileStamp GuardedStamp = {};

bool SamePath(const wchar_t *a, const std::wstring &b)
{
    return a && !b.empty() &&
           CompareStringOrdinal(a, -1, b.c_str(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

int16_t EditGuardedRead(const wchar_t *path, ListHandle catalogue, wchar_t *description)
{
    const SetFileStamp before = SetFileStampOf(path);
    const int16_t read = SetFileRead(path, catalogue, description);
    if (read)
        EditGuardRemember(path, before);
    return read;
}

void EditGuardRemember(const wchar_t *path, const SetFileStamp &stamp)
{
    try {
        GuardedPath = path ? path : L"";
        GuardedStamp = stamp;
    } catch (...) {
        // Without room for the path nothing is remembered: the next Save
        // asks, which loses nothing.
        GuardedPath.clear();
        GuardedStamp = {};
    }
}

void EditGuardAccept(const wchar_t *path)
{
    EditGuardRemember(path, SetFileStampOf(path));
}

int16_t EditGuardConfirmSave(HWND owner, const wchar_t *path, const wchar_t *setName)
{
    const SetFileStamp now = SetFileStampOf(path);
    // A file that cannot be read now cannot be judged; the write itself
    // then tells the user why it fails, if it does.
    if (!now.Known)
        return 1;
    const bool remembered = SamePath(path, GuardedPath);
    if (remembered && SetFileStampSame(now, GuardedStamp))
        return 1;
    // Nothing known of this path and nothing there: nothing can be lost.
    if (!remembered && !now.Exists)
        return 1;
    const UINT question = now.Exists ? IDS_ASK_CHANGEDONDISK : IDS_ASK_DELETEDONDISK;
    wchar_t *text = EditFormatText(ResGetStringModule(), question, {setName});
    const int answer = EditMessageBox(owner, text, IDS_TITLE,
                                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, EditBeep::Yes);
    if (text)
        KxFree(text);
    return answer == IDYES ? 1 : 0;
}
