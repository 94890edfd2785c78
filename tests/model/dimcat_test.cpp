// The dimension catalogue built from the units library (the tests' own units
// file), and the Dimensions list box filled from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listcheck.h"
#include "dimcat.h"
#include "modeltest.h"
#include "velx32.h"

using namespace modeltest;

namespace {

const std::vector<std::wstring> &kNames = kUnitsFileDimensions;

std::vector<std::wstring> LibraryList(UnitList list)
{
    std::vector<std::wstring> strings;
    for (wchar_t **s = list; s && *s; ++s)
        strings.emplace_back(*s);
    return strings;
}

using DimCatalogueTest = FreshEditorTest;

TEST_F(DimCatalogueTest, OneEntryPerDimensionInTheLibrarysOrder)
{
    KxStatus status = 99;
    ListHandle catalogue = DimCatalogueCreate(&status);
    ASSERT_NE(catalogue, nullptr);
    EXPECT_EQ(status, 0);

    std::vector<std::wstring> names;
    for (DimEntry *entry : Entries(catalogue))
        names.emplace_back(entry->Name);
    EXPECT_EQ(names, kNames);
    EXPECT_EQ(Selections(catalogue), std::vector<uint16_t>(kNames.size(), 0));
    FreeCatalogue(catalogue);
}

TEST_F(DimCatalogueTest, EachEntryHoldsItsDimensionsSymbols)
{
    KxStatus status = 0;
    ListHandle catalogue = DimCatalogueCreate(&status);
    ASSERT_NE(catalogue, nullptr);
    for (DimEntry *entry : Entries(catalogue)) {
        KxStatus libStatus = 0;
        UnitList symbols = UnitGetSymList(entry->Name, &libStatus);
        ASSERT_EQ(libStatus, 0);
        EXPECT_EQ(Strings(entry->UnitSymbols), LibraryList(symbols)) << entry->Name;
        UnitDestroyList(symbols);
    }
    const std::vector<DimEntry *> entries = Entries(catalogue);
    EXPECT_EQ(Strings(entries[0]->UnitSymbols),
              (std::vector<std::wstring>{L"m", L"cm", L"mm", L"km"}));
    EXPECT_EQ(Strings(entries[5]->UnitSymbols), (std::vector<std::wstring>{L"kg/m3", L"g/cm3"}));
    // A dimension without symbols has an empty list, not a missing one.
    ASSERT_NE(entries[4]->UnitSymbols, nullptr);
    EXPECT_TRUE(Strings(entries[4]->UnitSymbols).empty());
    FreeCatalogue(catalogue);
}

TEST_F(DimCatalogueTest, EntriesOwnTheirStrings)
{
    KxStatus status = 0;
    ListHandle first = DimCatalogueCreate(&status);
    ListHandle second = DimCatalogueCreate(&status);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const std::vector<DimEntry *> a = Entries(first);
    const std::vector<DimEntry *> b = Entries(second);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_NE(a[i], b[i]);
        EXPECT_NE(a[i]->Name, b[i]->Name);
        EXPECT_NE(a[i]->UnitSymbols, b[i]->UnitSymbols);
    }
    // Changing one catalogue's copies leaves the other and the library alone.
    a[0]->Name[0] = L'X';
    static_cast<wchar_t *>(ListFindIth(a[0]->UnitSymbols, 0, &status))[0] = L'Y';
    EXPECT_STREQ(b[0]->Name, L"Length");
    EXPECT_STREQ(static_cast<wchar_t *>(ListFindIth(b[0]->UnitSymbols, 0, &status)), L"m");
    UnitList names = UnitGetDimList(&status);
    EXPECT_EQ(LibraryList(names), kNames);
    UnitDestroyList(names);
    // Both can be released block by block: every string is a block of its own.
    FreeCatalogue(first);
    FreeCatalogue(second);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}

} // namespace
