// The help service: a modeless help window of the library's own, with the
// list of topics and the text of the selected topic. It is a plain
// top-level window owned by the program's window, not a dialog, because the
// programs' message loops do no dialog navigation: the window handles Tab,
// Esc and Enter itself. One help window per process.
#include "velw32.h"
#include "velw32_ids.h"
#include "helpfile.h"
#include "kxprofile.h"
#include "kxtext.h"
#include "texts.h"
#include "velwin.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

struct HelpState {
    std::wstring Name; // the help name given to HelpInit
    std::wstring Path; // the help file, empty when the profile names no folder
    HWND Window = nullptr;
    HWND LastFocus = nullptr;
    HelpDocument Document;
    bool Loaded = false;
    // The topic the text field shows (-1: none), and how it was laid out.
    int ShownTopic = -1;
    std::wstring ShownText;
    std::vector<int> ShownStops;
    UINT Dpi = 0; // the window's scale, once it has been placed or told of a new one
};

HelpState state;

const UINT_PTR SubclassId = 1;

HWND Child(int id)
{
    return GetDlgItem(state.Window, id);
}

// The help file of a help name, in the folder Help_Dir of the installation
// profile: the translation NAME + language letter + ".txt" (VOLPRAg.txt for
// German) when it is there, else the plain NAME.txt, which is English; empty
// when the profile names no folder. The language is read anew each time, as
// the profile may have changed since the last HelpInit.
std::wstring HelpFilePath(const std::wstring &name)
{
    const std::optional<std::wstring> folder = kx::ProfileValue(L"Kalvex_Section", L"Help_Dir");
    if (!folder || folder->empty())
        return std::wstring();
    const std::wstring letter =
        VelwLanguageLetter(kx::ProfileValue(L"VelWin_Section", L"Language").value_or(L""));
    if (!letter.empty()) {
        const std::wstring translated = kx::JoinPath(*folder, name + letter + L".txt");
        const DWORD attributes = GetFileAttributesW(translated.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return translated;
    }
    return kx::JoinPath(*folder, name + L".txt");
}

// Why there is no help folder: none is named, or the one named cannot be
// had (then the profile is the fault, not a missing key).
std::wstring NoFolderReason()
{
    std::wstring folder;
    const kx::ProfileRead read = kx::ReadProfileValue(L"Kalvex_Section", L"Help_Dir", folder);
    return VelwText(read == kx::ProfileRead::Unusable ? VELW_IDS_HELP_FOLDER_UNREADABLE
                                                      : VELW_IDS_HELP_NO_FOLDER);
}

// What the window shows instead of a topic when there is none to show.
std::wstring Problem()
{
    if (state.Loaded)
        return VelwText(VELW_IDS_HELP_EMPTY);
    std::wstring text = VelwText(VELW_IDS_HELP_NOT_FOUND);
    const std::wstring detail = state.Path.empty() ? (state.Name.empty() ? std::wstring()
                                                                         : NoFolderReason())
                                                   : VelwFormat(VELW_IDS_HELP_LOOKED_FOR, {state.Path});
    if (!detail.empty())
        text += L"\r\n\r\n" + detail;
    return text;
}

// The topic's text laid out for the text field as it is now: its width and
// its font (see HelpLayout).
HelpLayoutResult LayoutForField(HWND field, const std::wstring &text)
{
    RECT rect = {};
    SendMessageW(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    HDC dc = GetDC(field);
    if (!dc)
        return HelpLayoutResult{text, {}};
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(field, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    auto measure = [dc](const std::wstring &piece) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, piece.c_str(), static_cast<int>(piece.size()), &size);
        return static_cast<int>(size.cx);
    };
    // The average character width as the field counts its tab stops: the
    // mean of the 52 letters, rounded.
    const int letters = measure(L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const int average = (letters / 26 + 1) / 2;
    HelpLayoutResult result = HelpLayout(text, rect.right - rect.left, average, measure);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(field, dc);
    return result;
}

// Shows the topic's text laid out for the field's width; the lines scrolled
// past stay so when the layout changes with a new width.
void ShowTopicText(int index, bool keepScroll)
{
    HWND field = Child(VELW_IDC_HELP_TEXT);
    const HelpLayoutResult layout =
        LayoutForField(field, state.Document.Topics[static_cast<size_t>(index)].Text);
    if (keepScroll && layout.Text == state.ShownText && layout.TabStops == state.ShownStops)
        return;
    const LRESULT firstLine = keepScroll ? SendMessageW(field, EM_GETFIRSTVISIBLELINE, 0, 0) : 0;
    std::vector<int> stops = layout.TabStops;
    SendMessageW(field, EM_SETTABSTOPS, stops.size(),
                 reinterpret_cast<LPARAM>(stops.empty() ? nullptr : stops.data()));
    SetWindowTextW(field, layout.Text.c_str());
    if (firstLine > 0)
        SendMessageW(field, EM_LINESCROLL, 0, firstLine);
    state.ShownText = layout.Text;
    state.ShownStops = layout.TabStops;
}

void ShowTopic(int index)
{
    const auto &topics = state.Document.Topics;
    if (index < 0 || static_cast<size_t>(index) >= topics.size()) {
        state.ShownTopic = -1;
        SendMessageW(Child(VELW_IDC_HELP_TEXT), EM_SETTABSTOPS, 0, 0);
        SetWindowTextW(Child(VELW_IDC_HELP_TEXT), topics.empty() ? Problem().c_str() : L"");
        return;
    }
    SendMessageW(Child(VELW_IDC_HELP_TOPICS), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    state.ShownTopic = index;
    ShowTopicText(index, false);
}

// The DPI the window's font and layout are made for.
UINT WindowDpi(HWND window)
{
    return state.Dpi ? state.Dpi : VelwWindowDpi(window);
}

// The width the topic list needs to show its longest title whole: the
// title in the list's font, the list's frame, a few pixels around the text
// and a vertical scroll bar.
int TopicsWidth(UINT dpi)
{
    HWND list = Child(VELW_IDC_HELP_TOPICS);
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const HelpTopic &topic : state.Document.Topics) {
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc, topic.Title.c_str(), static_cast<int>(topic.Title.size()), &size);
        if (size.cx > widest)
            widest = size.cx;
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    return widest + 2 * VelwMetricForDpi(SM_CXEDGE, dpi) + VelwMetricForDpi(SM_CXVSCROLL, dpi) +
           VelwScale(6, dpi);
}

void Layout(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    const UINT dpi = WindowDpi(window);
    int margin = 0, label = 0, buttonWidth = 0, buttonHeight = 0;
    VelwDialogUnits(dpi, 4, 10, &margin, &label);
    VelwDialogUnits(dpi, 50, 14, &buttonWidth, &buttonHeight);
    const int width = client.right;
    const int height = client.bottom;
    // A third of the width, more when a title needs it, never more than
    // half: the text keeps the larger part.
    const int columns = width - 3 * margin;
    int listWidth = TopicsWidth(dpi);
    if (listWidth < columns / 3)
        listWidth = columns / 3;
    if (listWidth > columns / 2)
        listWidth = columns / 2;
    const int top = margin + label;
    const int bottom = height - 2 * margin - buttonHeight;
    const int textLeft = 2 * margin + listWidth;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(Child(VELW_IDC_HELP_LABEL), nullptr, margin, margin, listWidth, label, flags);
    SetWindowPos(Child(VELW_IDC_HELP_TOPICS), nullptr, margin, top, listWidth, bottom - top, flags);
    SetWindowPos(Child(VELW_IDC_HELP_TEXT), nullptr, textLeft, top, width - textLeft - margin,
                 bottom - top, flags);
    SetWindowPos(Child(VELW_IDC_HELP_CLOSE), nullptr, width - margin - buttonWidth,
                 height - margin - buttonHeight, buttonWidth, buttonHeight, flags);
}

// The layout, and the shown topic's tables laid out again for the text
// field's new width.
void LayoutAndText(HWND window)
{
    Layout(window);
    if (state.ShownTopic >= 0 &&
        static_cast<size_t>(state.ShownTopic) < state.Document.Topics.size())
        ShowTopicText(state.ShownTopic, true);
}

// Tab order: topics, text, Close.
void MoveFocus(HWND from, bool backwards)
{
    const int order[] = {VELW_IDC_HELP_TOPICS, VELW_IDC_HELP_TEXT, VELW_IDC_HELP_CLOSE};
    const int n = 3;
    int at = 0;
    for (int i = 0; i < n; ++i)
        if (Child(order[i]) == from)
            at = i;
    const int next = backwards ? (at + n - 1) % n : (at + 1) % n;
    SetFocus(Child(order[next]));
}

// The keyboard of the three controls that take the focus.
LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR)
{
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_TAB) {
            MoveFocus(control, GetKeyState(VK_SHIFT) < 0);
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            PostMessageW(GetParent(control), WM_CLOSE, 0, 0);
            return 0;
        }
        if (wParam == VK_RETURN && GetDlgCtrlID(control) == VELW_IDC_HELP_CLOSE) {
            PostMessageW(GetParent(control), WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_CHAR:
        // Their characters would only make the controls beep.
        if (wParam == L'\t' || wParam == 27 || wParam == L'\r')
            return 0;
        break;
    case WM_SETFOCUS: state.LastFocus = control; break;
    case WM_NCDESTROY: RemoveWindowSubclass(control, ControlProc, SubclassId); break;
    default: break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

HWND CreateChild(HWND parent, const wchar_t *cls, const wchar_t *text, DWORD style, int id)
{
    HWND child =
        CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), VelwModule(), nullptr);
    return child;
}

void FillTopics()
{
    HWND list = Child(VELW_IDC_HELP_TOPICS);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const HelpTopic &topic : state.Document.Topics)
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(topic.Title.c_str()));
}

