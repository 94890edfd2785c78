/*
 * vel32.h - the installation's general support library as its programs call
 * it: memory blocks, ordered lists with caller-owned iterators, ordinal string
 * comparison and reading the installation profile.
 *
 * Every call that can fail takes the address of a status word as its last
 * argument and writes it on every call: 0 is success, anything else failure.
 */
#ifndef VEL32_H
#define VEL32_H

#include <windows.h>
#include <stdint.h>

#ifdef VEL32_BUILD
#define VEL32_API __declspec(dllexport)
#else
#define VEL32_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Signed 16-bit status word: 0 success, any other value failure. */
typedef int16_t KxStatus;

/* Opaque handle to an ordered sequence of item pointers. Items are neither
 * copied nor interpreted by the list. */
typedef struct KxListRec *ListHandle;

/* Caller-owned iterator: exactly one pointer-sized word. */
typedef struct ListIterator {
    void *Position;
} ListIterator;

#ifdef __cplusplus
static_assert(sizeof(ListIterator) == sizeof(void *), "ListIterator is one pointer-sized word");
static_assert(sizeof(KxStatus) == 2 && (KxStatus)-1 < 0, "the status word is signed 16-bit");
#else
_Static_assert(sizeof(ListIterator) == sizeof(void *), "ListIterator is one pointer-sized word");
_Static_assert(sizeof(KxStatus) == 2 && (KxStatus)-1 < 0, "the status word is signed 16-bit");
#endif

/* Memory blocks. KxFree releases blocks from KxMalloc, KxStrdupW and
 * StrLoadNewW (velw32). */
VEL32_API void *WINAPI KxMalloc(uint32_t size);
VEL32_API void WINAPI KxFree(void *block);
VEL32_API wchar_t *WINAPI KxStrdupW(const wchar_t *text);

/* The blocks from KxMalloc, KxStrdupW and StrLoadNewW that are not released
 * yet, and the bytes they hold as the library counts them: a block of up to
 * 1 KB its size rounded up to a multiple of 8 (a zero-sized block holds 8),
 * a larger one as the heap counts it. Either pointer may be null. For tests
 * and measurements: other threads may change the counts at any time. */
VEL32_API void WINAPI KxMemoryUsage(uint32_t *blocks, uint64_t *bytes);

/* Lists. ListFree releases the list only, never its items. */
VEL32_API ListHandle WINAPI ListCreate(KxStatus *status);
VEL32_API void WINAPI ListAddBack(ListHandle list, void *item, KxStatus *status);
VEL32_API void *WINAPI ListFindIth(ListHandle list, int32_t position, KxStatus *status);
VEL32_API void WINAPI ListIteratorInit(ListIterator *iterator, ListHandle list);
VEL32_API int16_t WINAPI ListIteratorNext(ListIterator *iterator, void **item);
VEL32_API void WINAPI ListFree(ListHandle list);

/* Ordinal comparisons: 0 exactly when the strings are equal (IntlStrCmpIW:
 * equal ignoring letter case); otherwise negative or positive. */
VEL32_API int32_t WINAPI IntlStrCmpW(const wchar_t *a, const wchar_t *b);
VEL32_API int32_t WINAPI IntlStrCmpIW(const wchar_t *a, const wchar_t *b);

/* Reads a value of the installation profile (an INI file named by the
 * environment variable KALVEX_PROFILE, otherwise kalvex.ini beside the
 * program file). On entry *size holds the buffer's capacity in wide
 * characters, terminator included. Returns the status as well.
 * - Found and fitting: the value, NUL-terminated, is in the buffer; status 0;
 *   *size is left as it was.
 * - Found but too long (length + 1 > *size): the value is never cut. Status
 *   non-zero, the buffer is not touched, and *size is set to the capacity the
 *   value needs (its length + 1). A *size of 0 thus asks for the length.
 * - Missing file, section or key: status non-zero, the buffer is not touched,
 *   *size is set to 0.
 * A negative *size or a null argument gives a non-zero status and changes
 * nothing.
 * Values travel with the installation. Before the capacity is checked:
 * 1. %NAME% references are replaced by the environment variable's value
 *    (ExpandEnvironmentStringsW). A reference to a variable that is not set
 *    makes the value unavailable (non-zero status, *size 0), and so does a
 *    reference still left after the replacement (a variable whose own value
 *    holds %OTHER%); ProfGetUnsetVariableW names that variable. A NAME is
 *    the text between two percent signs when it is not empty, neither
 *    begins nor ends with a blank and holds none of \ / ; : or a tab
 *    ("%UAS DATA%" is a reference, "50% and 100%" is none).
 * 2. A value that then starts with ".\", "..\", "./" or "../", or is
 *    exactly "." or "..", is taken relative to the folder of the profile file
 *    that was read and becomes a full path without "." or ".." parts. For a
 *    key whose name ends in "_Dir" or "_File" (a place), so is any other
 *    relative path, a bare name included ("sets", "data\units.txt"); paths
 *    from a drive's root ("\x"), with a drive ("C:\x", "C:x") or UNC paths
 *    are given as written. Every other value (words such as German, lists)
 *    is given as written.
 * The capacity rule above applies to the value after both steps. */
VEL32_API int16_t WINAPI ProfReadStringW(const wchar_t *section, const wchar_t *key,
                                         wchar_t *buffer, int32_t *size, KxStatus *status);

/* 1 when the key's value in the profile refers to an environment variable
 * that is not set, with the first such variable's name in name (at most
 * capacity characters with the terminator); 0 otherwise (name empty). */
VEL32_API int16_t WINAPI ProfGetUnsetVariableW(const wchar_t *section, const wchar_t *key,
                                               wchar_t *name, int32_t capacity);

/* What the profile holds for a key, for a caller that must tell a value
 * that is not there from one that is there but cannot be used (a guard must
 * refuse on the second, never treat it as the first):
 * - PROF_VALUE_PRESENT: ProfReadStringW gives the value (given room).
 * - PROF_VALUE_ABSENT: the profile has no such section or key.
 * - PROF_VALUE_NO_PROFILE: there is no profile file (nothing names one, or
 *   the file named does not exist); every key reads as absent.
 * - PROF_VALUE_UNSET_VARIABLE: the value refers to an environment variable
 *   that is not set; its name is in variable (as ProfGetUnsetVariableW).
 * - PROF_VALUE_UNREADABLE: the profile file is there but cannot be read
 *   (no access, held by another program, larger than a profile can be), or
 *   the value cannot be made a full path.
 * variable may be null (capacity then 0); otherwise it is always
 * terminated, empty unless the state is PROF_VALUE_UNSET_VARIABLE. */
#define PROF_VALUE_PRESENT 0
#define PROF_VALUE_ABSENT 1
#define PROF_VALUE_NO_PROFILE 2
#define PROF_VALUE_UNSET_VARIABLE 3
#define PROF_VALUE_UNREADABLE 4
VEL32_API int16_t WINAPI ProfGetValueStateW(const wchar_t *section, const wchar_t *key,
                                            wchar_t *variable, int32_t capacity);

#ifdef __cplusplus
}
#endif

#endif /* VEL32_H */
