// The real uasedit.exe started as a process and checked from outside: its
// window, its controls, its exit codes, the sign-on and a refused creation.
#include <gtest/gtest.h>

#include "testinstall.h"
#include "uitest.h"
#include "velw32.h"

#include <string>
#include <vector>

namespace {

const wchar_t *const MainClass = L"Unit Assignment Set Builder";
const DWORD StartTimeoutMs = 20000;
const DWORD ExitTimeoutMs = 20000;

std::wstring CurrentUser()
{
    wchar_t name[256];
    DWORD size = 256;
    GetUserNameW(name, &size);
    return name;
}

class Program {
public:
    explicit Program(const std::wstring &arguments)
    {
        std::wstring commandLine = L"\"" + testinstall::BinFolder() + L"\\uasedit.exe\"";
        if (!arguments.empty())
            commandLine += L" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &info_) != 0;
    }
    ~Program()
    {
        if (!started_)
            return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    bool Started() const { return started_; }
    DWORD Id() const { return info_.dwProcessId; }

    // The first top-level window of the program with the given class, or
    // null when none appears in time or the program ends first.
    HWND WaitForWindow(const wchar_t *className, DWORD timeoutMs) const
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            if (HWND found = FindOwnWindow(className))
                return found;
            if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0)
                return FindOwnWindow(className);
        }
        return nullptr;
    }

    // The exit code, or STILL_ACTIVE when the program does not end in time.
    DWORD WaitForExit(DWORD timeoutMs) const
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

    HWND FindOwnWindow(const wchar_t *className) const
    {
        Search search = {info_.dwProcessId, className, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.Found;
    }

    // The window shows at its creation, at the origin, and start-up places
    // it right after: waits until it has left the origin.
    static bool WaitUntilPlaced(HWND window)
    {
        const DWORD start = GetTickCount();
        RECT r = {};
        while (GetTickCount() - start < StartTimeoutMs) {
            if (GetWindowRect(window, &r) && (r.left != 0 || r.top != 0))
                return true;
            Sleep(20);
        }
        return false;
    }

private:
    struct Search {
        DWORD Pid;
        const wchar_t *ClassName;
        HWND Found;
    };
    static BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
    {
        auto *s = reinterpret_cast<Search *>(data);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        wchar_t cls[64];
        GetClassNameW(window, cls, 64);
        if (pid == s->Pid && wcscmp(cls, s->ClassName) == 0 && IsWindowVisible(window)) {
            s->Found = window;
            return FALSE;
        }
        return TRUE;
    }

    PROCESS_INFORMATION info_ = {};
    bool started_ = false;
};

// Reads and answers the message box that the program shows.
std::wstring AnswerBox(const Program &program, int button)
{
    HWND box = program.WaitForWindow(L"#32770", StartTimeoutMs);
    if (!box)
        return L"<no message box>";
    const std::wstring text = uitest::TextOf(box) + L"|" + uitest::MessageBoxText(box);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return text;
}

// Waits until the box that was answered has gone, so that the next
// AnswerBox reads the program's next box.
void WaitUntilGone(const Program &program)
{
    HWND box = program.FindOwnWindow(L"#32770");
    for (int i = 0; box && IsWindow(box) && i < 400; ++i)
        Sleep(25);
}

