// uasprobe: reads the state of a running editor from outside its process for
// the end-to-end scripts, and tells them where on the screen to click.
//
//   uasprobe state                   every key=value line (see ReadState)
//   uasprobe expect KEY VALUE MS     polls until line KEY has VALUE; exit 0,
//                                    or 1 and the whole state on time-out
//   uasprobe point WHAT              "x y" screen pixel at the middle of:
//                                      ctl:ID      a control of the main window
//                                      dims:ROW    a row of the Dimensions list
//                                      units:ROW   a row of the Units list
//                                      modal:ID    a control of the open dialog
//                                      sets:ROW    a row of the dialog's set list
//   uasprobe rect main|modal         "x y width height" of the main window or
//                                    the open dialog, frame included
//   uasprobe post COMMAND ID         posts WM_COMMAND ID to the main window
//   uasprobe client W H              sizes the main window so that its client
//                                    area is W by H pixels
//   uasprobe layout                  "client W H", then "ID x y width height"
//                                    of each of the eight controls, in the
//                                    main window's client coordinates
//
// Values are printed as UTF-8 with backslash, CR and LF escaped as \\, \r
// and \n, so that one value is always one line.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "resource.h"
#include "testfiles.h"
#include "uas_ids.h"

namespace {

using testfiles::Utf8;

const DWORD PollMs = 40;

std::wstring Wide(const char *text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], n);
    out.resize(wcslen(out.c_str()));
    return out;
}

std::wstring Escaped(const std::wstring &text)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\\')
            out += L"\\\\";
        else if (c == L'\r')
            out += L"\\r";
        else if (c == L'\n')
            out += L"\\n";
        else
            out += c;
    }
    return out;
}

// Writes bytes as they are: the C runtime's text mode would turn LF into
// CR LF on the way to a Unix pipe.
void Emit(const std::string &bytes)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

std::wstring TextOf(HWND window)
{
    if (!window)
        return std::wstring();
    // WM_GETTEXT crosses the process boundary; GetWindowTextW would not ask
    // another process's edit control for its text.
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT got =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<std::wstring> ListItems(HWND list)
{
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring item(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(&item[0]));
        item.resize(static_cast<size_t>(got > 0 ? got : 0));
        items.push_back(item);
    }
    return items;
}

