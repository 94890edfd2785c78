// Waiting in the tests (see wait.h).
#include "wait.h"

namespace testwait {

::testing::AssertionResult Until(const std::string &what, const Check &check, const Options &options)
{
    const DWORD start = GetTickCount();
    std::string seen = "(nothing yet)";
    for (;;) {
        if (options.Pump) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (check(seen))
            return ::testing::AssertionSuccess();
        const DWORD waited = GetTickCount() - start;
        if (waited >= options.LimitMs)
            return ::testing::AssertionFailure()
                   << "waited " << waited << " ms for " << what << "; last seen: " << seen;
        Sleep(options.PollMs);
    }
}

::testing::AssertionResult Until(const std::string &what, DWORD limitMs, const Check &check)
{
    Options options;
    options.LimitMs = limitMs;
    return Until(what, check, options);
}

::testing::AssertionResult UntilPumping(const std::string &what, DWORD limitMs, const Check &check)
{
    Options options;
    options.LimitMs = limitMs;
    options.Pump = true;
    return Until(what, check, options);
}

} // namespace testwait
