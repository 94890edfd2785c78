// The main window's controls: their classes, styles and IDs, where they sit
// in the real window at two sizes and several display scales, and what the
// layout asks for at sizes too small for it.
#include <gtest/gtest.h>

#include "importswap.h"
#include "controls.h"
#include "mainwnd.h"
#include "resource.h"
#include "windowtest.h"

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

TEST(ControlsTest, AreCreatedInIdOrderAsEmptyChildrenOfTheWindow)
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

    ASSERT_EQ(created.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        const Created &k = created[static_cast<size_t>(i)];
        EXPECT_EQ(k.ExStyle, 0u);
        EXPECT_EQ(k.Text, L"");
        EXPECT_EQ(k.X | k.Y | k.Width | k.Height, 0);
        EXPECT_EQ(k.Parent, parent);
        EXPECT_EQ(k.Id, IDC_SETNAME + i);
        // The description and the lists have a border and a vertical scroll
        // bar. Only the request shows it: the window system clears the
        // scroll bar's style while the content fits, and the edit control
        // draws its border itself.
        const bool framed = k.Id == IDC_DESCRIPTION || k.Id == IDC_DIMLIST || k.Id == IDC_UNITLIST;
        EXPECT_EQ(k.Style & static_cast<DWORD>(WS_BORDER | WS_VSCROLL),
                  framed ? static_cast<DWORD>(WS_BORDER | WS_VSCROLL) : 0u)
            << "control " << k.Id;
        ASSERT_NE(c[i], nullptr);
        EXPECT_EQ(GetDlgCtrlID(c[i]), IDC_SETNAME + i) << "handle stored in its place";
    }
    DestroyWindow(parent);
}

// The controls of the real main window, as the window system reports them:
// what kind each is and how it behaves.
class MainWindowControlsTest : public windowtest::MainWindowTest {
protected:
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    LONG_PTR Style(int id) const { return GetWindowLongPtrW(Control(id), GWL_STYLE); }

    // Sizes the window so that its client area is w by h.
    void SetClientSize(int w, int h)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            RECT client, frame;
            GetClientRect(window_, &client);
            GetWindowRect(window_, &frame);
            if (client.right == w && client.bottom == h)
                return;
            SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + w - client.right,
                         frame.bottom - frame.top + h - client.bottom, SWP_NOZORDER | SWP_NOMOVE);
        }
    }
};

TEST_F(MainWindowControlsTest, EachControlIsOfItsKind)
{
    const struct {
        int Id;
        const wchar_t *ClassName;
        bool TabStop; // reached with Tab
    } kinds[] = {
        {IDC_SETNAME, L"static", false},   {IDC_DESCLABEL, L"static", false},
        {IDC_DESCRIPTION, L"edit", true},  {IDC_CLEAR, L"button", true},
        {IDC_DIMLABEL, L"static", false},  {IDC_DIMLIST, L"listbox", true},
        {IDC_UNITLABEL, L"static", false}, {IDC_UNITLIST, L"listbox", true},
    };
    for (const auto &k : kinds) {
        wchar_t cls[32] = L"";
        GetClassNameW(Control(k.Id), cls, 32);
        EXPECT_EQ(_wcsicmp(cls, k.ClassName), 0) << k.Id << ": " << cls;
        const LONG_PTR style = Style(k.Id);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE) << k.Id;
        EXPECT_EQ((style & WS_TABSTOP) != 0, k.TabStop) << k.Id;
    }
    // The description starts a group and takes several lines; the lists
    // tell their parent of a new selection and keep the height they are
    // given; the set name reads from the left, the other labels are centred.
    EXPECT_EQ(Style(IDC_DESCRIPTION) & (WS_GROUP | ES_MULTILINE), WS_GROUP | ES_MULTILINE);
    for (int list : {IDC_DIMLIST, IDC_UNITLIST})
        EXPECT_EQ(Style(list) & (LBS_NOTIFY | LBS_NOINTEGRALHEIGHT),
                  LBS_NOTIFY | LBS_NOINTEGRALHEIGHT)
            << list;
    EXPECT_EQ(Style(IDC_CLEAR) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(Style(IDC_SETNAME) & SS_TYPEMASK, SS_LEFT);
    for (int label : {IDC_DESCLABEL, IDC_DIMLABEL, IDC_UNITLABEL})
        EXPECT_EQ(Style(label) & SS_TYPEMASK, SS_CENTER) << label;
}

