// The resource locator: decides once per process which modules the
// program's resources come from (the base module, the localized string
// library, the installation's common resource library). Every layer that
// shows a text asks it; it knows nothing of them.
#ifndef RESLOC_H
#define RESLOC_H

#include <windows.h>

// Module state, one per process. Visible for the locator's tests.
extern bool ResLocated;
extern bool ResFixed;
extern HMODULE ResBaseModule;
extern HMODULE ResStringModule;
extern HMODULE ResCommonModule;

bool ResLocate();

HMODULE ResGetModule();
HMODULE ResGetStringModule();
HMODULE ResGetCommonModule();

void ResSetModule(HMODULE module);
void ResSetModuleFixed(HMODULE module);
void ResSetStringModule(HMODULE module);
void ResSetCommonModule(HMODULE module);
bool ResRelease();

#endif // RESLOC_H
