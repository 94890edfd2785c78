// A set file opened by its path, in the real main window: which argument is
// the path, a received file from outside the set folder (an unnamed set
// whose first Save asks for a name, offering the file's), a file of the set
// folder (that set, however its path is spelled), a dropped file (after the
// save question; nothing while a dialog is open), and every path that is no
// readable set file (told, nothing changes).
#include <gtest/gtest.h>

#include "dimcat.h"
#include "editstate.h"
#include "mainwnd.h"
#include "programloop.h"
#include "resource.h"
#include "setfiletext.h"
#include "setlabel.h"
#include "setopen.h"
#include "installenv.h"
#include "testfiles.h"
#include "testinstall.h"
#include "uitest.h"
#include "vel32.h"
#include "velw32.h"

#include <shlobj.h>

#include <string>
#include <vector>

namespace {

const auto *const environment = testinstall::AddInstallationEnvironment();

// A set file as the editor writes it, naming two dimensions.
std::string SetBytes(const std::string &name, const std::string &description,
                     const std::string &temperature, const std::string &pressure)
{
    return setfiletext::File(name, name + ".uas", description,
                             {{"Temperature", temperature}, {"Pressure", pressure}});
}

// A folder outside the set folder for received files.
std::wstring Outside()
{
    const std::wstring folder = testinstall::Root() + L"\\Empfangen von Zoë";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

struct Shown {
    std::wstring Caption;
    std::wstring Text;
    std::wstring Field; // the set-selection dialog's name on entry
};

// Answers dialogs and boxes in order: each with its button, typing nothing.
// NoAndCancel answers a box No and cancels the dialog that asked it, which
// stays open after a No.
constexpr int NoAndCancel = -1;
class Answers {
public:
    explicit Answers(std::vector<int> buttons)
        : buttons_(std::move(buttons)), responder_([this](HWND dialog) { Answer(dialog); })
    {
    }
    const std::vector<Shown> &Seen() const { return seen_; }

private:
    void Answer(HWND dialog)
    {
        Shown shown{uitest::TextOf(dialog), uitest::MessageBoxText(dialog), L""};
        if (HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr))
            shown.Field = uitest::TextOf(field);
        const size_t i = seen_.size();
        seen_.push_back(shown);
        const int button = i < buttons_.size() ? buttons_[i] : IDCANCEL;
        uitest::Press(dialog, button == NoAndCancel ? IDNO : button);
        if (button == NoAndCancel)
            uitest::Press(GetWindow(dialog, GW_OWNER), IDCANCEL);
    }
    std::vector<int> buttons_;
    std::vector<Shown> seen_;
    uitest::DialogResponder responder_;
};

DimEntry *Entry(int i)
{
    KxStatus status = 0;
    return static_cast<DimEntry *>(ListFindIth(Editor.DimCatalogue, i, &status));
}

std::string Bytes(const std::wstring &path)
{
    std::string bytes;
    if (!testinstall::ReadBytes(path, bytes))
        return "<no file>";
    return bytes;
}

class SetOpenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = MainWindowCreate(nullptr);
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override
    {
        HelpQuit(window_);
        DestroyWindow(window_);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        for (const auto &path : made_)
            DeleteFileW(path.c_str());
    }

    std::wstring Made(const std::wstring &path, const std::string &bytes)
    {
        EXPECT_TRUE(testinstall::WriteBytes(path, bytes));
        made_.push_back(path);
        return path;
    }

    // The user drops one file (or more) on the main window; the program's
    // message loop takes it, as in the running program.
    void Drop(const std::vector<std::wstring> &paths)
    {
        PostDrop(paths);
        EXPECT_TRUE(programloop::RunUntilDone(window_)) << "a dialog or box stayed open";
    }

    // The drop arrives in the thread's queue; whichever loop runs takes it.
    void PostDrop(const std::vector<std::wstring> &paths)
    {
        size_t chars = 1;
        for (const auto &p : paths)
            chars += p.size() + 1;
        HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
        ASSERT_NE(block, nullptr);
        auto *drop = static_cast<DROPFILES *>(GlobalLock(block));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        auto *names = reinterpret_cast<wchar_t *>(reinterpret_cast<BYTE *>(drop) + sizeof(DROPFILES));
        for (const auto &p : paths) {
            wmemcpy(names, p.c_str(), p.size() + 1);
            names += p.size() + 1;
        }
        *names = L'\0';
        GlobalUnlock(block);
        PostMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    }

