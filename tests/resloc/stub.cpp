// A library with code of its own and none of the texts that the program
// looks for: it stands in the resource folder as a foreign or wrong library.
// Its entry point leaves a mark in the environment variable UAS_STUB_RAN, so
// that a test sees whether loading it ran any of its code.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        SetEnvironmentVariableW(L"UAS_STUB_RAN", L"1");
    return TRUE;
}
