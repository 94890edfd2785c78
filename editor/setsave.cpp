// Saving the set being edited through the set file, and telling the user
// why a save did not happen.
#include "setsave.h"

#include "editstate.h"
#include "resloc.h"
#include "resource.h"
#include "setfile.h"
#include "setguard.h"
#include "textutil.h"
#include "velw32.h"

#include <string>

namespace {

// The string of the reason for a system error code of a failed write.
UINT CauseId(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return IDS_CAUSE_ACCESSDENIED;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return IDS_CAUSE_DISKFULL;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return IDS_CAUSE_INUSE;
    case SetFileErrorTargetIsFolder: return IDS_CAUSE_ISFOLDER;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_NAME: return IDS_CAUSE_NOFOLDER;
    default: return IDS_CAUSE_OTHER;
    }
}

// "Error opening/writing database." and, below it, the file and the reason.
wchar_t *WriteFailureText(const wchar_t *path, DWORD error)
{
    HMODULE strings = ResGetStringModule();
    const std::wstring number = std::to_wstring(error);
    wchar_t *reason = EditFormatText(strings, CauseId(error), {number.c_str()});
    wchar_t *cause = EditFormatText(strings, IDS_ERR_WRITECAUSE, {path, reason ? reason : L""});
    wchar_t *first = StrLoadNewW(strings, IDS_ERR_WRITE);
    wchar_t *text = EditSubstitute(L"%s\n\n%s", {first ? first : L"", cause ? cause : L""});
    for (wchar_t *block : {reason, cause, first})
        if (block)
            KxFree(block);
    return text;
}

// The message for a save that did not happen; a KxMalloc block.
wchar_t *SaveFailureText(const wchar_t *path, const SetFileSaveResult &result)
{
    HMODULE strings = ResGetStringModule();
    switch (result.Outcome) {
    case SetFileOutcome::UnstorableDescription: return StrLoadNewW(strings, IDS_ERR_UNSTORABLE);
    case SetFileOutcome::UnstorableUnit:
        return EditFormatText(strings, IDS_ERR_UNSTORABLEUNIT,
                              {result.UnstorableSymbol, result.UnstorableDim->Name});
    case SetFileOutcome::CannotWrite:
    case SetFileOutcome::Written: break;
    }
    return WriteFailureText(path ? path : L"", result.SystemError);
}

// The box has no owner and comes to the foreground: a save may be asked for
// while the window is being closed.
void ReportSaveFailure(const wchar_t *path, const SetFileSaveResult &result)
{
    wchar_t *text = SaveFailureText(path, result);
    EditMessageBox(nullptr, text, IDS_TITLE, MB_SETFOREGROUND | MB_ICONERROR, EditBeep::No);
    if (text)
        KxFree(text);
}

} // namespace

int16_t SetFileWrite(const wchar_t *path, const wchar_t *setName, ListHandle catalogue)
{
    // The description is taken from its control now, but a save that does
    // not happen must leave it as it was: otherwise the editor would no
    // longer see the typed text as a change.
    wchar_t *previous = Editor.Description ? KxStrdupW(Editor.Description) : nullptr;
    EditReadDescription();

    const SetFileSaveResult result = SetFileSave(path, setName, catalogue, Editor.Description);
    if (result.Outcome != SetFileOutcome::Written) {
        if (previous && Editor.Description)
            EditCopyText(Editor.Description, EditDescriptionChars, previous);
        if (previous)
            KxFree(previous);
        ReportSaveFailure(path, result);
        return 0;
    }
    if (previous)
        KxFree(previous);
    EditGuardRemember(path, result.Written);
    Editor.Modified = 0;
    return 1;
}
