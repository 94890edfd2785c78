// The resource locator's state put back to "not located yet", for tests
// that make it locate again in the same process (the program locates once).
#ifndef RESLOCSTATE_H
#define RESLOCSTATE_H

#include "resloc.h"

namespace reslocstate {

// Forgets what was located; the modules stay as they are.
inline void Forget()
{
    ResLocated = false;
    ResFixed = false;
    ResBaseModule = ResStringModule = ResCommonModule = nullptr;
}

} // namespace reslocstate

#endif // RESLOCSTATE_H
