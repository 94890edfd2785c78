// Guarding a set file against lost updates: the editor remembers what the
// file held when it read or wrote it, and before Save writes over the file
// it asks the user when someone else has changed or deleted it since.
#ifndef SETGUARD_H
#define SETGUARD_H

#include <windows.h>

#include <cstdint>

#include "setstamp.h"
#include "vel32.h"

// Reads the set file like SetFileRead and, when it was read, remembers what
// it held. Every way of opening a set goes through here.
int16_t EditGuardedRead(const wchar_t *path, ListHandle catalogue, wchar_t *description);

// Remembers stamp as what the file at path holds for this editor.
void EditGuardRemember(const wchar_t *path, const SetFileStamp &stamp);

// Remembers the file at path as it is now: the user has agreed to replace
// whatever stands there (Save As onto an existing set).
void EditGuardAccept(const wchar_t *path);

// Before Save writes over path: 1 when the file still holds what this
// editor read or wrote, or the user chose to replace it; 0 when the user
// chose not to save (nothing is written, the edits stay marked).
int16_t EditGuardConfirmSave(HWND owner, const wchar_t *path, const wchar_t *setName);

#endif // SETGUARD_H
