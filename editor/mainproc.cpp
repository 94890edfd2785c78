// The main window's procedure: builds the editor state when the window is
// created, turns control notices into changes of the set in memory, hands
// the menu commands to the set commands, and asks whether to save unsaved
// changes before New, Open, Exit and closing. Also the keyboard's way
// around the window: where the focus goes when the window is activated, and
// Tab between the four controls that take input.
#include "mainproc.h"

#include "controls.h"
#include "dimcat.h"
#include "dpi.h"
#include "editstate.h"
#include "menukeys.h"
#include "resloc.h"
#include "resource.h"
#include "setcmds.h"
#include "setlabel.h"
#include "setopen.h"
#include "textutil.h"
#include "unitsfault.h"
#include "vel32.h"
#include "velw32.h"

namespace {

// The four label texts live from their loading until the labels show them.
enum { LabelDescription, LabelClear, LabelDimensions, LabelUnits, LabelCount };

void MsgLoadTexts(wchar_t *labels[LabelCount])
{
    HMODULE strings = ResGetStringModule();
    Editor.SetNamePrefix = StrLoadNewW(strings, IDS_SETNAMEPREFIX);
    labels[LabelDescription] = StrLoadNewW(strings, IDS_DESCRIPTION);
    labels[LabelClear] = StrLoadNewW(strings, IDS_CLEAR);
    labels[LabelDimensions] = StrLoadNewW(strings, IDS_DIMENSIONS);
    labels[LabelUnits] = StrLoadNewW(strings, IDS_UNITS);
    Editor.NoneText = StrLoadNewW(strings, IDS_NONE);
}

void MsgLoadAboutTexts()
{
    // A string that a module lacks leaves its buffer empty.
    Editor.AboutTitle[0] = Editor.AboutText1[0] = Editor.AboutText2[0] = L'\0';
    LoadStringW(ResGetStringModule(), IDS_TITLE, Editor.AboutTitle, EditAboutChars);
    // Without a common library these stay empty: a null module would make
    // the system take the program's own strings of the same numbers.
    if (HMODULE common = ResGetCommonModule()) {
        LoadStringW(common, IDS_COMMON_PRODUCT, Editor.AboutText1, EditAboutChars);
        LoadStringW(common, IDS_COMMON_PRODUCTINFO, Editor.AboutText2, EditAboutChars);
    }
}

// The set's name and description buffers; false when a block cannot be had,
// which refuses the window like a units library that fails.
bool MsgCreateBuffers()
{
    Editor.CurrentSetName = static_cast<wchar_t *>(KxMalloc(EditSetNameChars * sizeof(wchar_t)));
    Editor.Description = static_cast<wchar_t *>(KxMalloc(EditDescriptionChars * sizeof(wchar_t)));
    if (!Editor.CurrentSetName || !Editor.Description)
        return false;
    Editor.Description[0] = L'\0';
    SendMessageW(Editor.DescEdit, EM_LIMITTEXT, EditDescriptionChars - 1, 0);
    EditShowDescription(Editor.Description);
    EditCopyText(Editor.CurrentSetName, EditSetNameChars, Editor.NoneText);
    EditShowSetName(Editor.SetNameLabel, Editor.SetNamePrefix, Editor.CurrentSetName);
    return true;
}

void MsgShowLabels(wchar_t *labels[LabelCount])
{
    SetWindowTextW(Editor.DescLabel, labels[LabelDescription]);
    SetWindowTextW(Editor.ClearButton, labels[LabelClear]);
    SetWindowTextW(Editor.DimLabel, labels[LabelDimensions]);
    SetWindowTextW(Editor.UnitLabel, labels[LabelUnits]);
    for (int i = 0; i < LabelCount; ++i)
        if (labels[i])
            KxFree(labels[i]);
}

void MsgLoadMenuTexts(HWND window)
{
    HMODULE common = ResGetCommonModule();
    HMENU menu = GetMenu(window);
    DlgLoadMenuText(window, IDM_GLOBALDEFAULT, ResGetStringModule(), IDS_MENU_GLOBALDEFAULT);
    // Without a common library the menu keeps its template's texts; start-up
    // has told the user which library is missing.
    if (!common)
        return;
    DlgLoadMenuTextPosition(window, menu, MENUPOS_FILE, common, IDS_COMMON_FILE);
    DlgLoadMenuText(window, IDM_NEW, common, IDS_COMMON_NEW);
    DlgLoadMenuText(window, IDM_OPEN, common, IDS_COMMON_OPEN);
    DlgLoadMenuText(window, IDM_SAVE, common, IDS_COMMON_SAVE);
    DlgLoadMenuText(window, IDM_SAVEAS, common, IDS_COMMON_SAVEAS);
    DlgLoadMenuText(window, IDM_DELETE, common, IDS_COMMON_DELETE);
    DlgLoadMenuText(window, IDM_EXIT, common, IDS_COMMON_EXIT);
    DlgLoadMenuTextPosition(window, menu, MENUPOS_HELP, common, IDS_COMMON_HELP);
    DlgLoadMenuText(window, IDM_USINGHELP, common, IDS_COMMON_USINGHELP);
    DlgLoadMenuText(window, IDM_PRODUCTINFO, common, IDS_COMMON_PRODUCTINFOMENU);
}

// The units library could not deliver its dimensions: the window is refused.
LRESULT MsgCreateFailed(HWND window)
{
    wchar_t *text = EditUnitsFailureText();
    EditMessageBox(window, text, 0, MB_ICONERROR, EditBeep::Yes);
    if (text)
        KxFree(text);
    EditFreeBuffers();
    return -1;
}

LRESULT MsgCreate(HWND window)
{
    Editor.FocusedControl = nullptr;
    Editor.SetNameTip = nullptr;
    Editor.Initializing = 1;
    Editor.SelectingUnits = 0;
    Editor.Modified = 0;
    MainControlsCreate(window, &Editor.SetNameLabel, &Editor.DescLabel, &Editor.DescEdit,
                       &Editor.ClearButton, &Editor.DimLabel, &Editor.DimListBox, &Editor.UnitLabel,
                       &Editor.UnitListBox);
    Editor.ArrowCursor = LoadCursorW(nullptr, IDC_ARROW);
    Editor.WaitCursor = LoadCursorW(nullptr, IDC_WAIT);
    wchar_t *labels[LabelCount];
    MsgLoadTexts(labels);
    MsgLoadAboutTexts();
    MsgLoadMenuTexts(window);
    EditShowShortcutKeys(window);
    const bool buffersMade = MsgCreateBuffers();
    MsgShowLabels(labels);

    KxStatus status = 0;
    if (buffersMade)
        Editor.DimCatalogue = DimCatalogueCreate(&status);
    if (!buffersMade || status != 0)
        return MsgCreateFailed(window);

    DimListShow(Editor.DimListBox);
    KxStatus itemStatus = 0;
    Editor.CurrentDim = static_cast<DimEntry *>(ListFindIth(Editor.DimCatalogue, 0, &itemStatus));
    if (Editor.CurrentDim)
        LBoxFromList(Editor.UnitListBox, Editor.CurrentDim->UnitSymbols, 0);

    KxStatus setStatus = 0;
    Editor.SetCatalogue = UasCreateUasInfoList(&setStatus);
    Editor.Initializing = 0;
    // A set file dropped from Explorer opens like one named on the command line.
    DragAcceptFiles(window, TRUE);
    return 0;
}

LRESULT MsgDestroy(HWND window)
{
    Editor.FocusedControl = nullptr;
    // The label's tooltip belongs to the window and goes with it.
    Editor.SetNameTip = nullptr;
    MainWindowSetIcons(window, 0);
    MainWindowSetDpi(window, 0);
    EditFreeBuffers();
    if (Editor.LabelBrush) {
        DeleteObject(Editor.LabelBrush);
        Editor.LabelBrush = nullptr;
    }
    return 0;
}

LRESULT MsgSize(HWND window)
{
    MainControlsLayout(window, Editor.SetNameLabel, Editor.DescLabel, Editor.DescEdit,
                       Editor.ClearButton, Editor.DimLabel, Editor.UnitLabel, Editor.DimListBox,
                       Editor.UnitListBox);
    // The set-name label's text is fitted to the label's new width.
    EditFitSetNameLabel(Editor.SetNameLabel);
    const int16_t selected = LBoxQuerySelection(Editor.DimListBox, -1);
    LBoxSelectItem(Editor.DimListBox, selected, 1);
    return 0;
}

// The window went to a screen of another scale, or the scale changed: it
// takes the rectangle the system suggests, with fonts and icons made for
// the new DPI, and lays the controls out for it.
LRESULT MsgDpiChanged(HWND window, WPARAM wParam, LPARAM lParam)
{
    const UINT dpi = HIWORD(wParam); // the same across and down
    if (!dpi)
        return 0;
    MainWindowSetDpi(window, dpi);
    WindowSetFontForDpi(window, dpi);
    MainWindowSetIcons(window, dpi);
    if (const RECT *suggested = reinterpret_cast<const RECT *>(lParam))
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    // A rectangle of the same size brings no WM_SIZE, and the lengths of
    // the layout have changed all the same.
    return MsgSize(window);
}

// The controls that take the keyboard focus, in the order in which Tab
// visits them. An explicit order, not the windows' z-order: every layout
// puts the controls on top of each other in layout order, which would send
// Tab from the Units list backwards.
constexpr int TabStopCount = 4;

void TabStops(HWND stops[TabStopCount])
{
    stops[0] = Editor.DescEdit;
    stops[1] = Editor.ClearButton;
    stops[2] = Editor.DimListBox;
    stops[3] = Editor.UnitListBox;
}

bool CanTakeFocus(HWND control)
{
    return control && IsWindow(control) && IsWindowVisible(control) && IsWindowEnabled(control);
}

// Position of the control among the tab stops, or -1.
int TabStopIndex(HWND control)
{
    HWND stops[TabStopCount];
    TabStops(stops);
    for (int i = 0; i < TabStopCount; ++i)
        if (control && stops[i] == control)
            return i;
    return -1;
}

// The next tab stop after the one at index (forward) or before it, around
// the end; from -1, the first or the last. Null when none can take the focus.
HWND TabStopAfter(int index, bool forward)
{
    HWND stops[TabStopCount];
    TabStops(stops);
    int i = index;
    for (int tried = 0; tried < TabStopCount; ++tried) {
        if (i < 0)
            i = forward ? 0 : TabStopCount - 1;
        else
            i = (i + (forward ? 1 : TabStopCount - 1)) % TabStopCount;
        if (CanTakeFocus(stops[i]))
            return stops[i];
    }
    return nullptr;
}

// Gives the focus back to the control that had it, or to the Dimensions
// list, so that the arrow keys work as soon as the window is active.
void EditRestoreFocus()
{
    HWND target = TabStopIndex(Editor.FocusedControl) >= 0 && CanTakeFocus(Editor.FocusedControl)
                      ? Editor.FocusedControl
                      : nullptr;
    if (!target)
        target = CanTakeFocus(Editor.DimListBox) ? Editor.DimListBox : TabStopAfter(-1, true);
    if (target)
        SetFocus(target);
}

LRESULT MsgActivate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        // Sent before the control loses the focus, so it can still be asked.
        HWND focus = GetFocus();
        if (TabStopIndex(focus) >= 0)
            Editor.FocusedControl = focus;
        return 0;
    }
    // A minimised window keeps the focus to itself, as the system does it.
    if (HIWORD(wParam))
        return DefWindowProcW(window, message, wParam, lParam);
    EditRestoreFocus();
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
    if (Editor.LabelBrush) {
        DeleteObject(Editor.LabelBrush);
        Editor.LabelBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    }
    return 0;
}

