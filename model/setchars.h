// The characters a set file cannot store (one byte per character: codes 0 to
// 255), and the plain characters that may stand for the typographic ones
// that word processors put into a text on their own.
#ifndef SETCHARS_H
#define SETCHARS_H

#include <cstddef>
#include <cstdint>
#include <string>

// One character of a text: where it starts, how many UTF-16 units it takes
// (2 for a surrogate pair) and its code point.
struct SetFileCharacter {
    size_t Offset;
    size_t Length;
    uint32_t CodePoint;
};

// The first character of text that a set file cannot store; false when it
// can store every one (a null text counts as empty).
bool SetFileFindUnstorable(const wchar_t *text, SetFileCharacter *found);

// text with each character that a set file cannot store replaced by its
// plain equivalent: en and em dashes by "-", typographic single quotes by
// "'", typographic double quotes by '"', the ellipsis by "...". False, and
// plain untouched, when some character has no such equivalent.
bool SetFilePlainText(const wchar_t *text, std::wstring *plain);

#endif // SETCHARS_H
