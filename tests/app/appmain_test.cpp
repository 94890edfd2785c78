// Start-up in the test's own process with a German installation: the
// window gets the program file's icon although the texts come from the
// German string library, the command-line tail given to start-up plays no
// part, and a normal end returns 1.
#include <gtest/gtest.h>

#include "appmain.h"
#include "importswap.h"
#include "resource.h"
#include "installenv.h"
#include "testinstall.h"
#include "uitest.h"
#include "velw32.h"
#include "velx32.h"

#include <string>
#include <vector>

namespace {

// One German installation for the whole program: the resource locator reads
// the profile once per process.
const auto *const environment = testinstall::AddInstallationEnvironment(testinstall::German());

struct Observed {
    bool Seen = false;
    HICON ClassIcon = nullptr;
    std::wstring Title;
    std::wstring FileMenu;
};
Observed observed;

// Runs inside the start-up's message loop: looks at the main window once it
// is there, then closes it as the user would.
void CALLBACK Observe(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowW(L"Unit Assignment Set Builder", nullptr);
    if (!window)
        return;
    KillTimer(nullptr, timer);
    observed.Seen = true;
    observed.ClassIcon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
    observed.Title = uitest::TextOf(window);
    observed.FileMenu = uitest::MenuText(GetMenu(window), 0, MF_BYPOSITION);
    PostMessageW(window, WM_CLOSE, 0, 0);
}

std::wstring StringOf(const std::wstring &dll, UINT id)
{
    HMODULE module = LoadLibraryW(dll.c_str());
    if (!module)
        return L"<" + dll + L" missing>";
    wchar_t text[256] = L"";
    LoadStringW(module, id, text, 256);
    return text;
}

TEST(AppMainTest, GermanInstallationKeepsTheProgramIconAndIgnoresTheTail)
{
    SetTimer(nullptr, 0, 100, Observe);
    uitest::LoopLimit limit("the main window to show and close", 10000);

    // The tail names another user: start-up must not hand it to the sign-on,
    // which takes the process's own arguments.
    const int code =
        AppMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L"/user:nobody"), SW_HIDE);

    EXPECT_EQ(code, 1);
    ASSERT_TRUE(observed.Seen);
    EXPECT_NE(observed.ClassIcon, nullptr);
    EXPECT_EQ(observed.ClassIcon,
              LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_UASEDIT)));
    const std::wstring res = testinstall::ResFolder();
    EXPECT_EQ(observed.Title, StringOf(res + L"\\uaseditg.dll", IDS_TITLE));
    EXPECT_NE(observed.Title, L"Unit Assignment Set Editor") << "the German title";
    EXPECT_EQ(observed.FileMenu, StringOf(res + L"\\kxcommog.dll", IDS_COMMON_FILE));
}

// ---------------------------------------------------------------------------
// The calls start-up makes, seen through replaced imports.

std::vector<std::string> calls;
int16_t signOnAnswer = 0;

struct SignOnCall {
    int32_t Count = -1;
    wchar_t **Arguments = nullptr;
    std::wstring Title, Text;
    int16_t Flags = 0;
    bool Area = false;
} signOn;

wchar_t fakeProgram[] = L"uasedit.exe";
wchar_t fakeArgument[] = L"/user:somebody";
wchar_t *fakeArguments[] = {fakeProgram, fakeArgument, nullptr};

wchar_t **WINAPI FakeGetArguments(int32_t *count)
{
    calls.push_back("GetArguments");
    *count = 2;
    return fakeArguments;
}

int16_t WINAPI FakeSignOn(int32_t count, wchar_t **arguments, const wchar_t *title,
                          const wchar_t *text, int16_t flags, void *area)
{
    calls.push_back("LoginChkParameters");
    signOn.Count = count;
    signOn.Arguments = arguments;
    signOn.Title = title;
    signOn.Text = text;
    signOn.Flags = flags;
    signOn.Area = area != nullptr;
    return signOnAnswer;
}

using UnitInitializeFunction = int16_t(WINAPI *)(int32_t *);
using HelpInitFunction = int16_t(WINAPI *)(const wchar_t *);
using HelpQuitFunction = int16_t(WINAPI *)(HWND);
using DestroyWindowFunction = BOOL(WINAPI *)(HWND);
UnitInitializeFunction realUnitInitialize;
HelpInitFunction realHelpInit;
HelpQuitFunction realHelpQuit;
DestroyWindowFunction realDestroyWindow;