LRESULT MsgCtlColorStatic(WPARAM wParam)
{
    if (!Editor.LabelBrush)
        Editor.LabelBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(Editor.LabelBrush);
}

// Marks the set modified when Description differs from the copy taken
// before a change, and releases the copy.
// Without a copy (no block to be had) any text counts as a change: better a
// needless save question than a lost edit.
void EditMarkIfChanged(wchar_t *old)
{
    if (!old || IntlStrCmpW(Editor.Description, old) != 0)
        Editor.Modified = 1;
    if (old)
        KxFree(old);
}

void CmdDescriptionNotice(WORD code)
{
    if (code != EN_KILLFOCUS)
        return;
    wchar_t *old = KxStrdupW(Editor.Description);
    EditReadDescription();
    EditMarkIfChanged(old);
}

void CmdClear()
{
    wchar_t *old = KxStrdupW(Editor.Description);
    EditClearDescriptionControl();
    Editor.Description[0] = L'\0';
    EditMarkIfChanged(old);
}

void CmdDimensionNotice(WORD code)
{
    if (code != LBN_SELCHANGE || Editor.Initializing)
        return;
    const int16_t row = static_cast<int16_t>(SendMessageW(Editor.DimListBox, LB_GETCURSEL, 0, 0));
    if (row == -1)
        return;
    KxStatus status = 0;
    Editor.CurrentDim = static_cast<DimEntry *>(ListFindIth(Editor.DimCatalogue, row, &status));
    if (!Editor.CurrentDim)
        return;
    Editor.SelectingUnits = 1;
    LBoxFromList(Editor.UnitListBox, Editor.CurrentDim->UnitSymbols,
                 static_cast<int16_t>(Editor.CurrentDim->SelectedUnit));
}

