// The File menu of a German installation: the common library's German
// texts, each followed by a tab and the German name of its shortcut key;
// the keys themselves are the same in every language.
#include <gtest/gtest.h>

#include "filemenu.h"
#include "mainwnd.h"
#include "resource.h"
#include "installenv.h"
#include "testinstall.h"
#include "velw32.h"

#include <string>

namespace {

const auto *const environment = testinstall::AddInstallationEnvironment(testinstall::German());

TEST(GermanFileMenu, ShowsTheGermanKeyNames)
{
    HWND window = MainWindowCreate(nullptr);
    ASSERT_NE(window, nullptr);
    filemenu::Expect(GetMenu(window),
                     {L"&Neu\tStrg+N", L"\u00d6&ffnen...\tStrg+O", L"&Speichern\tStrg+S",
                      L"Speichern &unter...\tStrg+Umschalt+S", L"&L\u00f6schen...", L"&Beenden"});

    // The common library keeps its own texts: the keys are the program's.
    HMODULE common = LoadLibraryExW((testinstall::ResFolder() + L"\\kxcommog.dll").c_str(),
                                    nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(common, nullptr);
    wchar_t save[64] = L"";
    LoadStringW(common, IDS_COMMON_SAVE, save, 64);
    EXPECT_STREQ(save, L"&Speichern");
    FreeLibrary(common);
    HelpQuit(window);
    DestroyWindow(window);
}

} // namespace
