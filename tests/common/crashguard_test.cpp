// The crash guard of the test programs: a test that crashes ends its program
// at once with the guard's exit code and a line naming the exception, rather
// than waiting for a debugger until the time limit.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "crashguard.h"
#include "process.h"

namespace {

// Run only as the child of the test below.
TEST(CrashGuardChild, DISABLED_WritesThroughANullPointer)
{
    volatile int *nowhere = nullptr;
    *nowhere = 1;
    FAIL() << "still running after the crash";
}

// The guard must end the child within seconds; 20 s means it waited.
testprocess::Outcome RunCrashingChild()
{
    testprocess::Options options;
    options.LimitMs = 20000;
    options.ExpectedExit = crashguard::CrashExitCode;
    options.CaptureOutput = true;
    return testprocess::Run(testprocess::Self() +
                                L" --gtest_also_run_disabled_tests"
                                L" --gtest_filter=CrashGuardChild.DISABLED_WritesThroughANullPointer",
                            options);
}

TEST(CrashGuardTest, ACrashEndsTheProgramAtOnceWithTheGuardsCode)
{
    ASSERT_TRUE(crashguard::Installed());
    const testprocess::Outcome child = RunCrashingChild();
    ASSERT_TRUE(child.Ok()) << child.Why();
    EXPECT_LT(child.Milliseconds, 10000u);
    EXPECT_NE(child.Output.find("CRASH: unhandled exception 0xc0000005"), std::string::npos)
        << child.Output;
    EXPECT_NE(child.Output.find("DISABLED_WritesThroughANullPointer"), std::string::npos)
        << "the report names the test";
    EXPECT_EQ(child.Output.find("still running"), std::string::npos);
}

} // namespace
