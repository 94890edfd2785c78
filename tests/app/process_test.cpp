// The real uasedit.exe started as a process and checked from outside: its
// window, its controls, its exit codes, the sign-on and a refused creation.
#include <gtest/gtest.h>

#include "process.h"
#include "setfiletext.h"
#include "testinstall.h"
#include "uitest.h"
#include "velw32.h"
#include "wait.h"
#include "testfiles.h"

#include <cstring>
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

std::string ClassName(HWND window)
{
    wchar_t cls[64] = L"";
    GetClassNameW(window, cls, 64);
    return testfiles::Utf8(cls);
}

// uasedit.exe running as a process of its own, and its windows.
class Program {
public:
    explicit Program(const std::wstring &arguments)
        : process_(testprocess::Sibling(L"uasedit.exe") +
                   (arguments.empty() ? L"" : L" " + arguments))
    {
    }
    bool Started() const { return process_.Started(); }
    std::string Why() const { return process_.Result().Why(); }

    // Waits for the first visible top-level window of the program with the
    // given class; fails naming the class and the program's windows seen
    // last, or the program's end.
    ::testing::AssertionResult WaitForWindow(const wchar_t *className, HWND &found) const
    {
        found = nullptr;
        bool ended = false;
        const std::string what = "a window of class " + testfiles::Utf8(className);
        ::testing::AssertionResult waited =
            testwait::Until(what, StartTimeoutMs, [&](std::string &seen) {
                found = FindOwnWindow(className);
                ended = !process_.Running();
                seen = ended ? "the program ended" : "the program's windows: " + OwnWindows();
                return found != nullptr || ended;
            });
        if (found || !waited)
            return found ? ::testing::AssertionSuccess() : waited;
        DWORD code = 0;
        GetExitCodeProcess(process_.Handle(), &code);
        return ::testing::AssertionFailure()
               << "waited for " << what << "; the program ended first with exit code " << code;
    }

    // The exit code, or STILL_ACTIVE (the program ended by the test) when
    // it does not end in time.
    DWORD WaitForExit()
    {
        const testprocess::Outcome &outcome = process_.WaitForExit(ExitTimeoutMs, 0, false);
        EXPECT_NE(outcome.Failed, testprocess::Step::Timeout) << outcome.Why();
        return outcome.Failed == testprocess::Step::Timeout ? STILL_ACTIVE : outcome.ExitCode;
    }

    HWND FindOwnWindow(const wchar_t *className) const
    {
        Search search = {process_.Id(), className, nullptr, {}};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.Found;
    }

    // The classes of the program's visible top-level windows.
    std::string OwnWindows() const
    {
        Search search = {process_.Id(), nullptr, nullptr, {}};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.Classes.empty() ? "none" : search.Classes;
    }

    // The window shows at its creation, at the origin, and start-up places
    // it right after: waits until it has left the origin.
    // The window at its start place, and the program back in its message
    // loop: another process sees the new rectangle before the program has
    // laid its controls out for it and fitted the set-name label.
    static ::testing::AssertionResult WaitUntilPlaced(HWND window)
    {
        ::testing::AssertionResult placed = testwait::Until(
            "the main window to leave the origin", StartTimeoutMs, [&](std::string &seen) {
                RECT r = {};
                if (!GetWindowRect(window, &r)) {
                    seen = "no window";
                    return false;
                }
                seen = "at " + std::to_string(r.left) + "," + std::to_string(r.top);
                return r.left != 0 || r.top != 0;
            });
        if (!placed)
            return placed;
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, StartTimeoutMs, &answer))
            return ::testing::AssertionFailure()
                   << "the placed window took no message within " << StartTimeoutMs << " ms";
        return ::testing::AssertionSuccess();
    }

private:
    struct Search {
        DWORD Pid;
        const wchar_t *ClassName; // null: every visible window, into Classes
        HWND Found;
        std::string Classes;
    };
    static BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
    {
        auto *s = reinterpret_cast<Search *>(data);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != s->Pid || !IsWindowVisible(window))
            return TRUE;
        if (!s->ClassName) {
            s->Classes += (s->Classes.empty() ? "" : ", ") + ClassName(window);
            return TRUE;
        }
        wchar_t cls[64];
        GetClassNameW(window, cls, 64);
        if (wcscmp(cls, s->ClassName) == 0) {
            s->Found = window;
            return FALSE;
        }
        return TRUE;
    }

    testprocess::Process process_;
};