std::wstring Caption()
{
    if (!state.Document.Title.empty())
        return VelwFormat(VELW_IDS_HELP_CAPTION_TITLE, {state.Document.Title});
    return VelwText(VELW_IDS_HELP_CAPTION);
}

LRESULT CALLBACK HelpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        state.Window = window;
        CreateChild(window, L"static", VelwText(VELW_IDS_HELP_TOPICS).c_str(),
                    SS_LEFT | SS_NOPREFIX, VELW_IDC_HELP_LABEL);
        HWND list =
            CreateChild(window, L"listbox", L"",
                        WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                        VELW_IDC_HELP_TOPICS);
        HWND text = CreateChild(window, L"edit", L"",
                                WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                                    ES_AUTOVSCROLL,
                                VELW_IDC_HELP_TEXT);
        HWND close = CreateChild(window, L"button", VelwText(VELW_IDS_HELP_CLOSE).c_str(),
                                 WS_TABSTOP | BS_PUSHBUTTON, VELW_IDC_HELP_CLOSE);
        if (!list || !text || !close)
            return -1;
        SendMessageW(text, EM_SETLIMITTEXT, 0, 0);
        for (HWND control : {list, text, close})
            SetWindowSubclass(control, ControlProc, SubclassId, 0);
        state.LastFocus = list;
        return 0;
    }
    case WM_SIZE: LayoutAndText(window); return 0;
    case WM_DPICHANGED: {
        // On a screen of another scale: the rectangle the system suggests,
        // the font made for the new DPI, and the layout for both.
        const UINT dpi = HIWORD(wParam);
        if (!dpi)
            return 0;
        state.Dpi = dpi;
        WindowSetFontForDpi(window, dpi);
        if (const RECT *suggested = reinterpret_cast<const RECT *>(lParam))
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        LayoutAndText(window);
        return 0;
    }
    case WM_GETMINMAXINFO: {
        int w = 0, h = 0;
        VelwDialogUnits(WindowDpi(window), 160, 100, &w, &h);
        MINMAXINFO *info = reinterpret_cast<MINMAXINFO *>(lParam);
        info->ptMinTrackSize.x = w;
        info->ptMinTrackSize.y = h;
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == VELW_IDC_HELP_TOPICS && HIWORD(wParam) == LBN_SELCHANGE) {
            const LRESULT selected = SendMessageW(Child(VELW_IDC_HELP_TOPICS), LB_GETCURSEL, 0, 0);
            if (selected != LB_ERR)
                ShowTopic(static_cast<int>(selected));
        } else if (LOWORD(wParam) == VELW_IDC_HELP_CLOSE && HIWORD(wParam) == BN_CLICKED) {
            DestroyWindow(window);
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        // The read-only text reads like a page, not like a disabled field.
        if (reinterpret_cast<HWND>(lParam) == Child(VELW_IDC_HELP_TEXT)) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && state.LastFocus && IsWindow(state.LastFocus))
            SetFocus(state.LastFocus);
        return 0;
    case WM_SETFOCUS:
        if (state.LastFocus && IsWindow(state.LastFocus))
            SetFocus(state.LastFocus);
        return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY:
        if (state.Window == window) {
            state.Window = nullptr;
            state.LastFocus = nullptr;
            state.ShownTopic = -1;
            state.Dpi = 0;
        }
        return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterHelpClass()
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(VelwModule(), VELW_HELP_CLASS, &existing))
        return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = HelpProc;
    wc.hInstance = VelwModule();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = VELW_HELP_CLASS;
    return RegisterClassExW(&wc) != 0;
}

