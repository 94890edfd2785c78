// The Dimensions list box filled from the units library (the tests' own
// units file).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls.h"
#include "dimcat.h"
#include "editstate.h"
#include "listcheck.h"
#include "modeltest.h"
#include "uitest.h"

using namespace modeltest;

namespace {

const std::vector<std::wstring> &kNames = kUnitsFileDimensions;

using DimListTest = FreshEditorTest;

TEST_F(DimListTest, ListShowFillsTheListBoxOnceAndNotifies)
{
    KxStatus status = 0;
    ListHandle catalogue = DimCatalogueCreate(&status);
    ASSERT_NE(catalogue, nullptr);
    SetSelections(catalogue, {2, 1, 2, 1, 0, 1});

    DimListShow(Editor.DimListBox);
    EXPECT_EQ(uitest::ListRows(Editor.DimListBox), kNames);
    EXPECT_EQ(SendMessageW(Editor.DimListBox, LB_GETCURSEL, 0, 0), 0);
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].Id, 75);
    EXPECT_EQ(Notices()[0].Code, LBN_SELCHANGE);

    // Again, after the user picked another dimension: one copy of each
    // name, the first selected, and the selections of the catalogue alone.
    SendMessageW(Editor.DimListBox, LB_SETCURSEL, 3, 0);
    DimListShow(Editor.DimListBox);
    EXPECT_EQ(uitest::ListRows(Editor.DimListBox), kNames);
    EXPECT_EQ(SendMessageW(Editor.DimListBox, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Notices().size(), 2u);
    EXPECT_EQ(Selections(catalogue), (std::vector<uint16_t>{2, 1, 2, 1, 0, 1}));
    FreeCatalogue(catalogue);
}

TEST_F(DimListTest, ListShowReleasesItsNameList)
{
    // Each call makes copies of every name; were they kept, the process
    // heap would hold more blocks after many calls.
    DimListShow(Editor.DimListBox);
    const size_t before = listcheck::LiveBlocks();
    for (int i = 0; i < 200; ++i)
        DimListShow(Editor.DimListBox);
    const size_t after = listcheck::LiveBlocks();
    EXPECT_LT(after, before + 100) << "blocks before " << before << ", after " << after;
}

} // namespace