// Reads and answers the message box that the program shows.
std::wstring AnswerBox(const Program &program, int button)
{
    HWND box = nullptr;
    const ::testing::AssertionResult shown = program.WaitForWindow(L"#32770", box);
    if (!shown)
        return L"<no message box: " +
               std::wstring(shown.message(), shown.message() + strlen(shown.message())) + L">";
    const std::wstring text = uitest::TextOf(box) + L"|" + uitest::MessageBoxText(box);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return text;
}

// Waits until the box that was answered has gone, so that the next
// AnswerBox reads the program's next box.
void WaitUntilGone(const Program &program)
{
    HWND box = program.FindOwnWindow(L"#32770");
    EXPECT_TRUE(testwait::Until("the answered box to go", StartTimeoutMs, [&](std::string &seen) {
        seen = "the box is still there, with the text \"" +
               testfiles::Utf8(uitest::MessageBoxText(box)) + "\"";
        return !box || !IsWindow(box);
    }));
}

// The set-name label's text is fitted to its width by the layout that
// follows each change of the window's size; the window is made small and
// then takes its start size, so the text is awaited.
::testing::AssertionResult LabelSays(HWND window, const std::wstring &text)
{
    HWND label = GetDlgItem(window, 70);
    return testwait::Until("the set-name label to say " + testfiles::Utf8(text), StartTimeoutMs,
                           [&](std::string &seen) {
                               const std::wstring shown = uitest::TextOf(label);
                               seen = testfiles::Utf8(shown);
                               return shown == text;
                           });
}

