// The main window: its class registration and its creation at the start
// position and size. The window procedure and the child controls belong to
// the editor.
#ifndef MAINWND_H
#define MAINWND_H

#include <windows.h>

// Registers the class, creates and places the window; null on failure.
HWND MainWindowCreate(HWND parent);

#endif // MAINWND_H