    std::wstring Label() const { return uitest::TextOf(Editor.SetNameLabel); }

    HWND window_ = nullptr;
    std::vector<std::wstring> made_;
};

TEST(SetFileArgumentTest, TheFirstArgumentThatIsNoOptionIsThePath)
{
    struct Case {
        std::vector<const wchar_t *> Arguments;
        const wchar_t *Expected;
    };
    const std::vector<Case> cases = {
        {{L"uasedit.exe"}, nullptr},
        {{L"uasedit.exe", L"C:\\Sets\\Pr\u00fcfstand S\u00fcd.uas"},
         L"C:\\Sets\\Pr\u00fcfstand S\u00fcd.uas"},
        {{L"uasedit.exe", L"/user:anna"}, nullptr},
        {{L"uasedit.exe", L"/user:anna", L"a.uas"}, L"a.uas"},
        {{L"uasedit.exe", L"a.uas", L"/user:anna"}, L"a.uas"},
        {{L"uasedit.exe", L"-user:anna", L"a.uas", L"b.uas"}, L"a.uas"},
        {{L"uasedit.exe", L"", L"b.uas"}, L"b.uas"},
        {{L"a.uas"}, nullptr}, // the program's own name is never the set
    };
    for (const Case &c : cases) {
        std::vector<wchar_t *> arguments;
        for (const wchar_t *a : c.Arguments)
            arguments.push_back(const_cast<wchar_t *>(a));
        const wchar_t *found =
            EditSetFileArgument(static_cast<int32_t>(arguments.size()), arguments.data());
        if (!c.Expected) {
            EXPECT_EQ(found, nullptr) << "with " << arguments.size() << " arguments";
        } else {
            EXPECT_STREQ(found, c.Expected);
        }
    }
    EXPECT_EQ(EditSetFileArgument(3, nullptr), nullptr);
}

TEST_F(SetOpenTest, AReceivedFileIsAnUnnamedSetSavedOnlyIntoTheSetFolder)
{
    const std::wstring received = Made(Outside() + L"\\Pr\u00fcfstand S\u00fcd.uas",
                                       SetBytes("Pruefstand", "Test bench south.", "degF", "psi"));
    const std::string original = Bytes(received);

    ASSERT_EQ(EditOpenSetFile(window_, received.c_str()), 1);
    EXPECT_STREQ(Editor.CurrentSetName, L"<none>");
    EXPECT_EQ(Label(), L"Set Name: <none> (read from Pr\u00fcfstand S\u00fcd.uas)");
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"Test bench south.");
    EXPECT_EQ(Entry(0)->SelectedUnit, 2); // degF
    EXPECT_EQ(Entry(1)->SelectedUnit, 3); // psi
    EXPECT_EQ(Editor.Modified, 0);

    // Save asks for a name, offering the file's; Cancel writes nothing.
    {
        Answers answers({IDCANCEL});
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVE, 0), 0);
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0].Caption, L"Save Unit Assignment Set As");
        EXPECT_EQ(answers.Seen()[0].Field, L"Pr\u00fcfstand S\u00fcd");
    }
    EXPECT_EQ(Bytes(received), original);
    const std::wstring target = testinstall::SetPath(L"Pr\u00fcfstand S\u00fcd");
    made_.push_back(target);
    EXPECT_FALSE(testinstall::Exists(target));

    // Confirmed, the set goes into the set folder under that name.
    {
        Answers answers({IDOK});
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVE, 0), 0);
        ASSERT_EQ(answers.Seen().size(), 1u);
    }
    EXPECT_STREQ(Editor.CurrentSetName, L"Pr\u00fcfstand S\u00fcd");
    EXPECT_EQ(Label(), L"Set Name: Pr\u00fcfstand S\u00fcd");
    const std::string saved = Bytes(target);
    EXPECT_NE(saved.find("Test bench south."), std::string::npos);
    EXPECT_NE(saved.find("Temperature                     degF\r\n"), std::string::npos);
    EXPECT_EQ(Bytes(received), original) << "the received file is never written";

    // Named now: Save As offers the set's own name, as for any set.
    Answers again({IDCANCEL});
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVEAS, 0), 0);
    ASSERT_EQ(again.Seen().size(), 1u);
    EXPECT_EQ(again.Seen()[0].Field, L"Pr\u00fcfstand S\u00fcd");
}

