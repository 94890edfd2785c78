// Damaged units data and profiles in numbers. Units texts go through the
// units library's own reader in this process (the library itself reads its
// file once per process); a smaller number of damaged units files and
// profiles go through the real library in a process each, whose verdict
// must agree with the reader's. Profiles are read through the installation's
// profile reader, whose promises about buffer, size and status are checked
// for every key of every damaged profile.
#include <gtest/gtest.h>

#include "process.h"
#include "relreport.h"
#include "tempinstall.h"
#include "unitsfile.h"
#include "vel32.h"
#include "velx32.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

class Random {
public:
    explicit Random(uint32_t seed) : rng_(seed) {}
    size_t Pick(size_t bound) { return bound == 0 ? 0 : std::uniform_int_distribution<size_t>(0, bound - 1)(rng_); }
    template <typename T, size_t N> const T &From(const T (&items)[N]) { return items[Pick(N)]; }

private:
    std::mt19937 rng_;
};

// ---- units texts -----------------------------------------------------------

const char *const SoundUnits =
    "# process units\r\nTemperature K degC degF\r\nPressure Pa kPa bar\r\n"
    "Power W mW MW kW\r\n\r\nLength m mm km\r\n";

std::string DamagedUnits(Random &r)
{
    std::string text = SoundUnits;
    static const char *const pieces[] = {
        "\r\n", "\n", "\r", "#", " ", "\t", "\xEF\xBB\xBF", "\xC3\x28", "\xFF\xFE", "\xC4\x80",
        "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xC2\xB5m", "POWER kW\r\n", "power w\r\n",
        "Pressure psi\r\n", "Lonely\r\n", "\x01", "\x7F", "\xC2\xA0", "\xE3\x80\x80",
    };
    for (size_t e = 0, edits = 1 + r.Pick(4); e < edits; ++e) {
        switch (r.Pick(9)) {
        case 0:
            if (!text.empty())
                text[r.Pick(text.size())] = static_cast<char>(r.Pick(256));
            break;
        case 1: text.resize(r.Pick(text.size() + 1)); break;
        case 2: text.insert(r.Pick(text.size() + 1), r.From(pieces)); break;
        case 3: text.insert(r.Pick(text.size() + 1), std::string(20 + r.Pick(2000), 'n')); break;
        case 4: text += "Dim" + std::to_string(r.Pick(5)) + std::string(1 + r.Pick(3000), ' ') + "s\r\n"; break;
        case 5: text.insert(r.Pick(text.size() + 1), 1 + r.Pick(3), static_cast<char>(r.Pick(32))); break;
        case 6: // names that differ in case alone, and repeated symbols
            text += r.Pick(2) ? "LENGTH ft\r\n" : "Area m2 M2 m2\r\n";
            break;
        case 7: // very many symbols or dimensions
            if (r.Pick(2)) {
                std::string many = "Many";
                for (size_t i = 0, n = 32000 + r.Pick(1500); i < n; ++i)
                    many += " s";
                text += many + "\r\n";
            } else {
                for (size_t i = 0, n = 100 + r.Pick(400); i < n; ++i)
                    text += "D" + std::to_string(i) + " u\n";
            }
            break;
        default:
            for (char &c : text)
                if (c == '\n' && r.Pick(3) == 0)
                    c = r.Pick(2) ? '\r' : ' ';
        }
    }
    return text;
}

bool Clean(const std::wstring &word)
{
    for (wchar_t c : word)
        if (c < 33 || c == 0x7F || c > 0xFF || c == 0xA0 || (c >= 0x80 && c < 0xA0))
            return false;
    return !word.empty();
}

