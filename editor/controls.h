// The main window's eight child controls: their creation, their fixed
// layout, and filling the Dimensions list.
#ifndef CONTROLS_H
#define CONTROLS_H

#include <windows.h>

// Creates the controls 70 to 77 and stores their handles, in ID order.
void MainControlsCreate(HWND window, HWND *setName, HWND *descLabel, HWND *description, HWND *clear,
                        HWND *dimLabel, HWND *dimList, HWND *unitLabel, HWND *unitList);

// Places the controls for the window's client size, every length scaled to
// the window's DPI (MainWindowDpi). The handles come in layout order: 70,
// 71, 72, 73, 74, 76, 75, 77.
void MainControlsLayout(HWND window, HWND setName, HWND descLabel, HWND description, HWND clear,
                        HWND dimLabel, HWND unitLabel, HWND dimList, HWND unitList);

// Fills the list box with the dimension names and selects the first.
void DimListShow(HWND listBox);

#endif // CONTROLS_H
