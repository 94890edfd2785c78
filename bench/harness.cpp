// The in-process benchmark: the program's own routines, timed one by one in
// a process that holds the real main window, for one units library (the one
// that KALVEX_PROFILE names). The units library loads its data once per
// process, so the run script starts this program once per size.
//
//   uasbench --size N [--runs R] [--budget SECONDS]
//   uasbench --sets N [--runs R] [--budget SECONDS]
//
// With --sets, the profile's set folder holds N sets and the set-selection
// dialog is timed instead (setsbench.cpp).
//
// Each operation runs up to R times and stops early once it has used the
// budget (a single run may take longer); the median and the fastest run are
// printed. After the timings come the memory figures and, before any of
// them is trusted, checks that every operation did what it should: a
// benchmark of code that went wrong proves nothing. Output is tab-separated
// lines: "op KEY MEDIAN_MS MIN_MS RUNS", "mem KEY VALUE", "check KEY ok|fail".
#include "benchops.h"
#include "listcheck.h"
#include "stats.h"

#include "controls.h"
#include "dimcat.h"
#include "editstate.h"
#include "mainwnd.h"
#include "resloc.h"
#include "resource.h"
#include "setcmds.h"
#include "setfile.h"
#include "unitsfile.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace bench {

int MaxRuns = 7;
double BudgetMs = 3000.0;

namespace {
int Failures = 0;
} // namespace

int FailureCount()
{
    return Failures;
}

void Series(const char *key, const std::vector<double> &samples)
{
    if (samples.empty()) {
        Check(key, false);
        return;
    }
    double fastest = samples.front();
    for (double s : samples)
        fastest = s < fastest ? s : fastest;
    printf("op\t%s\t%.3f\t%.3f\t%zu\n", key, Median(samples), fastest, samples.size());
    fflush(stdout);
}

void Op(const char *key, const std::function<double()> &run)
{
    std::vector<double> samples;
    double spent = 0.0;
    while (static_cast<int>(samples.size()) < MaxRuns && (samples.size() < 3 || spent < BudgetMs)) {
        const double ms = run();
        samples.push_back(ms);
        spent += ms;
        // One run that ate the budget several times over is all the machine
        // can afford; its time already tells the story.
        if (spent > 3 * BudgetMs)
            break;
    }
    Series(key, samples);
}

// A single timing of something that happens once per process.
void Once(const char *key, double ms)
{
    printf("op\t%s\t%.3f\t%.3f\t1\n", key, ms, ms);
    fflush(stdout);
}

void Check(const char *key, bool ok)
{
    printf("check\t%s\t%s\n", key, ok ? "ok" : "fail");
    fflush(stdout);
    if (!ok)
        ++Failures;
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace bench

namespace {

using bench::BudgetMs;
using bench::Check;
using bench::MaxRuns;
using bench::Once;
using bench::Op;
using bench::Pump;

void Mem(const char *key, unsigned long long value)
{
    printf("mem\t%s\t%llu\n", key, value);
    fflush(stdout);
}

// The harness's own bare list box: same style as the editor's lists.
constexpr DWORD BareListStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
constexpr int SelectRowStride = 7919; // a prime: rows spread over the whole list

// ---- memory ---------------------------------------------------------------

PROCESS_MEMORY_COUNTERS_EX ProcessCounters()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters),
                              sizeof counters))
        counters = PROCESS_MEMORY_COUNTERS_EX{};
    return counters;
}

// Bytes and blocks in use in all of the process's heaps (the installation's
// blocks come from the process heap, the runtime's from its own heap).
void HeapInUse(unsigned long long &bytes, unsigned long long &blocks)
{
    bytes = 0;
    blocks = 0;
    std::vector<HANDLE> heaps(64);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = GetProcessHeaps(count, heaps.data());
    }
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                bytes += entry.cbData;
                ++blocks;
            }
        }
        HeapUnlock(heaps[i]);
    }
}

