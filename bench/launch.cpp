// The start-up launcher: starts the floor program and the editor one after
// the other, alternately, times each from CreateProcessW until its main
// window is visible, closes it with WM_CLOSE and waits for the process to
// end. Alternating keeps slow drifts of the machine (other users of the two
// cores, the wineserver's caches) from favouring either program.
//
//   uaslaunch --label L --runs N --budget SECONDS --profile PATH|-
//             [--warmup PAIRS] FLOOR_EXE FLOOR_CLASS PROGRAM_EXE PROGRAM_CLASS
//
// --profile sets KALVEX_PROFILE for both children ("-" removes it, so the
// editor reads kalvex.ini beside itself). Warm-up pairs (default 1) are run
// and not counted: the first starts after a build load the files from disk.
// The runs stop early once the
// budget is spent, after at least one pair. Output, tab-separated: one
// "sample" line per start, then one "startup" line with the medians. Closing
// is timed twice: until the window is gone and until the process has ended,
// both from the moment the program waits for input (WaitForInputIdle), which
// is timed from the start too.
#include "stats.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD VisibleTimeoutMs = 600000; // a quadratic start-up at 32 767 dimensions
constexpr DWORD ExitTimeoutMs = 30000;
constexpr DWORD IdleTimeoutMs = 30000;

struct Program {
    std::wstring Exe;
    std::wstring ClassName;
    std::vector<double> StartMs;
    std::vector<double> ExitMs;
    std::vector<double> GoneMs; // until the window was destroyed
    std::vector<double> IdleMs; // from the start until it waited for input
    int Failures = 0;
};

// The visible top-level window of that class that belongs to the process.
HWND VisibleWindowOf(const std::wstring &className, DWORD processId)
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, className.c_str(), nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// One start: true with both times when the window came up and the process
// ended after WM_CLOSE.
bool RunOnce(const Program &program, double &startMs, double &idleMs, double &exitMs,
             double &goneMs)
{
    std::wstring commandLine = L"\"" + program.Exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double begin = bench::NowMs();
    if (!CreateProcessW(program.Exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        fwprintf(stderr, L"uaslaunch: cannot start %ls (error %lu)\n", program.Exe.c_str(),
                 GetLastError());
        return false;
    }
    HWND window = nullptr;
    bool ended = false;
    while (!window) {
        window = VisibleWindowOf(program.ClassName, process.dwProcessId);
        if (window)
            break;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (bench::NowMs() - begin > VisibleTimeoutMs)
            break;
        // A millisecond between looks: the child needs the wineserver more
        // than the launcher does.
        Sleep(1);
    }
    startMs = bench::NowMs() - begin;
    bool ok = window != nullptr;
    if (!ok)
        fwprintf(stderr, L"uaslaunch: %ls %ls without a visible window\n", program.Exe.c_str(),
                 ended ? L"ended" : L"timed out");

    // Closing is timed from a window that has finished its start: what a
    // program still does after its window shows (painting, its icons, taking
    // the foreground) is not its closing.
    if (window)
        WaitForInputIdle(process.hProcess, IdleTimeoutMs);
    idleMs = bench::NowMs() - begin;
    const double closing = bench::NowMs();
    goneMs = 0.0;
    if (window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        // When the window is gone, and then when the process has ended.
        while (IsWindow(window) && bench::NowMs() - closing < ExitTimeoutMs &&
               WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
        }
        goneMs = bench::NowMs() - closing;
    }
    if (WaitForSingleObject(process.hProcess, window ? ExitTimeoutMs : 0) != WAIT_OBJECT_0) {
        if (window)
            fwprintf(stderr, L"uaslaunch: %ls did not end after WM_CLOSE\n", program.Exe.c_str());
        TerminateProcess(process.hProcess, 3);
        WaitForSingleObject(process.hProcess, ExitTimeoutMs);
        ok = false;
    }
    exitMs = bench::NowMs() - closing;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ok;
}

void Usage()
{
    fwprintf(stderr, L"usage: uaslaunch --label L --runs N --budget SECONDS --profile PATH|- "
                     L"[--warmup PAIRS] FLOOR_EXE FLOOR_CLASS PROGRAM_EXE PROGRAM_CLASS\n");
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    std::wstring label = L"demo";
    int runs = 20;
    int warmUpPairs = 1;
    double budgetMs = 60000.0;
    std::vector<std::wstring> positional;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--label" && hasValue) {
            label = argv[++i];
        } else if (arg == L"--runs" && hasValue) {
            runs = _wtoi(argv[++i]);
        } else if (arg == L"--warmup" && hasValue) {
            warmUpPairs = _wtoi(argv[++i]);
        } else if (arg == L"--budget" && hasValue) {
            budgetMs = _wtof(argv[++i]) * 1000.0;
        } else if (arg == L"--profile" && hasValue) {
            const std::wstring profile = argv[++i];
            SetEnvironmentVariableW(L"KALVEX_PROFILE", profile == L"-" ? nullptr : profile.c_str());
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 4 || runs < 1) {
        Usage();
        return 2;
    }
    Program programs[2];
    programs[0].Exe = positional[0];
    programs[0].ClassName = positional[1];
    programs[1].Exe = positional[2];
    programs[1].ClassName = positional[3];
    const wchar_t *const names[2] = {L"floor", L"program"};

    // The first start of each pays for loading files into the caches.
    for (int w = 0; w < warmUpPairs; ++w) {
        for (Program &p : programs) {
            double startMs = 0;
            double exitMs = 0;
            double idleMs = 0;
            double goneMs = 0;
            RunOnce(p, startMs, idleMs, exitMs, goneMs);
        }
    }

    const double begin = bench::NowMs();
    for (int run = 0; run < runs; ++run) {
        for (int k = 0; k < 2; ++k) {
            Program &p = programs[k];
            double startMs = 0;
            double exitMs = 0;
            double idleMs = 0;
            double goneMs = 0;
            if (RunOnce(p, startMs, idleMs, exitMs, goneMs)) {
                p.StartMs.push_back(startMs);
                p.IdleMs.push_back(idleMs);
                p.ExitMs.push_back(exitMs);
                p.GoneMs.push_back(goneMs);
                wprintf(L"sample\t%ls\t%ls\t%d\t%.2f\t%.2f\t%.2f\t%.2f\n", label.c_str(), names[k],
                        run, startMs, exitMs, goneMs, idleMs);
            } else {
                ++p.Failures;
            }
            fflush(stdout);
        }
        if (bench::NowMs() - begin > budgetMs)
            break;
    }
    const size_t pairs = std::min(programs[0].StartMs.size(), programs[1].StartMs.size());
    wprintf(L"startup\t%ls\t%zu\t%.2f\t%.2f\t%.2f\t%.2f\t%d\t%.2f\t%.2f\t%.2f\t%.2f\n",
            label.c_str(), pairs, bench::Median(programs[0].StartMs),
            bench::Median(programs[1].StartMs), bench::Median(programs[0].ExitMs),
            bench::Median(programs[1].ExitMs), programs[0].Failures + programs[1].Failures,
            bench::Median(programs[0].GoneMs), bench::Median(programs[1].GoneMs),
            bench::Median(programs[0].IdleMs), bench::Median(programs[1].IdleMs));
    return programs[0].Failures + programs[1].Failures == 0 && pairs > 0 ? 0 : 1;
}
