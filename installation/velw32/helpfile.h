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
//                    may start with ';', '@' or '\')
// Any other line is text of the current topic. Text lines that follow each
// other make one paragraph, which the window wraps to its width; an empty
// line ends the paragraph. A line that starts with "- " or "* " (a list
// item) starts a new line, and a line that starts with a blank or a tab is
// shown as it stands, on a line of its own (tables of keys and the like).
// Blanks at line ends and empty lines at the start and end of a topic are
// dropped. Lines before the first topic that are no directives are
// ignored. Line ends may be LF or CR LF; a UTF-8 byte order mark is allowed.
#ifndef VELW32_HELPFILE_H
#define VELW32_HELPFILE_H

#include <windows.h>
#include <stdint.h>

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

#endif
