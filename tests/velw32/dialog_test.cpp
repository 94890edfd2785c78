// The set-selection dialog, driven in this thread: the dialog and the boxes
// it opens are worked from timer callbacks that run inside its modal loop.
#include <gtest/gtest.h>

#include "listcheck.h"
#include "tempinstall.h"
#include "uas_ids.h"
#include "uitest.h"
#include "velw32.h"

#include <strsafe.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

// What a message should say: the library's string with %s filled in.
std::wstring Expected(UINT id, Texts values = {})
{
    wchar_t text[512] = L"";
    LoadStringW(GetModuleHandleW(L"velw32.dll"), id, text, 512);
    std::wstring out;
    size_t next = 0;
    for (const wchar_t *p = text; *p; ++p) {
        if (p[0] == L'%' && p[1] == L's' && next < values.size())
            out += values[next++], ++p;
        else
            out += *p;
    }
    return out;
}

struct BoxSeen {
    std::wstring Caption, Text;
    int DefaultButton = 0;
    bool NameFocusedAfter = false; // the dialog gave the name field the focus back
};

// Runs UasMapSelDlg: AtOnce acts as the dialog shows, before its rows are
// in; OnOpen acts once they are; each message box is recorded and answered
// with the next of Answers (default OK); once it has closed, AfterBox acts
// (default: Cancel).
struct Driver {
    std::function<void(HWND)> AtOnce;
    std::function<void(HWND)> OnOpen;
    std::function<void(HWND)> AfterBox = [](HWND d) { uitest::Press(d, IDCANCEL); };
    std::vector<int> Answers;
    std::vector<BoxSeen> Boxes;
    bool Opened = false;

    int16_t Run(int16_t mode, wchar_t *path, wchar_t *name, HWND owner = nullptr)
    {
        current = this;
        uitest::DialogResponder responder([this](HWND w) { Seen(w); });
        const int16_t result = UasMapSelDlg(owner, mode, path, name);
        KillTimer(nullptr, timer);
        current = nullptr;
        return result;
    }

    // Runs step on the dialog once the queue is empty and no box is open.
    void Then(std::function<void(HWND)> step)
    {
        pending = std::move(step);
        KillTimer(nullptr, timer);
        timer = SetTimer(nullptr, 0, 10, &Driver::Tick);
    }

    void Seen(HWND window)
    {
        if (GetDlgItem(window, IDC_UAS_NAME)) {
            dialog = window;
            Opened = true;
            if (AtOnce)
                AtOnce(window);
            return Then(OnOpen);
        }
        Boxes.push_back({uitest::TextOf(window), uitest::MessageBoxText(window)});
        box = window;
        boxAnswered = false;
        Then([this, i = Boxes.size() - 1](HWND d) {
            Boxes[i].NameFocusedAfter = GetFocus() == GetDlgItem(d, IDC_UAS_NAME);
            AfterBox(d);
        });
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Driver *self = current;
        if (!self)
            return;
        if (self->box && IsWindow(self->box)) {
            if (!self->boxAnswered) { // set up by now: look at its default button
                self->boxAnswered = true;
                BoxSeen &seen = self->Boxes.back();
                for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
                    HWND button = GetDlgItem(self->box, id);
                    if (button &&
                        (GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                        seen.DefaultButton = id;
                }
                const size_t i = self->Boxes.size() - 1;
                const auto &a = self->Answers;
                uitest::Press(self->box, a.empty() ? IDOK : a[std::min(i, a.size() - 1)]);
            }
            return;
        }
        // The rows come from a thread of their own: the list stays disabled
        // until they are in.
        if (IsWindow(self->dialog) && !IsWindowEnabled(GetDlgItem(self->dialog, IDC_UAS_LIST)))
            return;
        KillTimer(nullptr, self->timer);
        auto step = std::move(self->pending);
        self->pending = nullptr;
        if (step && IsWindow(self->dialog))
            step(self->dialog);
    }

    static thread_local Driver *current;
    HWND dialog = nullptr, box = nullptr;
    bool boxAnswered = false;
    UINT_PTR timer = 0;
    std::function<void(HWND)> pending;
};
thread_local Driver *Driver::current = nullptr;

std::function<void(HWND)> TypeAndConfirm(const std::wstring &text)
{
    return [text](HWND d) {
        SetDlgItemTextW(d, IDC_UAS_NAME, text.c_str());
        // As a click on OK leaves it: the focus on the button.
        SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, IDOK)), TRUE);
        uitest::Press(d, IDOK);
    };
}

Texts ListRows(HWND d)
{
    return uitest::ListRows(GetDlgItem(d, IDC_UAS_LIST));
}

