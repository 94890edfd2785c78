// The editor in the test's own process: the real main window, its window
// procedure, the set commands, the set-selection dialog and the message
// boxes, answered by a CBT hook as a user would answer them.
#include <gtest/gtest.h>

#include "dimcat.h"
#include "editstate.h"
#include "mainproc.h"
#include "mainwnd.h"
#include "resource.h"
#include "setcmds.h"
#include "testinstall.h"
#include "uitest.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

#include <string>
#include <vector>

namespace {

using testinstall::Dimensions;

class InstallationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { testinstall::Create(testinstall::Options()); }
};
const auto *const environment = ::testing::AddGlobalTestEnvironment(new InstallationEnvironment);

// One answer for the next dialog or message box: a name to type into the
// dialog's name field (when Fill), then the button to press.
struct Step {
    int Button;
    bool Fill = false;
    std::wstring Name;
};

Step Press(int button)
{
    return Step{button, false, std::wstring()};
}
Step Choose(const std::wstring &name, int button = IDOK)
{
    return Step{button, true, name};
}

// What a dialog or box showed when it opened.
struct Shown {
    std::wstring Caption;
    std::wstring Text;        // a message box's text
    bool IsSelection = false; // the set-selection dialog (it has a name field)
    std::wstring Field;       // the name field's text on entry
};

// Answers the dialogs and boxes that the code under test opens, in order,
// with the given steps; a dialog beyond the steps is cancelled, so that a
// test never hangs.
class Script {
public:
    explicit Script(std::vector<Step> steps)
        : steps_(std::move(steps)), responder_([this](HWND dialog) { Answer(dialog); })
    {
    }
    const std::vector<Shown> &Seen() const { return seen_; }

private:
    void Answer(HWND dialog)
    {
        Shown shown;
        shown.Caption = uitest::TextOf(dialog);
        shown.Text = uitest::MessageBoxText(dialog);
        HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
        shown.IsSelection = field != nullptr;
        if (field)
            shown.Field = uitest::TextOf(field);
        const size_t i = seen_.size();
        seen_.push_back(shown);
        if (i >= steps_.size()) {
            // Unexpected: end it with whatever button it has.
            const int button = GetDlgItem(dialog, IDCANCEL) ? IDCANCEL
                               : GetDlgItem(dialog, IDNO)   ? IDNO
                                                            : IDOK;
            uitest::Press(dialog, button);
            return;
        }
        if (steps_[i].Fill && field)
            SetWindowTextW(field, steps_[i].Name.c_str());
        uitest::Press(dialog, steps_[i].Button);
    }

    std::vector<Step> steps_;
    std::vector<Shown> seen_;
    uitest::DialogResponder responder_;
};

int Selection(HWND list)
{
    return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
}

DimEntry *Entry(int i)
{
    KxStatus status = 0;
    return static_cast<DimEntry *>(ListFindIth(Editor.DimCatalogue, i, &status));
}

const std::wstring UnsavedUnnamed =
    L"The current set has been altered.  Do you want to save it prior to %s?";

