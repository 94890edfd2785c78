// The main window's display scale. The per-DPI calls of the system exist
// from Windows 10 1607 on; the program also runs on older systems, so they
// are looked up at run time, and without them the system DPI stands in
// (on Windows 8.1 the window still hears of a move to another scale
// through WM_DPICHANGED, whose DPI is then remembered).
#include "dpi.h"

#include "resource.h"

namespace {

// The window property that holds the remembered DPI.
constexpr wchar_t DpiProperty[] = L"UasEditDpi";

using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI *)(int, UINT);

FARPROC User32Function(const char *name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

UINT SystemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : MainDesignDpi;
}

// A system metric (an icon size) at the given DPI.
int MetricForDpi(int index, UINT dpi)
{
    static const auto forDpi = reinterpret_cast<GetSystemMetricsForDpiFunction>(
        reinterpret_cast<void *>(User32Function("GetSystemMetricsForDpi")));
    if (forDpi)
        return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

HICON LoadProgramIcon(int metricX, int metricY, UINT dpi)
{
    // Not shared: a shared icon is found again by its name whatever size is
    // asked for, and the sizes change with the scale.
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_UASEDIT_SIZES), IMAGE_ICON,
                   MetricForDpi(metricX, dpi), MetricForDpi(metricY, dpi), 0));
}

} // namespace

UINT MainWindowDpi(HWND window)
{
    const UINT remembered =
        static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetPropW(window, DpiProperty)));
    if (remembered)
        return remembered;
    static const auto forWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void *>(User32Function("GetDpiForWindow")));
    const UINT dpi = forWindow && window ? forWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

void MainWindowSetDpi(HWND window, UINT dpi)
{
    if (dpi)
        SetPropW(window, DpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
    else
        RemovePropW(window, DpiProperty);
}

int MainScale(int length, UINT dpi)
{
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(MainDesignDpi));
}

void MainWindowSetIcons(HWND window, UINT dpi)
{
    const struct {
        WPARAM Kind;
        int MetricX;
        int MetricY;
    } kinds[] = {{ICON_BIG, SM_CXICON, SM_CYICON}, {ICON_SMALL, SM_CXSMICON, SM_CYSMICON}};
    for (const auto &kind : kinds) {
        HICON icon = dpi ? LoadProgramIcon(kind.MetricX, kind.MetricY, dpi) : nullptr;
        if (dpi && !icon)
            continue;
        HICON previous = reinterpret_cast<HICON>(
            SendMessageW(window, WM_SETICON, kind.Kind, reinterpret_cast<LPARAM>(icon)));
        if (previous)
            DestroyIcon(previous);
    }
}
