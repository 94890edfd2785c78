/*
 * setfile.h - the set file: a comment header with the set's name, the
 * file's base name and the description, then one line per dimension with
 * its selected unit symbol. One byte per character, CR LF line ends.
 */
#ifndef SETFILE_H
#define SETFILE_H

#include <windows.h>
#include <stdint.h>
#include <stdio.h>
#include "vel32.h"

#define SETFILE_DESCRIPTION_CHARS 2000   /* capacity without the terminator */

/* Writes the catalogue and the editor's description to path; 1 when the
 * file was written, 0 after the user was told it could not be. */
int16_t SetFileWrite(const wchar_t *path, const wchar_t *setName, ListHandle catalogue);

/* Reads the file into the catalogue's selections and description
 * (SETFILE_DESCRIPTION_CHARS + 1 characters); 1 when read, 0 when it
 * cannot be opened. */
int16_t SetFileRead(const wchar_t *path, ListHandle catalogue, wchar_t *description);

/* Header of the file: lines 1 up to the closing rule. Returns 0 when a
 * write fails. */
int16_t SetFileWriteHeader(FILE *stream, const wchar_t *path, const wchar_t *setName,
                           const wchar_t *description);

/* Reads the header and the description; leaves the stream at the body. */
void SetFileReadHeader(FILE *stream, wchar_t *description);

#endif /* SETFILE_H */
