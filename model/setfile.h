// The set file: a comment header with the set's name, the file's base name
// and the description, then one line per dimension with its selected unit
// symbol. One byte per character, CR LF line ends.
//
// This layer formats, writes and reads; it shows nothing. The editor decides
// what the user is told about the result of a save.
#ifndef SETFILE_H
#define SETFILE_H

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "dimcat.h"
#include "setstamp.h"
#include "vel32.h"

constexpr size_t SetFileDescriptionChars = 2000; // capacity without the terminator

// The system's code for an operation that a folder does not support
// (ERROR_DIRECTORY_NOT_SUPPORTED, which the compiler's headers lack): a
// folder stands where the set file should be.
constexpr DWORD SetFileErrorTargetIsFolder = 336;

// What became of a save.
enum class SetFileOutcome : int16_t {
    Written,               // the file holds the set
    UnstorableDescription, // the description holds a character above code 255
    UnstorableUnit,        // a chosen unit's symbol does (UnstorableDim, UnstorableSymbol)
    CannotWrite,           // the file could not be written (SystemError tells why)
};

struct SetFileSaveResult {
    SetFileOutcome Outcome;
    const DimEntry *UnstorableDim;
    const wchar_t *UnstorableSymbol; // owned by the catalogue
    DWORD SystemError;               // the system's error code of a failed write, else 0
    SetFileStamp Written;            // Written: what the file now holds
};

// Writes the catalogue's selections and the description to path: to a new
// file beside it first, which replaces the old file only when every byte is
// on disk. Nothing is touched when the set holds what the format cannot
// store. The description is taken as it is.
SetFileSaveResult SetFileSave(const wchar_t *path, const wchar_t *setName, ListHandle catalogue,
                              const wchar_t *description);

// Reads the file into the catalogue's selections and description
// (SetFileDescriptionChars + 1 characters); 1 when read, 0 when it cannot be
// opened as a file (nothing changes then).
int16_t SetFileRead(const wchar_t *path, ListHandle catalogue, wchar_t *description);

// Header of the file: lines 1 up to the closing rule. Returns 0 when a
// write fails.
int16_t SetFileWriteHeader(FILE *stream, const wchar_t *path, const wchar_t *setName,
                           const wchar_t *description);

// Reads the header and the description; leaves the stream at the body.
void SetFileReadHeader(FILE *stream, wchar_t *description);

#endif // SETFILE_H