std::wstring Replace(std::wstring text, const std::vector<std::wstring> &values)
{
    for (const auto &v : values) {
        const size_t at = text.find(L"%s");
        text.replace(at, 2, v);
    }
    return text;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EmptySetFolder();
        UserSetGlobalUnitSet(L"");
        window_ = MainWindowCreate(nullptr);
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override
    {
        HelpQuit(window_);
        DestroyWindow(window_);
        TakeQuit();
    }

    static void EmptySetFolder()
    {
        WIN32_FIND_DATAW found;
        const std::wstring pattern = testinstall::SetFolder() + L"\\*";
        HANDLE find = FindFirstFileW(pattern.c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            return;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((testinstall::SetFolder() + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }

    // True when the editor posted its quit message; takes it off the queue
    // so that it cannot end a later modal loop of the test.
    static bool TakeQuit()
    {
        MSG msg;
        bool quit = false;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            quit = true;
        return quit;
    }

    void Command(int id, int code = 0, HWND control = nullptr)
    {
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }

    // The user types text into the description and leaves the field.
    void TypeDescription(const std::wstring &text)
    {
        SetWindowTextW(Editor.DescEdit, text.c_str());
        Command(IDC_DESCRIPTION, EN_KILLFOCUS, Editor.DescEdit);
    }

    // The user clicks a row of a list.
    void Click(HWND list, int id, int row)
    {
        SendMessageW(list, LB_SETCURSEL, row, 0);
        Command(id, LBN_SELCHANGE, list);
    }

    void PickUnit(int dimension, int unit)
    {
        Click(Editor.DimListBox, IDC_DIMLIST, dimension);
        Click(Editor.UnitListBox, IDC_UNITLIST, unit);
    }

    // Saves the edited set under a name through Save As, replacing a set of
    // that name when there is one.
    void SaveAs(const std::wstring &name)
    {
        Script script({Choose(name), Press(IDYES)});
        Command(IDM_SAVEAS);
    }

    HWND window_ = nullptr;
};

// ---------------------------------------------------------------------------
// A new window

TEST_F(EditorTest, NewWindowShowsAnUnnamedEmptySetAtTheFirstUnits)
{
    EXPECT_EQ(uitest::TextOf(Editor.SetNameLabel), L"Set Name: <none>");
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"");
    EXPECT_EQ(std::wstring(Editor.Description), L"");
    EXPECT_EQ(std::wstring(Editor.ShownSetName), L"<none>");
    EXPECT_EQ(Editor.Modified, 0);
    EXPECT_EQ(Editor.Initializing, 0);

    std::vector<std::wstring> names;
    for (const auto &d : Dimensions())
        names.push_back(d.Name);
    EXPECT_EQ(uitest::ListRows(Editor.DimListBox), names);
    EXPECT_EQ(Selection(Editor.DimListBox), 0);
    EXPECT_EQ(uitest::ListRows(Editor.UnitListBox), Dimensions()[0].Symbols);
    EXPECT_EQ(Selection(Editor.UnitListBox), 0);
    EXPECT_EQ(Editor.CurrentDim, Entry(0));
}

TEST_F(EditorTest, LabelsAndMenuShowTheirTexts)
{
    EXPECT_EQ(uitest::TextOf(Editor.DescLabel), L"Description");
    EXPECT_EQ(uitest::TextOf(Editor.ClearButton), L"Clear");
    EXPECT_EQ(uitest::TextOf(Editor.DimLabel), L"Dimensions");
    EXPECT_EQ(uitest::TextOf(Editor.UnitLabel), L"Units");
    EXPECT_EQ(std::wstring(Editor.AboutTitle), L"Unit Assignment Set Editor");

    // No template text of the menu resource may remain.
    HMENU menu = GetMenu(window_);
    ASSERT_NE(menu, nullptr);
    for (int popup = 0; popup < GetMenuItemCount(menu); ++popup) {
        wchar_t text[128];
        GetMenuStringW(menu, popup, text, 128, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text).find(L"xxx"), std::wstring::npos) << "popup " << popup;
        HMENU sub = GetSubMenu(menu, popup);
        for (int item = 0; item < GetMenuItemCount(sub); ++item) {
            GetMenuStringW(sub, item, text, 128, MF_BYPOSITION);
            EXPECT_EQ(std::wstring(text).find(L"xxx"), std::wstring::npos) << text;
        }
    }
    wchar_t global[128];
    GetMenuStringW(menu, IDM_GLOBALDEFAULT, global, 128, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(global), L"&Global Default...");
}

// ---------------------------------------------------------------------------
// Change tracking

TEST_F(EditorTest, ClosingAnUnchangedSetQuitsWithoutAQuestion)
{
    Script script({});
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(script.Seen().size(), 0u);
    EXPECT_TRUE(TakeQuit());
    EXPECT_TRUE(IsWindow(window_)) << "the window is destroyed by start-up, not by closing";
}

TEST_F(EditorTest, ClosingAfterTypingAsksAboutTheUnnamedSet)
{
    SetWindowTextW(Editor.DescEdit, L"Typed, not yet left");
    Script script({Press(IDCANCEL)});
    SendMessageW(window_, WM_CLOSE, 0, 0);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].Caption, L"Alert");
    EXPECT_EQ(script.Seen()[0].Text, Replace(UnsavedUnnamed, {L"CLOSE"}));
    EXPECT_FALSE(TakeQuit()) << "Cancel keeps the window open";
    EXPECT_EQ(Editor.Modified, 1);
}

