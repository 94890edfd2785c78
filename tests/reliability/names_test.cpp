// The names the set-selection dialog takes for a new set, as a table run
// against the real dialog in Save As mode: the name is typed into its field
// and OK pressed. A name it accepts must make a path to a plain file inside
// the set folder; every other name must be refused with the message that
// says why.
#include "relreport.h"
#include "relwindow.h"

#include "testinstall.h"
#include "velw32.h"

#include <string>
#include <vector>

using namespace relwindow;

namespace {

const std::wstring BadChar =
    L"A set name cannot contain the character %s.\n\nThese characters are not allowed: < > : \" / \\ | ? *";
const std::wstring Reserved = L"'%s' is a name that Windows reserves for a device. It cannot be used as a set name.";
const std::wstring TooLong = L"A set name can have at most 60 characters; a character outside the basic plane, such "
                             L"as an emoji, counts as two.";
const std::wstring Control = L"A set name cannot contain control characters such as tabs.";
const std::wstring DotName = L"'.' and '..' cannot be used as set names.";
const std::wstring Trailing = L"A set name cannot end with a period or a space.";
const std::wstring Empty = L"Type a name for the unit assignment set.";
const std::wstring Unstorable =
    L"A set name cannot contain the character %s: the set file cannot store it. Use another name.";

std::wstring With(std::wstring text, const std::wstring &value)
{
    return text.replace(text.find(L"%s"), 2, value);
}

struct NameCase {
    NameCase(std::wstring typed, std::wstring refusal, std::wstring savedAs = std::wstring())
        : Typed(std::move(typed)), Refusal(std::move(refusal)), SavedAs(std::move(savedAs))
    {
    }
    std::wstring Typed;
    std::wstring Refusal;  // empty: accepted
    std::wstring SavedAs;  // the name it is accepted as (empty: as typed)
};

std::vector<NameCase> Table()
{
    std::vector<NameCase> table = {
        // Separators and parent folders.
        {L"a\\b", With(BadChar, L"\\")}, {L"a/b", With(BadChar, L"/")}, {L"a:b", With(BadChar, L":")},
        {L"C:x", With(BadChar, L":")}, {L"..\\x", With(BadChar, L"\\")}, {L"../x", With(BadChar, L"/")},
        {L"\\\\server\\share\\x", With(BadChar, L"\\")}, {L"..", DotName}, {L".", DotName},
        {L"x*", With(BadChar, L"*")}, {L"x?", With(BadChar, L"?")}, {L"a<b", With(BadChar, L"<")},
        {L"a>b", With(BadChar, L">")}, {L"a|b", With(BadChar, L"|")}, {L"a\"b", With(BadChar, L"\"")},
        // Control characters.
        {L"a\tb", Control}, {L"a\x01", Control}, {std::wstring(L"a\x1F" L"b"), Control}, {L"\x7", Control},
        // Trailing dot or space, empty.
        {L"abc.", Trailing}, {L"abc..", Trailing}, {L"abc. ", Trailing}, {L"", Empty}, {L"   ", Empty},
        {L"abc ", L"", L"abc"}, {L"  padded  ", L"", L"padded"},
        // Length, counted in UTF-16 units.
        {std::wstring(61, L'n'), TooLong}, {std::wstring(200, L'n'), TooLong},
        {std::wstring(59, L'n') + L"\U0001F600", TooLong}, {std::wstring(60, L'n'), L""},
        {std::wstring(58, L'n') + L"\U0001F600", With(Unstorable, L"\U0001F600")},
        // Characters a set file's header cannot store (above code 255).
        {L"Resistance \u03a9", With(Unstorable, L"\u03a9")}, {L"\u65e5\u672c\u8a9e", With(Unstorable, L"\u65e5")},
        // Accepted names that look odd but stay inside the folder.
        {L"Plant A", L""}, {L"a.b", L""}, {L"x..y", L""}, {L".hidden", L""}, {L"name.uas", L""},
        {L"\u00fcnits \u00b0C", L""}, {L"COM10", L""}, {L"CONSOLE", L""},
        {L"LPT", L""}, {L"NULL", L""}, {L"a..", Trailing},
    };
    // Device names, bare, in other letter case, with extensions and with
    // the spaces Windows drops.
    for (const wchar_t *device : {L"CON", L"PRN", L"AUX", L"NUL", L"COM0", L"COM1", L"COM9", L"LPT0", L"LPT1", L"LPT9", L"COM\u00b9",
                                  L"COM\u00b2", L"LPT\u00b3", L"CONIN$", L"CONOUT$"}) {
        const std::wstring d = device;
        std::wstring lower = d;
        for (wchar_t &c : lower)
            c = static_cast<wchar_t>(towlower(c));
        for (const std::wstring &typed : {d, lower, d + L".txt", lower + L".uas", d + L" .txt", d + L".a.b"})
            table.push_back({typed, With(Reserved, typed)});
    }
    return table;
}

std::wstring Folded(std::wstring text)
{
    CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

class SetNames : public WindowTest {};

TEST_F(SetNames, TheDialogAcceptsOnlyNamesInsideTheSetFolder)
{
    const std::vector<NameCase> table = Table();
    uint64_t failures = 0, refused = 0, accepted = 0, refusedFailed = 0, acceptedFailed = 0;
    const std::wstring folder = testinstall::SetFolder();
    for (const NameCase &c : table) {
        HWND selection = nullptr;
        std::vector<std::wstring> boxes;
        uitest::DialogResponder responder([&](HWND dialog) {
            HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
            if (field) {
                selection = dialog;
                SetWindowTextW(field, c.Typed.c_str());
                uitest::Press(dialog, IDOK);
                return;
            }
            boxes.push_back(uitest::MessageBoxText(dialog));
            uitest::Press(dialog, GetDlgItem(dialog, IDNO) ? IDNO : IDOK);
            if (selection)
                uitest::Press(selection, IDCANCEL);
        });
        wchar_t path[UAS_SEL_PATH_CHARS] = L"";
        wchar_t name[UAS_NAME_CHARS] = L"";
        const int16_t confirmed = UasMapSelDlg(window_, UAS_MODE_SAVEAS, path, name);
        uitest::PumpMessages();

        std::string problem;
        const std::string shown = Utf8(c.Typed) + " (" + std::to_string(c.Typed.size()) + " units)";
        if (!c.Refusal.empty()) {
            ++refused;
            if (confirmed)
                problem = "accepted, as " + Utf8(path);
            else if (boxes.size() != 1 || boxes[0] != c.Refusal)
                problem = "refused with " + (boxes.empty() ? std::string("no message") : Utf8(boxes[0]));
        } else {
            ++accepted;
            const std::wstring expectedName = c.SavedAs.empty() ? c.Typed : c.SavedAs;
            const std::wstring expectedPath = folder + L"\\" + expectedName + L".uas";
            wchar_t full[MAX_PATH] = L"";
            GetFullPathNameW(path, MAX_PATH, full, nullptr);
            if (!confirmed || !boxes.empty())
                problem = "refused: " + (boxes.empty() ? std::string("no message") : Utf8(boxes[0]));
            else if (std::wstring(name) != expectedName || std::wstring(path) != expectedPath)
                problem = "confirmed as " + Utf8(name) + " at " + Utf8(path);
            else if (Folded(full) != Folded(expectedPath))
                problem = "the path resolves to " + Utf8(full);
            else {
                // What the system makes of the path: a plain file, in the folder.
                HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
                if (file == INVALID_HANDLE_VALUE)
                    problem = "the path cannot be made, error " + std::to_string(GetLastError());
                else {
                    if (GetFileType(file) != FILE_TYPE_DISK)
                        problem = "the path opens a device";
                    CloseHandle(file);
                    WIN32_FIND_DATAW found;
                    HANDLE search = FindFirstFileW((folder + L"\\*.uas").c_str(), &found);
                    bool inside = false;
                    while (search != INVALID_HANDLE_VALUE) {
                        inside = inside || expectedName + L".uas" == found.cFileName;
                        if (!FindNextFileW(search, &found)) {
                            FindClose(search);
                            break;
                        }
                    }
                    if (!inside && problem.empty())
                        problem = "the file did not appear in the set folder";
                    DeleteFileW(path);
                }
            }
        }
        if (!problem.empty()) {
            ++failures;
            ++(c.Refusal.empty() ? acceptedFailed : refusedFailed);
            ADD_FAILURE() << shown << ": " << problem;
        }
    }
    rel::Record({"set names", "names refused by the Save As dialog (table)", refused, refusedFailed,
                 "each with its message, typed into the real dialog"});
    rel::Record({"set names", "names accepted: a plain file inside the set folder", accepted, acceptedFailed,
                 "a trailing blank is trimmed, not refused"});
    rel::Record({"set names", "all names of the table", table.size(), failures, ""});
    EXPECT_EQ(failures, 0u);
}

} // namespace
