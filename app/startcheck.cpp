// Start-up's look at the installation: which profile values the program and
// its libraries cannot use, and which resource library did not serve and
// why. Everything found is told in one message, before the sign-on, in the
// program's own texts when the profile keeps the translated ones from being
// found.
#include "startcheck.h"

#include "resloc.h"
#include "resource.h"
#include "textutil.h"
#include "vel32.h"
#include "velw32.h"

#include <initializer_list>
#include <string>

namespace {

constexpr wchar_t KalvexSection[] = L"Kalvex_Section";
constexpr wchar_t VelWinSection[] = L"VelWin_Section";
constexpr int32_t VariableChars = 80;
// A folder value longer than this can never be a usable set folder; the
// read is not grown further.
constexpr int32_t SetDirReadChars = 1024;

// Every profile value that start-up looks at. Locates: the resource locator
// reads it, and without it nothing is located. The sign-on tells about its
// own list, Allowed_Users, when it refuses.
struct ProfileKey {
    const wchar_t *Section;
    const wchar_t *Key;
    bool Locates;
};
constexpr ProfileKey ProfileKeys[] = {
    {KalvexSection, L"Root_Dir", true},
    {VelWinSection, L"Language", true},
    {KalvexSection, L"Resource_Binary_Dir", true},
    {KalvexSection, L"Units_File", false},
    {KalvexSection, L"Set_Dir", false},
    {KalvexSection, L"Help_Dir", false},
};

// The texts of start-up's message: the located string module, or the
// program's own table when nothing could be located.
HMODULE Texts()
{
    HMODULE strings = ResGetStringModule();
    return strings ? strings : GetModuleHandleW(nullptr);
}

// The text of string id with values, appended to text as a paragraph.
void Append(std::wstring &text, UINT id, std::initializer_list<const wchar_t *> values)
{
    wchar_t *part = EditFormatText(Texts(), id, values);
    if (!part)
        return;
    if (!text.empty())
        text += L"\n\n";
    text += part;
    KxFree(part);
}

// The sentence that tells a library's fault; %s: file, folder.
UINT LibraryCauseId(ResLibraryFault fault)
{
    switch (fault) {
    case ResLibraryFault::Invalid: return IDS_LIB_INVALID;
    case ResLibraryFault::NoTexts: return IDS_LIB_NOTEXTS;
    case ResLibraryFault::InUse: return IDS_LIB_INUSE;
    case ResLibraryFault::Folder: return IDS_LIB_FOLDER;
    case ResLibraryFault::None:
    case ResLibraryFault::Missing: break;
    }
    return IDS_LIB_MISSING;
}

// The faults of one or more libraries and what the program does instead,
// in one paragraph.
void AppendLibraries(std::wstring &text, std::initializer_list<const ResLibraryProblem *> problems,
                     UINT instead)
{
    HMODULE strings = Texts();
    if (!text.empty())
        text += L"\n\n";
    for (const ResLibraryProblem *problem : problems) {
        wchar_t *cause = EditFormatText(strings, LibraryCauseId(problem->Fault),
                                        {problem->File, problem->Folder});
        text += cause ? cause : L"";
        text += L" ";
        if (cause)
            KxFree(cause);
    }
    wchar_t *second = StrLoadNewW(strings, instead);
    text += second ? second : L"";
    if (second)
        KxFree(second);
}

void AppendResourceProblems(std::wstring &text)
{
    const ResProblem &problem = ResGetProblem();
    if (problem.Strings.Fault != ResLibraryFault::None)
        AppendLibraries(text, {&problem.Strings}, IDS_LIB_OWNTEXTS);
    const bool commonMissing = problem.Kind == ResProblemKind::CommonLibraryMissing;
    // The English library that could not stand in is told too when it is
    // there and yet failed: that is what the user must mend.
    const bool englishFailed = problem.English.Fault != ResLibraryFault::None &&
                               problem.English.Fault != ResLibraryFault::Missing;
    if (commonMissing && englishFailed)
        AppendLibraries(text, {&problem.Common, &problem.English}, IDS_LIB_NOCOMMON);
    else if (commonMissing && problem.Common.Fault == ResLibraryFault::Missing)
        Append(text, IDS_ERR_COMMONMISSING, {problem.File, problem.Folder});
    else if (commonMissing)
        AppendLibraries(text, {&problem.Common}, IDS_LIB_NOCOMMON);
    else if (problem.Common.Fault != ResLibraryFault::None)
        AppendLibraries(text, {&problem.Common}, IDS_LIB_ENGLISHCOMMON);
}

// The characters a value of the locator needs, terminator included; 0 when
// it cannot be read.
int32_t NeededChars(const ProfileKey &key)
{
    wchar_t none[1] = L"";
    int32_t size = 0;
    KxStatus status = 0;
    ProfReadStringW(key.Section, key.Key, none, &size, &status);
    return size;
}

// Each key that is missing, refers to an unset variable or is too long to
// be used, one paragraph each; a profile that is not there or cannot be
// read at all is told once instead of once per key.
void AppendProfileProblems(std::wstring &text)
{
    const size_t before = text.size();
    bool locatorKey = false;
    for (const ProfileKey &key : ProfileKeys) {
        wchar_t variable[VariableChars] = L"";
        const int16_t state = ProfGetValueStateW(key.Section, key.Key, variable, VariableChars);
        if (state == PROF_VALUE_NO_PROFILE || state == PROF_VALUE_UNREADABLE) {
            Append(text,
                   state == PROF_VALUE_NO_PROFILE ? IDS_ERR_NOPROFILE : IDS_ERR_PROFILEUNREADABLE,
                   {});
            locatorKey = true;
            break;
        }
        if (state == PROF_VALUE_UNSET_VARIABLE) {
            Append(text, IDS_ERR_PROFILEUNSETVAR, {key.Key, key.Section, variable});
        } else if (state == PROF_VALUE_ABSENT && key.Locates) {
            Append(text, IDS_ERR_PROFILEMISSING, {key.Key, key.Section});
        } else if (state == PROF_VALUE_PRESENT && key.Locates &&
                   NeededChars(key) > ResProfileValueChars) {
            const std::wstring most = std::to_wstring(ResProfileValueChars - 1);
            Append(text, IDS_ERR_PROFILETOOLONG, {key.Key, key.Section, most.c_str()});
        } else {
            continue;
        }
        locatorKey = locatorKey || key.Locates;
    }
    // What the user sees instead, once, after the causes.
    if (text.size() > before && locatorKey && !ResLocated)
        Append(text, IDS_ERR_NOTLOCATED, {});
}

// A set folder so long that no set path of it fits the dialog's buffers, or
// so long that set names of the allowed length no longer fit.
void AppendSetDirTooLong(std::wstring &text)
{
    std::wstring folder(static_cast<size_t>(SetDirReadChars), L'\0');
    int32_t size = SetDirReadChars;
    KxStatus status = 0;
    ProfReadStringW(KalvexSection, L"Set_Dir", &folder[0], &size, &status);
    size_t length = 0;
    if (status == 0) {
        length = wcsnlen(folder.c_str(), folder.size());
        // "C:\sets\" and "C:\sets" are one folder; a root keeps its separator.
        while (length > 3 && (folder[length - 1] == L'\\' || folder[length - 1] == L'/'))
            --length;
    } else if (size > SetDirReadChars) {
        length = static_cast<size_t>(size) - 1;
    }
    if (length > AppSetDirMostChars) {
        const std::wstring most = std::to_wstring(AppSetDirMostChars);
        Append(text, IDS_ERR_SETDIRTOOLONG, {L"Set_Dir", KalvexSection, most.c_str()});
    } else if (length > AppSetDirFullNamesChars) {
        const std::wstring chars = std::to_wstring(length);
        const std::wstring room = std::to_wstring(AppSetPathRoomChars - length);
        const std::wstring most = std::to_wstring(AppSetDirFullNamesChars);
        Append(text, IDS_ERR_SETDIRSHORTNAMES,
               {L"Set_Dir", KalvexSection, chars.c_str(), room.c_str(), most.c_str()});
    }
}

} // namespace

wchar_t *AppStartupProblemText()
{
    ResGetStringModule(); // locates, once per process
    try {
        std::wstring text;
        AppendProfileProblems(text);
        // The libraries are looked for only once the profile has named them.
        if (ResLocated)
            AppendResourceProblems(text);
        AppendSetDirTooLong(text);
        return text.empty() ? nullptr : KxStrdupW(text.c_str());
    } catch (...) {
        return nullptr;
    }
}
