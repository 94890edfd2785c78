// Test helpers for driving real windows in the test's own thread: answering
// the modal message boxes and dialogs that the code under test opens, and
// reading control texts.
#ifndef UITEST_H
#define UITEST_H

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace uitest {

// Calls the handler once for each dialog or message box (window class
// #32770) that becomes active on this thread while the responder lives.
// The handler answers it, typically with Press(). A dialog still open
// AnswerLimitMs after its answer (a button it lacks, an answer it ignored)
// would hold the test in its modal loop until the program's time limit: it
// fails the test, naming the dialog, and is ended. The newest responder of
// a thread answers; the one before takes over when it goes.
class DialogResponder {
public:
    static constexpr DWORD AnswerLimitMs = 5000;
    using Handler = std::function<void(HWND dialog)>;
    explicit DialogResponder(Handler handler);
    ~DialogResponder();
    DialogResponder(const DialogResponder &) = delete;
    DialogResponder &operator=(const DialogResponder &) = delete;

    // Dialogs seen so far, in order of first activation.
    const std::vector<HWND> &Seen() const { return seen_; }
    int Count() const { return static_cast<int>(seen_.size()); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD);
    HHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;
    DialogResponder *previous_ = nullptr;
    Handler handler_;
    std::set<HWND> handled_;
    std::vector<HWND> seen_;
    std::vector<std::pair<HWND, DWORD>> answered_; // still watched, with the time of the answer
};

// A record of one message box: what it said and how it was answered.
struct BoxRecord {
    std::wstring Caption;
    std::wstring Text;
    LONG_PTR Style = 0; // window style of the box itself
    int Answer = 0;
};

// Answers every message box with the next of the given button IDs (the last
// one repeats) and records caption and text.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::vector<int> answers);
    const std::vector<BoxRecord> &Boxes() const { return boxes_; }

private:
    std::vector<int> answers_;
    std::vector<BoxRecord> boxes_;
    DialogResponder responder_;
};

// A hidden top-level window to hold controls under test outside the real
// main window (see windowtest.h for that): it records every WM_COMMAND
// notice its children send, with the list box's count and selection at that
// moment (0 and 0 from controls that are no list box).
class NoticeWindow {
public:
    struct Notice {
        int Id;
        int Code;
        HWND From;
        LRESULT Count;
        LRESULT Selection;
    };
    NoticeWindow();
    ~NoticeWindow();
    NoticeWindow(const NoticeWindow &) = delete;
    NoticeWindow &operator=(const NoticeWindow &) = delete;

    HWND Handle() const { return window_; }
    // A child control of that class, style (WS_CHILD is added) and ID.
    HWND AddChild(const wchar_t *className, DWORD style, int id, int x, int y, int width, int height);
    std::vector<Notice> &Notices() { return notices_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    std::vector<Notice> notices_;
};

// For a message loop of this thread that the test runs (the program's own,
// for one): should it run longer than limitMs while the object lives, the
// test fails, naming what it waited for, and the loop is ended with a quit
// message, instead of running until the program's time limit.
class LoopLimit {
public:
    LoopLimit(std::string what, DWORD limitMs);
    ~LoopLimit();
    LoopLimit(const LoopLimit &) = delete;
    LoopLimit &operator=(const LoopLimit &) = delete;

private:
    static void CALLBACK Expired(HWND, UINT, UINT_PTR, DWORD);
    std::string what_;
    DWORD limitMs_;
    UINT_PTR timer_;
};

// Holds the given keys down in the thread's keyboard state for its
// lifetime: GetKeyState and the translation of shortcut keys read the
// modifiers there.
class HeldKeys {
public:
    explicit HeldKeys(std::vector<BYTE> keys);
    ~HeldKeys();
    HeldKeys(const HeldKeys &) = delete;
    HeldKeys &operator=(const HeldKeys &) = delete;

private:
    void Set(BYTE value);
    std::vector<BYTE> keys_;
};

// The text of a window (any length).
std::wstring TextOf(HWND window);
// The text of a menu item, by command (or with MF_BYPOSITION by position).
std::wstring MenuText(HMENU menu, UINT item, UINT flag = MF_BYCOMMAND);
// The text of a message box (its static control 0xFFFF).
std::wstring MessageBoxText(HWND box);
// The text of one row of a list box ("<no row>" when it has none there), and
// all of its rows.
std::wstring ListRow(HWND list, int row);
std::vector<std::wstring> ListRows(HWND list);
// Posts a button press to a dialog (WM_COMMAND with the button ID).
void Press(HWND dialog, int buttonId);
// Runs the thread's message queue until it is empty.
void PumpMessages();

} // namespace uitest

#endif
