// Shared inside the window support library: the font of its windows.
#ifndef VELWIN_H
#define VELWIN_H

#include <windows.h>

// The system's message font, created once per process and never deleted.
HFONT VelwMessageFont();

#endif
