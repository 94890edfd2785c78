// Damaged set files in numbers: a seeded generator makes files of every kind
// of damage a disk, another program or a user can leave behind, and each is
// read with the real reader into a catalogue built from the real units
// library. No file may crash the reader, take too long, overrun the
// description or leave a selection on a symbol that does not exist; where
// the outcome is known (sound lines among the damage, repeated and unknown
// names, letter-case variants) it must be exactly that.
#include <gtest/gtest.h>

#include "listcheck.h"
#include "dimcat.h"
#include "relreport.h"
#include "setfile.h"
#include "setfiletext.h"
#include "tempinstall.h"
#include "vel32.h"
#include "velx32.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cwchar>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// The units library of this program. Symbols that differ only in letter
// case are different units: an exact match must win over a case-blind one.
struct Dim {
    std::string Name;
    std::vector<std::string> Symbols;
};
const std::vector<Dim> &Dims()
{
    static const std::vector<Dim> dims = {
        {"Power", {"W", "mW", "MW", "kW", "GW"}},
        {"Length", {"m", "mm", "Mm", "km"}},
        {"Mass", {"kg", "g", "mg", "Mg", "t"}},
        {"Pressure", {"Pa", "kPa", "MPa", "mPa", "bar"}},
        {"Frequency", {"Hz", "kHz", "MHz", "mHz"}},
        {"Fraction", {"-", "%"}},
        {"Temperature", {"K", "degC", "degF"}},
    };
    return dims;
}

std::wstring UnitsText()
{
    std::wstring text = L"# units whose symbols differ in letter case only\r\n";
    for (const Dim &d : Dims()) {
        text += std::wstring(d.Name.begin(), d.Name.end());
        for (const std::string &s : d.Symbols)
            text += L" " + std::wstring(s.begin(), s.end());
        text += L"\r\n";
    }
    return text;
}

constexpr size_t GuardChars = 64;
constexpr wchar_t Guard = 0xBEEF;
constexpr uint16_t Unknown = 0xFFFF; // no expectation for this dimension

// What a generated file is, and what reading it must give where known.
enum Kind {
    Sound,
    TruncatedHeader,
    LongLine,
    LongWord,
    ControlBytes,
    HighBytes,
    CrOnly,
    NoLineEnd,
    Huge,
    UnknownNames,
    EveryDimTwice,
    CaseVariants,
    RandomBytes,
    LongDescription,
    KindCount
};
const char *const KindNames[KindCount] = {
    "sound file (exact selections and description)",
    "header cut short (nothing changes)",
    "line of 100 000 characters",
    "word of 10 000 characters (matches nothing, rest exact)",
    "NUL and control bytes",
    "bytes above 127",
    "CR without LF",
    "no line end at all",
    "10 MB file",
    "unknown dimensions and symbols (rest exact)",
    "every dimension twice (the later wins)",
    "letter-case variants (exact match wins)",
    "random bytes",
    "description of hundreds of lines",
};

struct Case {
    Kind Type = Sound;
    std::string Bytes;
    std::vector<uint16_t> Before;    // the selections before the read
    std::vector<uint16_t> Expected;  // Unknown: any existing symbol
    bool CheckDescription = false;
    std::wstring Description;
};

class Generator {
public:
    explicit Generator(uint32_t seed) : rng_(seed) {}

    size_t Pick(size_t bound) { return bound == 0 ? 0 : std::uniform_int_distribution<size_t>(0, bound - 1)(rng_); }

