// The two places in code that pick a language's libraries, held against the
// build's list of languages (cmake/languages.cmake, through the generated
// uas_languages.h): the resource locator of the program and the window
// support library's own texts. A language added to the list but not to one
// of them fails here, naming the language.
#include <windows.h>

#include <gtest/gtest.h>

#include "mappedmodule.h"
#include "resloc.h"
#include "reslocstate.h"
#include "tempinstall.h"
#include "uas_languages.h"

#include <string>
#include <vector>

namespace {

using testfiles::Utf8;

std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH + 1] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    return path;
}

// bin/ of the build, with a trailing backslash.
std::wstring BinFolder()
{
    const std::wstring path = ProgramPath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The locator names the string library after the program's first seven
// characters.
std::wstring ProgramPrefix()
{
    std::wstring base = ProgramPath();
    base = base.substr(base.find_last_of(L'\\') + 1);
    return base.substr(0, 7);
}

std::wstring CommonName(wchar_t suffix)
{
    return std::wstring(L"kxcommo") + suffix + L".dll";
}

// A resource folder holding, for every language of the list, a common
// library and a string library (copies of the locator tests' marker
// library), so that only the name the code picks decides what is loaded.
class LanguageFolder {
public:
    explicit LanguageFolder(const std::wstring &root) : folder_(root + L"\\res")
    {
        CreateDirectoryW(folder_.c_str(), nullptr);
        for (const UasLanguage &language : UasLanguages) {
            Copy(CommonName(language.Suffix));
            Copy(ProgramPrefix() + language.Suffix + L".dll");
        }
    }
    ~LanguageFolder()
    {
        // Unloaded first, or they could not be removed with the folder.
        for (const std::wstring &file : files_) {
            for (HMODULE m; (m = GetModuleHandleW(file.c_str())) != nullptr;)
                FreeLibrary(m);
            DeleteFileW(file.c_str());
        }
        RemoveDirectoryW(folder_.c_str());
    }
    LanguageFolder(const LanguageFolder &) = delete;
    LanguageFolder &operator=(const LanguageFolder &) = delete;

    const std::wstring &Path() const { return folder_; }
    std::wstring File(const std::wstring &name) const { return folder_ + L"\\" + name; }
    // Loaded as code or, as the libraries load resource files, as data.
    bool Loaded(const std::wstring &name) const { return FileIsMapped(File(name)); }

    // The common libraries of this folder that are loaded, by name.
    std::vector<std::wstring> LoadedCommon() const
    {
        std::vector<std::wstring> loaded;
        for (const UasLanguage &language : UasLanguages)
            if (Loaded(CommonName(language.Suffix)))
                loaded.push_back(CommonName(language.Suffix));
        return loaded;
    }

    // A copy of a file of bin/ into the folder, for a fresh module of it.
    std::wstring CopyFromBin(const std::wstring &from, const std::wstring &to)
    {
        const std::wstring path = File(to);
        EXPECT_TRUE(CopyFileW((BinFolder() + from).c_str(), path.c_str(), FALSE)) << Utf8(path);
        files_.push_back(path);
        return path;
    }

private:
    void Copy(const std::wstring &name) { CopyFromBin(L"reslocmark.dll", name); }

    std::wstring folder_;
    std::vector<std::wstring> files_;
};

ProfileEntries ProfileFor(const UasLanguage &language, const TempInstall &install, const std::wstring &res)
{
    return {{L"Kalvex_Section", L"Root_Dir", install.Root()},
            {L"Kalvex_Section", L"Resource_Binary_Dir", res},
            {L"VelWin_Section", L"Language", language.Value}};
}

// The list itself: one entry per language, each name, value and suffix
// once, and the first one the program's own (no Language value).
TEST(LanguageList, NamesEveryLanguageOnce)
{
    const size_t count = sizeof UasLanguages / sizeof UasLanguages[0];
    ASSERT_GE(count, 2u);
    EXPECT_STREQ(L"", UasLanguages[0].Value);
    EXPECT_EQ(0x0409, UasLanguages[0].LangId);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            EXPECT_STRNE(L"", UasLanguages[i].Value) << Utf8(UasLanguages[i].Name);
        }
        for (size_t j = i + 1; j < count; ++j) {
            EXPECT_STRNE(UasLanguages[i].Code, UasLanguages[j].Code);
            EXPECT_STRNE(UasLanguages[i].Value, UasLanguages[j].Value);
            EXPECT_NE(UasLanguages[i].Suffix, UasLanguages[j].Suffix);
            EXPECT_NE(UasLanguages[i].LangId, UasLanguages[j].LangId);
        }
    }
}

