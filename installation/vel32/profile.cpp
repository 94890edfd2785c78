// Reading the installation profile: an INI file, found through the
// environment variable KALVEX_PROFILE (a full path) or as kalvex.ini beside
// the program file. The file is read anew at every call, so a changed
// profile is seen at once; callers read it a handful of times per process.
//
// Format: UTF-8 (with or without BOM) or UTF-16LE with BOM; "[Section]"
// lines; "Key=Value" lines; lines starting with ';' or '#' are comments.
// Section and key names compare without regard to case, as in Windows INI
// files; white space around names and values is dropped.
//
// Values travel with the installation: %NAME% references to the environment
// are expanded (per-user folders such as %APPDATA%), and a relative place
// (".\x", "..\x", and for keys ending in _Dir or _File also a bare "x") is
// taken relative to the profile's own folder, never to the current folder.
#include "vel32.h"
#include "kxtext.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Whether the text between two percent signs is a %NAME% reference. Text
// between two signs that begins or ends with a blank ("50% and 100%") or
// holds path or list punctuation is none; a name with inner blanks
// ("%UAS DATA%") is one, as the environment allows such names.
bool IsReferenceName(const std::wstring &name)
{
    return !name.empty() && name.front() != L' ' && name.back() != L' ' &&
           name.find_first_of(L"\t\\/;:") == std::wstring::npos;
}

// The name of the first %NAME% reference for which unusable(name) holds;
// empty when there is none. A lone '%' without a partner is an ordinary
// character.
template <typename Test> std::wstring FirstReference(const std::wstring &value, Test unusable)
{
    size_t open = value.find(L'%');
    while (open != std::wstring::npos) {
        const size_t close = value.find(L'%', open + 1);
        if (close == std::wstring::npos)
            break;
        const std::wstring name = value.substr(open + 1, close - open - 1);
        // Not a reference: the second sign may open one.
        if (!IsReferenceName(name)) {
            open = close;
            continue;
        }
        if (unusable(name))
            return name;
        open = value.find(L'%', close + 1);
    }
    return std::wstring();
}

std::wstring FirstUnsetVariable(const std::wstring &value)
{
    return FirstReference(value, [](const std::wstring &name) {
        return GetEnvironmentVariableW(name.c_str(), nullptr, 0) == 0 &&
               GetLastError() == ERROR_ENVVAR_NOT_FOUND;
    });
}

// %NAME% references replaced by the environment's values. A reference to a
// variable that is not set makes the value unusable: written as it stands it
// would name a folder called "%NAME%" wherever the program was started. The
// same holds for a reference that a variable's own value brings in, which
// is not replaced again. unset receives the name when that is the cause.
bool ExpandEnvironment(std::wstring &value, std::wstring &unset)
{
    if (value.find(L'%') == std::wstring::npos)
        return true;
    unset = FirstUnsetVariable(value);
    if (!unset.empty())
        return false;
    // The environment may grow between the two calls; ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD needed = ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
        if (needed == 0)
            return false;
        std::wstring out(needed, L'\0');
        const DWORD got = ExpandEnvironmentStringsW(value.c_str(), &out[0], needed);
        if (got == 0)
            return false;
        if (got <= needed) {
            out.resize(wcsnlen(out.c_str(), got));
            unset = FirstReference(out, [](const std::wstring &) { return true; });
            if (!unset.empty())
                return false;
            value.swap(out);
            return true;
        }
    }
    return false;
}

