// The main of the test programs that have none of their own: GoogleTest,
// with the running test's name handed to the crash guard for its report.
#include <gtest/gtest.h>

#include "crashguard.h"

namespace {

const char *RunningTest()
{
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? info->name() : "(between tests)";
}

} // namespace

int main(int argc, char **argv)
{
    crashguard::CurrentTestName = RunningTest;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
