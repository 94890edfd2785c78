// The main window's controls: their classes, styles and IDs, and the fixed
// layout for a given client size, including sizes too small for it.
#include <gtest/gtest.h>

#include "importswap.h"
#include "controls.h"
#include "mainwnd.h"
#include "resource.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

// What each control was asked for, before the window system clamps a
// negative size: the program's import of SetWindowPos is replaced by one
// that records its arguments and passes them on.
struct Requested {
    int X, Y, Width, Height;
    HWND InsertAfter;
    UINT Flags;
};

std::array<Requested, 8> requested;
std::vector<int> placementOrder;

using SetWindowPosFunction = BOOL(WINAPI *)(HWND, HWND, int, int, int, int, UINT);
SetWindowPosFunction realSetWindowPos = nullptr;

BOOL WINAPI RecordingSetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags)
{
    const int id = GetDlgCtrlID(window);
    if (id >= IDC_SETNAME && id <= IDC_UNITLIST) {
        requested[id - IDC_SETNAME] = Requested{x, y, cx, cy, after, flags};
        placementOrder.push_back(id);
    }
    return realSetWindowPos(window, after, x, y, cx, cy, flags);
}

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExW(0, L"static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
        MainControlsCreate(parent_, &c_[0], &c_[1], &c_[2], &c_[3], &c_[4], &c_[5], &c_[6], &c_[7]);
        for (int i = 0; i < 8; ++i)
            ASSERT_NE(c_[i], nullptr) << i;
        realSetWindowPos = reinterpret_cast<SetWindowPosFunction>(importswap::Replace(
            "user32.dll", "SetWindowPos", reinterpret_cast<void *>(RecordingSetWindowPos)));
        ASSERT_NE(realSetWindowPos, nullptr);
    }
    void TearDown() override
    {
        importswap::Replace("user32.dll", "SetWindowPos",
                            reinterpret_cast<void *>(realSetWindowPos));
        DestroyWindow(parent_);
    }

    // Lays the controls out for a client area of w by h.
    void Layout(int w, int h)
    {
        RECT r = {0, 0, w, h};
        AdjustWindowRectEx(&r, WS_POPUP, FALSE, 0);
        SetWindowPos(parent_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOMOVE);
        RECT client;
        GetClientRect(parent_, &client);
        ASSERT_EQ(client.right, w);
        ASSERT_EQ(client.bottom, h);
        requested.fill(Requested{-9999, -9999, -9999, -9999, HWND_BOTTOM, 0});
        placementOrder.clear();
        MainControlsLayout(parent_, c_[0], c_[1], c_[2], c_[3], c_[4], c_[6], c_[5], c_[7]);
    }

    void ExpectAt(int id, int x, int y, int w, int h)
    {
        const Requested &r = requested[id - IDC_SETNAME];
        EXPECT_EQ(r.X, x) << "control " << id;
        EXPECT_EQ(r.Y, y) << "control " << id;
        EXPECT_EQ(r.Width, w) << "control " << id;
        EXPECT_EQ(r.Height, h) << "control " << id;
        EXPECT_EQ(r.InsertAfter, nullptr) << "control " << id;
        EXPECT_EQ(r.Flags, static_cast<UINT>(SWP_SHOWWINDOW)) << "control " << id;
    }

    HWND parent_ = nullptr;
    HWND c_[8] = {};
};

// What MainControlsCreate asked the window system for, control by control.
struct Created {
    DWORD ExStyle;
    std::wstring ClassName;
    std::wstring Text;
    DWORD Style;
    int X, Y, Width, Height;
    HWND Parent;
    INT_PTR Id;
};
std::vector<Created> created;

using CreateWindowExWFunction = HWND(WINAPI *)(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int,
                                               HWND, HMENU, HINSTANCE, LPVOID);
CreateWindowExWFunction realCreateWindowExW = nullptr;

HWND WINAPI RecordingCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR text, DWORD style,
                                     int x, int y, int w, int h, HWND parent, HMENU menu,
                                     HINSTANCE instance, LPVOID data)
{
    created.push_back(Created{exStyle, className, text ? text : L"<null>", style, x, y, w, h,
                              parent, reinterpret_cast<INT_PTR>(menu)});
    return realCreateWindowExW(exStyle, className, text, style, x, y, w, h, parent, menu, instance,
                               data);
}