int IconWidth(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// Where the controls are, read back from the real window at two client
// sizes and at four display scales; an odd width leaves the last pixel
// column free. Each row tells the window of its DPI as the system does when
// the window moves to a screen of that scale (WM_DPICHANGED, with the
// rectangle that gives the row's client size), so the window must take
// that rectangle, make its font and icons again for the DPI and lay the
// controls out with every length of the design scaled.
TEST_F(MainWindowControlsTest, ControlsSitAtTheirPlacesAtEveryScale)
{
    struct Place {
        int Id, X, Y, Width, Height;
    };
    const struct {
        UINT Dpi;
        int Width, Height;
        std::vector<Place> Places;
        int BigIcon, SmallIcon;
    } layouts[] = {
        // clang-format off
        {96, 600, 400, {{IDC_SETNAME, 3, 5, 597, 20}, {IDC_DESCLABEL, 3, 25, 522, 20},
                        {IDC_DESCRIPTION, 3, 45, 522, 60}, {IDC_CLEAR, 527, 50, 70, 25},
                        {IDC_DIMLABEL, 0, 110, 300, 20}, {IDC_UNITLABEL, 300, 110, 300, 20},
                        {IDC_DIMLIST, 0, 130, 300, 270}, {IDC_UNITLIST, 300, 130, 300, 270}}, 32, 16},
        {96, 601, 300, {{IDC_SETNAME, 3, 5, 598, 20}, {IDC_DESCLABEL, 3, 25, 523, 20},
                        {IDC_DESCRIPTION, 3, 45, 523, 60}, {IDC_CLEAR, 528, 50, 70, 25},
                        {IDC_DIMLABEL, 0, 110, 300, 20}, {IDC_UNITLABEL, 300, 110, 300, 20},
                        {IDC_DIMLIST, 0, 130, 300, 170}, {IDC_UNITLIST, 300, 130, 300, 170}}, 32, 16},
        {120, 750, 500, {{IDC_SETNAME, 4, 6, 746, 25}, {IDC_DESCLABEL, 4, 31, 652, 25},
                         {IDC_DESCRIPTION, 4, 56, 652, 75}, {IDC_CLEAR, 659, 63, 88, 31},
                         {IDC_DIMLABEL, 0, 138, 375, 25}, {IDC_UNITLABEL, 375, 138, 375, 25},
                         {IDC_DIMLIST, 0, 163, 375, 337}, {IDC_UNITLIST, 375, 163, 375, 337}}, 40, 20},
        {144, 900, 700, {{IDC_SETNAME, 5, 8, 895, 30}, {IDC_DESCLABEL, 5, 38, 783, 30},
                         {IDC_DESCRIPTION, 5, 68, 783, 90}, {IDC_CLEAR, 790, 75, 105, 38},
                         {IDC_DIMLABEL, 0, 165, 450, 30}, {IDC_UNITLABEL, 450, 165, 450, 30},
                         {IDC_DIMLIST, 0, 195, 450, 505}, {IDC_UNITLIST, 450, 195, 450, 505}}, 48, 24},
        {192, 900, 700, {{IDC_SETNAME, 6, 10, 894, 40}, {IDC_DESCLABEL, 6, 50, 744, 40},
                         {IDC_DESCRIPTION, 6, 90, 744, 120}, {IDC_CLEAR, 754, 100, 140, 50},
                         {IDC_DIMLABEL, 0, 220, 450, 40}, {IDC_UNITLABEL, 450, 220, 450, 40},
                         {IDC_DIMLIST, 0, 260, 450, 440}, {IDC_UNITLIST, 450, 260, 450, 440}}, 64, 32},
        // clang-format on
    };
    // The message font at this test's own scale (96 DPI), which the font of
    // every other scale is made from.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    int step = 0;
    for (const auto &layout : layouts) {
        const std::string where = std::to_string(layout.Dpi) + " DPI, " +
                                  std::to_string(layout.Width) + " x " +
                                  std::to_string(layout.Height);
        // The rectangle the system would suggest: the frame around the row's
        // client size, somewhere else on the screen.
        RECT client, frame;
        GetClientRect(window_, &client);
        GetWindowRect(window_, &frame);
        ++step;
        const RECT suggested = {frame.left + 7 * step, frame.top + 5 * step,
                                frame.right + 7 * step + layout.Width - client.right,
                                frame.bottom + 5 * step + layout.Height - client.bottom};
        SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(layout.Dpi, layout.Dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT taken;
        GetWindowRect(window_, &taken);
        EXPECT_TRUE(EqualRect(&taken, &suggested)) << where;
        GetClientRect(window_, &client);
        ASSERT_EQ(client.right, layout.Width) << where;
        ASSERT_EQ(client.bottom, layout.Height) << where;
        for (const Place &p : layout.Places) {
            RECT r;
            GetWindowRect(Control(p.Id), &r);
            MapWindowPoints(nullptr, window_, reinterpret_cast<POINT *>(&r), 2);
            const std::vector<LONG> got = {r.left, r.top, r.right - r.left, r.bottom - r.top};
            EXPECT_EQ(got, (std::vector<LONG>{p.X, p.Y, p.Width, p.Height}))
                << "control " << p.Id << " at " << where;
            LOGFONTW face = {};
            ASSERT_TRUE(
                GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control(p.Id), WM_GETFONT, 0, 0)),
                           sizeof face, &face))
                << "control " << p.Id << " at " << where;
            EXPECT_EQ(face.lfHeight,
                      MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(layout.Dpi), 96))
                << "control " << p.Id << " at " << where;
        }
        // The icons of the scale (the program file holds an image of each
        // of these sizes, see tests/install).
        const auto icon = [this](WPARAM kind) {
            return IconWidth(reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, kind, 0)));
        };
        EXPECT_EQ(icon(ICON_BIG), layout.BigIcon) << where;
        EXPECT_EQ(icon(ICON_SMALL), layout.SmallIcon) << where;
    }
}

TEST_F(LayoutTest, PlacesEveryControlInIdOrderAndShowsIt)
{
    Layout(600, 400);
    const std::vector<int> order = {IDC_SETNAME,  IDC_DESCLABEL, IDC_DESCRIPTION, IDC_CLEAR,
                                    IDC_DIMLABEL, IDC_UNITLABEL, IDC_DIMLIST,     IDC_UNITLIST};
    EXPECT_EQ(placementOrder, order);
    for (const Requested &r : requested) {
        EXPECT_EQ(r.InsertAfter, nullptr);
        EXPECT_EQ(r.Flags, static_cast<UINT>(SWP_SHOWWINDOW));
    }
}

// Sizes the window system clamps: what the layout asked for.
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