int16_t WINAPI RecordUnitInitialize(int32_t *result)
{
    calls.push_back("UnitInitialize");
    return realUnitInitialize(result);
}

int16_t WINAPI RecordHelpInit(const wchar_t *name)
{
    calls.push_back("HelpInit " + std::string(name, name + wcslen(name)));
    return realHelpInit(name);
}

int16_t WINAPI RecordHelpQuit(HWND window)
{
    calls.push_back(window ? "HelpQuit window" : "HelpQuit none");
    return realHelpQuit(window);
}

BOOL WINAPI RecordDestroyWindow(HWND window)
{
    wchar_t cls[64] = L"";
    GetClassNameW(window, cls, 64);
    if (wcscmp(cls, L"Unit Assignment Set Builder") == 0)
        calls.push_back("DestroyWindow main");
    return realDestroyWindow(window);
}

class StartUpCallsTest : public ::testing::Test {
protected:
    StartUpCallsTest()
        : arguments_("velw32.dll", "GetArguments", FakeGetArguments),
          login_("velw32.dll", "LoginChkParameters", FakeSignOn),
          units_("velx32.dll", "UnitInitialize", RecordUnitInitialize),
          helpInit_("velw32.dll", "HelpInit", RecordHelpInit),
          helpQuit_("velw32.dll", "HelpQuit", RecordHelpQuit),
          destroy_("user32.dll", "DestroyWindow", RecordDestroyWindow)
    {
        realUnitInitialize = units_.Original();
        realHelpInit = helpInit_.Original();
        realHelpQuit = helpQuit_.Original();
        realDestroyWindow = destroy_.Original();
        calls.clear();
        signOn = SignOnCall();
        observed = Observed();
    }
    void SetUp() override
    {
        ASSERT_NE(arguments_.Original(), nullptr);
        ASSERT_NE(login_.Original(), nullptr);
        ASSERT_NE(realUnitInitialize, nullptr);
        ASSERT_NE(realHelpInit, nullptr);
        ASSERT_NE(realHelpQuit, nullptr);
        ASSERT_NE(realDestroyWindow, nullptr);
    }

    importswap::Swap<wchar_t **(WINAPI *)(int32_t *)> arguments_;
    importswap::Swap<decltype(&FakeSignOn)> login_;
    importswap::Swap<UnitInitializeFunction> units_;
    importswap::Swap<HelpInitFunction> helpInit_;
    importswap::Swap<HelpQuitFunction> helpQuit_;
    importswap::Swap<DestroyWindowFunction> destroy_;
};

TEST_F(StartUpCallsTest, ARefusedSignOnEndsWithZeroBeforeUnitsHelpAndWindow)
{
    signOnAnswer = 0;
    uitest::LoopLimit limit("start-up to end at the refused sign-on", 5000);
    const int code =
        AppMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L"ignored"), SW_SHOW);
    EXPECT_EQ(code, 0);
    const std::vector<std::string> expected = {"GetArguments", "LoginChkParameters"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(FindWindowW(L"Unit Assignment Set Builder", nullptr), nullptr);
}

TEST_F(StartUpCallsTest, TheSignOnGetsWhatGetArgumentsGaveAndTheTwoTexts)
{
    signOnAnswer = 0;
    uitest::LoopLimit limit("start-up to end at the refused sign-on", 5000);
    AppMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L"/user:tail"), SW_SHOW);
    EXPECT_EQ(signOn.Count, 2);
    EXPECT_EQ(signOn.Arguments, fakeArguments);
    const std::wstring res = testinstall::ResFolder();
    EXPECT_EQ(signOn.Title, StringOf(res + L"\\uaseditg.dll", IDS_TITLE));
    EXPECT_EQ(signOn.Text, StringOf(res + L"\\kxcommog.dll", IDS_COMMON_PRODUCTINFO));
    EXPECT_EQ(signOn.Flags, 1);
    EXPECT_TRUE(signOn.Area);
}

TEST_F(StartUpCallsTest, ANormalEndQuitsHelpBeforeTheWindowIsDestroyed)
{
    signOnAnswer = 1;
    SetTimer(nullptr, 0, 100, Observe);
    uitest::LoopLimit limit("the main window to show and close", 10000);
    const int code = AppMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOW);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(observed.Seen);
    const std::vector<std::string> expected = {"GetArguments",    "LoginChkParameters",
                                               "UnitInitialize",  "HelpInit VOLPRA",
                                               "HelpQuit window", "DestroyWindow main"};
    EXPECT_EQ(calls, expected);
}

} // namespace