// The general support library's own count of its blocks, when it has one.
using KxMemoryUsageFn = void(WINAPI *)(uint32_t *blocks, uint64_t *bytes);
KxMemoryUsageFn KxUsage()
{
    HMODULE vel32 = GetModuleHandleW(L"vel32.dll");
    return vel32 ? reinterpret_cast<KxMemoryUsageFn>(
                       reinterpret_cast<void *>(GetProcAddress(vel32, "KxMemoryUsage")))
                 : nullptr;
}

struct MemoryPoint {
    unsigned long long Private = 0;
    unsigned long long Pagefile = 0;
    unsigned long long WorkingSet = 0;
    unsigned long long HeapBytes = 0;
    unsigned long long HeapBlocks = 0;
    uint64_t KxBytes = 0;
    uint32_t KxBlocks = 0;
};

MemoryPoint Measure()
{
    MemoryPoint point;
    const PROCESS_MEMORY_COUNTERS_EX counters = ProcessCounters();
    point.Private = counters.PrivateUsage;
    point.Pagefile = counters.PagefileUsage;
    point.WorkingSet = counters.WorkingSetSize;
    HeapInUse(point.HeapBytes, point.HeapBlocks);
    if (KxMemoryUsageFn usage = KxUsage())
        usage(&point.KxBlocks, &point.KxBytes);
    return point;
}

void Report(const char *stage, const MemoryPoint &point)
{
    const std::string s = stage;
    Mem((s + ".private").c_str(), point.Private);
    Mem((s + ".pagefile").c_str(), point.Pagefile);
    Mem((s + ".workingset").c_str(), point.WorkingSet);
    Mem((s + ".heap.bytes").c_str(), point.HeapBytes);
    Mem((s + ".heap.blocks").c_str(), point.HeapBlocks);
    if (KxUsage()) {
        Mem((s + ".kx.bytes").c_str(), point.KxBytes);
        Mem((s + ".kx.blocks").c_str(), point.KxBlocks);
    }
}

// ---- message boxes ----------------------------------------------------------

// A message box during the benchmark is a failure of the operation: it is
// closed at once, so that the run never waits for a user, and counted.
HHOOK BoxHook = nullptr;
int BoxesSeen = 0;

LRESULT CALLBACK CloseBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (wcscmp(className, L"#32770") == 0) {
            ++BoxesSeen;
            const int button = GetDlgItem(window, IDCANCEL) ? IDCANCEL : IDOK;
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(BoxHook, code, wParam, lParam);
}

// ---- the catalogue ----------------------------------------------------------

std::vector<DimEntry *> Entries(ListHandle catalogue)
{
    return listcheck::Items<DimEntry>(catalogue);
}

size_t Count(ListHandle list)
{
    return listcheck::Items<void>(list).size();
}

std::wstring Row(HWND list, int row)
{
    const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, row, 0);
    if (n == LB_ERR)
        return std::wstring();
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(n));
    return text;
}

std::wstring ProfileValue(const wchar_t *key)
{
    wchar_t value[1024] = {};
    int32_t size = 1024;
    KxStatus status = 1;
    ProfReadStringW(L"Kalvex_Section", key, value, &size, &status);
    return status == 0 ? std::wstring(value) : std::wstring();
}

// ---- the steps ------------------------------------------------------------

// The first window of a process pays for the platform's window system
// (display connection, fonts, control classes). A bare window with the
// editor's eight kinds of control takes that cost before the editor's
// window is timed, and shows how big it is.
double PlatformWindowMs()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"UasBenchBare";
    RegisterClassW(&windowClass);
    const double begin = bench::NowMs();
    HWND window = CreateWindowExW(0, L"UasBenchBare", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
    const wchar_t *const kinds[8] = {L"static", L"static",  L"edit",   L"button",
                                     L"static", L"listbox", L"static", L"listbox"};
    for (int i = 0; i < 8; ++i)
        CreateWindowExW(0, kinds[i], L"", WS_CHILD | WS_VISIBLE, 0, i * 20, 100, 20, window,
                        nullptr, windowClass.hInstance, nullptr);
    const double ms = bench::NowMs() - begin;
    DestroyWindow(window);
    Pump();
    return ms;
}

