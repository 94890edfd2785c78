// Reading the installation profile from real files named by KALVEX_PROFILE,
// and from the demo profile beside the program.
#include <gtest/gtest.h>

#include "testfiles.h"
#include "vel32.h"

#include <memory>
#include <utility>
#include <string>
#include <vector>

namespace {

constexpr wchar_t Guard = 0xABCD;
constexpr int32_t Guards = 8;

class ProfileTest : public testing::Test {
protected:
    // Makes text (UTF-8) the profile.
    void Use(const std::string &bytes)
    {
        env_.reset();
        const std::wstring path =
            dir_.Write(L"profile" + std::to_wstring(++count_) + L".ini", bytes);
        env_.reset(new testfiles::ScopedEnv(L"KALVEX_PROFILE", path.c_str()));
    }

    // Reads with a buffer of capacity chars followed by guard characters.
    // Returns the status; value gets the text when it succeeded.
    KxStatus Read(const wchar_t *section, const wchar_t *key, int32_t capacity = 80)
    {
        buffer_.assign(static_cast<size_t>(capacity + Guards), Guard);
        size_ = capacity;
        KxStatus status = 77;
        const int16_t result = ProfReadStringW(section, key, buffer_.data(), &size_, &status);
        EXPECT_EQ(result, status);
        for (int32_t i = capacity; i < capacity + Guards; ++i)
            EXPECT_EQ(buffer_[static_cast<size_t>(i)], Guard) << "written past the buffer at " << i;
        value_ = status == 0 ? std::wstring(buffer_.data()) : std::wstring();
        return status;
    }

    bool BufferUntouched() const
    {
        for (wchar_t c : buffer_)
            if (c != Guard)
                return false;
        return true;
    }

    // One key of a section and the value it should give.
    struct Expected {
        const wchar_t *Key;
        std::wstring Value;
    };

    // Reads each key of the section (room for capacity characters) and
    // checks its value; a failure names the key.
    void ExpectValues(const wchar_t *section, const std::vector<Expected> &rows,
                      int32_t capacity = 80)
    {
        for (const Expected &row : rows) {
            ASSERT_EQ(Read(section, row.Key, capacity), 0) << row.Key;
            EXPECT_EQ(value_, row.Value) << row.Key;
        }
    }

    // Whether the read was refused without a character written, telling
    // the capacity needed (0: none, the value is missing or unusable).
    ::testing::AssertionResult Refused(const wchar_t *section, const wchar_t *key, int32_t capacity,
                                       int32_t needed)
    {
        if (Read(section, key, capacity) == 0)
            return ::testing::AssertionFailure() << "read, giving " << testfiles::Utf8(value_);
        if (!BufferUntouched())
            return ::testing::AssertionFailure() << "refused, but the buffer was written";
        if (size_ != needed)
            return ::testing::AssertionFailure()
                   << "refused, telling a size of " << size_ << " instead of " << needed;
        return ::testing::AssertionSuccess();
    }

    testfiles::TempDir dir_;
    std::unique_ptr<testfiles::ScopedEnv> env_;
    std::vector<wchar_t> buffer_;
    std::wstring value_;
    int32_t size_ = 0; // *size after the last Read
    int count_ = 0;
};

const char *const Plain = "[Kalvex_Section]\r\n"
                          "Root_Dir=C:\\Kalvex\r\n"
                          "  Set_Dir  =   C:\\Kalvex\\sets with blanks   \r\n"
                          "Empty=\r\n"
                          "Formula=a=b\r\n"
                          "; Language=commented\r\n"
                          "# Help_Dir=commented\r\n"
                          "[VelWin_Section]\r\n"
                          "Language=German\r\n";

} // namespace

TEST_F(ProfileTest, ReadsValuesOfTheirOwnSection)
{
    Use(Plain);
    ExpectValues(L"Kalvex_Section", {{L"Root_Dir", L"C:\\Kalvex"},
                                     {L"Set_Dir", L"C:\\Kalvex\\sets with blanks"},
                                     {L"Formula", L"a=b"}});
    ExpectValues(L"VelWin_Section", {{L"Language", L"German"}});
}

TEST_F(ProfileTest, EmptyValueIsPresent)
{
    Use(Plain);
    ExpectValues(L"Kalvex_Section", {{L"Empty", L""}});
}

TEST_F(ProfileTest, AbsentValuesFailAndLeaveTheBuffer)
{
    Use(Plain);
    const struct {
        const wchar_t *Section, *Key, *Why;
    } absent[] = {
        {L"Kalvex_Section", L"Units_File", L"no such key"},
        {L"Other_Section", L"Root_Dir", L"no such section"},
        {L"Kalvex_Section", L"Language", L"a key of another section"},
        {L"Kalvex_Section", L"Help_Dir", L"a commented-out key"},
    };
    for (const auto &a : absent)
        EXPECT_TRUE(Refused(a.Section, a.Key, 80, 0)) << a.Why;
}