    Case Make(uint64_t number)
    {
        Case c;
        // The 10 MB files are few and spread evenly, so that every run has some.
        c.Type = number % HugeEvery == 1 ? Huge : static_cast<Kind>(Pick(KindCount));
        if (c.Type == Huge && number % HugeEvery != 1)
            c.Type = RandomBytes;
        for (const Dim &d : Dims())
            c.Before.push_back(static_cast<uint16_t>(Pick(d.Symbols.size())));
        c.Expected.assign(Dims().size(), Unknown);

        std::vector<uint16_t> chosen;
        for (const Dim &d : Dims())
            chosen.push_back(static_cast<uint16_t>(Pick(d.Symbols.size())));
        const std::string description = Words(1 + Pick(9));
        const std::string header = Header(description);
        auto body = [&](std::vector<uint16_t> &expected) {
            std::string text;
            for (size_t i = 0; i < Dims().size(); ++i) {
                text += Line(Dims()[i].Name, Dims()[i].Symbols[chosen[i]]);
                expected[i] = chosen[i];
            }
            return text;
        };

        switch (c.Type) {
        case Sound:
            c.Bytes = header + body(c.Expected);
            c.CheckDescription = true;
            c.Description.assign(description.begin(), description.end());
            break;
        case TruncatedHeader:
            c.Bytes = header.substr(0, Pick(header.size()));
            c.Expected = c.Before;
            break;
        case LongLine: {
            c.Bytes = header + body(c.Expected);
            c.Expected.assign(Dims().size(), Unknown);
            const char fill = "x *-\t"[Pick(5)];
            c.Bytes.insert(Pick(c.Bytes.size() + 1), std::string(100000, fill) + "\r\n");
            break;
        }
        case LongWord: {
            const size_t victim = Pick(Dims().size());
            c.Bytes = header;
            for (size_t i = 0; i < Dims().size(); ++i) {
                if (i == victim) {
                    const std::string word(10000, static_cast<char>('a' + Pick(26)));
                    c.Bytes += Pick(2) ? Line(Dims()[i].Name, word) : Line(word, Dims()[i].Symbols[0]);
                    c.Expected[i] = c.Before[i];
                } else {
                    c.Bytes += Line(Dims()[i].Name, Dims()[i].Symbols[chosen[i]]);
                    c.Expected[i] = chosen[i];
                }
            }
            break;
        }
        case ControlBytes:
            c.Bytes = header + body(c.Expected);
            c.Expected.assign(Dims().size(), Unknown);
            for (size_t i = 0, n = 1 + Pick(12); i < n; ++i)
                c.Bytes.insert(Pick(c.Bytes.size() + 1), 1 + Pick(3), static_cast<char>(Pick(32)));
            break;
        case HighBytes:
            c.Bytes = Header(description + " \xE4\xF6\xFC\xFF\x80\xA0") + body(c.Expected);
            c.Expected.assign(Dims().size(), Unknown);
            for (size_t i = 0, n = 1 + Pick(20); i < n; ++i)
                c.Bytes.insert(Pick(c.Bytes.size() + 1), 1, static_cast<char>(128 + Pick(128)));
            break;
        case CrOnly:
            c.Bytes = header + body(c.Expected);
            c.Expected.assign(Dims().size(), Unknown);
            c.Bytes.erase(std::remove(c.Bytes.begin(), c.Bytes.end(), '\n'), c.Bytes.end());
            break;
        case NoLineEnd:
            c.Bytes = header + body(c.Expected);
            c.Expected.assign(Dims().size(), Unknown);
            for (char &ch : c.Bytes)
                if (ch == '\r' || ch == '\n')
                    ch = Pick(2) ? ' ' : '*';
            c.Bytes.erase(std::remove(c.Bytes.begin(), c.Bytes.end(), '\r'), c.Bytes.end());
            break;
        case Huge: {
            c.Bytes = header;
            c.Bytes.reserve(HugeBytes + 4096);
            const bool lines = Pick(2) != 0;
            while (c.Bytes.size() < HugeBytes) {
                if (lines) {
                    const size_t i = Pick(Dims().size());
                    c.Bytes += Line(Dims()[i].Name, Dims()[i].Symbols[Pick(Dims()[i].Symbols.size())]);
                } else {
                    c.Bytes += static_cast<char>(Pick(256));
                }
            }
            break;
        }
        case UnknownNames:
            c.Bytes = header;
            for (size_t i = 0; i < Dims().size(); ++i) {
                switch (Pick(3)) {
                case 0:
                    c.Bytes += Line("Nowhere" + std::to_string(Pick(100)), Dims()[i].Symbols[0]);
                    c.Expected[i] = c.Before[i];
                    break;
                case 1:
                    c.Bytes += Line(Dims()[i].Name, "unit" + std::to_string(Pick(100)));
                    c.Expected[i] = c.Before[i];
                    break;
                default:
                    c.Bytes += Line(Dims()[i].Name, Dims()[i].Symbols[chosen[i]]);
                    c.Expected[i] = chosen[i];
                }
            }
            break;
        case EveryDimTwice: {
            c.Bytes = header + body(c.Expected);
            std::vector<uint16_t> second;
            for (const Dim &d : Dims())
                second.push_back(static_cast<uint16_t>(Pick(d.Symbols.size())));
            for (size_t i = 0; i < Dims().size(); ++i)
                c.Bytes += Line(Dims()[i].Name, Dims()[i].Symbols[second[i]]);
            c.Expected = second;
            break;
        }
        case CaseVariants:
            c.Bytes = header;
            for (size_t i = 0; i < Dims().size(); ++i) {
                const std::string symbol = Pick(2) ? Dims()[i].Symbols[chosen[i]]
                                                   : Recase(Dims()[i].Symbols[chosen[i]]);
                c.Bytes += Line(Recase(Dims()[i].Name), symbol);
                c.Expected[i] = static_cast<uint16_t>(ExpectedPosition(Dims()[i], symbol));
            }
            break;
        case RandomBytes: {
            c.Bytes.resize(Pick(4000));
            for (char &ch : c.Bytes)
                ch = static_cast<char>(Pick(256));
            break;
        }
        case LongDescription: {
            c.Bytes = Header("");
            const size_t cut = c.Bytes.rfind("* ---");
            std::string lines;
            for (size_t i = 0, n = 30 + Pick(300); i < n; ++i)
                lines += "*    " + Words(1 + Pick(12)) + "\r\n";
            c.Bytes.insert(cut, lines);
            c.Bytes += body(c.Expected);
            break;
        }
        case KindCount:
            break;
        }
        return c;
    }

