/*
 * resloc.cpp - the resource locator: reads the installation profile once per
 * process, picks the language suffix, loads the program's localized string
 * library and the installation's common resource library, and hands out the
 * base, string and common modules.
 */
#include "resloc.h"

#include "vel32.h"

#include <stdlib.h>
#include <strsafe.h>

bool ResLocated = false;
bool ResFixed = false;
HMODULE ResBaseModule = NULL;
HMODULE ResStringModule = NULL;
HMODULE ResCommonModule = NULL;

/* Capacities of the locate's work buffers, in wide characters. */
#define RES_PROFILE_VALUE   80
#define RES_SUFFIX          8
#define RES_MODULE_NAME     256
#define RES_PATH_PART       256
#define RES_DRIVE           4
#define RES_LIBRARY_PATH    256

/* The string library's name keeps this many characters of the base name. */
#define RES_BASE_NAME_KEPT  7

static const wchar_t RES_KALVEX_SECTION[] = L"Kalvex_Section";
static const wchar_t RES_VELWIN_SECTION[] = L"VelWin_Section";

/* Reads one profile value into a buffer of RES_PROFILE_VALUE characters;
 * true when it was read. */
static bool ResReadProfileValue(const wchar_t *section, const wchar_t *key, wchar_t *value)
{
    int32_t size = RES_PROFILE_VALUE;
    KxStatus status = 0;
    ProfReadStringW(section, key, value, &size, &status);
    return status == 0;
}

/* The language suffix of a Language value; the comparison is exact, letter
 * case included, because that is how the installation spells its languages. */
static void ResPickSuffix(const wchar_t *language, wchar_t *suffix)
{
    suffix[0] = L'\0';
    if (wcscmp(language, L"German") == 0)
        StringCchCopyW(suffix, RES_SUFFIX, L"g.dll");
    else if (wcscmp(language, L"French") == 0)
        StringCchCopyW(suffix, RES_SUFFIX, L"f.dll");
    else if (wcscmp(language, L"Japan") == 0)
        StringCchCopyW(suffix, RES_SUFFIX, L"j.dll");
}

/* Loads directory\name+tail. A path that does not fit its buffer is never
 * loaded cut short: that counts as a failed load. */
static HMODULE ResLoadFromDirectory(const wchar_t *directory, const wchar_t *name,
                                    size_t nameLength, const wchar_t *tail)
{
    wchar_t path[RES_LIBRARY_PATH];
    if (FAILED(StringCchCopyW(path, RES_LIBRARY_PATH, directory)) ||
        FAILED(StringCchCatW(path, RES_LIBRARY_PATH, L"\\")) ||
        FAILED(StringCchCatNW(path, RES_LIBRARY_PATH, name, nameLength)) ||
        FAILED(StringCchCatW(path, RES_LIBRARY_PATH, tail)))
        return NULL;
    return LoadLibraryW(path);
}

/* Loads the localized string library named after the base module's file:
 * the first characters of its base name, then the suffix. NULL when the name
 * cannot be had in full or the library does not load. */
static HMODULE ResLoadStringLibrary(const wchar_t *directory, const wchar_t *suffix)
{
    wchar_t moduleName[RES_MODULE_NAME];
    wchar_t drive[RES_DRIVE];
    wchar_t folder[RES_PATH_PART];
    wchar_t baseName[RES_PATH_PART];
    wchar_t extension[RES_PATH_PART];

    const DWORD length = GetModuleFileNameW(ResBaseModule, moduleName, RES_MODULE_NAME - 1);
    /* A name that filled the whole room may have been cut, and a cut name
     * would name some other library. */
    if (length == 0 || length >= RES_MODULE_NAME - 1)
        return NULL;
    moduleName[length] = L'\0';

    if (_wsplitpath_s(moduleName, drive, RES_DRIVE, folder, RES_PATH_PART,
                      baseName, RES_PATH_PART, extension, RES_PATH_PART) != 0)
        return NULL;

    return ResLoadFromDirectory(directory, baseName, RES_BASE_NAME_KEPT, suffix);
}

bool ResLocate(void)
{
    wchar_t rootDir[RES_PROFILE_VALUE];
    wchar_t language[RES_PROFILE_VALUE];
    wchar_t resourceDir[RES_PROFILE_VALUE];
    wchar_t suffix[RES_SUFFIX];

    /* Root_Dir is not used, but an installation without it is no
     * installation: nothing is located then. */
    if (!ResReadProfileValue(RES_KALVEX_SECTION, L"Root_Dir", rootDir))
        return false;
    if (!ResReadProfileValue(RES_VELWIN_SECTION, L"Language", language))
        return false;
    ResPickSuffix(language, suffix);
    if (!ResReadProfileValue(RES_KALVEX_SECTION, L"Resource_Binary_Dir", resourceDir))
        return false;

    if (suffix[0] != L'\0') {
        HMODULE strings = ResLoadStringLibrary(resourceDir, suffix);
        if (strings != NULL) {
            ResStringModule = strings;
        } else {
            /* Without the translation the program's own texts are shown,
             * and they belong to the program's own module. */
            ResBaseModule = GetModuleHandleW(NULL);
            ResStringModule = ResBaseModule;
        }
    } else if (!ResFixed) {
        ResBaseModule = GetModuleHandleW(NULL);
        ResStringModule = ResBaseModule;
    }

    /* The suffix names the common library even when the string library of
     * that language is missing. */
    ResCommonModule = ResLoadFromDirectory(resourceDir, L"kxcommo", 7,
                                           suffix[0] != L'\0' ? suffix : L"n.dll");

    ResLocated = true;
    return true;
}

HMODULE ResGetModule(void)
{
    if (!ResLocated)
        ResLocate();
    return ResBaseModule;
}

HMODULE ResGetStringModule(void)
{
    if (!ResLocated)
        ResLocate();
    return ResStringModule;
}

HMODULE ResGetCommonModule(void)
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

bool ResRelease(void)
{
    if (!ResLocated)
        return false;
    bool freed = true;
    if (ResCommonModule != NULL) {
        freed = FreeLibrary(ResCommonModule) != FALSE;
        /* The handle no longer names a loaded module; a getter that cannot
         * locate again must not hand it out. */
        ResCommonModule = NULL;
    }
    ResFixed = false;
    ResLocated = false;
    return freed;
}
