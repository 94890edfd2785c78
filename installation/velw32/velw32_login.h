/*
 * velw32_login.h - the sign-on record that LoginChkParameters writes into
 * the caller's sign-on area (LOGIN_AREA_BYTES). Other programs of the
 * installation may read it; its size never exceeds the area.
 */
#ifndef VELW32_LOGIN_H
#define VELW32_LOGIN_H

#include <windows.h>
#include <stdint.h>

#define LOGIN_RECORD_MAGIC 0x4E4F534Bu  /* "KSON" read as little-endian bytes */
#define LOGIN_USER_CHARS   100           /* user name with terminator; longer names are cut */

typedef struct LoginRecord {
    uint32_t Magic;                      /* LOGIN_RECORD_MAGIC when signed on, 0 otherwise */
    uint32_t Size;                       /* sizeof(LoginRecord) */
    FILETIME SignOnTime;                 /* UTC */
    uint32_t ProcessId;
    wchar_t User[LOGIN_USER_CHARS];      /* the Windows user who signed on */
} LoginRecord;

#ifdef __cplusplus
static_assert(sizeof(LoginRecord) <= 240, "the record fits the sign-on area");
#else
_Static_assert(sizeof(LoginRecord) <= 240, "the record fits the sign-on area");
#endif

#endif /* VELW32_LOGIN_H */
