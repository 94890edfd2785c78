// The main window's procedure: builds the editor state when the window is
// created, turns control notices into changes of the set in memory, hands
// the menu commands to the set commands, and asks whether to save unsaved
// changes before New, Open, Exit and closing.
#include "mainproc.h"

#include "dimcat.h"
#include "editstate.h"
#include "mainwnd.h"
#include "resloc.h"
#include "resource.h"
#include "setcmds.h"
#include "textutil.h"
#include "vel32.h"
#include "velw32.h"

namespace {

// The four label texts live from their loading until the labels show them.
enum { LabelDescription, LabelClear, LabelDimensions, LabelUnits, LabelCount };

void MsgLoadTexts(wchar_t *labels[LabelCount])
{
    HMODULE strings = ResGetStringModule();
    SetNamePrefix = StrLoadNewW(strings, IDS_SETNAMEPREFIX);
    labels[LabelDescription] = StrLoadNewW(strings, IDS_DESCRIPTION);
    labels[LabelClear] = StrLoadNewW(strings, IDS_CLEAR);
    labels[LabelDimensions] = StrLoadNewW(strings, IDS_DIMENSIONS);
    labels[LabelUnits] = StrLoadNewW(strings, IDS_UNITS);
    NoneText = StrLoadNewW(strings, IDS_NONE);
}

void MsgLoadAboutTexts()
{
    // A string that a module lacks leaves its buffer empty.
    AboutTitle[0] = AboutText1[0] = AboutText2[0] = L'\0';
    LoadStringW(ResGetStringModule(), IDS_TITLE, AboutTitle, EDIT_ABOUT_CHARS);
    LoadStringW(ResGetCommonModule(), IDS_COMMON_PRODUCT, AboutText1, EDIT_ABOUT_CHARS);
    LoadStringW(ResGetCommonModule(), IDS_COMMON_PRODUCTINFO, AboutText2, EDIT_ABOUT_CHARS);
}

void MsgCreateBuffers()
{
    CurrentSetName = static_cast<wchar_t *>(KxMalloc(EDIT_SETNAME_CHARS * sizeof(wchar_t)));
    Description = static_cast<wchar_t *>(KxMalloc(EDIT_DESCRIPTION_CHARS * sizeof(wchar_t)));
    Description[0] = L'\0';
    SendMessageW(DescEdit, EM_LIMITTEXT, EDIT_DESCRIPTION_CHARS - 1, 0);
    EditShowDescription(Description);
    EditCopyText(CurrentSetName, EDIT_SETNAME_CHARS, NoneText);
    EditShowSetName(SetNameLabel, SetNamePrefix, CurrentSetName);
}

void MsgShowLabels(wchar_t *labels[LabelCount])
{
    SetWindowTextW(DescLabel, labels[LabelDescription]);
    SetWindowTextW(ClearButton, labels[LabelClear]);
    SetWindowTextW(DimLabel, labels[LabelDimensions]);
    SetWindowTextW(UnitLabel, labels[LabelUnits]);
    for (int i = 0; i < LabelCount; ++i)
        KxFree(labels[i]);
}

void MsgLoadMenuTexts(HWND window)
{
    HMODULE common = ResGetCommonModule();
    HMENU menu = GetMenu(window);
    DlgLoadMenuTextPosition(window, menu, MENUPOS_FILE, common, IDS_COMMON_FILE);
    DlgLoadMenuText(window, IDM_NEW, common, IDS_COMMON_NEW);
    DlgLoadMenuText(window, IDM_OPEN, common, IDS_COMMON_OPEN);
    DlgLoadMenuText(window, IDM_SAVE, common, IDS_COMMON_SAVE);
    DlgLoadMenuText(window, IDM_SAVEAS, common, IDS_COMMON_SAVEAS);
    DlgLoadMenuText(window, IDM_DELETE, common, IDS_COMMON_DELETE);
    DlgLoadMenuText(window, IDM_EXIT, common, IDS_COMMON_EXIT);
    DlgLoadMenuText(window, IDM_GLOBALDEFAULT, ResGetStringModule(), IDS_MENU_GLOBALDEFAULT);
    DlgLoadMenuTextPosition(window, menu, MENUPOS_HELP, common, IDS_COMMON_HELP);
    DlgLoadMenuText(window, IDM_USINGHELP, common, IDS_COMMON_USINGHELP);
    DlgLoadMenuText(window, IDM_PRODUCTINFO, common, IDS_COMMON_PRODUCTINFOMENU);
}

// The units library could not deliver its dimensions: the window is refused.
LRESULT MsgCreateFailed(HWND window)
{
    wchar_t *text = StrLoadNewW(ResGetStringModule(), IDS_ERR_UNITFILES);
    MessageBeep(MB_ICONEXCLAMATION);
    MessageBoxW(window, text, L"", MB_ICONERROR);
    KxFree(text);
    EditFreeBuffers();
    return -1;
}

LRESULT MsgCreate(HWND window)
{
    Initializing = 1;
    SelectingUnits = 0;
    Modified = 0;
    MainControlsCreate(window, &SetNameLabel, &DescLabel, &DescEdit, &ClearButton, &DimLabel,
                       &DimListBox, &UnitLabel, &UnitListBox);
    ArrowCursor = LoadCursorW(nullptr, IDC_ARROW);
    WaitCursor = LoadCursorW(nullptr, IDC_WAIT);
    wchar_t *labels[LabelCount];
    MsgLoadTexts(labels);
    MsgLoadAboutTexts();
    MsgLoadMenuTexts(window);
    MsgCreateBuffers();
    MsgShowLabels(labels);

    KxStatus status = 0;
    DimCatalogue = DimCatalogueCreate(&status);
    if (status != 0)
        return MsgCreateFailed(window);

    DimListShow(DimListBox);
    KxStatus itemStatus = 0;
    CurrentDim = static_cast<DimEntry *>(ListFindIth(DimCatalogue, 0, &itemStatus));
    if (CurrentDim)
        LBoxFromList(UnitListBox, CurrentDim->UnitSymbols, 0);

    KxStatus setStatus = 0;
    SetCatalogue = UasCreateUasInfoList(&setStatus);
    Initializing = 0;
    return 0;
}

LRESULT MsgDestroy()
{
    EditFreeBuffers();
    if (LabelBrush) {
        DeleteObject(LabelBrush);
        LabelBrush = nullptr;
    }
    return 0;
}

LRESULT MsgSize(HWND window)
{
    MainControlsLayout(window, SetNameLabel, DescLabel, DescEdit, ClearButton, DimLabel, UnitLabel,
                       DimListBox, UnitListBox);
    const int16_t selected = LBoxQuerySelection(DimListBox, -1);
    LBoxSelectItem(DimListBox, selected, 1);
    return 0;
}

// Closing and Exit post the quit message instead of destroying the window:
// the message loop ends and start-up destroys it.
void EditPostQuitUnlessCancelled(HWND window, UINT operationId)
{
    if (EditAskToSave(window, operationId) != IDCANCEL)
        PostMessageW(window, WM_QUIT, 0, 0);
}

LRESULT MsgSysColorChange()
{
    if (LabelBrush) {
        DeleteObject(LabelBrush);
        LabelBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    }
    return 0;
}

LRESULT MsgCtlColorStatic(WPARAM wParam)
{
    if (!LabelBrush)
        LabelBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(LabelBrush);
}

// Marks the set modified when Description differs from the copy taken
// before a change, and releases the copy.
void EditMarkIfChanged(wchar_t *old)
{
    if (IntlStrCmpW(Description, old) != 0)
        Modified = 1;
    KxFree(old);
}

void CmdDescriptionNotice(WORD code)
{
    if (code != EN_KILLFOCUS)
        return;
    wchar_t *old = KxStrdupW(Description);
    EditReadDescription();
    EditMarkIfChanged(old);
}

void CmdClear()
{
    wchar_t *old = KxStrdupW(Description);
    EditClearDescriptionControl();
    Description[0] = L'\0';
    EditMarkIfChanged(old);
}

void CmdDimensionNotice(WORD code)
{
    if (code != LBN_SELCHANGE || Initializing)
        return;
    const int16_t row = static_cast<int16_t>(SendMessageW(DimListBox, LB_GETCURSEL, 0, 0));
    if (row == -1)
        return;
    KxStatus status = 0;
    CurrentDim = static_cast<DimEntry *>(ListFindIth(DimCatalogue, row, &status));
    if (!CurrentDim)
        return;
    SelectingUnits = 1;
    LBoxFromList(UnitListBox, CurrentDim->UnitSymbols, static_cast<int16_t>(CurrentDim->SelectedUnit));
}

void CmdUnitNotice(WORD code)
{
    if (code != LBN_SELCHANGE || Initializing || !CurrentDim)
        return;
    CurrentDim->SelectedUnit = static_cast<uint16_t>(
        LBoxQuerySelection(UnitListBox, static_cast<int16_t>(CurrentDim->SelectedUnit)));
    if (!SelectingUnits)
        Modified = 1;
    SelectingUnits = 0;
}

void CmdNew(HWND window)
{
    if (EditAskToSave(window, IDS_OP_NEW) != IDCANCEL) {
        EditNewSet();
        Modified = 0;
    }
}

void CmdOpen(HWND window)
{
    if (EditAskToSave(window, IDS_OP_OPEN) != IDCANCEL && EditOpenSet(window))
        Modified = 0;
}

void CmdSave(HWND window)
{
    if (IntlStrCmpW(CurrentSetName, NoneText) != 0)
        EditSaveSet();
    else
        EditSaveSetAs(window);
}

LRESULT MsgCommand(HWND window, WPARAM wParam)
{
    const WORD code = HIWORD(wParam);
    switch (LOWORD(wParam)) {
    case IDM_NEW: CmdNew(window); break;
    case IDM_OPEN: CmdOpen(window); break;
    case IDM_SAVE: CmdSave(window); break;
    case IDM_SAVEAS: EditSaveSetAs(window); break;
    case IDM_DELETE: EditDeleteSet(window); break;
    case IDM_GLOBALDEFAULT: EditGlobalDefault(window); break;
    case IDM_EXIT: EditPostQuitUnlessCancelled(window, IDS_OP_EXIT); break;
    case IDM_USINGHELP: EditUsingHelp(window); break;
    case IDM_PRODUCTINFO: EditProductInfo(window); break;
    case IDC_DESCRIPTION: CmdDescriptionNotice(code); break;
    case IDC_CLEAR: CmdClear(); break;
    case IDC_DIMLIST: CmdDimensionNotice(code); break;
    case IDC_UNITLIST: CmdUnitNotice(code); break;
    default: break;
    }
    return 0;
}

} // namespace

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return MsgCreate(window);
    case WM_DESTROY: return MsgDestroy();
    case WM_SIZE: return MsgSize(window);
    case WM_CLOSE: EditPostQuitUnlessCancelled(window, IDS_OP_CLOSE); return 0;
    case WM_SYSCOLORCHANGE: return MsgSysColorChange();
    case WM_HELP: HelpContext(window, HELPCTX_MAINWINDOW); return 1;
    case WM_COMMAND: return MsgCommand(window, wParam);
    case WM_CTLCOLORSTATIC: return MsgCtlColorStatic(wParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

int16_t EditAskToSave(HWND window, UINT operationId)
{
    int16_t answer = IDOK;
    if (EditIsModified()) {
        wchar_t *word = StrLoadNewW(ResGetStringModule(), operationId);
        answer = EditQuerySave(window, word);
        KxFree(word);
    }
    return answer;
}

int16_t EditQuerySave(HWND window, const wchar_t *operation)
{
    const bool unnamed = IntlStrCmpW(CurrentSetName, NoneText) == 0;
    wchar_t *text = unnamed
        ? EditFormatText(ResGetStringModule(), IDS_QUERYSAVEUNNAMED, {operation})
        : EditFormatText(ResGetStringModule(), IDS_QUERYSAVENAMED,
                         {CurrentSetName, CurrentSetName, operation});
    wchar_t *caption = StrLoadNewW(ResGetStringModule(), IDS_ALERT);
    MessageBeep(MB_ICONEXCLAMATION);
    int16_t answer = static_cast<int16_t>(MessageBoxW(window, text, caption, MB_YESNOCANCEL | MB_ICONQUESTION));
    if (answer == IDYES) {
        const int16_t saved = unnamed ? EditSaveSetAs(window) : EditSaveSet();
        if (!saved)
            answer = IDCANCEL;
    }
    KxFree(text);
    KxFree(caption);
    return answer;
}

int16_t EditIsModified(void)
{
    if (Modified)
        return static_cast<int16_t>(Modified);
    wchar_t *old = KxStrdupW(Description);
    EditReadDescription();
    EditMarkIfChanged(old);
    return static_cast<int16_t>(Modified);
}
