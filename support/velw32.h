/*
 * velw32.h - the installation's window support library as its programs call
 * it: sign-on, texts and menu texts from string tables, list-box helpers,
 * help, the product information window, font and dialog-unit helpers,
 * trimming, the set catalogue and the set-selection dialog.
 */
#ifndef VELW32_H
#define VELW32_H

#include <windows.h>
#include <stddef.h>
#include <stdint.h>
#include "vel32.h"

#ifdef VELW32_BUILD
#define VELW32_API __declspec(dllexport)
#else
#define VELW32_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Capacities of the set catalogue's fields and of the callers' buffers, in
 * wide characters with the terminator. */
#define UAS_NAME_CHARS        61
#define UAS_PATH_CHARS        261
#define UAS_SEL_PATH_CHARS    129   /* path buffer of modes 0 to 2 */
#define UAS_GLOBAL_PATH_CHARS 256   /* path buffer of mode 3 */

/* Modes of the set-selection dialog. */
#define UAS_MODE_OPEN    0
#define UAS_MODE_SAVEAS  1
#define UAS_MODE_DELETE  2
#define UAS_MODE_GLOBAL  3

/* One record of the set catalogue, shared byte for byte with other programs
 * of the installation. */
typedef struct UasInfo {
    wchar_t UasName[UAS_NAME_CHARS];
    wchar_t UasPath[UAS_PATH_CHARS];
} UasInfo;

#ifdef __cplusplus
static_assert(sizeof(UasInfo) == 644, "UasInfo is 644 bytes");
static_assert(offsetof(UasInfo, UasName) == 0, "UasName at offset 0");
static_assert(offsetof(UasInfo, UasPath) == 122, "UasPath at offset 122");
#else
_Static_assert(sizeof(UasInfo) == 644, "UasInfo is 644 bytes");
_Static_assert(offsetof(UasInfo, UasName) == 0, "UasName at offset 0");
_Static_assert(offsetof(UasInfo, UasPath) == 122, "UasPath at offset 122");
#endif

/* Sign-on. GetArguments stores the argument count through its parameter and
 * returns the argument vector; both go unchanged to LoginChkParameters, which
 * returns non-zero when the user may work. A refusal is explained to the user
 * in a message box captioned with the title. The area (240 bytes) receives
 * the sign-on record. */
#define LOGIN_AREA_BYTES 240
VELW32_API wchar_t **WINAPI GetArguments(int32_t *count);
VELW32_API int16_t WINAPI LoginChkParameters(int32_t count, wchar_t **arguments,
                                             const wchar_t *title, const wchar_t *text,
                                             int16_t flags, void *area);

/* Texts. StrLoadNewW returns a KxMalloc block (never null; the empty text
 * when the module lacks the string or is null). StrLoadW copies at most
 * capacity - 1 characters and a terminator and returns the length copied. */
VELW32_API wchar_t *WINAPI StrLoadNewW(HMODULE module, UINT id);
VELW32_API int32_t WINAPI StrLoadW(HMODULE module, UINT id, wchar_t *buffer, int32_t capacity);

/* Menu texts from a module's string table. */
VELW32_API int16_t WINAPI DlgLoadMenuText(HWND window, UINT commandId, HMODULE module, UINT id);
VELW32_API int16_t WINAPI DlgLoadMenuTextPosition(HWND window, HMENU menu, int32_t position,
                                                  HMODULE module, UINT id);

/* List boxes. LBoxFromList replaces the rows with copies of the list's
 * strings, selects the row and sends the parent WM_COMMAND with the list
 * box's ID and LBN_SELCHANGE before it returns. */
VELW32_API void WINAPI LBoxFromList(HWND listBox, ListHandle list, int16_t row);
VELW32_API int16_t WINAPI LBoxQuerySelection(HWND listBox, int16_t fallback);
VELW32_API void WINAPI LBoxSelectItem(HWND listBox, int16_t row, int16_t flags);

/* Help: a modeless help window of the library's own. The help name's file
 * is looked for in the profile's Help_Dir, in the profile's language first
 * (VOLPRAg.txt, VOLPRAf.txt, VOLPRAj.txt for German, French, Japan), then as
 * the plain VOLPRA.txt. */
VELW32_API int16_t WINAPI HelpInit(const wchar_t *helpName);
VELW32_API int16_t WINAPI HelpContext(HWND window, int32_t context);
VELW32_API int16_t WINAPI HelpTopics(HWND window);
VELW32_API int16_t WINAPI HelpQuit(HWND window);

/* The modal product information window. */
VELW32_API int16_t WINAPI AbtMapAboutWindow(HWND owner, const wchar_t *title,
                                            const wchar_t *text1, const wchar_t *text2,
                                            int16_t flags);

/* Font and dialog units: the system's message font. WindowSetFont gives the
 * window and everything below it the font made for the window's DPI;
 * WindowSetFontForDpi the one made for the DPI given (a window told by
 * WM_DPICHANGED of its new scale), which is made once per DPI and kept.
 * DlgUnitToScrCoord converts on the basis of the font at the system DPI. */
VELW32_API int16_t WINAPI WindowSetFont(HWND window);
/* The display scale: WindowGetDpi the DPI of the window (the system DPI on
 * systems without per-window scales, or for no window); MetricForDpi a
 * system metric (GetSystemMetrics index) at the DPI given. */
VELW32_API uint32_t WINAPI WindowGetDpi(HWND window);
VELW32_API int32_t WINAPI MetricForDpi(int32_t index, uint32_t dpi);
VELW32_API int16_t WINAPI WindowSetFontForDpi(HWND window, uint32_t dpi);
VELW32_API void WINAPI DlgUnitToScrCoord(int32_t x, int32_t y, int32_t *screenX, int32_t *screenY);

/* Trimming in place. RemoveBlanks removes leading and trailing white space
 * and keeps the blanks between words; RemoveEoln removes the line-end
 * characters (LF, CR) at the end of the text only. */
VELW32_API void WINAPI RemoveBlanks(wchar_t *text);
VELW32_API void WINAPI RemoveEoln(wchar_t *text);

/* The set catalogue: a list of UasInfo pointers, one per NAME.uas file of the
 * profile's Set_Dir folder, which is made (with its parents) when it does not
 * exist yet. Files named as Windows devices (CON, NUL, COM1, ...) are never
 * listed: opening one would open the device. */
VELW32_API ListHandle WINAPI UasCreateUasInfoList(KxStatus *status);
VELW32_API int16_t WINAPI UasInfoExists(ListHandle catalogue, const wchar_t *name);
VELW32_API UasInfo *WINAPI UasGetUasInfo(ListHandle catalogue, const wchar_t *name,
                                         KxStatus *status);
VELW32_API void WINAPI UasGetUasName(const wchar_t *path, wchar_t *name);

/* The modal set-selection dialog. path holds UAS_SEL_PATH_CHARS characters
 * in modes 0 to 2 and UAS_GLOBAL_PATH_CHARS in mode 3; name holds
 * UAS_NAME_CHARS (counted in UTF-16 units). Returns non-zero when the user
 * confirmed a set. A device name is refused in every mode; modes 0, 2 and 3
 * return only the path of an existing set file, never a folder or a device.
 * Mode 3 preselects a set only when the path given is that set's file. */
VELW32_API int16_t WINAPI UasMapSelDlg(HWND owner, int16_t mode, wchar_t *path, wchar_t *name);

#ifdef __cplusplus
}
#endif

#endif /* VELW32_H */
