// The product information dialog: its texts, icon, placement and closing.
#include <gtest/gtest.h>

#include "velw32.h"
#include "velw32_ids.h"
#include "uitest.h"

#include <string>

namespace {

struct Seen {
    std::wstring Caption, Title, Text1, Text2, Button;
    bool HasIcon = false;
    HICON Icon = nullptr;
    LONG TitleWeight = 0, TextWeight = 0;
    RECT Frame = {}, Client = {}, ButtonRect = {}, Text2Rect = {};
    bool ButtonIsDefault = false;
};

LONG WeightOf(HWND control)
{
    LOGFONTW face = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof face,
               &face);
    return face.lfWeight;
}

RECT RectIn(HWND dialog, HWND child)
{
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

Seen Look(HWND d)
{
    Seen s;
    s.Caption = uitest::TextOf(d);
    s.Title = uitest::TextOf(GetDlgItem(d, VELW_IDC_ABOUT_TITLE));
    s.Text1 = uitest::TextOf(GetDlgItem(d, VELW_IDC_ABOUT_TEXT1));
    s.Text2 = uitest::TextOf(GetDlgItem(d, VELW_IDC_ABOUT_TEXT2));
    s.Button = uitest::TextOf(GetDlgItem(d, IDOK));
    s.Icon =
        reinterpret_cast<HICON>(SendDlgItemMessageW(d, VELW_IDC_ABOUT_ICON, STM_GETICON, 0, 0));
    s.HasIcon = s.Icon != nullptr;
    s.TitleWeight = WeightOf(GetDlgItem(d, VELW_IDC_ABOUT_TITLE));
    s.TextWeight = WeightOf(GetDlgItem(d, VELW_IDC_ABOUT_TEXT1));
    GetWindowRect(d, &s.Frame);
    GetClientRect(d, &s.Client);
    s.ButtonRect = RectIn(d, GetDlgItem(d, IDOK));
    s.Text2Rect = RectIn(d, GetDlgItem(d, VELW_IDC_ABOUT_TEXT2));
    s.ButtonIsDefault =
        (GetWindowLongPtrW(GetDlgItem(d, IDOK), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
    return s;
}

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner_ = CreateWindowExW(0, L"static", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200,
                                 500, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
    }
    void TearDown() override { DestroyWindow(owner_); }

    // Shows the window, looks at it (into seen) and closes it with OK;
    // the window's result.
    int16_t ShowAndLook(HWND owner, const wchar_t *title, const wchar_t *text1,
                        const wchar_t *text2, int16_t flag)
    {
        uitest::DialogResponder responder([this](HWND d) {
            seen = Look(d);
            ++shown;
            uitest::Press(d, IDOK);
        });
        return AbtMapAboutWindow(owner, title, text1, text2, flag);
    }

    HWND owner_ = nullptr;
    Seen seen;
    int shown = 0; // windows seen by ShowAndLook
};

TEST_F(AboutTest, ShowsTheTextsAndClosesOnOk)
{
    EXPECT_EQ(ShowAndLook(owner_, L"Unit Assignment Set Editor", L"Kalvex R&D Tools",
                          L"Process engineering\nVersion 3", 1),
              1);
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(seen.Caption, L"Unit Assignment Set Editor");
    EXPECT_EQ(seen.Title, L"Unit Assignment Set Editor");
    EXPECT_EQ(seen.Text1, L"Kalvex R&D Tools");
    EXPECT_EQ(seen.Text2, L"Process engineering\nVersion 3");
    EXPECT_EQ(seen.Button, L"OK");
    EXPECT_TRUE(seen.ButtonIsDefault);
    EXPECT_TRUE(seen.HasIcon);
    EXPECT_GE(seen.TitleWeight, FW_BOLD);
    EXPECT_LT(seen.TextWeight, FW_BOLD);
}

// A program gives its window the icon for its display scale; the window
// shows that one rather than the program file's icon at the system's size.
TEST_F(AboutTest, ShowsTheOwnersOwnIcon)
{
    HICON icon = LoadIconW(nullptr, IDI_INFORMATION);
    SendMessageW(owner_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ShowAndLook(owner_, L"Title", L"One", L"Two", 1);
    EXPECT_EQ(seen.Icon, icon);
}

TEST_F(AboutTest, CentresOnTheOwnerWithFlagOne)
{
    ShowAndLook(owner_, L"Title", L"One", L"Two", 1);
    RECT owner = {};
    GetWindowRect(owner_, &owner);
    EXPECT_NEAR((seen.Frame.left + seen.Frame.right) / 2, (owner.left + owner.right) / 2, 2);
    EXPECT_NEAR((seen.Frame.top + seen.Frame.bottom) / 2, (owner.top + owner.bottom) / 2, 2);
}

TEST_F(AboutTest, LongTextsPushTheButtonDown)
{
    std::wstring text2;
    for (int i = 0; i < 12; ++i)
        text2 += L"Line " + std::to_wstring(i) + L" of a longer product information text\n";
    ShowAndLook(nullptr, L"Title", L"One", text2.c_str(), 0);
    EXPECT_GE(seen.Text2Rect.bottom - seen.Text2Rect.top, 12 * 8) << "room for twelve lines";
    EXPECT_GE(seen.ButtonRect.top, seen.Text2Rect.bottom);
    EXPECT_LE(seen.ButtonRect.bottom, seen.Client.bottom) << "the button stays inside the dialog";
}

TEST_F(AboutTest, EscapeAndEnterClose)
{
    {
        uitest::DialogResponder escape([&](HWND d) { uitest::Press(d, IDCANCEL); });
        EXPECT_EQ(AbtMapAboutWindow(owner_, L"Title", L"One", L"Two", 1), 1);
        EXPECT_EQ(escape.Count(), 1);
    }
    uitest::DialogResponder enter(
        [&](HWND d) { PostMessageW(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_RETURN, 0); });
    EXPECT_EQ(AbtMapAboutWindow(owner_, L"Title", L"One", L"Two", 1), 1);
    EXPECT_EQ(enter.Count(), 1);
}

TEST_F(AboutTest, EmptyTitleUsesTheDefaultCaption)
{
    EXPECT_EQ(ShowAndLook(owner_, nullptr, nullptr, nullptr, 0), 1);
    EXPECT_EQ(seen.Caption, L"Product Information");
    EXPECT_EQ(seen.Text1, L"");
}

} // namespace
