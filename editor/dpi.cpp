// The main window's display scale, as the window library tells it (the
// per-DPI calls of the system where it has them, the system DPI without);
// on Windows 8.1 the window still hears of a move to another scale through
// WM_DPICHANGED, whose DPI is then remembered here.
#include "dpi.h"

#include "resource.h"
#include "velw32.h"

namespace {

// The window property that holds the remembered DPI.
constexpr wchar_t DpiProperty[] = L"UasEditDpi";

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
    return WindowGetDpi(window);
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