// Cascaded from the owner's top-left corner, kept on the owner's screen, at
// the owner's scale (the window's own without an owner).
void PlaceWindow(HWND window, HWND owner)
{
    const UINT dpi = VelwWindowDpi(owner ? owner : window);
    int width = 0, height = 0;
    VelwDialogUnits(dpi, 320, 220, &width, &height);
    const int cascade = VelwScale(40, dpi);
    // Before the move: a move onto a screen of another scale tells the
    // window its new DPI (WM_DPICHANGED), which then stands.
    state.Dpi = dpi;
    RECT ownerRect = {};
    if (owner && GetWindowRect(owner, &ownerRect))
        VelwPlaceOnScreen(window, owner, ownerRect.left + cascade, ownerRect.top + cascade, width,
                          height, 0);
    else
        VelwPlaceOnScreen(window, owner, cascade, cascade, width, height, 0);
}

// The owner's icons: the ones of the owner window itself, which a program
// picks for its scale, else its class's.
HICON OwnerIcon(HWND owner, WPARAM kind)
{
    HICON icon = reinterpret_cast<HICON>(SendMessageW(owner, WM_GETICON, kind, 0));
    if (!icon && kind == ICON_SMALL)
        icon = reinterpret_cast<HICON>(GetClassLongPtrW(owner, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtrW(owner, GCLP_HICON));
    return icon;
}

// Opens the window when it is not open (reading the help file anew) and
// brings it to the front.
bool OpenWindow(HWND owner)
{
    if (state.Window && IsWindow(state.Window)) {
        if (IsIconic(state.Window))
            ShowWindow(state.Window, SW_RESTORE);
        SetForegroundWindow(state.Window);
        return true;
    }
    state.Document = HelpDocument();
    state.ShownTopic = -1;
    state.Loaded = !state.Path.empty() && HelpLoad(state.Path, state.Document);
    if (!RegisterHelpClass())
        return false;
    if (owner && !IsWindow(owner))
        owner = nullptr;
    // Created without a size: PlaceWindow gives it one at the owner's scale.
    HWND window = CreateWindowExW(0, VELW_HELP_CLASS, Caption().c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 0, 0, owner, nullptr, VelwModule(), nullptr);
    if (!window)
        return false;
    // The program's icons, which the owner keeps; the help window only
    // shows them.
    if (owner) {
        for (WPARAM kind : {ICON_BIG, ICON_SMALL})
            if (HICON icon = OwnerIcon(owner, kind))
                SendMessageW(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
    }
    PlaceWindow(window, owner);
    WindowSetFontForDpi(window, WindowDpi(window));
    FillTopics();
    Layout(window);
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    SetFocus(state.LastFocus);
    return true;
}

} // namespace

extern "C" {

// Remembers the help name and finds its file; 1 when the file is there.
// The file itself is read each time the window opens.
VELW32_API int16_t WINAPI HelpInit(const wchar_t *helpName)
{
    state.Name = helpName ? helpName : L"";
    state.Path = state.Name.empty() ? std::wstring() : HelpFilePath(state.Name);
    return !state.Path.empty() && GetFileAttributesW(state.Path.c_str()) != INVALID_FILE_ATTRIBUTES
               ? 1
               : 0;
}

// Shows the topic bound to the context, or the first topic when none is.
// 1 when the window shows that topic; 0 when it shows the first one
// instead, only the message that the help text is missing, or could not open.
VELW32_API int16_t WINAPI HelpContext(HWND window, int32_t context)
{
    if (!OpenWindow(window))
        return 0;
    const int index = HelpFindContext(state.Document, context);
    ShowTopic(index >= 0 ? index : 0);
    return index >= 0 ? 1 : 0;
}

// Shows the list of topics; an open window keeps its selected topic.
// 1 when there are topics, 0 when the window shows the missing-help message.
VELW32_API int16_t WINAPI HelpTopics(HWND window)
{
    const bool wasOpen = state.Window && IsWindow(state.Window);
    if (!OpenWindow(window))
        return 0;
    const LRESULT selected = SendMessageW(Child(VELW_IDC_HELP_TOPICS), LB_GETCURSEL, 0, 0);
    if (!wasOpen || selected == LB_ERR)
        ShowTopic(0);
    SetFocus(Child(VELW_IDC_HELP_TOPICS));
    return state.Document.Topics.empty() ? 0 : 1;
}

VELW32_API int16_t WINAPI HelpQuit(HWND)
{
    if (state.Window && IsWindow(state.Window))
        DestroyWindow(state.Window);
    state.Window = nullptr;
    return 1;
}

} // extern "C"
