// The sign-on: who may use the installation's programs, and the process's
// command-line arguments that the sign-on reads.
//
// The sign-on rule:
// - The user signing on is the current Windows user (GetUserNameW).
// - The profile key Allowed_Users in section "Kalvex_Section" lists the user
//   names allowed to sign on, separated by commas; blanks around a name do
//   not count, and names compare ignoring letter case. A key that is absent,
//   empty or holds no name at all lets every user sign on; a key that is
//   there but cannot be read (an unset environment variable, a profile that
//   cannot be read, a list that cannot be read whole) lets no one in.
// - The one argument the sign-on understands is /user:NAME (also
//   -user:NAME, the key in any letter case): the user states who they
//   expect to be signed on as. The sign-on is refused unless NAME is the
//   Windows user's name (ignoring case); given more than once, every NAME
//   must match. An argument can thus only narrow who signs on, never widen
//   it. Every other argument is ignored; the first one is the program.
#include "velw32.h"
#include "velw32_ids.h"
#include "velw32_login.h"
#include "texts.h"
#include "kxprofile.h"
#include "kxtext.h"

#include <shellapi.h>
#include <strsafe.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr wchar_t AllowedSection[] = L"Kalvex_Section";
constexpr wchar_t AllowedKey[] = L"Allowed_Users";
constexpr int32_t VariableChars = 80;

// The whole value of the key, however long: a list cut to a buffer could end
// in a partial name that would let another user in. A list that is there
// but cannot be had refuses everyone: a guard that cannot read its setting
// must not read it as "no setting". reason then says why.
bool ReadAllowedUsers(std::wstring &value, std::wstring &reason)
{
    const kx::ProfileRead read = kx::ReadProfileValue(AllowedSection, AllowedKey, value);
    if (read == kx::ProfileRead::Value)
        return true;
    value.clear();
    if (read == kx::ProfileRead::Absent)
        return true;
    wchar_t variable[VariableChars] = L"";
    const int16_t state = ProfGetValueStateW(AllowedSection, AllowedKey, variable, VariableChars);
    if (state == PROF_VALUE_UNSET_VARIABLE)
        reason = VelwFormat(VELW_IDS_LOGIN_LIST_UNSET, {AllowedKey, AllowedSection, variable});
    else if (state == PROF_VALUE_UNREADABLE)
        reason = VelwFormat(VELW_IDS_LOGIN_LIST_UNREADABLE, {AllowedKey, AllowedSection});
    else
        reason = VelwFormat(VELW_IDS_LOGIN_LIST_TOO_LONG, {AllowedKey, AllowedSection});
    return false;
}

std::vector<std::wstring> SplitNames(const std::wstring &list)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(L',', start);
        if (comma == std::wstring::npos)
            comma = list.size();
        std::wstring name = kx::Trim(list.substr(start, comma - start));
        if (!name.empty())
            names.push_back(name);
        start = comma + 1;
    }
    return names;
}

// The NAME of a /user:NAME or -user:NAME argument, or false.
bool UserArgument(const wchar_t *argument, std::wstring &name)
{
    if (!argument || (argument[0] != L'/' && argument[0] != L'-'))
        return false;
    static const wchar_t key[] = L"user:";
    const int keyLength = 5;
    if (wcsnlen(argument + 1, keyLength) < static_cast<size_t>(keyLength) ||
        CompareStringOrdinal(argument + 1, keyLength, key, keyLength, TRUE) != CSTR_EQUAL)
        return false;
    name = argument + 1 + keyLength;
    return true;
}

bool SameUser(const std::wstring &a, const std::wstring &b)
{
    return IntlStrCmpIW(a.c_str(), b.c_str()) == 0;
}

int16_t Refuse(const std::wstring &reason, const wchar_t *title, const wchar_t *text, int16_t flags)
{
    if (flags & 1) {
        std::wstring message = reason;
        if (text && *text) {
            message += L"\n\n";
            message += text;
        }
        MessageBoxW(nullptr, message.c_str(), title ? title : L"",
                    MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
    }
    return 0;
}

} // namespace

extern "C" {

// The vector is made once and kept for the process: the sign-on and anyone
// else may hold on to it.
VELW32_API wchar_t **WINAPI GetArguments(int32_t *count)
{
    static wchar_t **arguments = nullptr;
    static int32_t argumentCount = 0;
    if (!arguments) {
        int n = 0;
        arguments = CommandLineToArgvW(GetCommandLineW(), &n);
        argumentCount = arguments ? n : 0;
    }
    if (count)
        *count = argumentCount;
    return arguments;
}

// flags bit 0 (value 1): tell the user why a sign-on is refused, in a
// message box captioned with the title: the reason, an empty line, then the
// text. Without it the refusal is silent. The area, when given, receives a
// LoginRecord on success and is cleared (all LOGIN_AREA_BYTES) otherwise.
VELW32_API int16_t WINAPI LoginChkParameters(int32_t count, wchar_t **arguments,
                                             const wchar_t *title, const wchar_t *text,
                                             int16_t flags, void *area)
{
    if (area)
        std::memset(area, 0, LOGIN_AREA_BYTES);

    wchar_t userBuffer[257] = L""; // UNLEN + 1
    DWORD userSize = 257;
    const bool haveUser = GetUserNameW(userBuffer, &userSize) && userBuffer[0] != L'\0';
    const std::wstring user = haveUser ? std::wstring(userBuffer) : std::wstring();

    for (int32_t i = 1; arguments && i < count; ++i) {
        std::wstring asked;
        if (!UserArgument(arguments[i], asked))
            continue;
        if (!haveUser)
            return Refuse(VelwText(VELW_IDS_LOGIN_NO_USER), title, text, flags);
        if (!SameUser(asked, user))
            return Refuse(VelwFormat(VELW_IDS_LOGIN_OTHER_USER, {asked, user}), title, text, flags);
    }

    std::wstring allowed;
    std::wstring unreadable;
    if (!ReadAllowedUsers(allowed, unreadable))
        return Refuse(unreadable, title, text, flags);
    const std::vector<std::wstring> names = SplitNames(allowed);
    if (!names.empty()) {
        if (!haveUser)
            return Refuse(VelwText(VELW_IDS_LOGIN_NO_USER), title, text, flags);
        bool found = false;
        for (const std::wstring &name : names)
            found = found || SameUser(name, user);
        if (!found)
            return Refuse(VelwFormat(VELW_IDS_LOGIN_NOT_ALLOWED, {user}), title, text, flags);
    }

    if (area) {
        LoginRecord record = {};
        record.Magic = LOGIN_RECORD_MAGIC;
        record.Size = sizeof record;
        GetSystemTimeAsFileTime(&record.SignOnTime);
        record.ProcessId = GetCurrentProcessId();
        StringCchCopyNW(record.User, LOGIN_USER_CHARS, user.c_str(), user.size());
        std::memcpy(area, &record, sizeof record);
    }
    return 1;
}

} // extern "C"
