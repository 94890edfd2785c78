// Process entry of the editor: hands the command-line tail and the start-up
// show command to AppMain, whose result is the exit code.
#include "appmain.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    // The tail is the command line behind the program name and the blanks
    // that follow it; the program name may be quoted and hold blanks.
    LPWSTR tail = GetCommandLineW();
    if (*tail == L'"') {
        ++tail;
        while (*tail && *tail != L'"')
            ++tail;
        if (*tail == L'"')
            ++tail;
    } else {
        while (*tail && *tail != L' ' && *tail != L'\t')
            ++tail;
    }
    while (*tail == L' ' || *tail == L'\t')
        ++tail;

    STARTUPINFOW startup;
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    return AppMain(instance, nullptr, tail, show);
}
