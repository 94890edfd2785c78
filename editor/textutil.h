/*
 * textutil.h - filling the "%s" places of the editor's texts. The texts come
 * from translated string libraries, so they are never handed to a
 * printf-style function as its format.
 */
#ifndef TEXTUTIL_H
#define TEXTUTIL_H

#include <windows.h>

#include <initializer_list>

/* A KxMalloc block holding pattern with each "%s", in order, replaced by the
 * next value; "%s" places beyond the values become empty, other characters
 * (a lone '%' included) are copied as they are. The block is sized to the
 * result. */
wchar_t *EditSubstitute(const wchar_t *pattern, std::initializer_list<const wchar_t *> values);

/* The same for string id of a module. */
wchar_t *EditFormatText(HMODULE module, UINT id, std::initializer_list<const wchar_t *> values);

#endif /* TEXTUTIL_H */
