// The tests' one way to start a process (process.h): a start is tried again
// on Wine's internal error and on nothing else, and each failure names its
// step.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "importswap.h"
#include "process.h"

namespace {

// Run only as the child of the tests below: UAS_PROCESS_CHILD says how to
// end ("exit N" or "sleep MS").
TEST(ProcessChild, DISABLED_EndsAsTold)
{
    const char *how = std::getenv("UAS_PROCESS_CHILD");
    ASSERT_NE(how, nullptr);
    const std::string text = how;
    if (text.rfind("sleep ", 0) == 0)
        Sleep(static_cast<DWORD>(std::atol(text.c_str() + 6)));
    ExitProcess(static_cast<UINT>(std::atol(text.c_str() + 5)));
}

std::wstring Child()
{
    return testprocess::Self() + L" --gtest_also_run_disabled_tests --gtest_filter=ProcessChild.DISABLED_EndsAsTold";
}

TEST(ProcessTest, EachFailureNamesItsStep)
{
    const struct {
        const char *How;
        DWORD LimitMs;
        testprocess::Step Step;
        const char *Named;
    } cases[] = {
        {"exit 0", 30000, testprocess::Step::Done, "ran to its end with exit code 0"},
        {"exit 3", 30000, testprocess::Step::ExitCode, "ended with exit code 3 (0x3), expected 0"},
        {"sleep 20000", 300, testprocess::Step::Timeout, "did not end within the limit of 300 ms"},
    };
    for (const auto &c : cases) {
        SetEnvironmentVariableA("UAS_PROCESS_CHILD", c.How);
        testprocess::Options options;
        options.LimitMs = c.LimitMs;
        const testprocess::Outcome outcome = testprocess::Run(Child(), options);
        EXPECT_EQ(outcome.Failed, c.Step) << c.How << ": " << outcome.Why();
        EXPECT_NE(outcome.Why().find(c.Named), std::string::npos) << c.How << ": " << outcome.Why();
        EXPECT_EQ(outcome.Attempts, 1) << c.How;
    }
    SetEnvironmentVariableA("UAS_PROCESS_CHILD", nullptr);

    const testprocess::Outcome missing = testprocess::Run(L"\"C:\\no such folder\\none.exe\"");
    EXPECT_EQ(missing.Failed, testprocess::Step::Start);
    EXPECT_NE(missing.StartError, 0u);
    EXPECT_NE(missing.Why().find("the start failed with error " + std::to_string(missing.StartError) +
                                 " after 1 attempt"),
              std::string::npos)
        << missing.Why();
}

TEST(ProcessTest, AReportMissingOrShortIsNamed)
{
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring path = std::wstring(temp) + L"uas-report-" + std::to_wstring(GetCurrentProcessId());
    DeleteFileW(path.c_str());
    std::string bytes;
    testprocess::Outcome none;
    EXPECT_FALSE(testprocess::ReadReport(path, bytes, none));
    EXPECT_EQ(none.Failed, testprocess::Step::Report);
    EXPECT_NE(none.Why().find("its report is missing"), std::string::npos) << none.Why();

    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "abc", 3, &written, nullptr);
    CloseHandle(file);
    testprocess::Outcome shortOne;
    EXPECT_FALSE(testprocess::ReadReport(path, bytes, shortOne, 10));
    EXPECT_NE(shortOne.Why().find("its report is short (3 bytes, at least 10 expected"), std::string::npos)
        << shortOne.Why();
    testprocess::Outcome whole;
    EXPECT_TRUE(testprocess::ReadReport(path, bytes, whole, 3));
    EXPECT_EQ(bytes, "abc");
    EXPECT_TRUE(whole.Ok());
    DeleteFileW(path.c_str());
}

// Starts that fail as told before the real start is made.
using CreateProcessWFunction = BOOL(WINAPI *)(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                                              DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION);
CreateProcessWFunction realCreateProcessW = nullptr;
DWORD failWith = 0;
int failuresLeft = 0;

BOOL WINAPI FailingCreateProcessW(LPCWSTR app, LPWSTR command, LPSECURITY_ATTRIBUTES pa, LPSECURITY_ATTRIBUTES ta,
                                  BOOL inherit, DWORD flags, LPVOID env, LPCWSTR dir, LPSTARTUPINFOW si,
                                  LPPROCESS_INFORMATION pi)
{
    if (failuresLeft > 0) {
        --failuresLeft;
        SetLastError(failWith);
        return FALSE;
    }
    return realCreateProcessW(app, command, pa, ta, inherit, flags, env, dir, si, pi);
}

TEST(ProcessTest, OnlyWinesInternalErrorIsTriedAgain)
{
    importswap::Swap<CreateProcessWFunction> swap("kernel32.dll", "CreateProcessW", FailingCreateProcessW);
    realCreateProcessW = swap.Original();
    ASSERT_NE(realCreateProcessW, nullptr) << "the program does not import CreateProcessW";
    SetEnvironmentVariableA("UAS_PROCESS_CHILD", "exit 0");
    const struct {
        DWORD Error;
        int Failures;
        testprocess::Step Step;
        int Attempts;
    } cases[] = {
        {ERROR_INTERNAL_ERROR, 2, testprocess::Step::Done, 3},
        {ERROR_INTERNAL_ERROR, 100, testprocess::Step::Start, testprocess::StartAttempts},
        {ERROR_ACCESS_DENIED, 1, testprocess::Step::Start, 1},
        {ERROR_NOT_ENOUGH_MEMORY, 1, testprocess::Step::Start, 1},
    };
    for (const auto &c : cases) {
        failWith = c.Error;
        failuresLeft = c.Failures;
        const testprocess::Outcome outcome = testprocess::Run(Child());
        EXPECT_EQ(outcome.Failed, c.Step) << c.Error << ": " << outcome.Why();
        EXPECT_EQ(outcome.Attempts, c.Attempts) << c.Error;
        if (c.Step == testprocess::Step::Start) {
            EXPECT_EQ(outcome.StartError, c.Error);
        }
    }
    failuresLeft = 0;
    SetEnvironmentVariableA("UAS_PROCESS_CHILD", nullptr);
}

} // namespace
