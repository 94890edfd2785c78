// The start-up floor: the least a Win32 program with this editor's window
// can do. It registers a class, creates a window with eight child controls
// of the editor's kinds, shows it and runs the message loop until the window
// is closed. The launcher times it against the editor.
//
// Built with UAS_FLOOR_LIBRARIES it is the floor of closing too: it loads
// the editor's three support libraries (calling one harmless routine of
// each, so that they are imported) and the common resource library as data,
// as the editor's start-up does, and closes as the editor does: WM_CLOSE
// posts the quit message, and the window is destroyed after the message loop.
#include <windows.h>

#ifdef UAS_FLOOR_LIBRARIES
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

#include <strsafe.h>
#endif

namespace {

constexpr wchar_t FloorClassName[] = L"UasBenchFloor";

struct ChildSpec {
    const wchar_t *ClassName;
    DWORD Style;
};

constexpr DWORD ListStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;

// The editor's eight controls, in its order.
constexpr ChildSpec Children[8] = {
    {L"static", WS_CHILD | WS_VISIBLE | SS_LEFT},
    {L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
    {L"edit", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE},
    {L"button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
    {L"listbox", ListStyle},
    {L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
    {L"listbox", ListStyle},
};

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        for (int i = 0; i < 8; ++i) {
            // Laid out in two columns, roughly as the editor places them.
            const int x = (i % 2) * 200;
            const int y = (i / 2) * 60;
            CreateWindowExW(0, Children[i].ClassName, L"", Children[i].Style, x, y, 190, 50, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(70 + i)),
                            reinterpret_cast<LPCREATESTRUCTW>(lParam)->hInstance, nullptr);
        }
        return 0;
#ifdef UAS_FLOOR_LIBRARIES
    case WM_CLOSE: PostMessageW(window, WM_QUIT, 0, 0); return 0;
#else
    case WM_DESTROY: PostQuitMessage(0); return 0;
#endif
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

#ifdef UAS_FLOOR_LIBRARIES
// The common resource library, loaded as the editor's resource locator loads
// it: as data, from the profile's resource folder.
void LoadCommonLibrary()
{
    wchar_t folder[MAX_PATH] = L"";
    int32_t size = MAX_PATH;
    KxStatus status = 1;
    ProfReadStringW(L"Kalvex_Section", L"Resource_Binary_Dir", folder, &size, &status);
    if (status != 0)
        return;
    wchar_t path[MAX_PATH + 16] = L"";
    if (FAILED(StringCchCopyW(path, ARRAYSIZE(path), folder)) ||
        FAILED(StringCchCatW(path, ARRAYSIZE(path), L"\\kxcommon.dll")))
        return;
    LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
}
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
#ifdef UAS_FLOOR_LIBRARIES
    KxMemoryUsage(nullptr, nullptr);
    UnitDestroyList(nullptr);
    LoadCommonLibrary();
#endif
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = FloorClassName;
    if (!RegisterClassW(&windowClass))
        return 2;
    HWND window = CreateWindowExW(0, FloorClassName, L"Floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                                  80, 400, 300, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 2;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
#ifdef UAS_FLOOR_LIBRARIES
    HelpQuit(window);
    DestroyWindow(window);
#endif
    return 1;
}
