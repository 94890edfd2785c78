// Texts of the window support library's own windows, in the installation's
// language: the common resource library named by the profile first, then
// the English table inside velw32.dll.
#include "texts.h"

#include "vel32.h"
#include "kxprofile.h"
#include "kxtext.h"

#include <cwchar>

namespace {

HMODULE CommonModule()
{
    static bool searched = false;
    static HMODULE module = nullptr;
    if (searched)
        return module;
    searched = true;

    const std::wstring language = kx::ProfileValue(L"VelWin_Section", L"Language").value_or(L"");
    const std::optional<std::wstring> directory =
        kx::ProfileValue(L"Kalvex_Section", L"Resource_Binary_Dir");
    // No folder: a bare file name would be looked for along the search path.
    if (!directory || directory->empty())
        return nullptr;

    const std::wstring letter = VelwLanguageLetter(language);
    const std::wstring path =
        kx::JoinPath(*directory, L"kxcommo" + (letter.empty() ? L"n" : letter) + L".dll");
    // As data: no code of a damaged or foreign file in the resource folder
    // ever runs. Texts load from such a module like from any other.
    module = LoadLibraryExW(path.c_str(), nullptr,
                            LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

} // namespace

std::wstring VelwLanguageLetter(const std::wstring &language)
{
    // Spelt exactly so, letter case included, as the installation spells them.
    if (language == L"German")
        return L"g";
    if (language == L"French")
        return L"f";
    if (language == L"Japan")
        return L"j";
    return std::wstring();
}

HMODULE VelwModule()
{
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&VelwModule), &self);
    return self;
}

std::wstring VelwLoadString(HMODULE module, UINT id)
{
    // With a zero capacity LoadStringW hands out a read-only pointer to the
    // resource text itself, which is not NUL-terminated; its length comes back.
    const wchar_t *text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}

std::wstring VelwText(UINT id)
{
    if (HMODULE common = CommonModule()) {
        std::wstring text = VelwLoadString(common, id);
        if (!text.empty())
            return text;
    }
    return VelwLoadString(VelwModule(), id);
}

std::wstring VelwSubstitute(const std::wstring &pattern, std::initializer_list<std::wstring> values)
{
    std::wstring out;
    auto next = values.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size() && pattern[i + 1] == L's') {
            if (next != values.end())
                out += *next++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::wstring VelwFormat(UINT id, std::initializer_list<std::wstring> values)
{
    return VelwSubstitute(VelwText(id), values);
}
