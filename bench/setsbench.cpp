// The set folder's benchmark: the set-selection dialog in its four modes and
// the editor's Open and Save As through it, in a process that holds the real
// main window, on a set folder of many sets (the one that KALVEX_PROFILE
// names). The floor is what the data needs at least: one listing of the
// folder and one fill of a list box of the same size.
//
// The dialog is worked as a user would: once it is active, the name of a
// set is typed into the name field and OK pressed. A thread-local CBT hook
// sees the dialog become active and posts it a message of the benchmark's
// own; a message hook takes that message off the dialog's modal loop and
// does the typing there, so no timer's granularity is timed. The dialog's
// rows come from a listing thread: a script that needs them waits until
// the list is enabled, looking again after each of the dialog's own
// messages (WM_APP and up), one of which brings the rows.
#include "benchops.h"
#include "stats.h"

#include "editstate.h"
#include "mainwnd.h"
#include "resloc.h"
#include "resource.h"
#include "uas_ids.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

#include <strsafe.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// What to do with the next set-selection dialog, and what was seen there.
struct DialogScript {
    std::wstring Typed;    // typed into the name field before OK; empty: Cancel
    bool KeyByKey = false; // typed one character at a time, each timed
    bool ReadRows = false; // keep the list's rows
    bool WaitForRows = false; // act once the rows are in (always when reading them)
    bool Waiting = false;     // the script waits for the rows
    double ActiveAt = 0.0;    // when the dialog became active
    double ListedAt = 0.0;    // when the rows were seen in
    HWND Dialog = nullptr;
    std::vector<double> KeyMs;
    std::vector<std::wstring> Rows;
    std::wstring SelectedRow; // the list's selection after the typing
    int OtherBoxes = 0;       // message boxes: none is expected
};

DialogScript *Script = nullptr;
HHOOK CbtHook = nullptr;
HHOOK MessageHook = nullptr;
UINT ScriptMessage = 0;

std::wstring RowText(HWND list, LRESULT row)
{
    const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (n == LB_ERR)
        return std::wstring();
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(n));
    return text;
}

void RunScript(DialogScript &script)
{
    HWND dialog = script.Dialog;
    HWND list = GetDlgItem(dialog, IDC_UAS_LIST);
    if (script.WaitForRows || script.ReadRows) {
        script.Waiting = !IsWindowEnabled(list);
        if (script.Waiting)
            return;
        script.ListedAt = bench::NowMs();
    }
    if (script.ReadRows) {
        const LRESULT rows = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT row = 0; row < rows; ++row)
            script.Rows.push_back(RowText(list, row));
    }
    if (script.KeyByKey) {
        for (size_t typed = 1; typed <= script.Typed.size(); ++typed) {
            const std::wstring text = script.Typed.substr(0, typed);
            const double begin = bench::NowMs();
            SetDlgItemTextW(dialog, IDC_UAS_NAME, text.c_str());
            script.KeyMs.push_back(bench::NowMs() - begin);
        }
    } else if (!script.Typed.empty()) {
        SetDlgItemTextW(dialog, IDC_UAS_NAME, script.Typed.c_str());
    }
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    script.SelectedRow = selected == LB_ERR ? std::wstring() : RowText(list, selected);
    const int button = script.Typed.empty() ? IDCANCEL : IDOK;
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && Script) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (wcscmp(className, L"#32770") == 0) {
            if (GetDlgItem(window, IDC_UAS_NAME) && GetDlgItem(window, IDC_UAS_LIST)) {
                if (!Script->Dialog) {
                    Script->ActiveAt = bench::NowMs();
                    Script->Dialog = window;
                    PostMessageW(window, ScriptMessage, 0, 0);
                }
            } else if (window != Script->Dialog) {
                // A message box is a failure of the run: closed at once, and
                // the dialog behind it cancelled, so that nothing waits.
                ++Script->OtherBoxes;
                const int button = GetDlgItem(window, IDCANCEL) ? IDCANCEL
                                   : GetDlgItem(window, IDNO)   ? IDNO
                                                                : IDOK;
                PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                if (Script->Dialog)
                    PostMessageW(Script->Dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
        }
    }
    return CallNextHookEx(CbtHook, code, wParam, lParam);
}

LRESULT CALLBACK TakeScriptMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        MSG *message = reinterpret_cast<MSG *>(lParam);
        if (message->message == ScriptMessage && Script && message->hwnd == Script->Dialog) {
            message->message = WM_NULL;
            RunScript(*Script);
        } else if (message->message >= WM_APP && Script && Script->Waiting &&
                   message->hwnd == Script->Dialog) {
            PostMessageW(Script->Dialog, ScriptMessage, 0, 0);
        }
    }
    return CallNextHookEx(MessageHook, code, wParam, lParam);
}

std::wstring ProfileValue(const wchar_t *key)
{
    wchar_t value[1024] = {};
    int32_t size = 1024;
    KxStatus status = 1;
    ProfReadStringW(L"Kalvex_Section", key, value, &size, &status);
    return status == 0 ? std::wstring(value) : std::wstring();
}

