// Long use of the real window: cycles of New, unit changes, description
// edits, Save As, Open and Delete, answered as a user would. After every
// cycle the memory blocks of the support library must be back where they
// were, apart from the one set record (644 bytes) that the catalogue keeps
// for each new set name; handles and committed memory must stay flat; and
// every file written must hold exactly the bytes the set file format gives
// for the set, and open again with every choice back.
#include "relreport.h"
#include "relwindow.h"

#include "resource.h"
#include "setfiletext.h"
#include "testinstall.h"
#include "vel32.h"
#include "velw32.h"

#include <psapi.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>

using namespace relwindow;

namespace {

constexpr size_t NamePool = 16;   // set names the cycles use in turn
constexpr size_t HandleSlack = 4; // handles the system may still be settling
constexpr uint64_t CommitSlackBytes = 4u << 20;

// The bytes that one catalogue record adds to the live blocks, as the
// general library counts them (its size class, or the heap's rounding).
uint64_t RecordBytesCounted()
{
    uint64_t before = 0;
    uint64_t during = 0;
    KxMemoryUsage(nullptr, &before);
    void *record = KxMalloc(sizeof(UasInfo));
    KxMemoryUsage(nullptr, &during);
    KxFree(record);
    return during - before;
}

// The set file as the format describes it, from the tests' own builder.
std::string ExpectedFile(const std::wstring &path, const std::wstring &name,
                         const std::wstring &description,
                         const std::vector<std::pair<std::wstring, std::wstring>> &units)
{
    setfiletext::Units lines;
    for (const auto &u : units)
        lines.emplace_back(setfiletext::Latin1(u.first), setfiletext::Latin1(u.second));
    return setfiletext::File(setfiletext::Latin1(name),
                             setfiletext::Latin1(path.substr(path.find_last_of(L'\\') + 1)),
                             setfiletext::Latin1(description), lines);
}

std::wstring RandomDescription(std::mt19937 &rng)
{
    static const wchar_t *const words[] = {
        L"plant", L"Unit", L"steam",      L"line", L"B-7",
        L"flow",  L"Q3",   L"condensate", L"x",    L"recycle-loop-temperature"};
    std::uniform_int_distribution<int> count(0, 260), word(0, 9), newline(0, 11);
    std::wstring text;
    for (int i = 0, n = count(rng); i < n; ++i) {
        if (i)
            text += newline(rng) == 0 ? L"\r\n" : L" ";
        text += words[word(rng)];
    }
    // Within the description's 2000 characters, and ending in a word, as
    // the editor keeps it.
    if (text.size() > 1900)
        text.resize(1900);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    return text;
}

// The process's handles as the system's handle list counts them: Wine 8
// answers GetProcessHandleCount with 0, but keeps the list.
struct HandleEntry {
    ULONG OwnerPid;
    BYTE ObjectType;
    BYTE HandleFlags;
    USHORT HandleValue;
    PVOID ObjectPointer;
    ULONG AccessMask;
};
struct HandleList {
    ULONG Count;
    HandleEntry Handles[1];
};
constexpr ULONG SystemHandleInformation = 16;
constexpr LONG StatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
extern "C" LONG WINAPI NtQuerySystemInformation(ULONG kind, PVOID buffer, ULONG length,
                                                PULONG returned);

DWORD HandlesOfThisProcess()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0)
        return count;
    std::vector<unsigned char> buffer(1u << 16);
    for (;;) {
        ULONG returned = 0;
        const LONG status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(),
                                                     static_cast<ULONG>(buffer.size()), &returned);
        if (status == StatusInfoLengthMismatch) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, returned + 4096));
            continue;
        }
        if (status != 0)
            return 0;
        break;
    }
    const auto *list = reinterpret_cast<const HandleList *>(buffer.data());
    const DWORD self = GetCurrentProcessId();
    for (ULONG i = 0; i < list->Count; ++i)
        count += list->Handles[i].OwnerPid == self;
    return count;
}

struct Usage {
    uint32_t Blocks = 0;
    uint64_t Bytes = 0;
    DWORD Handles = 0;
    uint64_t Commit = 0;
};

Usage Measure()
{
    Usage u;
    KxMemoryUsage(&u.Blocks, &u.Bytes);
    u.Handles = HandlesOfThisProcess();
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    // Wine 8 reports PrivateUsage as 0; PagefileUsage is the committed
    // memory it does keep.
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters),
                             sizeof counters))
        u.Commit = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    return u;
}

class LongUse : public WindowTest {};

