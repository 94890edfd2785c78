// The main window's eight child controls: their creation, their fixed layout
// for the window's client size and display scale, and the Dimensions list's
// filling.
#include "controls.h"

#include <cstdint>

#include "dimcat.h"
#include "dpi.h"
#include "resloc.h"
#include "resource.h"
#include "velw32.h"

namespace {

struct ControlSpec {
    int Id;
    const wchar_t *ClassName;
    DWORD Style;
};

constexpr DWORD ListStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;

// In the order of creation, which is the order of the IDs.
constexpr ControlSpec Controls[8] = {
    // A set's name may hold "&", which the label shows as it is.
    {IDC_SETNAME, L"static", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX},
    {IDC_DESCLABEL, L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
    {IDC_DESCRIPTION, L"edit",
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_GROUP | WS_TABSTOP | ES_MULTILINE},
    {IDC_CLEAR, L"button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {IDC_DIMLABEL, L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
    {IDC_DIMLIST, L"listbox", ListStyle},
    {IDC_UNITLABEL, L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
    {IDC_UNITLIST, L"listbox", ListStyle},
};

void Place(HWND control, int x, int y, int width, int height)
{
    // Positions and sizes are 16-bit values; a too small client area gives
    // negative sizes, which are passed on as they are.
    SetWindowPos(control, nullptr, static_cast<int16_t>(x), static_cast<int16_t>(y),
                 static_cast<int16_t>(width), static_cast<int16_t>(height), SWP_SHOWWINDOW);
}

} // namespace

void MainControlsCreate(HWND window, HWND *setName, HWND *descLabel, HWND *description, HWND *clear,
                        HWND *dimLabel, HWND *dimList, HWND *unitLabel, HWND *unitList)
{
    HWND *const places[8] = {setName,  descLabel, description, clear,
                             dimLabel, dimList,   unitLabel,   unitList};
    for (int i = 0; i < 8; ++i) {
        *places[i] = CreateWindowExW(
            0, Controls[i].ClassName, L"", Controls[i].Style, 0, 0, 0, 0, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(Controls[i].Id)), ResGetModule(), nullptr);
    }
}

void MainControlsLayout(HWND window, HWND setName, HWND descLabel, HWND description, HWND clear,
                        HWND dimLabel, HWND unitLabel, HWND dimList, HWND unitList)
{
    RECT client;
    GetClientRect(window, &client);
    const int w = client.right;
    const int h = client.bottom;
    const int half = w / 2;
    // Every length of the design is drawn for 96 DPI and scaled on its own,
    // so that at 96 DPI each stays as written.
    const UINT dpi = MainWindowDpi(window);
    const auto s = [dpi](int length) { return MainScale(length, dpi); };

    Place(setName, s(3), s(5), w - s(3), s(20));
    Place(descLabel, s(3), s(25), w - s(78), s(20));
    Place(description, s(3), s(45), w - s(78), s(60));
    Place(clear, w - s(73), s(50), s(70), s(25));
    Place(dimLabel, 0, s(110), half, s(20));
    Place(unitLabel, half, s(110), half, s(20));
    Place(dimList, 0, s(130), half, h - s(130));
    Place(unitList, half, s(130), half, h - s(130));
}

void DimListShow(HWND listBox)
{
    KxStatus status = 0;
    ListHandle names = DimNamesCreate(&status);
    if (!names)
        return;
    // Whatever the list holds is shown; a failed library call leaves it
    // short or empty. The list box keeps its own copies.
    LBoxFromList(listBox, names, 0);
    DimNamesFree(names);
}
