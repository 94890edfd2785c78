// The units library's dimensions and symbol lists: a good units file read in
// this process, faulty files and profiles in child processes, and the demo
// installation's units library.
#include <gtest/gtest.h>

#include "child.h"
#include "testfiles.h"
#include "unitstext.h"
#include "velx32.h"

#include <cstdio>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

using childtest::ChildReport;
using childtest::RunChild;

namespace {

using Symbols = std::vector<std::wstring>;

const std::wstring LongestName(31, L'N');
const std::wstring LongestSymbol(1023, L's');

// Blanks, tabs, comments, CR LF and LF, a byte order mark, a last line
// without line end, a name without symbols and a repeated symbol.
std::string GoodUnitsText()
{
    return "\xEF\xBB\xBF# Test units\r\n"
           "\r\n"
           "   # an indented comment\r\n"
           "Temperature\tK degC   degF\r\n"
           "Pressure  Pa\tkPa bar(g)\r\n"
           "  \t  \r\n"
           "Empty\r\n"
           "Length m \xC2\xB5m\n" +
           testfiles::Utf8(LongestName) + " x " + testfiles::Utf8(LongestSymbol) + "\n" +
           "Mass kg kg t\n"
           "\t Time s min";
}

const std::vector<std::pair<std::wstring, Symbols>> &GoodUnits()
{
    static const std::vector<std::pair<std::wstring, Symbols>> units = {
        {L"Temperature", {L"K", L"degC", L"degF"}},
        {L"Pressure", {L"Pa", L"kPa", L"bar(g)"}},
        {L"Empty", {}},
        {L"Length", {L"m", L"\u00b5m"}},
        {LongestName, {L"x", LongestSymbol}},
        {L"Mass", {L"kg", L"kg", L"t"}},
        {L"Time", {L"s", L"min"}},
    };
    return units;
}

std::string ProfileFor(const std::wstring &unitsFile)
{
    return "[Kalvex_Section]\r\nUnits_File=" + testfiles::Utf8(unitsFile) + "\r\n";
}

// This process reads the good units file; the profile must be in place before
// the first units call.
class GoodUnitsEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        dir_.reset(new testfiles::TempDir);
        const std::wstring units = dir_->Write(L"units.txt", GoodUnitsText());
        const std::wstring profile = dir_->Write(L"kalvex.ini", ProfileFor(units));
        env_.reset(new testfiles::ScopedEnv(L"KALVEX_PROFILE", profile.c_str()));
    }
    void TearDown() override
    {
        env_.reset();
        dir_.reset();
    }

private:
    std::unique_ptr<testfiles::TempDir> dir_;
    std::unique_ptr<testfiles::ScopedEnv> env_;
};

testing::Environment *const goodUnits = testing::AddGlobalTestEnvironment(new GoodUnitsEnvironment);

std::vector<std::wstring> Texts(UnitList list)
{
    std::vector<std::wstring> texts;
    for (wchar_t **item = list; item && *item; ++item)
        texts.emplace_back(*item);
    return texts;
}

} // namespace

TEST(UnitListTest, InitializeSucceeds)
{
    int32_t result = 77;
    EXPECT_EQ(UnitInitialize(&result), 0);
    EXPECT_EQ(result, 0);
    result = 77;
    EXPECT_EQ(UnitInitialize(&result), 0);
    EXPECT_EQ(result, 0);
}

TEST(UnitListTest, DimensionsInFileOrder)
{
    std::vector<std::wstring> expected;
    for (const auto &dim : GoodUnits())
        expected.push_back(dim.first);
    for (int call = 0; call < 2; ++call) {
        KxStatus status = 77;
        UnitList dims = UnitGetDimList(&status);
        ASSERT_NE(dims, nullptr);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(Texts(dims), expected);
        UnitDestroyList(dims);
    }
}

