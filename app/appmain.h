// appmain.h - the program's main routine: sign-on, units library, main
// window, message loop.
#ifndef APPMAIN_H
#define APPMAIN_H

#include <windows.h>

// Returns the process exit code: 0 for a refused sign-on (or a main window
// that could not be created), 1 after a normal end.
int AppMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandTail, int showCommand);

// The message loop: the shortcut keys of the main window and the files
// dropped on it, then its Tab key, then translation and dispatch; returns
// when the quit message arrives.
void AppRunMessageLoop(HWND window);

#endif // APPMAIN_H