    static constexpr uint64_t HugeEvery = 5000;
    static constexpr size_t HugeBytes = 10u * 1024u * 1024u;

private:
    std::string Words(size_t count)
    {
        static const char *const words[] = {"plant", "Unit", "steam", "line", "B-7", "flow", "Q3", "dry"};
        std::string text;
        for (size_t i = 0; i < count; ++i)
            text += (i ? " " : "") + std::string(words[Pick(8)]);
        return text;
    }

    static std::string Header(const std::string &description)
    {
        return setfiletext::Header("Reliability", "Reliability.uas",
                                   description.empty() ? std::vector<std::string>() : std::vector<std::string>{description});
    }

    static std::string Line(const std::string &name, const std::string &symbol)
    {
        return setfiletext::UnitLine(name, symbol);
    }

    std::string Recase(std::string text)
    {
        for (char &ch : text)
            if (Pick(2))
                ch = static_cast<char>(std::isupper(static_cast<unsigned char>(ch)) ? std::tolower(ch) : std::toupper(ch));
        return text;
    }

    // An exact match, else the first symbol equal ignoring letter case.
    static size_t ExpectedPosition(const Dim &d, const std::string &symbol)
    {
        for (size_t i = 0; i < d.Symbols.size(); ++i)
            if (d.Symbols[i] == symbol)
                return i;
        auto upper = [](std::string s) {
            for (char &ch : s)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            return s;
        };
        for (size_t i = 0; i < d.Symbols.size(); ++i)
            if (upper(d.Symbols[i]) == upper(symbol))
                return i;
        return Unknown;
    }

    std::mt19937 rng_;
};

struct Installation : ::testing::Environment {
    void SetUp() override
    {
        TempInstall::Options options;
        options.UnitsText = UnitsText();
        install = std::make_unique<TempInstall>(options);
    }
    void TearDown() override { install.reset(); }
    std::unique_ptr<TempInstall> install;
};
Installation *const installation =
    static_cast<Installation *>(::testing::AddGlobalTestEnvironment(new Installation));

std::vector<DimEntry *> Entries(ListHandle catalogue)
{
    return listcheck::Items<DimEntry>(catalogue);
}

size_t SymbolCount(const DimEntry *entry)
{
    return listcheck::Items<void>(entry->UnitSymbols).size();
}

// One path, rewritten in place for every file through a handle that stays
// open: a RAM-backed folder when the system has one.
class ScratchFile {
public:
    ScratchFile()
    {
        const std::wstring name = L"uasrel-" + std::to_wstring(GetCurrentProcessId()) + L".uas";
        for (const std::wstring &folder : {std::wstring(L"Z:\\dev\\shm\\"), installation->install->Root() + L"\\"}) {
            path_ = folder + name;
            handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle_ != INVALID_HANDLE_VALUE)
                break;
        }
    }
    ~ScratchFile()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
        DeleteFileW(path_.c_str());
    }
    bool Ok() const { return handle_ != INVALID_HANDLE_VALUE; }
    const std::wstring &Path() const { return path_; }
    bool Write(const std::string &bytes)
    {
        DWORD written = 0;
        return SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) == 0 &&
               WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size() && SetEndOfFile(handle_);
    }

private:
    std::wstring path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

struct KindTally {
    uint64_t Tried = 0, Failed = 0;
    double MaxMs = 0, TotalMs = 0;
};

