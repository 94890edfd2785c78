/*
 * velx32.h - the installation's units library as its programs call it: the
 * physical dimensions, their unit symbols, and the user's global default set.
 */
#ifndef VELX32_H
#define VELX32_H

#include <windows.h>
#include <stdint.h>
#include "vel32.h"

#ifdef VELX32_BUILD
#define VELX32_API __declspec(dllexport)
#else
#define VELX32_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Null-terminated array of wide strings, owned by the library until it is
 * given back with UnitDestroyList. */
typedef wchar_t **UnitList;

/* Capacity of the global unit set path, terminator included. */
#define UNIT_GLOBAL_PATH_CHARS 256

/* Initialises the library; writes 0 to *result on success. Call once after
 * sign-on, before the other calls. */
VELX32_API int16_t WINAPI UnitInitialize(int32_t *result);

/* All dimension names, in the same order at every call. */
VELX32_API UnitList WINAPI UnitGetDimList(KxStatus *status);
/* The unit symbols of one dimension, in the library's order. */
VELX32_API UnitList WINAPI UnitGetSymList(const wchar_t *dimension, KxStatus *status);
VELX32_API void WINAPI UnitDestroyList(UnitList list);

/* Why the units library could not be loaded, as UnitGetLoadFault tells it.
 * The program words the message itself; these codes never change value. */
typedef enum UnitFaultCode {
    UNIT_FAULT_NONE = 0,                   /* loaded */
    UNIT_FAULT_NO_PROFILE_KEY = 1,         /* no profile, or no Units_File in its Kalvex_Section */
    UNIT_FAULT_PROFILE_VALUE_EMPTY = 2,    /* Units_File is there but names no file */
    UNIT_FAULT_PROFILE_VALUE_TOO_LONG = 3, /* Units_File is longer than a usable path */
    UNIT_FAULT_OPEN = 4,                   /* the units file cannot be opened; SystemError says why */
    UNIT_FAULT_READ = 5,                   /* it opened but cannot be read; SystemError says why, 0 when
                                              it changed size while being read */
    UNIT_FAULT_FILE_TOO_LARGE = 6,         /* larger than UNIT_FILE_MAX_BYTES */
    UNIT_FAULT_NOT_UTF8 = 7,               /* Line holds bytes that are not UTF-8 */
    UNIT_FAULT_BAD_NAME = 8,               /* the name on Line holds a control or white-space
                                              character (shown as U+FFFD in Detail) */
    UNIT_FAULT_BAD_SYMBOL = 9,             /* the same for the symbol in Detail */
    UNIT_FAULT_NAME_TOO_LONG = 10,         /* name longer than UNIT_NAME_MAX_CHARS */
    UNIT_FAULT_SYMBOL_TOO_LONG = 11,       /* symbol longer than UNIT_SYMBOL_MAX_CHARS */
    UNIT_FAULT_UNSTORABLE_NAME = 12,       /* name with a character above U+00FF: a set file
                                              cannot store it */
    UNIT_FAULT_UNSTORABLE_SYMBOL = 13,     /* the same for the symbol in Detail */
    UNIT_FAULT_TOO_MANY_SYMBOLS = 14,      /* the dimension in Detail has more than
                                              UNIT_MAX_SYMBOLS symbols */
    UNIT_FAULT_DUPLICATE_NAME = 15,        /* the name on Line equals an earlier one, letter
                                              case ignored */
    UNIT_FAULT_TOO_MANY_DIMENSIONS = 16,   /* Line holds dimension UNIT_MAX_DIMENSIONS + 1 */
    UNIT_FAULT_NO_DIMENSIONS = 17,         /* comments and blank lines only, or empty */
    UNIT_FAULT_NO_MEMORY = 18,             /* ran out of memory while loading */
    UNIT_FAULT_PROFILE_VALUE_UNREADABLE = 19 /* Units_File is there but cannot be had: it refers
                                                to an environment variable that is not set, or
                                                the profile cannot be read */
} UnitFaultCode;

/* Limits of the units file. The programs number the rows of their lists,
 * and the chosen unit of a dimension, in 16 bits. */
enum {
    UNIT_MAX_DIMENSIONS = 32767,
    UNIT_MAX_SYMBOLS = 32767,  /* of one dimension */
    UNIT_NAME_MAX_CHARS = 31,
    UNIT_SYMBOL_MAX_CHARS = 1023,
    UNIT_FILE_MAX_BYTES = 16 * 1024 * 1024,
    UNIT_FAULT_FILE_CHARS = 260,
    UNIT_FAULT_DETAIL_CHARS = 64
};

typedef struct UnitLoadFault {
    int32_t Code;         /* a UnitFaultCode */
    int32_t Line;         /* 1-based line of the units file, 0 when the fault has none */
    uint32_t SystemError; /* GetLastError() of a failed open or read, else 0 */
    wchar_t File[UNIT_FAULT_FILE_CHARS];     /* the units file's path, or "Units_File" for the
                                                profile faults; cut to fit, always terminated */
    wchar_t Detail[UNIT_FAULT_DETAIL_CHARS]; /* the offending name or symbol, cut to fit, always
                                                terminated; empty when the fault names none */
} UnitLoadFault;

#ifdef __cplusplus
static_assert(sizeof(UnitLoadFault) == 12 + 2 * (UNIT_FAULT_FILE_CHARS + UNIT_FAULT_DETAIL_CHARS),
              "UnitLoadFault has one layout in 32 and 64 bits");
#else
_Static_assert(sizeof(UnitLoadFault) == 12 + 2 * (UNIT_FAULT_FILE_CHARS + UNIT_FAULT_DETAIL_CHARS),
               "UnitLoadFault has one layout in 32 and 64 bits");
#endif

/* Returns 1 when the units library could not be loaded and fills *fault with
 * the reason; returns 0 and clears *fault (Code UNIT_FAULT_NONE) when it
 * loaded. Loads on first use like the calls above; the answer holds for the
 * process. A null fault gives 0. */
VELX32_API int16_t WINAPI UnitGetLoadFault(UnitLoadFault *fault);

/* The user's global default set, as a set file path (empty when none was
 * chosen yet). path holds UNIT_GLOBAL_PATH_CHARS characters. */
VELX32_API void WINAPI UserGetGlobalUnitSet(wchar_t *path);
VELX32_API void WINAPI UserSetGlobalUnitSet(const wchar_t *path);

#ifdef __cplusplus
}
#endif

#endif /* VELX32_H */
