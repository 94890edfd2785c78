// Saves that cannot happen, through the real commands and the real window:
// a read-only set file, a file another process holds open without sharing,
// a set folder that has gone, a folder where the file should be, and a full
// disk. Each time the user must be told the cause, the old file must keep
// every byte, no temporary file may stay behind, the set must stay changed,
// and answering Yes to Exit's save question must not end the program.
#include "process.h"
#include "relreport.h"
#include "relwindow.h"

#include "resource.h"
#include "testinstall.h"
#include "vel32.h"
#include "velw32.h"

#include <optional>
#include <string>

using namespace relwindow;

namespace {

const std::wstring CauseReadOnly =
    L"access is denied (the file is read-only, or you may not write to its folder).";
const std::wstring CauseFull = L"the disk is full.";
const std::wstring CauseInUse = L"the file is in use by another program.";
const std::wstring CauseFolder = L"a folder of that name is in the way.";
const std::wstring CauseNoFolder = L"the folder does not exist.";

std::wstring WriteError(const std::wstring &path, const std::wstring &cause)
{
    return L"Error opening/writing database.\n\nFile: " + path + L"\nReason: " + cause;
}

std::optional<std::string> Bytes(const std::wstring &path)
{
    std::string bytes;
    if (!testinstall::ReadBytes(path, bytes))
        return std::nullopt;
    return bytes;
}

std::wstring FolderOf(const std::wstring &path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

class SaveFaults : public WindowTest {
protected:
    // Changes the set, saves it with Save (or Save As onto the same name)
    // and checks everything a refused save must leave; then Exit answered
    // Yes. Returns the number of checks that failed, for the table.
    int ExpectRefused(const std::wstring &what, const std::wstring &path, const std::wstring &cause,
                      bool throughSaveAs = false)
    {
        const int failuresBefore = ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        const std::optional<std::string> before = Bytes(path);
        const bool gone = !testinstall::Exists(path);
        PickUnit(1, 3);
        TypeDescription(L"Changed and not yet saved " + what);
        EXPECT_EQ(Editor.Modified, 1);
        {
            std::vector<Step> steps = {Press(IDOK)};
            // A set file that is gone is first a question (save it again?),
            // answered Yes; then the write fails and says why. One that is
            // there but cannot be read (held, a folder) is left to the write.
            if (gone)
                steps = {Press(IDYES), Press(IDOK)};
            if (throughSaveAs)
                steps = {Choose(Editor.CurrentSetName), Press(IDYES), Press(IDOK)};
            Script script(steps);
            Command(throughSaveAs ? IDM_SAVEAS : IDM_SAVE);
            const std::vector<std::wstring> boxes = script.Boxes();
            EXPECT_FALSE(boxes.empty()) << Utf8(what) << ": nobody was told";
            if (!boxes.empty()) {
                EXPECT_EQ(boxes.back(), WriteError(path, cause)) << Utf8(what);
            }
        }
        EXPECT_EQ(Bytes(path), before) << Utf8(what) << ": the old file changed";
        EXPECT_EQ(TempFilesIn(FolderOf(path)), std::vector<std::wstring>()) << Utf8(what);
        EXPECT_EQ(Editor.Modified, 1) << Utf8(what) << ": the change is forgotten";
        EXPECT_EQ(Entries()[1]->SelectedUnit, 3);
        {
            std::vector<Step> steps = {Press(IDYES), Press(IDOK)};
            if (gone)
                steps = {Press(IDYES), Press(IDYES), Press(IDOK)};
            Script script(steps);
            Command(IDM_EXIT);
            EXPECT_EQ(script.Boxes().size(), steps.size()) << Utf8(what) << ": questions and error box";
            EXPECT_FALSE(TakeQuit()) << Utf8(what) << ": Exit went on after a failed save";
        }
        EXPECT_EQ(Bytes(path), before) << Utf8(what);
        EXPECT_EQ(Editor.Modified, 1) << Utf8(what);
        const int failed = ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() - failuresBefore;
        rel::Record({"save faults", Utf8(what), 1, failed ? 1u : 0u,
                     "told: " + Utf8(cause)});
        return failed;
    }
};


TEST_F(SaveFaults, ReadOnlyFile)
{
    SaveAs(L"ReadOnly");
    const std::wstring path = testinstall::SetPath(L"ReadOnly");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectRefused(L"target read-only (Save)", path, CauseReadOnly);
    ExpectRefused(L"target read-only (Save As, replacing)", path, CauseReadOnly, true);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Another program holds the set file open: a process of its own, so that
// the system's rules between processes apply. However it shares the file,
// and whether or not it has locked it, the file is in use.
TEST_F(SaveFaults, FileHeldOpenByAnotherProcess)
{
    struct Hold {
        const wchar_t *How; // relhelper's way of holding the file
        const wchar_t *What;
    };
    const Hold holds[] = {
        {L"", L"target held open without sharing by another process"},
        {L"share-read", L"target held open sharing reads only by another process"},
        {L"lock", L"target locked by another process"},
    };
    SaveAs(L"Held");
    const std::wstring path = testinstall::SetPath(L"Held");
    for (const Hold &hold : holds) {
        SCOPED_TRACE(Utf8(hold.What));
        const std::wstring name = L"uasrel-hold-" + std::to_wstring(GetCurrentProcessId());
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, (name + L"-ready").c_str());
        HANDLE release = CreateEventW(nullptr, TRUE, FALSE, (name + L"-release").c_str());
        testprocess::Process helper(testprocess::Sibling(L"relhelper.exe") + L" hold \"" + path +
                                    L"\" " + name + L" " + hold.How);
        ASSERT_TRUE(helper.Started()) << helper.Result().Why();
        // The helper sets the event once it holds the file, or ends early.
        const HANDLE either[] = {ready, helper.Handle()};
        const DWORD woke = WaitForMultipleObjects(2, either, FALSE, 30000);
        ASSERT_EQ(woke, WAIT_OBJECT_0)
            << "waited 30000 ms for the helper to hold " << Utf8(path) << "; it "
            << (woke == WAIT_OBJECT_0 + 1 ? helper.WaitForExit(0).Why() : "is still running");
        HANDLE probe =
            CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(probe, INVALID_HANDLE_VALUE) << "the system does not see the helper's handle";
        if (probe != INVALID_HANDLE_VALUE)
            CloseHandle(probe);

        ExpectRefused(hold.What, path, CauseInUse);

        SetEvent(release);
        EXPECT_TRUE(helper.WaitForExit(30000).Ok()) << helper.Result().Why();
        for (HANDLE h : {ready, release})
            CloseHandle(h);
        // Once the file is free, the same save goes through.
        Script script({});
        Command(IDM_SAVE);
        EXPECT_TRUE(script.Boxes().empty());
        EXPECT_EQ(Editor.Modified, 0);
    }
}

// The same within this process: Wine keeps share modes between handles of
// one process too, so the save must be refused the same way.
TEST_F(SaveFaults, FileHeldOpenInThisProcess)
{
    SaveAs(L"HeldHere");
    const std::wstring path = testinstall::SetPath(L"HeldHere");
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ExpectRefused(L"target held open without sharing in the same process", path, CauseInUse);
    CloseHandle(held);
}

TEST_F(SaveFaults, SetFolderGone)
{
    SaveAs(L"Gone");
    const std::wstring path = testinstall::SetPath(L"Gone");
    EmptySetFolder();
    ASSERT_TRUE(RemoveDirectoryW(testinstall::SetFolder().c_str()));
    ExpectRefused(L"set folder gone (Save)", path, CauseNoFolder);
    EXPECT_FALSE(testinstall::Exists(testinstall::SetFolder())) << "the save made the folder again";

    // Save As lists the set folder, which makes it again when it is gone;
    // the set is then saved there.
    {
        Script script({Choose(L"Elsewhere"), Press(IDOK)});
        Command(IDM_SAVEAS);
        EXPECT_EQ(script.Boxes(), std::vector<std::wstring>());
        EXPECT_TRUE(testinstall::Exists(testinstall::SetPath(L"Elsewhere")));
        EXPECT_EQ(Editor.Modified, 0);
    }
    rel::Record({"save faults", "set folder gone (Save As: the folder is made again, saved)", 1,
                 HasFailure() ? 1u : 0u, "nothing to tell"});
    CreateDirectoryW(testinstall::SetFolder().c_str(), nullptr);
}

TEST_F(SaveFaults, FolderInPlaceOfTheFile)
{
    SaveAs(L"Dir");
    const std::wstring path = testinstall::SetPath(L"Dir");
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    ExpectRefused(L"target is a folder (Save)", path, CauseFolder);
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryW(path.c_str());
}

// A small file system mounted for the test (see fulldisk.sh), filled up
// after the first save: the next, larger save cannot find room.
TEST_F(SaveFaults, FullDisk)
{
    const char *mount = std::getenv("UAS_REL_FULLDISK");
    std::wstring folder;
    if (mount && *mount) {
        folder = L"Z:";
        for (const char *p = mount; *p; ++p)
            folder += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    }
    if (folder.empty() || !testinstall::Exists(folder + L"\\.mounted")) {
        std::printf("\n!!!!!!!!!! FULL DISK NOT TESTED: no small file system is mounted here "
                    "(UAS_REL_FULLDISK, mounting needs root)\n\n");
        rel::Record({"save faults", "full disk", 0, 0, "SKIPPED: no tmpfs could be mounted"});
        GTEST_SKIP() << "no small file system mounted for the full disk";
    }

    // A profile like the installation's, with the set folder on the small disk.
    const std::wstring profile = testinstall::Root() + L"\\kalvex.ini";
    std::string text;
    ASSERT_TRUE(testinstall::ReadBytes(profile, text));
    const std::string oldDir = "Set_Dir=" + Utf8(testinstall::SetFolder());
    const size_t at = text.find(oldDir);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, oldDir.size(), "Set_Dir=" + Utf8(folder));
    const std::wstring fullProfile = testinstall::Root() + L"\\kalvex-full.ini";
    ASSERT_TRUE(testinstall::WriteBytes(fullProfile, text));
    SetEnvironmentVariableW(L"KALVEX_PROFILE", fullProfile.c_str());
    RecreateWindow();

    SaveAs(L"Full");
    const std::wstring path = folder + L"\\Full.uas";
    ASSERT_TRUE(testinstall::Exists(path));
    const std::wstring filler = folder + L"\\filler.bin";
    HANDLE fill = CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(fill, INVALID_HANDLE_VALUE);
    const std::string block(512, 'f');
    DWORD written = 0;
    size_t filled = 0;
    while (WriteFile(fill, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written > 0)
        filled += written;
    CloseHandle(fill);
    EXPECT_GT(filled, 0u);

    // The changed set is larger than the old one: a long description.
    TypeDescription(std::wstring(1500, L'w'));
    ExpectRefused(L"full disk (Save)", path, CauseFull);

    DeleteFileW(filler.c_str());
    Script script({});
    Command(IDM_SAVE);
    EXPECT_TRUE(script.Boxes().empty()) << "with room again the save goes through";
    EXPECT_EQ(Editor.Modified, 0);
    DeleteFileW(path.c_str());
    SetEnvironmentVariableW(L"KALVEX_PROFILE", profile.c_str());
}

} // namespace
