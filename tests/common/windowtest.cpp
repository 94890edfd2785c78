// The real main window in the test's own process; see windowtest.h.
#include "windowtest.h"

#include "listcheck.h"
#include "mainwnd.h"
#include "resource.h"
#include "testfiles.h"
#include "testinstall.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

namespace windowtest {

namespace {

class InstallationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { testinstall::Create(testinstall::Options()); }
};
const auto *const environment = ::testing::AddGlobalTestEnvironment(new InstallationEnvironment);

} // namespace

Step Press(int button)
{
    return Step{button, false, std::wstring()};
}

Step Choose(const std::wstring &name, int button)
{
    return Step{button, true, name};
}

namespace {

// Ends a dialog with the first of its buttons that does not go on.
void Cancel(HWND dialog)
{
    const int button = GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : GetDlgItem(dialog, IDNO) ? IDNO : IDOK;
    uitest::Press(dialog, button);
}

std::string Describe(const Shown &shown)
{
    if (shown.IsSelection)
        return "the set-selection dialog \"" + testfiles::Utf8(shown.Caption) + "\" (name field \"" +
               testfiles::Utf8(shown.Field) + "\")";
    return "the box \"" + testfiles::Utf8(shown.Caption) + "\": \"" + testfiles::Utf8(shown.Text) + "\"";
}

std::string Describe(const Step &step)
{
    if (step.Fill)
        return "the set-selection dialog, to choose \"" + testfiles::Utf8(step.Name) + "\"";
    const char *const names[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    const bool named = step.Button > 0 && step.Button < 8;
    return "a box with the button " + (named ? std::string(names[step.Button]) : std::to_string(step.Button));
}
} // namespace

Script::Script(std::vector<Step> steps)
    : steps_(std::move(steps)), responder_([this](HWND dialog) { Answer(dialog); })
{
}

std::vector<std::wstring> Script::Boxes() const
{
    std::vector<std::wstring> texts;
    for (const Shown &s : seen_)
        if (!s.IsSelection)
            texts.push_back(s.Text);
    return texts;
}

void Script::Answer(HWND dialog)
{
    Shown shown;
    shown.Caption = uitest::TextOf(dialog);
    shown.Text = uitest::MessageBoxText(dialog);
    HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
    shown.IsSelection = field != nullptr;
    if (field)
        shown.Field = uitest::TextOf(field);
    const size_t i = seen_.size();
    seen_.push_back(shown);
    if (i >= steps_.size()) {
        Cancel(dialog);
        return;
    }
    const Step &step = steps_[i];
    if ((step.Fill && !field) || !GetDlgItem(dialog, step.Button)) {
        ADD_FAILURE() << "step " << i + 1 << " of " << steps_.size() << " expected " << Describe(step)
                      << "; shown was " << Describe(shown) << ", which is cancelled";
        Cancel(dialog);
        return;
    }
    if (step.Fill)
        SetWindowTextW(field, step.Name.c_str());
    uitest::Press(dialog, step.Button);
}

void MainWindowTest::SetUp()
{
    EmptySetFolder();
    UserSetGlobalUnitSet(L"");
    window_ = MainWindowCreate(nullptr);
    ASSERT_NE(window_, nullptr);
}

void MainWindowTest::TearDown()
{
    HelpQuit(window_);
    DestroyWindow(window_);
    TakeQuit();
}

void MainWindowTest::RecreateWindow()
{
    TearDown();
    window_ = MainWindowCreate(nullptr);
    ASSERT_NE(window_, nullptr);
}

void MainWindowTest::Command(int id, int code, HWND control)
{
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void MainWindowTest::Close()
{
    SendMessageW(window_, WM_CLOSE, 0, 0);
}

void MainWindowTest::TypeDescription(const std::wstring &text)
{
    SetWindowTextW(Editor.DescEdit, text.c_str());
    Command(IDC_DESCRIPTION, EN_KILLFOCUS, Editor.DescEdit);
}

void MainWindowTest::Click(HWND list, int id, int row)
{
    SendMessageW(list, LB_SETCURSEL, row, 0);
    Command(id, LBN_SELCHANGE, list);
}

void MainWindowTest::PickUnit(int dimension, int unit)
{
    Click(Editor.DimListBox, IDC_DIMLIST, dimension);
    Click(Editor.UnitListBox, IDC_UNITLIST, unit);
}

void MainWindowTest::SaveAs(const std::wstring &name)
{
    Script script({Choose(name), Press(IDYES)});
    Command(IDM_SAVEAS);
}

bool MainWindowTest::TakeQuit()
{
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        quit = true;
    return quit;
}

void MainWindowTest::EmptySetFolder()
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((testinstall::SetFolder() + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring path = testinstall::SetFolder() + L"\\" + found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        } else if (found.cFileName[0] != L'.') {
            RemoveDirectoryW(path.c_str());
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

std::vector<DimEntry *> Entries()
{
    return listcheck::Items<DimEntry>(Editor.DimCatalogue);
}

DimEntry *Entry(int i)
{
    KxStatus status = 0;
    return static_cast<DimEntry *>(ListFindIth(Editor.DimCatalogue, i, &status));
}

int Selection(HWND list)
{
    return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
}

std::vector<std::wstring> TempFilesIn(const std::wstring &folder)
{
    return testfiles::Names(folder + L"\\uas*.tmp");
}

int CatalogueRecords()
{
    return static_cast<int>(listcheck::Items<void>(Editor.SetCatalogue).size());
}

} // namespace windowtest
