// The main window worked from the keyboard alone, in the test's own process:
// key messages go through the same steps as in the program's message loop
// (the editor's Tab routine, then translation and dispatch), dialogs are
// answered by a hook.
#include <gtest/gtest.h>

#include "dimcat.h"
#include "editstate.h"
#include "mainproc.h"
#include "mainwnd.h"
#include "resource.h"
#include "testinstall.h"
#include "uitest.h"
#include "vel32.h"
#include "velw32.h"
#include "windowtest.h"

#include <string>
#include <vector>

namespace {

using testinstall::Dimensions;

// Runs the queued messages as the program's message loop does.
void RunLoop()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (EditHandleTabKey(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A key press and release, aimed at the window that has the focus, as the
// system would send them; then the loop runs.
void Press(UINT key, int times = 1)
{
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    for (int i = 0; i < times; ++i) {
        HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, key, scan | 1);
        PostMessageW(focus, WM_KEYUP, key, scan | 1 | (1u << 30) | (1u << 31));
        RunLoop();
    }
}

void ShiftPress(UINT key, int times = 1)
{
    uitest::HeldKeys shift({VK_SHIFT});
    Press(key, times);
}

MSG TabMessage(HWND target, UINT message = WM_KEYDOWN, WPARAM key = VK_TAB)
{
    MSG msg = {};
    msg.hwnd = target;
    msg.message = message;
    msg.wParam = key;
    msg.lParam = 1;
    return msg;
}

using windowtest::Entry;
using windowtest::Selection;

// The controls by name, for readable failures.
std::string NameOf(HWND control)
{
    if (control == Editor.DescEdit)
        return "Description";
    if (control == Editor.ClearButton)
        return "Clear";
    if (control == Editor.DimListBox)
        return "Dimensions";
    if (control == Editor.UnitListBox)
        return "Units";
    return control ? "another window" : "no window";
}

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The editor tests of this program normally made the installation
        // already; the profile is read once per process.
        if (testinstall::Root().empty())
            testinstall::Create(testinstall::Options());
        window_ = MainWindowCreate(nullptr);
        ASSERT_NE(window_, nullptr);
        SetForegroundWindow(window_);
        RunLoop();
        ASSERT_EQ(GetActiveWindow(), window_);
    }

    void TearDown() override
    {
        HelpQuit(window_);
        DestroyWindow(window_);
        if (other_)
            DestroyWindow(other_);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        for (const auto &path : written_)
            DeleteFileW(path.c_str());
    }

    // Another top-level window of the thread, to take the activation away.
    HWND Other()
    {
        if (!other_)
            other_ =
                CreateWindowExW(0, L"edit", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100,
                                200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        return other_;
    }

    void Activate(HWND window)
    {
        SetForegroundWindow(window);
        SetActiveWindow(window);
        RunLoop();
    }

    // Save As with a new name, the dialog answered as a user types it.
    std::wstring SaveAs(const std::wstring &name)
    {
        const std::wstring path = testinstall::SetPath(name);
        DeleteFileW(path.c_str());
        written_.push_back(path);
        int dialogs = 0;
        uitest::DialogResponder responder([&](HWND dialog) {
            ++dialogs;
            if (HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr))
                SetWindowTextW(field, name.c_str());
            uitest::Press(dialog, dialogs == 1 ? IDOK : IDCANCEL);
        });
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVEAS, 0), 0);
        EXPECT_EQ(dialogs, 1) << "only the Save As dialog";
        return path;
    }

    HWND window_ = nullptr;
    HWND other_ = nullptr;
    std::vector<std::wstring> written_;
};

// ---------------------------------------------------------------------------
// Where the focus is

TEST_F(KeyboardTest, ANewWindowHasTheFocusOnTheDimensionsListAndItsArrowsWorkAtOnce)
{
    EXPECT_EQ(NameOf(GetFocus()), "Dimensions");
    Press(VK_DOWN);
    EXPECT_EQ(Selection(Editor.DimListBox), 1);
    EXPECT_EQ(Editor.CurrentDim, Entry(1));
    EXPECT_EQ(uitest::ListRows(Editor.UnitListBox), Dimensions()[1].Symbols);
    EXPECT_EQ(Editor.Modified, 0) << "a dimension move is no change";
}

