// Filling the "%s" places of the editor's texts safely, and the one way the
// editor shows a message box.
#include "textutil.h"

#include <cwchar>

#include "resloc.h"
#include "vel32.h"
#include "velw32.h"

namespace {

bool IsPlace(const wchar_t *p)
{
    return p[0] == L'%' && p[1] == L's';
}

} // namespace

wchar_t *EditSubstitute(const wchar_t *pattern, std::initializer_list<const wchar_t *> values)
{
    if (!pattern)
        pattern = L"";
    // First pass: the size of the result, so that the block fits exactly.
    size_t length = 0;
    auto next = values.begin();
    for (const wchar_t *p = pattern; *p; ++p) {
        if (IsPlace(p)) {
            if (next != values.end())
                length += wcslen(*next++);
            ++p;
        } else {
            ++length;
        }
    }
    auto *result =
        static_cast<wchar_t *>(KxMalloc(static_cast<uint32_t>((length + 1) * sizeof(wchar_t))));
    if (!result)
        return nullptr;
    wchar_t *out = result;
    next = values.begin();
    for (const wchar_t *p = pattern; *p; ++p) {
        if (IsPlace(p)) {
            if (next != values.end()) {
                const size_t n = wcslen(*next);
                wmemcpy(out, *next++, n);
                out += n;
            }
            ++p;
        } else {
            *out++ = *p;
        }
    }
    *out = L'\0';
    return result;
}

wchar_t *EditFormatText(HMODULE module, UINT id, std::initializer_list<const wchar_t *> values)
{
    wchar_t *pattern = StrLoadNewW(module, id);
    wchar_t *text = EditSubstitute(pattern, values);
    if (pattern)
        KxFree(pattern);
    return text;
}

int EditMessageBox(HWND owner, const wchar_t *text, UINT captionId, UINT style, EditBeep beep)
{
    wchar_t *caption = captionId != 0 ? StrLoadNewW(ResGetStringModule(), captionId) : nullptr;
    if (beep == EditBeep::Yes)
        MessageBeep(MB_ICONEXCLAMATION);
    const int answer = MessageBoxW(owner, text ? text : L"", caption ? caption : L"", style);
    if (caption)
        KxFree(caption);
    return answer;
}

int EditMessageBoxId(HWND owner, UINT textId, UINT captionId, UINT style, EditBeep beep)
{
    wchar_t *text = StrLoadNewW(ResGetStringModule(), textId);
    const int answer = EditMessageBox(owner, text, captionId, style, beep);
    if (text)
        KxFree(text);
    return answer;
}
