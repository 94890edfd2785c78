// The set-selection dialog from outside, as a user meets it: starts the
// editor on an installation, then runs File > Open until the chosen set is
// shown, and File > Save As until the new set is shown, several times each,
// from another process. Each run posts the menu command to the editor's
// window, waits for the dialog, types the set's name into its name field,
// presses OK and waits until the editor's set-name label names the set.
// A third kind of run, Open as a user who picks from the list, waits for
// the dialog's rows (its list enabled) before typing.
//
//   uasdrive --runs N --profile PATH EDITOR_EXE EDITOR_CLASS SET_A SET_B
//
// Open opens SET_A, the Open that picks from the list SET_B, so that every
// run changes what the label shows. Save As saves under a new name each run, and the file is
// deleted after the run. Output, tab-separated: "drive open|saveas MEDIAN_MS
// MIN_MS RUNS" and, per run, "drivesample KIND RUN MS DIALOG_MS"; also
// "drive browse.listed ...", the time until the rows were in.
#include "stats.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD StepTimeoutMs = 120000;
constexpr int NameField = 1154;   // the dialog's name field (IDC_UAS_NAME)
constexpr int SetList = 1156;     // the dialog's list of sets (IDC_UAS_LIST)
constexpr int SetNameLabel = 70;  // the editor's set-name label
constexpr WPARAM MenuOpen = 13;   // IDM_OPEN
constexpr WPARAM MenuSaveAs = 15; // IDM_SAVEAS
const std::wstring SavedName = L"Bench drive set ";

struct Editor {
    PROCESS_INFORMATION Process = {};
    HWND Window = nullptr;
};

HWND TopWindowOf(const wchar_t *className, DWORD processId)
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// The editor's set-selection dialog, once it is on screen.
HWND SelectionDialog(DWORD processId)
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window) && GetDlgItem(window, NameField))
            return window;
    }
    return nullptr;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                        StepTimeoutMs, nullptr);
    return text;
}

bool EndsWith(const std::wstring &text, const std::wstring &tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Polls until done() or the time-out; a millisecond between looks.
template <typename Done> bool WaitFor(Done done)
{
    const double begin = bench::NowMs();
    while (!done()) {
        if (bench::NowMs() - begin > StepTimeoutMs)
            return false;
        Sleep(1);
    }
    return true;
}

bool Start(const std::wstring &exe, const std::wstring &className, Editor &editor)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &editor.Process))
            break;
        // Wine now and then fails a start on a busy machine; only that is tried again.
        if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 2)
            return false;
    }
    const DWORD id = editor.Process.dwProcessId;
    if (!WaitFor([&] { return (editor.Window = TopWindowOf(className.c_str(), id)) != nullptr; }))
        return false;
    WaitForInputIdle(editor.Process.hProcess, StepTimeoutMs);
    return true;
}

// One command through the dialog: the time until the label names the set,
// and until the dialog showed; with listedMs, the rows are awaited first
// and the time until they were in is kept there.
bool Run(Editor &editor, WPARAM command, const std::wstring &name, double &ms, double &dialogMs,
         double *listedMs = nullptr)
{
    const DWORD id = editor.Process.dwProcessId;
    HWND label = GetDlgItem(editor.Window, SetNameLabel);
    const double begin = bench::NowMs();
    PostMessageW(editor.Window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = SelectionDialog(id)) != nullptr; })) {
        fwprintf(stderr, L"uasdrive: no dialog for command %u\n", static_cast<unsigned>(command));
        return false;
    }
    dialogMs = bench::NowMs() - begin;
    if (listedMs) {
        HWND list = GetDlgItem(dialog, SetList);
        if (!WaitFor([&] { return IsWindowEnabled(list) != FALSE; })) {
            fwprintf(stderr, L"uasdrive: the dialog's rows did not come in\n");
            return false;
        }
        *listedMs = bench::NowMs() - begin;
    }
    SendMessageTimeoutW(GetDlgItem(dialog, NameField), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(name.c_str()), SMTO_BLOCK, StepTimeoutMs, nullptr);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    if (!WaitFor([&] { return EndsWith(TextOf(label), name) && !SelectionDialog(id); })) {
        fwprintf(stderr, L"uasdrive: the label shows \"%ls\", not %ls\n", TextOf(label).c_str(),
                 name.c_str());
        return false;
    }
    ms = bench::NowMs() - begin;
    return true;
}

