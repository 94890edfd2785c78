// The main window: its class, its creation at the start position and size,
// the eight child controls and their fixed layout.
#include "mainwnd.h"

#include "mainproc.h"
#include "resloc.h"
#include "resource.h"
#include "vel32.h"
#include "velw32.h"

namespace {

const int StartX = 20;
const int StartY = 80;
const int StartDialogUnits = 200;

struct ControlSpec {
    int Id;
    const wchar_t *ClassName;
    DWORD Style;
};

const DWORD ListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP |
                        LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;

// In the order of creation, which is the order of the IDs.
const ControlSpec Controls[8] = {
    {IDC_SETNAME, L"static", WS_CHILD | WS_VISIBLE | SS_LEFT},
    {IDC_DESCLABEL, L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
    {IDC_DESCRIPTION, L"edit",
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_GROUP | WS_TABSTOP | ES_MULTILINE},
    {IDC_CLEAR, L"button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {IDC_DIMLABEL, L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
    {IDC_DIMLIST, L"listbox", ListStyle},
    {IDC_UNITLABEL, L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
    {IDC_UNITLIST, L"listbox", ListStyle},
};

void MainPlace(HWND control, int x, int y, int width, int height)
{
    // Positions and sizes are 16-bit values; a too small client area gives
    // negative sizes, which are passed on as they are.
    SetWindowPos(control, nullptr, static_cast<int16_t>(x), static_cast<int16_t>(y),
                 static_cast<int16_t>(width), static_cast<int16_t>(height), SWP_SHOWWINDOW);
}

} // namespace

HWND MainWindowCreate(HWND parent)
{
    HelpInit(L"VOLPRA");
    wchar_t *className = StrLoadNewW(ResGetStringModule(), IDS_CLASSNAME);
    wchar_t *title = StrLoadNewW(ResGetStringModule(), IDS_TITLE);

    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = ResGetModule();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDM_MAINMENU);
    windowClass.lpszClassName = className;
    // A failed registration shows up as a failed creation.
    RegisterClassW(&windowClass);

    HWND window = CreateWindowExW(0, className, title,
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                  parent, nullptr, ResGetModule(), nullptr);
    if (window) {
        WindowSetFont(window);
        int32_t width = 0;
        int32_t height = 0;
        DlgUnitToScrCoord(StartDialogUnits, StartDialogUnits, &width, &height);
        SetWindowPos(window, nullptr, StartX, StartY, width, height, SWP_SHOWWINDOW);
    }
    KxFree(className);
    KxFree(title);
    return window;
}

void MainControlsCreate(HWND window, HWND *setName, HWND *descLabel, HWND *description,
                        HWND *clear, HWND *dimLabel, HWND *dimList, HWND *unitLabel,
                        HWND *unitList)
{
    HWND *const places[8] = {setName, descLabel, description, clear,
                             dimLabel, dimList, unitLabel, unitList};
    for (int i = 0; i < 8; ++i) {
        *places[i] = CreateWindowExW(0, Controls[i].ClassName, L"", Controls[i].Style, 0, 0, 0, 0,
                                     window,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(Controls[i].Id)),
                                     ResGetModule(), nullptr);
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

    MainPlace(setName, 3, 5, w - 3, 20);
    MainPlace(descLabel, 3, 25, w - 78, 20);
    MainPlace(description, 3, 45, w - 78, 60);
    MainPlace(clear, w - 73, 50, 70, 25);
    MainPlace(dimLabel, 0, 110, half, 20);
    MainPlace(unitLabel, half, 110, half, 20);
    MainPlace(dimList, 0, 130, half, h - 130);
    MainPlace(unitList, half, 130, half, h - 130);
}
