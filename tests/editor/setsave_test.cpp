// Saving the edited set: a save takes the description from its control and
// clears Modified; a save that cannot happen tells the user, leaves the
// previous file as it was byte for byte, leaves no temporary file behind, and
// changes neither Modified nor Description.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editstate.h"
#include "modeltest.h"
#include "setfile.h"
#include "setsave.h"
#include "uitest.h"

using namespace modeltest;

namespace {

// A write that fails: the design's text first, then the file and the reason.
std::wstring WriteError(const std::wstring &path, const std::wstring &reason)
{
    return L"Error opening/writing database.\n\nFile: " + path + L"\nReason: " + reason;
}
const wchar_t kDenied[] =
    L"access is denied (the file is read-only, or you may not write to its folder).";
const wchar_t kNoFolder[] = L"the folder does not exist.";
const wchar_t kInUse[] = L"the file is in use by another program.";
const wchar_t kIsFolder[] = L"a folder of that name is in the way.";
// The first unstorable character of the description, as it looks and by its code.
std::wstring Unstorable(const std::wstring &shown, const std::wstring &code)
{
    return L"The description contains a character that cannot be stored in a unit assignment set "
           L"file: \u201c" + shown + L"\u201d (U+" + code +
           L"). It is selected in the description. Remove or replace it and save again.";
}
const wchar_t kCaption[] = L"Unit Assignment Set Editor";
const char kOldContent[] = "* old file\r\nLength km\r\n";

class SetFileFaultTest : public OneSetFileTest {
protected:
    void SetUp() override
    {
        Prepare(L"faults", L"set.uas");
        WriteBytes(path, kOldContent);
        wcscpy_s(Editor.Description, EditDescriptionChars, L"Saved before.");
        SetControlText(Editor.DescEdit, L"Typed since.");
    }
    void TearDown() override
    {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        CatalogueTest::TearDown();
    }