// What must hold for any text: a verdict and a fault that says where, or
// dimensions a set file can store.
std::string CheckParse(const std::string &text, bool ok, const std::vector<velx::UnitDimension> &dims,
                       const velx::UnitParseFault &fault)
{
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (!ok) {
        if (!dims.empty())
            return "dimensions left after a fault";
        if (fault.Code < UNIT_FAULT_FILE_TOO_LARGE || fault.Code > UNIT_FAULT_NO_MEMORY)
            return "fault code " + std::to_string(fault.Code) + " is no parse fault";
        const bool wantsLine = fault.Code >= UNIT_FAULT_NOT_UTF8 && fault.Code <= UNIT_FAULT_TOO_MANY_DIMENSIONS;
        if (wantsLine && (fault.Line < 1 || fault.Line > lines))
            return "fault " + std::to_string(fault.Code) + " on line " + std::to_string(fault.Line) + " of " +
                   std::to_string(lines);
        return "";
    }
    if (dims.empty())
        return "loaded without dimensions";
    std::set<std::wstring> keys;
    for (const auto &d : dims) {
        if (!Clean(d.Name) || d.Name.size() > UNIT_NAME_MAX_CHARS)
            return "a name the limits refuse was taken";
        if (!keys.insert(velx::UnitFoldCase(d.Name)).second)
            return "two names equal ignoring case were taken";
        if (d.Symbols.size() > UNIT_MAX_SYMBOLS)
            return "too many symbols taken";
        for (const auto &s : d.Symbols)
            if (!Clean(s) || s.size() > UNIT_SYMBOL_MAX_CHARS)
                return "a symbol the limits refuse was taken";
    }
    if (dims.size() > UNIT_MAX_DIMENSIONS)
        return "too many dimensions taken";
    return "";
}

TEST(DamagedUnitsData, EveryTextGivesDimensionsOrAClearFault)
{
    const uint64_t count = rel::Count("UAS_REL_UNITSTEXTS", 5000);
    const uint32_t seed = rel::Seed();
    Random r(seed);
    std::map<int, uint64_t> codes;
    uint64_t failures = 0;
    double maxMs = 0;
    for (uint64_t n = 1; n <= count; ++n) {
        const std::string text = DamagedUnits(r);
        std::vector<velx::UnitDimension> dims;
        velx::UnitParseFault fault;
        const double t0 = rel::NowMs();
        const bool ok = velx::UnitParseText(text.data(), text.size(), dims, fault);
        maxMs = std::max(maxMs, rel::NowMs() - t0);
        ++codes[ok ? 0 : fault.Code];
        const std::string problem = CheckParse(text, ok, dims, fault);
        if (!problem.empty() && ++failures <= 20)
            ADD_FAILURE() << "text " << n << " (seed " << seed << "): " << problem;
    }
    std::string figures = "max " + rel::Ms(maxMs) + "; outcomes (code:count)";
    for (const auto &c : codes)
        figures += " " + std::to_string(c.first) + ":" + std::to_string(c.second);
    rel::Record({"units data", "damaged units texts, units reader in memory", count, failures, figures});
    EXPECT_EQ(failures, 0u);
    EXPECT_GT(codes.size(), 5u) << "the generator should reach many kinds of fault";
}

// ---- profiles ---------------------------------------------------------------

std::string DamagedProfile(Random &r)
{
    static const char *const lines[] = {
        "[Kalvex_Section]", "[Kalvex_Section", "Kalvex_Section]", "[]", "[VelWin_Section]",
        "Units_File=C:\\units.txt", "Units_File=", "Units_File", "=x", "Set_Dir=.\\sets",
        "Set_Dir=..\\..\\..\\..\\..\\..\\x", "Set_Dir=%UAS_REL_NOVAR%\\x", "Set_Dir=%TEMP%",
        "Set_Dir=%", "Language=English", " Units_File = spaced ", "Units_File=\"quoted\"",
        "; comment", "# comment", "Units_File=a\tb", "Key=\xC3\x28", "Key=\xE2\x82\xAC",
    };
    std::string text;
    if (r.Pick(8) == 0)
        text += r.Pick(2) ? "\xEF\xBB\xBF" : "\xFF\xFE";
    for (size_t i = 0, n = r.Pick(14); i < n; ++i) {
        switch (r.Pick(6)) {
        case 0: text += "Units_File=" + std::string(1 + r.Pick(r.Pick(4) ? 400 : 100000), 'u'); break;
        case 1: text += std::string(1, static_cast<char>(r.Pick(256))) + r.From(lines); break;
        case 2: text += std::string(r.Pick(3), '\0') + r.From(lines); break;
        default: text += r.From(lines);
        }
        text += r.From({"\r\n", "\n", "\r", "", "\r\n"});
    }
    return text;
}

