// The help text of a program: a UTF-8 text file NAME.txt in the folder
// that the profile's Help_Dir names.
//
// Format, line by line:
//   ; ...            a comment, skipped
//   @title TEXT      the help's title, shown in the window caption
//   @topic TITLE     starts a topic; its text is the lines that follow
//   @context N ...   binds the current topic to context numbers (blanks or
//                    commas between them); HelpContext shows that topic
//   \...             a text line that begins with the rest (so a text line
//                    may start with ';', '@', '|' or '\')
//   | A | B |        a row of a table: its cells between the bars
// Any other line is text of the current topic. Text lines that follow each
// other make one paragraph, which the window wraps to its width; an empty
// line ends the paragraph. A line that starts with "- " or "* " (a list
// item) starts a new line, and a line that starts with a blank is shown as
// it stands, on a line of its own. A line that starts with a tab is a table
// row too, its cells separated by single tabs (the parsed text holds every
// table row so: a tab, then the cells joined by tabs); the window lines the
// columns up by measuring them (HelpLayout).
// Blanks at line ends and empty lines at the start and end of a topic are
// dropped. Lines before the first topic that are no directives are
// ignored. Line ends may be LF or CR LF; a UTF-8 byte order mark is allowed.
#ifndef VELW32_HELPFILE_H
#define VELW32_HELPFILE_H

#include <windows.h>
#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

struct HelpTopic {
    std::wstring Title;
    std::vector<int32_t> Contexts;
    std::wstring Text;  // lines joined with CR LF, as an edit control shows them
};

struct HelpDocument {
    std::wstring Title;
    std::vector<HelpTopic> Topics;
};

// Parses the text of a help file.
HelpDocument HelpParse(const std::wstring &text);

// Reads and parses the file; false when it cannot be read.
bool HelpLoad(const std::wstring &path, HelpDocument &document);

// The index of the topic bound to the context, or -1.
int HelpFindContext(const HelpDocument &document, int32_t context);

// A topic's text as the help window shows it in a text field: the text,
// and the field's tab stops in its own units (a quarter of the average
// character width), none when the topic has no table. The columns of all
// tables of the topic start at common stops, each past the widest cell
// before it; a table is indented by four blanks. A row's last cell that is
// wider than the rest of the field goes on in its column on lines of their
// own, broken after a blank or, in text without blanks, between
// characters. width is the field's text width and averageCharWidth its
// average character width, in pixels; measure gives the width of a text.
struct HelpLayoutResult {
    std::wstring Text;
    std::vector<int> TabStops;
};
HelpLayoutResult HelpLayout(const std::wstring &text, int width, int averageCharWidth,
                            const std::function<int(const std::wstring &)> &measure);

#endif
