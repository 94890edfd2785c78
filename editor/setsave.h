// Saving the set being edited: the description is taken from its control,
// the set file is written, and the user is told when it could not be.
#ifndef SETSAVE_H
#define SETSAVE_H

#include <windows.h>

#include <cstdint>

#include "vel32.h"

// Writes the catalogue and the editor's description to path; 1 when the
// file was written (Modified is cleared), 0 after the user was told why it
// could not be (Description and Modified stay as they were).
int16_t SetFileWrite(const wchar_t *path, const wchar_t *setName, ListHandle catalogue);

#endif // SETSAVE_H
