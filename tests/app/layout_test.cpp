// The main window's controls: their classes, styles and IDs, and the fixed
// layout for a given client size, including sizes too small for it.
#include <gtest/gtest.h>

#include "mainwnd.h"
#include "resource.h"

#include <array>

namespace {

// Records the size that each control was asked to take, before the window
// system clamps a negative one.
struct Requested {
    int X, Y, Width, Height;
};

std::array<Requested, 8> requested;
std::array<WNDPROC, 8> original;

int SlotOf(HWND control)
{
    return GetDlgCtrlID(control) - IDC_SETNAME;
}

LRESULT CALLBACK RecordingProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    const int slot = SlotOf(control);
    if (message == WM_WINDOWPOSCHANGING) {
        const auto *pos = reinterpret_cast<const WINDOWPOS *>(lParam);
        requested[slot] = Requested{pos->x, pos->y, pos->cx, pos->cy};
    }
    return CallWindowProcW(original[slot], control, message, wParam, lParam);
}

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent_ = CreateWindowExW(0, L"static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
        MainControlsCreate(parent_, &c_[0], &c_[1], &c_[2], &c_[3], &c_[4], &c_[5], &c_[6], &c_[7]);
        for (int i = 0; i < 8; ++i) {
            ASSERT_NE(c_[i], nullptr) << i;
            original[i] = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(c_[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
        }
    }
    void TearDown() override { DestroyWindow(parent_); }

    // Lays the controls out for a client area of w by h.
    void Layout(int w, int h)
    {
        RECT r = {0, 0, w, h};
        AdjustWindowRectEx(&r, WS_POPUP, FALSE, 0);
        SetWindowPos(parent_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOMOVE);
        RECT client;
        GetClientRect(parent_, &client);
        ASSERT_EQ(client.right, w);
        ASSERT_EQ(client.bottom, h);
        requested.fill(Requested{-9999, -9999, -9999, -9999});
        MainControlsLayout(parent_, c_[0], c_[1], c_[2], c_[3], c_[4], c_[6], c_[5], c_[7]);
    }

    void ExpectAt(int id, int x, int y, int w, int h)
    {
        const Requested &r = requested[id - IDC_SETNAME];
        EXPECT_EQ(r.X, x) << "control " << id;
        EXPECT_EQ(r.Y, y) << "control " << id;
        EXPECT_EQ(r.Width, w) << "control " << id;
        EXPECT_EQ(r.Height, h) << "control " << id;
    }

    HWND parent_ = nullptr;
    HWND c_[8] = {};
};

TEST_F(LayoutTest, ControlsHaveTheirClassesStylesAndIds)
{
    const struct {
        const wchar_t *ClassName;
        DWORD Style;
    } expected[8] = {
        {L"Static", WS_CHILD | WS_VISIBLE | SS_LEFT},
        {L"Static", WS_CHILD | WS_VISIBLE | SS_CENTER},
        {L"Edit", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_GROUP | WS_TABSTOP | ES_MULTILINE},
        {L"Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
        {L"Static", WS_CHILD | WS_VISIBLE | SS_CENTER},
        {L"ListBox", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY},
        {L"Static", WS_CHILD | WS_VISIBLE | SS_CENTER},
        {L"ListBox", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY},
    };
    for (int i = 0; i < 8; ++i) {
        wchar_t cls[32];
        GetClassNameW(c_[i], cls, 32);
        EXPECT_EQ(_wcsicmp(cls, expected[i].ClassName), 0) << "control " << 70 + i << ": " << cls;
        EXPECT_EQ(GetDlgCtrlID(c_[i]), IDC_SETNAME + i);
        // Every general flag asked for is there; the control's own flags
        // are exactly those asked for (no sorting, no automatic scrolling).
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(c_[i], GWL_STYLE));
        EXPECT_EQ(style & expected[i].Style, expected[i].Style) << "control " << 70 + i;
        EXPECT_EQ(style & 0xFFFFu, expected[i].Style & 0xFFFFu) << "control " << 70 + i;
    }
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
