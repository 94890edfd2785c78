// The resource locator: reads the installation profile once per process,
// picks the language suffix, loads the program's localized string library
// and the installation's common resource library, and hands out the base,
// string and common modules.
#include "resloc.h"

#include "resource.h"
#include "vel32.h"
#include "velw32.h"

#include <strsafe.h>

#include <cstdlib>
#include <cwchar>

bool ResLocated = false;
bool ResFixed = false;
HMODULE ResBaseModule = nullptr;
HMODULE ResStringModule = nullptr;
HMODULE ResCommonModule = nullptr;

namespace {

// Capacities of the locate's work buffers, in wide characters.
constexpr int32_t ProfileValueChars = ResProfileValueChars;
constexpr size_t SuffixChars = 8;
constexpr DWORD ModuleNameChars = 256;
constexpr size_t PathPartChars = 256;
constexpr size_t DriveChars = 4;
constexpr size_t LibraryPathChars = 256;

// The string library's name keeps this many characters of the base name.
constexpr size_t BaseNameKept = 7;

constexpr wchar_t KalvexSection[] = L"Kalvex_Section";
constexpr wchar_t VelWinSection[] = L"VelWin_Section";

// The English common library, taken when the language's own is missing: a
// shared text must come from some common library, never from another module.
constexpr wchar_t EnglishCommonSuffix[] = L"n.dll";

ResProblem Problem = {};

// Reads one profile value into a buffer of ProfileValueChars characters;
// true when it was read. A value that does not fit counts as not read: a
// shortened folder name would name some other folder. That case is kept for
// start-up to tell the user.
bool ResReadProfileValue(const wchar_t *section, const wchar_t *key, wchar_t *value)
{
    int32_t size = ProfileValueChars;
    KxStatus status = 0;
    ProfReadStringW(section, key, value, &size, &status);
    if (status != 0 && size > ProfileValueChars) {
        Problem = {};
        Problem.Kind = ResProblemKind::ProfileValueTooLong;
        StringCchCopyW(Problem.Section, ARRAYSIZE(Problem.Section), section);
        StringCchCopyW(Problem.Key, ARRAYSIZE(Problem.Key), key);
        Problem.Capacity = ProfileValueChars - 1;
    }
    return status == 0;
}

// The language suffix of a Language value; the comparison is exact, letter
// case included, because that is how the installation spells its languages.
void ResPickSuffix(const wchar_t *language, wchar_t *suffix)
{
    suffix[0] = L'\0';
    if (wcscmp(language, L"German") == 0)
        StringCchCopyW(suffix, SuffixChars, L"g.dll");
    else if (wcscmp(language, L"French") == 0)
        StringCchCopyW(suffix, SuffixChars, L"f.dll");
    else if (wcscmp(language, L"Japan") == 0)
        StringCchCopyW(suffix, SuffixChars, L"j.dll");
}

// How a library is loaded: as data, never as code. A resource library needs
// no code of its own, and a damaged or foreign file in the resource folder
// must not run any (its entry point would run on a load as code).
constexpr DWORD DataLoadFlags = LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE;

// A string that tells a library of this program from any other: the program's
// title, and for the common library the product text and the File menu.
bool HoldsText(HMODULE module, UINT id)
{
    wchar_t text[2];
    return LoadStringW(module, id, text, ARRAYSIZE(text)) > 0;
}

bool HoldsProgramTexts(HMODULE module)
{
    return HoldsText(module, IDS_TITLE);
}

bool HoldsCommonTexts(HMODULE module)
{
    return HoldsText(module, IDS_COMMON_PRODUCTINFO) && HoldsText(module, IDS_COMMON_FILE);
}

void NoteLibrary(ResLibraryProblem *problem, ResLibraryFault fault, const wchar_t *directory,
                 const wchar_t *name, size_t nameLength, const wchar_t *tail)
{
    *problem = {};
    problem->Fault = fault;
    StringCchCopyNW(problem->File, ARRAYSIZE(problem->File), name, nameLength);
    StringCchCatW(problem->File, ARRAYSIZE(problem->File), tail);
    StringCchCopyW(problem->Folder, ARRAYSIZE(problem->Folder), directory);
}

// Why a library that is there or not could not be loaded, from what stands
// at path and the system's error of the load. A file that is there is not
// missing, whatever the system says; one that another program holds open
// so that it cannot be read is no damaged one.
ResLibraryFault ResLoadFault(const wchar_t *path, DWORD error)
{
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ResLibraryFault::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ResLibraryFault::Folder;
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return ResLibraryFault::InUse;
    return ResLibraryFault::Invalid;
}

// Loads directory\name+tail as data and keeps it only when it holds the
// texts that holds() looks for; otherwise notes why in problem. A path that
// does not fit its buffer is never loaded cut short: that counts as missing.
HMODULE ResLoadFromDirectory(const wchar_t *directory, const wchar_t *name, size_t nameLength,
                             const wchar_t *tail, bool (*holds)(HMODULE),
                             ResLibraryProblem *problem)
{
    wchar_t path[LibraryPathChars];
    if (FAILED(StringCchCopyW(path, LibraryPathChars, directory)) ||
        FAILED(StringCchCatW(path, LibraryPathChars, L"\\")) ||
        FAILED(StringCchCatNW(path, LibraryPathChars, name, nameLength)) ||
        FAILED(StringCchCatW(path, LibraryPathChars, tail))) {
        NoteLibrary(problem, ResLibraryFault::Missing, directory, name, nameLength, tail);
        return nullptr;
    }
    HMODULE module = LoadLibraryExW(path, nullptr, DataLoadFlags);
    if (!module) {
        NoteLibrary(problem, ResLoadFault(path, GetLastError()), directory, name, nameLength, tail);
        return nullptr;
    }
    if (!holds(module)) {
        FreeLibrary(module);
        NoteLibrary(problem, ResLibraryFault::NoTexts, directory, name, nameLength, tail);
        return nullptr;
    }
    return module;
}

// The common library of the language, else the English one; null when
// neither serves, which is kept for start-up to tell the user.
HMODULE ResLoadCommonLibrary(const wchar_t *directory, const wchar_t *suffix)
{
    const wchar_t *ownSuffix = suffix[0] != L'\0' ? suffix : EnglishCommonSuffix;
    HMODULE common = ResLoadFromDirectory(directory, L"kxcommo", 7, ownSuffix, HoldsCommonTexts,
                                          &Problem.Common);
    if (!common && ownSuffix != EnglishCommonSuffix)
        common = ResLoadFromDirectory(directory, L"kxcommo", 7, EnglishCommonSuffix,
                                      HoldsCommonTexts, &Problem.English);
    if (!common) {
        Problem.Kind = ResProblemKind::CommonLibraryMissing;
        StringCchCopyW(Problem.File, ARRAYSIZE(Problem.File), Problem.Common.File);
        StringCchCopyW(Problem.Folder, ARRAYSIZE(Problem.Folder), directory);
    }
    return common;
}

// Loads the localized string library named after the base module's file:
// the first characters of its base name, then the suffix. Null when the name
// cannot be had in full or the library does not serve.
HMODULE ResLoadStringLibrary(const wchar_t *directory, const wchar_t *suffix)
{
    wchar_t moduleName[ModuleNameChars];
    wchar_t drive[DriveChars];
    wchar_t folder[PathPartChars];
    wchar_t baseName[PathPartChars];
    wchar_t extension[PathPartChars];

    const DWORD length = GetModuleFileNameW(ResBaseModule, moduleName, ModuleNameChars - 1);
    // A name that filled the whole room may have been cut, and a cut name
    // would name some other library.
    if (length == 0 || length >= ModuleNameChars - 1)
        return nullptr;
    moduleName[length] = L'\0';

    if (_wsplitpath_s(moduleName, drive, DriveChars, folder, PathPartChars, baseName, PathPartChars,
                      extension, PathPartChars) != 0)
        return nullptr;

    return ResLoadFromDirectory(directory, baseName, BaseNameKept, suffix, HoldsProgramTexts,
                                &Problem.Strings);
}

} // namespace

