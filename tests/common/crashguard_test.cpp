// The crash guard of the test programs: a test that crashes ends its program
// at once with the guard's exit code and a line naming the exception, rather
// than waiting for a debugger until the time limit.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "crashguard.h"

namespace {

// Run only as the child of the test below.
TEST(CrashGuardChild, DISABLED_WritesThroughANullPointer)
{
    volatile int *nowhere = nullptr;
    *nowhere = 1;
    FAIL() << "still running after the crash";
}

struct ChildResult {
    DWORD ExitCode = 0;
    DWORD Milliseconds = 0;
    std::string Output;
    bool Ended = false;
};

ChildResult RunCrashingChild()
{
    ChildResult result;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) +
                           L"\" --gtest_also_run_disabled_tests"
                           L" --gtest_filter=CrashGuardChild.DISABLED_WritesThroughANullPointer";

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    const DWORD started = GetTickCount();
    const BOOL made = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                     nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (!made) {
        CloseHandle(readEnd);
        return result;
    }
    // The guard must end the child within seconds; 20 s means it waited.
    result.Ended = WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
    result.Milliseconds = GetTickCount() - started;
    if (!result.Ended)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &result.ExitCode);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        result.Output.append(buffer, got);
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

TEST(CrashGuardTest, ACrashEndsTheProgramAtOnceWithTheGuardsCode)
{
    ASSERT_TRUE(crashguard::Installed());
    const ChildResult child = RunCrashingChild();
    ASSERT_TRUE(child.Ended) << "the crashed program was still running after 20 s";
    EXPECT_EQ(child.ExitCode, crashguard::CrashExitCode);
    EXPECT_LT(child.Milliseconds, 10000u);
    EXPECT_NE(child.Output.find("CRASH: unhandled exception 0xc0000005"), std::string::npos)
        << child.Output;
    EXPECT_NE(child.Output.find("DISABLED_WritesThroughANullPointer"), std::string::npos)
        << "the report names the test";
    EXPECT_EQ(child.Output.find("still running"), std::string::npos);
}

} // namespace
