// The lost-update guard of Save: a set file that another program changed or
// deleted since this editor read or wrote it is not written over without the
// user's answer; No writes nothing and leaves the edits marked, Yes replaces.
// The record of the file compares content, so a change that keeps the size
// and the last-write time is seen too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editstate.h"
#include "modeltest.h"
#include "setfile.h"
#include "setguard.h"
#include "setsave.h"
#include "setstamp.h"
#include "uitest.h"

using namespace modeltest;

namespace {

const wchar_t kChanged[] =
    L"The unit assignment set 'Shared' has been changed by another program or user since you "
    L"opened or last saved it.\n\nDo you want to replace it with your version? Choose No to "
    L"keep your changes in the editor without saving.";
const wchar_t kDeleted[] =
    L"The unit assignment set 'Shared' has been deleted by another program or user since you "
    L"opened or last saved it.\n\nDo you want to save your version again? Choose No to keep "
    L"your changes in the editor without saving.";

class SetGuardTest : public OneSetFileTest {
protected:
    void SetUp() override
    {
        Prepare(L"guard", L"Shared.uas");
        Editor.Modified = 0;
        SetControlText(Editor.DescEdit, L"");
        ASSERT_EQ(SetFileWrite(path.c_str(), L"Shared", catalogue), 1); // as this editor wrote it
    }
    // Save's check answered with answer (none when no box is expected);
    // returns what the check decided and the boxes shown.
    int16_t Check(std::vector<int> answers, std::vector<uitest::BoxRecord> *boxes)
    {
        uitest::MessageBoxAnswerer answerer(std::move(answers));
        const int16_t go = EditGuardConfirmSave(nullptr, path.c_str(), L"Shared");
        *boxes = answerer.Boxes();
        return go;
    }
};

// The ways another program leaves the file, and whether Save must ask.
enum class Other { Nothing, Rewrote, SameSizeAndTime, Deleted, SameBytesNewTime };

struct GuardCase {
    const char *Name;
    Other Change;
    const wchar_t *Question; // null: Save goes on without a box
};

const GuardCase kCases[] = {
    {"nothing changed", Other::Nothing, nullptr},
    {"rewritten", Other::Rewrote, kChanged},
    {"same size, same time", Other::SameSizeAndTime, kChanged},
    {"deleted", Other::Deleted, kDeleted},
    {"same bytes written again", Other::SameBytesNewTime, nullptr},
};

void ApplyChange(const std::wstring &path, Other change)
{
    const std::string before = ReadBytes(path);
    FILETIME written = {};
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    switch (change) {
    case Other::Nothing: return;
    case Other::Deleted: ASSERT_TRUE(DeleteFileW(path.c_str())); return;
    case Other::Rewrote: WriteBytes(path, before + "Mass kg\r\n"); return;
    case Other::SameBytesNewTime: WriteBytes(path, before); return;
    case Other::SameSizeAndTime: {
        // One unit swapped for one of the same length, the time put back:
        // what a coarse clock on a network share can make of a quick save.
        std::string after = before;
        const size_t at = after.rfind("m\r\n");
        ASSERT_NE(at, std::string::npos);
        after[at] = 'x';
        WriteBytes(path, after);
        HANDLE again = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                   0, nullptr);
        ASSERT_NE(again, INVALID_HANDLE_VALUE);
        SetFileTime(again, nullptr, nullptr, &written);
        CloseHandle(again);
        return;
    }
    }
}

TEST_F(SetGuardTest, SaveAsksExactlyWhenSomeoneElseChangedTheFile)
{
    for (const GuardCase &c : kCases) {
        SCOPED_TRACE(c.Name);
        ASSERT_EQ(SetFileWrite(path.c_str(), L"Shared", catalogue), 1);
        ApplyChange(path, c.Change);
        std::vector<uitest::BoxRecord> boxes;
        EXPECT_EQ(Check({IDNO}, &boxes), c.Question ? 0 : 1);
        if (c.Question) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].Text, c.Question);
            EXPECT_EQ(boxes[0].Caption, L"Unit Assignment Set Editor");
            // Asked again at the next Save, and Yes lets it write.
            EXPECT_EQ(Check({IDYES}, &boxes), 1);
            EXPECT_EQ(boxes.size(), 1u);
        } else {
            EXPECT_TRUE(boxes.empty());
        }
    }
}

TEST_F(SetGuardTest, WhatThisEditorWroteIsNoChangeAndAnswerNoKeepsTheEditsMarked)
{
    std::vector<uitest::BoxRecord> boxes;
    EXPECT_EQ(Check({}, &boxes), 1);
    EXPECT_TRUE(boxes.empty());

    // Another editor saves its version; this one has typed since.
    WriteBytes(path, "* theirs\r\nLength km\r\n");
    SetControlText(Editor.DescEdit, L"Mine");
    Editor.Modified = 1;
    EXPECT_EQ(Check({IDNO}, &boxes), 0);
    EXPECT_EQ(ReadBytes(path), "* theirs\r\nLength km\r\n");
    EXPECT_EQ(Editor.Modified, 1);

    // Reading the file again makes it this editor's own: no question.
    wchar_t description[SetFileDescriptionChars + 1];
    ASSERT_EQ(EditGuardedRead(path.c_str(), catalogue, description), 1);
    EXPECT_EQ(Check({}, &boxes), 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SetGuardTest, AFileThatCannotBeReadIsLeftToTheWriteToJudge)
{
    // A folder in the file's place: nothing can be compared, the write
    // itself fails and says why.
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    std::vector<uitest::BoxRecord> boxes;
    EXPECT_EQ(Check({}, &boxes), 1);
    EXPECT_TRUE(boxes.empty());
    RemoveDirectoryW(path.c_str());
}

TEST(SetStampTest, RecordsOfFilesAndBytesAgree)
{
    const std::wstring folder = NewFolder(L"stamp");
    const std::wstring path = folder + L"a.uas";
    const std::string bytes = "* a\r\nLength m\r\n";
    WriteBytes(path, bytes);
    const SetFileStamp file = SetFileStampOf(path.c_str());
    const SetFileStamp meant = SetFileStampOfBytes(bytes.data(), bytes.size());
    EXPECT_TRUE(file.Known && file.Exists);
    EXPECT_EQ(file.Size, bytes.size());
    EXPECT_TRUE(SetFileStampSame(file, meant));

    const SetFileStamp missing = SetFileStampOf((folder + L"none.uas").c_str());
    EXPECT_TRUE(missing.Known);
    EXPECT_FALSE(missing.Exists);
    EXPECT_TRUE(SetFileStampSame(missing, missing));
    EXPECT_FALSE(SetFileStampSame(missing, file));

    std::string other = bytes;
    other[2] = 'b';
    EXPECT_FALSE(SetFileStampSame(file, SetFileStampOfBytes(other.data(), other.size())));
    const SetFileStamp unknown = SetFileStampOf(folder.c_str());
    EXPECT_FALSE(unknown.Known);
    EXPECT_FALSE(SetFileStampSame(unknown, unknown)) << "nothing known is never the same";
}

} // namespace
