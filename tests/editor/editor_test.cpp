// The editor in the test's own process: the real main window, its window
// procedure, the set commands, the set-selection dialog and the message
// boxes, answered by a CBT hook as a user would answer them.
#include <gtest/gtest.h>

#include "dimcat.h"
#include "editstate.h"
#include "importswap.h"
#include "mainproc.h"
#include "mainwnd.h"
#include "resloc.h"
#include "resource.h"
#include "setcmds.h"
#include "setfiletext.h"
#include "testinstall.h"
#include "uitest.h"
#include "windowtest.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

#include <string>
#include <utility>
#include <vector>

namespace {

using testinstall::Dimensions;

using windowtest::Choose;
using windowtest::Entry;
using windowtest::Press;
using windowtest::Script;
using windowtest::Selection;

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

class EditorTest : public windowtest::MainWindowTest {
protected:
    // Saves the edited set under a name and makes its file read-only, so
    // that the next write to it fails.
    void SaveReadOnly(const std::wstring &name)
    {
        SaveAs(name);
        ASSERT_TRUE(SetFileAttributesW(testinstall::SetPath(name).c_str(), FILE_ATTRIBUTE_READONLY));
    }

    // Delete, choosing the set of that name and confirming; what it showed.
    std::vector<windowtest::Shown> Delete(const std::wstring &name)
    {
        Script script({Choose(name), Press(IDYES)});
        Command(IDM_DELETE);
        return script.Seen();
    }
};

// A set file written behind the editor's back (not in its set catalogue).
void WriteForeignSet(const std::wstring &name)
{
    const std::string narrow(name.begin(), name.end());
    ASSERT_TRUE(testinstall::WriteBytes(testinstall::SetPath(name),
                                        setfiletext::Header(narrow, narrow + ".uas", {"Foreign"})));
}

// The failed save's message: the error line, then the file and the reason.
::testing::AssertionResult IsWriteError(const std::wstring &text, const std::wstring &file)
{
    if (text.rfind(L"Error opening/writing database.", 0) == 0 &&
        text.find(file) != std::wstring::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not the write error about " << file << ": " << text;
}

// What the editor's code passed to the window system's message box and beep
// (the test program's imports are replaced while a recorder lives).
struct BoxCall {
    HWND Owner;
    std::wstring Text;
    std::wstring Caption;
    UINT Style;
};
std::vector<BoxCall> boxCalls;
std::vector<UINT> beepCalls;
bool showBoxes = true; // false: every box is answered OK without being shown

using MessageBoxWFunction = int(WINAPI *)(HWND, LPCWSTR, LPCWSTR, UINT);
using MessageBeepFunction = BOOL(WINAPI *)(UINT);
MessageBoxWFunction realMessageBoxW = nullptr;

int WINAPI RecordingMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style)
{
    boxCalls.push_back(BoxCall{owner, text ? text : L"<null>", caption ? caption : L"<null>", style});
    return showBoxes ? realMessageBoxW(owner, text, caption, style) : IDOK;
}

BOOL WINAPI RecordingMessageBeep(UINT type)
{
    beepCalls.push_back(type);
    return TRUE;
}

class BoxRecorder {
public:
    explicit BoxRecorder(bool show)
        : box_("user32.dll", "MessageBoxW", RecordingMessageBoxW),
          beep_("user32.dll", "MessageBeep", RecordingMessageBeep)
    {
        boxCalls.clear();
        beepCalls.clear();
        showBoxes = show;
        realMessageBoxW = box_.Original();
    }
    bool Active() const { return box_.Original() && beep_.Original(); }

private:
    importswap::Swap<MessageBoxWFunction> box_;
    importswap::Swap<MessageBeepFunction> beep_;
};

// ---------------------------------------------------------------------------
// A new window

TEST_F(EditorTest, NewWindowShowsAnUnnamedEmptySetAtTheFirstUnits)
{
    EXPECT_EQ(uitest::TextOf(Editor.SetNameLabel), L"Set Name: <none>");
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"");
    EXPECT_EQ(std::wstring(Editor.Description), L"");
    EXPECT_EQ(std::wstring(Editor.ShownSetName), L"<none>");
    EXPECT_EQ(Editor.Modified, 0) << "the lists' notices during creation are no change";
    EXPECT_EQ(Editor.Initializing, 0);
    EXPECT_EQ(Editor.SelectingUnits, 0) << "no dimension notice is left waiting for its units";

