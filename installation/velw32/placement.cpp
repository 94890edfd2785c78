// Placing the library's windows on the screen: centred over their owner or
// cascaded from it, and always kept on the owner's screen.
#include "velwin.h"

namespace {

RECT WorkAreaNear(HWND window)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

} // namespace

void VelwPlaceOnScreen(HWND window, HWND owner, int x, int y, int width, int height, UINT flags)
{
    const RECT work = WorkAreaNear(owner ? owner : window);
    if (width > work.right - work.left)
        width = work.right - work.left;
    if (height > work.bottom - work.top)
        height = work.bottom - work.top;
    if (x + width > work.right)
        x = work.right - width;
    if (y + height > work.bottom)
        y = work.bottom - height;
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    SetWindowPos(window, nullptr, x, y, width, height, flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

void VelwCentre(HWND window, HWND owner, bool overOwner)
{
    RECT frame = {};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT around = WorkAreaNear(owner ? owner : window);
    if (overOwner && owner)
        GetWindowRect(owner, &around);
    const int x = around.left + ((around.right - around.left) - width) / 2;
    const int y = around.top + ((around.bottom - around.top) - height) / 2;
    VelwPlaceOnScreen(window, owner, x, y, width, height, SWP_NOSIZE);
}
