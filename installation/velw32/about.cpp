// The product information window: a modal dialog with the program's icon,
// a title, two texts and an OK button.
#include "velw32.h"
#include "velw32_ids.h"
#include "texts.h"
#include "velwin.h"

#include <string>

namespace {

struct AboutData {
    std::wstring Title;
    std::wstring Text1;
    std::wstring Text2;
    int16_t Flags;
    HFONT Bold;
};

HFONT BoldVersionOf(HFONT font)
{
    LOGFONTW face = {};
    if (!font || !GetObjectW(font, sizeof face, &face))
        return nullptr;
    face.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&face);
}

// Height of a text broken into lines of the given width, in the control's
// font.
int TextHeight(HWND control, const std::wstring &text, int width)
{
    if (text.empty())
        return 0;
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return r.bottom - r.top;
}

RECT ChildRect(HWND dialog, int id)
{
    RECT r = {};
    HWND child = GetDlgItem(dialog, id);
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

// The texts stack below each other at the width of the template's text
// column; the button goes below them and the dialog grows or shrinks to fit.
void Layout(HWND dialog, const AboutData &data)
{
    const RECT column = ChildRect(dialog, VELW_IDC_ABOUT_TITLE);
    const RECT icon = ChildRect(dialog, VELW_IDC_ABOUT_ICON);
    const RECT button = ChildRect(dialog, IDOK);
    RECT units = {0, 0, 4, 8}; // gaps of one line and of half a line
    MapDialogRect(dialog, &units);
    const int width = column.right - column.left;

    int y = column.top;
    const int ids[] = {VELW_IDC_ABOUT_TITLE, VELW_IDC_ABOUT_TEXT1, VELW_IDC_ABOUT_TEXT2};
    const std::wstring *texts[] = {&data.Title, &data.Text1, &data.Text2};
    for (int i = 0; i < 3; ++i) {
        HWND control = GetDlgItem(dialog, ids[i]);
        const int height = TextHeight(control, *texts[i], width);
        SetWindowPos(control, nullptr, column.left, y, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (height > 0)
            y += height + units.bottom / 2;
    }
    if (y < icon.bottom)
        y = icon.bottom;
    y += units.bottom / 2;

    RECT client = {};
    GetClientRect(dialog, &client);
    const int buttonWidth = button.right - button.left;
    const int buttonHeight = button.bottom - button.top;
    SetWindowPos(GetDlgItem(dialog, IDOK), nullptr, (client.right - buttonWidth) / 2, y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int clientHeight = y + buttonHeight + units.bottom;

    RECT frame = {};
    GetWindowRect(dialog, &frame);
    const int extra = (frame.bottom - frame.top) - client.bottom;
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, clientHeight + extra,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// flags bit 0: centre over the owner; otherwise (or without an owner) centre
// on the work area of the owner's screen. Always kept on that screen.
void Place(HWND dialog, HWND owner, int16_t flags)
{
    VelwCentre(dialog, owner, (flags & 1) && owner && IsWindow(owner));
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        AboutData *data = reinterpret_cast<AboutData *>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetWindowTextW(dialog, data->Title.empty() ? VelwText(VELW_IDS_ABOUT_CAPTION).c_str()
                                                   : data->Title.c_str());
        // The program's icon: the owner window's big icon, which a program
        // picks for its display scale, else the program file's icon 1,
        // whatever module its texts come from.
        HWND owner = GetWindow(dialog, GW_OWNER);
        HICON icon =
            owner ? reinterpret_cast<HICON>(SendMessageW(owner, WM_GETICON, ICON_BIG, 0)) : nullptr;
        if (!icon)
            icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
        if (!icon)
            icon = LoadIconW(nullptr, IDI_APPLICATION);
        SendDlgItemMessageW(dialog, VELW_IDC_ABOUT_ICON, STM_SETICON,
                            reinterpret_cast<WPARAM>(icon), 0);

        HWND title = GetDlgItem(dialog, VELW_IDC_ABOUT_TITLE);
        data->Bold = BoldVersionOf(reinterpret_cast<HFONT>(SendMessageW(title, WM_GETFONT, 0, 0)));
        if (data->Bold)
            SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(data->Bold), FALSE);
        SetWindowTextW(title, data->Title.c_str());
        SetDlgItemTextW(dialog, VELW_IDC_ABOUT_TEXT1, data->Text1.c_str());
        SetDlgItemTextW(dialog, VELW_IDC_ABOUT_TEXT2, data->Text2.c_str());
        SetDlgItemTextW(dialog, IDOK, VelwText(VELW_IDS_ABOUT_OK).c_str());

        Layout(dialog, *data);
        Place(dialog, GetWindow(dialog, GW_OWNER), data->Flags);
        return TRUE; // the focus goes to the OK button
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY: {
        AboutData *data = reinterpret_cast<AboutData *>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (data && data->Bold) {
            DeleteObject(data->Bold);
            data->Bold = nullptr;
        }
        return FALSE;
    }
    default: return FALSE;
    }
}

} // namespace

extern "C" {

// Returns 1 once the user has closed the window, 0 when it could not open.
// flags: see Place.
VELW32_API int16_t WINAPI AbtMapAboutWindow(HWND owner, const wchar_t *title, const wchar_t *text1,
                                            const wchar_t *text2, int16_t flags)
{
    AboutData data = {title ? title : L"", text1 ? text1 : L"", text2 ? text2 : L"", flags,
                      nullptr};
    const INT_PTR result = DialogBoxParamW(VelwModule(), MAKEINTRESOURCEW(VELW_IDD_ABOUT), owner,
                                           AboutProc, reinterpret_cast<LPARAM>(&data));
    if (data.Bold)
        DeleteObject(data.Bold);
    return result == IDOK ? 1 : 0;
}

} // extern "C"