TEST(DamagedSetFiles, EveryFileReadsSafelyInTime)
{
    KxStatus status = 0;
    ListHandle catalogue = DimCatalogueCreate(&status);
    ASSERT_NE(catalogue, nullptr) << "units library did not load, status " << status;
    const std::vector<DimEntry *> entries = Entries(catalogue);
    ASSERT_EQ(entries.size(), Dims().size());
    std::vector<size_t> counts;
    for (size_t i = 0; i < entries.size(); ++i) {
        ASSERT_EQ(std::wstring(entries[i]->Name), std::wstring(Dims()[i].Name.begin(), Dims()[i].Name.end()));
        counts.push_back(SymbolCount(entries[i]));
        ASSERT_EQ(counts[i], Dims()[i].Symbols.size());
    }

    ScratchFile scratch;
    ASSERT_TRUE(scratch.Ok());
    const uint64_t files = rel::Count("UAS_REL_SETFILES", 10000);
    const double boundMs = static_cast<double>(rel::Count("UAS_REL_FILE_MS", 2000));
    const double hugeBoundMs = static_cast<double>(rel::Count("UAS_REL_HUGE_MS", 15000));
    const uint32_t seed = rel::Seed();
    Generator generator(seed);
    std::array<KindTally, KindCount> tallies{};
    std::vector<wchar_t> description(SetFileDescriptionChars + 1 + GuardChars);
    uint64_t failures = 0, bytesRead = 0;
    const double start = rel::NowMs();

    for (uint64_t n = 1; n <= files; ++n) {
        const Case c = generator.Make(n);
        ASSERT_TRUE(scratch.Write(c.Bytes)) << "file " << n;
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i]->SelectedUnit = c.Before[i];
        std::fill(description.begin(), description.end(), Guard);
        description[0] = L'\0';

        const double t0 = rel::NowMs();
        const int16_t read = SetFileRead(scratch.Path().c_str(), catalogue, description.data());
        const double ms = rel::NowMs() - t0;
        bytesRead += c.Bytes.size();

        std::string fault;
        if (read != 1)
            fault = "not read";
        for (size_t i = SetFileDescriptionChars + 1; i < description.size() && fault.empty(); ++i)
            if (description[i] != Guard)
                fault = "description written past its 2001 characters";
        const size_t length = wcsnlen(description.data(), SetFileDescriptionChars + 1);
        if (fault.empty() && length > SetFileDescriptionChars)
            fault = "description longer than 2000 characters or unterminated";
        for (size_t i = 0; i < length && fault.empty(); ++i)
            if (description[i] > 0xFF || description[i] == 0)
                fault = "description holds a character a set file cannot hold";
        for (size_t i = 0; i < entries.size() && fault.empty(); ++i) {
            if (entries[i]->SelectedUnit >= counts[i])
                fault = "dimension " + Dims()[i].Name + " left on symbol " +
                        std::to_string(entries[i]->SelectedUnit) + " of " + std::to_string(counts[i]);
            else if (c.Expected[i] != Unknown && entries[i]->SelectedUnit != c.Expected[i])
                fault = "dimension " + Dims()[i].Name + ": symbol " +
                        std::to_string(entries[i]->SelectedUnit) + ", expected " + std::to_string(c.Expected[i]);
        }
        if (fault.empty() && c.CheckDescription && std::wstring(description.data()) != c.Description)
            fault = "description not read back";
        if (fault.empty() && ms > (c.Type == Huge ? hugeBoundMs : boundMs))
            fault = "read took " + rel::Ms(ms);

        KindTally &tally = tallies[c.Type];
        ++tally.Tried;
        tally.TotalMs += ms;
        tally.MaxMs = std::max(tally.MaxMs, ms);
        if (!fault.empty()) {
            ++tally.Failed;
            if (++failures <= 20)
                ADD_FAILURE() << "file " << n << " (" << KindNames[c.Type] << ", seed " << seed
                              << "): " << fault;
        }
    }
    const double totalMs = rel::NowMs() - start;

    for (int k = 0; k < KindCount; ++k) {
        const KindTally &t = tallies[k];
        rel::Record({"set files", KindNames[k], t.Tried, t.Failed,
                     "mean " + rel::Ms(t.Tried ? t.TotalMs / static_cast<double>(t.Tried) : 0) + ", max " + rel::Ms(t.MaxMs)});
    }
    char figures[160];
    std::snprintf(figures, sizeof figures, "seed %u, %.1f s in all, %.0f files/s, %.1f MB read", seed,
                  totalMs / 1000.0, static_cast<double>(files) * 1000.0 / totalMs,
                  static_cast<double>(bytesRead) / 1e6);
    rel::Record({"set files", "all damaged set files", files, failures, figures});
    EXPECT_EQ(failures, 0u);
    // The catalogue lives for the process, as the editor's does.
}

} // namespace
