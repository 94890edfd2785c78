// Finding the characters a set file cannot store, and their plain stand-ins.
#include "setchars.h"

namespace {

constexpr uint32_t LargestStorable = 0xFF;

// The plain text for a character the file cannot store; null when it has none.
const wchar_t *PlainEquivalent(uint32_t codePoint)
{
    switch (codePoint) {
    case 0x2013: // en dash
    case 0x2014: // em dash
        return L"-";
    case 0x2018: // left single quotation mark
    case 0x2019: // right single quotation mark, also the typographic apostrophe
    case 0x201A: // single low-9 quotation mark
    case 0x201B: // single high-reversed-9 quotation mark
        return L"'";
    case 0x201C: // left double quotation mark
    case 0x201D: // right double quotation mark
    case 0x201E: // double low-9 quotation mark (German opening quote)
    case 0x201F: // double high-reversed-9 quotation mark
        return L"\"";
    case 0x2026: // horizontal ellipsis
        return L"...";
    default: return nullptr;
    }
}

// The character that starts at text[i]; a lone half of a surrogate pair is
// a character of its own.
SetFileCharacter CharacterAt(const wchar_t *text, size_t i)
{
    const uint32_t unit = static_cast<uint16_t>(text[i]);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        const uint32_t next = static_cast<uint16_t>(text[i + 1]);
        if (next >= 0xDC00 && next <= 0xDFFF)
            return {i, 2, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00)};
    }
    return {i, 1, unit};
}

} // namespace

bool SetFileFindUnstorable(const wchar_t *text, SetFileCharacter *found)
{
    for (size_t i = 0; text && text[i];) {
        const SetFileCharacter c = CharacterAt(text, i);
        if (c.CodePoint > LargestStorable) {
            if (found)
                *found = c;
            return true;
        }
        i += c.Length;
    }
    return false;
}

bool SetFilePlainText(const wchar_t *text, std::wstring *plain)
{
    std::wstring result;
    for (size_t i = 0; text && text[i];) {
        const SetFileCharacter c = CharacterAt(text, i);
        if (c.CodePoint <= LargestStorable) {
            result += text[i];
        } else if (const wchar_t *equivalent = PlainEquivalent(c.CodePoint)) {
            result += equivalent;
        } else {
            return false;
        }
        i += c.Length;
    }
    if (plain)
        *plain = result;
    return true;
}
