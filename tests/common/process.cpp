// Starting a process from a test (see process.h).
#include "process.h"

#include "testfiles.h"

#include <cstdio>

namespace testprocess {

namespace {

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(value));
    return text;
}

std::wstring Folder()
{
    wchar_t module[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH + 1);
    std::wstring path(module, n);
    return path.substr(0, path.find_last_of(L'\\'));
}

// The pipe's reading end is read by a thread of its own, so that a child
// that writes much never blocks on a full pipe while the test waits.
struct Reader {
    HANDLE Pipe;
    std::string *Into;
};

DWORD WINAPI ReadAll(void *data)
{
    Reader *reader = static_cast<Reader *>(data);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(reader->Pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        reader->Into->append(buffer, got);
    return 0;
}

} // namespace

std::string Outcome::Why() const
{
    const std::string what = "\"" + testfiles::Utf8(Command) + "\": ";
    switch (Failed) {
    case Step::Done:
        return what + "ran to its end with exit code " + std::to_string(ExitCode);
    case Step::Start:
        return what + "the start failed with error " + std::to_string(StartError) + " after " +
               std::to_string(Attempts) + " attempt(s)";
    case Step::Timeout:
        return what + "did not end within the limit of " + std::to_string(LimitMs) + " ms (ended by the test)";
    case Step::ExitCode:
        return what + "ended with exit code " + std::to_string(ExitCode) + " (" + Hex(ExitCode) +
               "), expected " + std::to_string(ExpectedExit) + (Output.empty() ? "" : "; output:\n" + Output);
    case Step::Report:
        return what + "ended with exit code " + std::to_string(ExitCode) + ", but its report is " +
               ReportProblem;
    }
    return what + "?";
}

Process::Process(std::wstring commandLine, bool captureOutput)
{
    outcome_.Command = commandLine;
    HANDLE writeEnd = nullptr;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (captureOutput) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        if (CreatePipe(&output_, &writeEnd, &inherit, 0)) {
            SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = writeEnd;
            startup.hStdError = writeEnd;
            startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        }
    }
    started_ = GetTickCount();
    // Under a busy Wine a start now and then fails with an internal error
    // that the next try does not meet; any other error is final at once.
    for (;;) {
        ++outcome_.Attempts;
        if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, writeEnd != nullptr, 0, nullptr,
                           nullptr, &startup, &info_)) {
            outcome_.StartError = 0;
            break;
        }
        outcome_.StartError = GetLastError();
        if (outcome_.StartError != ERROR_INTERNAL_ERROR || outcome_.Attempts >= StartAttempts) {
            outcome_.Failed = Step::Start;
            break;
        }
        // Told on the test's output, so that a run's log shows every retry.
        std::printf("[ RETRY    ] start %d of %d failed with Wine's internal error (1359), tried again\n",
                    outcome_.Attempts, StartAttempts);
        std::fflush(stdout);
        Sleep(100u * static_cast<DWORD>(outcome_.Attempts));
    }
    if (writeEnd)
        CloseHandle(writeEnd);
    if (output_ && outcome_.Failed == Step::Start) {
        CloseHandle(output_);
        output_ = nullptr;
    }
}

Process::~Process()
{
    if (info_.hProcess) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    if (output_)
        CloseHandle(output_);
}

bool Process::Running() const
{
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

const Outcome &Process::WaitForExit(DWORD limitMs, DWORD expectedExit, bool checkExit)
{
    if (outcome_.Failed == Step::Start || !info_.hProcess)
        return outcome_;
    outcome_.LimitMs = limitMs;
    outcome_.ExpectedExit = expectedExit;
    // Output is read while the child runs; a thread reads it so that the
    // pipe never fills.
    Reader reader = {output_, &outcome_.Output};
    HANDLE thread = output_ ? CreateThread(nullptr, 0, ReadAll, &reader, 0, nullptr) : nullptr;
    const bool ended = WaitForSingleObject(info_.hProcess, limitMs) == WAIT_OBJECT_0;
    outcome_.Milliseconds = GetTickCount() - started_;
    if (!ended) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    GetExitCodeProcess(info_.hProcess, &outcome_.ExitCode);
    if (thread) {
        if (WaitForSingleObject(thread, 10000) == WAIT_TIMEOUT)
            CancelSynchronousIo(thread);
        WaitForSingleObject(thread, 2000);
        CloseHandle(thread);
        CloseHandle(output_);
        output_ = nullptr;
    }
    if (!ended)
        outcome_.Failed = Step::Timeout;
    else if (checkExit && outcome_.ExitCode != expectedExit)
        outcome_.Failed = Step::ExitCode;
    return outcome_;
}

Outcome Run(const std::wstring &commandLine, const Options &options)
{
    Process process(commandLine, options.CaptureOutput);
    return process.WaitForExit(options.LimitMs, options.ExpectedExit, options.CheckExit);
}

void ReportFailed(Outcome &outcome, const std::string &problem)
{
    if (outcome.Failed != Step::Done)
        return;
    outcome.Failed = Step::Report;
    outcome.ReportProblem = problem;
}

bool ReadReport(const std::wstring &path, std::string &bytes, Outcome &outcome, size_t minBytes)
{
    bytes.clear();
    FILE *in = _wfopen(path.c_str(), L"rb");
    if (!in) {
        ReportFailed(outcome, "missing (" + testfiles::Utf8(path) + ")");
        return false;
    }
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, in)) > 0)
        bytes.append(chunk, n);
    fclose(in);
    if (bytes.size() < minBytes) {
        ReportFailed(outcome, "short (" + std::to_string(bytes.size()) + " bytes, at least " +
                                  std::to_string(minBytes) + " expected, in " + testfiles::Utf8(path) + ")");
        return false;
    }
    return true;
}

std::wstring Sibling(const std::wstring &program)
{
    return L"\"" + Folder() + L"\\" + program + L"\"";
}

std::wstring Self()
{
    wchar_t module[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH + 1);
    return L"\"" + std::wstring(module, n) + L"\"";
}

} // namespace testprocess