bool ResLocate()
{
    Problem = {};
    wchar_t rootDir[ProfileValueChars];
    wchar_t language[ProfileValueChars];
    wchar_t resourceDir[ProfileValueChars];
    wchar_t suffix[SuffixChars];

    // Root_Dir is not used, but an installation without it is no
    // installation: nothing is located then.
    if (!ResReadProfileValue(KalvexSection, L"Root_Dir", rootDir))
        return false;
    if (!ResReadProfileValue(VelWinSection, L"Language", language))
        return false;
    ResPickSuffix(language, suffix);
    if (!ResReadProfileValue(KalvexSection, L"Resource_Binary_Dir", resourceDir))
        return false;

    if (suffix[0] != L'\0') {
        HMODULE strings = ResLoadStringLibrary(resourceDir, suffix);
        if (strings != nullptr) {
            ResStringModule = strings;
        } else {
            // Without the translation the program's own texts are shown,
            // and they belong to the program's own module.
            ResBaseModule = GetModuleHandleW(nullptr);
            ResStringModule = ResBaseModule;
        }
    } else if (!ResFixed) {
        ResBaseModule = GetModuleHandleW(nullptr);
        ResStringModule = ResBaseModule;
    }

    // The suffix names the common library even when the string library of
    // that language is missing.
    ResCommonModule = ResLoadCommonLibrary(resourceDir, suffix);

    ResLocated = true;
    return true;
}

const ResProblem &ResGetProblem()
{
    return Problem;
}

wchar_t *ResLoadCommonText(UINT id)
{
    HMODULE common = ResGetCommonModule();
    return common ? StrLoadNewW(common, id) : KxStrdupW(L"");
}

HMODULE ResGetModule()
{
    if (!ResLocated)
        ResLocate();
    return ResBaseModule;
}

HMODULE ResGetStringModule()
{
    if (!ResLocated)
        ResLocate();
    return ResStringModule;
}

HMODULE ResGetCommonModule()
{
    if (!ResLocated)
        ResLocate();
    return ResCommonModule;
}

void ResSetModule(HMODULE module)
{
    ResBaseModule = module;
    ResStringModule = module;
    ResFixed = false;
}

void ResSetModuleFixed(HMODULE module)
{
    ResBaseModule = module;
    ResStringModule = module;
    ResFixed = true;
}

void ResSetStringModule(HMODULE module)
{
    if (!ResLocated)
        ResLocate();
    ResStringModule = module;
}

void ResSetCommonModule(HMODULE module)
{
    if (!ResLocated)
        ResLocate();
    ResCommonModule = module;
}

bool ResRelease()
{
    if (!ResLocated)
        return false;
    bool freed = true;
    if (ResCommonModule != nullptr) {
        freed = FreeLibrary(ResCommonModule) != FALSE;
        // The handle no longer names a loaded module; a getter that cannot
        // locate again must not hand it out.
        ResCommonModule = nullptr;
    }
    ResFixed = false;
    ResLocated = false;
    return freed;
}
