// Saving a description with a character that a set file cannot store, in
// the real main window: the message names the first such character as it
// looks and by its code and leaves it selected; when every such character
// has a plain equivalent, Yes puts those in and saves, No goes back to
// editing with nothing written.
#include <gtest/gtest.h>

#include "editstate.h"
#include "mainwnd.h"
#include "resource.h"
#include "installenv.h"
#include "testinstall.h"
#include "uitest.h"
#include "velw32.h"

#include <string>
#include <vector>

namespace {

const auto *const environment = testinstall::AddInstallationEnvironment();

std::wstring Offer(const std::wstring &shown, const std::wstring &code)
{
    return L"The description contains a character that cannot be stored in a unit assignment set "
           L"file: \u201c" +
           shown + L"\u201d (U+" + code +
           L").\n\nReplace the typographic dashes, quotes and ellipses in the description with "
           L"plain ones (-, ', \", ...) and save?";
}

std::wstring Refusal(const std::wstring &shown, const std::wstring &code)
{
    return L"The description contains a character that cannot be stored in a unit assignment set "
           L"file: \u201c" +
           shown + L"\u201d (U+" + code +
           L"). It is selected in the description. Remove or replace it and save again.";
}

class PlainCharsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = MainWindowCreate(nullptr);
        ASSERT_NE(window_, nullptr);
        path_ = testinstall::SetPath(L"Dashes");
        DeleteFileW(path_.c_str());
        uitest::DialogResponder responder([](HWND dialog) {
            if (HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr))
                SetWindowTextW(field, L"Dashes");
            uitest::Press(dialog, IDOK);
        });
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVEAS, 0), 0);
        ASSERT_TRUE(testinstall::ReadBytes(path_, saved_));
    }

    void TearDown() override
    {
        HelpQuit(window_);
        DestroyWindow(window_);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        DeleteFileW(path_.c_str());
    }

    std::string FileBytes() const
    {
        std::string bytes;
        testinstall::ReadBytes(path_, bytes);
        return bytes;
    }

    std::pair<int, int> Selection() const
    {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(Editor.DescEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }

    HWND window_ = nullptr;
    std::wstring path_;
    std::string saved_; // the file as saved before the description was typed
};

struct Case {
    const char *Name;
    std::wstring Typed;
    std::wstring Shown; // the first unstorable character as it looks
    std::wstring Code;
    int Start;  // where it is selected
    int Length; // UTF-16 units selected
    bool Offered;
    std::string Plain; // the description as stored after Yes
};

const std::vector<Case> &Cases()
{
    static const std::vector<Case> table = {
        {"en dash", L"a \u2013 b", L"\u2013", L"2013", 2, 1, true, "a - b"},
        {"em dash after text", L"  Flow\u2014rate", L"\u2014", L"2014", 6, 1, true, "Flow-rate"},
        {"single quotes", L"the \u2018hot\u2019 side", L"\u2018", L"2018", 4, 1, true,
         "the 'hot' side"},
        {"German quotes", L"\u201eK\u00fchler\u201c", L"\u201e", L"201E", 0, 1, true,
         "\"K\xfchler\""},
        {"ellipsis", L"wait\u2026 and \u201csee\u201d", L"\u2026", L"2026", 4, 1, true,
         "wait... and \"see\""},
        {"euro, no equivalent", L"a \u2013 costs \u20ac", L"\u2013", L"2013", 2, 1, false, ""},
        {"Greek first", L"\u03a9 \u2013", L"\u03a9", L"03A9", 0, 1, false, ""},
        {"surrogate pair", L"x \U0001F600 y", L"\U0001F600", L"1F600", 2, 2, false, ""},
    };
    return table;
}

TEST_F(PlainCharsTest, NoGoesBackToEditingWithTheCharacterSelected)
{
    for (const Case &c : Cases()) {
        SCOPED_TRACE(c.Name);
        SetWindowTextW(Editor.DescEdit, c.Typed.c_str());
        SetFocus(Editor.ClearButton);
        Editor.Modified = 1;
        uitest::MessageBoxAnswerer answerer({c.Offered ? IDNO : IDOK});
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVE, 0), 0);
        ASSERT_EQ(answerer.Boxes().size(), 1u);
        EXPECT_EQ(answerer.Boxes()[0].Text,
                  c.Offered ? Offer(c.Shown, c.Code) : Refusal(c.Shown, c.Code));
        EXPECT_EQ(answerer.Boxes()[0].Caption, L"Unit Assignment Set Editor");
        EXPECT_EQ(FileBytes(), saved_) << "nothing is written";
        EXPECT_EQ(uitest::TextOf(Editor.DescEdit), c.Typed);
        EXPECT_EQ(Selection(), std::make_pair(c.Start, c.Start + c.Length));
        EXPECT_EQ(GetFocus(), Editor.DescEdit);
        EXPECT_EQ(Editor.Modified, 1);
    }
}

TEST_F(PlainCharsTest, YesReplacesTheCharactersAndSaves)
{
    for (const Case &c : Cases()) {
        if (!c.Offered)
            continue;
        SCOPED_TRACE(c.Name);
        SetWindowTextW(Editor.DescEdit, c.Typed.c_str());
        Editor.Modified = 1;
        uitest::MessageBoxAnswerer answerer({IDYES});
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVE, 0), 0);
        ASSERT_EQ(answerer.Boxes().size(), 1u);
        const std::string bytes = FileBytes();
        EXPECT_NE(bytes.find("*    " + c.Plain + "\r\n"), std::string::npos) << bytes;
        std::wstring plain;
        for (const char byte : c.Plain)
            plain += static_cast<wchar_t>(static_cast<unsigned char>(byte));
        std::wstring shown = uitest::TextOf(Editor.DescEdit);
        // The control shows the plain text as typed, blanks included.
        EXPECT_EQ(shown.find(plain), shown.size() - plain.size());
        EXPECT_EQ(Editor.Modified, 0);
    }
}

// The save question before New: No at the offer keeps the editor open with
// the set as it was.
TEST_F(PlainCharsTest, NoInsideTheSaveQuestionCancelsTheCommand)
{
    SetWindowTextW(Editor.DescEdit, L"a \u2013 b");
    uitest::MessageBoxAnswerer answerer({IDYES, IDNO});
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_NEW, 0), 0);
    ASSERT_EQ(answerer.Boxes().size(), 2u);
    EXPECT_EQ(answerer.Boxes()[1].Text, Offer(L"\u2013", L"2013"));
    EXPECT_STREQ(Editor.CurrentSetName, L"Dashes");
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"a \u2013 b");
    EXPECT_EQ(FileBytes(), saved_);
}

// A replacement that would no longer fit the description is not offered.
TEST_F(PlainCharsTest, NoOfferWhenThePlainTextWouldNotFit)
{
    std::wstring typed(1990, L'x');
    typed += L"\u2026\u2026\u2026\u2026\u2026\u2026";
    SetWindowTextW(Editor.DescEdit, typed.c_str());
    uitest::MessageBoxAnswerer answerer({IDOK});
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVE, 0), 0);
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].Text, Refusal(L"\u2026", L"2026"));
    EXPECT_EQ(FileBytes(), saved_);
}

} // namespace
