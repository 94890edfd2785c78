// The start-up floor: the least a Win32 program with this editor's window
// can do. It registers a class, creates a window with eight child controls
// of the editor's kinds, shows it and runs the message loop until the window
// is closed. The launcher times it against the editor.
#include <windows.h>

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
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
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
    return 1;
}
