// Linked into every test program: a crash ends the program at once with a
// failure code and a line saying what happened, instead of waiting for a
// debugger (or a debugger's question box) that nobody answers under Xvfb.
#include <windows.h>

#include <cstdio>

#include "crashguard.h"

namespace {

const char *CurrentTest()
{
    return crashguard::CurrentTestName ? crashguard::CurrentTestName() : "";
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS *info)
{
    const EXCEPTION_RECORD *record = info ? info->ExceptionRecord : nullptr;
    const unsigned long code = record ? record->ExceptionCode : 0;
    const void *address = record ? record->ExceptionAddress : nullptr;
    // No stdio streams here: the crash may have happened inside them, with
    // their lock held. One formatted line, written straight to the handle.
    char line[512];
    const int length =
        snprintf(line, sizeof line, "\nCRASH: unhandled exception 0x%08lx at %p in test %s\n", code,
                 address, CurrentTest());
    DWORD written = 0;
    if (length > 0)
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), line,
                  static_cast<DWORD>(length < static_cast<int>(sizeof line) ? length
                                                                            : sizeof line - 1),
                  &written, nullptr);
    TerminateProcess(GetCurrentProcess(), crashguard::CrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

bool Install()
{
    // No error box and no debugger for this program and the programs it
    // starts (they inherit the error mode).
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ReportCrash);
    return true;
}

// Before main, so that a program with its own main is guarded too.
const bool installed = Install();

} // namespace

namespace crashguard {

const char *(*CurrentTestName)() = nullptr;

bool Installed()
{
    return installed;
}

} // namespace crashguard
