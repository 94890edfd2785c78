// Saving the set being edited through the set file, and telling the user
// why a save did not happen.
#include "setsave.h"

#include "editstate.h"
#include "resloc.h"
#include "resource.h"
#include "setfile.h"
#include "textutil.h"
#include "velw32.h"

namespace {

// The message for a save that did not happen; a KxMalloc block.
wchar_t *SaveFailureText(const SetFileSaveResult &result)
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
    return StrLoadNewW(strings, IDS_ERR_WRITE);
}

// The box has no owner and comes to the foreground: a save may be asked for
// while the window is being closed.
void ReportSaveFailure(const SetFileSaveResult &result)
{
    wchar_t *text = SaveFailureText(result);
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
        ReportSaveFailure(result);
        return 0;
    }
    if (previous)
        KxFree(previous);
    Editor.Modified = 0;
    return 1;
}