// The units library: the one-off load inside the library, the parser on its
// own (repeatable, since it is linked here), and the two lookups whose cost
// grows with the library.
void UnitsSteps(size_t size)
{
    const std::wstring unitsFile = ProfileValue(L"Units_File");
    Op("units.parse", [&unitsFile, size] {
        velx::UnitTable table;
        velx::UnitParseFault fault;
        const double begin = bench::NowMs();
        const bool ok = velx::UnitReadFile(unitsFile, table, fault);
        const double ms = bench::NowMs() - begin;
        if (!ok || table.Size() != size)
            Check("units.parse.result", false);
        return ms;
    });

    // One case-blind comparison, the unit of the parser's check for repeated
    // names; names differ only at the end, as generated names do.
    constexpr int Comparisons = 50000;
    int32_t sink = 0;
    std::vector<double> batches;
    for (int batch = 0; batch < 7; ++batch) {
        const double begin = bench::NowMs();
        for (int i = 0; i < Comparisons; ++i)
            sink +=
                IntlStrCmpIW(L"Dimension000001", (i & 1) ? L"Dimension000002" : L"Dimension000003");
        batches.push_back((bench::NowMs() - begin) / Comparisons);
    }
    const double perCallMs = bench::Median(batches);
    Once("units.cmp.ns", perCallMs * 1.0e6 + (sink == 12345 ? 1e-9 : 0.0));
    Once("units.dupcheck.predicted", perCallMs * static_cast<double>(size) * (size - 1) / 2.0);

    KxStatus status = 0;
    UnitList names = UnitGetDimList(&status);
    std::wstring first = names && names[0] ? names[0] : L"";
    std::wstring last = first;
    for (wchar_t **n = names; n && *n; ++n)
        last = *n;
    if (names)
        UnitDestroyList(names);
    for (const auto &which : {std::make_pair("units.symlist.first", first),
                              std::make_pair("units.symlist.last", last)}) {
        const std::wstring name = which.second;
        Op(which.first, [&name] {
            KxStatus s = 0;
            const double t = bench::NowMs();
            UnitList symbols = UnitGetSymList(name.c_str(), &s);
            const double ms = bench::NowMs() - t;
            if (symbols)
                UnitDestroyList(symbols);
            return ms;
        });
    }
}

// One catalogue made and timed: kept in *kept, or released at once.
double TimedCatalogue(size_t size, const char *check, std::vector<ListHandle> *kept)
{
    KxStatus status = 0;
    const double begin = bench::NowMs();
    ListHandle catalogue = DimCatalogueCreate(&status);
    const double ms = bench::NowMs() - begin;
    if (status != 0 || !catalogue || Count(catalogue) != size)
        Check(check, false);
    if (kept)
        kept->push_back(catalogue);
    else if (catalogue)
        DimCatalogueFree(catalogue);
    return ms;
}

void CatalogueSteps(size_t size)
{
    Op("catalogue", [size] { return TimedCatalogue(size, "catalogue.result", nullptr); });
    // The same in memory that the process has never touched, as at
    // start-up: the catalogues made before are kept until the end, so that
    // the pools cannot give their blocks again.
    std::vector<ListHandle> kept;
    Op("catalogue.fresh",
       [size, &kept] { return TimedCatalogue(size, "catalogue.fresh.result", &kept); });
    for (ListHandle catalogue : kept)
        DimCatalogueFree(catalogue);
    // What the platform takes for a page touched for the first time.
    Op("platform.firsttouch", [] {
        const size_t bytes = 16u << 20;
        auto *fresh = static_cast<volatile char *>(
            VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!fresh)
            return 0.0;
        const double begin = bench::NowMs();
        for (size_t at = 0; at < bytes; at += 4096)
            fresh[at] = 1;
        const double ms = (bench::NowMs() - begin) / 16.0;
        VirtualFree(const_cast<char *>(fresh), 0, MEM_RELEASE);
        return ms;
    });
    Op("names", [size] {
        KxStatus status = 0;
        const double begin = bench::NowMs();
        ListHandle names = DimNamesCreate(&status);
        const double ms = bench::NowMs() - begin;
        if (!names || Count(names) != size)
            Check("names.result", false);
        if (names)
            DimNamesFree(names);
        return ms;
    });
    Op("setcatalogue", [] {
        KxStatus status = 0;
        const double begin = bench::NowMs();
        ListHandle sets = UasCreateUasInfoList(&status);
        const double ms = bench::NowMs() - begin;
        if (sets)
            DimNamesFree(sets); // a list of blocks, released like the names
        return ms;
    });
}