// The editor's main window: the visible top-level window with the editor's
// two lists. Found by its controls rather than its class name, which is a
// translated text.
BOOL CALLBACK IsMain(HWND window, LPARAM data)
{
    HWND dims = GetDlgItem(window, IDC_DIMLIST);
    HWND units = GetDlgItem(window, IDC_UNITLIST);
    if (IsWindowVisible(window) && dims && units &&
        _wcsicmp(ClassOf(dims).c_str(), L"ListBox") == 0 &&
        _wcsicmp(ClassOf(units).c_str(), L"ListBox") == 0) {
        *reinterpret_cast<HWND *>(data) = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindMain()
{
    HWND found = nullptr;
    EnumWindows(IsMain, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The dialog or message box of the editor's process that takes input now:
// visible and enabled (a box over the set-selection dialog disables it).
struct Modals {
    int Count = 0;
    HWND Active = nullptr;
};

struct ModalSearch {
    DWORD Pid;
    Modals Found;
};

BOOL CALLBACK CountModal(HWND window, LPARAM data)
{
    auto *search = reinterpret_cast<ModalSearch *>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->Pid || !IsWindowVisible(window) || ClassOf(window) != L"#32770")
        return TRUE;
    ++search->Found.Count;
    // Windows come in z-order: the first enabled one is on top.
    if (!search->Found.Active && IsWindowEnabled(window))
        search->Found.Active = window;
    return TRUE;
}

Modals FindModals(HWND main)
{
    ModalSearch search = {0, {}};
    GetWindowThreadProcessId(main, &search.Pid);
    EnumWindows(CountModal, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::wstring Joined(const std::vector<std::wstring> &items)
{
    std::wstring out;
    for (size_t i = 0; i < items.size(); ++i)
        out += (i ? L"|" : L"") + items[i];
    return out;
}

struct State {
    std::vector<std::pair<std::string, std::wstring>> Lines;
    void Add(const char *key, const std::wstring &value) { Lines.emplace_back(key, value); }
    void Add(const char *key, LRESULT value) { Add(key, std::to_wstring(value)); }
    const std::wstring *Find(const std::string &key) const
    {
        for (const auto &line : Lines)
            if (line.first == key)
                return &line.second;
        return nullptr;
    }
    std::string Text() const
    {
        std::string out;
        for (const auto &line : Lines)
            out += line.first + "=" + Utf8(Escaped(line.second)) + "\n";
        return out;
    }
};

void AddList(State &state, const char *prefix, HWND list)
{
    const std::vector<std::wstring> items = ListItems(list);
    const LRESULT sel = SendMessageW(list, LB_GETCURSEL, 0, 0);
    const std::string p(prefix);
    state.Lines.emplace_back(p + ".count", std::to_wstring(items.size()));
    state.Lines.emplace_back(p + ".sel", std::to_wstring(sel));
    state.Lines.emplace_back(p + ".seltext", sel >= 0 && static_cast<size_t>(sel) < items.size()
                                                 ? items[static_cast<size_t>(sel)]
                                                 : std::wstring());
    state.Lines.emplace_back(p + ".items", Joined(items));
}

State ReadState()
{
    State state;
    HWND main = FindMain();
    state.Add("main", main ? L"yes" : L"no");
    if (!main)
        return state;
    state.Add("title", TextOf(main));
    state.Add("label", TextOf(GetDlgItem(main, IDC_SETNAME)));
    state.Add("desc", TextOf(GetDlgItem(main, IDC_DESCRIPTION)));
    state.Add("desclabel", TextOf(GetDlgItem(main, IDC_DESCLABEL)));
    state.Add("clear", TextOf(GetDlgItem(main, IDC_CLEAR)));
    state.Add("dimlabel", TextOf(GetDlgItem(main, IDC_DIMLABEL)));
    state.Add("unitlabel", TextOf(GetDlgItem(main, IDC_UNITLABEL)));
    AddList(state, "dims", GetDlgItem(main, IDC_DIMLIST));
    AddList(state, "units", GetDlgItem(main, IDC_UNITLIST));

    GUITHREADINFO gui;
    gui.cbSize = sizeof gui;
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    const bool haveGui = GetGUIThreadInfo(thread, &gui) != 0;
    state.Add("focus",
              haveGui && gui.hwndFocus ? static_cast<LRESULT>(GetDlgCtrlID(gui.hwndFocus)) : 0);
    const wchar_t *active = L"none";
    if (haveGui && gui.hwndActive)
        active = gui.hwndActive == main ? L"main" : L"other";
    state.Add("active", active);

    const Modals modals = FindModals(main);
    state.Add("modal.count", modals.Count);
    HWND modal = modals.Active;
    state.Add("modal.title", modal ? TextOf(modal) : std::wstring());
    // A message box's text is its static control 0xFFFF.
    state.Add("modal.text", modal ? TextOf(GetDlgItem(modal, 0xFFFF)) : std::wstring());
    HWND name = modal ? GetDlgItem(modal, IDC_UAS_NAME) : nullptr;
    state.Add("modal.name", TextOf(name));
    HWND sets = modal ? GetDlgItem(modal, IDC_UAS_LIST) : nullptr;
    if (sets)
        AddList(state, "sets", sets);
    return state;
}

bool PointOf(HWND window, int row, POINT &point)
{
    if (!window || !IsWindowVisible(window))
        return false;
    RECT r;
    GetClientRect(window, &r);
    if (row < 0) {
        point.x = (r.left + r.right) / 2;
        point.y = (r.top + r.bottom) / 2;
    } else {
        const LRESULT count = SendMessageW(window, LB_GETCOUNT, 0, 0);
        const LRESULT top = SendMessageW(window, LB_GETTOPINDEX, 0, 0);
        const LRESULT height = SendMessageW(window, LB_GETITEMHEIGHT, 0, 0);
        if (row >= count || row < top || height <= 0)
            return false;
        const LRESULT y = (row - top) * height + height / 2;
        if (y >= r.bottom)
            return false; // scrolled out of sight: the script must scroll first
        point.x = (r.left + r.right) / 2;
        point.y = static_cast<LONG>(y);
    }
    return ClientToScreen(window, &point) != 0;
}

// Polls done() every PollMs until it holds or timeoutMs has passed.
template <typename Done> bool WaitFor(DWORD timeoutMs, Done done)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(PollMs);
    }
}

// The screen place of WHAT ("ctl:ID", "dims:ROW", "units:ROW", "modal:ID",
// "sets:ROW"), or false while the window does not show it.
bool PlaceOf(const std::string &what, POINT &point)
{
    HWND main = FindMain();
    const size_t colon = what.find(':');
    if (!main || colon == std::string::npos)
        return false;
    const std::string kind = what.substr(0, colon);
    const int number = std::atoi(what.c_str() + colon + 1);
    HWND modal = FindModals(main).Active;
    if (kind == "ctl")
        return PointOf(GetDlgItem(main, number), -1, point);
    if (kind == "dims")
        return PointOf(GetDlgItem(main, IDC_DIMLIST), number, point);
    if (kind == "units")
        return PointOf(GetDlgItem(main, IDC_UNITLIST), number, point);
    if (kind == "modal")
        return modal && PointOf(GetDlgItem(modal, number), -1, point);
    if (kind == "sets")
        return modal && PointOf(GetDlgItem(modal, IDC_UAS_LIST), number, point);
    return false;
}

// A box that has just shown its text may not have placed its buttons yet:
// the place is asked for until it is known or timeoutMs has passed; then
// the state seen last is printed instead.
int Point(const std::string &what, DWORD timeoutMs)
{
    POINT point = {0, 0};
    if (!WaitFor(timeoutMs, [&] { return PlaceOf(what, point); })) {
        Emit("no place to click at " + what + " within " + std::to_string(timeoutMs) + " ms\n" +
             ReadState().Text());
        return 1;
    }
    Emit(std::to_string(point.x) + " " + std::to_string(point.y) + "\n");
    return 0;
}

int Rect(const std::string &which)
{
    HWND main = FindMain();
    HWND window = which == "main"            ? main
                  : which == "modal" && main ? FindModals(main).Active
                                             : nullptr;
    RECT r;
    if (!window || !GetWindowRect(window, &r))
        return 1;
    Emit(std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + "\n");
    return 0;
}

int Client(int width, int height)
{
    HWND main = FindMain();
    RECT client, frame;
    if (!main || !GetClientRect(main, &client) || !GetWindowRect(main, &frame))
        return 1;
    SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                 frame.bottom - frame.top + height - client.bottom, SWP_NOZORDER | SWP_NOMOVE);
    return 0;
}

int Layout()
{
    HWND main = FindMain();
    RECT client;
    if (!main || !GetClientRect(main, &client))
        return 1;
    std::string text =
        "client " + std::to_string(client.right) + " " + std::to_string(client.bottom) + "\n";
    for (int id = IDC_SETNAME; id <= IDC_UNITLIST; ++id) {
        RECT r = {};
        GetWindowRect(GetDlgItem(main, id), &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT *>(&r), 2);
        text += std::to_string(id) + " " + std::to_string(r.left) + " " + std::to_string(r.top) +
                " " + std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) +
                "\n";
    }
    Emit(text);
    return 0;
}

int Expect(const std::string &key, const std::wstring &value, DWORD timeoutMs)
{
    State state;
    const bool seen = WaitFor(timeoutMs, [&] {
        state = ReadState();
        const std::wstring *found = state.Find(key);
        return found && Escaped(*found) == value;
    });
    if (seen)
        return 0;
    Emit("expected " + key + "=" + Utf8(value) + "\n" + state.Text());
    return 1;
}

int Usage()
{
    Emit("usage: uasprobe state | expect KEY VALUE MS | point WHAT [MS] | rect main|modal | post "
         "COMMAND ID"
         " | client W H | layout\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Utf8(argv[i]));
    if (args.empty())
        return Usage();
    if (args[0] == "state" && args.size() == 1) {
        Emit(ReadState().Text());
        return 0;
    }
    if (args[0] == "expect" && args.size() == 4)
        return Expect(args[1], Wide(args[2].c_str()),
                      static_cast<DWORD>(std::atol(args[3].c_str())));
    if (args[0] == "point" && (args.size() == 2 || args.size() == 3))
        return Point(args[1],
                     args.size() == 3 ? static_cast<DWORD>(std::atol(args[2].c_str())) : 0);
    if (args[0] == "rect" && args.size() == 2)
        return Rect(args[1]);
    if (args[0] == "client" && args.size() == 3)
        return Client(std::atoi(args[1].c_str()), std::atoi(args[2].c_str()));
    if (args[0] == "layout" && args.size() == 1)
        return Layout();
    if (args[0] == "post" && args.size() == 3 && args[1] == "COMMAND") {
        HWND main = FindMain();
        if (!main)
            return 1;
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(std::atoi(args[2].c_str()), 0), 0);
        return 0;
    }
    return Usage();
}
