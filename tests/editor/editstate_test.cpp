// The editor state's routines: the description between control and buffer,
// the set-name label, the bounded copies and releasing the heap strings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editstate.h"
#include "setlabel.h"
#include "modeltest.h"
#include "testfiles.h"

using namespace modeltest;

namespace {

using EditStateTest = FreshEditorTest;

// The buffer takes the control's text trimmed; the control keeps it as typed.
TEST_F(EditStateTest, ReadDescriptionTrimsTheBufferNotTheControl)
{
    const struct {
        const wchar_t *Typed, *Stored;
    } rows[] = {
        {L"  \r\n Two  words \t\r\n", L"Two  words"},
        {L"     ", L""}, // blanks only
        {L"", L""},
        {L"First\r\n\r\nSecond", L"First\r\n\r\nSecond"}, // line breaks inside stay
    };
    for (const auto &row : rows) {
        wcscpy_s(Editor.Description, EditDescriptionChars, L"old");
        SetControlText(Editor.DescEdit, row.Typed);
        EditReadDescription();
        EXPECT_STREQ(Editor.Description, row.Stored) << testfiles::Utf8(row.Typed);
        EXPECT_EQ(ControlText(Editor.DescEdit), row.Typed);
    }
}

TEST_F(EditStateTest, ReadDescriptionCutsAt2000)
{
    std::wstring text;
    for (int i = 0; i < 2500; ++i)
        text += static_cast<wchar_t>(L'a' + i % 26);
    SetControlText(Editor.DescEdit, text);
    ASSERT_EQ(ControlText(Editor.DescEdit).size(), 2500u);
    EditReadDescription();
    EXPECT_EQ(std::wstring(Editor.Description), text.substr(0, 2000));
    EXPECT_TRUE(DescriptionGuardIntact());

    // Exactly 2000 fit whole.
    SetControlText(Editor.DescEdit, text.substr(500, 2000));
    EditReadDescription();
    EXPECT_EQ(std::wstring(Editor.Description), text.substr(500, 2000));
    EXPECT_TRUE(DescriptionGuardIntact());
}

TEST_F(EditStateTest, ShowDescriptionFillsBufferAndControl)
{
    EditShowDescription(L"From a file");
    EXPECT_STREQ(Editor.Description, L"From a file");
    EXPECT_EQ(ControlText(Editor.DescEdit), L"From a file");

    EditShowDescription(nullptr);
    EXPECT_STREQ(Editor.Description, L"");
    EXPECT_EQ(ControlText(Editor.DescEdit), L"");
}

TEST_F(EditStateTest, ShowDescriptionOfTheBufferItself)
{
    wcscpy_s(Editor.Description, EditDescriptionChars, L"Kept as it is ");
    SetControlText(Editor.DescEdit, L"something else");
    EditShowDescription(Editor.Description);
    EXPECT_STREQ(Editor.Description, L"Kept as it is ");
    EXPECT_EQ(ControlText(Editor.DescEdit), L"Kept as it is ");

    // A text inside the buffer moves to its start.
    EditShowDescription(Editor.Description + 5);
    EXPECT_STREQ(Editor.Description, L"as it is ");
    EXPECT_EQ(ControlText(Editor.DescEdit), L"as it is ");
}

TEST_F(EditStateTest, ShowDescriptionCutsAt2000)
{
    const std::wstring text(3000, L'z');
    EditShowDescription(text.c_str());
    EXPECT_EQ(std::wstring(Editor.Description), text.substr(0, 2000));
    EXPECT_EQ(ControlText(Editor.DescEdit), text.substr(0, 2000));
    EXPECT_TRUE(DescriptionGuardIntact());
}

TEST_F(EditStateTest, ClearEmptiesTheControlOnly)
{
    wcscpy_s(Editor.Description, EditDescriptionChars, L"Still here");
    SetControlText(Editor.DescEdit, L"typed");
    EditClearDescriptionControl();
    EXPECT_EQ(ControlText(Editor.DescEdit), L"");
    EXPECT_STREQ(Editor.Description, L"Still here");
}

TEST_F(EditStateTest, SetNameLabelShowsPrefixAndName)
{
    EditShowSetName(Editor.SetNameLabel, L"Set Name: ", L"<none>");
    EXPECT_EQ(ControlText(Editor.SetNameLabel), L"Set Name: <none>");
    EXPECT_STREQ(Editor.ShownSetName, L"<none>");

    EditShowSetName(Editor.SetNameLabel, L"Set Name: ", L"Pilot plant");
    EXPECT_EQ(ControlText(Editor.SetNameLabel), L"Set Name: Pilot plant");
    EXPECT_STREQ(Editor.ShownSetName, L"Pilot plant");
}

// The label's whole text; the label itself shows it fitted to its width.
TEST_F(EditStateTest, SetNameLabelIsCutAt255)
{
    const std::wstring prefix(200, L'p');
    const std::wstring name = std::wstring(50, L'a') + std::wstring(50, L'b');
    EditShowSetName(Editor.SetNameLabel, prefix.c_str(), name.c_str());
    EXPECT_EQ(std::wstring(Editor.SetNameText), (prefix + name).substr(0, 255));
    EXPECT_EQ(std::wstring(Editor.ShownSetName), name.substr(0, 63));

    const std::wstring longPrefix(300, L'q');
    EditShowSetName(Editor.SetNameLabel, longPrefix.c_str(), L"gone");
    EXPECT_EQ(std::wstring(Editor.SetNameText), longPrefix.substr(0, 255));
    EXPECT_STREQ(Editor.ShownSetName, L"gone");
}

TEST_F(EditStateTest, ShownNameIsCutWithoutSplittingACharacter)
{
    // 62 letters and a character of two UTF-16 units: the pair does not
    // fit the 63 places and goes as a whole.
    const std::wstring name = std::wstring(62, L'n') + L"\U0001F600";
    EditShowSetName(Editor.SetNameLabel, L"Set Name: ", name.c_str());
    EXPECT_EQ(std::wstring(Editor.ShownSetName), std::wstring(62, L'n'));
    EXPECT_EQ(std::wstring(Editor.SetNameText), L"Set Name: " + name);

    const std::wstring fits = std::wstring(61, L'n') + L"\U0001F600";
    EditShowSetName(Editor.SetNameLabel, L"", fits.c_str());
    EXPECT_EQ(std::wstring(Editor.ShownSetName), fits);
}

TEST_F(EditStateTest, ShownNameOfItself)
{
    EditShowSetName(Editor.SetNameLabel, L"Set Name: ", L"Same");
    EditShowSetName(Editor.SetNameLabel, L"Name: ", Editor.ShownSetName);
    EXPECT_STREQ(Editor.ShownSetName, L"Same");
    EXPECT_EQ(ControlText(Editor.SetNameLabel), L"Name: Same");
}

// Every character 10 pixels wide (a UTF-16 unit each).
int TenEach(const std::wstring &text)
{
    return static_cast<int>(text.size()) * 10;
}

TEST(EditFitTextTest, ShortensTheNameToTheWidth)
{
    const struct {
        const char *Name;
        std::wstring Text;
        size_t Start, Count;
        int Width;
        std::wstring Shown;
    } rows[] = {
        {"fits", L"Set Name: Plant", 10, 5, 150, L"Set Name: Plant"},
        {"not laid out yet", L"Set Name: Plant", 10, 5, 0, L"Set Name: Plant"},
        {"the extension kept", L"A: abcdefghij.uas (z)", 3, 14, 150, L"A: abc\u2026.uas (z)"},
        {"no blank before the ellipsis", L"ab cdefgh.uas", 0, 13, 80, L"ab\u2026.uas"},
        {"a set's name: ellipsis at its end", L"Set: Long set name here", 5, 18, 120,
         L"Set: Long s\u2026"},
        {"a long ending is no extension", L"report.backup2024", 0, 17, 100, L"report.ba\u2026"},
        {"a leading dot is no extension", L".abcde", 0, 6, 40, L".ab\u2026"},
        {"no room for the extension", L"ABCDEFGHIJabcdef.uas", 10, 10, 120, L"ABCDEFGHIJa\u2026"},
        {"no room at all", L"ABCDEFGHIJabcdef.uas", 10, 10, 50, L"ABCDEFGHIJ\u2026"},
        {"only the name is shortened", L"Before name after", 7, 4, 150, L"Before n\u2026 after"},
        {"a pair of UTF-16 units stays whole", L"ab\U0001F600cd", 0, 6, 40, L"ab\u2026"},
        {"the part beyond the text", L"Set Name: Plant", 10, 99, 100, L"Set Name: \u2026"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(EditFitText(row.Text, row.Start, row.Count, row.Width, TenEach), row.Shown)
            << row.Name;
}

TEST(EditCopyTextTest, CopiesAtMostCapacityLessOne)
{
    wchar_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EditCopyText(buffer, 5, L"abcdefgh");
    EXPECT_STREQ(buffer, L"abcd");
    EXPECT_EQ(buffer[5], L'#');

    EditCopyText(buffer, 5, L"ab");
    EXPECT_STREQ(buffer, L"ab");
    EditCopyText(buffer, 1, L"abc");
    EXPECT_STREQ(buffer, L"");
    EditCopyText(buffer, 5, nullptr);
    EXPECT_STREQ(buffer, L"");

    buffer[0] = L'x';
    EditCopyText(buffer, 0, L"abc");
    EXPECT_EQ(buffer[0], L'x');
}

TEST(EditFreeBuffersTest, ReleasesEachStringOnce)
{
    ResetEditorState();
    ASSERT_NE(Editor.Description, nullptr);
    ASSERT_NE(Editor.NoneText, nullptr);
    EditFreeBuffers();
    EXPECT_EQ(Editor.NoneText, nullptr);
    EXPECT_EQ(Editor.SetNamePrefix, nullptr);
    EXPECT_EQ(Editor.CurrentSetName, nullptr);
    EXPECT_EQ(Editor.Description, nullptr);
    // A second call finds nothing to release.
    EditFreeBuffers();
    EXPECT_EQ(Editor.Description, nullptr);

    // With some of them gone already, the rest is released.
    ResetEditorState();
    KxFree(Editor.NoneText);
    Editor.NoneText = nullptr;
    EditFreeBuffers();
    EXPECT_EQ(Editor.SetNamePrefix, nullptr);
    EXPECT_EQ(Editor.Description, nullptr);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));

    // The routines that use the description do not touch a released one.
    SetControlText(Editor.DescEdit, L"text");
    EditReadDescription();
    EditShowDescription(L"text");
    EXPECT_EQ(Editor.Description, nullptr);
    ResetEditorState();
}

} // namespace
