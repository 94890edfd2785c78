// Shared ground for the model and editor-state tests: a private profile and
// units file in a temp folder, a hidden window (uitest::NoticeWindow) with
// the description edit control, the set-name label and a Dimensions list
// box, the editor's
// buffers, and helpers for catalogues and files.
#ifndef MODELTEST_H
#define MODELTEST_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "dimcat.h"
#include "uitest.h"

namespace modeltest {

// Characters that the tests place after the 2001 characters of Description
// to see that nothing writes past them.
constexpr size_t kGuardChars = 64;
constexpr wchar_t kGuard = 0xBEEF;

// The dimensions of the harness's units file, in its order.
const std::vector<std::wstring> kUnitsFileDimensions = {
    L"Length", L"Mass", L"Temperature", L"Pressure", L"Dimensionless", L"Density"};

// Sets up the process once: profile (English, own string table), units
// file, units library, window and controls, editor buffers.
void EnsureEnvironment();

// Back to a fresh editor: empty Description and control, Modified 0,
// buffers allocated again if a test released them.
void ResetEditorState();

// Catalogues made by hand, laid out as the dimension catalogue lays them out.
struct DimRecipe {
    std::wstring Name;
    std::vector<std::wstring> Symbols;
    uint16_t Selected = 0;
};

// The fixture of tests that each start from a fresh editor.
class FreshEditorTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEditorState(); }
};

// A fresh editor and a catalogue made by hand, which the test's end frees.
class CatalogueTest : public ::testing::Test {
protected:
    void Prepare(const std::vector<DimRecipe> &dims);
    void TearDown() override;

    ListHandle catalogue = nullptr;
};

// The same with one dimension (Length: m, km), and the path of a set file in
// a new empty folder.
class OneSetFileTest : public CatalogueTest {
protected:
    void Prepare(const std::wstring &folderName, const std::wstring &fileName);

    std::wstring folder;
    std::wstring path;
};
bool DescriptionGuardIntact();

std::wstring TempDir(); // ends with a backslash
std::wstring TempPath(const std::wstring &name);
// A new empty folder inside the temp folder.
std::wstring NewFolder(const std::wstring &name);
std::vector<std::wstring> FilesIn(const std::wstring &folder);

std::string ReadBytes(const std::wstring &path);
void WriteBytes(const std::wstring &path, const std::string &bytes);

// Control texts.
void SetControlText(HWND control, const std::wstring &text);
std::wstring ControlText(HWND control);

// WM_COMMAND notices that the hidden parent window received.
std::vector<uitest::NoticeWindow::Notice> &Notices();

ListHandle MakeCatalogue(const std::vector<DimRecipe> &dims);
void FreeCatalogue(ListHandle catalogue);
std::vector<uint16_t> Selections(ListHandle catalogue);
void SetSelections(ListHandle catalogue, const std::vector<uint16_t> &selections);
std::vector<DimEntry *> Entries(ListHandle catalogue);
std::vector<std::wstring> Strings(ListHandle list);

// One byte per character, as the set file stores it.
std::wstring FromLatin1(const std::string &bytes);

} // namespace modeltest

#endif