std::wstring SelectedRow(HWND d)
{
    const LRESULT row = SendDlgItemMessageW(d, IDC_UAS_LIST, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? L"(none)" : ListRows(d)[static_cast<size_t>(row)];
}

void SelectRow(HWND d, int row, WORD notice)
{
    SendDlgItemMessageW(d, IDC_UAS_LIST, LB_SETCURSEL, row, 0);
    SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_UAS_LIST, notice),
                 reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_UAS_LIST)));
}

// The caller's buffers, each with a guard zone behind it, so that an
// overrun or any change on a refusal or cancel shows.
struct Buffers {
    size_t PathChars;
    std::vector<wchar_t> Path, Name, Before;

    explicit Buffers(int16_t mode, const std::wstring &name = L"<none>",
                     const std::wstring &path = L"")
        : PathChars(mode == UAS_MODE_GLOBAL ? UAS_GLOBAL_PATH_CHARS : UAS_SEL_PATH_CHARS),
          Path(PathChars + 16, L'#'), Name(UAS_NAME_CHARS + 16, L'#')
    {
        StringCchCopyW(Path.data(), PathChars, path.c_str());
        StringCchCopyW(Name.data(), UAS_NAME_CHARS, name.c_str());
        Before = Both();
    }
    std::vector<wchar_t> Both() const
    {
        std::vector<wchar_t> both = Path;
        both.insert(both.end(), Name.begin(), Name.end());
        return both;
    }
    bool Unchanged() const { return Both() == Before; }
    bool GuardsIntact() const
    {
        return std::all_of(Path.begin() + PathChars, Path.end(),
                           [](wchar_t c) { return c == L'#'; }) &&
               std::all_of(Name.begin() + UAS_NAME_CHARS, Name.end(),
                           [](wchar_t c) { return c == L'#'; });
    }
};

class UasDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t *name : {L"Metric", L"imperial", L"Process SI"})
            install.AddSet(name);
    }
    int16_t Run(Driver &d, int16_t mode, Buffers &b)
    {
        const int16_t result = d.Run(mode, b.Path.data(), b.Name.data());
        EXPECT_TRUE(d.Opened);
        EXPECT_TRUE(b.GuardsIntact());
        return result;
    }
    // Types the name and confirms it: the dialog must refuse it (result 0)
    // with one box of that text.
    ::testing::AssertionResult Refuses(Driver &d, int16_t mode, Buffers &b,
                                       const std::wstring &typed, const std::wstring &text)
    {
        d.OnOpen = TypeAndConfirm(typed);
        const int16_t result = Run(d, mode, b);
        if (result != 0)
            return ::testing::AssertionFailure() << "the dialog returned " << result;
        if (d.Boxes.size() != 1)
            return ::testing::AssertionFailure() << d.Boxes.size() << " boxes instead of one";
        if (d.Boxes[0].Text != text)
            return ::testing::AssertionFailure()
                   << "the box said " << testing::PrintToString(d.Boxes[0].Text) << ", not "
                   << testing::PrintToString(text);
        return ::testing::AssertionSuccess();
    }
    TempInstall install;
};

// Each mode takes the set as spelt on disk, also when the name is typed and
// confirmed as the dialog shows: the rows come from a thread through the
// dialog's queue, so the list is disabled and empty then, and the name is
// looked up on disk.
TEST_F(UasDialogTest, EachModeConfirmsAnExistingSetAsSpeltOnDisk)
{
    for (bool atOnce : {false, true}) {
        for (int16_t mode : {UAS_MODE_OPEN, UAS_MODE_SAVEAS, UAS_MODE_DELETE, UAS_MODE_GLOBAL}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << (atOnce ? ", at once" : ""));
            Buffers b(mode);
            Driver d;
            std::wstring title, okText;
            LRESULT rows = 0;
            BOOL enabled = FALSE;
            (atOnce ? d.AtOnce : d.OnOpen) = [&](HWND w) {
                title = uitest::TextOf(w);
                okText = uitest::TextOf(GetDlgItem(w, IDOK));
                rows = SendDlgItemMessageW(w, IDC_UAS_LIST, LB_GETCOUNT, 0, 0);
                enabled = IsWindowEnabled(GetDlgItem(w, IDC_UAS_LIST));
                TypeAndConfirm(L"  mETRIC ")(w);
            };
            d.Answers = {IDYES}; // Save As asks before replacing
            EXPECT_EQ(Run(d, mode, b), 1);
            EXPECT_EQ(std::wstring(b.Name.data()), L"Metric");
            EXPECT_EQ(std::wstring(b.Path.data()), install.PathOf(L"Metric"));
            EXPECT_EQ(d.Boxes.size(), mode == UAS_MODE_SAVEAS ? 1u : 0u);
            EXPECT_EQ(title, Expected(IDS_UAS_TITLE_OPEN + mode));
            EXPECT_EQ(okText, Expected(IDS_UAS_OK_OPEN + mode));
            EXPECT_EQ(rows, atOnce ? 0 : 3);
            EXPECT_EQ(enabled, atOnce ? FALSE : TRUE);
        }
    }
}

