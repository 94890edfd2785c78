// Start-up in the test's own process with a German installation: the
// window gets the program file's icon although the texts come from the
// German string library, the command-line tail given to start-up plays no
// part, and a normal end returns 1.
#include <gtest/gtest.h>

#include "appmain.h"
#include "resource.h"
#include "testinstall.h"
#include "uitest.h"

#include <string>

namespace {

struct Observed {
    bool Seen = false;
    HICON ClassIcon = nullptr;
    std::wstring Title;
    std::wstring FileMenu;
};
Observed observed;

// Runs inside the start-up's message loop: looks at the main window once it
// is there, then closes it as the user would.
void CALLBACK Observe(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowW(L"Unit Assignment Set Builder", nullptr);
    if (!window)
        return;
    KillTimer(nullptr, timer);
    observed.Seen = true;
    observed.ClassIcon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
    observed.Title = uitest::TextOf(window);
    wchar_t text[64] = L"";
    GetMenuStringW(GetMenu(window), 0, text, 64, MF_BYPOSITION);
    observed.FileMenu = text;
    PostMessageW(window, WM_CLOSE, 0, 0);
}

std::wstring StringOf(const std::wstring &dll, UINT id)
{
    HMODULE module = LoadLibraryW(dll.c_str());
    if (!module)
        return L"<" + dll + L" missing>";
    wchar_t text[256] = L"";
    LoadStringW(module, id, text, 256);
    return text;
}

TEST(AppMainTest, GermanInstallationKeepsTheProgramIconAndIgnoresTheTail)
{
    testinstall::Options options;
    options.Language = L"German";
    testinstall::Create(options);
    SetTimer(nullptr, 0, 100, Observe);

    // The tail names another user: start-up must not hand it to the sign-on,
    // which takes the process's own arguments.
    const int code = AppMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L"/user:nobody"), SW_HIDE);

    EXPECT_EQ(code, 1);
    ASSERT_TRUE(observed.Seen);
    EXPECT_NE(observed.ClassIcon, nullptr);
    EXPECT_EQ(observed.ClassIcon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_UASEDIT)));
    const std::wstring res = testinstall::ResFolder();
    EXPECT_EQ(observed.Title, StringOf(res + L"\\uaseditg.dll", IDS_TITLE));
    EXPECT_NE(observed.Title, L"Unit Assignment Set Editor") << "the German title";
    EXPECT_EQ(observed.FileMenu, StringOf(res + L"\\kxcommog.dll", IDS_COMMON_FILE));
}

} // namespace
