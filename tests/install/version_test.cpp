// Version resources of the shipped binaries, read back through the version
// API as Explorer and installers read them, from the build's bin/ and res/.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Shipped {
    const wchar_t *Folder;
    const wchar_t *File;
    WORD Language;
};

// Everything the installation ships, with the language of its texts.
const Shipped ShippedBinaries[] = {
    {L"bin", L"uasedit.exe", 0x0409},  {L"bin", L"vel32.dll", 0x0409},
    {L"bin", L"velw32.dll", 0x0409},   {L"bin", L"velx32.dll", 0x0409},
    {L"res", L"kxcommon.dll", 0x0409}, {L"res", L"kxcommog.dll", 0x0407},
    {L"res", L"kxcommof.dll", 0x040C}, {L"res", L"kxcommoj.dll", 0x0411},
    {L"res", L"uaseditg.dll", 0x0407}, {L"res", L"uaseditf.dll", 0x040C},
    {L"res", L"uaseditj.dll", 0x0411},
};

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
        if (!Present() || !VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
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
    for (const Shipped &s : ShippedBinaries) {
        SCOPED_TRACE(testing::Message() << "binary " << std::string(s.File, s.File + wcslen(s.File)));
        const VersionInfo info(BuildFolder() + L"\\" + s.Folder + L"\\" + s.File);
        ASSERT_TRUE(info.Present());
        EXPECT_EQ(L"Unit Assignment Set Editor", info.String(L"ProductName"));
        EXPECT_EQ(version, info.String(L"ProductVersion"));
        EXPECT_EQ(version, info.String(L"FileVersion"));
        EXPECT_EQ(std::wstring(s.File), info.String(L"OriginalFilename"));
        EXPECT_FALSE(info.String(L"CompanyName").empty());
        EXPECT_FALSE(info.String(L"FileDescription").empty());

        const VS_FIXEDFILEINFO *fixed = info.Fixed();
        ASSERT_NE(nullptr, fixed);
        EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
        EXPECT_EQ(MAKELONG(UAS_TEST_VERSION_MINOR, UAS_TEST_VERSION_MAJOR), fixed->dwFileVersionMS);
        EXPECT_EQ(MAKELONG(0, UAS_TEST_VERSION_PATCH), fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
        EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
        const bool program = wcsstr(s.File, L".exe") != nullptr;
        EXPECT_EQ(program ? static_cast<DWORD>(VFT_APP) : static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

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
    for (const Shipped &s : ShippedBinaries) {
        const std::wstring description =
            VersionInfo(BuildFolder() + L"\\" + s.Folder + L"\\" + s.File).String(L"FileDescription");
        for (const std::wstring &other : seen)
            EXPECT_NE(other, description) << std::string(s.File, s.File + wcslen(s.File));
        seen.push_back(description);
    }
}

// The version resource comes beside the manifest, not instead of it: the
// program still asks for the version 6 common controls.
TEST(VersionResource, ProgramKeepsItsManifest)
{
    const std::wstring program = BuildFolder() + L"\\bin\\uasedit.exe";
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(nullptr, found);
    const DWORD size = SizeofResource(module, found);
    const char *bytes = static_cast<const char *>(LockResource(LoadResource(module, found)));
    ASSERT_NE(nullptr, bytes);
    const std::string manifest(bytes, size);
    FreeLibrary(module);
    EXPECT_NE(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
    EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
}

} // namespace