// A file that another program named with a blank before ".uas" is listed
// as "sp "; chosen as listed it opens, deletes and becomes the default.
TEST_F(UasDialogTest, SetNamedWithATrailingBlankOnDiskIsChosenAsListed)
{
    install.AddFile(L"\\\\?\\" + install.PathOf(L"sp "));
    for (int16_t mode : {UAS_MODE_OPEN, UAS_MODE_DELETE, UAS_MODE_GLOBAL}) {
        SCOPED_TRACE(mode);
        Buffers b(mode);
        Driver d;
        d.OnOpen = TypeAndConfirm(L"sp ");
        EXPECT_EQ(Run(d, mode, b), 1);
        EXPECT_EQ(std::wstring(b.Name.data()), L"sp ");
        EXPECT_EQ(std::wstring(b.Path.data()), install.PathOf(L"sp "));
        EXPECT_TRUE(d.Boxes.empty());
    }
}

TEST_F(UasDialogTest, ModesThatNeedAnExistingSetRefuseOtherNamesAndCancelChangesNothing)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"Nonesuch", Expected(IDS_UAS_ERR_NOSUCHSET, {L"Nonesuch"})},
        {L"Metri", Expected(IDS_UAS_ERR_NOSUCHSET, {L"Metri"})},
        // The disk's look-up takes wildcards; only the file of that very name is the set.
        {L"Metr*", Expected(IDS_UAS_ERR_NOSUCHSET, {L"Metr*"})},
        {L"m?tric", Expected(IDS_UAS_ERR_NOSUCHSET, {L"m?tric"})},
        {L"   ", Expected(IDS_UAS_ERR_NONAME)}};
    for (int16_t mode : {UAS_MODE_OPEN, UAS_MODE_DELETE, UAS_MODE_GLOBAL}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "mode " << mode << ", " << testing::PrintToString(c.first));
            Buffers b(mode, L"Metric", mode == UAS_MODE_GLOBAL ? install.PathOf(L"Metric") : L"");
            Driver d;
            ASSERT_TRUE(Refuses(d, mode, b, c.first, c.second));
            EXPECT_EQ(d.Boxes[0].Caption, Expected(IDS_UAS_TITLE_OPEN + mode));
            EXPECT_TRUE(d.Boxes[0].NameFocusedAfter);
            EXPECT_TRUE(b.Unchanged());
        }
    }
}

TEST_F(UasDialogTest, SaveAsTakesNewNamesTrimmed)
{
    const std::wstring names[] = {L"a.b",
                                  L"x..y",
                                  L"CONSOLE",
                                  L"COM10",
                                  L"LPT",
                                  L"Einheiten \x00B0"
                                  L"C \x00FC\x00DF",
                                  std::wstring(60, L'v')};
    for (const std::wstring &name : names) {
        Buffers b(UAS_MODE_SAVEAS);
        Driver d;
        d.OnOpen = TypeAndConfirm(L" \t" + name + L"  ");
        EXPECT_EQ(Run(d, UAS_MODE_SAVEAS, b), 1);
        EXPECT_EQ(std::wstring(b.Name.data()), name);
        EXPECT_EQ(std::wstring(b.Path.data()), install.PathOf(name));
        EXPECT_TRUE(d.Boxes.empty())
            << (d.Boxes.empty() ? "" : testing::PrintToString(d.Boxes[0].Text));
    }
}

