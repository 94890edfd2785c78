// Menu texts from a module's string table: the menu templates carry
// placeholders, and the windows put the texts of their language in place.
#include "velw32.h"
#include "texts.h"

namespace {

// Only the text changes (MIIM_STRING): type, command ID, state and popup of
// the item stay. A string the module lacks leaves the item as it is rather
// than blank.
int16_t SetItemText(HWND window, HMENU menu, UINT item, BOOL byPosition, HMODULE module, UINT id)
{
    if (!menu)
        return 0;
    std::wstring text = VelwLoadString(module, id);
    if (text.empty())
        return 0;
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = &text[0];
    if (!SetMenuItemInfoW(menu, item, byPosition, &info))
        return 0;
    // A hidden window (one still being created) draws its menu bar when it
    // shows; redrawing it now would only recompute its frame each time.
    if (window && IsWindowVisible(window))
        DrawMenuBar(window);
    return 1;
}

} // namespace

extern "C" {

VELW32_API int16_t WINAPI DlgLoadMenuText(HWND window, UINT commandId, HMODULE module, UINT id)
{
    if (!window)
        return 0;
    return SetItemText(window, GetMenu(window), commandId, FALSE, module, id);
}

// menu null: the window's own menu bar.
VELW32_API int16_t WINAPI DlgLoadMenuTextPosition(HWND window, HMENU menu, int32_t position,
                                                  HMODULE module, UINT id)
{
    if (position < 0)
        return 0;
    if (!menu && window)
        menu = GetMenu(window);
    return SetItemText(window, menu, static_cast<UINT>(position), TRUE, module, id);
}

} // extern "C"
