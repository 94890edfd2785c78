// The editor state: the set being edited, the change flags, the control
// handles and the editor's texts, all in one record; and the routines that
// move the description between its control and its buffer and show the
// set's name.
#ifndef EDITSTATE_H
#define EDITSTATE_H

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "dimcat.h"
#include "vel32.h"

constexpr size_t EditSetNameChars = 255;      // CurrentSetName, terminator included
constexpr size_t EditDescriptionChars = 2001; // Description: 2000 and the terminator
constexpr size_t EditShownNameChars = 64;     // ShownSetName
constexpr size_t EditLabelChars = 256;        // the set-name label's text
constexpr size_t EditAboutChars = 160;        // each product information text

// One per process, in Editor. The comment of each group says who writes it;
// everyone else only reads.
struct EditorState {
    // The set being edited. The buffers are made by the creation handler and
    // released by the destroy handler; the set commands (New, Open, Save As,
    // Delete) change the name, the description notices and a save the
    // description; EditShowSetName keeps ShownSetName.
    wchar_t *CurrentSetName;                  // EditSetNameChars; NoneText while unnamed
    wchar_t *Description;                     // EditDescriptionChars
    wchar_t ShownSetName[EditShownNameChars]; // the name the label shows
    // The name that Save As offers for an unnamed set read from a file
    // outside the set folder (the file's base name); written when such a
    // file is opened, emptied whenever the label shows another name.
    wchar_t OfferedSetName[EditShownNameChars];

    // The catalogues, built by the creation handler and never released. The
    // unit notices, New and the reader change the selections; Open and Save
    // As add set records.
    ListHandle DimCatalogue;
    ListHandle SetCatalogue;
    DimEntry *CurrentDim; // the dimension notices: the dimension whose units are shown

    // Change tracking, written by the window procedure; a save clears
    // Modified. Initializing is set while the creation handler fills the
    // lists, SelectingUnits from a dimension notice up to the unit list's
    // answering notice: the lists' own notices are no user's changes.
    uint16_t Modified;
    uint16_t Initializing;
    uint16_t SelectingUnits;

    // Texts, loaded by the creation handler.
    wchar_t *NoneText;      // the name of an unnamed set
    wchar_t *SetNamePrefix; // "Set Name: "
    wchar_t AboutTitle[EditAboutChars];
    wchar_t AboutText1[EditAboutChars];
    wchar_t AboutText2[EditAboutChars];

    // Cursors from the creation handler; the labels' brush is made on first
    // use and remade when the system colours change.
    HCURSOR ArrowCursor;
    HCURSOR WaitCursor;
    HBRUSH LabelBrush;

    // The eight child controls, IDs 70 to 77, made by the creation handler.
    HWND SetNameLabel;
    HWND DescLabel;
    HWND DescEdit;
    HWND ClearButton;
    HWND DimLabel;
    HWND DimListBox;
    HWND UnitLabel;
    HWND UnitListBox;
    // The set-name label's whole text and the part of it that names the set
    // or its file, which the label shortens when the whole does not fit its
    // width; written with the label's text (setlabel.h). The tooltip that
    // gives the whole text while the label is shortened is made on first
    // need and goes with the main window.
    wchar_t SetNameText[EditLabelChars];
    size_t SetNameCutStart;
    size_t SetNameCutChars;
    HWND SetNameTip;
    // Which of the four controls that Tab reaches had the focus when the
    // window was last deactivated, so that activating it gives it back;
    // written by the activation notices.
    HWND FocusedControl;
};

extern EditorState Editor;

// Description control -> Description, trimmed (at most 2000 characters).
void EditReadDescription();
// text (empty for null) -> Description and the control.
void EditShowDescription(const wchar_t *text);
void EditClearDescriptionControl();
// Label shows prefix followed by name, the name shortened when the whole
// does not fit the label's width (setlabel.h); ShownSetName = name; no name
// is offered any more.
void EditShowSetName(HWND label, const wchar_t *prefix, const wchar_t *name);
// Releases NoneText, SetNamePrefix, CurrentSetName, Description once.
void EditFreeBuffers();

// Bounded copy: at most capacity - 1 characters and a terminator, never half
// a surrogate pair.
void EditCopyText(wchar_t *target, size_t capacity, const wchar_t *source);

#endif // EDITSTATE_H