TEST_F(UasDialogTest, SaveAsRefusesEachUnsafeNameAndStaysOpen)
{
    struct Case {
        std::wstring Typed;
        UINT Message;
        std::wstring Detail;
    };
    const Case cases[] = {
        {L"", IDS_UAS_ERR_EMPTY, L""},
        {L"  \t ", IDS_UAS_ERR_EMPTY, L""},
        {std::wstring(61, L'L'), IDS_UAS_ERR_TOOLONG, L"60"},
        {L"a<b", IDS_UAS_ERR_BADCHAR, L"<"},
        {L"a>b", IDS_UAS_ERR_BADCHAR, L">"},
        {L"a:b", IDS_UAS_ERR_BADCHAR, L":"},
        {L"a\"b", IDS_UAS_ERR_BADCHAR, L"\""},
        {L"a/b", IDS_UAS_ERR_BADCHAR, L"/"},
        {L"..\\..\\escape", IDS_UAS_ERR_BADCHAR, L"\\"},
        {L"a|b", IDS_UAS_ERR_BADCHAR, L"|"},
        {L"a?b", IDS_UAS_ERR_BADCHAR, L"?"},
        {L"a*", IDS_UAS_ERR_BADCHAR, L"*"},
        {L"tab\there", IDS_UAS_ERR_CONTROLCHAR, L""},
        {L"bell\x07", IDS_UAS_ERR_CONTROLCHAR, L""},
        {L"unit\x1F", IDS_UAS_ERR_CONTROLCHAR, L""},
        {L".", IDS_UAS_ERR_DOTNAME, L""},
        {L"..", IDS_UAS_ERR_DOTNAME, L""},
        {L"name.", IDS_UAS_ERR_TRAILING, L""},
        {L"name. ", IDS_UAS_ERR_TRAILING, L""},
        {L"CON", IDS_UAS_ERR_RESERVED, L"CON"},
        {L"prn", IDS_UAS_ERR_RESERVED, L"prn"},
        {L"Aux.set", IDS_UAS_ERR_RESERVED, L"Aux.set"},
        {L"nul .x", IDS_UAS_ERR_RESERVED, L"nul .x"},
        {L"COM1", IDS_UAS_ERR_RESERVED, L"COM1"},
        {L"com9.uas", IDS_UAS_ERR_RESERVED, L"com9.uas"},
        {L"Lpt1", IDS_UAS_ERR_RESERVED, L"Lpt1"},
        {L"LPT9", IDS_UAS_ERR_RESERVED, L"LPT9"},
        {L"COM\x00B9", IDS_UAS_ERR_RESERVED, L"COM\x00B9"},
        // Characters that a set file's header cannot store.
        {L"Resistance \x03A9", IDS_UAS_ERR_UNSTORABLE, L"\x03A9"},
        {L"smile \xD83D\xDE00", IDS_UAS_ERR_UNSTORABLE, L"\xD83D\xDE00"},
        {L"\x65E5\x672C", IDS_UAS_ERR_UNSTORABLE, L"\x65E5"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Typed));
        Buffers b(UAS_MODE_SAVEAS);
        Driver d;
        ASSERT_TRUE(Refuses(d, UAS_MODE_SAVEAS, b, c.Typed, Expected(c.Message, {c.Detail})));
        EXPECT_TRUE(d.Boxes[0].NameFocusedAfter);
        EXPECT_TRUE(b.Unchanged());
    }
}

TEST_F(UasDialogTest, SaveAsOverAnExistingSetAsksWithNoAsDefault)
{
    for (int answer : {IDYES, IDNO}) {
        Buffers b(UAS_MODE_SAVEAS);
        Driver d;
        d.OnOpen = TypeAndConfirm(L"process si");
        d.Answers = {answer};
        EXPECT_EQ(Run(d, UAS_MODE_SAVEAS, b), answer == IDYES ? 1 : 0);
        ASSERT_EQ(d.Boxes.size(), 1u);
        EXPECT_EQ(d.Boxes[0].Text, Expected(IDS_UAS_ASK_REPLACE, {L"Process SI"}));
        EXPECT_EQ(d.Boxes[0].DefaultButton, IDNO);
        if (answer == IDYES)
            EXPECT_EQ(std::wstring(b.Name.data()) + L"|" + b.Path.data(),
                      L"Process SI|" + install.PathOf(L"Process SI"));
        else
            EXPECT_TRUE(d.Boxes[0].NameFocusedAfter && b.Unchanged());
    }
    // A set that appeared on disk after the dialog listed the folder counts too.
    Buffers b(UAS_MODE_SAVEAS);
    Driver d;
    d.OnOpen = [&](HWND w) {
        install.AddSet(L"Late");
        TypeAndConfirm(L"LATE")(w);
    };
    d.Answers = {IDYES};
    EXPECT_EQ(Run(d, UAS_MODE_SAVEAS, b), 1);
    EXPECT_EQ(d.Boxes.size(), 1u);
    EXPECT_EQ(std::wstring(b.Name.data()), L"Late");
}

