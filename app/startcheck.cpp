// Start-up's look at the installation: which resource library did not serve
// and why, and which profile values the program and its libraries cannot
// use. Everything found is told in one message, before the sign-on.
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
constexpr int32_t VariableChars = 80;
// A folder value longer than this can never be a usable set folder; the
// read is not grown further.
constexpr int32_t SetDirReadChars = 1024;

// Every profile value that names a place of the installation.
constexpr const wchar_t *PlaceKeys[] = {L"Root_Dir", L"Resource_Binary_Dir", L"Units_File",
                                        L"Set_Dir", L"Help_Dir"};

// The text of string id with values, appended to text as a paragraph.
void Append(std::wstring &text, UINT id, std::initializer_list<const wchar_t *> values)
{
    wchar_t *part = EditFormatText(ResGetStringModule(), id, values);
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
    HMODULE strings = ResGetStringModule();
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
    if (problem.Kind == ResProblemKind::ProfileValueTooLong) {
        const std::wstring capacity = std::to_wstring(problem.Capacity);
        Append(text, IDS_ERR_PROFILETOOLONG, {problem.Key, problem.Section, capacity.c_str()});
        return;
    }
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

// A place that refers to an environment variable that is not set is not
// used by anyone; the user learns which key and which variable.
void AppendUnsetVariables(std::wstring &text)
{
    for (const wchar_t *key : PlaceKeys) {
        wchar_t variable[VariableChars];
        if (ProfGetUnsetVariableW(KalvexSection, key, variable, VariableChars))
            Append(text, IDS_ERR_PROFILEUNSETVAR, {key, KalvexSection, variable});
    }
}

// A set folder so long that no set path of it fits the dialog's buffers.
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
    if (length <= AppSetDirMostChars)
        return;
    const std::wstring most = std::to_wstring(AppSetDirMostChars);
    Append(text, IDS_ERR_SETDIRTOOLONG, {L"Set_Dir", KalvexSection, most.c_str()});
}

} // namespace

wchar_t *AppStartupProblemText()
{
    ResGetStringModule(); // locates, once per process
    try {
        std::wstring text;
        AppendResourceProblems(text);
        AppendUnsetVariables(text);
        AppendSetDirTooLong(text);
        return text.empty() ? nullptr : KxStrdupW(text.c_str());
    } catch (...) {
        return nullptr;
    }
}
