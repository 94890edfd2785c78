// Running the program's own message loop (AppRunMessageLoop) in a test, as
// the running program does: over what the test posted to the main window,
// until every dialog and box that this opened is closed again.
#ifndef PROGRAMLOOP_H
#define PROGRAMLOOP_H

#include <windows.h>

#include "appmain.h"

namespace programloop {

// A marker posted behind the test's messages ends the loop once the main
// window is enabled again: while a dialog or box of the window is open, the
// window is disabled and the marker goes round the queue once more, behind
// the dialog's answer. A quit message posted at once would end the open
// dialog instead.
constexpr UINT EndMarker = WM_APP + 20;
constexpr int MarkerRounds = 100000;

struct MarkerState {
    HWND Watched = nullptr;
    int Rounds = 0;
};

inline MarkerState &Marker()
{
    static MarkerState state;
    return state;
}

inline LRESULT CALLBACK MarkerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != EndMarker)
        return DefWindowProcW(window, message, wParam, lParam);
    if (IsWindowEnabled(Marker().Watched) || ++Marker().Rounds > MarkerRounds)
        PostQuitMessage(0);
    else
        PostMessageW(window, EndMarker, 0, 0);
    return 0;
}

// Runs the loop of the main window until what was posted is done; false
// when a dialog or box stayed open through every round.
inline bool RunUntilDone(HWND window)
{
    WNDCLASSW marker = {};
    marker.lpfnWndProc = MarkerProc;
    marker.hInstance = GetModuleHandleW(nullptr);
    marker.lpszClassName = L"ProgramLoopMarker";
    RegisterClassW(&marker); // fails harmlessly once registered
    HWND markerWindow = CreateWindowExW(0, marker.lpszClassName, L"", 0, 0, 0, 0, 0,
                                        HWND_MESSAGE, nullptr, marker.hInstance, nullptr);
    if (!markerWindow)
        return false;
    Marker().Watched = window;
    Marker().Rounds = 0;
    PostMessageW(markerWindow, EndMarker, 0, 0);
    AppRunMessageLoop(window);
    DestroyWindow(markerWindow);
    return Marker().Rounds <= MarkerRounds;
}

} // namespace programloop

#endif // PROGRAMLOOP_H
