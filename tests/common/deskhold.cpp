// The desktop holder of a test run: a windowless program that keeps Wine's
// desktop in use from the start of the run to its end.
//
// Wine closes a desktop one second after its last program has ended, and
// the next program to start opens a new one, whose desktop process starts
// with that program's environment. Between two tests that gap is common, so
// every test would race the old desktop process's exit against the new
// one's start ("The explorer process failed to start"), and a test running
// a window on a display of its own would leave the desktop on a display
// that ends with it. Held open once, the desktop lives on the run's display
// for the whole run, as a Windows desktop does.
//
// It asks for the desktop window (which starts the desktop process and waits
// for it), says "ready" on its standard output, and then reads its standard
// input until that ends: the script that started it holds the other end of
// the pipe, so the holder ends with the run, however the run ends. It never
// shows a window.
#include <windows.h>

#include <cstdio>

int main()
{
    if (!GetDesktopWindow()) {
        std::fprintf(stderr, "deskhold: there is no desktop window\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::fclose(stdout);
    // Nothing is ever written to the pipe; a read returns when it ends
    // (broken pipe, or no bytes).
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char unused[64];
    DWORD got = 0;
    while (ReadFile(input, unused, sizeof unused, &got, nullptr) && got > 0) {
    }
    return 0;
}
