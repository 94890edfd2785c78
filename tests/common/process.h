// Starting a process from a test, the one way every test does it: a start
// that Wine fails with its internal error (1359) is tried again, nothing
// else is; every wait for the end has a limit; and a failure names its step
// (the start with its error code, the time limit, the exit code, or the
// report the child should have written).
#ifndef TESTPROCESS_H
#define TESTPROCESS_H

#include <windows.h>

#include <string>

namespace testprocess {

// How many times a start is tried when Wine fails it with its internal error.
constexpr int StartAttempts = 5;

// Which step of running a child went wrong; Done when none did.
enum class Step { Done, Start, Timeout, ExitCode, Report };

// What became of a child. Why() names the failed step in one line.
struct Outcome {
    Step Failed = Step::Done;
    std::wstring Command;
    DWORD StartError = 0;      // GetLastError of the last start that failed
    int Attempts = 0;          // starts tried
    DWORD LimitMs = 0;         // the time the end was waited for
    DWORD ExitCode = 0;        // valid once the child has ended
    DWORD ExpectedExit = 0;
    DWORD Milliseconds = 0;    // from the start to the end (or to giving up)
    std::string Output;        // standard output and error, when captured
    std::string ReportProblem; // what was wrong with the child's report

    bool Ok() const { return Failed == Step::Done; }
    std::string Why() const;
};

struct Options {
    DWORD LimitMs = 30000;          // the longest wait for the end
    DWORD ExpectedExit = 0;         // an other exit code is a failure
    bool CheckExit = true;          // false: any exit code is accepted
    bool CaptureOutput = false;     // standard output and error into Outcome::Output
};

// A running child. Starts in the constructor; a child still running when
// the object goes is ended (exit code 99).
class Process {
public:
    // commandLine starts with the program's path (quoted where it has blanks).
    explicit Process(std::wstring commandLine, bool captureOutput = false);
    ~Process();
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;

    bool Started() const { return outcome_.Failed != Step::Start; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    bool Running() const;

    // Waits up to limitMs for the end; a child that has not ended is then
    // ended and the outcome says Timeout. With checkExit, an exit code other
    // than expectedExit makes the outcome ExitCode. Returns the outcome.
    const Outcome &WaitForExit(DWORD limitMs, DWORD expectedExit = 0, bool checkExit = true);

    // The outcome so far (Start failed, or what WaitForExit found).
    const Outcome &Result() const { return outcome_; }

private:
    Outcome outcome_;
    PROCESS_INFORMATION info_ = {};
    HANDLE output_ = nullptr;
    DWORD started_ = 0;
};

// Starts the child, waits for its end and reads what it wrote: the usual
// run of a helper program.
Outcome Run(const std::wstring &commandLine, const Options &options = Options());

// Marks an outcome that was fine so far as failed at its report: the child
// ended well but what it left behind is missing or short.
void ReportFailed(Outcome &outcome, const std::string &problem);

// The whole file as bytes; false (and outcome marked Report) when it is
// missing or holds fewer than minBytes.
bool ReadReport(const std::wstring &path, std::string &bytes, Outcome &outcome, size_t minBytes = 1);

// The quoted path of a program in the test program's own folder.
std::wstring Sibling(const std::wstring &program);
// The quoted path of the test program itself.
std::wstring Self();

} // namespace testprocess

#endif