// The names of the folder's set files, as one listing gives them.
std::vector<std::wstring> ListFolder(const std::wstring &dir)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

struct Timed {
    std::vector<double> Open;  // until the dialog is active
    std::vector<double> Listed; // until the rows were seen in (scripts that wait for them)
    std::vector<double> Whole; // until the command or the dialog returned
    bool Ok = true;
};

// Runs step (which opens one dialog) up to MaxRuns times within the budget.
template <typename Step> Timed Repeat(DialogScript &prototype, Step step)
{
    Timed timed;
    double spent = 0.0;
    while (static_cast<int>(timed.Whole.size()) < bench::MaxRuns &&
           (timed.Whole.size() < 3 || spent < bench::BudgetMs)) {
        DialogScript script = prototype;
        Script = &script;
        const double begin = bench::NowMs();
        const bool ok = step(script);
        const double end = bench::NowMs();
        Script = nullptr;
        bench::Pump();
        timed.Ok = timed.Ok && ok && script.Dialog && script.OtherBoxes == 0;
        timed.Open.push_back(script.ActiveAt - begin);
        if (script.ListedAt > 0.0)
            timed.Listed.push_back(script.ListedAt - begin);
        timed.Whole.push_back(end - begin);
        spent += end - begin;
        prototype.KeyMs.insert(prototype.KeyMs.end(), script.KeyMs.begin(), script.KeyMs.end());
        if (prototype.ReadRows && prototype.Rows.empty())
            prototype.Rows = script.Rows;
        prototype.SelectedRow = script.SelectedRow;
        if (spent > 3 * bench::BudgetMs)
            break;
    }
    return timed;
}

// The rows in the order the list box keeps: never a row before one that
// sorts before it.
bool InListBoxOrder(HWND list, const std::vector<std::wstring> &rows)
{
    const LCID locale = static_cast<LCID>(SendMessageW(list, LB_GETLOCALE, 0, 0));
    for (size_t i = 1; i < rows.size(); ++i)
        if (CompareStringW(locale, NORM_IGNORECASE, rows[i - 1].c_str(), -1, rows[i].c_str(), -1) ==
            CSTR_GREATER_THAN)
            return false;
    return true;
}

} // namespace

