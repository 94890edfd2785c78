// The set-name label fitted to its width, and the tooltip that gives its
// whole text while it shows a shortened one.
#include "setlabel.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "editstate.h"
#include "textutil.h"
#include "vel32.h"

namespace {

constexpr wchar_t Ellipsis[] = L"\u2026";
// An extension kept at the end of a shortened file name: a dot and at most
// this many characters after it (".uas").
constexpr size_t ExtensionChars = 5;
// Stands for the file name while the label's pattern is filled, so that the
// name's place in the text is known: a private-use character, which no
// translated text holds.
constexpr wchar_t FileMarker = L'\uE000';
constexpr UINT_PTR TipId = 1;

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

// The first n characters of text, one less when that would cut a surrogate
// pair, without blanks at the end.
std::wstring Head(const std::wstring &text, size_t n)
{
    if (n > 0 && n < text.size() && IsHighSurrogate(text[n - 1]))
        --n;
    std::wstring head = text.substr(0, n);
    while (!head.empty() && head.back() == L' ')
        head.pop_back();
    return head;
}

// The extension that a shortened name keeps: from its last dot, when that
// is not its first character and few characters follow it.
std::wstring KeptTail(const std::wstring &name)
{
    const size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos || dot == 0 || name.size() - dot > ExtensionChars + 1)
        return std::wstring();
    return name.substr(dot);
}

int LabelWidth(HWND label)
{
    RECT client = {};
    if (!label || !GetClientRect(label, &client))
        return 0;
    return client.right - client.left;
}

// The tooltip of the label, made on first need. It belongs to the main
// window, which receives the mouse over the label (a static control lets
// the mouse through to its parent), and covers the label's rectangle.
HWND TipFor(HWND label, bool make)
{
    if (Editor.SetNameTip && IsWindow(Editor.SetNameTip))
        return Editor.SetNameTip;
    Editor.SetNameTip = nullptr;
    HWND parent = label ? GetParent(label) : nullptr;
    if (!make || !parent)
        return nullptr;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tip)
        return nullptr;
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = TipId;
    tool.lpszText = const_cast<wchar_t *>(L"");
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A long name goes on over several lines rather than past the screen.
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);
    Editor.SetNameTip = tip;
    return tip;
}

// Gives the tooltip the label's place and the text (empty: no tip).
void UpdateTip(HWND label, const std::wstring &text)
{
    HWND tip = TipFor(label, !text.empty());
    if (!tip)
        return;
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(label);
    tool.uId = TipId;
    GetWindowRect(label, &tool.rect);
    MapWindowPoints(nullptr, tool.hwnd, reinterpret_cast<POINT *>(&tool.rect), 2);
    SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = const_cast<wchar_t *>(text.c_str());
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    if (text.empty())
        SendMessageW(tip, TTM_POP, 0, 0);
}

} // namespace

std::wstring EditFitText(const std::wstring &text, size_t start, size_t count, int width,
                         const std::function<int(const std::wstring &)> &measure)
{
    if (width <= 0 || start > text.size() || measure(text) <= width)
        return text;
    count = std::min(count, text.size() - start);
    const std::wstring before = text.substr(0, start);
    const std::wstring name = text.substr(start, count);
    const std::wstring after = text.substr(start + count);
    std::wstring tail = KeptTail(name);
    const std::wstring body = name.substr(0, name.size() - tail.size());
    auto shortened = [&](size_t n) { return before + Head(body, n) + Ellipsis + tail + after; };
    // Without even the extension when the label has no room for it.
    if (measure(shortened(0)) > width)
        tail.clear();
    // The longest beginning of the name that fits, by halving: the width
    // grows with the length.
    size_t low = 0;
    size_t high = body.size();
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (measure(shortened(mid)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return shortened(low);
}

void EditSetNameLabelText(HWND label, const wchar_t *text, size_t nameStart, size_t nameChars)
{
    EditCopyText(Editor.SetNameText, EditLabelChars, text);
    const size_t length = wcslen(Editor.SetNameText);
    Editor.SetNameCutStart = std::min(nameStart, length);
    Editor.SetNameCutChars = std::min(nameChars, length - Editor.SetNameCutStart);
    EditFitSetNameLabel(label);
}

void EditShowFileSetName(const wchar_t *prefix, const wchar_t *none, const wchar_t *pattern,
                         const wchar_t *file)
{
    const wchar_t marker[] = {FileMarker, L'\0'};
    wchar_t *filled = EditSubstitute(pattern, {none ? none : L"", marker});
    if (!filled)
        return;
    std::wstring text = prefix ? prefix : L"";
    text += filled;
    KxFree(filled);
    const std::wstring name = file ? file : L"";
    size_t at = text.find(FileMarker);
    // A pattern without the file's place names it at the end.
    if (at == std::wstring::npos)
        at = text.size();
    else
        text.erase(at, 1);
    text.insert(at, name);
    EditSetNameLabelText(Editor.SetNameLabel, text.c_str(), at, name.size());
}

void EditFitSetNameLabel(HWND label)
{
    if (!label)
        return;
    const std::wstring whole = Editor.SetNameText;
    std::wstring shown = whole;
    const int width = LabelWidth(label);
    HDC dc = width > 0 ? GetDC(label) : nullptr;
    if (dc) {
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0));
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        // As the label draws it: a text that does not fit is wrapped.
        auto measure = [dc](const std::wstring &piece) {
            RECT rect = {0, 0, 0, 0};
            DrawTextW(dc, piece.c_str(), static_cast<int>(piece.size()), &rect,
                      DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
            return static_cast<int>(rect.right - rect.left);
        };
        shown = EditFitText(whole, Editor.SetNameCutStart, Editor.SetNameCutChars, width, measure);
        if (old)
            SelectObject(dc, old);
        ReleaseDC(label, dc);
    }
    wchar_t current[EditLabelChars] = L"";
    GetWindowTextW(label, current, EditLabelChars);
    if (shown != current)
        SetWindowTextW(label, shown.c_str());
    UpdateTip(label, shown == whole ? std::wstring() : whole);
}

std::wstring EditSetNameTipText()
{
    HWND tip = Editor.SetNameTip && IsWindow(Editor.SetNameTip) ? Editor.SetNameTip : nullptr;
    if (!tip || !Editor.SetNameLabel)
        return std::wstring();
    wchar_t text[EditLabelChars] = L"";
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(Editor.SetNameLabel);
    tool.uId = TipId;
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, EditLabelChars, reinterpret_cast<LPARAM>(&tool));
    return text;
}
