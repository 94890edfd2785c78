// The display scale of the library's windows. The per-DPI calls of the
// system exist from Windows 10 1607 on; the installation's programs also
// run on older systems, so the calls are looked up at run time, and
// without them the system DPI stands in.
#include "velw32.h"
#include "velwin.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI *)(int, UINT);

} // namespace

FARPROC VelwUser32Function(const char *name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

UINT VelwSystemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : VelwDesignDpi;
}

UINT VelwWindowDpi(HWND window)
{
    static const auto forWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void *>(VelwUser32Function("GetDpiForWindow")));
    const UINT dpi = forWindow && window ? forWindow(window) : 0;
    return dpi ? dpi : VelwSystemDpi();
}

int VelwScale(int length, UINT dpi)
{
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(VelwDesignDpi));
}

int VelwMetricForDpi(int index, UINT dpi)
{
    static const auto forDpi = reinterpret_cast<GetSystemMetricsForDpiFunction>(
        reinterpret_cast<void *>(VelwUser32Function("GetSystemMetricsForDpi")));
    if (forDpi)
        return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi),
                  static_cast<int>(VelwSystemDpi()));
}

VELW32_API uint32_t WINAPI WindowGetDpi(HWND window)
{
    return VelwWindowDpi(window);
}

VELW32_API int32_t WINAPI MetricForDpi(int32_t index, uint32_t dpi)
{
    return VelwMetricForDpi(index, dpi ? dpi : VelwSystemDpi());
}
