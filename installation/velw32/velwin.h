// Shared inside the window support library: the display scale, the font of
// its windows and their placement on the screen.
#ifndef VELWIN_H
#define VELWIN_H

#include <windows.h>

// The DPI at which the library's pixel lengths hold as they are written.
constexpr UINT VelwDesignDpi = 96;

// A function of user32 that older systems lack, or null.
FARPROC VelwUser32Function(const char *name);

// The system DPI, and the window's own where the system knows it (Windows 10
// 1607 on; otherwise the system DPI).
UINT VelwSystemDpi();
UINT VelwWindowDpi(HWND window);

// A length drawn for 96 DPI at the given DPI, rounded to the nearest pixel.
int VelwScale(int length, UINT dpi);

// A system metric (GetSystemMetrics) at the given DPI.
int VelwMetricForDpi(int index, UINT dpi);

// The system's message font made for a DPI: made once per DPI and process,
// never deleted.
HFONT VelwMessageFont(UINT dpi);

// Dialog units in pixels, on the basis of the message font made for a DPI.
void VelwDialogUnits(UINT dpi, int x, int y, int *screenX, int *screenY);

// Moves (and, without SWP_NOSIZE in flags, sizes) a window, kept inside the
// work area of the owner's screen (the window's own without an owner).
void VelwPlaceOnScreen(HWND window, HWND owner, int x, int y, int width, int height, UINT flags);

// Centres a window over its owner (overOwner) or over the work area of the
// owner's screen, kept on that screen.
void VelwCentre(HWND window, HWND owner, bool overOwner);

#endif