TEST_F(ProfileTest, MissingFileFails)
{
    testfiles::ScopedEnv env(L"KALVEX_PROFILE", (dir_.Path() + L"\\none.ini").c_str());
    EXPECT_TRUE(Refused(L"Kalvex_Section", L"Root_Dir", 80, 0));
}

TEST_F(ProfileTest, NamesIgnoreCase)
{
    Use("[kalvex_SECTION]\nroot_dir=C:\\K\n");
    ExpectValues(L"Kalvex_Section", {{L"Root_Dir", L"C:\\K"}});
}

// A value that does not fit is refused whole, never cut: the caller learns
// the capacity it needs and can tell "too long" from "missing".
TEST_F(ProfileTest, LongValueIsRefusedWithTheNeededSize)
{
    Use("[S]\nK=0123456789ABCDEFGHIJ\n");
    for (int32_t capacity : {20, 8, 1, 0})
        EXPECT_TRUE(Refused(L"S", L"K", capacity, 21)) << "capacity " << capacity;
    // Exactly the needed capacity fits, and then the size is left alone.
    ASSERT_EQ(Read(L"S", L"K", 21), 0);
    EXPECT_EQ(value_, L"0123456789ABCDEFGHIJ");
    EXPECT_EQ(size_, 21);
    // The size reported is enough for a second read.
    ASSERT_NE(Read(L"S", L"K", 4), 0);
    ASSERT_EQ(Read(L"S", L"K", size_), 0);
    EXPECT_EQ(value_, L"0123456789ABCDEFGHIJ");
}

// The empty value fits any buffer with room for the terminator, but not none.
TEST_F(ProfileTest, EmptyValueNeedsRoomForTheTerminator)
{
    Use(Plain);
    ASSERT_EQ(Read(L"Kalvex_Section", L"Empty", 1), 0);
    EXPECT_EQ(value_, L"");
    EXPECT_NE(Read(L"Kalvex_Section", L"Empty", 0), 0);
    EXPECT_EQ(size_, 1);
}

// The folder value that once came back cut to 79 characters and made the
// program load its libraries from another folder.
TEST_F(ProfileTest, LongFolderIsNotCutToEightyCharacters)
{
    const std::string folder = "C:\\Kalvex\\" + std::string(78, 'r');
    Use("[Kalvex_Section]\nResource_Binary_Dir=" + folder + "\n");
    EXPECT_TRUE(Refused(L"Kalvex_Section", L"Resource_Binary_Dir", 80, 89));
}

// Values that name places relative to the profile, or per-user folders of
// the environment, come back as the full paths they stand for; other values
// as written.
TEST_F(ProfileTest, RelativeFoldersAreTakenFromTheProfilesFolder)
{
    Use("[S]\n"
        "Here=.\\sets\n"
        "Slash=./sets/user\n"
        "Parent=..\\shared\\sets\n"
        "ParentSlash=../shared\n"
        "Dot=.\n"
        "DotDot=..\n"
        "Inner=.\\a\\..\\b\n");
    const std::wstring folder = dir_.Path();
    const std::wstring parent = folder.substr(0, folder.find_last_of(L'\\'));
    ExpectValues(L"S",
                 {{L"Here", folder + L"\\sets"},
                  {L"Slash", folder + L"\\sets\\user"},
                  {L"Parent", parent + L"\\shared\\sets"},
                  {L"ParentSlash", parent + L"\\shared"},
                  {L"Dot", folder},
                  {L"DotDot", parent},
                  {L"Inner", folder + L"\\b"}},
                 1024);
}

TEST_F(ProfileTest, ValuesThatAreNoRelativePathsStayAsWritten)
{
    Use("[S]\n"
        "Language=German\n"
        "Users=anna, bert\n"
        "Hidden=.hidden\n"
        "Dots=...\\x\n"
        "Absolute=C:\\Kalvex\\..\\sets\n"
        "Inner=sets\\..\\x\n"
        "Percent=50% done\n");
    ExpectValues(L"S", {{L"Language", L"German"},
                        {L"Users", L"anna, bert"},
                        {L"Hidden", L".hidden"},
                        {L"Dots", L"...\\x"},
                        {L"Absolute", L"C:\\Kalvex\\..\\sets"},
                        {L"Inner", L"sets\\..\\x"},
                        {L"Percent", L"50% done"}});
}

