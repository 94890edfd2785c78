// The help window: opening on the topics or on a context, the help file's
// format, its keyboard, closing, a missing help text, and the shipped help.
#include <gtest/gtest.h>

#include "velw32.h"
#include "velw32_ids.h"
#include "tempinstall.h"
#include "uitest.h"

#include <string>
#include <vector>

namespace {

const char TestHelp[] = "\xEF\xBB\xBF; The help of the tests.\r\n"
                        "@title Test Editor\r\n"
                        "ignored before the first topic\r\n"
                        "@topic Overview\r\n"
                        "\r\n"
                        "First line\r\n"
                        "joins the paragraph.  \r\n"
                        "\r\n"
                        "Second paragraph:\r\n"
                        "- item one\r\n"
                        "continued\r\n"
                        "- item two\r\n"
                        "    Alt+F   kept as written\r\n"
                        "\r\n"
                        "@topic The main window\r\n"
                        "@context 100, 101\r\n"
                        "Main text\r\n"
                        "\\@not a directive\r\n"
                        "; a comment inside a topic\r\n"
                        "\\; not a comment\r\n"
                        "\\- not an item\r\n"
                        "@topicality is text\r\n"
                        "@topic Keys\n"
                        "@context 7\n"
                        "F1 opens help \xE2\x80\x94 \xE3\x83\x98\xE3\x83\xAB\xE3\x83\x97\n";

const wchar_t OverviewText[] = L"First line joins the paragraph.\r\n\r\nSecond paragraph:\r\n- "
                               L"item one continued\r\n- item two\r\n"
                               L"    Alt+F   kept as written";

HWND HelpWindow()
{
    return FindWindowW(VELW_HELP_CLASS, nullptr);
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner_ = CreateWindowExW(0, L"static", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
        profile_.WriteProfile({{L"Kalvex_Section", L"Help_Dir", profile_.Root()}});
        profile_.WriteFile(L"TESTHELP.txt", TestHelp);
    }

    void TearDown() override
    {
        HelpQuit(owner_);
        DestroyWindow(owner_);
        uitest::PumpMessages();
    }

    HWND Child(int id) { return GetDlgItem(HelpWindow(), id); }
    std::wstring Text() { return uitest::TextOf(Child(VELW_IDC_HELP_TEXT)); }
    LRESULT Selected() { return SendMessageW(Child(VELW_IDC_HELP_TOPICS), LB_GETCURSEL, 0, 0); }

    HWND owner_ = nullptr;
    TempInstall profile_;
};

TEST_F(HelpTest, TopicsOpenAnOwnedWindowOnTheFirstTopic)
{
    ASSERT_EQ(HelpInit(L"TESTHELP"), 1);
    EXPECT_EQ(HelpTopics(owner_), 1);
    HWND help = HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(IsWindowVisible(help));
    EXPECT_EQ(GetWindow(help, GW_OWNER), owner_);
    EXPECT_FALSE(GetWindowLongPtrW(help, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(uitest::TextOf(help), L"Test Editor - Help");
    EXPECT_EQ(uitest::TextOf(Child(VELW_IDC_HELP_LABEL)), L"Topics");
    EXPECT_EQ(uitest::TextOf(Child(VELW_IDC_HELP_CLOSE)), L"Close");
    EXPECT_TRUE(GetWindowLongPtrW(Child(VELW_IDC_HELP_TEXT), GWL_STYLE) & ES_READONLY);

    EXPECT_EQ(uitest::ListRows(Child(VELW_IDC_HELP_TOPICS)),
              (std::vector<std::wstring>{L"Overview", L"The main window", L"Keys"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Text(), OverviewText);
    EXPECT_EQ(GetFocus(), Child(VELW_IDC_HELP_TOPICS));
}

// The base of a font's dialog units: its average character width and its
// line height.
SIZE DialogBase(HFONT font)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SIZE letters = {};
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52,
                          &letters);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

// Moved to a screen of another scale, the window takes the rectangle the
// system suggests, a font made for that DPI, and lays out its controls with
// it: the Close button is 14 dialog units of the new font high and sits
// 4 units (of its width) from the bottom-right corner. It also shows the
// owner's own icons, which a program picks for its scale.
TEST_F(HelpTest, FollowsItsScreensScale)
{
    HICON big = LoadIconW(nullptr, IDI_INFORMATION);
    HICON small = LoadIconW(nullptr, IDI_WARNING);
    SendMessageW(owner_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(owner_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    HelpInit(L"TESTHELP");
    HelpTopics(owner_);
    HWND help = HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(SendMessageW(help, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(big));
    EXPECT_EQ(SendMessageW(help, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(small));

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    for (int dpi : {192, 144, 96}) {
        RECT frame;
        GetWindowRect(help, &frame);
        const RECT suggested = {frame.left + 10, frame.top + 10, frame.left + 10 + 4 * dpi,
                                frame.top + 10 + 3 * dpi};
        SendMessageW(help, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT taken;
        GetWindowRect(help, &taken);
        EXPECT_TRUE(EqualRect(&taken, &suggested)) << dpi << " DPI";

        HFONT font =
            reinterpret_cast<HFONT>(SendMessageW(Child(VELW_IDC_HELP_CLOSE), WM_GETFONT, 0, 0));
        LOGFONTW face = {};
        ASSERT_TRUE(GetObjectW(font, sizeof face, &face)) << dpi << " DPI";
        EXPECT_EQ(face.lfHeight, MulDiv(metrics.lfMessageFont.lfHeight, dpi, 96)) << dpi << " DPI";
        const SIZE base = DialogBase(font);
        RECT client, close;
        GetClientRect(help, &client);
        GetWindowRect(Child(VELW_IDC_HELP_CLOSE), &close);
        MapWindowPoints(nullptr, help, reinterpret_cast<POINT *>(&close), 2);
        const std::vector<LONG> got = {close.right - close.left, close.bottom - close.top,
                                       client.right - close.right, client.bottom - close.bottom};
        EXPECT_EQ(got, (std::vector<LONG>{MulDiv(50, base.cx, 4), MulDiv(14, base.cy, 8), base.cx,
                                          base.cx}))
            << dpi << " DPI";
    }
}

// A long topic title widens the list of topics beyond its third of the
// window, so that the title is shown whole; the text keeps the larger part.
TEST_F(HelpTest, ALongTitleIsShownWhole)
{
    const std::wstring title = L"What is a unit assignment set?";
    profile_.WriteFile(L"TESTHELP.txt", "@topic What is a unit assignment set?\r\n"
                                        "Text\r\n@topic Keys\r\nF1\r\n");
    HelpInit(L"TESTHELP");
    HelpTopics(owner_);
    HWND list = Child(VELW_IDC_HELP_TOPICS);
    ASSERT_NE(list, nullptr);
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    RECT client, help, text;
    GetClientRect(list, &client);
    GetClientRect(HelpWindow(), &help);
    GetWindowRect(Child(VELW_IDC_HELP_TEXT), &text);
    EXPECT_GE(client.right, extent.cx);
    EXPECT_GT(client.right, help.right / 3) << "wider than its usual third";
    EXPECT_GT(text.right - text.left, help.right / 2);
}

TEST_F(HelpTest, ContextShowsItsTopicInTheSameWindow)
{
    HelpInit(L"TESTHELP");
    EXPECT_EQ(HelpContext(owner_, 100), 1);
    HWND help = HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Text(),
              L"Main text @not a directive ; not a comment - not an item @topicality is text");

    EXPECT_EQ(HelpContext(owner_, 7), 1);
    EXPECT_EQ(HelpWindow(), help) << "one help window";
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Text(), L"F1 opens help \x2014 \x30D8\x30EB\x30D7");

    EXPECT_EQ(HelpContext(owner_, 101), 1);
    EXPECT_EQ(Selected(), 1);

    // An open window keeps its topic when the contents are asked for.
    EXPECT_EQ(HelpTopics(owner_), 1);
    EXPECT_EQ(Selected(), 1);
}

TEST_F(HelpTest, UnknownContextShowsTheFirstTopic)
{
    HelpInit(L"TESTHELP");
    EXPECT_EQ(HelpContext(owner_, 555), 0);
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Text(), OverviewText);
}

TEST_F(HelpTest, ChoosingATopicShowsItsText)
{
    HelpInit(L"TESTHELP");
    HelpTopics(owner_);
    HWND list = Child(VELW_IDC_HELP_TOPICS);
    SendMessageW(list, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Text().substr(0, 13), L"F1 opens help");
    SendMessageW(list, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(Text().substr(0, 9), L"Main text");
}

TEST_F(HelpTest, TabMovesBetweenTheControlsAndEscCloses)
{
    HelpInit(L"TESTHELP");
    HelpTopics(owner_);
    HWND list = Child(VELW_IDC_HELP_TOPICS);
    HWND text = Child(VELW_IDC_HELP_TEXT);
    HWND close = Child(VELW_IDC_HELP_CLOSE);
    ASSERT_EQ(GetFocus(), list);
    SendMessageW(list, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), text);
    SendMessageW(text, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), close);
    SendMessageW(close, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(Text(), OverviewText) << "Tab changes no text";

    PostMessageW(text, WM_KEYDOWN, VK_ESCAPE, 0);
    uitest::PumpMessages();
    EXPECT_EQ(HelpWindow(), nullptr);
    EXPECT_TRUE(IsWindow(owner_));
}

TEST_F(HelpTest, CloseButtonCloses)
{
    HelpInit(L"TESTHELP");
    HelpTopics(owner_);
    HWND close = Child(VELW_IDC_HELP_CLOSE);
    SendMessageW(HelpWindow(), WM_COMMAND, MAKEWPARAM(VELW_IDC_HELP_CLOSE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(close));
    EXPECT_EQ(HelpWindow(), nullptr);
    // And it opens again afterwards.
    EXPECT_EQ(HelpContext(owner_, 100), 1);
    EXPECT_NE(HelpWindow(), nullptr);
}

TEST_F(HelpTest, QuitDestroysTheWindow)
{
    HelpInit(L"TESTHELP");
    HelpTopics(owner_);
    HWND help = HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(HelpQuit(owner_), 1);
    EXPECT_FALSE(IsWindow(help));
    EXPECT_EQ(HelpQuit(owner_), 1) << "quitting again is harmless";
}

TEST_F(HelpTest, GoesWithItsOwner)
{
    HelpInit(L"TESTHELP");
    HelpTopics(owner_);
    DestroyWindow(owner_);
    EXPECT_EQ(HelpWindow(), nullptr);
    owner_ = CreateWindowExW(0, L"static", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(HelpTopics(owner_), 1);
    EXPECT_EQ(GetWindow(HelpWindow(), GW_OWNER), owner_);
}

TEST_F(HelpTest, MissingFileSaysSo)
{
    EXPECT_EQ(HelpInit(L"NOSUCHHELP"), 0);
    EXPECT_EQ(HelpTopics(owner_), 0);
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(uitest::ListRows(Child(VELW_IDC_HELP_TOPICS)).empty());
    const std::wstring text = Text();
    EXPECT_EQ(text.rfind(L"The help text could not be found.", 0), 0u) << "text: " << text.c_str();
    EXPECT_NE(text.find(L"NOSUCHHELP.txt"), std::wstring::npos);
    EXPECT_EQ(uitest::TextOf(HelpWindow()), L"Help");
    EXPECT_EQ(HelpContext(owner_, 100), 0);
    EXPECT_EQ(Text(), text);
}

TEST_F(HelpTest, FileWithoutTopicsOrFolderSaysSo)
{
    profile_.WriteFile(L"EMPTY.txt", "; nothing yet\r\n@title Empty\r\n");
    EXPECT_EQ(HelpInit(L"EMPTY"), 1);
    EXPECT_EQ(HelpTopics(owner_), 0);
    EXPECT_EQ(Text(), L"The help file holds no topics.");
    HelpQuit(owner_);

    profile_.WriteProfileText(L"[Kalvex_Section]\r\nRoot_Dir=C:\\\r\n");
    EXPECT_EQ(HelpInit(L"TESTHELP"), 0);
    HelpTopics(owner_);
    const std::wstring text = Text();
    EXPECT_EQ(text, L"The help text could not be found.\r\n\r\nThe installation profile names "
                    L"no help folder (Help_Dir).");
    HelpQuit(owner_);

    // Named, but through a variable that is not set: the profile is at fault.
    testfiles::ScopedEnv unset(L"UAS_HELP_UNSET", nullptr);
    profile_.WriteProfileText(L"[Kalvex_Section]\r\nHelp_Dir=%UAS_HELP_UNSET%\\help\r\n");
    EXPECT_EQ(HelpInit(L"TESTHELP"), 0);
    HelpTopics(owner_);
    EXPECT_EQ(Text(),
              L"The help text could not be found.\r\n\r\nThe help folder of the "
              L"installation profile (Help_Dir) cannot be read: it refers to an environment "
              L"variable that is not set, or the profile cannot be read.");
}

// The help text that the build installs for the editor.
TEST_F(HelpTest, ShippedHelpCoversTheEditor)
{
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring folder = program;
    folder.resize(folder.find_last_of(L'\\'));
    profile_.WriteProfileText(L"[Kalvex_Section]\r\nHelp_Dir=" + folder + L"\\..\\data\\help\r\n");
    ASSERT_EQ(HelpInit(L"VOLPRA"), 1);
    EXPECT_EQ(HelpContext(owner_, 100), 1);
    const std::wstring main = Text();
    for (const wchar_t *word : {L"Set Name", L"Description", L"Dimensions", L"Units", L"Clear"})
        EXPECT_NE(main.find(word), std::wstring::npos) << "topic 100 explains " << word;

    std::wstring all;
    HWND list = Child(VELW_IDC_HELP_TOPICS);
    const std::vector<std::wstring> rows = uitest::ListRows(list);
    EXPECT_GE(rows.size(), 6u);
    for (size_t i = 0; i < rows.size(); ++i) {
        SendMessageW(list, LB_SETCURSEL, i, 0);
        SendMessageW(HelpWindow(), WM_COMMAND, MAKEWPARAM(VELW_IDC_HELP_TOPICS, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        EXPECT_FALSE(Text().empty()) << "topic " << i;
        all += Text();
    }
    for (const wchar_t *word :
         {L"New", L"Open", L"Save As", L"Delete", L"Global Default", L"Exit", L"Using Help",
          L"Product Information", L".uas", L"F1", L"Alt+F", L"Alt+H", L"Home", L"End"})
        EXPECT_NE(all.find(word), std::wstring::npos) << "the help mentions " << word;
}

} // namespace
