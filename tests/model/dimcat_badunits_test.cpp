// The dimension catalogue when the installation's units library cannot read
// its units file: a program of its own, because the library keeps the
// outcome of its first read for the whole process.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "listcheck.h"
#include "dimcat.h"
#include "vel32.h"

namespace {

// The profile must be in place before the library's first call.
class BadUnitsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"uasbadunits-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir_.c_str(), nullptr);
        std::string dir;
        for (wchar_t c : dir_)
            dir += static_cast<char>(c);
        // One dimension listed twice: the library refuses the whole file.
        Write(dir_ + L"\\units.txt", "Length m cm\r\nMass kg\r\nLENGTH km\r\n");
        Write(dir_ + L"\\kalvex.ini",
              "[Kalvex_Section]\r\nRoot_Dir=" + dir + "\r\nResource_Binary_Dir=" + dir +
                  "\r\nUnits_File=" + dir +
                  "\\units.txt\r\n[VelWin_Section]\r\nLanguage=English\r\n");
        SetEnvironmentVariableW(L"KALVEX_PROFILE", (dir_ + L"\\kalvex.ini").c_str());
    }
    void TearDown() override
    {
        DeleteFileW((dir_ + L"\\units.txt").c_str());
        DeleteFileW((dir_ + L"\\kalvex.ini").c_str());
        RemoveDirectoryW(dir_.c_str());
    }

private:
    static void Write(const std::wstring &path, const std::string &text)
    {
        FILE *f = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    std::wstring dir_;
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
    KxStatus status = 0;
    ListHandle names = DimNamesCreate(&status);
    EXPECT_NE(status, 0);
    ASSERT_NE(names, nullptr);
    EXPECT_TRUE(listcheck::IsEmpty(names));
    ListFree(names);
}

} // namespace
