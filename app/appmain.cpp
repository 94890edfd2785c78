// The program's main routine: signs the user on, starts the units library,
// creates the main window and runs the message loop until the editor posts
// its quit message.
#include "appmain.h"

#include "dpi.h"
#include "mainproc.h"
#include "mainwnd.h"
#include "resloc.h"
#include "resource.h"
#include "setopen.h"
#include "startcheck.h"
#include "textutil.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

namespace {

// The process's arguments as the window support library holds them: the
// sign-on takes them all, the editor the set file among them.
struct AppArguments {
    int32_t Count;
    wchar_t **Values;
};

// Steps 1 to 5: the sign-on, with the texts it needs released whatever it
// decides.
int16_t AppSignOn(AppArguments *given)
{
    int32_t argumentCount = 0;
    wchar_t **arguments = GetArguments(&argumentCount);
    given->Count = argumentCount;
    given->Values = arguments;
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

} // namespace

void AppRunMessageLoop(HWND window)
{
    // The shortcut keys, like the icon, come from the program file.
    HACCEL shortcuts =
        LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_SHORTCUTS));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        // Only keys aimed at the main window or its controls: the help and
        // other windows of the thread keep their own meaning for them.
        if (shortcuts && window && (message.hwnd == window || IsChild(window, message.hwnd)) &&
            TranslateAcceleratorW(window, shortcuts, &message))
            continue;
        // A dropped file is taken here, like the shortcut keys: while a
        // dialog or box is open, its own loop runs instead of this one, and
        // the window procedure lets the drop go.
        if (window && message.hwnd == window && message.message == WM_DROPFILES) {
            EditDropFiles(window, reinterpret_cast<HDROP>(message.wParam));
            continue;
        }
        // Tab moves between the main window's controls; it is not typed.
        if (EditHandleTabKey(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int AppMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    AppReportResourceProblem();
    AppArguments arguments = {0, nullptr};
    if (!AppSignOn(&arguments))
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
    // The window manager, the task bar and Alt+Tab take the icons from the
    // window itself, at the sizes of the window's display scale; the class
    // icon alone reaches only the caption.
    MainWindowSetIcons(window, MainWindowDpi(window));
    SetForegroundWindow(window);
    // A set file named on the command line (a double-click on it) opens now,
    // in the window the user sees.
    if (const wchar_t *path = EditSetFileArgument(arguments.Count, arguments.Values))
        EditOpenSetFile(window, path);

    AppRunMessageLoop(window);

    HelpQuit(window);
    DestroyWindow(window);
    return 1;
}
