// The shortcut keys of the File menu, pressed in the real main window and
// run through the program's own message loop (AppRunMessageLoop): each key
// sends its menu command, with the same save question and dialogs as the
// menu item; other keys and other windows are left alone; the File menu
// shows the keys at the right of its texts.
#include <gtest/gtest.h>

#include "editstate.h"
#include "filemenu.h"
#include "mainwnd.h"
#include "programloop.h"
#include "resource.h"
#include "installenv.h"
#include "testinstall.h"
#include "uitest.h"
#include "velw32.h"

#include <string>
#include <vector>

namespace {

const auto *const environment = testinstall::AddInstallationEnvironment();

// The menu commands (WM_COMMAND without a control) that reached a window,
// seen by a hook on the thread's window procedures.
struct CommandLog {
    HWND Window = nullptr;
    std::vector<int> Commands;
    std::vector<int> Codes; // 0 from a menu, 1 from a shortcut key
};
CommandLog commandLog;

LRESULT CALLBACK CommandHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && call->hwnd == commandLog.Window && call->message == WM_COMMAND &&
        call->lParam == 0) {
        commandLog.Commands.push_back(LOWORD(call->wParam));
        commandLog.Codes.push_back(HIWORD(call->wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Shortcut {
    const char *Name;
    std::vector<BYTE> Modifiers;
    UINT Key;
    int Command; // 0: no command at all
};

const std::vector<Shortcut> &Shortcuts()
{
    static const std::vector<Shortcut> table = {
        {"Ctrl+N", {VK_CONTROL}, 'N', IDM_NEW},
        {"Ctrl+O", {VK_CONTROL}, 'O', IDM_OPEN},
        {"Ctrl+S", {VK_CONTROL}, 'S', IDM_SAVE},
        {"Ctrl+Shift+S", {VK_CONTROL, VK_SHIFT}, 'S', IDM_SAVEAS},
        {"F12", {}, VK_F12, IDM_SAVEAS},
        {"S", {}, 'S', 0},
        {"Shift+S", {VK_SHIFT}, 'S', 0},
        {"Ctrl+Alt+S", {VK_CONTROL, VK_MENU}, 'S', 0},
        {"Ctrl+Shift+N", {VK_CONTROL, VK_SHIFT}, 'N', 0},
        {"Shift+F12", {VK_SHIFT}, VK_F12, 0},
    };
    return table;
}

// What a dialog or box showed, and the button that answered it.
struct Seen {
    std::wstring Caption;
    std::wstring Text;
};

class ShortcutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = MainWindowCreate(nullptr);
        ASSERT_NE(window_, nullptr);
        SetForegroundWindow(window_);
        uitest::PumpMessages();
        commandLog = CommandLog();
        commandLog.Window = window_;
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, CommandHook, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook_, nullptr);
    }

    void TearDown() override
    {
        UnhookWindowsHookEx(hook_);
        HelpQuit(window_);
        DestroyWindow(window_);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        DeleteFileW(testinstall::SetPath(L"Keys").c_str());
    }

    // Presses the key at the target (the focused control unless given) with
    // the modifiers held, and runs the program's message loop until the
    // key's work is done; dialogs and boxes are answered with Cancel (or No,
    // or OK) and recorded.
    std::vector<Seen> Press(const Shortcut &shortcut, HWND target = nullptr)
    {
        std::vector<Seen> seen;
        uitest::DialogResponder responder([&seen](HWND dialog) {
            seen.push_back({uitest::TextOf(dialog), uitest::MessageBoxText(dialog)});
            const int button = GetDlgItem(dialog, IDCANCEL) ? IDCANCEL
                               : GetDlgItem(dialog, IDNO)   ? IDNO
                                                            : IDOK;
            uitest::Press(dialog, button);
        });
        uitest::HeldKeys held(shortcut.Modifiers);
        if (!target)
            target = GetFocus();
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(shortcut.Key, MAPVK_VK_TO_VSC))
                            << 16;
        PostMessageW(target, WM_KEYDOWN, shortcut.Key, scan | 1);
        PostMessageW(target, WM_KEYUP, shortcut.Key, scan | 1 | (1u << 30) | (1u << 31));
        EXPECT_TRUE(programloop::RunUntilDone(window_))
            << "a dialog of " << shortcut.Name << " stayed open";
        return seen;
    }

    // A named set "Keys" on disk, with a description typed since.
    void NamedSetWithChanges()
    {
        uitest::DialogResponder responder([](HWND dialog) {
            if (HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr))
                SetWindowTextW(field, L"Keys");
            uitest::Press(dialog, IDOK);
        });
        DeleteFileW(testinstall::SetPath(L"Keys").c_str());
        SetWindowTextW(Editor.DescEdit, L"As saved");
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVEAS, 0), 0);
        ASSERT_EQ(responder.Count(), 1);
        ASSERT_STREQ(Editor.CurrentSetName, L"Keys");
        SetFocus(Editor.DescEdit);
        SetWindowTextW(Editor.DescEdit, L"Typed since the save");
        commandLog.Commands.clear();
        commandLog.Codes.clear();
    }

    static std::string FileText(const std::wstring &path)
    {
        std::string bytes;
        testinstall::ReadBytes(path, bytes);
        return bytes;
    }

    HWND window_ = nullptr;
    HHOOK hook_ = nullptr;
};