// resloc/resloc.cpp: each Language value of the list loads the program's
// string library and the common library with the language's suffix; the
// program's own language loads no string library and the English common
// library.
TEST(LanguageList, ResourceLocatorKnowsEveryLanguage)
{
    for (const UasLanguage &language : UasLanguages) {
        SCOPED_TRACE(Utf8(language.Name));
        TempInstall install;
        LanguageFolder res(install.Root());
        install.WriteProfile(ProfileFor(language, install, res.Path()));
        reslocstate::Forget();

        ASSERT_TRUE(ResLocate());
        const std::wstring strings = ProgramPrefix() + language.Suffix + L".dll";
        if (language.Value[0] == L'\0')
            EXPECT_EQ(GetModuleHandleW(nullptr), ResStringModule) << "the program's own texts come from the program";
        else
            EXPECT_TRUE(MappedFrom(ResStringModule, res.File(strings)))
                << "add the language to ResPickSuffix in resloc/resloc.cpp";
        EXPECT_NE(nullptr, ResCommonModule);
        EXPECT_TRUE(MappedFrom(ResCommonModule, res.File(CommonName(language.Suffix))))
            << "add the language to ResPickSuffix in resloc/resloc.cpp";
        ResRelease();
        reslocstate::Forget();
    }
}

// installation/velw32/texts.cpp: the window support library's own texts
// come from the common library with the language's suffix. A fresh copy of
// velw32.dll per language, because the library looks its common library up
// once per process; a refused sign-on (silently, flags 0) makes it load one.
TEST(LanguageList, WindowSupportLibraryKnowsEveryLanguage)
{
    using LoginCheck = int16_t(WINAPI *)(int32_t, wchar_t **, const wchar_t *, const wchar_t *,
                                         int16_t, void *);
    for (const UasLanguage &language : UasLanguages) {
        SCOPED_TRACE(Utf8(language.Name));
        TempInstall install;
        LanguageFolder res(install.Root());
        install.WriteProfile(ProfileFor(language, install, res.Path()));
        const std::wstring copy = res.CopyFromBin(L"velw32.dll", std::wstring(L"velw32") + language.Code + L".dll");
        HMODULE velw = LoadLibraryW(copy.c_str());
        ASSERT_NE(nullptr, velw);
        auto check = reinterpret_cast<LoginCheck>(
            reinterpret_cast<void *>(GetProcAddress(velw, "LoginChkParameters")));
        ASSERT_NE(nullptr, check);
        ASSERT_TRUE(res.LoadedCommon().empty());

        wchar_t program[] = L"uasedit.exe";
        wchar_t other[] = L"/user:nobody-signs-on-as-this";
        wchar_t *arguments[] = {program, other};
        EXPECT_EQ(0, check(2, arguments, L"title", L"text", 0, nullptr));

        const std::vector<std::wstring> loaded = res.LoadedCommon();
        ASSERT_EQ(1u, loaded.size()) << "add the language to CommonModule in installation/velw32/texts.cpp";
        EXPECT_EQ(CommonName(language.Suffix), loaded[0])
            << "add the language to CommonModule in installation/velw32/texts.cpp";
        FreeLibrary(velw);
    }
}

// The installer's languages.nsh (written by the build from the list): the
// Start-menu entry's name in each language is the program's title in it,
// and the entry of every language is removed before a new one is made and
// by the uninstaller.
std::string ReadUtf8(const std::wstring &path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

std::wstring Wide(const std::string &utf8)
{
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], n);
    return text;
}

// The title of the program in a language: string 51 of its string library,
// or of the program for its own language.
std::wstring TitleIn(const UasLanguage &language)
{
    const std::wstring file = language.Value[0] == L'\0'
                                  ? BinFolder() + L"uasedit.exe"
                                  : BinFolder() + L"..\\res\\uasedit" + language.Suffix + L".dll";
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return L"<" + file + L" does not load>";
    const wchar_t *text = nullptr;
    const int n = LoadStringW(module, 51, reinterpret_cast<LPWSTR>(&text), 0);
    std::wstring title = n > 0 && text ? std::wstring(text, static_cast<size_t>(n)) : L"<no title>";
    FreeLibrary(module);
    return title;
}

TEST(LanguageList, StartMenuEntryIsNamedAsTheWindowInEveryLanguage)
{
    const std::wstring path = BinFolder() + L"..\\packaging\\languages.nsh";
    const std::wstring script = Wide(ReadUtf8(path));
    ASSERT_FALSE(script.empty()) << Utf8(path);
    for (const UasLanguage &language : UasLanguages) {
        SCOPED_TRACE(Utf8(language.Name));
        const std::wstring title = TitleIn(language);
        std::wstring nsis = title;
        for (size_t at = nsis.find(L'$'); at != std::wstring::npos; at = nsis.find(L'$', at + 2))
            nsis.insert(at, 1, L'$');
        const std::wstring name =
            L"LangString ProductName " + std::to_wstring(language.LangId) + L" \"" + nsis + L"\"\n";
        EXPECT_NE(script.find(name), std::wstring::npos) << "no line " << Utf8(name);
        const std::wstring removed = L"Delete \"$SMPROGRAMS\\" + nsis + L".lnk\"\n";
        EXPECT_NE(script.find(removed), std::wstring::npos) << "no line " << Utf8(removed);
    }
}

} // namespace
