// The commands that act on whole sets (New, Open, Save, Save As, Delete,
// Global Default) and the two Help commands. Sets are picked in the
// installation's set-selection dialog and stored through the set file.
#include "setcmds.h"

#include "controls.h"
#include "dimcat.h"
#include "editstate.h"
#include "resloc.h"
#include "resource.h"
#include "setfile.h"
#include "setguard.h"
#include "setsave.h"
#include "textutil.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

namespace {

constexpr int QuestionChars = 100; // capacity of the delete texts as loaded

// The path and name buffers of one selection dialog, with the capacities the
// dialog fills: the path of a set in modes Open, Save As and Delete, the
// longer global set path in mode Global Default.
struct SelectionBuffers {
    wchar_t Path[UAS_GLOBAL_PATH_CHARS];
    wchar_t Name[UAS_NAME_CHARS];
};
static_assert(UAS_GLOBAL_PATH_CHARS >= UAS_SEL_PATH_CHARS, "one path buffer serves every mode");

// The set-selection dialog in one of the modes Open, Save As and Delete,
// offering the name shown in the label; Save As of a set read from outside
// the set folder offers the name of its file instead.
bool EditSelectSet(HWND window, int16_t mode, SelectionBuffers *buffers)
{
    buffers->Path[0] = L'\0';
    const bool offer = mode == UAS_MODE_SAVEAS && Editor.OfferedSetName[0];
    EditCopyText(buffers->Name, UAS_NAME_CHARS,
                 offer ? Editor.OfferedSetName : Editor.ShownSetName);
    return UasMapSelDlg(window, mode, buffers->Path, buffers->Name) != 0;
}

} // namespace

// The catalogue is built at start-up; a set that the dialog offered may have
// been added since. A record for it lets a later Save write to its file.
// Without a block for the record, a later Save asks for the name again.
void EditRememberSet(const wchar_t *path, const wchar_t *name)
{
    if (UasInfoExists(Editor.SetCatalogue, name))
        return;
    auto *record = static_cast<UasInfo *>(KxMalloc(sizeof(UasInfo)));
    if (!record)
        return;
    EditCopyText(record->UasName, UAS_NAME_CHARS, name);
    EditCopyText(record->UasPath, UAS_PATH_CHARS, path);
    KxStatus status = 0;
    ListAddBack(Editor.SetCatalogue, record, &status);
    if (status != 0)
        KxFree(record);
}

namespace {

void EditReportUnreadable(HWND window, const wchar_t *name)
{
    wchar_t *text = EditFormatText(ResGetStringModule(), IDS_ERR_OPEN, {name});
    EditMessageBox(window, text, IDS_TITLE, MB_OK | MB_ICONERROR, EditBeep::Yes);
    if (text)
        KxFree(text);
}

// Delete's question, answered Yes (IDYES) or No; No is the default.
int EditAskDelete(HWND window, const wchar_t *name)
{
    wchar_t pattern[QuestionChars];
    StrLoadW(ResGetStringModule(), IDS_CONFIRMDELETE, pattern, QuestionChars);
    wchar_t *question = EditSubstitute(pattern, {name});
    const int answer = EditMessageBox(window, question, 0,
                                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, EditBeep::Yes);
    if (question)
        KxFree(question);
    return answer;
}

void EditDeleteFile(HWND window, const wchar_t *path, const wchar_t *name)
{
    SetCursor(Editor.WaitCursor);
    if (!DeleteFileW(path)) {
        wchar_t message[QuestionChars];
        StrLoadW(ResGetStringModule(), IDS_ERR_DELETE, message, QuestionChars);
        EditMessageBox(window, message, 0, MB_OK, EditBeep::Yes);
    } else if (IntlStrCmpIW(name, Editor.CurrentSetName) == 0) {
        // The edited set is gone: the editor starts a new one.
        EditNewSet();
    }
    SetCursor(Editor.ArrowCursor);
}

} // namespace

void EditResetSet(ListHandle catalogue)
{
    Editor.Description[0] = L'\0';
    EditClearDescriptionControl();
    ListIterator iterator;
    ListIteratorInit(&iterator, catalogue);
    void *item = nullptr;
    while (ListIteratorNext(&iterator, &item))
        static_cast<DimEntry *>(item)->SelectedUnit = 0;
}