TEST_F(EditorTest, ClosingAfterTypingAsksAboutTheNamedSet)
{
    SaveAs(L"Metric");
    TypeDescription(L"Changed after saving");
    Script script({Press(IDNO)});
    SendMessageW(window_, WM_CLOSE, 0, 0);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].Text,
              L"Metric has been altered.  Do you want to save Metric prior to CLOSE?");
    EXPECT_TRUE(TakeQuit()) << "No closes without saving";
}

TEST_F(EditorTest, BlanksOnlyAreNoChange)
{
    TypeDescription(L"   \t  ");
    EXPECT_EQ(Editor.Modified, 0);
    Script script({});
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(script.Seen().size(), 0u);
    EXPECT_TRUE(TakeQuit());
}

TEST_F(EditorTest, LeavingTheDescriptionMarksAChangeOnlyWhenTheTextDiffers)
{
    TypeDescription(L"  Plant A  ");
    EXPECT_EQ(Editor.Modified, 1);
    EXPECT_EQ(std::wstring(Editor.Description), L"Plant A") << "trimmed";
    Editor.Modified = 0;
    TypeDescription(L"Plant A ");
    EXPECT_EQ(Editor.Modified, 0) << "same text after trimming";
    Command(IDC_DESCRIPTION, EN_CHANGE, Editor.DescEdit);
    SetWindowTextW(Editor.DescEdit, L"Other");
    Command(IDC_DESCRIPTION, EN_SETFOCUS, Editor.DescEdit);
    EXPECT_EQ(Editor.Modified, 0) << "only losing the focus takes the text";
}

TEST_F(EditorTest, AnsweringNoPerformsNew)
{
    PickUnit(1, 2);
    TypeDescription(L"Unsaved");
    Script script({Press(IDNO)});
    Command(IDM_NEW);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].Text, Replace(UnsavedUnnamed, {L"NEW"}));
    EXPECT_EQ(Editor.Modified, 0);
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"");
    EXPECT_EQ(Entry(1)->SelectedUnit, 0);
    EXPECT_EQ(Selection(Editor.DimListBox), 0);
}

TEST_F(EditorTest, YesForAnUnnamedSetOpensSaveAsAndItsCancelCancelsNew)
{
    TypeDescription(L"Keep me");
    Script script({Press(IDYES), Press(IDCANCEL)});
    Command(IDM_NEW);
    ASSERT_EQ(script.Seen().size(), 2u);
    EXPECT_TRUE(script.Seen()[1].IsSelection) << "Save As dialog";
    EXPECT_EQ(script.Seen()[1].Field, L"<none>");
    EXPECT_EQ(std::wstring(Editor.Description), L"Keep me") << "New did not happen";
    EXPECT_EQ(Editor.Modified, 1);
}

TEST_F(EditorTest, YesSavesBeforeNew)
{
    PickUnit(0, 3);
    TypeDescription(L"Saved on the way");
    Script script({Press(IDYES), Choose(L"OnTheWay")});
    Command(IDM_NEW);
    EXPECT_TRUE(testinstall::Exists(testinstall::SetPath(L"OnTheWay")));
    EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"<none>");
    EXPECT_EQ(Entry(0)->SelectedUnit, 0);
    EXPECT_EQ(Editor.Modified, 0);
}

