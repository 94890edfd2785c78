// The one builder of set-file text for the tests, made without the
// program's writer: a rule, the set's name, the file's name, the
// description cut into pieces of at most 70 characters before a space, a
// rule, then one line per dimension with the symbol from column 33; one
// byte per character, CR LF line ends. tests/e2e/setfile.py builds the same
// bytes for the end-to-end scripts and is checked against the fixed bytes
// that this builder is checked against (setfiletext_test.cpp).
#ifndef SETFILETEXT_H
#define SETFILETEXT_H

#include <string>
#include <utility>
#include <vector>

namespace setfiletext {

constexpr size_t RuleChars = 70;
constexpr size_t DescriptionWidth = 70;
constexpr size_t SymbolColumn = 33; // counted from 1

inline std::string Rule()
{
    return "* " + std::string(RuleChars, '-') + "\r\n";
}

// One byte per character; characters beyond Latin-1 become '?'.
inline std::string Latin1(const std::wstring &text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 256 ? static_cast<char>(c) : '?';
    return out;
}

// The description as the file keeps it: every line break (CR LF, CR or
// LF) one space.
inline std::string Stored(const std::string &typed)
{
    std::string stored;
    for (size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n')
            ++i;
        stored += typed[i] == '\r' || typed[i] == '\n' ? ' ' : typed[i];
    }
    return stored;
}

// The stored description cut into lines: at most 70 characters, cut before
// the last space that keeps a piece within them, or hard at 70 without one.
inline std::vector<std::string> Wrapped(const std::string &stored)
{
    std::vector<std::string> pieces;
    size_t pos = 0;
    while (stored.size() - pos > DescriptionWidth) {
        size_t n = DescriptionWidth;
        while (n > 0 && stored[pos + n] != ' ')
            --n;
        if (n == 0)
            n = DescriptionWidth;
        pieces.push_back(stored.substr(pos, n));
        pos += n;
    }
    if (stored.size() > pos)
        pieces.push_back(stored.substr(pos));
    return pieces;
}

// The comment header with the description's lines as given.
inline std::string Header(const std::string &name, const std::string &fileName,
                          const std::vector<std::string> &descriptionLines)
{
    std::string out = Rule() + "* " + name + "\r\n* " + fileName + "\r\n*\r\n";
    for (const std::string &line : descriptionLines)
        out += "*    " + line + "\r\n";
    return out + "*\r\n" + Rule();
}

// One dimension's line; a name too long for the column keeps one space.
inline std::string UnitLine(const std::string &dimension, const std::string &symbol)
{
    const size_t pad = dimension.size() < SymbolColumn - 1 ? SymbolColumn - 1 - dimension.size() : 1;
    return dimension + std::string(pad, ' ') + symbol + "\r\n";
}

using Units = std::vector<std::pair<std::string, std::string>>; // dimension, symbol

// The whole file as the editor writes it for a set.
inline std::string File(const std::string &name, const std::string &fileName, const std::string &description,
                        const Units &units)
{
    std::string out = Header(name, fileName, Wrapped(Stored(description)));
    for (const auto &u : units)
        out += UnitLine(u.first, u.second);
    return out;
}

} // namespace setfiletext

#endif // SETFILETEXT_H
