// mainproc.h - the main window's procedure, the save question and the
// message loop's Tab key.
#ifndef MAINPROC_H
#define MAINPROC_H

#include <windows.h>
#include <cstdint>

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// IDOK when nothing needs saving, else the answer of EditQuerySave.
int16_t EditAskToSave(HWND window, UINT operationId);
// IDYES, IDNO or IDCANCEL; a Yes whose save fails is IDCANCEL.
int16_t EditQuerySave(HWND window, const wchar_t *operation);
// 1 when the set has unsaved changes.
int16_t EditIsModified();

// For the message loop, before it translates a message: a Tab (Shift+Tab)
// key aimed at the main window or one of its controls moves the focus to the
// next (previous) control, Description, Clear, Dimensions, Units, around the
// end. Returns 1 when it took the key, which must then go no further.
int16_t EditHandleTabKey(const MSG *message);

#endif // MAINPROC_H