    std::vector<std::wstring> names;
    for (const auto &d : Dimensions())
        names.push_back(d.Name);
    EXPECT_EQ(uitest::ListRows(Editor.DimListBox), names);
    EXPECT_EQ(Selection(Editor.DimListBox), 0);
    EXPECT_EQ(uitest::ListRows(Editor.UnitListBox), Dimensions()[0].Symbols);
    EXPECT_EQ(Selection(Editor.UnitListBox), 0);
    EXPECT_EQ(Editor.CurrentDim, Entry(0));
}

TEST_F(EditorTest, TheMainWindowClassAndStyle)
{
    wchar_t className[256];
    ASSERT_GT(GetClassNameW(window_, className, 256), 0);
    WNDCLASSEXW info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExW(ResGetModule(), className, &info)) << className;
    EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    EXPECT_EQ(info.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    ASSERT_TRUE(IS_INTRESOURCE(info.lpszMenuName));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(info.lpszMenuName), static_cast<ULONG_PTR>(IDM_MAINMENU));
    EXPECT_EQ(info.hIcon, nullptr) << "start-up sets the icon, not the class";
    EXPECT_EQ(GetClassLongPtrW(window_, GCLP_HICON), 0);

    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    EXPECT_TRUE(style & WS_CLIPCHILDREN) << "children are not painted over";
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, static_cast<LONG_PTR>(WS_OVERLAPPEDWINDOW));
    EXPECT_NE(GetMenu(window_), nullptr);
}