TEST_F(SetOpenTest, AReceivedFileReplacesAnExistingSetOnlyAfterTheQuestion)
{
    const std::wstring existing =
        Made(testinstall::SetPath(L"Shared"), SetBytes("Shared", "Ours.", "K", "Pa"));
    const std::wstring received =
        Made(Outside() + L"\\Shared.uas", SetBytes("Shared", "Theirs.", "degC", "bar"));
    ASSERT_EQ(EditOpenSetFile(window_, received.c_str()), 1);
    EXPECT_STREQ(Editor.CurrentSetName, L"<none>");

    // The dialog offers "Shared" and asks before replacing; No keeps ours.
    Answers no({IDOK, NoAndCancel});
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVE, 0), 0);
    ASSERT_GE(no.Seen().size(), 2u);
    EXPECT_EQ(no.Seen()[0].Field, L"Shared");
    EXPECT_EQ(no.Seen()[1].Text,
              L"The unit assignment set 'Shared' already exists.\nDo you want to replace it?");
    EXPECT_NE(Bytes(existing).find("Ours."), std::string::npos);

    Answers yes({IDOK, IDYES});
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVE, 0), 0);
    EXPECT_NE(Bytes(existing).find("Theirs."), std::string::npos);
}

TEST_F(SetOpenTest, AFileOfTheSetFolderOpensAsThatSet)
{
    const std::wstring path =
        Made(testinstall::SetPath(L"Plant North"), SetBytes("Plant North", "North.", "degR", "kPa"));
    // A spelling of the folder with "." and a different letter case.
    std::wstring spelled = testinstall::SetFolder() + L"\\.\\PLANT NORTH.uas";
    ASSERT_EQ(EditOpenSetFile(window_, spelled.c_str()), 1);
    EXPECT_STREQ(Editor.CurrentSetName, L"Plant North");
    EXPECT_EQ(Label(), L"Set Name: Plant North");
    EXPECT_EQ(Entry(0)->SelectedUnit, 3);

    // Save writes the set's own file, without a dialog.
    SetWindowTextW(Editor.DescEdit, L"North, changed.");
    Answers none({});
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVE, 0), 0);
    EXPECT_TRUE(none.Seen().empty());
    EXPECT_NE(Bytes(path).find("North, changed."), std::string::npos);
}

