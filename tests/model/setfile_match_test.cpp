// How the reader matches a file's words to dimensions and units: an exact
// match wins over one that ignores letter case (MW megawatt is no mW
// milliwatt), the first of equal candidates counts, the later of two pairs
// for one dimension wins; and the work it does grows in step with the set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "importswap.h"
#include "modeltest.h"
#include "setfile.h"
#include "setfiletext.h"
#include "vel32.h"

using namespace modeltest;

namespace {

const std::string kHeader = setfiletext::Header("Match", "match.uas", {});

// Reads a set file of these body lines into the catalogue; the selections
// after it.
std::vector<uint16_t> ReadBody(ListHandle catalogue, const std::string &body)
{
    const std::wstring path = TempPath(L"match.uas");
    WriteBytes(path, kHeader + body);
    std::vector<wchar_t> description(SetFileDescriptionChars + 1, L'\0');
    EXPECT_EQ(SetFileRead(path.c_str(), catalogue, description.data()), 1);
    return Selections(catalogue);
}

using SetFileMatchTest = FreshEditorTest;

TEST_F(SetFileMatchTest, ExactSymbolWinsOverOneDifferingInCase)
{
    ListHandle catalogue = MakeCatalogue({{L"Power", {L"W", L"mW", L"MW", L"kW"}, 0}});
    EXPECT_EQ(ReadBody(catalogue, "Power MW\r\n"), std::vector<uint16_t>{2});
    EXPECT_EQ(ReadBody(catalogue, "Power mW\r\n"), std::vector<uint16_t>{1});
    // Without an exact match the first symbol equal but for case counts, as
    // files written by hand have always been read.
    EXPECT_EQ(ReadBody(catalogue, "Power KW\r\n"), std::vector<uint16_t>{3});
    EXPECT_EQ(ReadBody(catalogue, "Power Mw\r\n"), std::vector<uint16_t>{1});
    FreeCatalogue(catalogue);
}

TEST_F(SetFileMatchTest, ExactDimensionNameWinsOverOneDifferingInCase)
{
    ListHandle catalogue = MakeCatalogue({{L"flow", {L"a", L"b"}, 0}, {L"Flow", {L"a", L"b"}, 0}});
    EXPECT_EQ(ReadBody(catalogue, "Flow b\r\n"), (std::vector<uint16_t>{0, 1}));
    SetSelections(catalogue, {0, 0});
    EXPECT_EQ(ReadBody(catalogue, "flow b\r\n"), (std::vector<uint16_t>{1, 0}));
    SetSelections(catalogue, {0, 0});
    EXPECT_EQ(ReadBody(catalogue, "FLOW b\r\n"), (std::vector<uint16_t>{1, 0}))
        << "without an exact match, the first name equal but for case";
    FreeCatalogue(catalogue);
}

TEST_F(SetFileMatchTest, FirstOfTwoEqualSymbolsAndLaterOfTwoPairs)
{
    ListHandle catalogue = MakeCatalogue({{L"Length", {L"m", L"km", L"m", L"km"}, 0}});
    EXPECT_EQ(ReadBody(catalogue, "Length km\r\n"), std::vector<uint16_t>{1});
    EXPECT_EQ(ReadBody(catalogue, "Length km\r\nLength m\r\n"), std::vector<uint16_t>{0});
    EXPECT_EQ(ReadBody(catalogue, "LENGTH KM length M Length km\r\n"), std::vector<uint16_t>{1});
    FreeCatalogue(catalogue);
}

// A name that the system takes for a device is never read as a set: reading
// a device may never end, and NUL would "open" with nothing in it.
TEST_F(SetFileMatchTest, DevicesAreNeverRead)
{
    ListHandle catalogue = MakeCatalogue({{L"Length", {L"m", L"km"}, 1}});
    for (const std::wstring &path : {std::wstring(L"NUL"), TempDir() + L"NUL.uas",
                                     TempDir() + L"nul", std::wstring(L"\\\\.\\NUL")}) {
        std::vector<wchar_t> description(SetFileDescriptionChars + 1, L'\0');
        description[0] = L'x';
        EXPECT_EQ(SetFileRead(path.c_str(), catalogue, description.data()), 0)
            << std::string(path.begin(), path.end());
        EXPECT_EQ(description[0], L'x');
    }
    EXPECT_EQ(Selections(catalogue), std::vector<uint16_t>{1});
    FreeCatalogue(catalogue);
}

// Counting the support library's work while a set naming every dimension is
// read: its case-blind comparisons and the steps of its list walks. The
// count must grow in step with the set: a reader that searched the catalogue
// for each line would make about n*n/2.
long long comparisons = 0;
int32_t(WINAPI *realCompareI)(const wchar_t *, const wchar_t *) = nullptr;
int16_t(WINAPI *realNext)(ListIterator *, void **) = nullptr;

int32_t WINAPI CountCompareI(const wchar_t *a, const wchar_t *b)
{
    ++comparisons;
    return realCompareI(a, b);
}

int16_t WINAPI CountNext(ListIterator *iterator, void **item)
{
    ++comparisons;
    return realNext(iterator, item);
}

long long ComparisonsToRead(size_t dimensions)
{
    std::vector<DimRecipe> recipes;
    std::string body;
    for (size_t i = 0; i < dimensions; ++i) {
        const std::wstring name = L"Dimension" + std::to_wstring(i);
        recipes.push_back({name, {L"u0", L"u1", L"u2", L"u3", L"u4"}, 0});
        body += "Dimension" + std::to_string(i) + " u" + std::to_string(i % 5) + "\r\n";
    }
    ListHandle catalogue = MakeCatalogue(recipes);
    using Compare = int32_t(WINAPI *)(const wchar_t *, const wchar_t *);
    using Next = int16_t(WINAPI *)(ListIterator *, void **);
    importswap::Swap<Compare> caseBlind("vel32.dll", "IntlStrCmpIW", CountCompareI);
    importswap::Swap<Next> next("vel32.dll", "ListIteratorNext", CountNext);
    realCompareI = caseBlind.Original();
    realNext = next.Original();
    EXPECT_NE(realCompareI, nullptr);
    EXPECT_NE(realNext, nullptr);
    comparisons = 0;
    const std::vector<uint16_t> selections = ReadBody(catalogue, body);
    const long long counted = comparisons;
    for (size_t i = 0; i < dimensions; ++i)
        EXPECT_EQ(selections[i], i % 5) << "dimension " << i;
    FreeCatalogue(catalogue);
    return counted;
}

TEST_F(SetFileMatchTest, ReadingWorkGrowsInStepWithTheSet)
{
    const long long small = ComparisonsToRead(1000);
    const long long large = ComparisonsToRead(10000);
    // Each line costs the steps to its own symbol, at most five here, and the
    // index one step per dimension.
    EXPECT_LE(large, 10000LL * 8) << "work for 10 000 dimensions";
    EXPECT_LE(large, small * 12) << small << " steps for 1 000, " << large << " for 10 000";
}

} // namespace