TEST(ProgramTest, ShowsItsWindowWithTheEightControlsAndEndsWithOne)
{
    testinstall::Create(testinstall::Options());
    Program program(L"");
    ASSERT_TRUE(program.Started()) << program.Why();
    HWND window = nullptr;
    ASSERT_TRUE(program.WaitForWindow(MainClass, window));
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
    EXPECT_TRUE(LabelSays(window, L"Set Name: <none>"));
    HWND dims = GetDlgItem(window, 75);
    EXPECT_EQ(SendMessageW(dims, LB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(testinstall::Dimensions().size()));
    EXPECT_EQ(SendMessageW(dims, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(GetDlgItem(window, 77), LB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(testinstall::Dimensions()[0].Symbols.size()));

    // Help open at the end: it is closed with the program.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(21, 0), 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 1u);
}

// A set file named on the command line that cannot be opened is told, and
// the editor stays with an unnamed set: a path too long for the system's
// calls (a received set file among deep folders, or one name of 4 000
// letters), or the name of a device.
TEST(ProgramTest, APathThatCannotBeOpenedIsToldAndTheEditorStays)
{
    testinstall::Create(testinstall::Options());
    const std::wstring deep = testfiles::FolderOfLength(testinstall::Root(), 1091) + L"\\Deep1.uas";
    ASSERT_EQ(deep.size(), 1101u);
    ASSERT_TRUE(testinstall::WriteBytes(
        deep, setfiletext::File("Deep", "Deep1.uas", "Deep down.", {{"Temperature", "degF"}})));
    const std::wstring device =
        L"the name is that of a device (such as CON, NUL or COM1), not of a file.";
    auto tooLong = [](size_t length) {
        return L"the path is too long: it has " + std::to_wstring(length) +
               L" characters, and the editor opens paths of up to 1023 characters.";
    };
    struct Case {
        std::wstring Argument;
        std::wstring Reason;
    };
    std::vector<Case> cases = {{deep, tooLong(1101)},
                               {L"Z:\\" + std::wstring(4000, L'a'), tooLong(4003)}};
    for (const wchar_t *name : {L"CON", L"CONIN$", L"con.uas", L"LPT1", L"PRN.uas"})
        cases.push_back({name, device});
    for (const Case &c : cases) {
        SCOPED_TRACE(testfiles::Utf8(c.Argument.substr(0, 60)));
        Program program(L"\"" + c.Argument + L"\"");
        ASSERT_TRUE(program.Started()) << program.Why();
        const std::wstring box = AnswerBox(program, IDOK);
        EXPECT_EQ(box.find(L"Unit Assignment Set Editor|This file cannot be opened as a unit "
                           L"assignment set."),
                  0u)
            << testfiles::Utf8(box.substr(0, 200));
        EXPECT_NE(box.find(L"\nReason: " + c.Reason), std::wstring::npos)
            << testfiles::Utf8(box.substr(0, 200));
        WaitUntilGone(program);
        HWND window = nullptr;
        ASSERT_TRUE(program.WaitForWindow(MainClass, window)) << "the editor stays";
        ASSERT_TRUE(Program::WaitUntilPlaced(window));
        EXPECT_EQ(uitest::TextOf(GetDlgItem(window, 70)), L"Set Name: <none>");
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 1u);
    }
}

TEST(ProgramTest, RefusedSignOnEndsWithZeroAndNoWindow)
{
    testinstall::Options options;
    options.AllowedUsers = L"somebody-else, another-one";
    testinstall::Create(options);
    Program program(L"");
    ASSERT_TRUE(program.Started()) << program.Why();
    const std::wstring box = AnswerBox(program, IDOK);
    EXPECT_EQ(box.find(L"Unit Assignment Set Editor|"), 0u)
        << "caption is the program title: " << box;
    EXPECT_NE(box.find(CurrentUser()), std::wstring::npos) << box;
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_EQ(program.FindOwnWindow(MainClass), nullptr);
}

TEST(ProgramTest, TheCommandLineReachesTheSignOn)
{
    testinstall::Create(testinstall::Options());
    {
        Program refused(L"/user:nobody-at-all");
        ASSERT_TRUE(refused.Started()) << refused.Why();
        const std::wstring box = AnswerBox(refused, IDOK);
        EXPECT_NE(box.find(L"nobody-at-all"), std::wstring::npos) << box;
        EXPECT_EQ(refused.WaitForExit(), 0u);
    }
    Program accepted(L"/user:" + CurrentUser());
    HWND window = nullptr;
    ASSERT_TRUE(accepted.WaitForWindow(MainClass, window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(accepted.WaitForExit(), 1u);
}

TEST(ProgramTest, UnreadableUnitsDataIsReportedAndTheProgramEnds)
{
    testinstall::Options options;
    options.BrokenUnits = true;
    testinstall::Create(options);
    Program program(L"");
    ASSERT_TRUE(program.Started()) << program.Why();
    const std::wstring box = AnswerBox(program, IDOK);
    // Caption empty; the design's line first, then which file, which line
    // and what is wrong.
    EXPECT_EQ(box, L"|Error reading system unit files.\n\nFile: " + testinstall::Root() +
                       L"\\units.txt\nLine 1: the name 'NameThatIsFarTooLongToBeADimensionName' "
                       L"is longer than 31 characters.");
    EXPECT_EQ(program.WaitForExit(), 0u) << "no message loop without a window";
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
        ASSERT_TRUE(refused.Started()) << refused.Why();
        EXPECT_EQ(AnswerBox(refused, IDOK), told);
        WaitUntilGone(refused);
        // The refusal's text ends with the common library's product text;
        // without the library it is left out, never the program's own string
        // of that number ("Set Name:").
        const std::wstring box = AnswerBox(refused, IDOK);
        EXPECT_NE(box.find(CurrentUser()), std::wstring::npos) << box;
        EXPECT_EQ(box.find(L"Set Name"), std::wstring::npos) << box;
        EXPECT_EQ(refused.WaitForExit(), 0u);
    }

    options.AllowedUsers.clear();
    testinstall::Create(options);
    Program program(L"");
    ASSERT_TRUE(program.Started()) << program.Why();
    EXPECT_NE(AnswerBox(program, IDOK).find(L"kxcommon.dll was not found"), std::wstring::npos);
    WaitUntilGone(program);
    HWND window = nullptr;
    ASSERT_TRUE(program.WaitForWindow(MainClass, window));
    ASSERT_TRUE(Program::WaitUntilPlaced(window));
    EXPECT_EQ(program.FindOwnWindow(L"#32770"), nullptr) << "told once only";
    // The program's own texts still show.
    EXPECT_TRUE(LabelSays(window, L"Set Name: <none>"));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 1u);
}

TEST(ProgramTest, AProfileValueTooLongIsToldAndNotUsed)
{
    testinstall::Options options;
    options.ResourceDir = std::wstring(L"C:\\") + std::wstring(85, L'r');
    testinstall::Create(options);
    Program program(L"");
    ASSERT_TRUE(program.Started()) << program.Why();
    EXPECT_EQ(AnswerBox(program, IDOK),
              L"Unit Assignment Set Editor|The value of Resource_Binary_Dir in section "
              L"Kalvex_Section of the installation profile is longer than 79 characters. It "
              L"is not used.\n\nBecause of this, the program does not load the installation's "
              L"resource libraries: the menus show placeholders instead of their names, and the "
              L"program shows its own English texts.");
    WaitUntilGone(program);
    HWND window = nullptr;
    ASSERT_TRUE(program.WaitForWindow(MainClass, window))
        << "the program goes on with its own texts";
    ASSERT_TRUE(Program::WaitUntilPlaced(window));
    EXPECT_EQ(program.FindOwnWindow(L"#32770"), nullptr) << "told once only";
    EXPECT_TRUE(LabelSays(window, L"Set Name: <none>"));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 1u);
}

} // namespace
