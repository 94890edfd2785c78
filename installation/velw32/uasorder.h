// The order in which the set-selection dialog's sorting list box shows the
// sets. Internal to velw32.dll.
#ifndef VELW32_UASORDER_H
#define VELW32_UASORDER_H

#include "uascat.h"

#include <windows.h>

#include <vector>

// The rows that a sorting list box of that locale makes of the sets when
// they are added one by one in their order (the order of UasFolder's
// sets): the sets' positions in sets, row by row.
std::vector<size_t> UasListBoxOrder(LCID locale, const std::vector<UasSet> &sets);

#endif
