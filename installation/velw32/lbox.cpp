// List-box helpers: filling a list box from a list of strings, reading and
// setting its selection.
#include "velw32.h"

extern "C" {

// The rows are inserted at the end rather than added, so that they keep the
// list's order even in a sorting list box (rows must match list positions).
// A null item gives an empty row for the same reason. The notice is sent
// whatever the row, also when it selects nothing (then LB_GETCURSEL gives -1).
VELW32_API void WINAPI LBoxFromList(HWND listBox, ListHandle list, int16_t row)
{
    if (!listBox)
        return;
    // With its drawing on, a list box sets its scroll bar again for every
    // row, also while its window is still being created and not on screen;
    // so the drawing is off while the rows go in. A list box that its own
    // style hides is left alone: switching its drawing on would show it.
    const bool shown = (GetWindowLongW(listBox, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool onScreen = IsWindowVisible(listBox) != FALSE;
    if (shown)
        SendMessageW(listBox, WM_SETREDRAW, FALSE, 0);
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    if (list) {
        ListIterator it;
        ListIteratorInit(&it, list);
        void *item = nullptr;
        while (ListIteratorNext(&it, &item)) {
            const wchar_t *text = item ? static_cast<const wchar_t *>(item) : L"";
            SendMessageW(listBox, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(text));
        }
    }
    SendMessageW(listBox, LB_SETCURSEL, static_cast<WPARAM>(static_cast<int>(row)), 0);
    if (shown)
        SendMessageW(listBox, WM_SETREDRAW, TRUE, 0);
    // Switching the drawing on repaints nothing by itself.
    if (onScreen)
        InvalidateRect(listBox, nullptr, TRUE);

    if (HWND parent = GetParent(listBox)) {
        const int id = GetDlgCtrlID(listBox);
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(listBox));
    }
}

VELW32_API int16_t WINAPI LBoxQuerySelection(HWND listBox, int16_t fallback)
{
    if (!listBox)
        return fallback;
    const LRESULT selected = SendMessageW(listBox, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || selected < 0 || selected > INT16_MAX)
        return fallback;
    return static_cast<int16_t>(selected);
}

// Selects the row without notifying the parent (the caller knows what it
// selected). flags bit 0 (value 1): scroll the row into view; without it
// the list keeps its scroll position. Row -1 removes the selection; a row
// beyond the last one changes nothing.
VELW32_API void WINAPI LBoxSelectItem(HWND listBox, int16_t row, int16_t flags)
{
    if (!listBox)
        return;
    const LRESULT count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    if (row < -1 || count == LB_ERR || row >= count)
        return;
    const LRESULT top = SendMessageW(listBox, LB_GETTOPINDEX, 0, 0);
    SendMessageW(listBox, LB_SETCURSEL, static_cast<WPARAM>(static_cast<int>(row)), 0);
    if (!(flags & 1) && top != LB_ERR)
        SendMessageW(listBox, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
}

} // extern "C"
