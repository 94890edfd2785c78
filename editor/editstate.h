/*
 * editstate.h - the editor state: the set being edited, the change flags,
 * the control handles and the editor's texts, with the routines that move
 * the description between its control and its buffer and show the set's
 * name.
 */
#ifndef EDITSTATE_H
#define EDITSTATE_H

#include <windows.h>
#include <stdint.h>
#include "vel32.h"
#include "dimcat.h"

#define EDIT_SETNAME_CHARS      255   /* CurrentSetName, terminator included */
#define EDIT_DESCRIPTION_CHARS  2001  /* Description: 2000 and the terminator */
#define EDIT_SHOWNNAME_CHARS    64    /* ShownSetName */
#define EDIT_LABEL_CHARS        256   /* the set-name label's text */
#define EDIT_ABOUT_CHARS        160   /* each product information text */

extern wchar_t *CurrentSetName;
extern wchar_t *Description;
extern uint16_t Modified;
extern uint16_t Initializing;
extern uint16_t SelectingUnits;
extern DimEntry *CurrentDim;
extern wchar_t *NoneText;
extern wchar_t *SetNamePrefix;
extern wchar_t ShownSetName[EDIT_SHOWNNAME_CHARS];
extern ListHandle DimCatalogue;
extern ListHandle SetCatalogue;
extern HCURSOR ArrowCursor;
extern HCURSOR WaitCursor;
extern HBRUSH LabelBrush;
extern wchar_t AboutTitle[EDIT_ABOUT_CHARS];
extern wchar_t AboutText1[EDIT_ABOUT_CHARS];
extern wchar_t AboutText2[EDIT_ABOUT_CHARS];

/* The eight child controls, IDs 70 to 77. */
extern HWND SetNameLabel;
extern HWND DescLabel;
extern HWND DescEdit;
extern HWND ClearButton;
extern HWND DimLabel;
extern HWND DimListBox;
extern HWND UnitLabel;
extern HWND UnitListBox;

/* Description control -> Description, trimmed (at most 2000 characters). */
void EditReadDescription(void);
/* text (empty for null) -> Description and the control. */
void EditShowDescription(const wchar_t *text);
void EditClearDescriptionControl(void);
/* Label shows prefix followed by name; ShownSetName = name. */
void EditShowSetName(HWND label, const wchar_t *prefix, const wchar_t *name);
/* Releases NoneText, SetNamePrefix, CurrentSetName, Description once. */
void EditFreeBuffers(void);

/* Bounded copy: at most capacity - 1 characters and a terminator. */
void EditCopyText(wchar_t *target, size_t capacity, const wchar_t *source);

#endif /* EDITSTATE_H */