// The reader's promises for one key and one capacity.
std::string CheckRead(const wchar_t *section, const wchar_t *key, int32_t capacity)
{
    constexpr wchar_t Untouched = 0xBEEF;
    std::vector<wchar_t> buffer(static_cast<size_t>(capacity) + 8, Untouched);
    int32_t size = capacity;
    KxStatus status = 77;
    const int16_t returned = ProfReadStringW(section, key, buffer.data(), &size, &status);
    if (returned != status)
        return "return value differs from the status";
    for (size_t i = static_cast<size_t>(capacity); i < buffer.size(); ++i)
        if (buffer[i] != Untouched)
            return "written past the capacity";
    if (status == 0) {
        if (size != capacity)
            return "size changed on success";
        if (std::find(buffer.begin(), buffer.begin() + capacity, L'\0') == buffer.begin() + capacity)
            return "value not terminated within the capacity";
        return "";
    }
    for (int32_t i = 0; i < capacity; ++i)
        if (buffer[static_cast<size_t>(i)] != Untouched)
            return "buffer touched on failure";
    if (size == 0)
        return "";
    if (size <= capacity)
        return "too long, yet the size asked for fits";
    // The size asked for must be enough.
    std::vector<wchar_t> fitting(static_cast<size_t>(size), Untouched);
    int32_t again = size;
    ProfReadStringW(section, key, fitting.data(), &again, &status);
    if (status != 0)
        return "the size asked for was not enough";
    // A NUL byte inside a value is kept; the value still ends at the size.
    if (fitting[static_cast<size_t>(size) - 1] != L'\0')
        return "the value does not end where its size says";
    return "";
}

TEST(DamagedProfiles, EveryReadKeepsItsPromises)
{
    TempInstall install;
    const uint64_t count = rel::Count("UAS_REL_PROFILES", 2000);
    const uint32_t seed = rel::Seed() + 1;
    Random r(seed);
    uint64_t failures = 0, reads = 0, found = 0;
    static const wchar_t *const keys[][2] = {
        {L"Kalvex_Section", L"Units_File"}, {L"Kalvex_Section", L"Set_Dir"},
        {L"VelWin_Section", L"Language"},   {L"Kalvex_Section", L"Key"},
        {L"Kalvex_Section", L""},           {L"", L"Units_File"},
    };
    const int32_t capacities[] = {0, 1, 2, 16, 260, 100001};
    for (uint64_t n = 1; n <= count; ++n) {
        install.WriteFile(L"kalvex.ini", DamagedProfile(r));
        for (const auto &k : keys) {
            const int32_t capacity = capacities[r.Pick(6)];
            const std::string problem = CheckRead(k[0], k[1], capacity);
            ++reads;
            if (!problem.empty() && ++failures <= 20)
                ADD_FAILURE() << "profile " << n << " (seed " << seed << "), " << std::string(k[1], k[1] + wcslen(k[1]))
                              << ", capacity " << capacity << ": " << problem;
        }
        wchar_t probe[300];
        int32_t size = 300;
        KxStatus status = 0;
        found += ProfReadStringW(L"Kalvex_Section", L"Units_File", probe, &size, &status) == 0;
    }
    rel::Record({"profiles", "damaged profiles, each read for six keys", count, failures,
                 std::to_string(reads) + " reads; Units_File found in " + std::to_string(found)});
    EXPECT_EQ(failures, 0u);
}

// ---- the real units library, one process each -------------------------------

struct ChildVerdict {
    bool Ran = false;
    std::string Why; // how the run went, naming the step that failed
    int Failed = -1, Code = -1, Line = -1, Dims = -1;
};

ChildVerdict RunUnitsChild(const std::wstring &report)
{
    ChildVerdict v;
    DeleteFileW(report.c_str());
    testprocess::Options options;
    options.LimitMs = 60000;
    testprocess::Outcome outcome =
        testprocess::Run(testprocess::Sibling(L"relhelper.exe") + L" units \"" + report + L"\"", options);
    std::string bytes;
    if (outcome.Ok() && testprocess::ReadReport(report, bytes, outcome)) {
        v.Ran = std::sscanf(bytes.c_str(), "%d %d %d %d", &v.Failed, &v.Code, &v.Line, &v.Dims) == 4;
        if (!v.Ran)
            testprocess::ReportFailed(outcome, "short: \"" + bytes + "\" holds fewer than four numbers");
    }
    v.Why = outcome.Why();
    return v;
}

