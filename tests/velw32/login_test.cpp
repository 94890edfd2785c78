// The sign-on: the profile's list of allowed users, the /user: argument,
// the refusal message and the sign-on record.
#include <gtest/gtest.h>

#include "velw32.h"
#include "velw32_login.h"
#include "tempinstall.h"
#include "uitest.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring WindowsUser()
{
    wchar_t name[257] = L"";
    DWORD size = 257;
    GetUserNameW(name, &size);
    return name;
}

std::wstring SwapCase(std::wstring text)
{
    for (wchar_t &c : text)
        c = iswupper(c) ? towlower(c) : towupper(c);
    return text;
}

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        user_ = WindowsUser();
        ASSERT_FALSE(user_.empty());
    }

    void Allow(const std::wstring &list)
    {
        profile_.WriteProfile({{L"Kalvex_Section", L"Allowed_Users", list}});
    }

    // Signs on with the given arguments behind a program name; records the
    // message boxes.
    int16_t SignOn(std::vector<std::wstring> arguments = {}, int16_t flags = 1)
    {
        std::vector<std::wstring> all = {L"C:\\inst\\uasedit.exe"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<wchar_t *> vector;
        for (auto &a : all)
            vector.push_back(&a[0]);
        uitest::MessageBoxAnswerer answerer({IDOK});
        const int16_t result = LoginChkParameters(static_cast<int32_t>(vector.size()),
                                                  vector.data(), L"Unit Assignment Set Editor",
                                                  L"Kalvex engineering tools", flags, area_);
        boxes_ = answerer.Boxes();
        return result;
    }

    const LoginRecord &Record() const { return *reinterpret_cast<const LoginRecord *>(area_); }

    std::wstring user_;
    TempInstall profile_;
    alignas(8) unsigned char area_[LOGIN_AREA_BYTES] = {};
    std::vector<uitest::BoxRecord> boxes_;
};

TEST_F(LoginTest, UserInTheListSignsOnIgnoringCaseAndBlanks)
{
    Allow(L"alice , " + SwapCase(user_) + L" ,bob");
    EXPECT_EQ(SignOn(), 1);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(Record().Magic, LOGIN_RECORD_MAGIC);
    EXPECT_EQ(Record().Size, sizeof(LoginRecord));
    EXPECT_EQ(std::wstring(Record().User), user_);
    EXPECT_EQ(Record().ProcessId, GetCurrentProcessId());
    EXPECT_NE(Record().SignOnTime.dwHighDateTime, 0u);
}

TEST_F(LoginTest, UserNotInTheListIsRefusedWithTheReason)
{
    Allow(L"alice,bob");
    EXPECT_EQ(SignOn(), 0);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Caption, L"Unit Assignment Set Editor");
    EXPECT_EQ(boxes_[0].Text, L"The user '" + user_ +
                                  L"' may not sign on to this installation.\n\n"
                                  L"Kalvex engineering tools");
    EXPECT_NE(Record().Magic, LOGIN_RECORD_MAGIC);

    // Flag 0: the same refusal, silently.
    EXPECT_EQ(SignOn({}, 0), 0);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(LoginTest, PartOfANameIsNotTheName)
{
    Allow(L"x" + user_ + L"," + user_ + L"x");
    EXPECT_EQ(SignOn({}, 0), 0);
}

TEST_F(LoginTest, EmptyOrAbsentListLetsEveryoneIn)
{
    Allow(L"");
    EXPECT_EQ(SignOn(), 1);
    Allow(L" , ,");
    EXPECT_EQ(SignOn(), 1);
    profile_.WriteProfileText(L"[Kalvex_Section]\r\nRoot_Dir=C:\\inst\r\n");
    EXPECT_EQ(SignOn(), 1);
    EXPECT_TRUE(boxes_.empty());
}

