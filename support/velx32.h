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

/* The user's global default set, as a set file path (empty when none was
 * chosen yet). path holds UNIT_GLOBAL_PATH_CHARS characters. */
VELX32_API void WINAPI UserGetGlobalUnitSet(wchar_t *path);
VELX32_API void WINAPI UserSetGlobalUnitSet(const wchar_t *path);

#ifdef __cplusplus
}
#endif

#endif /* VELX32_H */