// A key whose name ends in "_Dir" or "_File" names a place (Set_Dir,
// Units_File, ...); every other key holds words or lists.
bool IsPlaceKey(const wchar_t *key)
{
    const std::wstring name = key;
    for (const wchar_t *ending : {L"_Dir", L"_File"}) {
        const size_t n = wcslen(ending);
        if (name.size() > n && CompareStringOrdinal(name.c_str() + name.size() - n, -1, ending, -1,
                                                    TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

// A value that names a place relative to the profile: ".", "..", or one
// starting with .\ ..\ ./ or ../ and, for a place key, also a bare relative
// name (sets, data\units.txt). Absolute paths (C:\x, UNC), paths from the
// root of the drive (\x) and drive-relative ones (C:x) are not, and neither
// is a word of any other key or a name like ".hidden".
bool IsProfileRelative(const wchar_t *key, const std::wstring &value)
{
    if (value.empty())
        return false;
    size_t dots = 0;
    while (dots < value.size() && dots < 2 && value[dots] == L'.')
        ++dots;
    if (dots > 0 && (dots == value.size() || value[dots] == L'\\' || value[dots] == L'/'))
        return true;
    if (!IsPlaceKey(key))
        return false;
    const bool rooted = value[0] == L'\\' || value[0] == L'/';
    const bool drive = value.size() >= 2 && value[1] == L':';
    return !rooted && !drive;
}

// A relative value made a full path against the profile's folder, so that an
// installation keeps working wherever it is moved, and wherever the program
// is started from.
bool ResolveAgainstProfile(const std::wstring &profile, const wchar_t *key, std::wstring &value)
{
    if (!IsProfileRelative(key, value))
        return true;
    const size_t slash = profile.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring::npos ? std::wstring(L".") : profile.substr(0, slash);
    return kx::FullPath(folder + L"\\" + value, value);
}

// The profile's full path. A KALVEX_PROFILE that is set (not empty) is used
// whatever its length: falling back to another profile would read the wrong
// values.
bool ProfilePath(std::wstring &path)
{
    const DWORD needed = GetEnvironmentVariableW(L"KALVEX_PROFILE", nullptr, 0);
    if (needed > 1) {
        std::wstring env(needed, L'\0');
        const DWORD got = GetEnvironmentVariableW(L"KALVEX_PROFILE", &env[0], needed);
        if (got == 0 || got >= needed)
            return false;
        env.resize(got);
        return kx::FullPath(env, path);
    }
    wchar_t module[MAX_PATH + 1];
    const DWORD m = GetModuleFileNameW(nullptr, module, MAX_PATH + 1);
    if (m == 0 || m > MAX_PATH)
        return false;
    std::wstring dir(module, m);
    const size_t slash = dir.find_last_of(L"\\/");
    dir.resize(slash == std::wstring::npos ? 0 : slash + 1);
    path = dir + L"kalvex.ini";
    return true;
}

enum class FileRead { Read, Missing, Unreadable };

FileRead ReadWholeFile(const std::wstring &path, std::vector<char> &bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FileRead::Missing
                   : FileRead::Unreadable;
    }
    LARGE_INTEGER size;
    // A profile is a few hundred bytes; anything past a megabyte is not one.
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= (1 << 20);
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = bytes.empty() ||
             (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
              got == bytes.size());
    }
    CloseHandle(file);
    return ok ? FileRead::Read : FileRead::Unreadable;
}

std::wstring Decode(const std::vector<char> &bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
        return text;
    }
    size_t skip = 0;
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB &&
        static_cast<unsigned char>(bytes[2]) == 0xBF)
        skip = 3;
    const int inLen = static_cast<int>(bytes.size() - skip);
    if (inLen == 0)
        return std::wstring();
    const int outLen = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, inLen, nullptr, 0);
    std::wstring text(static_cast<size_t>(outLen), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, inLen, &text[0], outLen);
    return text;
}

std::wstring Trim(const std::wstring &s)
{
    return kx::Trim(s, kx::IsLayoutBlank);
}

bool SameName(const std::wstring &a, const wchar_t *b)
{
    return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Finds the value of key in section; false when the section or key is absent.
bool FindValue(const std::wstring &text, const wchar_t *section, const wchar_t *key,
               std::wstring &value)
{
    bool inSection = false;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == L';' || line[0] == L'#')
            continue;
        if (line[0] == L'[') {
            const size_t close = line.find(L']');
            inSection =
                close != std::wstring::npos && SameName(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection)
            continue;
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos)
            continue;
        if (SameName(Trim(line.substr(0, eq)), key)) {
            value = Trim(line.substr(eq + 1));
            return true;
        }
    }
    return false;
}