TEST_F(EditorTest, EveryControlHasTheInstallationsFont)
{
    // The font WindowSetFont hands out, seen on a window of the test's own.
    HWND probe = CreateWindowExW(0, L"static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(probe, nullptr);
    ASSERT_EQ(WindowSetFont(probe), 1);
    const LRESULT font = SendMessageW(probe, WM_GETFONT, 0, 0);
    DestroyWindow(probe);
    ASSERT_NE(font, 0);

    const HWND controls[] = {Editor.SetNameLabel, Editor.DescLabel, Editor.DescEdit,
                             Editor.ClearButton,  Editor.DimLabel,  Editor.DimListBox,
                             Editor.UnitLabel,    Editor.UnitListBox};
    for (HWND control : controls)
        EXPECT_EQ(SendMessageW(control, WM_GETFONT, 0, 0), font) << GetDlgCtrlID(control);
}

TEST_F(EditorTest, TheDescriptionTakesAtMost2000Characters)
{
    EXPECT_EQ(SendMessageW(Editor.DescEdit, EM_GETLIMITTEXT, 0, 0), 2000);
    // Typing: the control refuses what goes beyond the limit.
    const std::wstring typed(2001, L'x');
    SendMessageW(Editor.DescEdit, EM_SETSEL, 0, -1);
    SendMessageW(Editor.DescEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed.c_str()));
    EXPECT_EQ(GetWindowTextLengthW(Editor.DescEdit), 2000);
    Command(IDC_DESCRIPTION, EN_KILLFOCUS, Editor.DescEdit);
    EXPECT_EQ(std::wstring(Editor.Description), std::wstring(2000, L'x'));
    EXPECT_EQ(Editor.Modified, 1);
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

TEST_F(EditorTest, TheFirstUnitClickAfterStartUpIsAChange)
{
    // No dimension chosen yet: the click goes to the first dimension.
    Click(Editor.UnitListBox, IDC_UNITLIST, 2);
    EXPECT_EQ(Entry(0)->SelectedUnit, 2);
    EXPECT_EQ(Editor.Modified, 1);
    Script script({Press(IDCANCEL)});
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(script.Seen().size(), 1u) << "closing asks about the change";
    EXPECT_FALSE(TakeQuit());
}

// Each command that may lose a change names itself in the question.
TEST_F(EditorTest, TheSaveQuestionNamesItsCommand)
{
    struct Case {
        UINT Message;
        int Command;
        const wchar_t *Word;
    };
    const Case cases[] = {{WM_COMMAND, IDM_NEW, L"NEW"},
                          {WM_COMMAND, IDM_OPEN, L"OPEN"},
                          {WM_COMMAND, IDM_EXIT, L"EXIT"},
                          {WM_CLOSE, 0, L"CLOSE"}};
    // An unnamed set first, then a named one: the same words.
    for (const wchar_t *name : {static_cast<const wchar_t *>(nullptr), L"Named"}) {
        if (name)
            SaveAs(name);
        for (const Case &c : cases) {
            TypeDescription(std::wstring(name ? L"Named change before " : L"Changed before ") + c.Word);
            ASSERT_EQ(Editor.Modified, 1);
            Script script({Press(IDCANCEL)});
            if (c.Message == WM_CLOSE)
                Close();
            else
                Command(c.Command);
            ASSERT_EQ(script.Seen().size(), 1u) << c.Word << ": Cancel ends the command";
            EXPECT_EQ(script.Seen()[0].Text,
                      name ? std::wstring(name) + L" has been altered.  Do you want to save " + name +
                                 L" prior to " + c.Word + L"?"
                           : Replace(UnsavedUnnamed, {c.Word}));
            EXPECT_EQ(script.Seen()[0].Caption, L"Alert");
            EXPECT_FALSE(TakeQuit()) << c.Word;
            EXPECT_EQ(Editor.Modified, 1) << c.Word;
        }
    }
}

// Yes, but the save fails: Exit and closing must not quit and lose the change.
TEST_F(EditorTest, YesWhoseSaveFailsKeepsTheWindowOpenAndTheChange)
{
    SaveReadOnly(L"Fixed");
    TypeDescription(L"Cannot be saved");
    for (int exit = 0; exit < 2; ++exit) {
        Script script({Press(IDYES), Press(IDOK)});
        if (exit)
            Command(IDM_EXIT);
        else
            SendMessageW(window_, WM_CLOSE, 0, 0);
        ASSERT_EQ(script.Seen().size(), 2u) << exit;
        EXPECT_TRUE(IsWriteError(script.Seen()[1].Text, L"Fixed.uas"));
        EXPECT_FALSE(TakeQuit()) << (exit ? "Exit" : "Close") << " quit although nothing was saved";
        EXPECT_EQ(Editor.Modified, 1);
        EXPECT_EQ(std::wstring(Editor.Description), L"Cannot be saved");
    }

    // An unnamed set: Yes leads through Save As to the same read-only file.
    // The failed Save As takes the name, so the second Yes saves there at
    // once.
    {
        Script news({Press(IDNO)});
        Command(IDM_NEW);
    }
    TypeDescription(L"Unnamed, cannot be saved");
    for (int exit = 0; exit < 2; ++exit) {
        const std::vector<windowtest::Step> steps =
            exit ? std::vector<windowtest::Step>{Press(IDYES), Press(IDOK)}
                 : std::vector<windowtest::Step>{Press(IDYES), Choose(L"Fixed"), Press(IDYES), Press(IDOK)};
        Script script(steps);
        if (exit)
            Command(IDM_EXIT);
        else
            SendMessageW(window_, WM_CLOSE, 0, 0);
        ASSERT_EQ(script.Seen().size(), steps.size()) << exit;
        EXPECT_TRUE(IsWriteError(script.Seen().back().Text, L"Fixed.uas"));
        EXPECT_FALSE(TakeQuit()) << (exit ? "Exit" : "Close");
        EXPECT_EQ(Editor.Modified, 1);
    }
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

// What the editor asked of the help library and the product information
// window.
std::vector<std::pair<HWND, int32_t>> helpContexts;
std::vector<HWND> helpTopics;
struct AboutCall {
    HWND Owner;
    std::wstring Title, Text1, Text2;
    int16_t Flags;
};
std::vector<AboutCall> aboutCalls;

int16_t WINAPI RecordingHelpContext(HWND window, int32_t context)
{
    helpContexts.emplace_back(window, context);
    return 1;
}
int16_t WINAPI RecordingHelpTopics(HWND window)
{
    helpTopics.push_back(window);
    return 1;
}
int16_t WINAPI RecordingAbout(HWND owner, const wchar_t *title, const wchar_t *text1,
                              const wchar_t *text2, int16_t flags)
{
    aboutCalls.push_back(AboutCall{owner, title ? title : L"<null>", text1 ? text1 : L"<null>",
                                   text2 ? text2 : L"<null>", flags});
    return 1;
}

TEST_F(EditorTest, HelpKeyShowsTheMainWindowsHelpAndAnswersOne)
{
    helpContexts.clear();
    importswap::Swap<decltype(&HelpContext)> swap("velw32.dll", "HelpContext",
                                                  RecordingHelpContext);
    ASSERT_NE(swap.Original(), nullptr);
    HELPINFO info = {};
    info.cbSize = sizeof info;
    EXPECT_EQ(SendMessageW(window_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), 1);
    ASSERT_EQ(helpContexts.size(), 1u);
    EXPECT_EQ(helpContexts[0].first, window_);
    EXPECT_EQ(helpContexts[0].second, 100);
}

TEST_F(EditorTest, HelpMenuOpensTheHelpTopicsAndTheProductInformation)
{
    helpTopics.clear();
    aboutCalls.clear();
    importswap::Swap<decltype(&HelpTopics)> topics("velw32.dll", "HelpTopics", RecordingHelpTopics);
    importswap::Swap<decltype(&AbtMapAboutWindow)> about("velw32.dll", "AbtMapAboutWindow",
                                                         RecordingAbout);
    ASSERT_NE(topics.Original(), nullptr);
    ASSERT_NE(about.Original(), nullptr);

    Command(IDM_USINGHELP);
    ASSERT_EQ(helpTopics.size(), 1u);
    EXPECT_EQ(helpTopics[0], window_);
    EXPECT_TRUE(aboutCalls.empty());

    Command(IDM_PRODUCTINFO);
    ASSERT_EQ(aboutCalls.size(), 1u);
    EXPECT_EQ(aboutCalls[0].Owner, window_);
    EXPECT_EQ(aboutCalls[0].Title, L"Unit Assignment Set Editor");
    EXPECT_EQ(aboutCalls[0].Text1, std::wstring(Editor.AboutText1));
    EXPECT_EQ(aboutCalls[0].Text2, std::wstring(Editor.AboutText2));
    EXPECT_FALSE(aboutCalls[0].Text1.empty()) << "the common library's product line";
    EXPECT_FALSE(aboutCalls[0].Text2.empty());
    EXPECT_EQ(aboutCalls[0].Flags, 1);
    EXPECT_EQ(helpTopics.size(), 1u);
    EXPECT_EQ(Editor.Modified, 0);
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
    const int before = windowtest::CatalogueRecords();
    SaveAs(L"Refinery");
    EXPECT_EQ(windowtest::CatalogueRecords(), before + 1);
    SaveAs(L"Refinery"); // confirmed replacement: the dialog asks first
    EXPECT_EQ(windowtest::CatalogueRecords(), before + 1);

    KxStatus status = 0;
    UasInfo *record = UasGetUasInfo(Editor.SetCatalogue, L"Refinery", &status);
    ASSERT_NE(record, nullptr);
    // Deleted behind the editor's back: Save asks before it writes the set again.
    DeleteFileW(record->UasPath);
    TypeDescription(L"Written by Save");
    Script again({Press(IDYES)});
    Command(IDM_SAVE);
    ASSERT_EQ(again.Seen().size(), 1u);
    EXPECT_EQ(again.Seen()[0].Text.rfind(L"The unit assignment set 'Refinery' has been deleted", 0),
              0u)
        << std::string(again.Seen()[0].Text.begin(), again.Seen()[0].Text.end());
    std::string bytes;
    ASSERT_TRUE(testinstall::ReadBytes(record->UasPath, bytes));
    EXPECT_NE(bytes.find("Written by Save"), std::string::npos);
    EXPECT_EQ(Editor.Modified, 0);
}

TEST_F(EditorTest, OpenKeepsTheUnitsOfDimensionsTheFileDoesNotName)
{
    ASSERT_TRUE(testinstall::WriteBytes(
        testinstall::SetPath(L"Partial"),
        setfiletext::Header("Partial", "Partial.uas", {"Only pressure"}) +
            setfiletext::UnitLine("Pressure", "bar")));
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

TEST_F(EditorTest, OpenAndDeleteOfferTheCurrentSet)
{
    SaveAs(L"Current");
    ASSERT_EQ(Editor.Modified, 0);
    {
        Script script({Press(IDCANCEL)});
        Command(IDM_OPEN);
        ASSERT_EQ(script.Seen().size(), 1u);
        EXPECT_TRUE(script.Seen()[0].IsSelection);
        EXPECT_EQ(script.Seen()[0].Field, L"Current");
    }
    Script script({Press(IDCANCEL)});
    Command(IDM_DELETE);
    ASSERT_EQ(script.Seen().size(), 1u);
    EXPECT_TRUE(script.Seen()[0].IsSelection);
    EXPECT_EQ(script.Seen()[0].Field, L"Current");
    EXPECT_TRUE(testinstall::Exists(testinstall::SetPath(L"Current")));
}

// Save As whose write fails has already taken the new name: the record, the
// name and the label are the new set's; the change is still unsaved.
TEST_F(EditorTest, SaveAsWhoseWriteFailsTakesTheNameButKeepsTheChange)
{
    WriteForeignSet(L"Guarded");
    ASSERT_TRUE(SetFileAttributesW(testinstall::SetPath(L"Guarded").c_str(), FILE_ATTRIBUTE_READONLY));
    KxStatus status = 0;
    ASSERT_EQ(UasGetUasInfo(Editor.SetCatalogue, L"Guarded", &status), nullptr);
    const int before = windowtest::CatalogueRecords();
    PickUnit(1, 1);
    ASSERT_EQ(Editor.Modified, 1);

    Script script({Choose(L"Guarded"), Press(IDYES), Press(IDOK)});
    EXPECT_EQ(EditSaveSetAs(window_), 0);
    ASSERT_EQ(script.Seen().size(), 3u);
    EXPECT_TRUE(IsWriteError(script.Seen()[2].Text, L"Guarded.uas"));
    EXPECT_EQ(windowtest::CatalogueRecords(), before + 1);
    status = 0;
    UasInfo *record = UasGetUasInfo(Editor.SetCatalogue, L"Guarded", &status);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(IntlStrCmpIW(record->UasPath, testinstall::SetPath(L"Guarded").c_str()), 0);
    EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"Guarded");
    EXPECT_EQ(uitest::TextOf(Editor.SetNameLabel), L"Set Name: Guarded");
    EXPECT_EQ(Editor.Modified, 1);
    std::string bytes;
    ASSERT_TRUE(testinstall::ReadBytes(testinstall::SetPath(L"Guarded"), bytes));
    EXPECT_NE(bytes.find("Foreign"), std::string::npos) << "the file is untouched";

    // Unchanged before the failed Save As: still unchanged after it.
    SetFileAttributesW(testinstall::SetPath(L"Guarded").c_str(), FILE_ATTRIBUTE_NORMAL);
    SaveAs(L"Clean");
    ASSERT_EQ(Editor.Modified, 0);
    SetFileAttributesW(testinstall::SetPath(L"Guarded").c_str(), FILE_ATTRIBUTE_READONLY);
    Script again({Choose(L"Guarded"), Press(IDYES), Press(IDOK)});
    EXPECT_EQ(EditSaveSetAs(window_), 0);
    EXPECT_EQ(Editor.Modified, 0);
    EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"Guarded");
}

// The error box of a failed save may come while the window is closing: it
// has no owner, comes to the foreground, shows the error icon and is silent.
TEST_F(EditorTest, TheFailedSaveBoxHasNoOwnerComesForwardAndDoesNotBeep)
{
    SaveReadOnly(L"Fixed");
    TypeDescription(L"Not written");
    BoxRecorder recorder(false);
    ASSERT_TRUE(recorder.Active());
    Command(IDM_SAVE);
    ASSERT_EQ(boxCalls.size(), 1u);
    EXPECT_EQ(boxCalls[0].Owner, nullptr);
    EXPECT_TRUE(IsWriteError(boxCalls[0].Text, L"Fixed.uas"));
    EXPECT_EQ(boxCalls[0].Caption, L"Unit Assignment Set Editor");
    EXPECT_TRUE(boxCalls[0].Style & MB_SETFOREGROUND);
    EXPECT_EQ(boxCalls[0].Style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(boxCalls[0].Style & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(beepCalls.empty()) << "beeped " << beepCalls.size() << " times";
    EXPECT_EQ(Editor.Modified, 1);
}

// A set that cannot be deleted (read-only, or held open by another program):
// the user is told, and the editor stays exactly as it was.
TEST_F(EditorTest, ADeleteThatFailsTellsTheUserAndChangesNothing)
{
    for (int held = 0; held < 2; ++held) {
        SaveAs(L"Held");
        PickUnit(1, 2);
        PickUnit(3, 1);
        TypeDescription(L"Still here");
        const std::wstring path = testinstall::SetPath(L"Held");
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (held) {
            lock = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
            ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        } else {
            ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        BoxRecorder recorder(true);
        ASSERT_TRUE(recorder.Active());
        Script script({Choose(L"Held"), Press(IDYES), Press(IDOK)});
        Command(IDM_DELETE);
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);

        ASSERT_EQ(script.Seen().size(), 3u) << held;
        EXPECT_EQ(script.Seen()[2].Text, L"Cannot delete the unit assignment set.");
        EXPECT_EQ(script.Seen()[2].Caption, L"");
        ASSERT_EQ(boxCalls.size(), 2u) << "the question and the error";
        EXPECT_EQ(boxCalls[1].Style & MB_TYPEMASK, static_cast<UINT>(MB_OK)) << "OK only";
        EXPECT_EQ(boxCalls[1].Owner, window_);
        EXPECT_TRUE(testinstall::Exists(path));

        EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"Held");
        EXPECT_EQ(uitest::TextOf(Editor.SetNameLabel), L"Set Name: Held");
        EXPECT_EQ(std::wstring(Editor.Description), L"Still here");
        EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"Still here");
        EXPECT_EQ(Entry(1)->SelectedUnit, 2);
        EXPECT_EQ(Entry(3)->SelectedUnit, 1);
        EXPECT_EQ(Selection(Editor.DimListBox), 3);
        EXPECT_EQ(Editor.Modified, 1);
    }
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
    Delete(L"DOOMED");
    EXPECT_FALSE(testinstall::Exists(testinstall::SetPath(L"Doomed")));
    EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"<none>");
    EXPECT_EQ(uitest::TextOf(Editor.SetNameLabel), L"Set Name: <none>");
    EXPECT_EQ(std::wstring(Editor.Description), L"");
    EXPECT_EQ(Entry(1)->SelectedUnit, 0);
    EXPECT_EQ(Entry(2)->SelectedUnit, 0);
    EXPECT_EQ(Editor.Modified, 1) << "Delete leaves the change flag alone";
}

// The dialog gives the name as the file spells it now; the file may have
// been renamed in other letter case since the editor took its name.
TEST_F(EditorTest, DeletingTheCurrentSetSpeltOtherwiseOnDiskStillResetsTheEditor)
{
    PickUnit(1, 1);
    SaveAs(L"Doomed");
    ASSERT_TRUE(DeleteFileW(testinstall::SetPath(L"Doomed").c_str()));
    WriteForeignSet(L"DOOMED");
    const std::vector<windowtest::Shown> seen = Delete(L"doomed");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].Text, L"Are you sure that you want to delete 'DOOMED'?");
    EXPECT_FALSE(testinstall::Exists(testinstall::SetPath(L"DOOMED")));
    EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"<none>");
    EXPECT_EQ(Entry(1)->SelectedUnit, 0);
}

TEST_F(EditorTest, DeletingAnotherSetLeavesTheEditorAlone)
{
    SaveAs(L"Other");
    SaveAs(L"Mine");
    PickUnit(1, 4);
    Delete(L"Other");
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