// The floor of the start-up's data in the process that timed the start-up:
// the units file read and checked, and the Dimensions list filled, each the
// median of three. A machine that runs slower in one process than in the
// next then moves the start-up and its floor alike.
double StartupFloorMs()
{
    const std::wstring unitsFile = ProfileValue(L"Units_File");
    std::vector<double> parse;
    std::vector<double> fill;
    for (int i = 0; i < 3; ++i) {
        velx::UnitTable table;
        velx::UnitParseFault fault;
        double begin = bench::NowMs();
        if (!velx::UnitReadFile(unitsFile, table, fault))
            Check("startup.floor.parse", false);
        parse.push_back(bench::NowMs() - begin);
        begin = bench::NowMs();
        DimListShow(Editor.DimListBox);
        fill.push_back(bench::NowMs() - begin);
    }
    return bench::Median(parse) + bench::Median(fill);
}

void ListSteps(size_t size, HWND window)
{
    Op("dimlist", [] {
        const double begin = bench::NowMs();
        DimListShow(Editor.DimListBox);
        return bench::NowMs() - begin;
    });
    const std::vector<DimEntry *> entries = Entries(Editor.DimCatalogue);
    Check("dimlist.rows",
          static_cast<size_t>(SendMessageW(Editor.DimListBox, LB_GETCOUNT, 0, 0)) == size &&
              !entries.empty() &&
              Row(Editor.DimListBox, static_cast<int>(size) - 1) == entries.back()->Name &&
              SendMessageW(Editor.DimListBox, LB_GETCURSEL, 0, 0) == 0);

    // The same rows in a list box of the same size that nothing else
    // watches: what the platform's list box costs by itself.
    RECT place;
    GetWindowRect(Editor.DimListBox, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&place), 2);
    HWND bare = CreateWindowExW(0, L"listbox", L"", BareListStyle, place.left, place.top,
                                place.right - place.left, place.bottom - place.top, window, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    for (const bool reserve : {false, true}) {
        Op(reserve ? "listbox.bare.initstorage" : "listbox.bare", [bare, reserve, &entries] {
            const double begin = bench::NowMs();
            SendMessageW(bare, WM_SETREDRAW, FALSE, 0);
            SendMessageW(bare, LB_RESETCONTENT, 0, 0);
            if (reserve)
                SendMessageW(bare, LB_INITSTORAGE, entries.size(), 16 * sizeof(wchar_t));
            for (const DimEntry *entry : entries)
                SendMessageW(bare, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry->Name));
            SendMessageW(bare, LB_SETCURSEL, 0, 0);
            SendMessageW(bare, WM_SETREDRAW, TRUE, 0);
            return bench::NowMs() - begin;
        });
        Check(reserve ? "listbox.bare.initstorage.rows" : "listbox.bare.rows",
              static_cast<size_t>(SendMessageW(bare, LB_GETCOUNT, 0, 0)) == size);
    }
    DestroyWindow(bare);

    // A user's click on a row: the Units list is refilled with its symbols.
    int run = 0;
    bool selected = true;
    Op("select", [&run, &selected, &entries, size, window] {
        const int row = static_cast<int>((static_cast<size_t>(++run) * SelectRowStride) % size);
        const double begin = bench::NowMs();
        SendMessageW(Editor.DimListBox, LB_SETCURSEL, row, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_DIMLIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Editor.DimListBox));
        const double ms = bench::NowMs() - begin;
        const DimEntry *entry = entries[static_cast<size_t>(row)];
        selected = selected && Editor.CurrentDim == entry &&
                   static_cast<size_t>(SendMessageW(Editor.UnitListBox, LB_GETCOUNT, 0, 0)) ==
                       Count(entry->UnitSymbols) &&
                   SendMessageW(Editor.UnitListBox, LB_GETCURSEL, 0, 0) == entry->SelectedUnit;
        return ms;
    });
    Check("select.units", selected);

    // What switching a list's drawing off and on again costs by itself:
    // every list fill does it once.
    Op("listbox.redraw", [] {
        const double begin = bench::NowMs();
        SendMessageW(Editor.UnitListBox, WM_SETREDRAW, FALSE, 0);
        SendMessageW(Editor.UnitListBox, WM_SETREDRAW, TRUE, 0);
        return bench::NowMs() - begin;
    });
}

