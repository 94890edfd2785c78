// mainproc.h - the main window's procedure and the save question.
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

#endif // MAINPROC_H