// What is no readable set file is told, with the reason, and the edited
// set stays exactly as it was; so it is for a path given on the command
// line and for a dropped one.
TEST_F(SetOpenTest, WhatIsNoSetFileIsToldAndChangesNothing)
{
    const std::wstring folder = Outside();
    const std::wstring text = Made(folder + L"\\notes.uas", "Temperature degF\r\nPressure psi\r\n");
    const std::wstring binary =
        Made(folder + L"\\picture.uas", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    const std::wstring empty = Made(folder + L"\\empty.uas", "");
    const std::wstring subfolder = folder + L"\\a folder.uas";
    CreateDirectoryW(subfolder.c_str(), nullptr);
    // A received set file at a path of 1 101 characters, and paths just
    // within and just beyond what the editor opens.
    const std::wstring deep = Made(testfiles::FolderOfLength(folder, 1091) + L"\\Deep1.uas",
                                   SetBytes("Deep", "Deep down.", "K", "Pa"));
    const std::wstring within = testfiles::FolderOfLength(folder, 1013) + L"\\miss1.uas";
    const std::wstring beyond = testfiles::FolderOfLength(folder, 1014) + L"\\miss1.uas";
    const std::wstring letters = L"Z:\\" + std::wstring(4000, L'a');
    // A path too long to be opened is shown by its first and last 60 characters.
    auto shortened = [](const std::wstring &path) {
        return path.substr(0, 60) + L"\u2026" + path.substr(path.size() - 60);
    };
    auto tooLong = [](size_t length) {
        return L"the path is too long: it has " + std::to_wstring(length) +
               L" characters, and the editor opens paths of up to 1023 characters.";
    };
    const std::wstring device =
        L"the name is that of a device (such as CON, NUL or COM1), not of a file.";
    struct Case {
        std::wstring Path;
        std::wstring Shown; // the path as the message names it
        std::wstring Reason;
    };
    const std::vector<Case> cases = {
        {folder + L"\\missing.uas", folder + L"\\missing.uas", L"the file does not exist."},
        {subfolder, subfolder, L"it is a folder, not a file."},
        {text, text,
         L"the file is not a unit assignment set file: it does not begin with the header of one."},
        {binary, binary,
         L"the file is not a unit assignment set file: it does not begin with the header of one."},
        {empty, empty,
         L"the file is not a unit assignment set file: it does not begin with the header of one."},
        // Devices are named as given, whether or not the device exists here.
        {L"NUL", L"NUL", device},
        {L"CON", L"CON", device},
        {L"CONIN$", L"CONIN$", device},
        {L"con.uas", L"con.uas", device},
        {L"LPT1", L"LPT1", device},
        {L"PRN.uas", L"PRN.uas", device},
        {folder + L"\\aux.uas", folder + L"\\aux.uas", device},
        {within, within, L"the file does not exist."},
        {beyond, shortened(beyond), tooLong(1024)},
        {deep, shortened(deep), tooLong(1101)},
        {letters, shortened(letters), tooLong(4003)},
    };
    ASSERT_EQ(within.size(), 1023u);
    ASSERT_EQ(deep.size(), 1101u);
    ASSERT_TRUE(testinstall::Exists(deep));

    // The editor holds a changed set that must survive every refusal.
    SetWindowTextW(Editor.DescEdit, L"Unsaved work");
    Entry(0)->SelectedUnit = 1;
    Editor.Modified = 1;
    for (const bool dropped : {false, true}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(testfiles::Utf8(c.Path.substr(0, 80)) + (dropped ? ", dropped" : ""));
            Answers answers({IDOK});
            if (dropped)
                Drop({c.Path});
            else
                EXPECT_EQ(EditOpenSetFile(window_, c.Path.c_str()), 0);
            ASSERT_EQ(answers.Seen().size(), 1u) << "one box, and no save question";
            EXPECT_EQ(answers.Seen()[0].Caption, L"Unit Assignment Set Editor");
            EXPECT_EQ(
                testfiles::Utf8(answers.Seen()[0].Text),
                testfiles::Utf8(L"This file cannot be opened as a unit assignment set.\n\nFile: " +
                                c.Shown + L"\nReason: " + c.Reason));
            EXPECT_STREQ(Editor.CurrentSetName, L"<none>");
            EXPECT_EQ(Label(), L"Set Name: <none>");
            EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"Unsaved work");
            EXPECT_EQ(Entry(0)->SelectedUnit, 1);
            EXPECT_EQ(Editor.Modified, 1);
        }
    }
    RemoveDirectoryW(subfolder.c_str());
}

TEST_F(SetOpenTest, ADroppedFileOpensAfterTheSaveQuestion)
{
    const std::wstring received =
        Made(Outside() + L"\\Dropped.uas", SetBytes("Dropped", "From a drop.", "degC", "atm"));
    SetWindowTextW(Editor.DescEdit, L"Unsaved work");

    // Cancel: nothing changes.
    {
        Answers answers({IDCANCEL});
        Drop({received});
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0].Text,
                  L"The current set has been altered.  Do you want to save it prior to OPEN?");
        EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"Unsaved work");
    }
    // No: the first dropped file opens, the others are left.
    const std::wstring second =
        Made(Outside() + L"\\Second.uas", SetBytes("Second", "Second.", "K", "Pa"));
    Answers answers({IDNO});
    Drop({received, second});
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"From a drop.");
    EXPECT_EQ(Label(), L"Set Name: <none> (read from Dropped.uas)");
    EXPECT_EQ(Editor.Modified, 0);
}

