// The units library's dimensions and symbol lists: a good units file read in
// this process, faulty files and profiles in child processes, and the demo
// installation's units library.
#include <gtest/gtest.h>

#include "child.h"
#include "testfiles.h"
#include "velx32.h"

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
        ASSERT_TRUE(r.Finished) << "exit code " << r.ExitCode;
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
    ASSERT_TRUE(r.Finished) << "the child crashed or hung, exit code " << r.ExitCode;
    EXPECT_NE(r.InitResult, 0);
    EXPECT_NE(r.InitReturn, 0);
    EXPECT_NE(r.DimStatus, 0);
    EXPECT_TRUE(r.DimListNull);
    EXPECT_TRUE(r.Dims.empty());
    EXPECT_NE(r.ProbeStatus, 0);
    EXPECT_TRUE(r.ProbeNull);
}

struct FaultyFile {
    const char *Name;
    std::string Bytes;
};

void PrintTo(const FaultyFile &f, std::ostream *os)
{
    *os << f.Name;
}

class FaultyUnitsFileTest : public testing::TestWithParam<FaultyFile> {};

const std::string Base = "Temperature K degC\n";

} // namespace

TEST_P(FaultyUnitsFileTest, ReportsFailure)
{
    testfiles::TempDir dir;
    const std::wstring units = dir.Write(L"units.txt", GetParam().Bytes);
    ExpectUnitsFailure(RunChild(dir.Write(L"kalvex.ini", ProfileFor(units)).c_str()));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FaultyUnitsFileTest,
    testing::Values(FaultyFile{"NameOf32Characters", Base + std::string(32, 'N') + " m\n"},
                    FaultyFile{"RepeatedName", Base + "Mass kg\nMass g\n"},
                    FaultyFile{"RepeatedNameOtherCase", Base + "Mass kg\nMASS g\n"},
                    FaultyFile{"RepeatedNonAsciiName", Base + "L\xC3\xA4nge m\nL\xC3\x84NGE ft\n"},
                    FaultyFile{"SymbolOf1024Characters", Base + "Length " + std::string(1024, 'm') + "\n"},
                    FaultyFile{"InvalidUtf8", Base + "Mass kg \xC3\x28\n"},
                    FaultyFile{"ControlCharacter", Base + "Mass k\x01g\n"},
                    FaultyFile{"NulCharacter", Base + std::string("Mass k\0g\n", 9)},
                    FaultyFile{"CarriageReturnInsideLine", Base + "Mass kg\rg\n"},
                    FaultyFile{"NoBreakSpaceInName", Base + "Mass\xC2\xA0" "Flow kg/s\n"},
                    FaultyFile{"IdeographicSpaceInSymbol", Base + "Mass kg\xE3\x80\x80g\n"},
                    FaultyFile{"Utf16Text", std::string("\xFF\xFET\0e\0m\0p\0 \0K\0\n\0", 16)},
                    FaultyFile{"OnlyComments", "# nothing here\n\n   \n"},
                    FaultyFile{"EmptyFile", ""},
                    FaultyFile{"ByteOrderMarkOnly", "\xEF\xBB\xBF"}),
    [](const testing::TestParamInfo<FaultyFile> &info) { return std::string(info.param.Name); });

TEST(UnitLoadTest, ProfileWithoutUsableUnitsFileFails)
{
    testfiles::TempDir dir;
    const std::wstring missing = dir.Path() + L"\\none.txt";
    const std::string profiles[] = {
        ProfileFor(missing),
        ProfileFor(dir.Path()),  // a folder
        "[Kalvex_Section]\r\nUnits_File=\r\n",
        "[Kalvex_Section]\r\nRoot_Dir=C:\\\r\n",
        "[Other_Section]\r\nUnits_File=" + testfiles::Utf8(dir.Write(L"u.txt", Base)) + "\r\n",
    };
    int n = 0;
    for (const std::string &text : profiles) {
        SCOPED_TRACE(text);
        ExpectUnitsFailure(RunChild(dir.Write(L"p" + std::to_wstring(++n) + L".ini", text).c_str()));
    }
    ExpectUnitsFailure(RunChild((dir.Path() + L"\\no-profile.ini").c_str(), false));
}

// What a new user of the demo installation sees: the build's own profile
// beside the program and the units library it names.
TEST(DemoUnitsTest, LoadsAndIsWellFormed)
{
    const ChildReport r = RunChild(nullptr);
    ASSERT_TRUE(r.Finished);
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
    ASSERT_TRUE(r.Finished);
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
