// Menu texts from string tables, the message font and dialog units.
#include <gtest/gtest.h>

#include "velw32.h"
#include "test_ids.h"
#include "uitest.h"

#include <string>

namespace {

HMODULE Self() { return GetModuleHandleW(nullptr); }

using uitest::MenuText;

class MenuTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = CreateWindowExW(0, L"static", L"menu owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                  LoadMenuW(Self(), MAKEINTRESOURCEW(TEST_IDM_MENU)), Self(), nullptr);
        ASSERT_NE(window_, nullptr);
        menu_ = GetMenu(window_);
        ASSERT_NE(menu_, nullptr);
    }
    void TearDown() override { DestroyWindow(window_); }

    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
};

TEST_F(MenuTextTest, ByCommandReplacesTheTextAndKeepsTheItem)
{
    EXPECT_EQ(DlgLoadMenuText(window_, TEST_CMD_NEW, Self(), TEST_IDS_NEW), 1);
    EXPECT_EQ(MenuText(menu_, TEST_CMD_NEW, MF_BYCOMMAND), L"&New (loaded)");
    HMENU file = GetSubMenu(menu_, 0);
    EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(TEST_CMD_NEW));
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(MenuText(menu_, TEST_CMD_EXIT, MF_BYCOMMAND), L"E&xitxxx") << "other items untouched";
}

TEST_F(MenuTextTest, ByPositionKeepsThePopup)
{
    EXPECT_EQ(DlgLoadMenuTextPosition(window_, nullptr, 1, Self(), TEST_IDS_HELP), 1);
    EXPECT_EQ(MenuText(menu_, 1, MF_BYPOSITION), L"&Help (loaded)");
    HMENU help = GetSubMenu(menu_, 1);
    ASSERT_NE(help, nullptr) << "the item is still a popup";
    EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(TEST_CMD_ABOUT));

    HMENU fileBefore = GetSubMenu(menu_, 0);
    EXPECT_EQ(DlgLoadMenuTextPosition(window_, nullptr, 0, Self(), TEST_IDS_FILE), 1);
    EXPECT_EQ(MenuText(menu_, 0, MF_BYPOSITION), L"&File (loaded)");
    EXPECT_EQ(GetSubMenu(menu_, 0), fileBefore);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu_, 0)), 3);
}

TEST_F(MenuTextTest, ByPositionInAGivenMenu)
{
    HMENU help = GetSubMenu(menu_, 1);
    EXPECT_EQ(DlgLoadMenuTextPosition(window_, help, 0, Self(), TEST_IDS_ABOUT), 1);
    EXPECT_EQ(MenuText(help, 0, MF_BYPOSITION), L"&About (loaded)");
    EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(TEST_CMD_ABOUT));
    EXPECT_EQ(MenuText(menu_, 1, MF_BYPOSITION), L"&Helpxxx");
}

TEST_F(MenuTextTest, MissingStringOrItemChangesNothing)
{
    EXPECT_EQ(DlgLoadMenuText(window_, TEST_CMD_NEW, Self(), TEST_IDS_MISSING), 0);
    EXPECT_EQ(MenuText(menu_, TEST_CMD_NEW, MF_BYCOMMAND), L"&Newxxx");
    EXPECT_EQ(DlgLoadMenuText(window_, 4711, Self(), TEST_IDS_NEW), 0);
    EXPECT_EQ(DlgLoadMenuTextPosition(window_, nullptr, 7, Self(), TEST_IDS_NEW), 0);
    EXPECT_EQ(DlgLoadMenuTextPosition(window_, nullptr, -1, Self(), TEST_IDS_NEW), 0);
    EXPECT_EQ(GetMenuItemCount(menu_), 2);
}

class FontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = CreateWindowExW(0, L"static", L"top", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  Self(), nullptr);
        ASSERT_NE(window_, nullptr);
        const wchar_t *classes[] = {L"static", L"edit", L"button", L"listbox"};
        int id = 70;
        for (const wchar_t *cls : classes)
            children_.push_back(CreateWindowExW(0, cls, L"x", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, window_,
                                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), Self(),
                                                nullptr));
        // A control inside a control is reached as well.
        children_.push_back(CreateWindowExW(0, L"button", L"inner", WS_CHILD | WS_VISIBLE, 0, 0, 20, 10,
                                            children_[0], nullptr, Self(), nullptr));
    }
    void TearDown() override { DestroyWindow(window_); }

    HWND window_ = nullptr;
    std::vector<HWND> children_;
};

TEST_F(FontTest, ChildrenGetTheMessageFont)
{
    EXPECT_EQ(WindowSetFont(window_), 1);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(children_[1], WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    for (HWND child : children_)
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), font);

    EXPECT_NE(font, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    LOGFONTW face = {};
    ASSERT_TRUE(GetObjectW(font, sizeof face, &face));
    EXPECT_LT(face.lfWeight, FW_BOLD);

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    EXPECT_STREQ(face.lfFaceName, metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(face.lfHeight, metrics.lfMessageFont.lfHeight);
}

TEST_F(FontTest, SameFontEveryTime)
{
    WindowSetFont(window_);
    HFONT first = reinterpret_cast<HFONT>(SendMessageW(children_[0], WM_GETFONT, 0, 0));
    HWND other = CreateWindowExW(0, L"edit", L"", WS_CHILD, 0, 0, 10, 10, window_, nullptr, Self(), nullptr);
    WindowSetFont(window_);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(other, WM_GETFONT, 0, 0)), first);
    EXPECT_EQ(WindowSetFont(nullptr), 0);
}

TEST_F(FontTest, DialogUnitsFollowTheFontMetrics)
{
    WindowSetFont(window_);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(children_[0], WM_GETFONT, 0, 0));
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SIZE size = {};
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int cx = (size.cx / 26 + 1) / 2;
    const int cy = metrics.tmHeight;
    ASSERT_GT(cx, 0);

    int32_t x = 0, y = 0;
    DlgUnitToScrCoord(200, 200, &x, &y);
    EXPECT_EQ(x, MulDiv(200, cx, 4));
    EXPECT_EQ(y, MulDiv(200, cy, 8));
    DlgUnitToScrCoord(4, 8, &x, &y);
    EXPECT_EQ(x, cx);
    EXPECT_EQ(y, cy);
    DlgUnitToScrCoord(0, 0, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    DlgUnitToScrCoord(10, 10, nullptr, nullptr);
}

} // namespace
