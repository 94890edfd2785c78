// The resource locator: decides once per process which modules the
// program's resources come from (the base module, the localized string
// library, the installation's common resource library). Every layer that
// shows a text asks it; it knows nothing of them.
#ifndef RESLOC_H
#define RESLOC_H

#include <windows.h>

#include <cstdint>

// The longest profile value the locator takes, with its terminator: a
// longer one is not used, never cut.
constexpr int32_t ResProfileValueChars = 80;

// Module state, one per process. Visible for the locator's tests.
extern bool ResLocated;
extern bool ResFixed;
extern HMODULE ResBaseModule;
extern HMODULE ResStringModule;
extern HMODULE ResCommonModule;

// Why a resource library of the language did not serve: not there, not a
// library, without the texts, held open by another program so that it
// cannot be read, or a folder where the library should be.
enum class ResLibraryFault { None, Missing, Invalid, NoTexts, InUse, Folder };
struct ResLibraryProblem {
    ResLibraryFault Fault;
    wchar_t File[16];   // the library's file name
    wchar_t Folder[80]; // where it was looked for
};

// What kept the locator from finding everything, for the one message that
// start-up shows; Kind None when no profile value and no common library is
// missing. The two library records are kept whatever the Kind.
enum class ResProblemKind { None, ProfileValueTooLong, CommonLibraryMissing };
struct ResProblem {
    ResProblemKind Kind;
    wchar_t Section[32]; // ProfileValueTooLong: the profile section and key
    wchar_t Key[32];
    int32_t Capacity;          // ProfileValueTooLong: the longest value that fits
    wchar_t File[16];          // CommonLibraryMissing: the library's file name
    wchar_t Folder[80];        // CommonLibraryMissing: where it was looked for
    ResLibraryProblem Strings; // the string library of the language
    ResLibraryProblem Common;  // the common library of the language (the
                               // English one may stand in: CommonModule set)
    ResLibraryProblem English; // the English common library when it was
                               // tried in place of the language's and failed
};

bool ResLocate();
const ResProblem &ResGetProblem();

// A new block with text id of the common resource library; an empty text
// when no common library is loaded, never a text of another module.
wchar_t *ResLoadCommonText(UINT id);

HMODULE ResGetModule();
HMODULE ResGetStringModule();
HMODULE ResGetCommonModule();

void ResSetModule(HMODULE module);
void ResSetModuleFixed(HMODULE module);
void ResSetStringModule(HMODULE module);
void ResSetCommonModule(HMODULE module);
bool ResRelease();

#endif // RESLOC_H
