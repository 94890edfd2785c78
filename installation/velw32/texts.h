// Texts of the window support library's own windows. They come from the
// installation's common resource library in the profile's language, and
// from the English table compiled into velw32.dll when that library or the
// string is missing.
#ifndef VELW32_TEXTS_H
#define VELW32_TEXTS_H

#include <windows.h>
#include <string>

// The text of string id (see kxcommon.h); the empty text when neither
// module has it.
std::wstring VelwText(UINT id);

// The text of string id with each "%s", in order, replaced by the next of
// the given values; never reads past the values, whatever the text holds.
std::wstring VelwFormat(UINT id, std::initializer_list<std::wstring> values);

// Substitutes "%s" places of a loaded text safely (shared with VelwFormat).
std::wstring VelwSubstitute(const std::wstring &pattern, std::initializer_list<std::wstring> values);

// The installation's letter for a Language value of the profile ("g" for
// German, "f" for French, "j" for Japan), which its resource libraries and
// help files carry after their base name; empty for English and any value
// the installation does not know.
std::wstring VelwLanguageLetter(const std::wstring &language);

// The module handle of velw32.dll itself (resources, window classes).
HMODULE VelwModule();

// The string of a module's string table, whole ("" when absent).
std::wstring VelwLoadString(HMODULE module, UINT id);

#endif
