// What start-up tells the user about a damaged installation: the resource
// libraries that did not serve, and the profile values that cannot be used.
#ifndef STARTCHECK_H
#define STARTCHECK_H

#include <cstddef>

#include "velw32.h"

// Room in a set path of the set-selection dialog for the set folder and the
// set's name together: the path buffer's characters without the terminator,
// a separator and ".uas".
constexpr size_t AppSetPathRoomChars = UAS_SEL_PATH_CHARS - 1 - 1 - 4;
// The longest set folder whose sets still fit, with a one-character name.
constexpr size_t AppSetDirMostChars = AppSetPathRoomChars - 1;
// The longest set folder that leaves room for names of every allowed length.
constexpr size_t AppSetDirFullNamesChars = AppSetPathRoomChars - (UAS_NAME_CHARS - 1);

// A KxMalloc block with every problem found, one paragraph each; null when
// the installation is sound. Locates the resources first.
wchar_t *AppStartupProblemText();

#endif // STARTCHECK_H
