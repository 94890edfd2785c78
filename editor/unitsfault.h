// Why the units data could not be loaded, worded for the user from the
// units library's fault record.
#ifndef UNITSFAULT_H
#define UNITSFAULT_H

#include <windows.h>

// "Error reading system unit files." and, below it, which file, which line
// and what is wrong, as far as the units library can tell; a KxMalloc block
// (null when no block can be had).
wchar_t *EditUnitsFailureText();

#endif // UNITSFAULT_H