TEST_F(EditorTest, ChoosingADimensionIsNoChangeButEveryUnitClickIs)
{
    Click(Editor.DimListBox, IDC_DIMLIST, 2);
    EXPECT_EQ(Editor.CurrentDim, Entry(2));
    EXPECT_EQ(uitest::ListRows(Editor.UnitListBox), Dimensions()[2].Symbols);
    EXPECT_EQ(Selection(Editor.UnitListBox), 0);
    EXPECT_EQ(Editor.Modified, 0);
    EXPECT_EQ(Editor.SelectingUnits, 0);

    Click(Editor.UnitListBox, IDC_UNITLIST, 1);
    EXPECT_EQ(Entry(2)->SelectedUnit, 1);
    EXPECT_EQ(Editor.Modified, 1);

    Editor.Modified = 0;
    Click(Editor.UnitListBox, IDC_UNITLIST, 1);
    EXPECT_EQ(Editor.Modified, 1) << "the same unit again still counts";

    Editor.Modified = 0;
    Click(Editor.DimListBox, IDC_DIMLIST, 0);
    Click(Editor.DimListBox, IDC_DIMLIST, 2);
    EXPECT_EQ(Selection(Editor.UnitListBox), 1) << "the dimension's chosen unit is selected again";
    EXPECT_EQ(Editor.Modified, 0);
}

TEST_F(EditorTest, ClearCountsOnlyWhenThereWasADescription)
{
    Command(IDC_CLEAR, BN_CLICKED, Editor.ClearButton);
    EXPECT_EQ(Editor.Modified, 0);
    TypeDescription(L"Something");
    Editor.Modified = 0;
    Command(IDC_CLEAR, BN_CLICKED, Editor.ClearButton);
    EXPECT_EQ(Editor.Modified, 1);
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"");
    EXPECT_EQ(std::wstring(Editor.Description), L"");
}

TEST_F(EditorTest, ResizingKeepsTheSelectedDimension)
{
    Click(Editor.DimListBox, IDC_DIMLIST, 3);
    SetWindowPos(window_, nullptr, 0, 0, 500, 420, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Selection(Editor.DimListBox), 3);
    EXPECT_EQ(Editor.CurrentDim, Entry(3));
    EXPECT_EQ(Editor.Modified, 0);
}

TEST_F(EditorTest, HelpKeyAnswersOne)
{
    HELPINFO info = {};
    info.cbSize = sizeof info;
    EXPECT_EQ(SendMessageW(window_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), 1);
}

TEST_F(EditorTest, UnknownCommandDoesNothing)
{
    Script script({});
    EXPECT_EQ(SendMessageW(window_, WM_COMMAND, MAKEWPARAM(999, 0), 0), 0);
    EXPECT_EQ(SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_SETNAME, 0), 0), 0);
    EXPECT_EQ(script.Seen().size(), 0u);
    EXPECT_EQ(Editor.Modified, 0);
}

TEST_F(EditorTest, LabelsGetTheFaceColourBrush)
{
    HDC dc = GetDC(Editor.SetNameLabel);
    const LRESULT brush = SendMessageW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(Editor.SetNameLabel));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), Editor.LabelBrush);
    EXPECT_NE(Editor.LabelBrush, nullptr);
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(Editor.SetNameLabel, dc);
    SendMessageW(window_, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_NE(Editor.LabelBrush, nullptr);
}

// ---------------------------------------------------------------------------
// Set commands

TEST_F(EditorTest, SaveOfAnUnnamedSetRunsSaveAs)
{
    Script script({Choose(L"Plant")});
    Command(IDM_SAVE);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_TRUE(script.Seen()[0].IsSelection);
    EXPECT_TRUE(testinstall::Exists(testinstall::SetPath(L"Plant")));
    EXPECT_EQ(uitest::TextOf(Editor.SetNameLabel), L"Set Name: Plant");
    EXPECT_EQ(Editor.Modified, 0);
}