// Selections that differ from dimension to dimension, so that reading has
// to find each symbol and a lost selection shows.
uint16_t Pattern(size_t i, const DimEntry *entry)
{
    const size_t symbols = Count(entry->UnitSymbols);
    return static_cast<uint16_t>(symbols ? (i * 7 + 3) % symbols : 0);
}

// The set file goes through the runtime's streams a byte at a time. What
// that costs by itself, for as many bytes as a set of this size has, against
// one block write and read of the same bytes.
void StreamSteps(size_t size)
{
    const std::wstring path = ProfileValue(L"Set_Dir") + L"\\stream.tmp";
    const size_t bytes = size * 51; // a body line: 32 columns, a symbol, CR LF
    const std::string block(bytes, 'x');
    Op("stdio.putc", [&path, bytes] {
        const double begin = bench::NowMs();
        FILE *f = _wfopen(path.c_str(), L"wb");
        for (size_t i = 0; f && i < bytes; ++i)
            putc('x', f);
        if (f)
            fclose(f);
        return bench::NowMs() - begin;
    });
    Op("stdio.getc", [&path] {
        const double begin = bench::NowMs();
        FILE *f = _wfopen(path.c_str(), L"rb");
        while (f && getc(f) != EOF) {
        }
        if (f)
            fclose(f);
        return bench::NowMs() - begin;
    });
    Op("stdio.block", [&path, &block] {
        const double begin = bench::NowMs();
        FILE *f = _wfopen(path.c_str(), L"wb");
        if (f) {
            fwrite(block.data(), 1, block.size(), f);
            fclose(f);
        }
        std::string back(block.size(), '\0');
        f = _wfopen(path.c_str(), L"rb");
        if (f) {
            if (fread(&back[0], 1, back.size(), f) != back.size())
                Check("stdio.block.read", false);
            fclose(f);
        }
        return bench::NowMs() - begin;
    });
    DeleteFileW(path.c_str());
}

