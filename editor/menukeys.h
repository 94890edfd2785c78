// The shortcut keys shown in the File menu, beside the commands they run.
#ifndef MENUKEYS_H
#define MENUKEYS_H

#include <windows.h>

// Appends a tab and the key's name (from the program's string table) to the
// menu texts of New, Open, Save and Save As, whatever text the menu item
// holds; a key shown before is replaced, not repeated.
void EditShowShortcutKeys(HWND window);

#endif // MENUKEYS_H