// Every mode refuses a typed device name before it looks anything up; the
// near misses are ordinary names (Save As takes them).
TEST_F(UasDialogTest, DeviceNamesAreRefusedInEveryMode)
{
    struct Case {
        std::wstring Typed;
        bool Device;
    };
    const Case cases[] = {
        {L"CON", true},        {L"prn", true},       {L"Aux", true},       {L"nul", true},
        {L"COM1", true},       {L"com9", true},      {L"LPT1", true},      {L"lpt9", true},
        {L"COM\x00B9", true},  {L"com\x00B2", true}, {L"LPT\x00B3", true}, {L"CONIN$", true},
        {L"conout$", true},    {L"nul.uas", true},   {L"Aux.set.x", true}, {L"COM1 .x", true},
        {L"COM0", true},       {L"lpt0", true},
        {L"COM10", false},     {L"CONSOLE", false},  {L"LPT", false},      {L"COMO", false},
        {L"LPT\x00B4", false}, {L"xNUL", false},     {L"CON-1", false},    {L"CONIN", false},
    };
    for (const Case &c : cases) {
        for (int16_t mode : {UAS_MODE_OPEN, UAS_MODE_SAVEAS, UAS_MODE_DELETE, UAS_MODE_GLOBAL}) {
            if (!c.Device && mode != UAS_MODE_SAVEAS)
                continue;
            SCOPED_TRACE(testing::Message()
                         << "mode " << mode << ", " << testing::PrintToString(c.Typed));
            Buffers b(mode);
            Driver d;
            d.OnOpen = TypeAndConfirm(c.Typed);
            const int16_t result = Run(d, mode, b);
            if (c.Device) {
                EXPECT_EQ(result, 0);
                ASSERT_EQ(d.Boxes.size(), 1u);
                EXPECT_EQ(d.Boxes[0].Text, Expected(IDS_UAS_ERR_RESERVED, {c.Typed}));
                EXPECT_TRUE(b.Unchanged());
            } else {
                EXPECT_EQ(result, 1);
                EXPECT_TRUE(d.Boxes.empty());
                EXPECT_EQ(std::wstring(b.Path.data()), install.PathOf(c.Typed));
            }
        }
    }
}

// Trailing dots and spaces are dropped by Windows too: "nul. " is NUL.
TEST_F(UasDialogTest, TrailingDotsOrSpacesDoNotHideADevice)
{
    for (const std::wstring typed : {L"nul.", L"COM1..", L"aux. ."}) {
        SCOPED_TRACE(testing::PrintToString(typed));
        Buffers b(UAS_MODE_OPEN);
        Driver d;
        EXPECT_TRUE(Refuses(d, UAS_MODE_OPEN, b, typed, Expected(IDS_UAS_ERR_RESERVED, {typed})));
    }
}

// A listed set whose file has become a folder since is no set to hand out.
TEST_F(UasDialogTest, SetWhoseFileBecameAFolderIsNotReturned)
{
    for (int16_t mode : {UAS_MODE_OPEN, UAS_MODE_DELETE, UAS_MODE_GLOBAL}) {
        SCOPED_TRACE(mode);
        install.AddSet(L"Shifting");
        Buffers b(mode);
        Driver d;
        d.OnOpen = [&](HWND w) {
            DeleteFileW(install.PathOf(L"Shifting").c_str());
            CreateDirectoryW(install.PathOf(L"Shifting").c_str(), nullptr);
            TypeAndConfirm(L"Shifting")(w);
        };
        EXPECT_EQ(Run(d, mode, b), 0);
        ASSERT_EQ(d.Boxes.size(), 1u);
        EXPECT_EQ(d.Boxes[0].Text, Expected(IDS_UAS_ERR_NOSUCHSET, {L"Shifting"}));
        EXPECT_TRUE(b.Unchanged());
        RemoveDirectoryW(install.PathOf(L"Shifting").c_str());
    }
}

TEST_F(UasDialogTest, SaveAsOntoAFolderIsRefusedWithItsOwnMessage)
{
    CreateDirectoryW(install.PathOf(L"Folder").c_str(), nullptr);
    Buffers b(UAS_MODE_SAVEAS);
    Driver d;
    ASSERT_TRUE(Refuses(d, UAS_MODE_SAVEAS, b, L"folder",
                        Expected(IDS_UAS_ERR_ISFOLDER, {L"folder", install.PathOf(L"folder")})));
    EXPECT_TRUE(d.Boxes[0].NameFocusedAfter);
    EXPECT_TRUE(b.Unchanged());
}

