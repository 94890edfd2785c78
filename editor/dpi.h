// The main window's display scale: the DPI its layout, fonts and icons are
// made for, the design's lengths (drawn for 96 DPI) at that DPI, and the
// window's icons chosen for it.
#ifndef DPI_H
#define DPI_H

#include <windows.h>

// The DPI at which every length of the design holds as it is written.
constexpr UINT MainDesignDpi = 96;

// The DPI the window was last told of (WM_DPICHANGED), or, before that,
// the one the system gives it: the window's own where the system knows it
// (Windows 10 1607 on), otherwise the system DPI.
UINT MainWindowDpi(HWND window);

// Remembers the DPI the window is now shown at; 0 forgets it.
void MainWindowSetDpi(HWND window, UINT dpi);

// A length of the design at the given DPI, rounded to the nearest pixel.
int MainScale(int length, UINT dpi);

// Gives the window its big and small icons at the sizes the system uses at
// that DPI, from the program icon in every size, and releases the ones
// they replace. With dpi 0 it only takes the icons off and releases them.
void MainWindowSetIcons(HWND window, UINT dpi);

#endif // DPI_H
