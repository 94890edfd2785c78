// The names of the shortcut keys in the File menu. The menu's texts come
// from the installation's common library, which knows nothing of this
// program's keys; the key names are the program's own texts, put after a tab
// so that the menu shows them at its right edge.
#include "menukeys.h"

#include "resloc.h"
#include "resource.h"
#include "vel32.h"
#include "velw32.h"

#include <string>

namespace {

struct MenuKey {
    UINT Command;
    UINT KeyName;
};
constexpr MenuKey MenuKeys[] = {
    {IDM_NEW, IDS_KEY_NEW},
    {IDM_OPEN, IDS_KEY_OPEN},
    {IDM_SAVE, IDS_KEY_SAVE},
    {IDM_SAVEAS, IDS_KEY_SAVEAS},
};

// The item's text up to a tab, if it has one.
std::wstring MenuTextOf(HMENU menu, UINT command)
{
    const int length = GetMenuStringW(menu, command, nullptr, 0, MF_BYCOMMAND);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetMenuStringW(menu, command, &text[0], length + 1, MF_BYCOMMAND);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    const size_t tab = text.find(L'\t');
    if (tab != std::wstring::npos)
        text.resize(tab);
    return text;
}

} // namespace

void EditShowShortcutKeys(HWND window)
{
    HMENU menu = GetMenu(window);
    if (!menu)
        return;
    for (const MenuKey &key : MenuKeys) {
        wchar_t *name = StrLoadNewW(ResGetStringModule(), key.KeyName);
        if (name && *name) {
            std::wstring text = MenuTextOf(menu, key.Command);
            text += L'\t';
            text += name;
            MENUITEMINFOW item = {};
            item.cbSize = sizeof item;
            item.fMask = MIIM_STRING;
            item.dwTypeData = &text[0];
            SetMenuItemInfoW(menu, key.Command, FALSE, &item);
        }
        if (name)
            KxFree(name);
    }
}