TEST(UnitListTest, SymbolsOfEachDimension)
{
    for (const auto &dim : GoodUnits()) {
        KxStatus status = 77;
        UnitList syms = UnitGetSymList(dim.first.c_str(), &status);
        ASSERT_NE(syms, nullptr) << dim.first.c_str();
        EXPECT_EQ(status, 0);
        EXPECT_EQ(Texts(syms), dim.second) << dim.first.c_str();
        UnitDestroyList(syms);
    }
}

TEST(UnitListTest, EveryListIsFresh)
{
    KxStatus status = 77;
    UnitList first = UnitGetSymList(L"Temperature", &status);
    UnitList second = UnitGetSymList(L"Temperature", &status);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(first[0], second[0]);
    // What a caller does to its list reaches nobody else.
    first[0][0] = L'X';
    UnitDestroyList(first);
    EXPECT_EQ(Texts(second), (Symbols{L"K", L"degC", L"degF"}));
    UnitDestroyList(second);

    UnitList dims = UnitGetDimList(&status);
    ASSERT_NE(dims, nullptr);
    dims[0][0] = L'X';
    UnitDestroyList(dims);
    dims = UnitGetDimList(&status);
    ASSERT_NE(dims, nullptr);
    EXPECT_EQ(std::wstring(dims[0]), L"Temperature");
    UnitDestroyList(dims);
}

TEST(UnitListTest, DimensionWithoutSymbolsGivesEmptyList)
{
    KxStatus status = 77;
    UnitList syms = UnitGetSymList(L"Empty", &status);
    ASSERT_NE(syms, nullptr);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(syms[0], nullptr);
    UnitDestroyList(syms);
}

// Dimension names are looked up exactly as the library gave them.
TEST(UnitListTest, UnknownDimensionFails)
{
    for (const wchar_t *name : {L"Volume", L"temperature", L"TEMPERATURE", L"Temperature ", L"Temp", L""}) {
        KxStatus status = 0;
        EXPECT_EQ(UnitGetSymList(name, &status), nullptr) << name;
        EXPECT_NE(status, 0) << name;
    }
    KxStatus status = 0;
    EXPECT_EQ(UnitGetSymList(nullptr, &status), nullptr);
    EXPECT_NE(status, 0);
    UnitDestroyList(nullptr);
}

// Loading in a fresh process, as the editor does it and without
// UnitInitialize first.
TEST(UnitLoadTest, ChildLoadsTheSameUnits)
{
    testfiles::TempDir dir;
    const std::wstring profile = dir.Write(L"kalvex.ini", ProfileFor(dir.Write(L"u.txt", GoodUnitsText())));
    for (bool initialize : {true, false}) {
        const ChildReport r = RunChild(profile.c_str(), initialize);
        ASSERT_TRUE(r.Finished) << r.Why;
        EXPECT_EQ(r.CalledInitialize, initialize);
        if (initialize) {
            EXPECT_EQ(r.InitResult, 0);
            EXPECT_EQ(r.InitReturn, 0);
        }
        EXPECT_EQ(r.DimStatus, 0);
        ASSERT_EQ(r.Dims.size(), GoodUnits().size());
        for (size_t i = 0; i < r.Dims.size(); ++i) {
            EXPECT_EQ(r.Dims[i].Name, GoodUnits()[i].first);
            EXPECT_EQ(r.Dims[i].Status, 0);
            EXPECT_EQ(r.Dims[i].Symbols, GoodUnits()[i].second);
        }
    }
}

namespace {

void ExpectUnitsFailure(const ChildReport &r)
{
    ASSERT_TRUE(r.Finished) << "the child crashed or hung: " << r.Why;
    EXPECT_NE(r.InitResult, 0);
    EXPECT_NE(r.InitReturn, 0);
    EXPECT_NE(r.DimStatus, 0);
    EXPECT_TRUE(r.DimListNull);
    EXPECT_TRUE(r.Dims.empty());
    EXPECT_NE(r.ProbeStatus, 0);
    EXPECT_TRUE(r.ProbeNull);
    EXPECT_EQ(r.Fault.Return, 1);
}

// A load that failed, and what the library told the program about it.
void ExpectFault(const ChildReport &r, int code, int line, const std::wstring &file, const std::wstring &detail)
{
    ExpectUnitsFailure(r);
    EXPECT_EQ(r.Fault.Code, code);
    EXPECT_EQ(r.Fault.Line, line);
    EXPECT_EQ(r.Fault.File, file);
    EXPECT_EQ(r.Fault.Detail, detail);
}

struct FaultyFile {
    const char *Name;
    std::string Bytes;
    int Code;
    int Line;
    std::wstring Detail;
};

void PrintTo(const FaultyFile &f, std::ostream *os)
{
    *os << f.Name;
}

class FaultyUnitsFileTest : public testing::TestWithParam<FaultyFile> {};

const std::string Base = "Temperature K degC\n";
constexpr wchar_t Shown = 0xFFFD;

} // namespace

