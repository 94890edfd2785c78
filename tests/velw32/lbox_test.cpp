// Filling list boxes from lists, their selection and the selection notice
// that the parent receives.
#include <gtest/gtest.h>

#include "velw32.h"
#include "uitest.h"

#include <string>
#include <vector>

namespace {

class LBoxTest : public ::testing::Test {
protected:
    static constexpr int ListId = 75;

    void SetUp() override
    {
        parent_ = host_.Handle();
        ASSERT_NE(parent_, nullptr);
        list_ = host_.AddChild(L"listbox", WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, ListId, 0,
                               0, 200, 60);
        ASSERT_NE(list_, nullptr);
        notices.clear();
    }

    void TearDown() override
    {
        for (ListHandle l : lists_)
            ListFree(l);
        uitest::PumpMessages();
    }

    ListHandle MakeList(const std::vector<const wchar_t *> &items)
    {
        KxStatus status = 0;
        ListHandle list = ListCreate(&status);
        for (const wchar_t *item : items)
            ListAddBack(list, const_cast<wchar_t *>(item), &status);
        lists_.push_back(list);
        return list;
    }

    std::vector<std::wstring> Rows() { return uitest::ListRows(list_); }

    void AddRow(const wchar_t *text)
    {
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }

    // The parent, which records the selection notices.
    uitest::NoticeWindow host_;
    std::vector<uitest::NoticeWindow::Notice> &notices = host_.Notices();
    HWND parent_ = nullptr;
    HWND list_ = nullptr;
    std::vector<ListHandle> lists_;
};

TEST_F(LBoxTest, ReplacesRowsSelectsAndNotifiesOnceBeforeReturning)
{
    AddRow(L"old one");
    AddRow(L"old two");
    LBoxFromList(list_, MakeList({L"bar", L"kPa", L"psi"}), 1);

    // Recorded synchronously: nothing has been pumped yet.
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].Id, ListId);
    EXPECT_EQ(notices[0].Code, LBN_SELCHANGE);
    EXPECT_EQ(notices[0].From, list_);
    // The list box was already filled and selected when the parent heard of it.
    EXPECT_EQ(notices[0].Count, 3);
    EXPECT_EQ(notices[0].Selection, 1);

    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"bar", L"kPa", L"psi"}));
    EXPECT_EQ(SendMessageW(list_, LB_GETCURSEL, 0, 0), 1);

    uitest::PumpMessages();
    EXPECT_EQ(notices.size(), 1u) << "no second notice arrives later";
}

TEST_F(LBoxTest, TwiceLeavesOneCopyOfEachString)
{
    wchar_t mass[] = L"Mass";
    ListHandle list = MakeList({L"Length", mass, L"Time"});
    LBoxFromList(list_, list, 0);
    LBoxFromList(list_, list, 2);
    mass[0] = L'X'; // the rows are copies
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"Length", L"Mass", L"Time"}));
    EXPECT_EQ(LBoxQuerySelection(list_, -1), 2);
    EXPECT_EQ(notices.size(), 2u);
}

TEST_F(LBoxTest, KeepsListOrderInASortingListBox)
{
    DestroyWindow(list_);
    list_ = CreateWindowExW(0, L"listbox", L"", WS_CHILD | LBS_NOTIFY | LBS_SORT, 0, 0, 100, 100,
                            parent_, reinterpret_cast<HMENU>(ListId), GetModuleHandleW(nullptr),
                            nullptr);
    LBoxFromList(list_, MakeList({L"zeta", L"alpha", L"mu"}), 0);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"zeta", L"alpha", L"mu"}));
}

TEST_F(LBoxTest, EmptyListStillNotifiesWithNoSelection)
{
    AddRow(L"stale");
    LBoxFromList(list_, MakeList({}), 0);
    EXPECT_TRUE(Rows().empty());
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].Selection, LB_ERR);
    EXPECT_EQ(LBoxQuerySelection(list_, -1), -1);
}

TEST_F(LBoxTest, QuerySelectionFallsBackWithoutSelection)
{
    AddRow(L"a");
    AddRow(L"b");
    EXPECT_EQ(LBoxQuerySelection(list_, -1), -1);
    EXPECT_EQ(LBoxQuerySelection(list_, 7), 7);
    SendMessageW(list_, LB_SETCURSEL, 1, 0);
    EXPECT_EQ(LBoxQuerySelection(list_, -1), 1);
    EXPECT_EQ(LBoxQuerySelection(nullptr, 3), 3);
}

TEST_F(LBoxTest, SelectItemSelectsWithoutNotice)
{
    LBoxFromList(list_, MakeList({L"a", L"b", L"c"}), 0);
    notices.clear();
    LBoxSelectItem(list_, 2, 1);
    EXPECT_EQ(LBoxQuerySelection(list_, -1), 2);
    LBoxSelectItem(list_, -1, 1);
    EXPECT_EQ(LBoxQuerySelection(list_, -1), -1);
    uitest::PumpMessages();
    EXPECT_TRUE(notices.empty());
}

TEST_F(LBoxTest, SelectItemBeyondTheRowsChangesNothing)
{
    LBoxFromList(list_, MakeList({L"a", L"b"}), 1);
    LBoxSelectItem(list_, 5, 1);
    EXPECT_EQ(LBoxQuerySelection(list_, -1), 1);
}

TEST_F(LBoxTest, SelectItemScrollsOnlyWithFlag)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < 40; ++i)
        texts.push_back(L"row " + std::to_wstring(i));
    std::vector<const wchar_t *> items;
    for (const auto &t : texts)
        items.push_back(t.c_str());
    LBoxFromList(list_, MakeList(items), 0);
    ASSERT_EQ(SendMessageW(list_, LB_GETTOPINDEX, 0, 0), 0);

    LBoxSelectItem(list_, 30, 0);
    EXPECT_EQ(LBoxQuerySelection(list_, -1), 30);
    EXPECT_EQ(SendMessageW(list_, LB_GETTOPINDEX, 0, 0), 0) << "flag 0 keeps the view";

    LBoxSelectItem(list_, 35, 1);
    EXPECT_EQ(LBoxQuerySelection(list_, -1), 35);
    EXPECT_GT(SendMessageW(list_, LB_GETTOPINDEX, 0, 0), 0) << "flag 1 scrolls the row into view";
}

} // namespace
