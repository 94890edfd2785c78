// Opening a set file given by its path rather than chosen in the
// set-selection dialog: named on the command line (a double-click on a set
// file) or dropped on the main window.
#ifndef SETOPEN_H
#define SETOPEN_H

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

// The set file named by the arguments (the program's name first, as
// GetArguments gives them): the first argument after the program's name
// that does not begin with "/" or "-". Those are options, such as the
// sign-on's /user:NAME, and never a path. Null when there is none.
const wchar_t *EditSetFileArgument(int32_t count, wchar_t *const *arguments);

// Opens the first of the dropped files; the drop is released. For the main
// message loop only: a drop while a dialog or box is open does nothing.
void EditDropFiles(HWND window, HDROP drop);

// Opens the set file at path, read as Open reads it. A file of the set
// folder becomes that set; a file from elsewhere becomes an unnamed set
// whose Save As offers the file's base name, so that nothing is ever written
// outside the set folder. What is not a readable set file is told to the
// user and changes nothing; unsaved changes are asked about first. 1 when
// the set was opened.
int16_t EditOpenSetFile(HWND window, const wchar_t *path);

#endif // SETOPEN_H
