// The texts of the set-selection dialog in each language library: every one
// present, with the English text's "%s" places and access keys.
#include <gtest/gtest.h>

#include <windows.h>

#include "uas_ids.h"

#include <string>

namespace {

std::wstring Text(HMODULE module, UINT id)
{
    const wchar_t *text = nullptr;
    const int n = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

size_t Count(const std::wstring &text, const wchar_t *what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(UasTextsTest, EveryLanguageHasEveryTextWithTheSamePlaces)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring res = exe;
    res.resize(res.find_last_of(L'\\') + 1);
    res += L"..\\res\\";
    HMODULE english = LoadLibraryExW((res + L"kxcommon.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(english, nullptr);
    for (const wchar_t *file : {L"kxcommog.dll", L"kxcommof.dll", L"kxcommoj.dll"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(file)));
        HMODULE local = LoadLibraryExW((res + file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(local, nullptr);
        for (UINT id = IDS_UAS_TITLE_OPEN; id <= IDS_UAS_ERR_FOLDERKEYUNREADABLE; ++id) {
            const std::wstring en = Text(english, id), translated = Text(local, id);
            if (en.empty())
                continue;  // a gap in the numbering
            EXPECT_EQ(Text(GetModuleHandleW(L"velw32.dll"), id), en) << id;
            EXPECT_FALSE(translated.empty()) << id;
            EXPECT_NE(translated, en) << id;
            EXPECT_EQ(Count(translated, L"%s"), Count(en, L"%s")) << id;
            EXPECT_EQ(Count(translated, L"&"), Count(en, L"&")) << id;
        }
        FreeLibrary(local);
    }
    FreeLibrary(english);
}

} // namespace
