// The set-name label at the top of the main window. Its whole text is kept
// in the editor state; the label shows it on one line of its width: when
// the whole is too wide, the part that names the set or its file is
// shortened with an ellipsis, and a tooltip on the label gives the whole
// text. Every change of the window's size fits it again.
#ifndef SETLABEL_H
#define SETLABEL_H

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

// text with its part [start, start + count) shortened so that the whole is
// at most width wide as measure measures it: the part keeps its beginning
// and, when it ends in a file extension, that extension, with an ellipsis
// between. The whole text when it fits, or when width is 0 or less (a
// label not laid out yet).
std::wstring EditFitText(const std::wstring &text, size_t start, size_t count, int width,
                         const std::function<int(const std::wstring &)> &measure);

// Remembers text (cut to the label's capacity) as the label's whole text,
// of which [nameStart, nameStart + nameChars) names the set or its file,
// and shows it fitted in label.
void EditSetNameLabelText(HWND label, const wchar_t *text, size_t nameStart, size_t nameChars);

// The label of an unnamed set read from a file outside the set folder:
// prefix, then pattern with its first "%s" filled by none and its second by
// file; the file name is what is shortened.
void EditShowFileSetName(const wchar_t *prefix, const wchar_t *none, const wchar_t *pattern,
                         const wchar_t *file);

// Shows the remembered whole text fitted in label again, for its present
// width and font.
void EditFitSetNameLabel(HWND label);

// The tooltip's text: the label's whole text while the label shows it
// shortened, else empty.
std::wstring EditSetNameTipText();

#endif // SETLABEL_H
