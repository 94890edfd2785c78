// The editor state and the routines that move the description between its
// control and its buffer, show the set's name and release the state's heap
// strings.
#include "editstate.h"

#include <cstring>
#include <cwchar>

#include "setlabel.h"
#include "velw32.h"

EditorState Editor = {};

namespace {

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

void FreeString(wchar_t **text)
{
    if (*text) {
        KxFree(*text);
        *text = nullptr;
    }
}

} // namespace

void EditCopyText(wchar_t *target, size_t capacity, const wchar_t *source)
{
    if (!target || capacity == 0)
        return;
    if (!source)
        source = L"";
    size_t length = 0;
    while (length < capacity - 1 && source[length])
        ++length;
    // A cut between the two halves of a surrogate pair would leave half a
    // character at the end; the whole character goes instead.
    if (length > 0 && source[length] && IsHighSurrogate(source[length - 1]))
        --length;
    // The source may lie inside the target (a text shown from the buffer
    // that receives it).
    memmove(target, source, length * sizeof(wchar_t));
    target[length] = L'\0';
}

void EditReadDescription()
{
    if (!Editor.Description)
        return;
    LRESULT length = SendMessageW(Editor.DescEdit, WM_GETTEXTLENGTH, 0, 0);
    if (length < 0)
        length = 0;
    if (length > static_cast<LRESULT>(EditDescriptionChars - 1))
        length = EditDescriptionChars - 1;
    LRESULT copied = 0;
    if (length > 0)
        copied = SendMessageW(Editor.DescEdit, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                              reinterpret_cast<LPARAM>(Editor.Description));
    // The control reports how much it copied; never trust it beyond the
    // capacity that was offered.
    if (copied < 0 || copied > length)
        copied = length;
    Editor.Description[copied] = L'\0';
    RemoveBlanks(Editor.Description);
}

void EditClearDescriptionControl()
{
    SetWindowTextW(Editor.DescEdit, L"");
}

void EditShowDescription(const wchar_t *text)
{
    EditClearDescriptionControl();
    if (!Editor.Description)
        return;
    if (!text)
        Editor.Description[0] = L'\0';
    else if (text != Editor.Description)
        EditCopyText(Editor.Description, EditDescriptionChars, text);
    SetWindowTextW(Editor.DescEdit, Editor.Description);
}

void EditShowSetName(HWND label, const wchar_t *prefix, const wchar_t *name)
{
    EditCopyText(Editor.ShownSetName, EditShownNameChars, name);
    Editor.OfferedSetName[0] = L'\0';
    wchar_t text[EditLabelChars];
    EditCopyText(text, EditLabelChars, prefix);
    const size_t used = wcslen(text);
    EditCopyText(text + used, EditLabelChars - used, name);
    EditSetNameLabelText(label, text, used, wcslen(text) - used);
}

void EditFreeBuffers()
{
    FreeString(&Editor.NoneText);
    FreeString(&Editor.SetNamePrefix);
    FreeString(&Editor.CurrentSetName);
    FreeString(&Editor.Description);
}
