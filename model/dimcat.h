// The dimension catalogue: one DimEntry per dimension of the units library,
// in its order, with the entry's unit symbols and selection.
#ifndef DIMCAT_H
#define DIMCAT_H

#include <windows.h>

#include <cstdint>

#include "vel32.h"

struct DimEntry {
    wchar_t *Name;          // own copy of the dimension's name
    uint16_t SelectedUnit;  // 0-based position in UnitSymbols
    ListHandle UnitSymbols; // own copies of the unit symbols
};

// Builds the catalogue; null with the failing status in *status.
ListHandle DimCatalogueCreate(KxStatus *status);

// Releases a catalogue with every entry and copy it owns. The editor keeps
// its catalogue for the process; a catalogue that cannot be finished, and
// those of tests and tools, go this way.
void DimCatalogueFree(ListHandle catalogue);

// A new list of new copies of the dimension names, in the library's order.
ListHandle DimNamesCreate(KxStatus *status);

// Releases a list made by DimNamesCreate with its copies.
void DimNamesFree(ListHandle names);

#endif // DIMCAT_H
