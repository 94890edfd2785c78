// The File menu of a German installation: the common library's German
// texts, each followed by a tab and the German name of its shortcut key;
// the keys themselves are the same in every language.
#include <gtest/gtest.h>

#include "mainwnd.h"
#include "resource.h"
#include "installenv.h"
#include "testinstall.h"
#include "velw32.h"

#include <string>

namespace {

const auto *const environment = testinstall::AddInstallationEnvironment(testinstall::German());

std::wstring MenuText(HMENU menu, UINT command)
{
    wchar_t text[128] = L"";
    GetMenuStringW(menu, command, text, 128, MF_BYCOMMAND);
    return text;
}

TEST(GermanFileMenu, ShowsTheGermanKeyNames)
{
    HWND window = MainWindowCreate(nullptr);
    ASSERT_NE(window, nullptr);
    HMENU menu = GetMenu(window);
    const struct {
        UINT Command;
        const wchar_t *Text;
    } items[] = {
        {IDM_NEW, L"&Neu\tStrg+N"},
        {IDM_OPEN, L"\u00d6&ffnen...\tStrg+O"},
        {IDM_SAVE, L"&Speichern\tStrg+S"},
        {IDM_SAVEAS, L"Speichern &unter...\tStrg+Umschalt+S"},
        {IDM_DELETE, L"&L\u00f6schen..."},
        {IDM_EXIT, L"&Beenden"},
    };
    for (const auto &item : items)
        EXPECT_EQ(MenuText(menu, item.Command), item.Text);

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
