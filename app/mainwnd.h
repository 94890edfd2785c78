/*
 * mainwnd.h - the main window: class registration, creation, its eight
 * child controls and their layout.
 */
#ifndef MAINWND_H
#define MAINWND_H

#include <windows.h>

/* Registers the class, creates and places the window; null on failure. */
HWND MainWindowCreate(HWND parent);

/* Creates the controls 70 to 77 and stores their handles, in ID order. */
void MainControlsCreate(HWND window, HWND *setName, HWND *descLabel, HWND *description,
                        HWND *clear, HWND *dimLabel, HWND *dimList, HWND *unitLabel,
                        HWND *unitList);

/* Places the controls for the window's client size. The handles come in
 * layout order: 70, 71, 72, 73, 74, 76, 75, 77. */
void MainControlsLayout(HWND window, HWND setName, HWND descLabel, HWND description, HWND clear,
                        HWND dimLabel, HWND unitLabel, HWND dimList, HWND unitList);

#endif /* MAINWND_H */
