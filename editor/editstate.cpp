/*
 * editstate.cpp - the editor state (the set being edited, its change flags,
 * the control handles and the editor's texts) and the routines that move
 * the description between its control and its buffer, show the set's name
 * and release the state's heap strings.
 */
#include "editstate.h"

#include <string.h>
#include <wchar.h>

#include "velw32.h"

wchar_t *CurrentSetName = NULL;
wchar_t *Description = NULL;
uint16_t Modified = 0;
uint16_t Initializing = 0;
uint16_t SelectingUnits = 0;
DimEntry *CurrentDim = NULL;
wchar_t *NoneText = NULL;
wchar_t *SetNamePrefix = NULL;
wchar_t ShownSetName[EDIT_SHOWNNAME_CHARS] = L"";
ListHandle DimCatalogue = NULL;
ListHandle SetCatalogue = NULL;
HCURSOR ArrowCursor = NULL;
HCURSOR WaitCursor = NULL;
HBRUSH LabelBrush = NULL;
wchar_t AboutTitle[EDIT_ABOUT_CHARS] = L"";
wchar_t AboutText1[EDIT_ABOUT_CHARS] = L"";
wchar_t AboutText2[EDIT_ABOUT_CHARS] = L"";

HWND SetNameLabel = NULL;
HWND DescLabel = NULL;
HWND DescEdit = NULL;
HWND ClearButton = NULL;
HWND DimLabel = NULL;
HWND DimListBox = NULL;
HWND UnitLabel = NULL;
HWND UnitListBox = NULL;

static int EditIsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

void EditCopyText(wchar_t *target, size_t capacity, const wchar_t *source)
{
    if (!target || capacity == 0)
        return;
    if (!source)
        source = L"";
    size_t length = 0;
    while (length < capacity - 1 && source[length])
        ++length;
    /* A cut between the two halves of a surrogate pair would leave half a
     * character at the end; the whole character goes instead. */
    if (length > 0 && source[length] && EditIsHighSurrogate(source[length - 1]))
        --length;
    /* The source may lie inside the target (a text shown from the buffer
     * that receives it). */
    memmove(target, source, length * sizeof(wchar_t));
    target[length] = L'\0';
}

void EditReadDescription(void)
{
    if (!Description)
        return;
    LRESULT length = SendMessageW(DescEdit, WM_GETTEXTLENGTH, 0, 0);
    if (length < 0)
        length = 0;
    if (length > EDIT_DESCRIPTION_CHARS - 1)
        length = EDIT_DESCRIPTION_CHARS - 1;
    LRESULT copied = 0;
    if (length > 0)
        copied = SendMessageW(DescEdit, WM_GETTEXT, (WPARAM)(length + 1), (LPARAM)Description);
    /* The control reports how much it copied; never trust it beyond the
     * capacity that was offered. */
    if (copied < 0 || copied > length)
        copied = length;
    Description[copied] = L'\0';
    RemoveBlanks(Description);
}

void EditClearDescriptionControl(void)
{
    SetWindowTextW(DescEdit, L"");
}

void EditShowDescription(const wchar_t *text)
{
    EditClearDescriptionControl();
    if (!Description)
        return;
    if (!text)
        Description[0] = L'\0';
    else if (text != Description)
        EditCopyText(Description, EDIT_DESCRIPTION_CHARS, text);
    SetWindowTextW(DescEdit, Description);
}

void EditShowSetName(HWND label, const wchar_t *prefix, const wchar_t *name)
{
    wchar_t *text = (wchar_t *)KxMalloc(EDIT_LABEL_CHARS * sizeof(wchar_t));
    EditCopyText(ShownSetName, EDIT_SHOWNNAME_CHARS, name);
    if (!text) {
        SetWindowTextW(label, ShownSetName);
        return;
    }
    EditCopyText(text, EDIT_LABEL_CHARS, prefix);
    size_t used = wcslen(text);
    EditCopyText(text + used, EDIT_LABEL_CHARS - used, name);
    SetWindowTextW(label, text);
    KxFree(text);
}

static void EditFreeString(wchar_t **text)
{
    if (*text) {
        KxFree(*text);
        *text = NULL;
    }
}

void EditFreeBuffers(void)
{
    EditFreeString(&NoneText);
    EditFreeString(&SetNamePrefix);
    EditFreeString(&CurrentSetName);
    EditFreeString(&Description);
}
