// What start-up tells the user about a damaged installation: the resource
// libraries that did not serve, and the profile values that cannot be used.
#ifndef STARTCHECK_H
#define STARTCHECK_H

#include <cstddef>

#include "velw32.h"

// The longest set folder whose sets still fit the set paths of the
// set-selection dialog: the path buffer's characters without the
// terminator, a separator, a one-character name and ".uas".
constexpr size_t AppSetDirMostChars = UAS_SEL_PATH_CHARS - 1 - 1 - 1 - 4;

// A KxMalloc block with every problem found, one paragraph each; null when
// the installation is sound. Locates the resources first.
wchar_t *AppStartupProblemText();

#endif // STARTCHECK_H