// A guard that cannot read its setting refuses: a list that is there but
// cannot be had lets no one in, the user's own name in it or not, and says
// which key and why.
TEST_F(LoginTest, ListThatCannotBeReadRefusesEveryoneAndSaysWhy)
{
    testfiles::ScopedEnv unset(L"UAS_LOGIN_UNSET", nullptr);
    testfiles::ScopedEnv blank(L"UAS LOGIN NOPE 7", nullptr);
    testfiles::ScopedEnv nested(L"UAS_LOGIN_NESTED", L"%UAS_LOGIN_UNSET%,");
    const std::wstring where =
        L"The list of users who may sign on (Allowed_Users in section Kalvex_Section of the "
        L"installation profile) ";
    const std::wstring after = L" No one may sign on until the list can be read.";
    const struct {
        std::wstring List;
        std::wstring Cause;
    } cases[] = {
        {L"%UAS_LOGIN_UNSET%",
         L"refers to the environment variable UAS_LOGIN_UNSET, which is not set."},
        {L"%UAS_LOGIN_UNSET%," + user_,
         L"refers to the environment variable UAS_LOGIN_UNSET, which is not set."},
        // Left over after expansion: a variable's value names another one.
        {L"%UAS_LOGIN_NESTED%" + user_,
         L"refers to the environment variable UAS_LOGIN_UNSET, which is not set."},
        {L"%UAS LOGIN NOPE 7%",
         L"refers to the environment variable UAS LOGIN NOPE 7, which is not set."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testfiles::Utf8(c.List));
        Allow(c.List);
        EXPECT_EQ(SignOn(), 0);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(testfiles::Utf8(boxes_[0].Text),
                  testfiles::Utf8(where + c.Cause + after + L"\n\nKalvex engineering tools"));
    }

    // A profile that another program holds open without sharing it.
    Allow(user_);
    HANDLE held = CreateFileW(profile_.ProfilePath().c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const int16_t signedOn = SignOn();
    CloseHandle(held);
    EXPECT_EQ(signedOn, 0);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(testfiles::Utf8(boxes_[0].Text),
              testfiles::Utf8(where + L"cannot be read: the profile cannot be opened or read." +
                              after + L"\n\nKalvex engineering tools"));
    EXPECT_EQ(SignOn(), 1) << "read again once it is free";
}

TEST_F(LoginTest, LongListIsReadWhole)
{
    // A list far longer than any first buffer, the user at its very end.
    std::wstring list;
    for (int i = 0; i < 200; ++i)
        list += L"engineer" + std::to_wstring(i) + L",";
    Allow(list + user_);
    EXPECT_EQ(SignOn(), 1);
}

TEST_F(LoginTest, ListCutAtABufferBoundaryDoesNotAdmitAPrefix)
{
    // If the list were cut after 255 characters, it would end in the user's
    // own name, taken from the longer name that is really listed.
    std::wstring list = L"a";
    while (list.size() + 1 + user_.size() < 255)
        list += L"a";
    list += L"," + user_ + L"beer";
    Allow(list);
    EXPECT_EQ(SignOn({}, 0), 0);
}

TEST_F(LoginTest, UserArgumentOfAnotherNameIsRefused)
{
    Allow(L"");
    EXPECT_EQ(SignOn({L"/user:somebodyelse"}), 0);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_NE(boxes_[0].Text.find(L"'somebodyelse'"), std::wstring::npos)
        << "names who was asked for";
    EXPECT_NE(boxes_[0].Text.find(L"'" + user_ + L"'"), std::wstring::npos)
        << "names the Windows user";
    EXPECT_EQ(boxes_[0].Text.substr(boxes_[0].Text.size() - 26), L"\n\nKalvex engineering tools");
}

TEST_F(LoginTest, UserArgumentOfTheOwnNameIsAccepted)
{
    Allow(L"");
    EXPECT_EQ(SignOn({L"/user:" + SwapCase(user_)}), 1);
    EXPECT_EQ(SignOn({L"-USER:" + user_, L"/other", L"file.uas"}), 1);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(LoginTest, UserArgumentOnlyNarrows)
{
    Allow(L"");
    EXPECT_EQ(SignOn({L"/user:" + user_, L"/user:alice"}, 0), 0) << "every /user: must match";
    EXPECT_EQ(SignOn({L"/username", L"user:alice", L"/users:alice"}), 1)
        << "other arguments are ignored";
    Allow(L"alice");
    EXPECT_EQ(SignOn({L"/user:alice"}, 0), 0);
    EXPECT_EQ(SignOn({L"/user:" + user_}, 0), 0);
}

TEST_F(LoginTest, AreaIsNotOverrun)
{
    Allow(L"");
    unsigned char block[LOGIN_AREA_BYTES + 32];
    std::memset(block, 0xCC, sizeof block);
    wchar_t program[] = L"uasedit.exe";
    wchar_t *arguments[] = {program};
    EXPECT_EQ(LoginChkParameters(1, arguments, L"t", L"x", 1, block), 1);
    for (size_t i = LOGIN_AREA_BYTES; i < sizeof block; ++i)
        EXPECT_EQ(block[i], 0xCC) << "byte " << i;
    for (size_t i = sizeof(LoginRecord); i < LOGIN_AREA_BYTES; ++i)
        EXPECT_EQ(block[i], 0) << "byte " << i << " of the area is cleared";
    EXPECT_EQ(LoginChkParameters(0, nullptr, L"t", L"x", 1, nullptr), 1) << "no arguments, no area";
}

TEST(GetArgumentsTest, GivesTheProcessArgumentsOnce)
{
    int32_t count = -1;
    wchar_t **first = GetArguments(&count);
    ASSERT_NE(first, nullptr);
    ASSERT_GE(count, 1);
    EXPECT_NE(std::wstring(first[0]).find(L"velw32_tests"), std::wstring::npos);
    int32_t again = -1;
    EXPECT_EQ(GetArguments(&again), first);
    EXPECT_EQ(again, count);
}

} // namespace
