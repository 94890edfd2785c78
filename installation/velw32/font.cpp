// The system's message font for the installation's windows, made for each
// display scale a window is shown at, and dialog units converted to pixels
// on the basis of that same font.
#include "velw32.h"
#include "velwin.h"

#include <cstddef>
#include <vector>

namespace {

using SystemParametersInfoForDpiFunction = BOOL(WINAPI *)(UINT, UINT, void *, UINT, UINT);

// Average character width and height of a font, the base of dialog units.
struct FontBase {
    int Width;
    int Height;
};

struct ScaledFont {
    UINT Dpi;
    HFONT Font;
    FontBase Base;
};

// One font per DPI, made when a window is first shown at that DPI and kept
// for the process: windows that use it may live until the end, so none is
// ever deleted. A process sees few scales, so a list is enough.
std::vector<ScaledFont> fonts;

// The message font's description at the DPI: the system's own answer for
// that DPI where it gives one, otherwise its answer at the system DPI with
// the height scaled.
bool MessageFontFace(UINT dpi, LOGFONTW &face)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    static const auto forDpi = reinterpret_cast<SystemParametersInfoForDpiFunction>(
        reinterpret_cast<void *>(VelwUser32Function("SystemParametersInfoForDpi")));
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi)) {
        face = metrics.lfMessageFont;
        return true;
    }
    BOOL ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    if (!ok) {
        // Systems older than the headers know the record without its last field.
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    }
    if (!ok)
        return false;
    face = metrics.lfMessageFont;
    const UINT systemDpi = VelwSystemDpi();
    if (dpi != systemDpi)
        face.lfHeight = MulDiv(face.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi));
    return true;
}

FontBase MeasureBase(HFONT font)
{
    FontBase base = {0, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    static const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, letters, 52, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    base.Width = (size.cx / 26 + 1) / 2;
    base.Height = metrics.tmHeight;
    return base;
}

const ScaledFont &FontFor(UINT dpi)
{
    if (dpi == 0)
        dpi = VelwSystemDpi();
    for (const ScaledFont &known : fonts)
        if (known.Dpi == dpi)
            return known;
    ScaledFont made = {dpi, nullptr, {0, 0}};
    LOGFONTW face = {};
    if (MessageFontFace(dpi, face))
        made.Font = CreateFontIndirectW(&face);
    if (!made.Font)
        made.Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    made.Base = MeasureBase(made.Font);
    if (made.Base.Width <= 0 || made.Base.Height <= 0) {
        // No usable metrics: the system's own dialog base, at the scale.
        const LONG units = GetDialogBaseUnits();
        const UINT systemDpi = VelwSystemDpi();
        made.Base.Width = MulDiv(LOWORD(units), static_cast<int>(dpi), static_cast<int>(systemDpi));
        made.Base.Height =
            MulDiv(HIWORD(units), static_cast<int>(dpi), static_cast<int>(systemDpi));
    }
    fonts.push_back(made);
    return fonts.back();
}

BOOL CALLBACK SetChildFont(HWND child, LPARAM font)
{
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

} // namespace

HFONT VelwMessageFont(UINT dpi)
{
    return FontFor(dpi).Font;
}

void VelwDialogUnits(UINT dpi, int x, int y, int *screenX, int *screenY)
{
    const FontBase base = FontFor(dpi).Base;
    if (screenX)
        *screenX = MulDiv(x, base.Width, 4);
    if (screenY)
        *screenY = MulDiv(y, base.Height, 8);
}

extern "C" {

// The font made for the window's own DPI.
VELW32_API int16_t WINAPI WindowSetFont(HWND window)
{
    if (!window || !IsWindow(window))
        return 0;
    return WindowSetFontForDpi(window, VelwWindowDpi(window));
}

// Reaches the window and every window below it (EnumChildWindows walks the
// whole tree, children of children included).
VELW32_API int16_t WINAPI WindowSetFontForDpi(HWND window, uint32_t dpi)
{
    if (!window || !IsWindow(window) || dpi == 0)
        return 0;
    HFONT font = VelwMessageFont(dpi);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EnumChildWindows(window, SetChildFont, reinterpret_cast<LPARAM>(font));
    return 1;
}

// Without a window to ask, the system DPI: the scale at which a program's
// windows first appear.
VELW32_API void WINAPI DlgUnitToScrCoord(int32_t x, int32_t y, int32_t *screenX, int32_t *screenY)
{
    int width = 0;
    int height = 0;
    VelwDialogUnits(VelwSystemDpi(), x, y, &width, &height);
    if (screenX)
        *screenX = width;
    if (screenY)
        *screenY = height;
}

} // extern "C"