// The value of key in section as it is handed out, or why there is none.
int16_t Lookup(const wchar_t *section, const wchar_t *key, std::wstring &value, std::wstring &unset)
{
    std::wstring path;
    if (!ProfilePath(path))
        return PROF_VALUE_UNREADABLE;
    std::vector<char> bytes;
    const FileRead read = ReadWholeFile(path, bytes);
    if (read == FileRead::Missing)
        return PROF_VALUE_NO_PROFILE;
    if (read == FileRead::Unreadable)
        return PROF_VALUE_UNREADABLE;
    if (!FindValue(Decode(bytes), section, key, value))
        return PROF_VALUE_ABSENT;
    if (!ExpandEnvironment(value, unset))
        return unset.empty() ? PROF_VALUE_UNREADABLE : PROF_VALUE_UNSET_VARIABLE;
    if (!ResolveAgainstProfile(path, key, value))
        return PROF_VALUE_UNREADABLE;
    return PROF_VALUE_PRESENT;
}

void CopyName(const std::wstring &name, wchar_t *buffer, int32_t capacity)
{
    const size_t length = std::min(name.size(), static_cast<size_t>(capacity - 1));
    wmemcpy(buffer, name.data(), length);
    buffer[length] = L'\0';
}

} // namespace

extern "C" {

int16_t WINAPI ProfReadStringW(const wchar_t *section, const wchar_t *key, wchar_t *buffer,
                               int32_t *size, KxStatus *status)
{
    *status = 1;
    if (!section || !key || !buffer || !size || *size < 0)
        return *status;
    const int32_t capacity = *size;
    try {
        std::wstring value;
        std::wstring unset;
        if (Lookup(section, key, value, unset) != PROF_VALUE_PRESENT) {
            *size = 0;
            return *status;
        }
        // A cut value is worse than none: a cut folder name may name another
        // folder that exists. The caller learns the capacity it needs instead.
        if (value.size() >= static_cast<size_t>(capacity)) {
            *size = value.size() < static_cast<size_t>(INT32_MAX)
                        ? static_cast<int32_t>(value.size() + 1)
                        : INT32_MAX;
            return *status;
        }
        wmemcpy(buffer, value.data(), value.size());
        buffer[value.size()] = L'\0';
        *status = 0;
    } catch (...) {
        *status = 1;
    }
    return *status;
}

int16_t WINAPI ProfGetUnsetVariableW(const wchar_t *section, const wchar_t *key, wchar_t *name,
                                     int32_t capacity)
{
    if (!section || !key || !name || capacity <= 0)
        return 0;
    name[0] = L'\0';
    try {
        std::wstring value;
        std::wstring unset;
        if (Lookup(section, key, value, unset) != PROF_VALUE_UNSET_VARIABLE)
            return 0;
        CopyName(unset, name, capacity);
        return 1;
    } catch (...) {
        return 0;
    }
}

int16_t WINAPI ProfGetValueStateW(const wchar_t *section, const wchar_t *key, wchar_t *variable,
                                  int32_t capacity)
{
    if (variable && capacity > 0)
        variable[0] = L'\0';
    if (!section || !key)
        return PROF_VALUE_UNREADABLE;
    try {
        std::wstring value;
        std::wstring unset;
        const int16_t state = Lookup(section, key, value, unset);
        if (state == PROF_VALUE_UNSET_VARIABLE && variable && capacity > 0)
            CopyName(unset, variable, capacity);
        return state;
    } catch (...) {
        // Only memory can run out; the value is not known then.
        return PROF_VALUE_UNREADABLE;
    }
}

} // extern "C"
