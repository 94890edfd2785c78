// Shared inside the window support library: the font of its windows and
// their placement on the screen.
#ifndef VELWIN_H
#define VELWIN_H

#include <windows.h>

// The system's message font, created once per process and never deleted.
HFONT VelwMessageFont();

// Moves (and, without SWP_NOSIZE in flags, sizes) a window, kept inside the
// work area of the owner's screen (the window's own without an owner).
void VelwPlaceOnScreen(HWND window, HWND owner, int x, int y, int width, int height, UINT flags);

// Centres a window over its owner (overOwner) or over the work area of the
// owner's screen, kept on that screen.
void VelwCentre(HWND window, HWND owner, bool overOwner);

#endif