TEST_F(ShortcutTest, EachKeySendsItsMenuCommandAndNothingElse)
{
    for (const Shortcut &shortcut : Shortcuts()) {
        SCOPED_TRACE(shortcut.Name);
        NamedSetWithChanges();
        Press(shortcut);
        if (shortcut.Command) {
            ASSERT_EQ(commandLog.Commands.size(), 1u);
            EXPECT_EQ(commandLog.Commands[0], shortcut.Command);
            EXPECT_EQ(commandLog.Codes[0], 1) << "sent as a shortcut key";
        } else {
            EXPECT_TRUE(commandLog.Commands.empty()) << "command " << commandLog.Commands[0];
        }
    }
}

// What each command shows first for a named set with unsaved changes, the
// same for the key as for the menu item: New and Open ask the save question
// (answered Cancel here), Save writes at once, Save As opens its dialog.
TEST_F(ShortcutTest, EachKeyRunsWhatItsMenuItemRuns)
{
    struct Expected {
        const char *Key;
        std::wstring Caption;
        std::wstring Text;
        bool Written;
    };
    const std::vector<Expected> table = {
        {"Ctrl+N", L"Alert", L"Keys has been altered.  Do you want to save Keys prior to NEW?",
         false},
        {"Ctrl+O", L"Alert", L"Keys has been altered.  Do you want to save Keys prior to OPEN?",
         false},
        {"Ctrl+S", L"", L"", true},
        {"Ctrl+Shift+S", L"Save Unit Assignment Set As", L"", false},
        {"F12", L"Save Unit Assignment Set As", L"", false},
    };
    for (const Expected &expected : table) {
        SCOPED_TRACE(expected.Key);
        const Shortcut *shortcut = nullptr;
        for (const Shortcut &s : Shortcuts())
            if (std::string(s.Name) == expected.Key)
                shortcut = &s;
        ASSERT_NE(shortcut, nullptr);
        for (int byMenu = 0; byMenu < 2; ++byMenu) {
            SCOPED_TRACE(byMenu ? "menu item" : "shortcut key");
            NamedSetWithChanges();
            const std::string before = FileText(testinstall::SetPath(L"Keys"));
            std::vector<Seen> seen;
            if (byMenu) {
                uitest::DialogResponder responder([&seen](HWND dialog) {
                    seen.push_back({uitest::TextOf(dialog), uitest::MessageBoxText(dialog)});
                    uitest::Press(dialog, IDCANCEL);
                });
                SendMessageW(window_, WM_COMMAND, MAKEWPARAM(shortcut->Command, 0), 0);
                uitest::PumpMessages();
            } else {
                seen = Press(*shortcut);
            }
            if (expected.Caption.empty()) {
                EXPECT_TRUE(seen.empty()) << "a box or dialog was shown";
            } else {
                ASSERT_EQ(seen.size(), 1u);
                EXPECT_EQ(seen[0].Caption, expected.Caption);
                EXPECT_EQ(seen[0].Text, expected.Text);
            }
            const std::string after = FileText(testinstall::SetPath(L"Keys"));
            EXPECT_EQ(after != before, expected.Written);
            if (expected.Written) {
                EXPECT_NE(after.find("Typed since the save"), std::string::npos);
            }
            // Cancelled or saved: the set and its text stay on screen.
            EXPECT_STREQ(Editor.CurrentSetName, L"Keys");
            EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"Typed since the save");
        }
    }
}

TEST_F(ShortcutTest, CtrlNAnsweredNoStartsANewSet)
{
    NamedSetWithChanges();
    uitest::MessageBoxAnswerer answerer({IDNO});
    uitest::HeldKeys held({VK_CONTROL});
    PostMessageW(GetFocus(), WM_KEYDOWN, 'N', 1);
    EXPECT_TRUE(programloop::RunUntilDone(window_));
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_STREQ(Editor.CurrentSetName, L"<none>");
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"");
    EXPECT_EQ(Editor.Modified, 0);
}

TEST_F(ShortcutTest, KeysWorkFromEveryControlOfTheMainWindow)
{
    for (HWND control : {Editor.DescEdit, Editor.ClearButton, Editor.DimListBox,
                         Editor.UnitListBox}) {
        NamedSetWithChanges();
        SetFocus(control);
        Press(Shortcuts()[2]); // Ctrl+S
        ASSERT_EQ(commandLog.Commands.size(), 1u);
        EXPECT_EQ(commandLog.Commands[0], IDM_SAVE);
    }
}

// Another window of the thread (the help window, say) keeps its own keys.
TEST_F(ShortcutTest, KeysAimedAtAnotherWindowAreLeftAlone)
{
    HWND other = CreateWindowExW(0, L"edit", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100,
                                 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    NamedSetWithChanges();
    Press(Shortcuts()[2], other);
    EXPECT_TRUE(commandLog.Commands.empty());
    DestroyWindow(other);
}

// The shortcut keys come first in the loop, but Tab still moves on.
TEST_F(ShortcutTest, TabStillMovesTheFocusThroughTheLoop)
{
    SetFocus(Editor.DescEdit);
    Press({"Tab", {}, VK_TAB, 0});
    EXPECT_EQ(GetFocus(), Editor.ClearButton);
    Press({"Shift+Tab", {VK_SHIFT}, VK_TAB, 0});
    EXPECT_EQ(GetFocus(), Editor.DescEdit);
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit).find(L'\t'), std::wstring::npos);
}

// The File menu shows each key at the right of the common library's text.
TEST_F(ShortcutTest, TheFileMenuShowsTheKeys)
{
    filemenu::Expect(GetMenu(window_), {L"&New\tCtrl+N", L"&Open...\tCtrl+O", L"&Save\tCtrl+S",
                                        L"Save &As...\tCtrl+Shift+S", L"&Delete...", L"E&xit"});
}

} // namespace