void EditNewSet()
{
    EditResetSet(Editor.DimCatalogue);
    EditCopyText(Editor.CurrentSetName, EditSetNameChars, Editor.NoneText);
    DimListShow(Editor.DimListBox);
    EditShowSetName(Editor.SetNameLabel, Editor.SetNamePrefix, Editor.NoneText);
}

int16_t EditOpenSet(HWND window)
{
    int16_t result = 0;
    SelectionBuffers buffers;
    if (EditSelectSet(window, UAS_MODE_OPEN, &buffers)) {
        SetCursor(Editor.WaitCursor);
        // A set file that cannot be read leaves the edited set as it was:
        // the reader changes nothing when it cannot open the file.
        if (EditGuardedRead(buffers.Path, Editor.DimCatalogue, Editor.Description)) {
            EditCopyText(Editor.CurrentSetName, EditSetNameChars, buffers.Name);
            EditShowDescription(Editor.Description);
            DimListShow(Editor.DimListBox);
            EditShowSetName(Editor.SetNameLabel, Editor.SetNamePrefix, buffers.Name);
            EditRememberSet(buffers.Path, buffers.Name);
            result = 1;
            SetCursor(Editor.ArrowCursor);
        } else {
            SetCursor(Editor.ArrowCursor);
            EditReportUnreadable(window, buffers.Name);
        }
    }
    return result;
}

int16_t EditSaveSet()
{
    SetCursor(Editor.WaitCursor);
    KxStatus status = 0;
    UasInfo *record = UasGetUasInfo(Editor.SetCatalogue, Editor.CurrentSetName, &status);
    if (!record || status != 0) {
        // Never write through a missing record: let the user choose where.
        SetCursor(Editor.ArrowCursor);
        return EditSaveSetAs(GetParent(Editor.SetNameLabel));
    }
    // Someone else may have changed or deleted the file since this editor
    // read or wrote it; the user decides whether that is overwritten.
    if (!EditGuardConfirmSave(GetParent(Editor.SetNameLabel), record->UasPath,
                              Editor.CurrentSetName)) {
        SetCursor(Editor.ArrowCursor);
        return 0;
    }
    const int16_t result =
        SetFileWrite(record->UasPath, Editor.CurrentSetName, Editor.DimCatalogue);
    SetCursor(Editor.ArrowCursor);
    return result;
}

int16_t EditSaveSetAs(HWND window)
{
    int16_t result = 0;
    SelectionBuffers buffers;
    if (EditSelectSet(window, UAS_MODE_SAVEAS, &buffers)) {
        SetCursor(Editor.WaitCursor);
        EditRememberSet(buffers.Path, buffers.Name);
        EditCopyText(Editor.CurrentSetName, EditSetNameChars, buffers.Name);
        // The dialog asked before an existing set is replaced; what stands
        // there now is what the user agreed to replace, also when the write
        // fails and a later Save tries again.
        EditGuardAccept(buffers.Path);
        result = SetFileWrite(buffers.Path, buffers.Name, Editor.DimCatalogue);
        EditShowSetName(Editor.SetNameLabel, Editor.SetNamePrefix, buffers.Name);
        SetCursor(Editor.ArrowCursor);
    }
    return result;
}

void EditDeleteSet(HWND window)
{
    for (;;) {
        SelectionBuffers buffers;
        if (!EditSelectSet(window, UAS_MODE_DELETE, &buffers))
            return;
        if (EditAskDelete(window, buffers.Name) == IDYES) {
            EditDeleteFile(window, buffers.Path, buffers.Name);
            return;
        }
    }
}

void EditGlobalDefault(HWND window)
{
    SelectionBuffers buffers;
    buffers.Name[0] = L'\0';
    UserGetGlobalUnitSet(buffers.Path);
    UasGetUasName(buffers.Path, buffers.Name);
    if (UasMapSelDlg(window, UAS_MODE_GLOBAL, buffers.Path, buffers.Name))
        UserSetGlobalUnitSet(buffers.Path);
}

void EditUsingHelp(HWND window)
{
    HelpTopics(window);
}

void EditProductInfo(HWND window)
{
    AbtMapAboutWindow(window, Editor.AboutTitle, Editor.AboutText1, Editor.AboutText2, 1);
}
