// The editor's texts: filling their "%s" places, and showing them in message
// boxes. The texts come from translated string libraries, so they are never
// handed to a printf-style function as its format.
#ifndef TEXTUTIL_H
#define TEXTUTIL_H

#include <windows.h>

#include <initializer_list>

// A KxMalloc block holding pattern with each "%s", in order, replaced by the
// next value; "%s" places beyond the values become empty, other characters
// (a lone '%' included) are copied as they are. The block is sized to the
// result. Null when no block can be had.
wchar_t *EditSubstitute(const wchar_t *pattern, std::initializer_list<const wchar_t *> values);

// The same for string id of a module.
wchar_t *EditFormatText(HMODULE module, UINT id, std::initializer_list<const wchar_t *> values);

// Whether a box is announced by the warning beep.
enum class EditBeep { No, Yes };

// Shows text (empty for null) in a message box with the caption of the
// string module's string captionId (an empty caption for 0); returns the
// user's answer.
int EditMessageBox(HWND owner, const wchar_t *text, UINT captionId, UINT style, EditBeep beep);

// The same for the string module's string textId.
int EditMessageBoxId(HWND owner, UINT textId, UINT captionId, UINT style, EditBeep beep);

#endif // TEXTUTIL_H