TEST(ControlsTest, AreCreatedInIdOrderWithExactlyTheirStyles)
{
    HWND parent = CreateWindowExW(0, L"static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    realCreateWindowExW = reinterpret_cast<CreateWindowExWFunction>(importswap::Replace(
        "user32.dll", "CreateWindowExW", reinterpret_cast<void *>(RecordingCreateWindowExW)));
    ASSERT_NE(realCreateWindowExW, nullptr);
    created.clear();
    HWND c[8] = {};
    MainControlsCreate(parent, &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7]);
    importswap::Replace("user32.dll", "CreateWindowExW",
                        reinterpret_cast<void *>(realCreateWindowExW));

    const DWORD list = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP |
                       LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
    const struct {
        const wchar_t *ClassName;
        DWORD Style;
    } expected[8] = {
        {L"static", WS_CHILD | WS_VISIBLE | SS_LEFT},
        {L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
        {L"edit",
         WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_GROUP | WS_TABSTOP | ES_MULTILINE},
        {L"button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
        {L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
        {L"listbox", list},
        {L"static", WS_CHILD | WS_VISIBLE | SS_CENTER},
        {L"listbox", list},
    };
    ASSERT_EQ(created.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        const Created &k = created[static_cast<size_t>(i)];
        EXPECT_EQ(_wcsicmp(k.ClassName.c_str(), expected[i].ClassName), 0) << i;
        EXPECT_EQ(k.Style, expected[i].Style) << "control " << 70 + i;
        EXPECT_EQ(k.ExStyle, 0u);
        EXPECT_EQ(k.Text, L"");
        EXPECT_EQ(k.X | k.Y | k.Width | k.Height, 0);
        EXPECT_EQ(k.Parent, parent);
        EXPECT_EQ(k.Id, IDC_SETNAME + i);
        ASSERT_NE(c[i], nullptr);
        EXPECT_EQ(GetDlgCtrlID(c[i]), IDC_SETNAME + i) << "handle stored in its place";
    }
    DestroyWindow(parent);
}

TEST_F(LayoutTest, PlacesEveryControlForAClientAreaOf600By400)
{
    Layout(600, 400);
    ExpectAt(IDC_SETNAME, 3, 5, 597, 20);
    ExpectAt(IDC_DESCLABEL, 3, 25, 522, 20);
    ExpectAt(IDC_DESCRIPTION, 3, 45, 522, 60);
    ExpectAt(IDC_CLEAR, 527, 50, 70, 25);
    ExpectAt(IDC_DIMLABEL, 0, 110, 300, 20);
    ExpectAt(IDC_UNITLABEL, 300, 110, 300, 20);
    ExpectAt(IDC_DIMLIST, 0, 130, 300, 270);
    ExpectAt(IDC_UNITLIST, 300, 130, 300, 270);
    const std::vector<int> order = {IDC_SETNAME,  IDC_DESCLABEL, IDC_DESCRIPTION, IDC_CLEAR,
                                    IDC_DIMLABEL, IDC_UNITLABEL, IDC_DIMLIST,     IDC_UNITLIST};
    EXPECT_EQ(placementOrder, order);
}

TEST_F(LayoutTest, AnOddWidthLeavesTheLastPixelColumnFree)
{
    Layout(601, 300);
    ExpectAt(IDC_DIMLIST, 0, 130, 300, 170);
    ExpectAt(IDC_UNITLIST, 300, 130, 300, 170);
    ExpectAt(IDC_CLEAR, 528, 50, 70, 25);
    ExpectAt(IDC_DESCRIPTION, 3, 45, 523, 60);
}

TEST_F(LayoutTest, ATooSmallClientAreaPassesNegativeSizesOn)
{
    Layout(50, 100);
    ExpectAt(IDC_DESCLABEL, 3, 25, -28, 20);
    ExpectAt(IDC_DESCRIPTION, 3, 45, -28, 60);
    ExpectAt(IDC_CLEAR, -23, 50, 70, 25);
    ExpectAt(IDC_DIMLIST, 0, 130, 25, -30);
    ExpectAt(IDC_UNITLIST, 25, 130, 25, -30);
}

TEST_F(LayoutTest, TheUnitsListEndsOnTopOfItsSiblings)
{
    Layout(400, 300);
    EXPECT_EQ(GetWindow(parent_, GW_CHILD), c_[7]) << "Units list placed last, so topmost";
    EXPECT_EQ(GetWindow(c_[0], GW_HWNDNEXT), nullptr) << "set-name label placed first, so lowest";
}

} // namespace
