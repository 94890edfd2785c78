// Test helpers for driving real windows in the test's own thread.
#include "uitest.h"

#include <gtest/gtest.h>

#include "testfiles.h"

namespace uitest {

using testfiles::Utf8;

namespace {
thread_local DialogResponder *current = nullptr;
}

DialogResponder::DialogResponder(Handler handler) : handler_(std::move(handler))
{
    previous_ = current;
    current = this;
    hook_ = SetWindowsHookExW(WH_CBT, &DialogResponder::Hook, nullptr, GetCurrentThreadId());
    timer_ = SetTimer(nullptr, 0, 250, &DialogResponder::Watch);
}

DialogResponder::~DialogResponder()
{
    if (timer_)
        KillTimer(nullptr, timer_);
    if (hook_)
        UnhookWindowsHookEx(hook_);
    current = previous_;
}

LRESULT CALLBACK DialogResponder::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    DialogResponder *self = current;
    if (code == HCBT_ACTIVATE && self) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t cls[32] = L"";
        GetClassNameW(window, cls, 32);
        // A dialog is activated again when a box it opened closes: answer
        // each dialog once only.
        if (wcscmp(cls, L"#32770") == 0 && self->handled_.insert(window).second) {
            self->seen_.push_back(window);
            self->answered_.emplace_back(window, GetTickCount());
            self->handler_(window);
        }
    }
    return CallNextHookEx(self ? self->hook_ : nullptr, code, wParam, lParam);
}

// Runs in the modal loop of the open dialog, which dispatches the thread's
// timer messages.
void CALLBACK DialogResponder::Watch(HWND, UINT, UINT_PTR, DWORD)
{
    DialogResponder *self = current;
    if (!self)
        return;
    for (auto &a : self->answered_) {
        if (!a.first)
            continue;
        if (!IsWindow(a.first)) {
            a.first = nullptr;
            continue;
        }
        const DWORD waited = GetTickCount() - a.second;
        if (waited < AnswerLimitMs)
            continue;
        ADD_FAILURE() << "waited " << waited << " ms for the dialog \"" << Utf8(TextOf(a.first)) << "\""
                      << (MessageBoxText(a.first).empty() ? "" : " (\"" + Utf8(MessageBoxText(a.first)) + "\")")
                      << " to close after its answer; it is still open and is ended now";
        EndDialog(a.first, IDCANCEL);
        a.first = nullptr;
    }
}

MessageBoxAnswerer::MessageBoxAnswerer(std::vector<int> answers)
    : answers_(std::move(answers)), responder_([this](HWND box) {
          BoxRecord record;
          record.Caption = TextOf(box);
          record.Text = MessageBoxText(box);
          record.Style = GetWindowLongPtrW(box, GWL_STYLE);
          const size_t i = boxes_.size();
          record.Answer =
              answers_.empty() ? IDCANCEL : answers_[i < answers_.size() ? i : answers_.size() - 1];
          boxes_.push_back(record);
          Press(box, record.Answer);
      })
{
}

namespace {
thread_local LoopLimit *currentLimit = nullptr;
}

LoopLimit::LoopLimit(std::string what, DWORD limitMs) : what_(std::move(what)), limitMs_(limitMs)
{
    currentLimit = this;
    timer_ = SetTimer(nullptr, 0, limitMs, &LoopLimit::Expired);
}

LoopLimit::~LoopLimit()
{
    KillTimer(nullptr, timer_);
    currentLimit = nullptr;
}

void CALLBACK LoopLimit::Expired(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (!currentLimit)
        return;
    ADD_FAILURE() << "waited " << currentLimit->limitMs_ << " ms for " << currentLimit->what_
                  << "; the loop still runs and is ended now";
    PostQuitMessage(0);
}

NoticeWindow::NoticeWindow()
{
    WNDCLASSW cls = {};
    cls.lpfnWndProc = &NoticeWindow::Proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"UasTestNoticeWindow";
    RegisterClassW(&cls); // fails harmlessly once it is registered
    window_ = CreateWindowExW(0, cls.lpszClassName, L"test controls", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                              nullptr, nullptr, cls.hInstance, nullptr);
    if (window_)
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NoticeWindow::~NoticeWindow()
{
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

HWND NoticeWindow::AddChild(const wchar_t *className, DWORD style, int id, int x, int y, int width, int height)
{
    return CreateWindowExW(0, className, L"", WS_CHILD | style, x, y, width, height, window_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

LRESULT CALLBACK NoticeWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = reinterpret_cast<NoticeWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_COMMAND && lParam && self) {
        HWND from = reinterpret_cast<HWND>(lParam);
        self->notices_.push_back({LOWORD(wParam), HIWORD(wParam), from, SendMessageW(from, LB_GETCOUNT, 0, 0),
                                  SendMessageW(from, LB_GETCURSEL, 0, 0)});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring MenuText(HMENU menu, UINT item, UINT flag)
{
    wchar_t text[256] = L"";
    GetMenuStringW(menu, item, text, 256, flag);
    return text;
}

std::wstring TextOf(HWND window)
{
    const int n = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(window, &text[0], n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

std::wstring MessageBoxText(HWND box)
{
    HWND label = GetDlgItem(box, 0xFFFF);
    return label ? TextOf(label) : std::wstring();
}

void Press(HWND dialog, int buttonId)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

HeldKeys::HeldKeys(std::vector<BYTE> keys) : keys_(std::move(keys))
{
    Set(0x80);
}

HeldKeys::~HeldKeys()
{
    Set(0);
}

void HeldKeys::Set(BYTE value)
{
    BYTE state[256];
    GetKeyboardState(state);
    for (BYTE k : keys_)
        state[k] = value;
    SetKeyboardState(state);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring ListRow(HWND list, int row)
{
    const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (n == LB_ERR)
        return L"<no row>";
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(n));
    return text;
}

std::vector<std::wstring> ListRows(HWND list)
{
    std::vector<std::wstring> rows;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        rows.push_back(ListRow(list, static_cast<int>(i)));
    return rows;
}

} // namespace uitest
