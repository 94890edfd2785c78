// The tests' one set-file builder (setfiletext.h): it gives the fixed bytes
// that the end-to-end scripts' builder is checked against too, and the
// program's writer gives the builder's bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modeltest.h"
#include "setfile.h"
#include "setfiletext.h"

using namespace modeltest;

namespace {

// The fixed case (tests/common/setfile_fixed.uas): wrapping before a space,
// a hard cut inside a long path, two paragraphs, a name that fills the
// symbol column, units left at the first.
const std::string FixedDescription =
    "Heat exchanger rating for the revamp study: the duty is checked against data sheet "
    "E-101 at design flow, fouling margin 15 %. Source: "
    "Z:\\projects\\revamp-2024\\exchangers\\E-101\\vendor-data-sheet-rev-C-final.pdf"
    "\r\n\r\nSecond paragraph.";

struct FixedDimension {
    std::string Name;
    std::vector<std::string> Symbols;
    uint16_t Chosen;
};
const std::vector<FixedDimension> FixedUnits = {
    {"Temperature", {"K", "degC", "degF", "degR"}, 3},
    {"Pressure", {"Pa", "kPa", "bar", "psi", "bar(g)", "atm"}, 3},
    {"MassFlow", {"kg/s", "kg/h", "t/h", "lb/h"}, 0},
    {"Length", {"m", "mm", "ft", "in"}, 0},
    {"OverallHeatTransferCoefficientU", {"W/(m2*K)", "kW/(m2*K)", "Btu/(h*ft2*degF)"}, 1},
    {"Fraction", {"-", "%"}, 1},
};

std::string FixedByBuilder()
{
    setfiletext::Units units;
    for (const FixedDimension &d : FixedUnits)
        units.emplace_back(d.Name, d.Symbols[d.Chosen]);
    return setfiletext::File("Revamp", "Revamp.uas", FixedDescription, units);
}

std::wstring FixedFilePath()
{
    // The source tree as Wine sees it: the root is drive Z:.
    std::wstring path = L"Z:";
    for (const char *p = UAS_TESTS_COMMON; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path + L"\\setfile_fixed.uas";
}

TEST(SetFileTextTest, TheBuilderGivesTheFixedBytes)
{
    const std::string fixed = ReadBytes(FixedFilePath());
    ASSERT_NE(fixed, "<missing>") << "no fixed bytes at " << testing::PrintToString(FixedFilePath());
    EXPECT_EQ(FixedByBuilder(), fixed);
}

TEST(SetFileTextTest, TheProgramsWriterGivesTheBuildersBytes)
{
    ResetEditorState();
    std::vector<DimRecipe> recipes;
    for (const FixedDimension &d : FixedUnits) {
        DimRecipe recipe{FromLatin1(d.Name), {}, d.Chosen};
        for (const std::string &s : d.Symbols)
            recipe.Symbols.push_back(FromLatin1(s));
        recipes.push_back(recipe);
    }
    ListHandle catalogue = MakeCatalogue(recipes);
    const std::wstring path = NewFolder(L"builder") + L"Revamp.uas";
    EXPECT_EQ(SetFileSave(path.c_str(), L"Revamp", catalogue, FromLatin1(FixedDescription).c_str()).Outcome,
              SetFileOutcome::Written);
    FreeCatalogue(catalogue);
    EXPECT_EQ(ReadBytes(path), FixedByBuilder());
}

// The builder's own pieces, where the fixed case does not reach.
TEST(SetFileTextTest, PiecesAtTheirEdges)
{
    EXPECT_EQ(setfiletext::Wrapped(""), std::vector<std::string>());
    EXPECT_EQ(setfiletext::Wrapped(std::string(70, 'a')), std::vector<std::string>{std::string(70, 'a')});
    EXPECT_EQ(setfiletext::Wrapped(std::string(71, 'a')), (std::vector<std::string>{std::string(70, 'a'), "a"}));
    EXPECT_EQ(setfiletext::Stored("a\r\nb\nc\rd"), "a b c d");
    EXPECT_EQ(setfiletext::UnitLine(std::string(40, 'D'), "x"), std::string(40, 'D') + " x\r\n");
}

} // namespace
