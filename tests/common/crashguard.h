// The crash guard every test program is linked with (see crashguard.cpp).
#ifndef CRASHGUARD_H
#define CRASHGUARD_H

namespace crashguard {

// The exit code of a test program that crashed.
constexpr unsigned CrashExitCode = 0xC0DE;

// Names the running test in the crash report; set by the shared main.
extern const char *(*CurrentTestName)();

bool Installed();

} // namespace crashguard

#endif
