// The main window: its class and its creation at the start position and
// size. Its procedure, MainWndProc, is the editor's.
#include "mainwnd.h"

#include "mainproc.h"
#include "resloc.h"
#include "resource.h"
#include "vel32.h"
#include "velw32.h"

namespace {

constexpr int StartX = 20;
constexpr int StartY = 80;
constexpr int StartDialogUnits = 200;

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

    // Made hidden, and shown once it has its font and its size: visible
    // from the start, it would lay out and draw its controls at each step.
    // The size is given while it is still hidden, since moving a visible
    // control that has a scroll bar draws it at once.
    HWND window = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                  0, 0, parent, nullptr, ResGetModule(), nullptr);
    if (window) {
        WindowSetFont(window);
        int32_t width = 0;
        int32_t height = 0;
        DlgUnitToScrCoord(StartDialogUnits, StartDialogUnits, &width, &height);
        SetWindowPos(window, nullptr, StartX, StartY, width, height, SWP_NOACTIVATE);
        SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    KxFree(className);
    KxFree(title);
    return window;
}