// The name limit is in UTF-16 units, and the message says so.
TEST_F(UasDialogTest, NameLimitCountsCharactersOutsideTheBasicPlaneAsTwo)
{
    const std::wstring emoji = L"\xD83D\xDE00";
    {
        Buffers b(UAS_MODE_SAVEAS);
        Driver d;
        ASSERT_TRUE(Refuses(d, UAS_MODE_SAVEAS, b, std::wstring(59, L'e') + emoji,
                            Expected(IDS_UAS_ERR_TOOLONG, {L"60"})));
        EXPECT_NE(d.Boxes[0].Text.find(L"emoji"), std::wstring::npos) << "says how it counts";
    }
    // Within the length, the emoji is still no character a set file can store.
    Buffers b(UAS_MODE_SAVEAS);
    Driver d;
    EXPECT_TRUE(Refuses(d, UAS_MODE_SAVEAS, b, std::wstring(58, L'e') + emoji,
                        Expected(IDS_UAS_ERR_UNSTORABLE, {emoji})));
}

TEST_F(UasDialogTest, PathThatDoesNotFitTheCallersBufferIsRefusedNotCut)
{
    // In a folder of 100 characters a name of 23 makes a path of 128 (fits
    // 129 with the terminator), a name of 24 one of 129.
    const std::wstring dir = install.FolderOfLength(100);
    install.WriteProfile({{L"Kalvex_Section", L"Set_Dir", dir}});
    const std::wstring fits(23, L'f'), over(24, L'o');
    Buffers b(UAS_MODE_SAVEAS);
    Driver d;
    d.OnOpen = TypeAndConfirm(over);
    d.AfterBox = TypeAndConfirm(fits);
    EXPECT_EQ(Run(d, UAS_MODE_SAVEAS, b), 1);
    ASSERT_EQ(d.Boxes.size(), 1u);
    EXPECT_EQ(d.Boxes[0].Text, Expected(IDS_UAS_ERR_PATHTOOLONG, {over}));
    EXPECT_EQ(std::wstring(b.Path.data()), dir + L"\\" + fits + L".uas");

    // That set on disk: too long for Open's buffer, not for Global Default's.
    install.AddFile(dir + L"\\" + over + L".uas");
    Buffers open(UAS_MODE_OPEN), global(UAS_MODE_GLOBAL);
    Driver o, g;
    o.OnOpen = g.OnOpen = TypeAndConfirm(over);
    EXPECT_EQ(Run(o, UAS_MODE_OPEN, open), 0);
    ASSERT_EQ(o.Boxes.size(), 1u);
    EXPECT_EQ(o.Boxes[0].Text, Expected(IDS_UAS_ERR_PATHTOOLONG, {over}));
    EXPECT_TRUE(open.Unchanged());
    EXPECT_EQ(Run(g, UAS_MODE_GLOBAL, global), 1);
    EXPECT_EQ(std::wstring(global.Path.data()), dir + L"\\" + over + L".uas");
}

// A set whose path is too long even for a catalogue record (over 260) is
// still offered, and choosing it says that its path is too long: the set
// is there, so "no set of that name" would name the wrong cause.
TEST_F(UasDialogTest, SetWhosePathIsLongerThanARecordIsOfferedAndRefusedAsTooLong)
{
    const std::wstring dir = install.FolderOfLength(200);
    install.WriteProfile({{L"Kalvex_Section", L"Set_Dir", dir}});
    const std::wstring over(56, L'g'); // a path of 261 characters
    install.AddFile(dir + L"\\" + over + L".uas");
    Buffers b(UAS_MODE_OPEN);
    Driver d;
    EXPECT_TRUE(Refuses(d, UAS_MODE_OPEN, b, over, Expected(IDS_UAS_ERR_PATHTOOLONG, {over})));
    EXPECT_TRUE(b.Unchanged());
}

TEST_F(UasDialogTest, ListsTheFolderAtEachOpeningSortedWithoutRegardToCase)
{
    install.AddSet(L"beta");
    install.AddSet(L"Alpha");
    Texts rows;
    Driver first, second;
    first.OnOpen = second.OnOpen = [&](HWND w) {
        rows = ListRows(w);
        uitest::Press(w, IDCANCEL);
    };
    Buffers b(UAS_MODE_OPEN);
    Run(first, UAS_MODE_OPEN, b);
    EXPECT_EQ(rows, (Texts{L"Alpha", L"beta", L"imperial", L"Metric", L"Process SI"}));
    install.AddSet(L"delta");
    Run(second, UAS_MODE_OPEN, b);
    EXPECT_EQ(rows, (Texts{L"Alpha", L"beta", L"delta", L"imperial", L"Metric", L"Process SI"}));
}