TEST_F(KeyboardTest, ActivationGivesTheFocusBackToTheControlThatHadIt)
{
    Press(VK_TAB);
    ASSERT_EQ(NameOf(GetFocus()), "Units");
    Activate(Other());
    ASSERT_EQ(GetActiveWindow(), Other());
    EXPECT_EQ(GetFocus(), Other());
    Activate(window_);
    EXPECT_EQ(NameOf(GetFocus()), "Units");

    Press(VK_TAB, 2);
    ASSERT_EQ(NameOf(GetFocus()), "Clear");
    Activate(Other());
    Activate(window_);
    EXPECT_EQ(NameOf(GetFocus()), "Clear");
}

TEST_F(KeyboardTest, FocusOnTheWindowItselfGoesOnToItsControl)
{
    Press(VK_TAB, 2);
    ASSERT_EQ(NameOf(GetFocus()), "Description");
    Activate(Other());
    Activate(window_);
    SetFocus(window_);
    EXPECT_EQ(NameOf(GetFocus()), "Description");
}

TEST_F(KeyboardTest, AQuestionAnsweredGivesTheFocusBackToTheDescription)
{
    Press(VK_TAB, 2);
    ASSERT_EQ(NameOf(GetFocus()), "Description");
    Press('X');
    int boxes = 0;
    {
        uitest::DialogResponder responder([&](HWND box) {
            ++boxes;
            uitest::Press(box, IDCANCEL);
        });
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_NEW, 0), 0);
    }
    EXPECT_EQ(boxes, 1) << "the save question";
    RunLoop();
    EXPECT_EQ(NameOf(GetFocus()), "Description");
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"x") << "New was cancelled";
}

// ---------------------------------------------------------------------------
// Tab and Shift+Tab

TEST_F(KeyboardTest, TabGoesDescriptionClearDimensionsUnitsAndAround)
{
    const std::vector<std::string> forward = {"Units", "Description", "Clear", "Dimensions",
                                              "Units"};
    for (const auto &expected : forward) {
        Press(VK_TAB);
        EXPECT_EQ(NameOf(GetFocus()), expected);
    }
    const std::vector<std::string> backward = {"Dimensions", "Clear", "Description", "Units",
                                               "Dimensions"};
    for (const auto &expected : backward) {
        ShiftPress(VK_TAB);
        EXPECT_EQ(NameOf(GetFocus()), expected);
    }
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"") << "no tab typed on the way";
    EXPECT_EQ(Selection(Editor.DimListBox), 0) << "Tab chooses nothing";
    EXPECT_EQ(Selection(Editor.UnitListBox), 0);
    EXPECT_EQ(Editor.Modified, 0);
}

TEST_F(KeyboardTest, TabAimedAtTheWindowItselfEntersAtEitherEnd)
{
    MSG msg = TabMessage(window_);
    EXPECT_EQ(EditHandleTabKey(&msg), 1);
    EXPECT_EQ(NameOf(GetFocus()), "Description");
    uitest::HeldKeys shift({VK_SHIFT});
    EXPECT_EQ(EditHandleTabKey(&msg), 1);
    EXPECT_EQ(NameOf(GetFocus()), "Units");
}

TEST_F(KeyboardTest, OtherKeysAndOtherWindowsAreLeftToTheLoop)
{
    HWND before = GetFocus();
    MSG up = TabMessage(Editor.DimListBox, WM_KEYUP);
    MSG character = TabMessage(Editor.DimListBox, WM_CHAR, L'\t');
    MSG down = TabMessage(Editor.DimListBox, WM_KEYDOWN, VK_DOWN);
    MSG label = TabMessage(Editor.DimLabel);
    MSG other = TabMessage(Other());
    EXPECT_EQ(EditHandleTabKey(&up), 0);
    EXPECT_EQ(EditHandleTabKey(&character), 0);
    EXPECT_EQ(EditHandleTabKey(&down), 0);
    EXPECT_EQ(EditHandleTabKey(&label), 0) << "a label never has the focus";
    EXPECT_EQ(EditHandleTabKey(&other), 0);
    EXPECT_EQ(EditHandleTabKey(nullptr), 0);
    {
        uitest::HeldKeys control({VK_CONTROL});
        MSG tab = TabMessage(Editor.DimListBox);
        EXPECT_EQ(EditHandleTabKey(&tab), 0) << "Ctrl+Tab";
    }
    EXPECT_EQ(GetFocus(), before);
}

