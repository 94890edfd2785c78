// The dimension catalogue when the installation's units library cannot read
// its units file: a program of its own, because the library keeps the
// outcome of its first read for the whole process.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dimcat.h"
#include "dimnames.h"
#include "tempinstall.h"
#include "vel32.h"

namespace {

// The profile must be in place before the library's first call.
class BadUnitsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        TempInstall::Options options;
        options.NameSetDir = false;
        // One dimension listed twice: the library refuses the whole file.
        options.UnitsText = L"Length m cm\r\nMass kg\r\nLENGTH km\r\n";
        install_ = std::make_unique<TempInstall>(options);
        const std::wstring root = install_->Root();
        install_->WriteProfile({{L"Kalvex_Section", L"Root_Dir", root},
                                {L"Kalvex_Section", L"Resource_Binary_Dir", root},
                                {L"VelWin_Section", L"Language", L"English"}},
                               false);
    }
    void TearDown() override { install_.reset(); }

private:
    std::unique_ptr<TempInstall> install_;
};

[[maybe_unused]] ::testing::Environment *const g_environment =
    ::testing::AddGlobalTestEnvironment(new BadUnitsEnvironment);

TEST(DimCatalogueBadUnitsTest, BuildFailsWithTheLibrarysStatus)
{
    KxStatus status = 0;
    EXPECT_EQ(DimCatalogueCreate(&status), nullptr);
    EXPECT_NE(status, 0);
    // Again: the failure is not a one-off of the first call.
    status = 0;
    EXPECT_EQ(DimCatalogueCreate(&status), nullptr);
    EXPECT_NE(status, 0);
}

TEST(DimCatalogueBadUnitsTest, NamesListIsEmpty)
{
    EXPECT_TRUE(NamesFailEmpty());
}

} // namespace
