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

// The whole value of the key in the section; nothing when the key is
// missing, the profile cannot be read, or the value cannot be read whole.
// A value is never handed out cut: the buffer grows to the size that
// ProfReadStringW asks for.
inline std::optional<std::wstring> ProfileValue(const wchar_t *section, const wchar_t *key)
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
                    return std::nullopt;
                return std::wstring(buffer.data(), length);
            }
            // Missing (size 0), or no bigger buffer asked for: not available.
            if (size <= capacity || size > ProfileMostChars)
                return std::nullopt;
            capacity = size;
        }
    } catch (const std::bad_alloc &) {
    }
    return std::nullopt;
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
