// Version resources of the shipped binaries, read back through the version
// API as Explorer and installers read them, from the build's bin/ and res/.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "kxcommon.h"
#include "uas_languages.h"
#include "testfiles.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using testfiles::Utf8;

struct Shipped {
    std::wstring Folder;
    std::wstring File;
    WORD Language;
};

// Everything the installation ships, with the language of its texts: the
// program and its libraries, and the resource libraries of every language
// of the build's list.
std::vector<Shipped> ShippedBinaries()
{
    std::vector<Shipped> shipped = {
        {L"bin", L"uasedit.exe", 0x0409},
        {L"bin", L"vel32.dll", 0x0409},
        {L"bin", L"velw32.dll", 0x0409},
        {L"bin", L"velx32.dll", 0x0409},
    };
    for (const UasLanguage &language : UasLanguages) {
        shipped.push_back(
            {L"res", std::wstring(L"kxcommo") + language.Suffix + L".dll", language.LangId});
        if (language.Value[0] != L'\0')
            shipped.push_back(
                {L"res", std::wstring(L"uasedit") + language.Suffix + L".dll", language.LangId});
    }
    return shipped;
}

std::wstring Widen(const char *text)
{
    return std::wstring(text, text + strlen(text));
}

// The build folder: the test program runs from its bin/.
std::wstring BuildFolder()
{
    wchar_t path[MAX_PATH + 1] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    std::wstring dir(path);
    dir.resize(dir.find_last_of(L'\\'));
    return dir.substr(0, dir.find_last_of(L'\\'));
}

class VersionInfo {
public:
    explicit VersionInfo(const std::wstring &file)
    {
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
        if (size == 0)
            return;
        data_.resize(size);
        if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data()))
            data_.clear();
    }

    bool Present() const { return !data_.empty(); }

    const VS_FIXEDFILEINFO *Fixed() const
    {
        void *value = nullptr;
        UINT length = 0;
        if (!Present() || !VerQueryValueW(data_.data(), L"\\", &value, &length) ||
            length < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return static_cast<const VS_FIXEDFILEINFO *>(value);
    }

    // The first (language, code page) pair of the translation table.
    bool Translation(WORD &language, WORD &codePage) const
    {
        void *value = nullptr;
        UINT length = 0;
        if (!Present() ||
            !VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
            length < 2 * sizeof(WORD))
            return false;
        language = static_cast<const WORD *>(value)[0];
        codePage = static_cast<const WORD *>(value)[1];
        return true;
    }

    // A string value of the block that the translation table names, as
    // Explorer looks it up; empty when it is missing.
    std::wstring String(const wchar_t *name) const
    {
        WORD language = 0;
        WORD codePage = 0;
        if (!Translation(language, codePage))
            return std::wstring();
        wchar_t key[64];
        swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\%ls", language, codePage, name);
        void *value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), key, &value, &length) || length == 0)
            return std::wstring();
        return std::wstring(static_cast<const wchar_t *>(value));
    }

private:
    std::vector<BYTE> data_;
};