void Report(const char *kind, const std::vector<double> &samples)
{
    double fastest = samples.empty() ? 0.0 : samples.front();
    for (double s : samples)
        fastest = s < fastest ? s : fastest;
    printf("drive\t%s\t%.2f\t%.2f\t%zu\n", kind, bench::Median(samples), fastest, samples.size());
    fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    int runs = 5;
    std::vector<std::wstring> positional;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc)
            runs = _wtoi(argv[++i]);
        else if (arg == L"--profile" && i + 1 < argc)
            SetEnvironmentVariableW(L"KALVEX_PROFILE", argv[++i]);
        else
            positional.push_back(arg);
    }
    if (positional.size() != 4 || runs < 1) {
        fwprintf(stderr, L"usage: uasdrive --runs N --profile PATH EDITOR_EXE EDITOR_CLASS SET_A "
                         L"SET_B\n");
        return 2;
    }
    Editor editor;
    if (!Start(positional[0], positional[1], editor)) {
        fwprintf(stderr, L"uasdrive: the editor did not come up\n");
        return 1;
    }
    wchar_t setDir[MAX_PATH] = L"";
    GetPrivateProfileStringW(L"Kalvex_Section", L"Set_Dir", L"", setDir, MAX_PATH,
                             _wgetenv(L"KALVEX_PROFILE"));

    // Open (the name typed at once), Open once more with another set as a
    // user who picks from the list (the rows awaited), and Save As; each
    // timed whole and up to its dialog (or, picking, up to the rows).
    struct Kind {
        const char *Label;
        const char *PartLabel;
        WPARAM Command;
        bool Listed;
        std::wstring Name;
        std::vector<double> Whole, Part;
    };
    Kind kinds[] = {{"open", "open.dialog", MenuOpen, false, positional[2], {}, {}},
                    {"browse", "browse.listed", MenuOpen, true, positional[3], {}, {}},
                    {"saveas", "saveas.dialog", MenuSaveAs, false, L"", {}, {}}};
    int failures = 0;
    // One run of each first, not counted: the first dialog of a process
    // loads what every later one finds ready.
    for (int run = -1; run < runs && failures == 0; ++run) {
        const std::wstring saved = SavedName + std::to_wstring(run + 1);
        for (Kind &kind : kinds) {
            double ms = 0.0;
            double dialogMs = 0.0;
            double listedMs = 0.0;
            const std::wstring &name = kind.Command == MenuSaveAs ? saved : kind.Name;
            if (!Run(editor, kind.Command, name, ms, dialogMs, kind.Listed ? &listedMs : nullptr)) {
                ++failures;
                continue;
            }
            const double part = kind.Listed ? listedMs : dialogMs;
            if (run >= 0) {
                kind.Whole.push_back(ms);
                kind.Part.push_back(part);
                printf("drivesample\t%s\t%d\t%.2f\t%.2f\n", kind.Label, run, ms, part);
            }
        }
        DeleteFileW((std::wstring(setDir) + L"\\" + saved + L".uas").c_str());
        fflush(stdout);
    }
    for (const Kind &kind : kinds) {
        Report(kind.Label, kind.Whole);
        Report(kind.PartLabel, kind.Part);
    }

    PostMessageW(editor.Window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(editor.Process.hProcess, StepTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(editor.Process.hProcess, 3);
    CloseHandle(editor.Process.hThread);
    CloseHandle(editor.Process.hProcess);
    if (failures)
        fwprintf(stderr, L"uasdrive: a command did not come through\n");
    return failures == 0 ? 0 : 1;
}
