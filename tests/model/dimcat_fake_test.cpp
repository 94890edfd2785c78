// Building the dimension catalogue against a units library that fails on
// request (the fake velx32.dll beside this program): the failing status
// reaches the caller, and a failed build keeps nothing it made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listcheck.h"
#include "controls.h"
#include "dimcat.h"
#include "dimnames.h"
#include "vel32.h"

namespace {

using LogFn = const wchar_t *(WINAPI *)(void);
using CountFn = long(WINAPI *)(void);
using ResetFn = void(WINAPI *)(void);

class DimCatalogueFakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HMODULE units = GetModuleHandleW(L"velx32.dll");
        ASSERT_NE(units, nullptr);
        log = reinterpret_cast<LogFn>(
            reinterpret_cast<void *>(GetProcAddress(units, "FakeUnitsLog")));
        outstanding = reinterpret_cast<CountFn>(
            reinterpret_cast<void *>(GetProcAddress(units, "FakeUnitsOutstanding")));
        reset = reinterpret_cast<ResetFn>(
            reinterpret_cast<void *>(GetProcAddress(units, "FakeUnitsReset")));
        ASSERT_TRUE(log && outstanding && reset) << "the test's own units library was not loaded";
        reset();
        Fail(L"");
    }
    void TearDown() override { Fail(L""); }

    static void Fail(const wchar_t *what)
    {
        SetEnvironmentVariableW(L"FAKE_UNITS_FAIL", *what ? what : nullptr);
    }

    // Many failed builds leave the heap as it was.
    void ExpectNothingKept(const wchar_t *failure, KxStatus expected)
    {
        Fail(failure);
        KxStatus status = 0;
        EXPECT_EQ(DimCatalogueCreate(&status), nullptr);
        const size_t before = listcheck::LiveBlocks();
        for (int i = 0; i < 100; ++i) {
            status = 0;
            ListHandle catalogue = DimCatalogueCreate(&status);
            ASSERT_EQ(catalogue, nullptr);
            ASSERT_EQ(status, expected);
        }
        const size_t after = listcheck::LiveBlocks();
        EXPECT_LT(after, before + 50)
            << failure << ": blocks before " << before << ", after " << after;
        EXPECT_EQ(outstanding(), 0) << failure;
    }

    LogFn log = nullptr;
    CountFn outstanding = nullptr;
    ResetFn reset = nullptr;
};

TEST_F(DimCatalogueFakeTest, EntriesFirstThenSymbolsOneArrayAtATime)
{
    KxStatus status = 99;
    ListHandle catalogue = DimCatalogueCreate(&status);
    ASSERT_NE(catalogue, nullptr);
    EXPECT_EQ(status, 0);
    EXPECT_STREQ(log(), L"dims+ - sym(Length)+ - sym(Mass)+ - sym(Empty)+ - sym(Time)+ - ");
    EXPECT_EQ(outstanding(), 0);

    std::vector<std::wstring> dump;
    for (DimEntry *entry : listcheck::Items<DimEntry>(catalogue)) {
        std::wstring line = entry->Name;
        line += L":" + std::to_wstring(entry->SelectedUnit);
        for (wchar_t *symbol : listcheck::Items<wchar_t>(entry->UnitSymbols))
            line += L" " + std::wstring(symbol);
        dump.push_back(line);
    }
    EXPECT_EQ(dump, (std::vector<std::wstring>{L"Length:0 m cm", L"Mass:0 kg g t", L"Empty:0",
                                               L"Time:0 s min"}));
}

// A failure anywhere in the build fails it, with the library's status, and
// keeps nothing; the log shows how far the build went.
TEST_F(DimCatalogueFakeTest, AnyLibraryFailureFailsTheBuild)
{
    const struct {
        const wchar_t *Failure;
        KxStatus Status;
        const wchar_t *Log;
        std::vector<const wchar_t *> KeptNothing;
    } cases[] = {
        {L"dims", 5, L"dims! ", {L"dims"}},
        // The array is given back, and no symbols are asked for.
        {L"dims-array", 6, L"dims+! - ", {L"dims-array"}},
        // The build stops at the failure: Time is never asked for.
        {L"sym:Mass", 7, L"dims+ - sym(Length)+ - sym(Mass)! ", {L"sym:Mass", L"sym:Length", L"sym:Time"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "failing " << std::string(c.Failure, c.Failure + wcslen(c.Failure)));
        reset();
        Fail(c.Failure);
        KxStatus status = 0;
        EXPECT_EQ(DimCatalogueCreate(&status), nullptr);
        EXPECT_EQ(status, c.Status);
        EXPECT_STREQ(log(), c.Log);
        for (const wchar_t *failure : c.KeptNothing)
            ExpectNothingKept(failure, c.Status);
    }
}

TEST_F(DimCatalogueFakeTest, NamesListWhenTheLibraryFails)
{
    Fail(L"dims");
    EXPECT_TRUE(NamesFailEmpty());

    Fail(L"");
    KxStatus status = 99;
    ListHandle names = DimNamesCreate(&status);
    EXPECT_EQ(status, 0);
    std::vector<std::wstring> got;
    for (wchar_t *name : listcheck::Items<wchar_t>(names)) {
        got.emplace_back(name);
        KxFree(name);
    }
    ListFree(names);
    EXPECT_EQ(got, (std::vector<std::wstring>{L"Length", L"Mass", L"Empty", L"Time"}));
    EXPECT_EQ(outstanding(), 0);
}

TEST_F(DimCatalogueFakeTest, ListShowWithAFailingLibraryEmptiesTheListBox)
{
    HWND listBox = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(listBox, nullptr);
    DimListShow(listBox);
    EXPECT_EQ(SendMessageW(listBox, LB_GETCOUNT, 0, 0), 4);
    Fail(L"dims");
    DimListShow(listBox);
    EXPECT_EQ(SendMessageW(listBox, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(outstanding(), 0);
    DestroyWindow(listBox);
}

} // namespace