TEST(VersionResource, EveryShippedBinaryNamesTheProductAndItsVersion)
{
    const std::wstring version = Widen(UAS_TEST_VERSION);
    for (const Shipped &s : ShippedBinaries()) {
        SCOPED_TRACE(testing::Message() << "binary " << Utf8(s.File));
        const VersionInfo info(BuildFolder() + L"\\" + s.Folder + L"\\" + s.File);
        ASSERT_TRUE(info.Present());
        EXPECT_EQ(L"Unit Assignment Set Editor", info.String(L"ProductName"));
        EXPECT_EQ(version, info.String(L"ProductVersion"));
        EXPECT_EQ(version, info.String(L"FileVersion"));
        EXPECT_EQ(s.File, info.String(L"OriginalFilename"));
        EXPECT_FALSE(info.String(L"CompanyName").empty());
        EXPECT_FALSE(info.String(L"FileDescription").empty());

        const VS_FIXEDFILEINFO *fixed = info.Fixed();
        ASSERT_NE(nullptr, fixed);
        EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
        EXPECT_EQ(MAKELONG(UAS_TEST_VERSION_MINOR, UAS_TEST_VERSION_MAJOR), fixed->dwFileVersionMS);
        EXPECT_EQ(MAKELONG(0, UAS_TEST_VERSION_PATCH), fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
        EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
        const bool program = s.File.find(L".exe") != std::wstring::npos;
        EXPECT_EQ(program ? static_cast<DWORD>(VFT_APP) : static_cast<DWORD>(VFT_DLL),
                  fixed->dwFileType);

        WORD language = 0;
        WORD codePage = 0;
        ASSERT_TRUE(info.Translation(language, codePage));
        EXPECT_EQ(s.Language, language);
        EXPECT_EQ(1200, codePage);
    }
}

// Descriptions tell the binaries apart in Explorer and in crash reports.
TEST(VersionResource, DescriptionsDifferBetweenBinaries)
{
    std::vector<std::wstring> seen;
    for (const Shipped &s : ShippedBinaries()) {
        const std::wstring description =
            VersionInfo(BuildFolder() + L"\\" + s.Folder + L"\\" + s.File)
                .String(L"FileDescription");
        for (const std::wstring &other : seen)
            EXPECT_NE(other, description) << Utf8(s.File);
        seen.push_back(description);
    }
}

// The program's manifest, as the loader reads it.
std::string ProgramManifest()
{
    const std::wstring program = BuildFolder() + L"\\bin\\uasedit.exe";
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return std::string();
    std::string manifest;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (found) {
        const char *bytes = static_cast<const char *>(LockResource(LoadResource(module, found)));
        if (bytes)
            manifest.assign(bytes, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return manifest;
}

// A string of a resource library of the build's res/ folder.
std::wstring ResourceString(const std::wstring &file, UINT id)
{
    HMODULE module = LoadLibraryExW((BuildFolder() + L"\\res\\" + file).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return std::wstring();
    const wchar_t *text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<wchar_t *>(&text), 0);
    std::wstring value = length > 0 ? std::wstring(text, length) : std::wstring();
    FreeLibrary(module);
    return value;
}

// The version resource comes beside the manifest, not instead of it: the
// program still asks for the version 6 common controls, runs with the
// rights of whoever starts it, names the Windows versions it was made for
// (7, 8, 8.1, and 10, which Windows 11 shares), and draws itself at every
// display scale (per-monitor aware, version 2 first).
TEST(VersionResource, ProgramManifestAsksForWhatTheProgramNeeds)
{
    const std::string manifest = ProgramManifest();
    ASSERT_FALSE(manifest.empty());
    const struct {
        const char *What;
        const char *Text;
    } expected[] = {
        {"common controls 6", "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""},
        {"no elevation", "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"},
        {"Windows 7", "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>"},
        {"Windows 8", "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>"},
        {"Windows 8.1", "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>"},
        {"Windows 10 and 11", "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"},
        {"per monitor, version 2 first",
         "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
         "PerMonitorV2, PerMonitor</dpiAwareness>"},
        {"per monitor before Windows 10 1607",
         "<dpiAware "
         "xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"},
        {"the settings' namespace",
         "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\"> <windowsSettings>"},
    };
    // Attributes may wrap: compare with the manifest's white space folded.
    std::string folded;
    for (char c : manifest) {
        const bool space = c == ' ' || c == '\r' || c == '\n' || c == '\t';
        if (!space || (!folded.empty() && folded.back() != ' '))
            folded += space ? ' ' : c;
    }
    for (const auto &e : expected)
        EXPECT_NE(std::string::npos, folded.find(e.Text)) << e.What;
    EXPECT_EQ(std::string::npos, folded.find("requireAdministrator"));
    EXPECT_EQ(std::string::npos, folded.find("highestAvailable"));
}

// One maker everywhere: every binary names the same company, which the
// copyright names, and the copyright is the one that the product
// information window shows (the English common library's text, whose
// "Copyright (c) year maker." part every language keeps).
TEST(VersionResource, CopyrightAndCompanyAreTheProductInformations)
{
    const std::wstring productInfo = ResourceString(L"kxcommon.dll", KX_IDS_PRODUCTINFO);
    ASSERT_FALSE(productInfo.empty());
    const std::vector<Shipped> shipped = ShippedBinaries();
    const VersionInfo first(BuildFolder() + L"\\" + shipped[0].Folder + L"\\" + shipped[0].File);
    const std::wstring company = first.String(L"CompanyName");
    const std::wstring copyright = first.String(L"LegalCopyright");
    ASSERT_FALSE(company.empty());
    ASSERT_EQ(0u, copyright.find(L"Copyright \u00A9 ")) << Utf8(copyright);
    EXPECT_NE(std::wstring::npos, productInfo.find(copyright))
        << "product information: " << Utf8(productInfo);
    EXPECT_NE(std::wstring::npos, copyright.find(L" " + company + L". "))
        << "the copyright names the company";
    const std::wstring notice = copyright.substr(0, copyright.find(L". ") + 1);
    for (const UasLanguage &language : UasLanguages) {
        const std::wstring file = std::wstring(L"kxcommo") + language.Suffix + L".dll";
        EXPECT_NE(std::wstring::npos, ResourceString(file, KX_IDS_PRODUCTINFO).find(notice))
            << Utf8(file);
    }
    for (const Shipped &s : shipped) {
        const VersionInfo info(BuildFolder() + L"\\" + s.Folder + L"\\" + s.File);
        EXPECT_EQ(company, info.String(L"CompanyName")) << Utf8(s.File);
        EXPECT_EQ(copyright, info.String(L"LegalCopyright")) << Utf8(s.File);
    }
}

// The installer registers "uasedit.exe,-2" as the set files' icon: icon
// resource 2, which the shell finds by the negative of its ID, beside the
// program's own icon 1 (index 0; the set file's is also index 1).
TEST(VersionResource, ProgramCarriesTheSetFileIcon)
{
    const std::wstring program = BuildFolder() + L"\\bin\\uasedit.exe";
    const struct {
        int Index;
        const char *What;
    } icons[] = {{0, "the program's icon (index 0)"},
                 {1, "the set file's icon (index 1)"},
                 {-2, "the set file's icon (resource 2)"}};
    for (const auto &icon : icons) {
        HICON large = nullptr;
        EXPECT_EQ(1u, ExtractIconExW(program.c_str(), icon.Index, &large, nullptr, 1)) << icon.What;
        EXPECT_NE(nullptr, large) << icon.What;
        if (large)
            DestroyIcon(large);
    }
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    const HRSRC one = FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    const HRSRC two = FindResourceW(module, MAKEINTRESOURCEW(2), RT_GROUP_ICON);
    ASSERT_NE(nullptr, one);
    ASSERT_NE(nullptr, two);
    // Two pictures, not one picture twice: the groups' first images differ.
    // A group is a 6-byte header and 14-byte entries whose last word is the
    // image's resource ID.
    auto firstImage = [module](HRSRC group) {
        const BYTE *bytes = static_cast<const BYTE *>(LockResource(LoadResource(module, group)));
        if (!bytes || SizeofResource(module, group) < 20)
            return std::string();
        const WORD id = static_cast<WORD>(bytes[18] | (bytes[19] << 8));
        const HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
        if (!image)
            return std::string();
        return std::string(static_cast<const char *>(LockResource(LoadResource(module, image))),
                           SizeofResource(module, image));
    };
    const std::string imageOne = firstImage(one);
    const std::string imageTwo = firstImage(two);
    EXPECT_FALSE(imageOne.empty());
    EXPECT_FALSE(imageTwo.empty());
    EXPECT_NE(imageOne, imageTwo);
    FreeLibrary(module);
}

// The images of each icon: the program's own icon keeps its three (two of
// 32 pixels, in 16 and 256 colours, and one of 16); the set file's icon and
// the window's icon have an image for every size the system asks for at
// 100 to 200 % and for Explorer's largest view. Read from the groups'
// entries: width (0 for 256), height, colours, reserved, planes, bits.
TEST(VersionResource, EachIconHasItsImages)
{
    const std::wstring program = BuildFolder() + L"\\bin\\uasedit.exe";
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    const std::string everySize = "16x4 20x32 24x32 32x4 32x8 40x32 48x32 64x32 256x32";
    const struct {
        int Id;
        std::string Images; // width x bits, sorted
    } icons[] = {{1, "16x4 32x4 32x8"}, {2, everySize}, {3, everySize}};
    for (const auto &icon : icons) {
        const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(icon.Id), RT_GROUP_ICON);
        const BYTE *bytes =
            group ? static_cast<const BYTE *>(LockResource(LoadResource(module, group))) : nullptr;
        ASSERT_NE(nullptr, bytes) << "icon " << icon.Id;
        const DWORD length = SizeofResource(module, group);
        std::vector<std::pair<int, int>> images;
        for (DWORD at = 6; at + 14 <= length; at += 14) {
            const int width = bytes[at] ? bytes[at] : 256;
            EXPECT_EQ(bytes[at], bytes[at + 1]) << "icon " << icon.Id << ": square images";
            images.emplace_back(width, bytes[at + 6] | (bytes[at + 7] << 8));
        }
        std::sort(images.begin(), images.end());
        std::string seen;
        for (const auto &image : images)
            seen += (seen.empty() ? "" : " ") + std::to_string(image.first) + "x" +
                    std::to_string(image.second);
        EXPECT_EQ(icon.Images, seen) << "icon " << icon.Id;
    }
    FreeLibrary(module);
}

} // namespace