// The rows are the ones a sorting list box makes of the folder's sets added
// one by one in the catalogue's order, and typing a row's name chooses that
// row: blanks, hyphens, apostrophes and underscores that the list box's
// comparison weighs apart from letters, accents and digits; and names that it
// cannot tell apart (Straße and Strasse, an accent as a letter of its own or
// as a combining mark, a character that weighs nothing), which must land
// where adding them one by one would.
TEST(UasDialogOrderTest, RowsAreTheSortingListBoxsOwnAndTypingFindsEach)
{
    const Texts folders[] = {
        {L"co-op", L"coop", L"Co op", L"co_op", L"co'op", L"Zeta", L"\x00C9tage", L"Etage 2",
         L"\x00D6l", L"Ol", L"Oz", L"a10", L"a9", L"A-9", L"b"},
        {L"Stra\x00DF"
         L"e",
         L"Strasse", L"Strase", L"Strasse 1",
         L"Stra\x00DF"
         L"e 1",
         L"Strass\x00E9",
         L"STRA\x00DF"
         L"E 2",
         L"Strasse 2"},
        {L"Caf\x00E9", L"Cafe\x0301",
         L"Ma\x00DF"
         L"e",
         L"Masse",
         L"Ma\x00DF"
         L"e\x0640",
         L"Mass\x0640"
         L"e",
         L"Cafe",
         L"Ma\x0640\x00DF"
         L"e",
         L"M\x0640"
         L"asse"},
    };
    for (const Texts &names : folders) {
        SCOPED_TRACE(testing::PrintToString(names[0]));
        TempInstall install;
        for (const std::wstring &name : names)
            install.AddSet(name);
        KxStatus status = 0;
        ListHandle catalogue = UasCreateUasInfoList(&status);
        HWND sorting = CreateWindowExW(0, L"listbox", L"", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0,
                                       0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        for (UasInfo *info : listcheck::Items<UasInfo>(catalogue)) {
            SendMessageW(sorting, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(info->UasName));
            KxFree(info);
        }
        ListFree(catalogue);
        const Texts expected = uitest::ListRows(sorting);
        DestroyWindow(sorting);
        ASSERT_EQ(expected.size(), names.size());

        Texts rows, chosen;
        Driver d;
        d.OnOpen = [&](HWND w) {
            rows = ListRows(w);
            for (const std::wstring &name : expected) {
                SetDlgItemTextW(w, IDC_UAS_NAME, name.c_str());
                chosen.push_back(SelectedRow(w));
            }
            uitest::Press(w, IDCANCEL);
        };
        Buffers b(UAS_MODE_OPEN);
        d.Run(UAS_MODE_OPEN, b.Path.data(), b.Name.data());
        EXPECT_EQ(rows, expected);
        EXPECT_EQ(chosen, expected);
    }
}

TEST_F(UasDialogTest, OpensWithTheDefaultNameSelectedAndItsRowChosen)
{
    struct Case {
        int16_t Mode;
        std::wstring Name, Path, Field, Row;
    };
    const Case cases[] = {
        {UAS_MODE_OPEN, L"metric", L"", L"metric", L"Metric"},
        {UAS_MODE_SAVEAS, L"<none>", L"", L"<none>", L"(none)"},
        {UAS_MODE_GLOBAL, L"imperial", install.PathOf(L"imperial"), L"imperial", L"imperial"},
        // The global set is known by its path, whatever the name says.
        {UAS_MODE_GLOBAL, L"imperi", install.SetDir() + L"\\IMPERIAL.uas", L"imperial",
         L"imperial"},
        {UAS_MODE_GLOBAL, L"imperial", install.SetDir() + L"\\.\\IMPERIAL.uas", L"imperial",
         L"imperial"},
        // A set of the same name in another folder is another set.
        {UAS_MODE_GLOBAL, L"imperial", install.Root() + L"\\imperial.uas", L"", L"(none)"},
        {UAS_MODE_GLOBAL, L"", L"", L"", L"(none)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Name));
        Buffers b(c.Mode, c.Name, c.Path);
        Driver d;
        std::wstring field, row;
        DWORD from = 1, to = 0;
        bool focused = false;
        d.OnOpen = [&](HWND w) {
            field = uitest::TextOf(GetDlgItem(w, IDC_UAS_NAME));
            row = SelectedRow(w);
            SendDlgItemMessageW(w, IDC_UAS_NAME, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                                reinterpret_cast<LPARAM>(&to));
            focused = GetFocus() == GetDlgItem(w, IDC_UAS_NAME);
            uitest::Press(w, IDCANCEL);
        };
        Run(d, c.Mode, b);
        EXPECT_EQ(field + L"|" + row, c.Field + L"|" + c.Row);
        EXPECT_EQ(from, 0u);
        EXPECT_EQ(to, c.Field.size());
        EXPECT_TRUE(focused);
    }
}

TEST_F(UasDialogTest, ListAndNameFieldFollowEachOtherAndDoubleClickConfirms)
{
    Texts seen;
    Driver d;
    d.OnOpen = [&](HWND w) {
        SelectRow(w, 0, LBN_SELCHANGE);
        seen.push_back(uitest::TextOf(GetDlgItem(w, IDC_UAS_NAME)));
        SetDlgItemTextW(w, IDC_UAS_NAME, L"PROCESS si");
        seen.push_back(SelectedRow(w));
        SetDlgItemTextW(w, IDC_UAS_NAME, L"Proc");
        seen.push_back(SelectedRow(w));
        SelectRow(w, 1, LBN_DBLCLK);
    };
    Buffers b(UAS_MODE_DELETE);
    EXPECT_EQ(Run(d, UAS_MODE_DELETE, b), 1);
    EXPECT_EQ(seen, (Texts{L"imperial", L"Process SI", L"(none)"}));
    EXPECT_EQ(std::wstring(b.Name.data()), L"Metric");
    EXPECT_EQ(std::wstring(b.Path.data()), install.PathOf(L"Metric"));
}

TEST_F(UasDialogTest, EnterConfirmsAndEscapeCancels)
{
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        Driver d;
        d.OnOpen = [key](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, key, 1); };
        Buffers b(UAS_MODE_OPEN, L"imperial");
        EXPECT_EQ(Run(d, UAS_MODE_OPEN, b), key == VK_RETURN ? 1 : 0);
        EXPECT_EQ(std::wstring(b.Path.data()),
                  key == VK_RETURN ? install.PathOf(L"imperial") : L"");
    }
}