TEST(DamagedUnitsData, TheRealLibraryRefusesWithTheReadersVerdict)
{
    TempInstall::Options options;
    options.UnitsText = L"Placeholder x\r\n";
    TempInstall install(options);
    const std::wstring report = install.Root() + L"\\report.txt";
    const uint64_t count = rel::Count("UAS_REL_UNITSCHILDREN", 24);
    const uint32_t seed = rel::Seed() + 2;
    Random r(seed);
    uint64_t failures = 0;
    std::map<int, uint64_t> codes;
    auto fail = [&](uint64_t n, const std::string &what) {
        if (++failures <= 20)
            ADD_FAILURE() << "child " << n << " (seed " << seed << "): " << what;
    };
    for (uint64_t n = 1; n <= count; ++n) {
        // Every eighth run damages the profile instead of the units file.
        int expected = -1;
        std::string units;
        switch (n % 8) {
        case 1:
            install.WriteProfile({{L"Kalvex_Section", L"Units_File", L""}}, false);
            expected = UNIT_FAULT_PROFILE_VALUE_EMPTY;
            break;
        case 2:
            // The key in another section only.
            install.WriteProfileText(L"[Other]\r\nUnits_File=x\r\n");
            expected = UNIT_FAULT_NO_PROFILE_KEY;
            break;
        case 3:
            install.WriteProfile({{L"Kalvex_Section", L"Units_File", install.Root() + L"\\missing.txt"}}, false);
            expected = UNIT_FAULT_OPEN;
            break;
        case 4:
            // Longer than the library takes a path (1023 characters).
            install.WriteProfile({{L"Kalvex_Section", L"Units_File", std::wstring(1100 + r.Pick(3000), L'u')}}, false);
            expected = UNIT_FAULT_PROFILE_VALUE_TOO_LONG;
            break;
        default: {
            units = DamagedUnits(r);
            install.WriteFile(L"units.txt", units);
            install.WriteProfile({}, true);
        }
        }
        const ChildVerdict v = RunUnitsChild(report);
        if (!v.Ran) {
            fail(n, "the child did not run to its end: " + v.Why);
            continue;
        }
        ++codes[v.Code];
        if ((v.Failed != 0) != (v.Code != UNIT_FAULT_NONE) || v.Code < 0 || v.Code > UNIT_FAULT_NO_MEMORY) {
            fail(n, "return " + std::to_string(v.Failed) + " with code " + std::to_string(v.Code));
            continue;
        }
        if (expected >= 0 && v.Code != expected) {
            fail(n, "profile fault " + std::to_string(v.Code) + ", expected " + std::to_string(expected));
            continue;
        }
        if (expected < 0) {
            std::vector<velx::UnitDimension> dims;
            velx::UnitParseFault fault;
            const bool ok = velx::UnitParseText(units.data(), units.size(), dims, fault);
            const int code = ok ? UNIT_FAULT_NONE : fault.Code;
            const int dimsCount = ok ? static_cast<int>(dims.size()) : -1;
            if (v.Code != code || (ok && v.Dims != dimsCount) ||
                (!ok && v.Line != static_cast<int>(fault.Line)))
                fail(n, "library said code " + std::to_string(v.Code) + " line " + std::to_string(v.Line) +
                            " dims " + std::to_string(v.Dims) + ", reader code " + std::to_string(code) +
                            " line " + std::to_string(fault.Line) + " dims " + std::to_string(dimsCount));
        }
    }
    std::string figures = "codes (code:count)";
    for (const auto &c : codes)
        figures += " " + std::to_string(c.first) + ":" + std::to_string(c.second);
    rel::Record({"units data", "damaged units files and profiles, real library, a process each", count,
                 failures, figures});
    EXPECT_EQ(failures, 0u);
}

} // namespace