int bench::SetsBench(size_t sets)
{
    ScriptMessage = RegisterWindowMessageW(L"UasBenchSetsScript");
    CbtHook = SetWindowsHookExW(WH_CBT, WatchActivation, nullptr, GetCurrentThreadId());
    MessageHook =
        SetWindowsHookExW(WH_GETMESSAGE, TakeScriptMessage, nullptr, GetCurrentThreadId());

    ResGetStringModule();
    int32_t unitStatus = 0;
    UnitInitialize(&unitStatus);
    double begin = bench::NowMs();
    HWND window = MainWindowCreate(nullptr);
    Once("sets.startup.window", bench::NowMs() - begin);
    if (!window) {
        fprintf(stderr, "uasbench: the main window did not come up\n");
        return 1;
    }
    Pump();

    const std::wstring dir = ProfileValue(L"Set_Dir");
    std::vector<std::wstring> names = ListFolder(dir);
    Check("sets.folder.count", names.size() == sets);
    if (names.empty())
        return 1;

    // The floor: one listing of the folder, one fill of a list box.
    HWND bare = CreateWindowExW(
        0, L"listbox", L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 0, 0,
        200, 200, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    Op("sets.floor.list", [&dir, sets] {
        const double t = bench::NowMs();
        const size_t listed = ListFolder(dir).size();
        const double ms = bench::NowMs() - t;
        if (listed != sets)
            Check("sets.floor.list.count", false);
        return ms;
    });
    Op("sets.floor", [&dir, bare, sets] {
        const double t = bench::NowMs();
        const std::vector<std::wstring> listed = ListFolder(dir);
        SendMessageW(bare, WM_SETREDRAW, FALSE, 0);
        SendMessageW(bare, LB_RESETCONTENT, 0, 0);
        SendMessageW(bare, LB_INITSTORAGE, listed.size(), 32 * sizeof(wchar_t));
        for (const std::wstring &name : listed)
            SendMessageW(bare, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        SendMessageW(bare, WM_SETREDRAW, TRUE, 0);
        const double ms = bench::NowMs() - t;
        if (static_cast<size_t>(SendMessageW(bare, LB_GETCOUNT, 0, 0)) != sets)
            Check("sets.floor.rows", false);
        return ms;
    });
    DestroyWindow(bare);
    // The floor of Save As: a new file written into the folder the safe
    // way, as the program writes (its name looked up, a temporary file
    // beside it, flushed, renamed over it). Each step that names a file the
    // folder does not hold yet has the file system search the folder.
    Op("sets.floor.write", [&dir] {
        const std::wstring target = dir + L"\\Bench floor set.uas";
        const char bytes[1024] = {};
        const double t = bench::NowMs();
        wchar_t temp[MAX_PATH] = L"";
        bool ok = GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
                  GetTempFileNameW(dir.c_str(), L"uas", 0, temp) != 0;
        HANDLE file = ok ? CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr)
                         : INVALID_HANDLE_VALUE;
        DWORD written = 0;
        ok = file != INVALID_HANDLE_VALUE &&
             WriteFile(file, bytes, sizeof bytes, &written, nullptr) && FlushFileBuffers(file);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        ok = ok &&
             MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        const double ms = bench::NowMs() - t;
        if (!ok)
            Check("sets.floor.write.result", false);
        DeleteFileW(temp);
        DeleteFileW(target.c_str());
        return ms;
    });

    Op("sets.catalogue", [sets] {
        KxStatus status = 0;
        const double t = bench::NowMs();
        ListHandle list = UasCreateUasInfoList(&status);
        const double ms = bench::NowMs() - t;
        size_t count = 0;
        ListIterator it;
        void *item = nullptr;
        ListIteratorInit(&it, list);
        while (ListIteratorNext(&it, &item)) {
            KxFree(item);
            ++count;
        }
        ListFree(list);
        if (count != sets || status != 0)
            Check("sets.catalogue.count", false);
        return ms;
    });

    // A set from the middle of the folder, by its name on disk.
    const std::wstring chosen =
        names[names.size() / 2].substr(0, names[names.size() / 2].size() - 4);
    const std::wstring chosenPath = dir + L"\\" + chosen + L".uas";

    const auto openCommand = [window](DialogScript &) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_OPEN, 0), 0);
        return true;
    };

    // Open: the dialog, the choice typed at once, the set read and shown.
    DialogScript open;
    open.Typed = chosen;
    Timed opened = Repeat(open, openCommand);
    Series("sets.open", opened.Open);
    Series("sets.choose", opened.Whole);
    Check("sets.open.result", opened.Ok && chosen == Editor.CurrentSetName);

    // Open, the rows awaited and read, then chosen from them.
    DialogScript browse;
    browse.Typed = chosen;
    browse.ReadRows = true;
    Timed browsed = Repeat(browse, openCommand);
    Series("sets.listed", browsed.Listed);
    Series("sets.browse", browsed.Whole);
    HWND probe = CreateWindowExW(0, L"listbox", L"", WS_CHILD | LBS_SORT | LBS_HASSTRINGS, 0, 0, 10,
                                 10, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    Check("sets.browse.result",
          browsed.Ok && chosen == Editor.CurrentSetName && browse.SelectedRow == chosen);
    Check("sets.dialog.rows", browse.Rows.size() == sets && InListBoxOrder(probe, browse.Rows));
    DestroyWindow(probe);

    // Save As under a new name: the dialog, the choice, the set written.
    const std::wstring fresh = L"Bench new set";
    const std::wstring freshPath = dir + L"\\" + fresh + L".uas";
    DialogScript saveAs;
    saveAs.Typed = fresh;
    bool written = true;
    Timed saved = Repeat(saveAs, [window, &freshPath, &written](DialogScript &) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_SAVEAS, 0), 0);
        written = written && GetFileAttributesW(freshPath.c_str()) != INVALID_FILE_ATTRIBUTES;
        DeleteFileW(freshPath.c_str());
        return true;
    });
    Series("sets.saveas.open", saved.Open);
    Series("sets.saveas", saved.Whole);
    Check("sets.saveas.result", saved.Ok && written);

    // Delete and Global Default: the dialog alone (the editor's commands
    // would delete the set or change the user's default).
    for (const int16_t mode : {UAS_MODE_DELETE, UAS_MODE_GLOBAL}) {
        DialogScript script;
        script.Typed = chosen;
        std::wstring returned;
        Timed timed = Repeat(script, [window, mode, &chosenPath, &returned](DialogScript &) {
            wchar_t path[UAS_GLOBAL_PATH_CHARS] = L"";
            wchar_t name[UAS_NAME_CHARS] = L"";
            if (mode == UAS_MODE_GLOBAL)
                StringCchCopyW(path, UAS_GLOBAL_PATH_CHARS, chosenPath.c_str());
            const bool ok = UasMapSelDlg(window, mode, path, name) == 1;
            returned = name;
            return ok;
        });
        const bool global = mode == UAS_MODE_GLOBAL;
        Series(global ? "sets.global" : "sets.delete", timed.Whole);
        Check(global ? "sets.global.result" : "sets.delete.result", timed.Ok && returned == chosen);
    }

    // Typing the name one character at a time into an open dialog.
    DialogScript typing;
    typing.Typed = chosen;
    typing.KeyByKey = true;
    typing.WaitForRows = true;
    Timed typed = Repeat(typing, openCommand);
    Series("sets.keystroke", typing.KeyMs);
    double slowest = 0.0;
    for (double ms : typing.KeyMs)
        slowest = ms > slowest ? ms : slowest;
    Once("sets.keystroke.slowest", slowest);
    Check("sets.keystroke.result", typed.Ok && typing.SelectedRow == chosen);

    HelpQuit(window);
    DestroyWindow(window);
    UnhookWindowsHookEx(MessageHook);
    UnhookWindowsHookEx(CbtHook);
    return bench::FailureCount() == 0 ? 0 : 1;
}