TEST_P(FaultyUnitsFileTest, ReportsFailure)
{
    const FaultyFile &f = GetParam();
    testfiles::TempDir dir;
    const std::wstring units = dir.Write(L"units.txt", f.Bytes);
    const ChildReport r = RunChild(dir.Write(L"kalvex.ini", ProfileFor(units)).c_str());
    ExpectFault(r, f.Code, f.Line, units, f.Detail);
    EXPECT_EQ(r.Fault.SystemError, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FaultyUnitsFileTest,
    testing::Values(
        FaultyFile{"NameOf32Characters", Base + std::string(32, 'N') + " m\n", UNIT_FAULT_NAME_TOO_LONG, 2,
                   std::wstring(32, L'N')},
        FaultyFile{"RepeatedName", Base + "Mass kg\nMass g\n", UNIT_FAULT_DUPLICATE_NAME, 3, L"Mass"},
        FaultyFile{"RepeatedNameOtherCase", Base + "Mass kg\nMASS g\n", UNIT_FAULT_DUPLICATE_NAME, 3, L"MASS"},
        FaultyFile{"RepeatedNonAsciiName", Base + "L\xC3\xA4nge m\nL\xC3\x84NGE ft\n", UNIT_FAULT_DUPLICATE_NAME,
                   3, L"L\u00c4NGE"},
        // The first repeat in the file is the one reported.
        FaultyFile{"TwoRepeats", "A x\nB x\n# c\nb y\na y\n", UNIT_FAULT_DUPLICATE_NAME, 4, L"b"},
        // The detail is cut to its field, never inside a surrogate pair.
        FaultyFile{"SymbolOf1024Characters", Base + "Length " + std::string(1024, 'm') + "\n",
                   UNIT_FAULT_SYMBOL_TOO_LONG, 2, std::wstring(UNIT_FAULT_DETAIL_CHARS - 1, L'm')},
        FaultyFile{"LongSymbolCutBeforeSurrogates",
                   Base + "Length " + std::string(62, 'm') + "\xF0\x9F\x98\x80" + std::string(1000, 'm') + "\n",
                   UNIT_FAULT_SYMBOL_TOO_LONG, 2, std::wstring(62, L'm')},
        FaultyFile{"InvalidUtf8", Base + "Mass kg \xC3\x28\n", UNIT_FAULT_NOT_UTF8, 2, L""},
        FaultyFile{"InvalidUtf8AfterComments", "# a\r\n\r\n" + Base + "\r\n  Mass \xE2\x82 kg\r\n",
                   UNIT_FAULT_NOT_UTF8, 5, L""},
        FaultyFile{"ControlCharacter", Base + "Mass k\x01g\n", UNIT_FAULT_BAD_SYMBOL, 2,
                   std::wstring(L"k") + Shown + L"g"},
        FaultyFile{"NulCharacter", Base + std::string("Mass k\0g\n", 9), UNIT_FAULT_BAD_SYMBOL, 2,
                   std::wstring(L"k") + Shown + L"g"},
        FaultyFile{"CarriageReturnInsideLine", Base + "Mass kg\rg\n", UNIT_FAULT_BAD_SYMBOL, 2,
                   std::wstring(L"kg") + Shown + L"g"},
        FaultyFile{"NoBreakSpaceInName", Base + "Mass\xC2\xA0" "Flow kg/s\n", UNIT_FAULT_BAD_NAME, 2,
                   std::wstring(L"Mass") + Shown + L"Flow"},
        FaultyFile{"IdeographicSpaceInSymbol", Base + "Mass kg\xE3\x80\x80g\n", UNIT_FAULT_BAD_SYMBOL, 2,
                   std::wstring(L"kg") + Shown + L"g"},
        FaultyFile{"Utf16Text", std::string("\xFF\xFET\0e\0m\0p\0 \0K\0\n\0", 16), UNIT_FAULT_NOT_UTF8, 1, L""},
        FaultyFile{"OnlyComments", "# nothing here\n\n   \n", UNIT_FAULT_NO_DIMENSIONS, 0, L""},
        FaultyFile{"EmptyFile", "", UNIT_FAULT_NO_DIMENSIONS, 0, L""},
        FaultyFile{"ByteOrderMarkOnly", "\xEF\xBB\xBF", UNIT_FAULT_NO_DIMENSIONS, 0, L""},
        // Could be chosen but never saved: a set file holds one byte a
        // character.
        FaultyFile{"SymbolAboveLatin1", Base + "Resistance Ohm k\xCE\xA9\n", UNIT_FAULT_UNSTORABLE_SYMBOL, 2,
                   L"k\u03a9"},
        FaultyFile{"SymbolOutsideBmp", Base + "Count \xF0\x9D\x90\x80\n", UNIT_FAULT_UNSTORABLE_SYMBOL, 2,
                   L"\U0001D400"},
        FaultyFile{"NameAboveLatin1", Base + "\xCE\xA9hm x\n", UNIT_FAULT_UNSTORABLE_NAME, 2, L"\u03a9hm"},
        FaultyFile{"SymbolsOver32767", Base + "Length" + [] {
            std::string syms;
            for (int i = 0; i <= UNIT_MAX_SYMBOLS; ++i)
                syms += " s";
            return syms;
        }() + "\n", UNIT_FAULT_TOO_MANY_SYMBOLS, 2, L"Length"},
        FaultyFile{"DimensionsOver32767", ManyDimensions(UNIT_MAX_DIMENSIONS + 1), UNIT_FAULT_TOO_MANY_DIMENSIONS,
                   UNIT_MAX_DIMENSIONS + 3, L"D32767"}),
    [](const testing::TestParamInfo<FaultyFile> &info) { return std::string(info.param.Name); });

TEST(UnitLoadTest, ProfileWithoutUsableUnitsFile)
{
    testfiles::TempDir dir;
    const std::wstring missing = dir.Path() + L"\\none.txt";
    const std::wstring longPath = L"C:\\" + std::wstring(2000, L'p');
    const struct {
        std::string Text;
        int Code;
        std::wstring File;
    } profiles[] = {
        {"[Kalvex_Section]\r\nUnits_File=\r\n", UNIT_FAULT_PROFILE_VALUE_EMPTY, L"Units_File"},
        {"[Kalvex_Section]\r\nRoot_Dir=C:\\\r\n", UNIT_FAULT_NO_PROFILE_KEY, L"Units_File"},
        {"[Other_Section]\r\nUnits_File=" + testfiles::Utf8(dir.Write(L"u.txt", Base)) + "\r\n",
         UNIT_FAULT_NO_PROFILE_KEY, L"Units_File"},
        {ProfileFor(longPath), UNIT_FAULT_PROFILE_VALUE_TOO_LONG, L"Units_File"},
        // The longest value that surely was not cut is still a path.
        {ProfileFor(longPath.substr(0, 1022)), UNIT_FAULT_OPEN, longPath.substr(0, UNIT_FAULT_FILE_CHARS - 1)},
        {ProfileFor(longPath.substr(0, 1023)), UNIT_FAULT_PROFILE_VALUE_TOO_LONG, L"Units_File"},
        {ProfileFor(missing), UNIT_FAULT_OPEN, missing},
        {ProfileFor(dir.Path()), UNIT_FAULT_OPEN, dir.Path()},
        // There, but not to be had: never told as "names no units file".
        {"[Kalvex_Section]\r\nUnits_File=%UAS_TEST_NEVER_SET%\\u.txt\r\n",
         UNIT_FAULT_PROFILE_VALUE_UNREADABLE, L"Units_File"},
    };
    int n = 0;
    for (const auto &p : profiles) {
        SCOPED_TRACE(p.Text.substr(0, 80));
        const ChildReport r = RunChild(dir.Write(L"p" + std::to_wstring(++n) + L".ini", p.Text).c_str());
        ExpectFault(r, p.Code, 0, p.File, L"");
        if (p.Code == UNIT_FAULT_OPEN)
            EXPECT_NE(r.Fault.SystemError, 0u);
        else
            EXPECT_EQ(r.Fault.SystemError, 0u);
    }
    const ChildReport none = RunChild((dir.Path() + L"\\no-profile.ini").c_str(), false);
    ExpectFault(none, UNIT_FAULT_NO_PROFILE_KEY, 0, L"Units_File", L"");
}

TEST(UnitLoadTest, OpenFaultCarriesTheSystemError)
{
    testfiles::TempDir dir;
    const std::wstring missing = dir.Path() + L"\\none.txt";
    const ChildReport r = RunChild(dir.Write(L"kalvex.ini", ProfileFor(missing)).c_str());
    ExpectFault(r, UNIT_FAULT_OPEN, 0, missing, L"");
    EXPECT_EQ(r.Fault.SystemError, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
}

// A units "file" that opens but is no file: a pipe has no size to read.
TEST(UnitLoadTest, ReadFaultCarriesTheSystemError)
{
    testfiles::TempDir dir;
    const std::wstring pipe = L"\\\\.\\pipe\\uas-units-" + std::to_wstring(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    const ChildReport r = RunChild(dir.Write(L"kalvex.ini", ProfileFor(pipe)).c_str());
    CloseHandle(server);
    ExpectFault(r, UNIT_FAULT_READ, 0, pipe, L"");
    EXPECT_NE(r.Fault.SystemError, 0u);
}

TEST(UnitLoadTest, FileTooLarge)
{
    testfiles::TempDir dir;
    std::string big = ManyDimensions(3);
    big.resize(UNIT_FILE_MAX_BYTES + 1, '#');
    const std::wstring units = dir.Write(L"units.txt", big);
    ExpectFault(RunChild(dir.Write(L"kalvex.ini", ProfileFor(units)).c_str()), UNIT_FAULT_FILE_TOO_LARGE, 0, units,
                L"");
}

// The fault's fields are cut to fit and stay terminated.
TEST(UnitLoadTest, LongPathIsCutInTheFault)
{
    testfiles::TempDir dir;
    const std::wstring missing = dir.Path() + L"\\" + std::wstring(400, L'x') + L".txt";
    const ChildReport r = RunChild(dir.Write(L"kalvex.ini", ProfileFor(missing)).c_str());
    ExpectFault(r, UNIT_FAULT_OPEN, 0, missing.substr(0, UNIT_FAULT_FILE_CHARS - 1), L"");
}

TEST(UnitLoadTest, NoFaultAfterAGoodLoad)
{
    UnitLoadFault fault;
    FillMemory(&fault, sizeof fault, 0xCC);
    EXPECT_EQ(UnitGetLoadFault(&fault), 0);
    EXPECT_EQ(fault.Code, UNIT_FAULT_NONE);
    EXPECT_EQ(fault.Line, 0);
    EXPECT_EQ(fault.SystemError, 0u);
    EXPECT_EQ(fault.File[0], L'\0');
    EXPECT_EQ(fault.Detail[0], L'\0');
    EXPECT_EQ(UnitGetLoadFault(nullptr), 0);
}

// Whatever the calls, the profile and the units file are read once: a
// changed units file and a removed profile change none of the answers.
TEST(UnitLoadTest, SourcesAreReadOnce)
{
    testfiles::TempDir dir;
    const std::wstring units = dir.Write(L"u.txt", GoodUnitsText());
    const std::wstring profile = dir.Write(L"kalvex.ini", ProfileFor(units));
    const ChildReport r = RunChild(profile.c_str(), true, childtest::ChildMode::Reread, units.c_str());
    ASSERT_TRUE(r.Finished) << r.Why;
    EXPECT_EQ(r.InitReturn, 0);
    EXPECT_EQ(r.DimStatus, 0);
    ASSERT_EQ(r.Dims.size(), GoodUnits().size());
    for (size_t i = 0; i < r.Dims.size(); ++i) {
        EXPECT_EQ(r.Dims[i].Name, GoodUnits()[i].first);
        EXPECT_EQ(r.Dims[i].Symbols, GoodUnits()[i].second);
    }
    EXPECT_EQ(r.Fault.Return, 0);
    // The child did spoil both.
    EXPECT_EQ(GetFileAttributesW(profile.c_str()), INVALID_FILE_ATTRIBUTES);
    HANDLE h = CreateFileW(units.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char head[5] = {};
    DWORD got = 0;
    ReadFile(h, head, 5, &got, nullptr);
    CloseHandle(h);
    EXPECT_EQ(std::string(head, got), "Other");
}

namespace {

struct LargeLibrary {
    std::string Text;
    size_t Symbols = 0;
    unsigned long long Hash = 0;
};

// dims dimensions of symsEach symbols, every name and symbol different.
LargeLibrary MakeLargeLibrary(size_t dims, size_t symsEach)
{
    LargeLibrary lib;
    childtest::UnitsHash hash;
    lib.Text.reserve(dims * (symsEach * 9 + 12));
    for (size_t i = 0; i < dims; ++i) {
        const std::string name = "Dim" + std::to_string(i);
        lib.Text += name;
        hash.Add(std::wstring(name.begin(), name.end()), L'\n');
        for (size_t j = 0; j < symsEach; ++j) {
            const std::string sym = "u" + std::to_string(j) + "/" + std::to_string(i % 977);
            lib.Text += " " + sym;
            hash.Add(std::wstring(sym.begin(), sym.end()), L'\t');
        }
        lib.Text += "\r\n";
        lib.Symbols += symsEach;
    }
    lib.Hash = hash.Value();
    return lib;
}

void ExpectLargeLibraryLoads(size_t dims, size_t symsEach, double seconds)
{
    testfiles::TempDir dir;
    const LargeLibrary lib = MakeLargeLibrary(dims, symsEach);
    const std::wstring units = dir.Write(L"units.txt", lib.Text);
    const ChildReport r = RunChild(dir.Write(L"kalvex.ini", ProfileFor(units)).c_str(), true,
                                   childtest::ChildMode::Summary);
    ASSERT_TRUE(r.Finished) << r.Why;
    ASSERT_TRUE(r.Summary.Present);
    EXPECT_EQ(r.InitReturn, 0);
    EXPECT_EQ(r.Fault.Return, 0) << "fault code " << r.Fault.Code << " line " << r.Fault.Line;
    EXPECT_EQ(r.DimStatus, 0);
    EXPECT_EQ(r.Summary.Dims, dims);
    EXPECT_EQ(r.Summary.Symbols, lib.Symbols);
    EXPECT_EQ(r.Summary.FailedSymLists, 0u);
    EXPECT_EQ(r.Summary.Hash, lib.Hash) << "names or symbols differ from the file";
    EXPECT_LT(r.Summary.Seconds, seconds);
    std::printf("%zu dimensions x %zu symbols (%zu bytes): loaded and listed in %.3f s\n", dims, symsEach,
                lib.Text.size(), r.Summary.Seconds);
}

} // namespace

// The largest library the programs can index loads, and the editor's start
// (one dimension list, one symbol list per dimension) stays fast: a search
// through all dimensions per symbol list, or a pairwise name check, would
// take minutes here.
TEST(UnitScaleTest, MostDimensionsLoadQuickly)
{
    ExpectLargeLibraryLoads(UNIT_MAX_DIMENSIONS, 20, 5.0);
}

TEST(UnitScaleTest, MostSymbolsLoad)
{
    ExpectLargeLibraryLoads(1, UNIT_MAX_SYMBOLS, 5.0);
}

// What a new user of the demo installation sees: the build's own profile
// beside the program and the units library it names.
TEST(DemoUnitsTest, LoadsAndIsWellFormed)
{
    const ChildReport r = RunChild(nullptr);
    ASSERT_TRUE(r.Finished) << r.Why;
    ASSERT_EQ(r.DimStatus, 0);
    EXPECT_GE(r.Dims.size(), 40u);
    for (const auto &dim : r.Dims) {
        SCOPED_TRACE(dim.Name.c_str());
        EXPECT_EQ(dim.Status, 0);
        ASSERT_GE(dim.Name.size(), 1u);
        EXPECT_LE(dim.Name.size(), 31u);
        EXPECT_TRUE(iswupper(dim.Name[0]));
        for (wchar_t c : dim.Name)
            EXPECT_TRUE((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z')) << "CamelCase letters only";
        EXPECT_GE(dim.Symbols.size(), 2u);
        // Set files store symbols one byte per character and match them
        // ignoring case: ASCII only, and no two alike but for case.
        for (size_t i = 0; i < dim.Symbols.size(); ++i) {
            for (wchar_t c : dim.Symbols[i])
                EXPECT_TRUE(c > 0x20 && c < 0x7F) << "symbol " << i;
            for (size_t j = 0; j < i; ++j)
                EXPECT_NE(IntlStrCmpIW(dim.Symbols[i].c_str(), dim.Symbols[j].c_str()), 0)
                    << "symbols " << j << " and " << i;
        }
    }
}

// The dimensions the editor's users expect, each starting with its SI unit.
TEST(DemoUnitsTest, SiUnitFirst)
{
    const ChildReport r = RunChild(nullptr);
    ASSERT_TRUE(r.Finished) << r.Why;
    ASSERT_FALSE(r.Dims.empty());
    EXPECT_EQ(r.Dims[0].Name, L"Temperature");
    const wchar_t *const expected[][2] = {
        {L"Temperature", L"K"}, {L"Pressure", L"Pa"}, {L"MassFlow", L"kg/s"}, {L"MolarFlow", L"mol/s"},
        {L"VolumeFlow", L"m3/s"}, {L"Density", L"kg/m3"}, {L"DynamicViscosity", L"Pa*s"},
        {L"KinematicViscosity", L"m2/s"}, {L"MassEnthalpy", L"J/kg"}, {L"MolarEnthalpy", L"J/mol"},
        {L"HeatDuty", L"W"}, {L"ThermalConductivity", L"W/(m*K)"}, {L"MassHeatCapacity", L"J/(kg*K)"},
        {L"HeatTransferCoefficient", L"W/(m2*K)"}, {L"Fouling", L"m2*K/W"}, {L"HeatFlux", L"W/m2"},
        {L"Length", L"m"}, {L"Area", L"m2"}, {L"Volume", L"m3"}, {L"Mass", L"kg"}, {L"Time", L"s"},
        {L"Velocity", L"m/s"}, {L"Power", L"W"}, {L"Energy", L"J"}, {L"Frequency", L"Hz"},
        {L"MolarMass", L"kg/mol"}, {L"SurfaceTension", L"N/m"}, {L"Current", L"A"}, {L"Voltage", L"V"},
        {L"Angle", L"rad"}, {L"Force", L"N"}, {L"Torque", L"N*m"}, {L"Fraction", L"-"},
    };
    for (const auto &e : expected) {
        auto dim = r.Dims.begin();
        while (dim != r.Dims.end() && dim->Name != e[0])
            ++dim;
        ASSERT_NE(dim, r.Dims.end()) << e[0];
        ASSERT_FALSE(dim->Symbols.empty()) << e[0];
        EXPECT_EQ(dim->Symbols[0], e[1]) << e[0];
    }
}
