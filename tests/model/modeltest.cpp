// Shared ground for the model and editor-state tests; see modeltest.h.
#include "modeltest.h"

#include <gtest/gtest.h>

#include "editstate.h"
#include "listcheck.h"
#include "tempinstall.h"
#include "testfiles.h"
#include "testinstall.h"
#include "uitest.h"
#include "vel32.h"
#include "velx32.h"

namespace modeltest {

namespace {

std::unique_ptr<TempInstall> g_install;
std::wstring g_dir; // the installation's folder, with a backslash
// The hidden window that holds the editor's controls for these tests.
std::unique_ptr<uitest::NoticeWindow> g_host;

void AllocateBuffers()
{
    if (!Editor.Description) {
        const size_t chars = EditDescriptionChars + kGuardChars;
        Editor.Description =
            static_cast<wchar_t *>(KxMalloc(static_cast<uint32_t>(chars * sizeof(wchar_t))));
    }
    for (size_t i = EditDescriptionChars; i < EditDescriptionChars + kGuardChars; ++i)
        Editor.Description[i] = kGuard;
    Editor.Description[0] = L'\0';
    if (!Editor.CurrentSetName) {
        Editor.CurrentSetName =
            static_cast<wchar_t *>(KxMalloc(EditSetNameChars * sizeof(wchar_t)));
        Editor.CurrentSetName[0] = L'\0';
    }
    if (!Editor.NoneText)
        Editor.NoneText = KxStrdupW(L"<none>");
    if (!Editor.SetNamePrefix)
        Editor.SetNamePrefix = KxStrdupW(L"Set Name: ");
}

class Environment : public ::testing::Environment {
public:
    void SetUp() override { EnsureEnvironment(); }
    void TearDown() override
    {
        g_host.reset();
        EditFreeBuffers();
        g_install.reset();
        g_dir.clear();
    }
};

[[maybe_unused]] ::testing::Environment *const g_environment =
    ::testing::AddGlobalTestEnvironment(new Environment);

} // namespace

void EnsureEnvironment()
{
    if (!g_dir.empty())
        return;
    // The profile names the installation's own folder for the resources
    // and the sets: the tests make their folders and files in it.
    TempInstall::Options options;
    options.NameSetDir = false;
    options.UnitsText = L"# Units of the model tests\r\n"
                        L"\r\n"
                        L"Length m cm mm km\r\n"
                        L"Mass   kg g t\r\n"
                        L"Temperature K degC degF\r\n"
                        L"Pressure Pa bar\r\n"
                        L"Dimensionless\r\n"
                        L"\tDensity kg/m3 g/cm3\r\n";
    g_install = std::make_unique<TempInstall>(options);
    const std::wstring root = g_install->Root();
    g_install->WriteProfile({{L"Kalvex_Section", L"Root_Dir", root},
                             {L"Kalvex_Section", L"Resource_Binary_Dir", root},
                             {L"Kalvex_Section", L"Set_Dir", root},
                             {L"VelWin_Section", L"Language", L"English"}},
                            false);
    g_dir = root + L"\\";

    g_host = std::make_unique<uitest::NoticeWindow>();
    Editor.SetNameLabel = g_host->AddChild(L"STATIC", 0, 70, 0, 0, 300, 20);
    Editor.DescEdit = g_host->AddChild(L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL, 72, 0, 20, 300, 80);
    Editor.DimListBox = g_host->AddChild(L"LISTBOX", LBS_NOTIFY, 75, 0, 100, 150, 150);
    // Typing limit well above the description's capacity: the tests put
    // over-long texts into the control.
    SendMessageW(Editor.DescEdit, EM_LIMITTEXT, 0x7FFE, 0);

    int32_t result = 0;
    UnitInitialize(&result);
    AllocateBuffers();
}

void CatalogueTest::Prepare(const std::vector<DimRecipe> &dims)
{
    ResetEditorState();
    catalogue = MakeCatalogue(dims);
}

void CatalogueTest::TearDown()
{
    FreeCatalogue(catalogue);
}

void OneSetFileTest::Prepare(const std::wstring &folderName, const std::wstring &fileName)
{
    CatalogueTest::Prepare({{L"Length", {L"m", L"km"}, 0}});
    folder = NewFolder(folderName);
    path = folder + fileName;
}

void ResetEditorState()
{
    EnsureEnvironment();
    AllocateBuffers();
    Editor.Modified = 0;
    SetWindowTextW(Editor.DescEdit, L"");
    g_host->Notices().clear();
}

bool DescriptionGuardIntact()
{
    for (size_t i = EditDescriptionChars; i < EditDescriptionChars + kGuardChars; ++i)
        if (Editor.Description[i] != kGuard)
            return false;
    return true;
}

std::wstring TempDir()
{
    EnsureEnvironment();
    return g_dir;
}

std::wstring TempPath(const std::wstring &name)
{
    return TempDir() + name;
}

std::wstring NewFolder(const std::wstring &name)
{
    const std::wstring folder = TempDir() + name;
    TempInstall::RemoveTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

std::vector<std::wstring> FilesIn(const std::wstring &folder)
{
    return testfiles::Names(folder + L"*");
}

std::string ReadBytes(const std::wstring &path)
{
    std::string bytes;
    return testinstall::ReadBytes(path, bytes) ? bytes : std::string("<missing>");
}

void WriteBytes(const std::wstring &path, const std::string &bytes)
{
    ASSERT_TRUE(testinstall::WriteBytes(path, bytes)) << "cannot write test file";
}

void SetControlText(HWND control, const std::wstring &text)
{
    SetWindowTextW(control, text.c_str());
}

std::wstring ControlText(HWND control)
{
    return uitest::TextOf(control);
}

std::vector<uitest::NoticeWindow::Notice> &Notices()
{
    return g_host->Notices();
}

ListHandle MakeCatalogue(const std::vector<DimRecipe> &dims)
{
    KxStatus status = 0;
    ListHandle catalogue = ListCreate(&status);
    for (const DimRecipe &recipe : dims) {
        auto *entry = static_cast<DimEntry *>(KxMalloc(sizeof(DimEntry)));
        entry->Name = KxStrdupW(recipe.Name.c_str());
        entry->SelectedUnit = recipe.Selected;
        entry->UnitSymbols = ListCreate(&status);
        for (const std::wstring &symbol : recipe.Symbols)
            ListAddBack(entry->UnitSymbols, KxStrdupW(symbol.c_str()), &status);
        ListAddBack(catalogue, entry, &status);
    }
    return catalogue;
}

void FreeCatalogue(ListHandle catalogue)
{
    DimCatalogueFree(catalogue);
}

std::vector<DimEntry *> Entries(ListHandle catalogue)
{
    return listcheck::Items<DimEntry>(catalogue);
}

std::vector<uint16_t> Selections(ListHandle catalogue)
{
    std::vector<uint16_t> selections;
    for (DimEntry *entry : Entries(catalogue))
        selections.push_back(entry->SelectedUnit);
    return selections;
}

void SetSelections(ListHandle catalogue, const std::vector<uint16_t> &selections)
{
    std::vector<DimEntry *> entries = Entries(catalogue);
    for (size_t i = 0; i < entries.size() && i < selections.size(); ++i)
        entries[i]->SelectedUnit = selections[i];
}

std::vector<std::wstring> Strings(ListHandle list)
{
    std::vector<std::wstring> strings;
    for (const wchar_t *item : listcheck::Items<const wchar_t>(list))
        strings.emplace_back(item);
    return strings;
}

std::wstring FromLatin1(const std::string &bytes)
{
    std::wstring text;
    for (char c : bytes)
        text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

} // namespace modeltest
