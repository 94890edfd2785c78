// The window harness of the reliability tests; see relwindow.h.
#include "relwindow.h"

#include "mainwnd.h"
#include "resource.h"
#include "testinstall.h"
#include "vel32.h"
#include "velw32.h"
#include "velx32.h"

namespace relwindow {

namespace {

class InstallationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { testinstall::Create(testinstall::Options()); }
};
const auto *const environment = ::testing::AddGlobalTestEnvironment(new InstallationEnvironment);

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
    const size_t i = seen_.size();
    seen_.push_back(shown);
    if (i >= steps_.size()) {
        const int button = GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : GetDlgItem(dialog, IDNO) ? IDNO : IDOK;
        uitest::Press(dialog, button);
        return;
    }
    if (steps_[i].Fill && field)
        SetWindowTextW(field, steps_[i].Name.c_str());
    uitest::Press(dialog, steps_[i].Button);
}

void WindowTest::SetUp()
{
    EmptySetFolder();
    UserSetGlobalUnitSet(L"");
    window_ = MainWindowCreate(nullptr);
    ASSERT_NE(window_, nullptr);
}

void WindowTest::TearDown()
{
    HelpQuit(window_);
    DestroyWindow(window_);
    TakeQuit();
}

void WindowTest::RecreateWindow()
{
    HelpQuit(window_);
    DestroyWindow(window_);
    TakeQuit();
    window_ = MainWindowCreate(nullptr);
    ASSERT_NE(window_, nullptr);
}

void WindowTest::Command(int id, int code, HWND control)
{
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void WindowTest::TypeDescription(const std::wstring &text)
{
    SetWindowTextW(Editor.DescEdit, text.c_str());
    Command(IDC_DESCRIPTION, EN_KILLFOCUS, Editor.DescEdit);
}

void WindowTest::PickUnit(int dimension, int unit)
{
    SendMessageW(Editor.DimListBox, LB_SETCURSEL, dimension, 0);
    Command(IDC_DIMLIST, LBN_SELCHANGE, Editor.DimListBox);
    SendMessageW(Editor.UnitListBox, LB_SETCURSEL, unit, 0);
    Command(IDC_UNITLIST, LBN_SELCHANGE, Editor.UnitListBox);
}

void WindowTest::SaveAs(const std::wstring &name)
{
    Script script({Choose(name), Press(IDYES)});
    Command(IDM_SAVEAS);
}

bool WindowTest::TakeQuit()
{
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        quit = true;
    return quit;
}

void WindowTest::EmptySetFolder()
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
    std::vector<DimEntry *> entries;
    ListIterator it;
    void *item = nullptr;
    ListIteratorInit(&it, Editor.DimCatalogue);
    while (ListIteratorNext(&it, &item))
        entries.push_back(static_cast<DimEntry *>(item));
    return entries;
}

std::vector<std::wstring> TempFilesIn(const std::wstring &folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\uas*.tmp").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.emplace_back(found.cFileName);
    while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

int CatalogueRecords()
{
    int n = 0;
    ListIterator it;
    void *item = nullptr;
    ListIteratorInit(&it, Editor.SetCatalogue);
    while (ListIteratorNext(&it, &item))
        ++n;
    return n;
}

std::string Narrow(const std::wstring &text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace relwindow
