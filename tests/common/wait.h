// Polling a condition in the tests: up to a limit, and on time-out a failure
// with what was awaited and what was seen last, instead of a fixed sleep or
// a hang until the program's time limit. (Processes, boxes and dialogs are
// awaited by their own helpers: process.h, uitest.h.)
#ifndef TESTWAIT_H
#define TESTWAIT_H

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace testwait {

// Seen by a check: it writes what it found into seen, so that a time-out
// can say it.
using Check = std::function<bool(std::string &seen)>;

struct Options {
    DWORD LimitMs = 10000;
    DWORD PollMs = 20;
    bool Pump = false; // dispatch this thread's messages between polls
};

// Polls check until it holds or the limit has passed. Success, or a failure
// "waited N ms for WHAT; last seen: SEEN".
::testing::AssertionResult Until(const std::string &what, const Check &check, const Options &options);
::testing::AssertionResult Until(const std::string &what, DWORD limitMs, const Check &check);

// The same with this thread's window messages dispatched between polls, for
// windows of the test's own thread.
::testing::AssertionResult UntilPumping(const std::string &what, DWORD limitMs, const Check &check);

} // namespace testwait

#endif