// While a dialog or box is open, a drop does nothing, as the shortcut keys
// do nothing then: no set opens behind the dialog, and no second save
// question is stacked on the first.
TEST_F(SetOpenTest, ADropWhileADialogOrBoxIsOpenDoesNothing)
{
    const std::wstring dropped =
        Made(Outside() + L"\\Behind.uas", SetBytes("Behind", "Dropped behind.", "degF", "psi"));
    struct Case {
        const char *What;
        int Command;
        bool Changed; // unsaved changes, which New asks about
    };
    const std::vector<Case> cases = {
        {"Open's dialog", IDM_OPEN, false},     {"Save As's dialog", IDM_SAVEAS, false},
        {"Delete's dialog", IDM_DELETE, false}, {"the product information", IDM_PRODUCTINFO, false},
        {"New's save question", IDM_NEW, true}, {"Open's save question", IDM_OPEN, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.What);
        const std::wstring description = c.Changed ? L"Unsaved work" : L"";
        SetWindowTextW(Editor.DescEdit, description.c_str());
        Editor.Description[0] = L'\0';
        Editor.Modified = 0;
        std::vector<std::wstring> seen;
        uitest::DialogResponder responder([&](HWND dialog) {
            seen.push_back(uitest::TextOf(dialog) + L": " + uitest::MessageBoxText(dialog));
            // The file is dropped while the first dialog is open; its loop
            // takes the drop before the answer.
            if (seen.size() == 1)
                PostDrop({dropped});
            uitest::Press(dialog, IDCANCEL);
        });
        PostMessageW(window_, WM_COMMAND, MAKEWPARAM(c.Command, 0), 0);
        EXPECT_TRUE(programloop::RunUntilDone(window_));
        ASSERT_FALSE(seen.empty()) << "no dialog opened";
        EXPECT_EQ(seen.size(), 1u) << "then: " << testfiles::Utf8(seen.back());
        EXPECT_EQ(uitest::TextOf(Editor.DescEdit), description);
        EXPECT_EQ(Label(), L"Set Name: <none>");
        EXPECT_EQ(Entry(0)->SelectedUnit, 0);
    }
    // Once the dialogs are closed, the same drop opens the file.
    SetWindowTextW(Editor.DescEdit, L"");
    Editor.Description[0] = L'\0';
    Editor.Modified = 0;
    Answers none({});
    Drop({dropped});
    EXPECT_TRUE(none.Seen().empty());
    EXPECT_EQ(uitest::TextOf(Editor.DescEdit), L"Dropped behind.");
    EXPECT_EQ(Label(), L"Set Name: <none> (read from Behind.uas)");
}

// A file of the set folder is that set however its path is spelled: with
// the \\?\ prefix, or through a second drive letter for the same folder (a
// mapped drive and the share's network name), in any letter case. Save then
// writes the set's own file, without a question or a dialog.
TEST_F(SetOpenTest, AFileOfTheSetFolderIsThatSetInEverySpelling)
{
    const std::wstring path =
        Made(testinstall::SetPath(L"Alpha"), SetBytes("Alpha", "Alpha.", "degR", "kPa"));
    const testfiles::OtherDrive other(testinstall::SetFolder());
    ASSERT_FALSE(other.Path().empty()) << "no second drive reaches the set folder here";
    struct Case {
        const char *What;
        std::wstring Path;
    };
    const std::vector<Case> cases = {
        {"as the profile names it", path},
        {"with the \\\\?\\ prefix", L"\\\\?\\" + path},
        {"through a second drive", other.Path() + L"\\Alpha.uas"},
        {"through a second drive, in capitals", other.Path() + L"\\ALPHA.UAS"},
        {"through a second drive, with the prefix", L"\\\\?\\" + other.Path() + L"\\Alpha.uas"},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.What) + ": " + testfiles::Utf8(c.Path));
        // Whatever asks is answered Cancel and recorded: nothing should ask.
        Answers none({});
        ASSERT_EQ(EditOpenSetFile(window_, c.Path.c_str()), 1);
        EXPECT_STREQ(Editor.CurrentSetName, L"Alpha");
        EXPECT_EQ(Label(), L"Set Name: Alpha");
        EXPECT_EQ(Entry(0)->SelectedUnit, 3); // degR

        const std::wstring changed = L"Alpha, changed " + std::to_wstring(++n) + L".";
        SetWindowTextW(Editor.DescEdit, changed.c_str());
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_SAVE, 0), 0);
        EXPECT_TRUE(none.Seen().empty()) << "asked: " << testfiles::Utf8(none.Seen()[0].Caption);
        EXPECT_NE(Bytes(path).find(testfiles::Utf8(changed)), std::string::npos);
        EXPECT_EQ(Editor.Modified, 0);
    }
}