void SetFileSteps()
{
    const std::wstring path = ProfileValue(L"Set_Dir") + L"\\bench.uas";
    const std::vector<DimEntry *> entries = Entries(Editor.DimCatalogue);
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i]->SelectedUnit = Pattern(i, entries[i]);

    bool written = true;
    Op("setfile.write", [&path, &written] {
        const double begin = bench::NowMs();
        written =
            SetFileSave(path.c_str(), L"Bench", Editor.DimCatalogue, Editor.Description).Outcome ==
                SetFileOutcome::Written &&
            written;
        return bench::NowMs() - begin;
    });
    Check("setfile.write.result", written && BoxesSeen == 0);

    bool read = true;
    bool restored = true;
    Op("setfile.read", [&] {
        for (DimEntry *entry : entries)
            entry->SelectedUnit = 0;
        const double begin = bench::NowMs();
        read = SetFileRead(path.c_str(), Editor.DimCatalogue, Editor.Description) == 1 && read;
        const double ms = bench::NowMs() - begin;
        for (size_t i = 0; i < entries.size(); ++i)
            restored = restored && entries[i]->SelectedUnit == Pattern(i, entries[i]);
        return ms;
    });
    Check("setfile.read.restores", read && restored);

    bool reset = true;
    Op("new", [&entries, &reset] {
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i]->SelectedUnit = Pattern(i, entries[i]);
        const double begin = bench::NowMs();
        EditNewSet();
        const double ms = bench::NowMs() - begin;
        for (const DimEntry *entry : entries)
            reset = reset && entry->SelectedUnit == 0;
        return ms;
    });
    Check("new.resets", reset && static_cast<size_t>(SendMessageW(Editor.DimListBox, LB_GETCOUNT, 0,
                                                                  0)) == entries.size());
    DeleteFileW(path.c_str());
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    size_t size = 0;
    size_t sets = 0;
    bool startupOnly = false; // the start-up once, for a median over processes
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--startup-only") {
            startupOnly = true;
            continue;
        }
        if (i + 1 >= argc)
            break;
        if (arg == L"--size")
            size = static_cast<size_t>(_wtoi(argv[i + 1]));
        else if (arg == L"--sets")
            sets = static_cast<size_t>(_wtoi(argv[i + 1]));
        else if (arg == L"--runs")
            MaxRuns = _wtoi(argv[i + 1]);
        else if (arg == L"--budget")
            BudgetMs = _wtof(argv[i + 1]) * 1000.0;
        ++i;
    }
    if ((size == 0 && sets == 0) || MaxRuns < 1) {
        fprintf(
            stderr,
            "usage: uasbench --size N [--startup-only]|--sets N [--runs R] [--budget SECONDS]\n");
        return 2;
    }
    if (sets > 0)
        return bench::SetsBench(sets);
    BoxHook = SetWindowsHookExW(WH_CBT, CloseBoxes, nullptr, GetCurrentThreadId());

    const MemoryPoint empty = Measure();
    Once("startup.platform", PlatformWindowMs());
    double begin = bench::NowMs();
    ResGetStringModule();
    const double locateMs = bench::NowMs() - begin;
    Once("startup.resources", locateMs);
    const MemoryPoint before = Measure();

    begin = bench::NowMs();
    int32_t unitStatus = 0;
    UnitInitialize(&unitStatus);
    const double loadMs = bench::NowMs() - begin;
    Once("units.load", loadMs);
    Check("units.load.result", unitStatus == 0);

    begin = bench::NowMs();
    HWND window = MainWindowCreate(nullptr);
    const double createMs = bench::NowMs() - begin;
    Once("startup.window", createMs);
    Once("startup.inprocess", locateMs + loadMs + createMs);
    Check("startup.window.result", window != nullptr && Editor.DimCatalogue != nullptr &&
                                       Count(Editor.DimCatalogue) == size);
    if (!window || !Editor.DimCatalogue || Count(Editor.DimCatalogue) != size) {
        fprintf(stderr, "uasbench: the main window did not come up with %zu dimensions\n", size);
        return 1;
    }
    if (startupOnly) {
        Once("startup.floor", StartupFloorMs());
        HelpQuit(window);
        DestroyWindow(window);
        UnhookWindowsHookEx(BoxHook);
        return bench::FailureCount() == 0 ? 0 : 1;
    }
    Pump();
    const MemoryPoint started = Measure();
    Report("empty", empty);
    Report("before", before);
    Report("started", started);
    Mem("dimensions", size);

    UnitsSteps(size);
    CatalogueSteps(size);
    ListSteps(size, window);
    SetFileSteps();
    StreamSteps(size);
    Pump();
    Check("no.message.boxes", BoxesSeen == 0);

    HelpQuit(window);
    DestroyWindow(window);
    UnhookWindowsHookEx(BoxHook);
    return bench::FailureCount() == 0 ? 0 : 1;
}