TEST_F(EditorTest, SaveAsAddsOneRecordAndSaveWritesToIt)
{
    auto count = [] {
        int n = 0;
        ListIterator it;
        ListIteratorInit(&it, Editor.SetCatalogue);
        void *item;
        while (ListIteratorNext(&it, &item))
            ++n;
        return n;
    };
    const int before = count();
    SaveAs(L"Refinery");
    EXPECT_EQ(count(), before + 1);
    SaveAs(L"Refinery"); // confirmed replacement: the dialog asks first
    EXPECT_EQ(count(), before + 1);

    KxStatus status = 0;
    UasInfo *record = UasGetUasInfo(Editor.SetCatalogue, L"Refinery", &status);
    ASSERT_NE(record, nullptr);
    DeleteFileW(record->UasPath);
    TypeDescription(L"Written by Save");
    Script none({});
    Command(IDM_SAVE);
    EXPECT_EQ(none.Seen().size(), 0u);
    std::string bytes;
    ASSERT_TRUE(testinstall::ReadBytes(record->UasPath, bytes));
    EXPECT_NE(bytes.find("Written by Save"), std::string::npos);
    EXPECT_EQ(Editor.Modified, 0);
}

TEST_F(EditorTest, OpenKeepsTheUnitsOfDimensionsTheFileDoesNotName)
{
    ASSERT_TRUE(testinstall::WriteBytes(
        testinstall::SetPath(L"Partial"),
        "* x\r\n* Partial\r\n* Partial.uas\r\n*\r\n*    Only pressure\r\n*\r\n"
        "* ----\r\nPressure                        bar\r\n"));
    PickUnit(0, 2);
    PickUnit(3, 1);
    Click(Editor.DimListBox, IDC_DIMLIST, 3);
    Script script({Press(IDNO), Choose(L"Partial")});
    Command(IDM_OPEN);
    ASSERT_EQ(script.Seen().size(), 2u);
    EXPECT_EQ(script.Seen()[1].Field, L"<none>");
    EXPECT_EQ(Entry(1)->SelectedUnit, 2) << "bar";
    EXPECT_EQ(Entry(0)->SelectedUnit, 2) << "not named: kept";
    EXPECT_EQ(Entry(3)->SelectedUnit, 1) << "not named: kept";
    EXPECT_EQ(std::wstring(Editor.Description), L"Only pressure");
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"Only pressure");
    EXPECT_EQ(uitest::TextOf(Editor.SetNameLabel), L"Set Name: Partial");
    EXPECT_EQ(Selection(Editor.DimListBox), 0);
    EXPECT_EQ(uitest::ListRows(Editor.UnitListBox), Dimensions()[0].Symbols);
    EXPECT_EQ(Selection(Editor.UnitListBox), 2);
    EXPECT_EQ(Editor.Modified, 0);
}

TEST_F(EditorTest, SavedSetOpensWithEveryChoiceBack)
{
    PickUnit(0, 1);
    PickUnit(2, 3);
    PickUnit(5, 1);
    TypeDescription(L"Line one\r\nLine two");
    SaveAs(L"RoundTrip");
    Script news({});
    Command(IDM_NEW);
    ASSERT_EQ(Entry(2)->SelectedUnit, 0);

    Script open({Choose(L"roundtrip")});
    Command(IDM_OPEN);
    EXPECT_EQ(Entry(0)->SelectedUnit, 1);
    EXPECT_EQ(Entry(2)->SelectedUnit, 3);
    EXPECT_EQ(Entry(5)->SelectedUnit, 1);
    EXPECT_EQ(std::wstring(Editor.Description), L"Line one Line two");
    EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"RoundTrip") << "the name as the set is spelt";
}

TEST_F(EditorTest, OpenOfAnUnreadableFileChangesNothing)
{
    SaveAs(L"Current");
    PickUnit(1, 3);
    ASSERT_TRUE(testinstall::WriteBytes(testinstall::SetPath(L"Locked"), "* x\r\n"));
    HANDLE lock = CreateFileW(testinstall::SetPath(L"Locked").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Script script({Press(IDNO), Choose(L"Locked"), Press(IDOK)});
    Command(IDM_OPEN);
    CloseHandle(lock);
    ASSERT_EQ(script.Seen().size(), 3u);
    EXPECT_EQ(script.Seen()[2].Text, L"The unit assignment set 'Locked' cannot be read.");
    EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"Current");
    EXPECT_EQ(Entry(1)->SelectedUnit, 3);
    EXPECT_EQ(Editor.Modified, 1);
}

