// Saves that cannot happen: the user is told, the previous file stays as it
// was byte for byte, no temporary file is left behind, and neither Modified
// nor Description changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editstate.h"
#include "modeltest.h"
#include "setfile.h"
#include "uitest.h"

using namespace modeltest;

namespace {

const wchar_t kWriteError[] = L"Error opening/writing database.";
const wchar_t kUnstorable[] =
    L"The description contains characters that cannot be stored in a unit assignment set "
    L"file. Remove them and save again.";
const wchar_t kCaption[] = L"Unit Assignment Set Editor";
const char kOldContent[] = "* old file\r\nLength km\r\n";

class SetFileFaultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEditorState();
        folder = NewFolder(L"faults");
        path = folder + L"set.uas";
        WriteBytes(path, kOldContent);
        catalogue = MakeCatalogue({{L"Length", {L"m", L"km"}, 0}});
        wcscpy_s(Description, EDIT_DESCRIPTION_CHARS, L"Saved before.");
        SetControlText(DescEdit, L"Typed since.");
    }
    void TearDown() override
    {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        FreeCatalogue(catalogue);
    }

    // Saves with the given Modified and checks that the failure changed
    // nothing and showed one error box with the text.
    void ExpectRefused(const std::wstring &target, uint16_t modified, const wchar_t *text)
    {
        Modified = modified;
        uitest::MessageBoxAnswerer answerer({IDOK});
        EXPECT_EQ(SetFileWrite(target.c_str(), L"Faulty", catalogue), 0);
        ASSERT_EQ(answerer.Boxes().size(), 1u);
        EXPECT_EQ(answerer.Boxes()[0].Text, text);
        EXPECT_EQ(answerer.Boxes()[0].Caption, kCaption);
        EXPECT_EQ(Modified, modified);
        EXPECT_STREQ(Description, L"Saved before.");
        EXPECT_TRUE(DescriptionGuardIntact());
    }

    std::wstring folder;
    std::wstring path;
    ListHandle catalogue = nullptr;
};

TEST_F(SetFileFaultTest, ReadOnlyTarget)
{
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectRefused(path, 1, kWriteError);
    ExpectRefused(path, 0, kWriteError);
    EXPECT_EQ(ReadBytes(path), kOldContent);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
}

TEST_F(SetFileFaultTest, FolderThatDoesNotExist)
{
    ExpectRefused(folder + L"missing\\set.uas", 1, kWriteError);
    ExpectRefused(folder + L"missing\\set.uas", 0, kWriteError);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
}

TEST_F(SetFileFaultTest, TargetHeldOpenWithoutSharing)
{
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ExpectRefused(path, 1, kWriteError);
    ExpectRefused(path, 0, kWriteError);
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(path), kOldContent);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
}

TEST_F(SetFileFaultTest, TargetThatCannotBeReplaced)
{
    // A folder of that name: the new content is written in full and then
    // cannot take the target's place.
    const std::wstring blocked = folder + L"blocked.uas";
    ASSERT_TRUE(CreateDirectoryW(blocked.c_str(), nullptr));
    ExpectRefused(blocked, 1, kWriteError);
    EXPECT_EQ(FilesIn(folder), (std::vector<std::wstring>{L"blocked.uas", L"set.uas"}));
    RemoveDirectoryW(blocked.c_str());
}

TEST_F(SetFileFaultTest, DescriptionWithCharactersAboveCode255)
{
    SetControlText(DescEdit, L"Costs in \u20ac per tonne");
    ExpectRefused(path, 1, kUnstorable);
    ExpectRefused(path, 0, kUnstorable);
    EXPECT_EQ(ReadBytes(path), kOldContent);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
    // The control keeps the text for the user to mend.
    EXPECT_EQ(ControlText(DescEdit), L"Costs in \u20ac per tonne");
}

TEST_F(SetFileFaultTest, UnstorableDescriptionRefusedBeforeAnyFileIsMade)
{
    SetControlText(DescEdit, L"\u4e2d");
    ExpectRefused(folder + L"new.uas", 1, kUnstorable);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
}

TEST_F(SetFileFaultTest, ChosenUnitWithCharactersAboveCode255)
{
    // Stored as "?", the unit would never be found again on reading: the
    // user is told which unit, and chooses another one.
    FreeCatalogue(catalogue);
    catalogue = MakeCatalogue({{L"Length", {L"m", L"km"}, 1},
                               {L"ElectricResistance", {L"ohm", L"\u03a9", L"k\u03a9"}, 2}});
    ExpectRefused(path, 1, L"The unit 'k\u03a9' chosen for ElectricResistance cannot be stored in a unit "
                           L"assignment set file. Choose another unit for it and save again.");
    EXPECT_EQ(ReadBytes(path), kOldContent);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});

    // With another unit of that dimension the set saves.
    Entries(catalogue)[1]->SelectedUnit = 0;
    uitest::MessageBoxAnswerer answerer({IDOK});
    ASSERT_EQ(SetFileWrite(path.c_str(), L"Faulty", catalogue), 1);
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_NE(ReadBytes(path).find("ElectricResistance              ohm\r\n"), std::string::npos);
}

TEST_F(SetFileFaultTest, DescriptionOfLatin1CharactersIsStored)
{
    SetControlText(DescEdit, L"\u00c9t\u00e9 \u00bd \u00ff");
    Modified = 1;
    uitest::MessageBoxAnswerer answerer({IDOK});
    ASSERT_EQ(SetFileWrite(path.c_str(), L"Latin", catalogue), 1);
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_EQ(Modified, 0);
    EXPECT_NE(ReadBytes(path).find("*    \xc9t\xe9 \xbd \xff\r\n"), std::string::npos);
}

TEST_F(SetFileFaultTest, SuccessAfterAFailureWritesNormally)
{
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectRefused(path, 1, kWriteError);
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    uitest::MessageBoxAnswerer answerer({IDOK});
    ASSERT_EQ(SetFileWrite(path.c_str(), L"Faulty", catalogue), 1);
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_EQ(Modified, 0);
    EXPECT_STREQ(Description, L"Typed since.");
    EXPECT_NE(ReadBytes(path).find("*    Typed since.\r\n"), std::string::npos);
}

} // namespace