TEST_F(ProfileTest, EnvironmentReferencesAreExpanded)
{
    testfiles::ScopedEnv data(L"UAS_TEST_DATA", L"C:\\Users\\anna\\AppData\\Roaming");
    testfiles::ScopedEnv rel(L"UAS_TEST_REL", L"..\\shared");
    testfiles::ScopedEnv unknown(L"UAS_TEST_UNKNOWN", nullptr);
    Use("[S]\n"
        "Sets=%UAS_TEST_DATA%\\Kalvex\\Sets\n"
        "Twice=%uas_test_data%;%UAS_TEST_DATA%\n"
        "Unknown=%UAS_TEST_UNKNOWN%\\Sets\n"
        "Relative=%UAS_TEST_REL%\\sets\n");
    ASSERT_EQ(Read(L"S", L"Sets"), 0);
    EXPECT_EQ(value_, L"C:\\Users\\anna\\AppData\\Roaming\\Kalvex\\Sets");
    ASSERT_EQ(Read(L"S", L"Twice", 200), 0);
    EXPECT_EQ(value_, L"C:\\Users\\anna\\AppData\\Roaming;C:\\Users\\anna\\AppData\\Roaming");
    // A variable that is not set makes the value unusable, never a folder
    // named after the reference.
    EXPECT_NE(Read(L"S", L"Unknown"), 0);
    EXPECT_EQ(size_, 0);
    // Expanded first, then taken relative to the profile.
    const std::wstring folder = dir_.Path();
    ASSERT_EQ(Read(L"S", L"Relative", 1024), 0);
    EXPECT_EQ(value_, folder.substr(0, folder.find_last_of(L'\\')) + L"\\shared\\sets");
}

// Keys that name places (ending in _Dir or _File) take a bare relative name
// from the profile's folder too, wherever the program was started; other
// keys keep their words.
TEST_F(ProfileTest, PlacesAreRelativeToTheProfileAlsoAsBareNames)
{
    Use("[Kalvex_Section]\n"
        "Set_Dir=setsB\n"
        "Units_File=data\\myunits.txt\n"
        "Help_Dir=.\\help\n"
        "Root_Dir=\\kalvex\n"
        "Resource_Binary_Dir=C:res\n"
        "Other_Dir=C:\\abs\\res\n"
        "Share_Dir=\\\\server\\share\\sets\n"
        "Language=German\n"
        "Allowed_Users=anna\n");
    const std::wstring folder = dir_.Path();
    wchar_t elsewhere[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, elsewhere);
    const std::vector<Expected> cases = {
        {L"Set_Dir", folder + L"\\setsB"},
        {L"Units_File", folder + L"\\data\\myunits.txt"},
        {L"Help_Dir", folder + L"\\help"},
        {L"Root_Dir", L"\\kalvex"},
        {L"Resource_Binary_Dir", L"C:res"},
        {L"Other_Dir", L"C:\\abs\\res"},
        {L"Share_Dir", L"\\\\server\\share\\sets"},
        {L"Language", L"German"},
        {L"Allowed_Users", L"anna"},
    };
    // The same from two different current folders.
    for (const wchar_t *current : {static_cast<const wchar_t *>(elsewhere), L"C:\\"}) {
        ASSERT_TRUE(SetCurrentDirectoryW(current));
        ExpectValues(L"Kalvex_Section", cases, 1024);
    }
    SetCurrentDirectoryW(elsewhere);
}

TEST_F(ProfileTest, AnUnsetVariableIsNamedAndTheValueIsNotUsed)
{
    testfiles::ScopedEnv set(L"UAS_TEST_SET", L"C:\\data");
    testfiles::ScopedEnv unset(L"UAS_TEST_UNSET", nullptr);
    testfiles::ScopedEnv blank(L"UAS TEST NOPE 7", nullptr);
    testfiles::ScopedEnv nested(L"UAS_TEST_NESTED", L"%UAS_TEST_UNSET%\\sets");
    testfiles::ScopedEnv both(L"UAS_TEST_BOTH", L"%UAS_TEST_SET%");
    Use("[Kalvex_Section]\n"
        "Set_Dir=%UAS_TEST_UNSET%\\sets\n"
        "Nested_Dir=%UAS_TEST_NESTED%\n"
        "Blank_Dir=%UAS TEST NOPE 7%\\sets\n"
        "Left_Dir=%UAS_TEST_BOTH%\\sets\n"
        "Help_Dir=%UAS_TEST_SET%\\%UAS_TEST_UNSET%\n"
        "Units_File=%UAS_TEST_SET%\\units.txt\n"
        "Percent=50% and 100%\n"
        "Twice=%%\n");
    const struct {
        const wchar_t *Key;
        const wchar_t *Unset; // empty: the value is usable
    } cases[] = {
        {L"Set_Dir", L"UAS_TEST_UNSET"},
        {L"Help_Dir", L"UAS_TEST_UNSET"},
        // Left over after the one expansion: a folder named "%...%" otherwise.
        {L"Nested_Dir", L"UAS_TEST_UNSET"},
        {L"Left_Dir", L"UAS_TEST_SET"},
        {L"Blank_Dir", L"UAS TEST NOPE 7"},
        {L"Units_File", L""},
        {L"Percent", L""},
        {L"Twice", L""},
        {L"Missing_Key", L""},
    };
    for (const auto &c : cases) {
        wchar_t name[40] = L"untouched";
        const int16_t found = ProfGetUnsetVariableW(L"Kalvex_Section", c.Key, name, 40);
        EXPECT_EQ(found, c.Unset[0] ? 1 : 0) << c.Key;
        EXPECT_STREQ(name, c.Unset) << c.Key;
        if (c.Unset[0]) {
            EXPECT_TRUE(Refused(L"Kalvex_Section", c.Key, 1024, 0)) << c.Key;
        }
    }
    // A name longer than the room is cut to it, terminated.
    wchar_t small[5];
    EXPECT_EQ(ProfGetUnsetVariableW(L"Kalvex_Section", L"Set_Dir", small, 5), 1);
    EXPECT_STREQ(small, L"UAS_");
}