TEST_F(LongUse, CyclesLeaveMemoryHandlesAndFilesAsTheyShouldBe)
{
    const uint64_t cycles = rel::Count("UAS_REL_CYCLES", 100);
    const uint32_t seed = rel::Seed();
    std::mt19937 rng(seed);
    const uint64_t RecordBytes = RecordBytesCounted();
    EXPECT_GE(RecordBytes, sizeof(UasInfo));
    const auto &dims = testinstall::Dimensions();
    std::set<std::wstring> namesAdded;
    uint64_t failedCycles = 0, filesChecked = 0, opens = 0, deletes = 0;
    Usage start, peak;
    int recordsAtStart = 0;
    std::string privateNote;
    const double t0 = rel::NowMs();

    for (uint64_t cycle = 0; cycle <= cycles; ++cycle) {
        const int failuresBefore =
            ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        // New, answering No if the set was changed.
        {
            Script script({Press(IDNO)});
            Command(IDM_NEW);
        }
        std::vector<uint16_t> chosen(dims.size(), 0);
        for (int i = 0, n = std::uniform_int_distribution<int>(0, 8)(rng); i < n; ++i) {
            const size_t d = std::uniform_int_distribution<size_t>(0, dims.size() - 1)(rng);
            const size_t u =
                std::uniform_int_distribution<size_t>(0, dims[d].Symbols.size() - 1)(rng);
            PickUnit(static_cast<int>(d), static_cast<int>(u));
            chosen[d] = static_cast<uint16_t>(u);
        }
        const std::wstring typed = RandomDescription(rng);
        TypeDescription(typed);
        const std::wstring name = L"Cycle" + std::to_wstring(cycle % NamePool);
        const std::wstring path = testinstall::SetPath(name);
        SaveAs(name);
        // The first cycle's name is in the catalogue before counting starts.
        if (cycle > 0 && name != L"Cycle0")
            namesAdded.insert(name);
        EXPECT_EQ(Editor.Modified, 0) << "cycle " << cycle;

        std::vector<std::pair<std::wstring, std::wstring>> units;
        for (size_t d = 0; d < dims.size(); ++d)
            units.emplace_back(dims[d].Name, dims[d].Symbols[chosen[d]]);
        const std::wstring trimmed = Editor.Description;
        std::string bytes;
        EXPECT_TRUE(testinstall::ReadBytes(path, bytes)) << "cycle " << cycle;
        EXPECT_EQ(bytes, ExpectedFile(path, name, typed, units)) << "cycle " << cycle;
        ++filesChecked;

        // A new set, then the saved one opened again.
        {
            Script script({});
            Command(IDM_NEW);
            EXPECT_TRUE(script.Seen().empty()) << "cycle " << cycle << ": a saved set asked again";
        }
        {
            Script script({Choose(name)});
            Command(IDM_OPEN);
            ++opens;
        }
        for (size_t d = 0; d < dims.size(); ++d)
            EXPECT_EQ(Entries()[d]->SelectedUnit, chosen[d])
                << "cycle " << cycle << ", " << Utf8(dims[d].Name);
        std::wstring stored = trimmed;
        for (size_t i = 0; (i = stored.find(L"\r\n", i)) != std::wstring::npos;)
            stored.replace(i, 2, L" ");
        EXPECT_EQ(std::wstring(Editor.Description), stored) << "cycle " << cycle;
        EXPECT_EQ(std::wstring(Editor.CurrentSetName), name);

        // Every third cycle the set is deleted again.
        if (cycle % 3 == 2) {
            Script script({Choose(name), Press(IDYES)});
            Command(IDM_DELETE);
            EXPECT_FALSE(testinstall::Exists(path)) << "cycle " << cycle;
            EXPECT_EQ(std::wstring(Editor.CurrentSetName), L"<none>");
            ++deletes;
        }
        EXPECT_FALSE(TakeQuit());
        uitest::PumpMessages();

        const Usage now = Measure();
        if (cycle == 0) {
            // The first cycle makes what lives for the process (texts
            // loaded on first use, the first record); counting starts after.
            start = peak = now;
            recordsAtStart = CatalogueRecords();
            continue;
        }
        const int records = CatalogueRecords() - recordsAtStart;
        EXPECT_EQ(static_cast<size_t>(records), namesAdded.size()) << "cycle " << cycle;
        EXPECT_EQ(now.Blocks, start.Blocks + static_cast<uint32_t>(records)) << "cycle " << cycle;
        EXPECT_EQ(now.Bytes, start.Bytes + RecordBytes * static_cast<uint64_t>(records))
            << "cycle " << cycle;
        peak.Handles = std::max(peak.Handles, now.Handles);
        peak.Commit = std::max(peak.Commit, now.Commit);
        EXPECT_LE(now.Handles, start.Handles + HandleSlack) << "cycle " << cycle;
        if (::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() !=
                failuresBefore &&
            ++failedCycles >= 5)
            FAIL() << "stopped after five failed cycles";
    }
    const Usage end = Measure();
    EXPECT_GT(start.Handles, 0u) << "no way to count the process's handles";
    EXPECT_LE(end.Commit, start.Commit + CommitSlackBytes) << "committed memory grew";
    const double seconds = (rel::NowMs() - t0) / 1000.0;

    char memory[200];
    std::snprintf(
        memory, sizeof memory,
        "blocks %u -> %u, bytes %llu -> %llu (%d records of %llu bytes kept for %zu names)",
        start.Blocks, end.Blocks, static_cast<unsigned long long>(start.Bytes),
        static_cast<unsigned long long>(end.Bytes), CatalogueRecords() - recordsAtStart,
        static_cast<unsigned long long>(RecordBytes), namesAdded.size());
    rel::Record({"long use", "cycles: New, units, description, Save As, Open, Delete", cycles,
                 failedCycles,
                 std::string(memory) + "; " + std::to_string(static_cast<int>(seconds)) + " s"});
    char handles[160];
    std::snprintf(handles, sizeof handles,
                  "handles %lu -> %lu (peak %lu); PagefileUsage %.1f -> %.1f MB (peak %.1f)",
                  start.Handles, end.Handles, peak.Handles, start.Commit / 1048576.0,
                  end.Commit / 1048576.0, peak.Commit / 1048576.0);
    rel::Record(
        {"long use", "handles and committed memory stay flat", cycles,
         (end.Handles > start.Handles + HandleSlack || end.Commit > start.Commit + CommitSlackBytes)
             ? 1u
             : 0u,
         handles});
    rel::Record({"long use", "files written read back byte for byte, and opened", filesChecked,
                 failedCycles,
                 std::to_string(opens) + " opens, " + std::to_string(deletes) + " deletes"});
}

} // namespace