TEST_F(EditorTest, DeleteAnsweredNoOpensTheDialogAgainAndCancelEndsIt)
{
    SaveAs(L"Victim");
    Script script(
        {Choose(L"Victim"), Press(IDNO), Choose(L"Victim"), Press(IDNO), Press(IDCANCEL)});
    Command(IDM_DELETE);
    ASSERT_EQ(script.Seen().size(), 5u);
    EXPECT_EQ(script.Seen()[1].Text, L"Are you sure that you want to delete 'Victim'?");
    EXPECT_EQ(script.Seen()[1].Caption, L"");
    EXPECT_TRUE(script.Seen()[2].IsSelection);
    EXPECT_TRUE(testinstall::Exists(testinstall::SetPath(L"Victim")));
}

TEST_F(EditorTest, DeletingTheCurrentSetInOtherLetterCaseLeavesAnUnnamedEmptySet)
{
    PickUnit(1, 1);
    TypeDescription(L"Doomed");
    SaveAs(L"Doomed");
    PickUnit(2, 2); // an unsaved change
    Script script({Choose(L"DOOMED"), Press(IDYES)});
    Command(IDM_DELETE);
    EXPECT_FALSE(testinstall::Exists(testinstall::SetPath(L"Doomed")));
    EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"<none>");
    EXPECT_EQ(uitest::TextOf(Editor.SetNameLabel), L"Set Name: <none>");
    EXPECT_EQ(std::wstring(Editor.Description), L"");
    EXPECT_EQ(Entry(1)->SelectedUnit, 0);
    EXPECT_EQ(Entry(2)->SelectedUnit, 0);
    EXPECT_EQ(Editor.Modified, 1) << "Delete leaves the change flag alone";
}

TEST_F(EditorTest, DeletingAnotherSetLeavesTheEditorAlone)
{
    SaveAs(L"Other");
    SaveAs(L"Mine");
    PickUnit(1, 4);
    Script script({Choose(L"Other"), Press(IDYES)});
    Command(IDM_DELETE);
    EXPECT_FALSE(testinstall::Exists(testinstall::SetPath(L"Other")));
    EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"Mine");
    EXPECT_EQ(Entry(1)->SelectedUnit, 4);
}

TEST_F(EditorTest, GlobalDefaultOffersTheCurrentOneAndStoresTheChoice)
{
    SaveAs(L"First");
    SaveAs(L"Second");
    UserSetGlobalUnitSet(testinstall::SetPath(L"First").c_str());
    PickUnit(0, 1);
    const uint16_t modified = Editor.Modified;
    Script script({Choose(L"Second")});
    Command(IDM_GLOBALDEFAULT);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_EQ(script.Seen()[0].Field, L"First");
    wchar_t path[UNIT_GLOBAL_PATH_CHARS];
    UserGetGlobalUnitSet(path);
    EXPECT_EQ(IntlStrCmpIW(path, testinstall::SetPath(L"Second").c_str()), 0) << path;
    EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"Second");
    EXPECT_EQ(Editor.Modified, modified);
    EXPECT_EQ(Entry(0)->SelectedUnit, 1);
}

TEST_F(EditorTest, ExitAsksWithTheExitWordAndQuitsUnlessCancelled)
{
    TypeDescription(L"x");
    {
        Script script({Press(IDCANCEL)});
        Command(IDM_EXIT);
        ASSERT_EQ(script.Seen().size(), 1u);
        EXPECT_EQ(script.Seen()[0].Text, Replace(UnsavedUnnamed, {L"EXIT"}));
        EXPECT_FALSE(TakeQuit());
    }
    Script script({Press(IDNO)});
    Command(IDM_EXIT);
    EXPECT_TRUE(TakeQuit());
}

} // namespace
