// The program's main routine: signs the user on, starts the units library,
// creates the main window and runs the message loop until the editor posts
// its quit message.
#include "appmain.h"

#include "mainproc.h"
#include "mainwnd.h"
#include "resloc.h"
#include "resource.h"
#include "startcheck.h"
#include "textutil.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

namespace {

// Steps 1 to 5: the sign-on, with the texts it needs released whatever it
// decides.
int16_t AppSignOn()
{
    int32_t argumentCount = 0;
    wchar_t **arguments = GetArguments(&argumentCount);
    wchar_t *title = StrLoadNewW(ResGetStringModule(), IDS_TITLE);
    wchar_t *text = ResLoadCommonText(IDS_COMMON_PRODUCTINFO);
    BYTE signOnArea[LOGIN_AREA_BYTES];
    const int16_t signedOn =
        LoginChkParameters(argumentCount, arguments, title, text, 1, signOnArea);
    if (title)
        KxFree(title);
    if (text)
        KxFree(text);
    return signedOn;
}

// A resource the installation lacks, or a profile value that cannot be used,
// is told once, before anything else, so that the user knows why texts are
// missing or in English, or why the sets cannot be found.
void AppReportResourceProblem()
{
    wchar_t *text = AppStartupProblemText();
    if (!text)
        return;
    EditMessageBox(nullptr, text, IDS_TITLE, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND,
                   EditBeep::Yes);
    KxFree(text);
}

void AppRunMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        // Tab moves between the main window's controls; it is not typed.
        if (EditHandleTabKey(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

int AppMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    AppReportResourceProblem();
    if (!AppSignOn())
        return 0;

    int32_t unitStatus = 0;
    UnitInitialize(&unitStatus);

    HWND window = MainWindowCreate(nullptr);
    if (!window) {
        // No window is left that could post the quit message, so a message
        // loop would never end. The creation handler has told the user why.
        HelpQuit(nullptr);
        return 0;
    }

    // The icon always comes from the program file, never from a string library.
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_UASEDIT));
    SetClassLongPtrW(window, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
    // The caption was drawn before the class had an icon.
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    SetForegroundWindow(window);

    AppRunMessageLoop();

    HelpQuit(window);
    DestroyWindow(window);
    return 1;
}