// What a key holds, as a guard must tell it: absent lets a setting be
// unmade, everything else that is not a value must be refused.
TEST_F(ProfileTest, ValueStateTellsAbsentFromUnusable)
{
    testfiles::ScopedEnv unset(L"UAS_TEST_UNSET", nullptr);
    Use("[S]\nGiven=a,b\nEmpty=\nUnset=%UAS_TEST_UNSET%\n");
    const struct {
        const wchar_t *Key;
        int16_t State;
        const wchar_t *Variable;
    } cases[] = {
        {L"Given", PROF_VALUE_PRESENT, L""},
        {L"Empty", PROF_VALUE_PRESENT, L""},
        {L"Missing", PROF_VALUE_ABSENT, L""},
        {L"Unset", PROF_VALUE_UNSET_VARIABLE, L"UAS_TEST_UNSET"},
    };
    for (const auto &c : cases) {
        wchar_t variable[40] = L"untouched";
        EXPECT_EQ(ProfGetValueStateW(L"S", c.Key, variable, 40), c.State) << c.Key;
        EXPECT_STREQ(variable, c.Variable) << c.Key;
    }
    EXPECT_EQ(ProfGetValueStateW(L"Other", L"Given", nullptr, 0), PROF_VALUE_ABSENT);

    // Held open by another program without sharing: there, but unreadable.
    wchar_t path[MAX_PATH];
    GetEnvironmentVariableW(L"KALVEX_PROFILE", path, MAX_PATH);
    HANDLE held = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ProfGetValueStateW(L"S", L"Given", nullptr, 0), PROF_VALUE_UNREADABLE);
    CloseHandle(held);

    const std::wstring none = dir_.Path() + L"\\none.ini";
    testfiles::ScopedEnv missing(L"KALVEX_PROFILE", none.c_str());
    EXPECT_EQ(ProfGetValueStateW(L"S", L"Given", nullptr, 0), PROF_VALUE_NO_PROFILE);
}

// The capacity counts the value as it is handed out, not as it is written.
TEST_F(ProfileTest, ValueTooLongOnlyAfterExpansionIsRefused)
{
    const std::wstring longFolder = L"C:\\" + std::wstring(100, L'p');
    testfiles::ScopedEnv data(L"UAS_TEST_DATA", longFolder.c_str());
    Use("[S]\nSets=%UAS_TEST_DATA%\\Sets\nHere=.\\x\n");
    // "%UAS_TEST_DATA%\Sets" is 20 characters and would fit 80.
    EXPECT_TRUE(Refused(L"S", L"Sets", 80, static_cast<int32_t>(longFolder.size() + 5 + 1)));
    ASSERT_EQ(Read(L"S", L"Sets", size_), 0);
    EXPECT_EQ(value_, longFolder + L"\\Sets");
    // ".\x" fits 4, its full path does not.
    EXPECT_TRUE(Refused(L"S", L"Here", 4, static_cast<int32_t>(dir_.Path().size() + 3)));
}

TEST_F(ProfileTest, Utf8WithByteOrderMark)
{
    Use("\xEF\xBB\xBF[S]\nK=Z\xC3\xBCrich \xE6\x97\xA5\xE6\x9C\xAC\n");
    ExpectValues(L"S", {{L"K", L"Z\u00fcrich \u65e5\u672c"}});
}

// Without KALVEX_PROFILE the demo profile beside the program is read.
TEST_F(ProfileTest, DemoProfileBesideTheProgram)
{
    testfiles::ScopedEnv env(L"KALVEX_PROFILE", nullptr);
    ASSERT_EQ(Read(L"Kalvex_Section", L"Units_File", 1024), 0);
    ASSERT_GT(value_.size(), 10u);
    EXPECT_EQ(value_.substr(value_.size() - 10), L"\\units.txt");
}
