// The editor state's routines: the description between control and buffer,
// the set-name label, the bounded copies and releasing the heap strings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editstate.h"
#include "modeltest.h"

using namespace modeltest;

namespace {

class EditStateTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEditorState(); }
};

TEST_F(EditStateTest, ReadDescriptionTrimsTheBufferNotTheControl)
{
    SetControlText(DescEdit, L"  \r\n Two  words \t\r\n");
    EditReadDescription();
    EXPECT_STREQ(Description, L"Two  words");
    EXPECT_EQ(ControlText(DescEdit), L"  \r\n Two  words \t\r\n");
}

TEST_F(EditStateTest, ReadDescriptionOfBlanksIsEmpty)
{
    wcscpy_s(Description, EDIT_DESCRIPTION_CHARS, L"old");
    SetControlText(DescEdit, L"     ");
    EditReadDescription();
    EXPECT_STREQ(Description, L"");
    SetControlText(DescEdit, L"");
    wcscpy_s(Description, EDIT_DESCRIPTION_CHARS, L"old");
    EditReadDescription();
    EXPECT_STREQ(Description, L"");
}

TEST_F(EditStateTest, ReadDescriptionKeepsLineBreaksInside)
{
    SetControlText(DescEdit, L"First\r\n\r\nSecond");
    EditReadDescription();
    EXPECT_STREQ(Description, L"First\r\n\r\nSecond");
}

TEST_F(EditStateTest, ReadDescriptionCutsAt2000)
{
    std::wstring text;
    for (int i = 0; i < 2500; ++i)
        text += static_cast<wchar_t>(L'a' + i % 26);
    SetControlText(DescEdit, text);
    ASSERT_EQ(ControlText(DescEdit).size(), 2500u);
    EditReadDescription();
    EXPECT_EQ(std::wstring(Description), text.substr(0, 2000));
    EXPECT_TRUE(DescriptionGuardIntact());

    // Exactly 2000 fit whole.
    SetControlText(DescEdit, text.substr(500, 2000));
    EditReadDescription();
    EXPECT_EQ(std::wstring(Description), text.substr(500, 2000));
    EXPECT_TRUE(DescriptionGuardIntact());
}

TEST_F(EditStateTest, ShowDescriptionFillsBufferAndControl)
{
    EditShowDescription(L"From a file");
    EXPECT_STREQ(Description, L"From a file");
    EXPECT_EQ(ControlText(DescEdit), L"From a file");

    EditShowDescription(nullptr);
    EXPECT_STREQ(Description, L"");
    EXPECT_EQ(ControlText(DescEdit), L"");
}

TEST_F(EditStateTest, ShowDescriptionOfTheBufferItself)
{
    wcscpy_s(Description, EDIT_DESCRIPTION_CHARS, L"Kept as it is ");
    SetControlText(DescEdit, L"something else");
    EditShowDescription(Description);
    EXPECT_STREQ(Description, L"Kept as it is ");
    EXPECT_EQ(ControlText(DescEdit), L"Kept as it is ");

    // A text inside the buffer moves to its start.
    EditShowDescription(Description + 5);
    EXPECT_STREQ(Description, L"as it is ");
    EXPECT_EQ(ControlText(DescEdit), L"as it is ");
}

TEST_F(EditStateTest, ShowDescriptionCutsAt2000)
{
    const std::wstring text(3000, L'z');
    EditShowDescription(text.c_str());
    EXPECT_EQ(std::wstring(Description), text.substr(0, 2000));
    EXPECT_EQ(ControlText(DescEdit), text.substr(0, 2000));
    EXPECT_TRUE(DescriptionGuardIntact());
}

TEST_F(EditStateTest, ClearEmptiesTheControlOnly)
{
    wcscpy_s(Description, EDIT_DESCRIPTION_CHARS, L"Still here");
    SetControlText(DescEdit, L"typed");
    EditClearDescriptionControl();
    EXPECT_EQ(ControlText(DescEdit), L"");
    EXPECT_STREQ(Description, L"Still here");
}

TEST_F(EditStateTest, SetNameLabelShowsPrefixAndName)
{
    EditShowSetName(SetNameLabel, L"Set Name: ", L"<none>");
    EXPECT_EQ(ControlText(SetNameLabel), L"Set Name: <none>");
    EXPECT_STREQ(ShownSetName, L"<none>");

    EditShowSetName(SetNameLabel, L"Set Name: ", L"Pilot plant");
    EXPECT_EQ(ControlText(SetNameLabel), L"Set Name: Pilot plant");
    EXPECT_STREQ(ShownSetName, L"Pilot plant");
}

TEST_F(EditStateTest, SetNameLabelIsCutAt255)
{
    const std::wstring prefix(200, L'p');
    const std::wstring name = std::wstring(50, L'a') + std::wstring(50, L'b');
    EditShowSetName(SetNameLabel, prefix.c_str(), name.c_str());
    EXPECT_EQ(ControlText(SetNameLabel), (prefix + name).substr(0, 255));
    EXPECT_EQ(std::wstring(ShownSetName), name.substr(0, 63));

    const std::wstring longPrefix(300, L'q');
    EditShowSetName(SetNameLabel, longPrefix.c_str(), L"gone");
    EXPECT_EQ(ControlText(SetNameLabel), longPrefix.substr(0, 255));
    EXPECT_STREQ(ShownSetName, L"gone");
}

TEST_F(EditStateTest, ShownNameIsCutWithoutSplittingACharacter)
{
    // 62 letters and a character of two UTF-16 units: the pair does not
    // fit the 63 places and goes as a whole.
    const std::wstring name = std::wstring(62, L'n') + L"\U0001F600";
    EditShowSetName(SetNameLabel, L"Set Name: ", name.c_str());
    EXPECT_EQ(std::wstring(ShownSetName), std::wstring(62, L'n'));
    EXPECT_EQ(ControlText(SetNameLabel), L"Set Name: " + name);

    const std::wstring fits = std::wstring(61, L'n') + L"\U0001F600";
    EditShowSetName(SetNameLabel, L"", fits.c_str());
    EXPECT_EQ(std::wstring(ShownSetName), fits);
}

TEST_F(EditStateTest, ShownNameOfItself)
{
    EditShowSetName(SetNameLabel, L"Set Name: ", L"Same");
    EditShowSetName(SetNameLabel, L"Name: ", ShownSetName);
    EXPECT_STREQ(ShownSetName, L"Same");
    EXPECT_EQ(ControlText(SetNameLabel), L"Name: Same");
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
    ASSERT_NE(Description, nullptr);
    ASSERT_NE(NoneText, nullptr);
    EditFreeBuffers();
    EXPECT_EQ(NoneText, nullptr);
    EXPECT_EQ(SetNamePrefix, nullptr);
    EXPECT_EQ(CurrentSetName, nullptr);
    EXPECT_EQ(Description, nullptr);
    // A second call finds nothing to release.
    EditFreeBuffers();
    EXPECT_EQ(Description, nullptr);

    // With some of them gone already, the rest is released.
    ResetEditorState();
    KxFree(NoneText);
    NoneText = nullptr;
    EditFreeBuffers();
    EXPECT_EQ(SetNamePrefix, nullptr);
    EXPECT_EQ(Description, nullptr);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));

    // The routines that use the description do not touch a released one.
    SetControlText(DescEdit, L"text");
    EditReadDescription();
    EditShowDescription(L"text");
    EXPECT_EQ(Description, nullptr);
    ResetEditorState();
}

} // namespace
