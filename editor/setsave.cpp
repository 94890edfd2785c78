// Saving the set being edited through the set file, and telling the user
// why a save did not happen; a description with a character the file cannot
// store is shown with that character selected, and mended when the user
// agrees.
#include "setsave.h"

#include "editstate.h"
#include "resloc.h"
#include "resource.h"
#include "setchars.h"
#include "setfile.h"
#include "setguard.h"
#include "textutil.h"
#include "velw32.h"

#include <strsafe.h>

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
    case SetFileOutcome::UnstorableUnit:
        return EditFormatText(strings, IDS_ERR_UNSTORABLEUNIT,
                              {result.UnstorableSymbol, result.UnstorableDim->Name});
    case SetFileOutcome::UnstorableDescription: // EditMendDescription tells about it
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

// The description control's whole text.
std::wstring DescriptionControlText()
{
    const int length = GetWindowTextLengthW(Editor.DescEdit);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(Editor.DescEdit, &text[0], length + 1);
    text.resize(got > 0 && got <= length ? static_cast<size_t>(got) : 0);
    return text;
}

// "2013" for U+2013: at least four hexadecimal digits, as the code is written.
std::wstring CodeText(uint32_t codePoint)
{
    wchar_t digits[16];
    StringCchPrintfW(digits, 16, L"%04X", static_cast<unsigned>(codePoint));
    return digits;
}

// The description holds a character that the file cannot store. The user
// is told which (the first, as it looks and by its code) and finds it
// selected in the description; when every such character has a plain
// equivalent that fits, the box offers to put those in and save. True when
// the user took the offer: the control and Description hold the plain text.
bool EditMendDescription()
{
    const std::wstring typed = DescriptionControlText();
    SetFileCharacter found = {0, 0, 0};
    const bool inControl = SetFileFindUnstorable(typed.c_str(), &found);
    // Description was read from the control, so the control normally holds
    // the character too; if not, it is named without a selection.
    const std::wstring source = inControl ? typed : std::wstring(Editor.Description);
    if (!inControl && !SetFileFindUnstorable(source.c_str(), &found))
        return false;
    const std::wstring shown = source.substr(found.Offset, found.Length);
    const std::wstring code = CodeText(found.CodePoint);

    std::wstring plain;
    const bool offer = inControl && SetFilePlainText(typed.c_str(), &plain) &&
                       plain.size() < EditDescriptionChars;
    HMODULE strings = ResGetStringModule();
    wchar_t *text = EditFormatText(strings, offer ? IDS_ASK_PLAINCHARS : IDS_ERR_UNSTORABLE,
                                   {shown.c_str(), code.c_str()});
    const UINT style = offer ? MB_YESNO | MB_ICONQUESTION : MB_OK | MB_ICONERROR;
    const int answer = EditMessageBox(nullptr, text, IDS_TITLE, style | MB_SETFOREGROUND,
                                      EditBeep::No);
    if (text)
        KxFree(text);
    if (offer && answer == IDYES) {
        SetWindowTextW(Editor.DescEdit, plain.c_str());
        EditReadDescription();
        return true;
    }
    if (inControl) {
        // The focus goes there, also when the window is activated again.
        Editor.FocusedControl = Editor.DescEdit;
        SetFocus(Editor.DescEdit);
        SendMessageW(Editor.DescEdit, EM_SETSEL, found.Offset, found.Offset + found.Length);
        SendMessageW(Editor.DescEdit, EM_SCROLLCARET, 0, 0);
    }
    return false;
}

} // namespace

int16_t SetFileWrite(const wchar_t *path, const wchar_t *setName, ListHandle catalogue)
{
    // The description is taken from its control now, but a save that does
    // not happen must leave it as it was: otherwise the editor would no
    // longer see the typed text as a change.
    wchar_t *previous = Editor.Description ? KxStrdupW(Editor.Description) : nullptr;
    EditReadDescription();

    SetFileSaveResult result = SetFileSave(path, setName, catalogue, Editor.Description);
    const bool mended =
        result.Outcome == SetFileOutcome::UnstorableDescription && EditMendDescription();
    if (mended)
        result = SetFileSave(path, setName, catalogue, Editor.Description);
    if (result.Outcome != SetFileOutcome::Written) {
        if (previous && Editor.Description)
            EditCopyText(Editor.Description, EditDescriptionChars, previous);
        if (previous)
            KxFree(previous);
        // A description that stays unstorable has been told about already.
        if (result.Outcome != SetFileOutcome::UnstorableDescription)
            ReportSaveFailure(path, result);
        return 0;
    }
    if (previous)
        KxFree(previous);
    EditGuardRemember(path, result.Written);
    Editor.Modified = 0;
    return 1;
}