TEST_F(SetOpenTest, TheMainWindowAcceptsDroppedFiles)
{
    EXPECT_TRUE(GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

// ---------------------------------------------------------------------------
// The label of a received file in every language.

std::wstring LoadText(HMODULE module, UINT id)
{
    const wchar_t *text = nullptr;
    const int n = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

// Whether the label draws text on one line: it wraps what its width does
// not hold.
bool OnOneLine(HWND label, const std::wstring &text)
{
    RECT client = {};
    GetClientRect(label, &client);
    HDC dc = GetDC(label);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    RECT rect = {0, 0, client.right, 0};
    DrawTextW(dc, text.c_str(), -1, &rect,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return rect.bottom <= metrics.tmHeight && rect.right <= client.right;
}

struct LabelLanguage {
    const char *Name;
    const wchar_t *Library; // in res; null: the program's own texts
};

// A file name of 40 characters from outside the set folder, at the
// window's start size: the label holds it on one line, with the file's
// name shortened (its beginning and its extension kept) and the whole text
// in the label's tooltip; a wider window shows the whole text, and the
// start size shortens it again.
TEST_F(SetOpenTest, AReceivedFilesLabelFitsTheStartSizeInEveryLanguage)
{
    const std::wstring file = L"Pr\u00fcfstand S\u00fcd, Messreihe Juni 2024 B.uas";
    ASSERT_EQ(file.size(), 40u);
    RECT start = {};
    GetWindowRect(window_, &start);
    const LabelLanguage languages[] = {{"English", nullptr},
                                       {"German", L"uaseditg.dll"},
                                       {"French", L"uaseditf.dll"},
                                       {"Japanese", L"uaseditj.dll"}};
    for (const LabelLanguage &language : languages) {
        SCOPED_TRACE(language.Name);
        HMODULE texts =
            language.Library
                ? LoadLibraryExW((testinstall::ResFolder() + L"\\" + language.Library).c_str(),
                                 nullptr, LOAD_LIBRARY_AS_DATAFILE)
                : GetModuleHandleW(nullptr);
        ASSERT_NE(texts, nullptr);
        const std::wstring prefix = LoadText(texts, IDS_SETNAMEPREFIX);
        const std::wstring none = LoadText(texts, IDS_NONE);
        const std::wstring pattern = LoadText(texts, IDS_SETNAMEFROMFILE);
        if (language.Library)
            FreeLibrary(texts);
        ASSERT_FALSE(prefix.empty() || none.empty() || pattern.empty());
        // The text before and after the file's name: the pattern's places
        // are none first, then the file.
        const size_t first = pattern.find(L"%s");
        const size_t second = pattern.find(L"%s", first + 2);
        ASSERT_NE(second, std::wstring::npos);
        const std::wstring before = prefix + pattern.substr(0, first) + none +
                                    pattern.substr(first + 2, second - first - 2);
        const std::wstring after = pattern.substr(second + 2);
        const std::wstring whole = before + file + after;

        EditShowFileSetName(prefix.c_str(), none.c_str(), pattern.c_str(), file.c_str());
        const std::wstring shown = Label();
        EXPECT_TRUE(OnOneLine(Editor.SetNameLabel, shown)) << testfiles::Utf8(shown);
        ASSERT_NE(shown, whole) << "the whole text fits: no test of the shortened label";
        ASSERT_GE(shown.size(), before.size() + after.size());
        EXPECT_EQ(shown.substr(0, before.size()), before);
        EXPECT_EQ(shown.substr(shown.size() - after.size()), after);
        const std::wstring name =
            shown.substr(before.size(), shown.size() - before.size() - after.size());
        EXPECT_GE(name.size(), 10u) << "too little of the name is left: " << testfiles::Utf8(name);
        EXPECT_EQ(name.substr(0, 3), file.substr(0, 3)) << testfiles::Utf8(name);
        EXPECT_EQ(name.substr(name.size() - 5), L"\u2026.uas") << testfiles::Utf8(name);
        EXPECT_EQ(EditSetNameTipText(), whole);

        SetWindowPos(window_, nullptr, 0, 0, 1200, start.bottom - start.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(Label(), whole);
        EXPECT_EQ(EditSetNameTipText(), L"") << "no tip while the label shows the whole";
        SetWindowPos(window_, nullptr, 0, 0, start.right - start.left, start.bottom - start.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(Label(), shown);
        EXPECT_EQ(EditSetNameTipText(), whole);
    }
}

// A short name is shown whole, with no tip; so is a set's own name.
TEST_F(SetOpenTest, AShortLabelIsShownWhole)
{
    EditShowFileSetName(L"Set Name: ", L"<none>", L"%s (read from %s)", L"R&D.uas");
    EXPECT_EQ(Label(), L"Set Name: <none> (read from R&D.uas)");
    EXPECT_EQ(EditSetNameTipText(), L"");
    // The label shows the "&" of a name as it is.
    EXPECT_TRUE(GetWindowLongPtrW(Editor.SetNameLabel, GWL_STYLE) & SS_NOPREFIX);
}

} // namespace