void CmdUnitNotice(WORD code)
{
    if (code != LBN_SELCHANGE || Editor.Initializing || !Editor.CurrentDim)
        return;
    Editor.CurrentDim->SelectedUnit = static_cast<uint16_t>(LBoxQuerySelection(
        Editor.UnitListBox, static_cast<int16_t>(Editor.CurrentDim->SelectedUnit)));
    if (!Editor.SelectingUnits)
        Editor.Modified = 1;
    Editor.SelectingUnits = 0;
}

void CmdNew(HWND window)
{
    if (EditAskToSave(window, IDS_OP_NEW) != IDCANCEL) {
        EditNewSet();
        Editor.Modified = 0;
    }
}

void CmdOpen(HWND window)
{
    if (EditAskToSave(window, IDS_OP_OPEN) != IDCANCEL && EditOpenSet(window))
        Editor.Modified = 0;
}

void CmdSave(HWND window)
{
    if (IntlStrCmpW(Editor.CurrentSetName, Editor.NoneText) != 0)
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
    case WM_DESTROY: return MsgDestroy(window);
    case WM_SIZE: return MsgSize(window);
    case WM_DPICHANGED: return MsgDpiChanged(window, wParam, lParam);
    case WM_ACTIVATE: return MsgActivate(window, message, wParam, lParam);
    case WM_SETFOCUS: EditRestoreFocus(); return 0;
    case WM_CLOSE: EditPostQuitUnlessCancelled(window, IDS_OP_CLOSE); return 0;
    case WM_SYSCOLORCHANGE: return MsgSysColorChange();
    case WM_HELP: HelpContext(window, HELPCTX_MAINWINDOW); return 1;
    case WM_COMMAND: return MsgCommand(window, wParam);
    case WM_CTLCOLORSTATIC: return MsgCtlColorStatic(wParam);
    // The message loop takes drops itself (EditDropFiles); one that comes
    // here was passed on by the loop of an open dialog or box, behind which
    // nothing may open.
    case WM_DROPFILES: DragFinish(reinterpret_cast<HDROP>(wParam)); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

int16_t EditAskToSave(HWND window, UINT operationId)
{
    int16_t answer = IDOK;
    if (EditIsModified()) {
        wchar_t *word = StrLoadNewW(ResGetStringModule(), operationId);
        answer = EditQuerySave(window, word ? word : L"");
        if (word)
            KxFree(word);
    }
    return answer;
}

int16_t EditQuerySave(HWND window, const wchar_t *operation)
{
    const bool unnamed = IntlStrCmpW(Editor.CurrentSetName, Editor.NoneText) == 0;
    wchar_t *text = unnamed
                        ? EditFormatText(ResGetStringModule(), IDS_QUERYSAVEUNNAMED, {operation})
                        : EditFormatText(ResGetStringModule(), IDS_QUERYSAVENAMED,
                                         {Editor.CurrentSetName, Editor.CurrentSetName, operation});
    int16_t answer = static_cast<int16_t>(
        EditMessageBox(window, text, IDS_ALERT, MB_YESNOCANCEL | MB_ICONQUESTION, EditBeep::Yes));
    if (text)
        KxFree(text);
    if (answer == IDYES) {
        const int16_t saved = unnamed ? EditSaveSetAs(window) : EditSaveSet();
        if (!saved)
            answer = IDCANCEL;
    }
    return answer;
}

int16_t EditIsModified(void)
{
    if (Editor.Modified)
        return static_cast<int16_t>(Editor.Modified);
    wchar_t *old = KxStrdupW(Editor.Description);
    EditReadDescription();
    EditMarkIfChanged(old);
    return static_cast<int16_t>(Editor.Modified);
}

int16_t EditHandleTabKey(const MSG *message)
{
    if (!message || message->message != WM_KEYDOWN || message->wParam != VK_TAB)
        return 0;
    // Ctrl+Tab and Alt+Tab keep their usual meanings.
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
        return 0;
    HWND window = Editor.DimListBox ? GetParent(Editor.DimListBox) : nullptr;
    if (!window)
        return 0;
    const int index = TabStopIndex(message->hwnd);
    if (index < 0 && message->hwnd != window)
        return 0;
    const bool forward = GetKeyState(VK_SHIFT) >= 0;
    HWND next = TabStopAfter(index, forward);
    if (!next)
        return 0;
    SetFocus(next);
    // Focus rectangles are hidden until the keyboard is used, as in dialogs.
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return 1;
}
