// Tables in help files: the rows the reader makes of "| A | B |" lines, and
// how the help window lays them out for its text field (tab stops measured
// from the widest cells, a long last cell continued in its column), with a
// measure of fixed character widths.
#include <gtest/gtest.h>

#include "helpfile.h"
#include "testfiles.h"

#include <string>
#include <vector>

namespace {

using testfiles::Utf8;

std::wstring TopicText(const std::wstring &lines)
{
    const HelpDocument document = HelpParse(L"@topic T\n" + lines);
    return document.Topics.empty() ? L"<no topic>" : document.Topics[0].Text;
}

TEST(HelpTableRows, BarsMakeRowsOfTabSeparatedCells)
{
    const struct {
        const wchar_t *Lines, *Text;
    } rows[] = {
        {L"| Ctrl+N | New |", L"\tCtrl+N\tNew"},
        {L"|Ctrl+N|New", L"\tCtrl+N\tNew"}, // no blanks, no closing bar
        {L"| Alt+F4 | closes | the editor |  ", L"\tAlt+F4\tcloses\tthe editor"},
        {L"| | only the second |", L"\t\tonly the second"}, // an empty cell keeps its column
        {L"| a\tb | c |", L"\ta b\tc"},                     // a tab in a cell is a blank
        {L"| one |", L"\tone"},
        // Rows are lines of their own, between paragraph lines.
        {L"Keys:\n| F1 | help |\n| Esc | close |\nafter",
         L"Keys:\r\n\tF1\thelp\r\n\tEsc\tclose\r\nafter"},
        // Escaped, a bar is text of the paragraph.
        {L"text\n\\| not | a row", L"text | not | a row"},
        // Lines with a leading blank stay as they stand; a leading tab is a row.
        {L"    Alt+F   kept as written", L"    Alt+F   kept as written"},
        {L"\tF1\thelp", L"\tF1\thelp"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(TopicText(row.Lines), row.Text) << Utf8(row.Lines);
}

// Every character is 10 pixels wide, the average 8: a tab-stop unit is 2
// pixels, the four-blank indent 40 pixels (20 units), the gap 16 pixels.
int TenEach(const std::wstring &text)
{
    return static_cast<int>(text.size()) * 10;
}

TEST(HelpTableLayout, StopsFollowTheWidestCellOfEachColumn)
{
    const struct {
        const char *Name;
        std::wstring Text;
        int Width;
        std::vector<int> Stops;
        std::wstring Shown;
    } rows[] = {
        {"no table: no stops, the text as it is",
         L"Plain\r\n    Alt+F   kept",
         300,
         {},
         L"Plain\r\n    Alt+F   kept"},
        // Column 1 starts past "Ctrl+Shift+S" (120 px) from the indent (40)
        // and the gap (16): 176 px, 88 units.
        {"two columns",
         L"Keys:\r\n\tCtrl+N\tNew\r\n\tCtrl+Shift+S\tSave As",
         400,
         {20, 88},
         L"Keys:\r\n\tCtrl+N\tNew\r\n\tCtrl+Shift+S\tSave As"},
        // Two tables of a topic share their stops.
        {"two tables",
         L"\tF1\thelp\r\n\r\nOther:\r\n\tPage Up/Down\tpage",
         400,
         {20, 88},
         L"\tF1\thelp\r\n\r\nOther:\r\n\tPage Up/Down\tpage"},
        // A cell with no cell after it does not widen its column.
        {"last cells do not count",
         L"\tA\tB\tC\r\n\tA very long last one",
         600,
         {20, 33, 46},
         L"\tA\tB\tC\r\n\tA very long last one"},
        // Each stop is counted from the one before: 40 + 30 + 16 = 86 px (43
        // units), 86 + 30 + 16 = 132 px (66 units).
        {"three columns",
         L"\tab\tcde\tf\r\n\tabc\td\tg",
         600,
         {20, 43, 66},
         L"\tab\tcde\tf\r\n\tabc\td\tg"},
    };
    for (const auto &row : rows) {
        const HelpLayoutResult layout = HelpLayout(row.Text, row.Width, 8, TenEach);
        EXPECT_EQ(layout.TabStops, row.Stops) << row.Name;
        EXPECT_EQ(layout.Text, row.Shown) << row.Name;
    }
}

TEST(HelpTableLayout, ALongLastCellGoesOnInItsColumn)
{
    // Japanese, without blanks: 25 characters, the 22nd a full stop.
    const std::wstring japanese = L"\u30c8\u30d4\u30c3\u30af\u3001\u30c6\u30ad\u30b9\u30c8\u3001"
                                  L"\u9589\u3058\u308b\u306e\u9593\u3092\u79fb\u52d5\u3057\u307e"
                                  L"\u3059\u3002\u3042\u3044\u3046";
    const struct {
        const char *Name;
        std::wstring Text;
        int Width;
        std::wstring Shown;
    } rows[] = {
        // Column 1 starts at 86 px (43 units): 300 px leave 212 for it, less
        // two pixels: 21 characters a line, broken after a blank.
        {"broken after blanks", L"\tTab\tmoves between the topics, the text and Close", 300,
         L"\tTab\tmoves between the\r\n\t\ttopics, the text and\r\n\t\tClose"},
        {"fits as it is", L"\tTab\tmoves between", 300, L"\tTab\tmoves between"},
        // Without blanks, between characters; a full stop or comma never
        // starts a line.
        {"no blanks", L"\tTab\t" + japanese, 300,
         L"\tTab\t" + japanese.substr(0, 20) + L"\r\n\t\t" + japanese.substr(20)},
        // Japanese with a blank: broken between characters near the end, not
        // at the blank far before it ("Alt+F4": column 1 at 116 px, 18
        // characters a line).
        {"Japanese with a blank",
         L"\tAlt+F4\t[\u7d42\u4e86] \u3068\u540c\u3058\u3088\u3046\u306b\u30a8\u30c7\u30a3"
         L"\u30bf\u30fc\u3092\u9589\u3058\u308b",
         300,
         L"\tAlt+F4\t[\u7d42\u4e86] \u3068\u540c\u3058\u3088\u3046\u306b\u30a8\u30c7\u30a3"
         L"\u30bf\u30fc\u3092\u9589\r\n\t\t\u3058\u308b"},
        // A word longer than the column is broken inside ("F1": column 1 at
        // 76 px, 22 characters a line).
        {"one long word", L"\tF1\t" + std::wstring(25, L'x'), 300,
         L"\tF1\t" + std::wstring(22, L'x') + L"\r\n\t\t" + std::wstring(3, L'x')},
        // A pair of UTF-16 units is never split.
        {"surrogate pair", L"\tF1\t" + std::wstring(21, L'x') + L"\U0001F600yy", 300,
         L"\tF1\t" + std::wstring(21, L'x') + L"\r\n\t\t\U0001F600yy"},
        // A field too narrow for a few words in the column: the field wraps.
        {"too narrow to break", L"\tTab\tmoves between the topics", 150,
         L"\tTab\tmoves between the topics"},
    };
    for (const auto &row : rows) {
        const HelpLayoutResult layout = HelpLayout(row.Text, row.Width, 8, TenEach);
        EXPECT_EQ(layout.Text, row.Shown) << row.Name;
    }
}

} // namespace
