// The system's message font for the installation's windows, and dialog
// units converted to pixels on the basis of that same font.
#include "velw32.h"
#include "velwin.h"

#include <cstddef>

namespace {

// Created once and kept for the process: windows that use it may live until
// the end, so it is never deleted.
HFONT MessageFont()
{
    static HFONT font = nullptr;
    if (font)
        return font;
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    BOOL ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    if (!ok) {
        // Systems older than the headers know the record without its last field.
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    }
    if (ok)
        font = CreateFontIndirectW(&metrics.lfMessageFont);
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return font;
}

// Average character width and height of the message font, the base of
// dialog units.
struct FontBase {
    int Width;
    int Height;
};

FontBase MessageFontBase()
{
    static FontBase base = {0, 0};
    if (base.Width > 0)
        return base;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, MessageFont());
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    static const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, letters, 52, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    base.Width = (size.cx / 26 + 1) / 2;
    base.Height = metrics.tmHeight;
    if (base.Width <= 0 || base.Height <= 0) {
        // No usable metrics: the system's own dialog base.
        const LONG units = GetDialogBaseUnits();
        base.Width = LOWORD(units);
        base.Height = HIWORD(units);
    }
    return base;
}

BOOL CALLBACK SetChildFont(HWND child, LPARAM font)
{
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

} // namespace

HFONT VelwMessageFont() { return MessageFont(); }

extern "C" {

// Reaches the window and every window below it (EnumChildWindows walks the
// whole tree, children of children included).
VELW32_API int16_t WINAPI WindowSetFont(HWND window)
{
    if (!window || !IsWindow(window))
        return 0;
    HFONT font = MessageFont();
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EnumChildWindows(window, SetChildFont, reinterpret_cast<LPARAM>(font));
    return 1;
}

VELW32_API void WINAPI DlgUnitToScrCoord(int32_t x, int32_t y, int32_t *screenX, int32_t *screenY)
{
    const FontBase base = MessageFontBase();
    if (screenX)
        *screenX = MulDiv(x, base.Width, 4);
    if (screenY)
        *screenY = MulDiv(y, base.Height, 8);
}

} // extern "C"