TEST(UasDialogFolderTest, FolderThatCannotBeMadeUnnamedOrUnreadableIsReported)
{
    TempInstall install;
    install.AddFile(install.Root() + L"\\plain.txt");
    const std::wstring folder = install.Root() + L"\\plain.txt\\sets";
    struct Case {
        const char *What;
        ProfileEntries Keys;
        bool NameSetDir;
        std::wstring Text;
    };
    const Case cases[] = {
        {"a folder that cannot be made",
         {{L"Kalvex_Section", L"Set_Dir", folder}},
         true,
         Expected(IDS_UAS_ERR_NOFOLDER, {folder})},
        {"no folder named", {}, false, Expected(IDS_UAS_ERR_NOFOLDERKEY)},
        {"a key that cannot be read",
         {{L"Kalvex_Section", L"Set_Dir", L"%UAS_TEST_UNSET_VARIABLE%\\sets"}},
         true,
         Expected(IDS_UAS_ERR_FOLDERKEYUNREADABLE)},
    };
    for (const Case &c : cases) {
        install.WriteProfile(c.Keys, c.NameSetDir);
        for (int16_t mode : {UAS_MODE_OPEN, UAS_MODE_SAVEAS}) {
            SCOPED_TRACE(testing::Message() << c.What << ", mode " << mode);
            Driver d;
            size_t rows = 99;
            d.OnOpen = [&](HWND w) {
                rows = ListRows(w).size();
                TypeAndConfirm(L"Metric")(w);
            };
            Buffers b(mode);
            EXPECT_EQ(d.Run(mode, b.Path.data(), b.Name.data()), 0);
            EXPECT_EQ(rows, 0u);
            ASSERT_EQ(d.Boxes.size(), 1u);
            EXPECT_EQ(d.Boxes[0].Text, c.Text);
            EXPECT_TRUE(b.Unchanged());
        }
    }
}

TEST(UasDialogFolderTest, MissingFolderIsMadeAndUsed)
{
    TempInstall install;
    const std::wstring folder = install.Root() + L"\\per user\\Sets";
    install.WriteProfile({{L"Kalvex_Section", L"Set_Dir", folder}});
    Driver d;
    d.OnOpen = TypeAndConfirm(L"First");
    Buffers b(UAS_MODE_SAVEAS);
    EXPECT_EQ(d.Run(UAS_MODE_SAVEAS, b.Path.data(), b.Name.data()), 1);
    EXPECT_TRUE(d.Boxes.empty());
    EXPECT_EQ(std::wstring(b.Path.data()), folder + L"\\First.uas");
    EXPECT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(UasDialogArgumentsTest, UnknownModeOrMissingBufferOpensNothing)
{
    TempInstall install;
    wchar_t path[UAS_GLOBAL_PATH_CHARS] = L"", name[UAS_NAME_CHARS] = L"";
    Driver d;
    EXPECT_EQ(d.Run(-1, path, name) + d.Run(4, path, name), 0);
    EXPECT_EQ(d.Run(UAS_MODE_OPEN, nullptr, name) + d.Run(UAS_MODE_OPEN, path, nullptr), 0);
    EXPECT_FALSE(d.Opened);
}

} // namespace
