// One editor of the two-editor test, a process of its own: the real main
// window of the program with its set commands, driven by steps that the test
// releases one at a time through named events.
//   twoeditor BASE REPORT STEP...
// Before each step it waits for the event BASE-go, then does the step, adds a
// line to REPORT and sets BASE-done. Steps:
//   open:NAME          Open the set NAME in the set-selection dialog
//   unit:D:U:ANSWER    choose unit U of dimension D, then Save; a message box
//                      is answered ANSWER (Y for Yes, N for No)
//   desc:TEXT:ANSWER   type TEXT as the description, then Save, the same
// A report line: step, boxes shown, Save's result, Modified, first box text.
#include <windows.h>

#include "editstate.h"
#include "mainwnd.h"
#include "resource.h"
#include "setcmds.h"
#include "uitest.h"
#include "velw32.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD StepWaitMs = 60000;

std::vector<std::wstring> Split(const std::wstring &text, wchar_t separator)
{
    std::vector<std::wstring> parts;
    size_t from = 0;
    for (size_t at = text.find(separator); at != std::wstring::npos;
         at = text.find(separator, from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    parts.push_back(text.substr(from));
    return parts;
}

void Append(const std::wstring &report, const std::wstring &line)
{
    FILE *out = _wfopen(report.c_str(), L"ab");
    if (!out)
        return;
    const std::wstring whole = line + L"\n";
    fwrite(whole.data(), sizeof(wchar_t), whole.size(), out);
    fclose(out);
}

void Command(HWND window, int id, int code = 0, HWND control = nullptr)
{
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

// Answers the set-selection dialog with a name, OK.
class OpenAnswer {
public:
    explicit OpenAnswer(const std::wstring &name)
        : name_(name), responder_([this](HWND dialog) {
              if (HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr))
                  SetWindowTextW(field, name_.c_str());
              uitest::Press(dialog, IDOK);
          })
    {
    }

private:
    std::wstring name_;
    uitest::DialogResponder responder_;
};

std::wstring Step(HWND window, const std::wstring &step)
{
    const std::vector<std::wstring> parts = Split(step, L':');
    if (parts[0] == L"open" && parts.size() == 2) {
        // The menu command, as the user gives it: the window clears the
        // change mark after a successful Open.
        OpenAnswer answer(parts[1]);
        Command(window, IDM_OPEN);
        return step + L"\t0\t1\t" + std::to_wstring(Editor.Modified) + L"\t" +
               Editor.CurrentSetName;
    }
    std::wstring answerText;
    if (parts[0] == L"unit" && parts.size() == 4) {
        const int dimension = std::stoi(parts[1]);
        const int unit = std::stoi(parts[2]);
        SendMessageW(Editor.DimListBox, LB_SETCURSEL, dimension, 0);
        Command(window, IDC_DIMLIST, LBN_SELCHANGE, Editor.DimListBox);
        SendMessageW(Editor.UnitListBox, LB_SETCURSEL, unit, 0);
        Command(window, IDC_UNITLIST, LBN_SELCHANGE, Editor.UnitListBox);
        answerText = parts[3];
    } else if (parts[0] == L"desc" && parts.size() == 3) {
        SetWindowTextW(Editor.DescEdit, parts[1].c_str());
        Command(window, IDC_DESCRIPTION, EN_KILLFOCUS, Editor.DescEdit);
        answerText = parts[2];
    } else {
        return step + L"\tunknown step";
    }
    uitest::MessageBoxAnswerer answerer({answerText == L"Y" ? IDYES : IDNO});
    const int16_t saved = EditSaveSet();
    const std::vector<uitest::BoxRecord> &boxes = answerer.Boxes();
    std::wstring first = boxes.empty() ? L"" : boxes[0].Text;
    for (wchar_t &c : first)
        if (c == L'\n' || c == L'\t')
            c = L' ';
    return step + L"\t" + std::to_wstring(boxes.size()) + L"\t" + std::to_wstring(saved) + L"\t" +
           std::to_wstring(Editor.Modified) + L"\t" + first;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc < 4)
        return 2;
    const std::wstring base = argv[1];
    const std::wstring report = argv[2];
    HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, (base + L"-go").c_str());
    HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, (base + L"-done").c_str());
    if (!go || !done)
        return 3;
    HWND window = MainWindowCreate(nullptr);
    if (!window)
        return 4;
    for (int i = 3; i < argc; ++i) {
        if (WaitForSingleObject(go, StepWaitMs) != WAIT_OBJECT_0) {
            Append(report, std::wstring(argv[i]) + L"\tnot released in time");
            break;
        }
        Append(report, Step(window, argv[i]));
        SetEvent(done);
    }
    HelpQuit(window);
    DestroyWindow(window);
    CloseHandle(go);
    CloseHandle(done);
    return 0;
}
