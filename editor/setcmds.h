// setcmds.h - the commands that act on whole sets: New, Open, Save,
// Save As, Delete, Global Default, and the two Help commands.
#ifndef SETCMDS_H
#define SETCMDS_H

#include <windows.h>
#include <cstdint>
#include "vel32.h"

void EditNewSet();
void EditResetSet(ListHandle catalogue);
int16_t EditOpenSet(HWND window);
int16_t EditSaveSet();
int16_t EditSaveSetAs(HWND window);
void EditDeleteSet(HWND window);
void EditGlobalDefault(HWND window);
void EditUsingHelp(HWND window);
void EditProductInfo(HWND window);
// Adds a record for a set of the set folder that the catalogue lacks.
void EditRememberSet(const wchar_t *path, const wchar_t *name);

#endif // SETCMDS_H
