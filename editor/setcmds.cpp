// The commands that act on whole sets (New, Open, Save, Save As, Delete,
// Global Default) and the two Help commands. Sets are picked in the
// installation's set-selection dialog and stored through the set file.
#include "setcmds.h"

#include "dimcat.h"
#include "editstate.h"
#include "resloc.h"
#include "resource.h"
#include "setfile.h"
#include "textutil.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

namespace {

const int QuestionChars = 100;   // capacity of the delete texts as loaded

// The path and name buffers of one selection dialog, made per command.
struct SelectionBuffers {
    wchar_t *Path;
    wchar_t *Name;
};

SelectionBuffers EditAllocSelection(size_t pathChars)
{
    SelectionBuffers buffers;
    buffers.Path = static_cast<wchar_t *>(KxMalloc(static_cast<uint32_t>(pathChars * sizeof(wchar_t))));
    buffers.Name = static_cast<wchar_t *>(KxMalloc(UAS_NAME_CHARS * sizeof(wchar_t)));
    buffers.Path[0] = L'\0';
    buffers.Name[0] = L'\0';
    return buffers;
}

void EditFreeSelection(SelectionBuffers buffers)
{
    KxFree(buffers.Path);
    KxFree(buffers.Name);
}

// The set-selection dialog in one of the modes Open, Save As and Delete,
// offering the name shown in the label.
bool EditSelectSet(HWND window, int16_t mode, SelectionBuffers buffers)
{
    EditCopyText(buffers.Name, UAS_NAME_CHARS, ShownSetName);
    return UasMapSelDlg(window, mode, buffers.Path, buffers.Name) != 0;
}

// The catalogue is built at start-up; a set that the dialog offered may have
// been added since. A record for it lets a later Save write to its file.
void EditRememberSet(const wchar_t *path, const wchar_t *name)
{
    if (UasInfoExists(SetCatalogue, name))
        return;
    auto *record = static_cast<UasInfo *>(KxMalloc(sizeof(UasInfo)));
    EditCopyText(record->UasName, UAS_NAME_CHARS, name);
    EditCopyText(record->UasPath, UAS_PATH_CHARS, path);
    KxStatus status = 0;
    ListAddBack(SetCatalogue, record, &status);
    if (status != 0)
        KxFree(record);
}

void EditReportMessage(HWND window, const wchar_t *text, UINT style)
{
    wchar_t *caption = StrLoadNewW(ResGetStringModule(), IDS_TITLE);
    MessageBeep(MB_ICONEXCLAMATION);
    MessageBoxW(window, text, caption, style);
    KxFree(caption);
}

void EditReportUnreadable(HWND window, const wchar_t *name)
{
    wchar_t *text = EditFormatText(ResGetStringModule(), IDS_ERR_OPEN, {name});
    EditReportMessage(window, text, MB_OK | MB_ICONERROR);
    KxFree(text);
}

// Delete's question, answered Yes (IDYES) or No; No is the default.
int EditAskDelete(HWND window, const wchar_t *name)
{
    wchar_t pattern[QuestionChars];
    StrLoadW(ResGetStringModule(), IDS_CONFIRMDELETE, pattern, QuestionChars);
    wchar_t *question = EditSubstitute(pattern, {name});
    MessageBeep(MB_ICONEXCLAMATION);
    const int answer = MessageBoxW(window, question, L"", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    KxFree(question);
    return answer;
}

void EditDeleteFile(HWND window, const wchar_t *path, const wchar_t *name)
{
    SetCursor(WaitCursor);
    if (!DeleteFileW(path)) {
        wchar_t message[QuestionChars];
        StrLoadW(ResGetStringModule(), IDS_ERR_DELETE, message, QuestionChars);
        MessageBeep(MB_ICONEXCLAMATION);
        MessageBoxW(window, message, L"", MB_OK);
    } else if (IntlStrCmpIW(name, CurrentSetName) == 0) {
        EditResetSet(DimCatalogue);
        EditCopyText(CurrentSetName, EDIT_SETNAME_CHARS, NoneText);
        DimListShow(DimListBox);
        EditShowSetName(SetNameLabel, SetNamePrefix, NoneText);
    }
    SetCursor(ArrowCursor);
}

} // namespace

void EditResetSet(ListHandle catalogue)
{
    Description[0] = L'\0';
    EditClearDescriptionControl();
    ListIterator iterator;
    ListIteratorInit(&iterator, catalogue);
    void *item = nullptr;
    while (ListIteratorNext(&iterator, &item))
        static_cast<DimEntry *>(item)->SelectedUnit = 0;
}

void EditNewSet(void)
{
    EditResetSet(DimCatalogue);
    EditCopyText(CurrentSetName, EDIT_SETNAME_CHARS, NoneText);
    DimListShow(DimListBox);
    EditShowSetName(SetNameLabel, SetNamePrefix, NoneText);
}

int16_t EditOpenSet(HWND window)
{
    int16_t result = 0;
    SelectionBuffers buffers = EditAllocSelection(UAS_SEL_PATH_CHARS);
    if (EditSelectSet(window, UAS_MODE_OPEN, buffers)) {
        SetCursor(WaitCursor);
        // A set file that cannot be read leaves the edited set as it was:
        // the reader changes nothing when it cannot open the file.
        if (SetFileRead(buffers.Path, DimCatalogue, Description)) {
            EditCopyText(CurrentSetName, EDIT_SETNAME_CHARS, buffers.Name);
            EditShowDescription(Description);
            DimListShow(DimListBox);
            EditShowSetName(SetNameLabel, SetNamePrefix, buffers.Name);
            EditRememberSet(buffers.Path, buffers.Name);
            result = 1;
            SetCursor(ArrowCursor);
        } else {
            SetCursor(ArrowCursor);
            EditReportUnreadable(window, buffers.Name);
        }
    }
    EditFreeSelection(buffers);
    return result;
}

int16_t EditSaveSet(void)
{
    SetCursor(WaitCursor);
    KxStatus status = 0;
    UasInfo *record = UasGetUasInfo(SetCatalogue, CurrentSetName, &status);
    if (!record || status != 0) {
        // Never write through a missing record: let the user choose where.
        SetCursor(ArrowCursor);
        return EditSaveSetAs(GetParent(SetNameLabel));
    }
    const int16_t result = SetFileWrite(record->UasPath, CurrentSetName, DimCatalogue);
    SetCursor(ArrowCursor);
    return result;
}

int16_t EditSaveSetAs(HWND window)
{
    int16_t result = 0;
    SelectionBuffers buffers = EditAllocSelection(UAS_SEL_PATH_CHARS);
    if (EditSelectSet(window, UAS_MODE_SAVEAS, buffers)) {
        SetCursor(WaitCursor);
        EditRememberSet(buffers.Path, buffers.Name);
        EditCopyText(CurrentSetName, EDIT_SETNAME_CHARS, buffers.Name);
        result = SetFileWrite(buffers.Path, buffers.Name, DimCatalogue);
        EditShowSetName(SetNameLabel, SetNamePrefix, buffers.Name);
        SetCursor(ArrowCursor);
    }
    EditFreeSelection(buffers);
    return result;
}

void EditDeleteSet(HWND window)
{
    for (;;) {
        SelectionBuffers buffers = EditAllocSelection(UAS_SEL_PATH_CHARS);
        if (!EditSelectSet(window, UAS_MODE_DELETE, buffers)) {
            EditFreeSelection(buffers);
            return;
        }
        const bool confirmed = EditAskDelete(window, buffers.Name) == IDYES;
        if (confirmed)
            EditDeleteFile(window, buffers.Path, buffers.Name);
        EditFreeSelection(buffers);
        if (confirmed)
            return;
    }
}

void EditGlobalDefault(HWND window)
{
    SelectionBuffers buffers = EditAllocSelection(UAS_GLOBAL_PATH_CHARS);
    UserGetGlobalUnitSet(buffers.Path);
    UasGetUasName(buffers.Path, buffers.Name);
    if (UasMapSelDlg(window, UAS_MODE_GLOBAL, buffers.Path, buffers.Name))
        UserSetGlobalUnitSet(buffers.Path);
    EditFreeSelection(buffers);
}

void EditUsingHelp(HWND window)
{
    HelpTopics(window);
}

void EditProductInfo(HWND window)
{
    AbtMapAboutWindow(window, AboutTitle, AboutText1, AboutText2, 1);
}