    // Saves with the given Modified and checks that the failure changed
    // nothing and showed one error box with the text.
    void ExpectRefused(const std::wstring &target, uint16_t modified, const std::wstring &text)
    {
        Editor.Modified = modified;
        uitest::MessageBoxAnswerer answerer({IDOK});
        EXPECT_EQ(SetFileWrite(target.c_str(), L"Faulty", catalogue), 0);
        ASSERT_EQ(answerer.Boxes().size(), 1u);
        EXPECT_EQ(answerer.Boxes()[0].Text, text);
        EXPECT_EQ(answerer.Boxes()[0].Caption, kCaption);
        EXPECT_EQ(Editor.Modified, modified);
        EXPECT_STREQ(Editor.Description, L"Saved before.");
        EXPECT_TRUE(DescriptionGuardIntact());
    }
};

TEST_F(SetFileFaultTest, ReadOnlyTarget)
{
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectRefused(path, 1, WriteError(path, kDenied));
    ExpectRefused(path, 0, WriteError(path, kDenied));
    EXPECT_EQ(ReadBytes(path), kOldContent);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
}

TEST_F(SetFileFaultTest, FolderThatDoesNotExist)
{
    const std::wstring target = folder + L"missing\\set.uas";
    ExpectRefused(target, 1, WriteError(target, kNoFolder));
    ExpectRefused(target, 0, WriteError(target, kNoFolder));
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
}

// Another handle holds the set file open: however it shares the file, and
// whether or not it has locked it, the file is in use.
TEST_F(SetFileFaultTest, TargetHeldOpen)
{
    struct Hold {
        const char *What;
        DWORD Access;
        DWORD Share;
        bool Lock;
    };
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const Hold holds[] = {
        {"without sharing", GENERIC_READ, 0, false},
        {"sharing reads only", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, false},
        {"sharing everything, locked", GENERIC_READ | GENERIC_WRITE, all, true},
    };
    for (const Hold &hold : holds) {
        SCOPED_TRACE(hold.What);
        HANDLE held = CreateFileW(path.c_str(), hold.Access, hold.Share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        OVERLAPPED whole = {};
        if (hold.Lock) {
            ASSERT_TRUE(LockFileEx(held, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                                   MAXDWORD, MAXDWORD, &whole));
        }
        ExpectRefused(path, 1, WriteError(path, kInUse));
        ExpectRefused(path, 0, WriteError(path, kInUse));
        if (hold.Lock)
            UnlockFileEx(held, 0, MAXDWORD, MAXDWORD, &whole);
        CloseHandle(held);
        EXPECT_EQ(ReadBytes(path), kOldContent);
        EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
    }
}

TEST_F(SetFileFaultTest, TargetThatCannotBeReplaced)
{
    // A folder of that name: the new content is written in full and then
    // cannot take the target's place.
    const std::wstring blocked = folder + L"blocked.uas";
    ASSERT_TRUE(CreateDirectoryW(blocked.c_str(), nullptr));
    ExpectRefused(blocked, 1, WriteError(blocked, kIsFolder));
    EXPECT_EQ(FilesIn(folder), (std::vector<std::wstring>{L"blocked.uas", L"set.uas"}));
    RemoveDirectoryW(blocked.c_str());
}

TEST_F(SetFileFaultTest, DescriptionWithCharactersAboveCode255)
{
    SetControlText(Editor.DescEdit, L"Costs in \u20ac per tonne");
    ExpectRefused(path, 1, Unstorable(L"\u20ac", L"20AC"));
    ExpectRefused(path, 0, Unstorable(L"\u20ac", L"20AC"));
    EXPECT_EQ(ReadBytes(path), kOldContent);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
    // The control keeps the text for the user to mend.
    EXPECT_EQ(ControlText(Editor.DescEdit), L"Costs in \u20ac per tonne");
}

TEST_F(SetFileFaultTest, UnstorableDescriptionRefusedBeforeAnyFileIsMade)
{
    SetControlText(Editor.DescEdit, L"\u4e2d");
    ExpectRefused(folder + L"new.uas", 1, Unstorable(L"\u4e2d", L"4E2D"));
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
}

TEST_F(SetFileFaultTest, ChosenUnitWithCharactersAboveCode255)
{
    // Stored as "?", the unit would never be found again on reading: the
    // user is told which unit, and chooses another one.
    FreeCatalogue(catalogue);
    catalogue = MakeCatalogue({{L"Length", {L"m", L"km"}, 1},
                               {L"ElectricResistance", {L"ohm", L"\u03a9", L"k\u03a9"}, 2}});
    ExpectRefused(path, 1,
                  L"The unit 'k\u03a9' chosen for ElectricResistance cannot be stored in a unit "
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
    SetControlText(Editor.DescEdit, L"\u00c9t\u00e9 \u00bd \u00ff");
    Editor.Modified = 1;
    uitest::MessageBoxAnswerer answerer({IDOK});
    ASSERT_EQ(SetFileWrite(path.c_str(), L"Latin", catalogue), 1);
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_EQ(Editor.Modified, 0);
    EXPECT_NE(ReadBytes(path).find("*    \xc9t\xe9 \xbd \xff\r\n"), std::string::npos);
}

TEST_F(SetFileFaultTest, SuccessAfterAFailureWritesNormally)
{
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectRefused(path, 1, WriteError(path, kDenied));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    uitest::MessageBoxAnswerer answerer({IDOK});
    ASSERT_EQ(SetFileWrite(path.c_str(), L"Faulty", catalogue), 1);
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_EQ(Editor.Modified, 0);
    EXPECT_STREQ(Editor.Description, L"Typed since.");
    EXPECT_NE(ReadBytes(path).find("*    Typed since.\r\n"), std::string::npos);
}

TEST(SetFileWriteTest, TakesTheTrimmedControlTextAndClearsModified)
{
    ResetEditorState();
    const std::wstring path = NewFolder(L"taken") + L"set.uas";
    ListHandle catalogue = MakeCatalogue({{L"Length", {L"m", L"km"}, 1}});
    SetControlText(Editor.DescEdit, L"  Pilot plant units.  ");
    Editor.Modified = 1;
    ASSERT_EQ(SetFileWrite(path.c_str(), L"Pilot", catalogue), 1);
    EXPECT_EQ(Editor.Modified, 0);
    EXPECT_STREQ(Editor.Description, L"Pilot plant units.");
    // The control keeps what was typed; only the buffer is trimmed.
    EXPECT_EQ(ControlText(Editor.DescEdit), L"  Pilot plant units.  ");
    const std::string bytes = ReadBytes(path);
    EXPECT_NE(bytes.find("* Pilot\r\n* set.uas\r\n*\r\n*    Pilot plant units.\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("Length                          km\r\n"), std::string::npos);
    FreeCatalogue(catalogue);
}

TEST(SetFileWriteTest, SavingKeepsTheLineBreaksOfTheBuffer)
{
    // The buffer must still equal the trimmed control after a save, or the
    // editor would see a change that is not there.
    const std::wstring path = NewFolder(L"breaks") + L"set.uas";
    ResetEditorState();
    ListHandle catalogue = MakeCatalogue({{L"Length", {L"m", L"km"}, 1}});
    SetControlText(Editor.DescEdit, L"First\r\nSecond");
    ASSERT_EQ(SetFileWrite(path.c_str(), L"Breaks", catalogue), 1);
    EXPECT_STREQ(Editor.Description, L"First\r\nSecond");
    EXPECT_NE(ReadBytes(path).find("*    First Second\r\n"), std::string::npos);
    FreeCatalogue(catalogue);
}

} // namespace
