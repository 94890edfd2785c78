// kxprofile.h - reading a whole value of the installation profile, for the
// installation's libraries. Header-only: each library compiles its own copy
// and needs nothing from the others but vel32's ProfReadStringW.
#ifndef KXPROFILE_H
#define KXPROFILE_H

#include "vel32.h"

#include <cstdint>
#include <cwchar>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace kx {

// First buffer tried; most values (languages, folders) fit at once.
constexpr int32_t ProfileFirstChars = 260;
// A profile file is at most a megabyte, so no value needs more than this.
constexpr int32_t ProfileMostChars = 1 << 20;
// The file may change between two reads; a value that keeps growing is
// given up rather than chased.
constexpr int ProfileReadAttempts = 4;

// How a read of a whole value ended.
enum class ProfileRead {
    Value,    // read whole
    Absent,   // no such key, section or profile file: the setting is not made
    Unusable, // there, but not to be had (unreadable profile, unset variable,
              // too long to read whole): a guard must refuse on it
};

// The whole value of the key in the section, and how the read ended. A value
// is never handed out cut: the buffer grows to the size that ProfReadStringW
// asks for.
inline ProfileRead ReadProfileValue(const wchar_t *section, const wchar_t *key, std::wstring &value)
{
    try {
        int32_t capacity = ProfileFirstChars;
        for (int attempt = 0; attempt < ProfileReadAttempts; ++attempt) {
            std::vector<wchar_t> buffer(static_cast<size_t>(capacity), L'\0');
            int32_t size = capacity;
            KxStatus status = 1;
            ProfReadStringW(section, key, buffer.data(), &size, &status);
            if (status == 0) {
                // The reader promises a terminator; do not trust it further
                // than the buffer.
                const size_t length = wcsnlen(buffer.data(), buffer.size());
                if (length >= buffer.size())
                    return ProfileRead::Unusable;
                value.assign(buffer.data(), length);
                return ProfileRead::Value;
            }
            if (size == 0) {
                const int16_t state = ProfGetValueStateW(section, key, nullptr, 0);
                return state == PROF_VALUE_ABSENT || state == PROF_VALUE_NO_PROFILE
                           ? ProfileRead::Absent
                           : ProfileRead::Unusable;
            }
            // No bigger buffer asked for, or one past any profile: unusable.
            if (size <= capacity || size > ProfileMostChars)
                return ProfileRead::Unusable;
            capacity = size;
        }
    } catch (const std::bad_alloc &) {
    }
    return ProfileRead::Unusable;
}

// The whole value of the key in the section; nothing when the key is
// missing, the profile cannot be read, or the value cannot be read whole.
inline std::optional<std::wstring> ProfileValue(const wchar_t *section, const wchar_t *key)
{
    std::wstring value;
    if (ReadProfileValue(section, key, value) != ProfileRead::Value)
        return std::nullopt;
    return value;
}

// The same, into value (left alone on failure); true when it was read.
inline bool ProfileValue(const wchar_t *section, const wchar_t *key, std::wstring &value)
{
    std::optional<std::wstring> read = ProfileValue(section, key);
    if (!read)
        return false;
    value.swap(*read);
    return true;
}

} // namespace kx

#endif // KXPROFILE_H