TEST_F(KeyboardTest, TheDescriptionTakesEnterButNotTab)
{
    Press(VK_TAB, 2);
    ASSERT_EQ(NameOf(GetFocus()), "Description");
    Press('A');
    Press(VK_RETURN);
    Press('B');
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"a\r\nb");
    EXPECT_EQ(Editor.Modified, 0) << "taken when the field is left";
    Press(VK_TAB);
    EXPECT_EQ(NameOf(GetFocus()), "Clear");
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"a\r\nb");
    EXPECT_EQ(Editor.Modified, 1) << "leaving by Tab reads the description";
    EXPECT_EQ(std::wstring(Editor.Description), L"a\r\nb");
}

TEST_F(KeyboardTest, SpaceOnClearEmptiesTheDescription)
{
    Press(VK_TAB, 2);
    Press('Q');
    Press(VK_TAB);
    ASSERT_EQ(NameOf(GetFocus()), "Clear");
    Editor.Modified = 0;
    Press(VK_SPACE);
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"");
    EXPECT_EQ(std::wstring(Editor.Description), L"");
    EXPECT_EQ(Editor.Modified, 1);
}

// ---------------------------------------------------------------------------
// Choosing with the arrow keys

TEST_F(KeyboardTest, KeysInTheDimensionsListRefillTheUnitsWithoutAChange)
{
    const int last = static_cast<int>(Dimensions().size()) - 1;
    Press(VK_END);
    EXPECT_EQ(Selection(Editor.DimListBox), last);
    EXPECT_EQ(uitest::ListRows(Editor.UnitListBox), Dimensions()[last].Symbols);
    Press(VK_UP);
    EXPECT_EQ(Editor.CurrentDim, Entry(last - 1));
    Press(VK_HOME);
    EXPECT_EQ(Editor.CurrentDim, Entry(0));
    Press(VK_NEXT);
    EXPECT_EQ(Editor.CurrentDim, Entry(Selection(Editor.DimListBox)));
    EXPECT_GT(Selection(Editor.DimListBox), 0) << "Page Down moves";
    EXPECT_EQ(Editor.Modified, 0);
    EXPECT_EQ(Editor.SelectingUnits, 0) << "every refill's notice was answered";
}

TEST_F(KeyboardTest, AUnitChosenWithTheArrowsIsAChangeAndIsSaved)
{
    Press(VK_DOWN, 2); // MassFlow
    Press(VK_TAB);
    ASSERT_EQ(NameOf(GetFocus()), "Units");
    Press(VK_DOWN);
    EXPECT_EQ(Entry(2)->SelectedUnit, 1);
    EXPECT_EQ(Editor.Modified, 1);
    Press(VK_END);
    EXPECT_EQ(uitest::ListRow(Editor.UnitListBox, Selection(Editor.UnitListBox)), L"lb/h");
    EXPECT_EQ(Entry(2)->SelectedUnit, 3);

    const std::wstring path = SaveAs(L"KeyboardChoice");
    std::string bytes;
    ASSERT_TRUE(testinstall::ReadBytes(path, bytes));
    EXPECT_NE(bytes.find("\r\nMassFlow" + std::string(32 - 8, ' ') + "lb/h\r\n"), std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("\r\nTemperature" + std::string(32 - 11, ' ') + "K\r\n"),
              std::string::npos)
        << bytes;
    EXPECT_EQ(Editor.Modified, 0);
    EXPECT_EQ(NameOf(GetFocus()), "Units") << "back after the dialog";

    // Moving on through the dimensions and back is no change, and shows the
    // chosen unit again.
    ShiftPress(VK_TAB);
    Press(VK_UP);
    Press(VK_DOWN);
    EXPECT_EQ(uitest::ListRow(Editor.UnitListBox, Selection(Editor.UnitListBox)), L"lb/h");
    EXPECT_EQ(Editor.Modified, 0);

    // A unit chosen again, even the same one, counts as clicks do.
    Press(VK_TAB);
    Press(VK_HOME);
    EXPECT_EQ(Editor.Modified, 1);
    int boxes = 0;
    uitest::DialogResponder responder([&](HWND box) {
        ++boxes;
        uitest::Press(box, IDCANCEL);
    });
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(boxes, 1) << "closing asks about the unsaved unit";
}

} // namespace