TEST(ProgramTest, ShowsItsWindowWithTheEightControlsAndEndsWithOne)
{
    testinstall::Create(testinstall::Options());
    Program program(L"");
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow(MainClass, StartTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Program::WaitUntilPlaced(window));

    EXPECT_EQ(uitest::TextOf(window), L"Unit Assignment Set Editor");
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 80);
    int32_t width = 0;
    int32_t height = 0;
    DlgUnitToScrCoord(200, 200, &width, &height);
    EXPECT_EQ(r.right - r.left, width) << "200 dialog units wide";
    EXPECT_EQ(r.bottom - r.top, height) << "200 dialog units high";

    const wchar_t *classes[8] = {L"Static", L"Static",  L"Edit",   L"Button",
                                 L"Static", L"ListBox", L"Static", L"ListBox"};
    for (int i = 0; i < 8; ++i) {
        HWND control = GetDlgItem(window, 70 + i);
        ASSERT_NE(control, nullptr) << "control " << 70 + i;
        wchar_t cls[32];
        GetClassNameW(control, cls, 32);
        EXPECT_EQ(_wcsicmp(cls, classes[i]), 0) << "control " << 70 + i << ": " << cls;
        EXPECT_TRUE(IsWindowVisible(control));
    }
    EXPECT_EQ(uitest::TextOf(GetDlgItem(window, 70)), L"Set Name: <none>");
    HWND dims = GetDlgItem(window, 75);
    EXPECT_EQ(SendMessageW(dims, LB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(testinstall::Dimensions().size()));
    EXPECT_EQ(SendMessageW(dims, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(GetDlgItem(window, 77), LB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(testinstall::Dimensions()[0].Symbols.size()));

    // Help open at the end: it is closed with the program.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(21, 0), 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(ExitTimeoutMs), 1u);
}

TEST(ProgramTest, RefusedSignOnEndsWithZeroAndNoWindow)
{
    testinstall::Options options;
    options.AllowedUsers = L"somebody-else, another-one";
    testinstall::Create(options);
    Program program(L"");
    ASSERT_TRUE(program.Started());
    const std::wstring box = AnswerBox(program, IDOK);
    EXPECT_EQ(box.find(L"Unit Assignment Set Editor|"), 0u)
        << "caption is the program title: " << box;
    EXPECT_NE(box.find(CurrentUser()), std::wstring::npos) << box;
    EXPECT_EQ(program.WaitForExit(ExitTimeoutMs), 0u);
    EXPECT_EQ(program.FindOwnWindow(MainClass), nullptr);
}

TEST(ProgramTest, TheCommandLineReachesTheSignOn)
{
    testinstall::Create(testinstall::Options());
    {
        Program refused(L"/user:nobody-at-all");
        ASSERT_TRUE(refused.Started());
        const std::wstring box = AnswerBox(refused, IDOK);
        EXPECT_NE(box.find(L"nobody-at-all"), std::wstring::npos) << box;
        EXPECT_EQ(refused.WaitForExit(ExitTimeoutMs), 0u);
    }
    Program accepted(L"/user:" + CurrentUser());
    HWND window = accepted.WaitForWindow(MainClass, StartTimeoutMs);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(accepted.WaitForExit(ExitTimeoutMs), 1u);
}

TEST(ProgramTest, UnreadableUnitsDataIsReportedAndTheProgramEnds)
{
    testinstall::Options options;
    options.BrokenUnits = true;
    testinstall::Create(options);
    Program program(L"");
    ASSERT_TRUE(program.Started());
    const std::wstring box = AnswerBox(program, IDOK);
    // Caption empty; the design's line first, then which file, which line
    // and what is wrong.
    EXPECT_EQ(box, L"|Error reading system unit files.\n\nFile: " + testinstall::Root() +
                       L"\\units.txt\nLine 1: the name 'NameThatIsFarTooLongToBeADimensionName' "
                       L"is longer than 31 characters.");
    EXPECT_EQ(program.WaitForExit(ExitTimeoutMs), 0u) << "no message loop without a window";
}

TEST(ProgramTest, MissingCommonLibraryIsToldOnceAndNoOtherModuleStandsIn)
{
    testinstall::Options options;
    options.NoResourceLibraries = true;
    options.AllowedUsers = L"somebody-else";
    testinstall::Create(options);
    const std::wstring told = L"Unit Assignment Set Editor|The common resource library "
                              L"kxcommon.dll was not found in the folder " +
                              testinstall::Root() +
                              L"\\res. Menus and shared texts cannot be shown until it is "
                              L"installed.";
    {
        Program refused(L"");
        ASSERT_TRUE(refused.Started());
        EXPECT_EQ(AnswerBox(refused, IDOK), told);
        WaitUntilGone(refused);
        // The refusal's text ends with the common library's product text;
        // without the library it is left out, never the program's own string
        // of that number ("Set Name:").
        const std::wstring box = AnswerBox(refused, IDOK);
        EXPECT_NE(box.find(CurrentUser()), std::wstring::npos) << box;
        EXPECT_EQ(box.find(L"Set Name"), std::wstring::npos) << box;
        EXPECT_EQ(refused.WaitForExit(ExitTimeoutMs), 0u);
    }

    options.AllowedUsers.clear();
    testinstall::Create(options);
    Program program(L"");
    ASSERT_TRUE(program.Started());
    EXPECT_NE(AnswerBox(program, IDOK).find(L"kxcommon.dll was not found"), std::wstring::npos);
    WaitUntilGone(program);
    HWND window = program.WaitForWindow(MainClass, StartTimeoutMs);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(program.FindOwnWindow(L"#32770"), nullptr) << "told once only";
    // The program's own texts still show.
    EXPECT_EQ(uitest::TextOf(GetDlgItem(window, 70)), L"Set Name: <none>");
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(ExitTimeoutMs), 1u);
}

TEST(ProgramTest, AProfileValueTooLongIsToldAndNotUsed)
{
    testinstall::Options options;
    options.ResourceDir = std::wstring(L"C:\\") + std::wstring(85, L'r');
    testinstall::Create(options);
    Program program(L"");
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(AnswerBox(program, IDOK),
              L"Unit Assignment Set Editor|The value of Resource_Binary_Dir in section "
              L"Kalvex_Section of the installation profile is longer than 79 characters. It "
              L"is not used.");
    WaitUntilGone(program);
    HWND window = program.WaitForWindow(MainClass, StartTimeoutMs);
    ASSERT_NE(window, nullptr) << "the program goes on with its own texts";
    EXPECT_EQ(program.FindOwnWindow(L"#32770"), nullptr) << "told once only";
    EXPECT_EQ(uitest::TextOf(GetDlgItem(window, 70)), L"Set Name: <none>");
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(ExitTimeoutMs), 1u);
}

} // namespace
