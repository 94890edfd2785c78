/*
 * dimcat.h - the dimension catalogue: one DimEntry per dimension of the
 * units library, in its order, with the entry's unit symbols and selection.
 */
#ifndef DIMCAT_H
#define DIMCAT_H

#include <windows.h>
#include <stdint.h>
#include "vel32.h"

typedef struct DimEntry {
    wchar_t *Name;          /* own copy of the dimension's name */
    uint16_t SelectedUnit;  /* 0-based position in UnitSymbols */
    ListHandle UnitSymbols; /* own copies of the unit symbols */
} DimEntry;

/* Builds the catalogue; null with the failing status in *status. */
ListHandle DimCatalogueCreate(KxStatus *status);

/* A new list of new copies of the dimension names, in the library's order. */
ListHandle DimNamesCreate(KxStatus *status);

/* Fills the list box with the dimension names and selects the first. */
void DimListShow(HWND listBox);

#endif /* DIMCAT_H */
