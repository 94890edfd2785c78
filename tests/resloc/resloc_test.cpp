// The resource locator against real installation profiles and real resource
// libraries, laid out in a temporary folder per test.
#include <gtest/gtest.h>

#include "mappedmodule.h"
#include "resloc.h"
#include "reslocstate.h"
#include "testfiles.h"
#include "testinstall.h"
#include "vel32.h"


#include <string>
#include <vector>

namespace {

using testfiles::Utf8;

std::wstring ModulePath(HMODULE module)
{
    wchar_t path[1024];
    const DWORD n = GetModuleFileNameW(module, path, 1024);
    return std::wstring(path, n);
}

// Folder of the test program (bin/ of the build), with a trailing backslash.
std::wstring ProgramFolder()
{
    std::wstring path = ModulePath(nullptr);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// What the locator makes of the test program's own base name: its first
// seven characters.
std::wstring ProgramPrefix()
{
    std::wstring path = ModulePath(nullptr);
    std::wstring base = path.substr(path.find_last_of(L'\\') + 1);
    base = base.substr(0, base.find_last_of(L'.'));
    return base.substr(0, 7);
}

// A resource-only library built for these tests (a single string).
std::wstring MarkerLibrary()
{
    return ProgramFolder() + L"reslocmark.dll";
}

// A library with an entry point and none of the program's texts.
std::wstring StubLibrary()
{
    return ProgramFolder() + L"reslocstub.dll";
}

HMODULE Own()
{
    return GetModuleHandleW(nullptr);
}

class ResLocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Forget();

        folder_ = testfiles::NewTempFolder(L"resloc");
        ASSERT_FALSE(folder_.empty()) << "no new folder in TEMP, error " << GetLastError();
        profile_ = folder_ + L"\\kalvex.ini";
        ASSERT_TRUE(SetEnvironmentVariableW(L"KALVEX_PROFILE", profile_.c_str()));
    }

    void TearDown() override
    {
        // The locator's data modules are no modules that the system's list
        // knows; they are let go here so that their files can be deleted.
        for (HMODULE module : {ResStringModule, ResCommonModule})
            if (reinterpret_cast<ULONG_PTR>(module) & 3)
                FreeLibrary(module);
        // Unload whatever was loaded from the folder, so that it can go.
        for (const std::wstring &file : files_) {
            for (int i = 0; i < 16; ++i) {
                HMODULE m = GetModuleHandleW(file.c_str());
                if (!m)
                    break;
                FreeLibrary(m);
            }
            DeleteFileW(file.c_str());
        }
        DeleteFileW(profile_.c_str());
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
            RemoveDirectoryW(it->c_str());
        RemoveDirectoryW(folder_.c_str());
        SetEnvironmentVariableW(L"KALVEX_PROFILE", nullptr);
        Forget();
    }

    // The locator as before its first call; the stub library's mark of a run
    // of its code is cleared too.
    static void Forget()
    {
        reslocstate::Forget();
        SetEnvironmentVariableW(L"UAS_STUB_RAN", nullptr);
    }

    static bool StubRan() { return GetEnvironmentVariableW(L"UAS_STUB_RAN", nullptr, 0) != 0; }

    // A copy of the marker library in a new subfolder, loaded as code (the
    // tear-down unloads it).
    HMODULE LoadedMarker(const std::wstring &folder, const std::wstring &name)
    {
        return LoadLibraryW(Library(Folder(folder), name).c_str());
    }

    // Whether the locator located and kept the program's own module for the
    // base and the string texts.
    static ::testing::AssertionResult LocatesOwnTexts()
    {
        if (!ResLocate())
            return ::testing::AssertionFailure() << "ResLocate failed";
        if (ResBaseModule != Own() || ResStringModule != Own())
            return ::testing::AssertionFailure()
                   << "base " << ResBaseModule << ", strings " << ResStringModule
                   << ", the program's own " << Own();
        return ::testing::AssertionSuccess();
    }

    // A subfolder of the test's folder (the installation's resource folder).
    std::wstring Folder(const std::wstring &name)
    {
        std::wstring path = folder_ + L"\\" + name;
        EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        folders_.push_back(path);
        return path;
    }

    // A copy of the marker library as folder\name.
    std::wstring Library(const std::wstring &folder, const std::wstring &name)
    {
        std::wstring path = folder + L"\\" + name;
        EXPECT_TRUE(CopyFileW(MarkerLibrary().c_str(), path.c_str(), TRUE))
            << "cannot copy the marker library to " << std::string(path.begin(), path.end());
        files_.push_back(path);
        return path;
    }

    void WriteProfile(const std::string &text)
    {
        ASSERT_TRUE(testinstall::WriteBytes(profile_, text));
    }

    // A complete profile: root, language and resource folder.
    void WriteProfile(const std::wstring &language, const std::wstring &resourceDir)
    {
        WriteProfile("[Kalvex_Section]\r\nRoot_Dir=" + Utf8(folder_) +
                     "\r\nResource_Binary_Dir=" + Utf8(resourceDir) +
                     "\r\n[VelWin_Section]\r\nLanguage=" + Utf8(language) + "\r\n");
    }

    // The module loaded from path, or null when it is not loaded: loaded as
    // code by the test, or as data by the locator (such a module is no
    // module that the system's list knows; its mapping names the file).
    static HMODULE Loaded(const std::wstring &path)
    {
        if (HMODULE module = GetModuleHandleW(path.c_str()))
            return module;
        for (HMODULE module : {ResStringModule, ResCommonModule})
            if (module && MappedFrom(module, path))
                return module;
        return nullptr;
    }

    std::wstring folder_;
    std::wstring profile_;
    std::vector<std::wstring> files_;
    std::vector<std::wstring> folders_;
};

// --- Choosing the language suffix ---------------------------------------

TEST_F(ResLocTest, LanguageDifferingOnlyInCaseGivesNoSuffix)
{
    const std::wstring res = Folder(L"res");
    Library(res, ProgramPrefix() + L"g.dll");
    const std::wstring english = Library(res, L"kxcommon.dll");
    const std::wstring german = Library(res, L"kxcommog.dll");
    WriteProfile(L"german", res);

    EXPECT_EQ(ResGetStringModule(), Own());
    EXPECT_EQ(ResGetModule(), Own());
    const HMODULE gotEnglish = ResGetCommonModule();
    EXPECT_EQ(gotEnglish, Loaded(english));
    EXPECT_NE(ResCommonModule, nullptr);
    EXPECT_EQ(Loaded(german), nullptr);
    EXPECT_EQ(Loaded(res + L"\\" + ProgramPrefix() + L"g.dll"), nullptr);
    EXPECT_TRUE(ResLocated);
}

TEST_F(ResLocTest, EachLanguageLoadsItsStringAndCommonLibrary)
{
    const std::wstring res = Folder(L"res");
    const struct {
        const wchar_t *Language;
        const wchar_t *Letter;
    } cases[] = {{L"German", L"g"}, {L"French", L"f"}, {L"Japan", L"j"}};
    for (const auto &c : cases) {
        const std::wstring strings = Library(res, ProgramPrefix() + c.Letter + L".dll");
        const std::wstring common = Library(res, std::wstring(L"kxcommo") + c.Letter + L".dll");
        WriteProfile(c.Language, res);
        Forget();

        ASSERT_TRUE(ResLocate());
        EXPECT_NE(ResStringModule, nullptr);
        EXPECT_EQ(ResStringModule, Loaded(strings)) << c.Letter;
        EXPECT_EQ(ResCommonModule, Loaded(common)) << c.Letter;
        // The base module stays what it was: the program's own (null). The
        // test program's base name is longer than seven characters.
        EXPECT_EQ(ResBaseModule, nullptr) << c.Letter;
    }
}

TEST_F(ResLocTest, GermanWithoutStringLibraryUsesOwnTextsButGermanCommonLibrary)
{
    const std::wstring res = Folder(L"res");
    Library(res, L"kxcommon.dll");
    const std::wstring german = Library(res, L"kxcommog.dll");
    WriteProfile(L"German", res);

    EXPECT_EQ(ResGetStringModule(), Own());
    EXPECT_EQ(ResGetModule(), Own());
    EXPECT_NE(ResGetCommonModule(), nullptr);
    const HMODULE gotGerman = ResGetCommonModule();
    EXPECT_EQ(gotGerman, Loaded(german));
}

TEST_F(ResLocTest, MissingStringLibraryOverridesFixedModules)
{
    const std::wstring res = Folder(L"res");
    HMODULE marker = LoadedMarker(L"own", L"fixed.dll");
    ASSERT_NE(marker, nullptr);
    ResSetModuleFixed(marker);
    WriteProfile(L"French", res);

    EXPECT_TRUE(LocatesOwnTexts());
}

TEST_F(ResLocTest, NoSuffixKeepsFixedModulesOnly)
{
    const std::wstring res = Folder(L"res");
    HMODULE marker = LoadedMarker(L"own", L"fixed.dll");
    ASSERT_NE(marker, nullptr);
    WriteProfile(L"English", res);

    ResSetModuleFixed(marker);
    EXPECT_TRUE(ResFixed);
    EXPECT_TRUE(ResLocate());
    EXPECT_EQ(ResBaseModule, marker);
    EXPECT_EQ(ResStringModule, marker);

    ResLocated = false;
    ResSetModule(marker);
    EXPECT_FALSE(ResFixed);
    EXPECT_FALSE(ResLocated) << "setting the modules must not locate";
    EXPECT_TRUE(LocatesOwnTexts());
}

// --- Naming the string library after the base module -------------------

TEST_F(ResLocTest, ShortBaseNameGivesWholeNameToStringLibrary)
{
    const std::wstring res = Folder(L"res");
    HMODULE base = LoadedMarker(L"prog", L"ab.dll");
    ASSERT_NE(base, nullptr);
    const std::wstring strings = Library(res, L"abg.dll");
    Library(res, L"abcdefg.dll"); // what a padded or misread name would give
    WriteProfile(L"German", res);
    ResSetModule(base);

    EXPECT_NE(ResGetStringModule(), nullptr);
    const HMODULE gotStrings = ResGetStringModule();
    EXPECT_EQ(gotStrings, Loaded(strings));
    EXPECT_EQ(ResGetModule(), base) << "a loaded string library leaves the base module alone";
}

TEST_F(ResLocTest, ResourceFolderEndingInBackslashStillLoads)
{
    const std::wstring res = Folder(L"res");
    const std::wstring strings = Library(res, ProgramPrefix() + L"g.dll");
    const std::wstring common = Library(res, L"kxcommog.dll");
    WriteProfile(L"German", res + L"\\");

    EXPECT_TRUE(ResLocate());
    EXPECT_NE(ResStringModule, nullptr);
    EXPECT_NE(ResStringModule, Own());
    EXPECT_EQ(ResStringModule, Loaded(strings));
    EXPECT_NE(ResCommonModule, nullptr);
    EXPECT_EQ(ResCommonModule, Loaded(common));
}

// A base module whose full name does not fit the 255 characters that the
// locator asks for: the cut name would name some other library, so the
// program's own texts are used instead.
TEST_F(ResLocTest, CutModuleNameIsNotUsedForTheStringLibrary)
{
    const std::wstring res = Folder(L"res");
    // A chain of folders that makes the library's full name 262 characters
    // long: the first 255 end inside its base name.
    const std::wstring fileName = L"abcdefgh.dll";
    const size_t folderLength = 262 - 1 - fileName.size();
    std::wstring deep = folder_;
    for (wchar_t letter = L'a'; deep.size() < folderLength; ++letter) {
        const size_t room = folderLength - deep.size();
        const size_t n = room - 1 <= 60 ? room - 1 : 50;
        deep += L"\\" + std::wstring(n, letter);
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
        folders_.push_back(L"\\\\?\\" + deep);
    }
    const std::wstring longPath = L"\\\\?\\" + deep + L"\\" + fileName;
    ASSERT_TRUE(CopyFileW(MarkerLibrary().c_str(), longPath.c_str(), TRUE));
    files_.push_back(longPath);
    HMODULE base = LoadLibraryW(longPath.c_str());
    if (!base)
        GTEST_SKIP() << "this system does not load libraries from long paths";

    // What a locator that took the cut name would look for.
    wchar_t cut[256] = {0};
    ASSERT_EQ(GetModuleFileNameW(base, cut, 255), 255u) << "the name should not fit";
    std::wstring previous;
    for (size_t length : {size_t(254), size_t(255)}) {
        const std::wstring name(cut, length);
        std::wstring cutBase = name.substr(name.find_last_of(L'\\') + 1, 7);
        cutBase = cutBase.substr(0, cutBase.find(L'.'));
        ASSERT_NE(cutBase, L"abcdefg");
        if (cutBase != previous)
            Library(res, cutBase + L"g.dll");
        previous = cutBase;
    }
    WriteProfile(L"German", res);
    ResSetModule(base);

    EXPECT_TRUE(LocatesOwnTexts());
}

// --- Reading the profile -------------------------------------------------

TEST_F(ResLocTest, ProfileWithoutRootDirLocatesNothing)
{
    const std::wstring res = Folder(L"res");
    Library(res, ProgramPrefix() + L"g.dll");
    const std::wstring common = Library(res, L"kxcommog.dll");
    WriteProfile("[Kalvex_Section]\r\nResource_Binary_Dir=" + Utf8(res) +
                 "\r\n[VelWin_Section]\r\nLanguage=German\r\n");
    HMODULE marker = LoadedMarker(L"own", L"set.dll");
    ASSERT_NE(marker, nullptr);
    ResSetModule(marker);

    EXPECT_FALSE(ResLocate());
    EXPECT_FALSE(ResLocated);
    EXPECT_EQ(ResGetModule(), marker);
    EXPECT_EQ(ResGetStringModule(), marker);
    EXPECT_EQ(ResGetCommonModule(), nullptr);
    EXPECT_EQ(Loaded(common), nullptr);
}

TEST_F(ResLocTest, MissingLanguageOrResourceFolderChangesNoHandle)
{
    const std::wstring res = Folder(L"res");
    Library(res, L"kxcommon.dll");
    HMODULE marker = LoadedMarker(L"own", L"set.dll");
    ASSERT_NE(marker, nullptr);
    ResSetModule(marker);

    WriteProfile("[Kalvex_Section]\r\nRoot_Dir=C:\\\r\nResource_Binary_Dir=" + Utf8(res) +
                 "\r\n");
    EXPECT_FALSE(ResLocate());
    WriteProfile("[Kalvex_Section]\r\nRoot_Dir=C:\\\r\n[VelWin_Section]\r\nLanguage=English\r\n");
    EXPECT_FALSE(ResLocate());

    EXPECT_FALSE(ResLocated);
    EXPECT_EQ(ResBaseModule, marker);
    EXPECT_EQ(ResStringModule, marker);
    EXPECT_EQ(ResCommonModule, nullptr);
}

TEST_F(ResLocTest, MissingProfileIsReadAgainAtEveryGetterCall)
{
    const std::wstring res = Folder(L"res");
    const std::wstring common = Library(res, L"kxcommon.dll");

    EXPECT_EQ(ResGetStringModule(), nullptr);
    EXPECT_EQ(ResGetCommonModule(), nullptr);
    EXPECT_EQ(ResGetModule(), nullptr);
    EXPECT_FALSE(ResLocated);

    // The profile turns up: the very next getter call finds it.
    WriteProfile(L"English", res);
    const HMODULE gotCommon = ResGetCommonModule();
    EXPECT_EQ(gotCommon, Loaded(common));
    EXPECT_NE(ResCommonModule, nullptr);
    EXPECT_EQ(ResGetStringModule(), Own());
    EXPECT_TRUE(ResLocated);
}

TEST_F(ResLocTest, PresentProfileIsReadOncePerProcess)
{
    const std::wstring first = Folder(L"first");
    const std::wstring second = Folder(L"second");
    const std::wstring english = Library(first, L"kxcommon.dll");
    Library(second, ProgramPrefix() + L"f.dll");
    const std::wstring french = Library(second, L"kxcommof.dll");
    WriteProfile(L"English", first);

    HMODULE common = ResGetCommonModule();
    EXPECT_EQ(common, Loaded(english));
    EXPECT_EQ(ResGetStringModule(), Own());

    WriteProfile(L"French", second);
    EXPECT_EQ(ResGetCommonModule(), common);
    EXPECT_EQ(ResGetStringModule(), Own());
    EXPECT_EQ(ResGetModule(), Own());
    EXPECT_EQ(Loaded(french), nullptr);

    // Not even a missing profile is noticed any more.
    DeleteFileW(profile_.c_str());
    EXPECT_EQ(ResGetCommonModule(), common);
}

TEST_F(ResLocTest, MissingLanguageCommonLibraryFallsBackToEnglish)
{
    const std::wstring res = Folder(L"res");
    const std::wstring strings = Library(res, ProgramPrefix() + L"j.dll");
    const std::wstring english = Library(res, L"kxcommon.dll"); // not the one Japan asks for
    WriteProfile(L"Japan", res);

    EXPECT_TRUE(ResLocate());
    EXPECT_TRUE(ResLocated);
    EXPECT_EQ(ResCommonModule, Loaded(english)) << "shared texts come from a common library";
    EXPECT_EQ(ResStringModule, Loaded(strings));
    EXPECT_EQ(ResGetProblem().Kind, ResProblemKind::None);

    // Once located, a library that turns up later is not looked for.
    Library(res, L"kxcommoj.dll");
    EXPECT_EQ(ResGetCommonModule(), Loaded(english));
}

TEST_F(ResLocTest, NoCommonLibraryAtAllIsRecordedWithFileAndFolder)
{
    const std::wstring res = Folder(L"res");
    Library(res, ProgramPrefix() + L"j.dll");
    WriteProfile(L"Japan", res);

    EXPECT_TRUE(ResLocate());
    EXPECT_EQ(ResCommonModule, nullptr);
    const ResProblem &problem = ResGetProblem();
    EXPECT_EQ(problem.Kind, ResProblemKind::CommonLibraryMissing);
    EXPECT_STREQ(problem.File, L"kxcommoj.dll");
    EXPECT_EQ(std::wstring(problem.Folder), res);

    // No text of another module stands in for a common text.
    wchar_t *text = ResLoadCommonText(54);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"");
    KxFree(text);
}

TEST_F(ResLocTest, ProfileValueTooLongIsNotUsedCut)
{
    // 88 characters: cut to 79 it would name an existing folder whose
    // libraries must never be loaded.
    const std::wstring res = Folder(L"res");
    std::wstring longName = res + L"\\";
    while (longName.size() < 88)
        longName += L'x';
    const std::wstring cut = longName.substr(0, 79);
    ASSERT_TRUE(CreateDirectoryW(cut.c_str(), nullptr));
    folders_.push_back(cut);
    Library(cut, L"kxcommon.dll");
    WriteProfile(L"", longName);

    EXPECT_FALSE(ResLocate());
    EXPECT_FALSE(ResLocated);
    EXPECT_EQ(ResCommonModule, nullptr);
    const ResProblem &problem = ResGetProblem();
    EXPECT_EQ(problem.Kind, ResProblemKind::ProfileValueTooLong);
    EXPECT_STREQ(problem.Section, L"Kalvex_Section");
    EXPECT_STREQ(problem.Key, L"Resource_Binary_Dir");
    EXPECT_EQ(problem.Capacity, 79);
}

TEST_F(ResLocTest, DemoProfileFindsTheEnglishCommonLibrary)
{
    const std::wstring demo = ProgramFolder() + L"kalvex.ini";
    ASSERT_NE(GetFileAttributesW(demo.c_str()), INVALID_FILE_ATTRIBUTES);
    SetEnvironmentVariableW(L"KALVEX_PROFILE", demo.c_str());

    EXPECT_EQ(ResGetStringModule(), Own());
    HMODULE common = ResGetCommonModule();
    ASSERT_NE(common, nullptr) << "the demo profile's resource folder holds no kxcommon.dll";
    // A data module has no module file name; its mapping names the file.
    EXPECT_TRUE(MappedFrom(common, L"res\\kxcommon.dll"));
    wchar_t text[160];
    EXPECT_GT(LoadStringW(common, 50, text, 160), 0);
}

// --- Setters and release -------------------------------------------------

TEST_F(ResLocTest, StringAndCommonSettersLocateFirst)
{
    const std::wstring res = Folder(L"res");
    const std::wstring common = Library(res, L"kxcommon.dll");
    HMODULE marker = LoadedMarker(L"own", L"set.dll");
    ASSERT_NE(marker, nullptr);
    WriteProfile(L"English", res);

    ResSetStringModule(marker);
    EXPECT_TRUE(ResLocated);
    EXPECT_EQ(ResStringModule, marker);
    EXPECT_EQ(ResBaseModule, Own());
    EXPECT_EQ(ResCommonModule, Loaded(common));

    ResSetCommonModule(marker);
    EXPECT_EQ(ResGetCommonModule(), marker);
    EXPECT_EQ(ResGetStringModule(), marker);
}

TEST_F(ResLocTest, ReleaseBeforeLocatingDoesNothing)
{
    HMODULE marker = LoadedMarker(L"own", L"set.dll");
    ASSERT_NE(marker, nullptr);
    ResSetModuleFixed(marker);
    ResCommonModule = marker;

    EXPECT_FALSE(ResRelease());
    EXPECT_TRUE(ResFixed);
    EXPECT_EQ(ResCommonModule, marker);
    EXPECT_EQ(Loaded(files_.back()), marker) << "the module must not have been freed";
}

TEST_F(ResLocTest, ReleaseFreesTheCommonLibraryAndLocatesAgainLater)
{
    const std::wstring res = Folder(L"res");
    const std::wstring strings = Library(res, ProgramPrefix() + L"g.dll");
    const std::wstring common = Library(res, L"kxcommog.dll");
    WriteProfile(L"German", res);
    ASSERT_TRUE(ResLocate());
    HMODULE stringModule = ResStringModule;
    ASSERT_NE(Loaded(common), nullptr);
    ResFixed = true;

    EXPECT_TRUE(ResRelease());
    EXPECT_FALSE(ResLocated);
    EXPECT_FALSE(ResFixed);
    EXPECT_EQ(Loaded(common), nullptr) << "the common library stays loaded";
    EXPECT_EQ(ResCommonModule, nullptr) << "a freed module must not be handed out";
    EXPECT_EQ(ResStringModule, stringModule);
    EXPECT_EQ(Loaded(strings), stringModule) << "the string library is not freed";

    // Without a profile the getter cannot locate again; it must not hand out
    // the freed library.
    DeleteFileW(profile_.c_str());
    EXPECT_EQ(ResGetCommonModule(), nullptr);

    WriteProfile(L"German", res);
    const HMODULE gotCommon = ResGetCommonModule();
    EXPECT_EQ(gotCommon, Loaded(common));
    EXPECT_NE(ResCommonModule, nullptr);
    EXPECT_TRUE(ResLocated);
}

TEST_F(ResLocTest, ReleaseWithoutCommonLibrarySucceeds)
{
    const std::wstring res = Folder(L"res");
    WriteProfile(L"English", res);
    ASSERT_TRUE(ResLocate());
    ASSERT_EQ(ResCommonModule, nullptr);

    EXPECT_TRUE(ResRelease());
    EXPECT_FALSE(ResLocated);
    EXPECT_EQ(ResStringModule, Own());
}

// ---------------------------------------------------------------------------
// Damaged resource libraries: each kind in the place of the string library
// and of the common library. None serves, none runs code, and the cause is
// recorded with file and folder.

enum class Damage { Missing, RandomBytes, Empty, Truncated, ForeignLibrary, Folder, Held };

struct DamageCase {
    const char *Name;
    Damage Kind;
    ResLibraryFault Fault;
};

const DamageCase kDamages[] = {
    {"missing", Damage::Missing, ResLibraryFault::Missing},
    {"random bytes", Damage::RandomBytes, ResLibraryFault::Invalid},
    {"empty file", Damage::Empty, ResLibraryFault::Invalid},
    {"cut library", Damage::Truncated, ResLibraryFault::Invalid},
    {"library without the texts", Damage::ForeignLibrary, ResLibraryFault::NoTexts},
    {"folder in its place", Damage::Folder, ResLibraryFault::Folder},
    {"a sound library held open by another program", Damage::Held, ResLibraryFault::InUse},
};

class DamagedLibraryTest : public ResLocTest {
protected:
    void TearDown() override
    {
        for (HANDLE h : held_)
            CloseHandle(h);
        ResLocTest::TearDown();
    }

    // Puts the damage at folder\name.
    void Damaged(const std::wstring &folder, const std::wstring &name, Damage kind)
    {
        const std::wstring path = folder + L"\\" + name;
        std::string bytes;
        switch (kind) {
        case Damage::Missing: return;
        case Damage::Held: {
            // A library that would serve, opened for writing without sharing
            // (the system keeps share modes within one process too).
            const std::wstring copy = Library(folder, name);
            HANDLE held = CreateFileW(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            held_.push_back(held);
            return;
        }
        case Damage::Folder:
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
            folders_.push_back(path);
            return;
        case Damage::ForeignLibrary:
            ASSERT_TRUE(CopyFileW(StubLibrary().c_str(), path.c_str(), FALSE));
            files_.push_back(path);
            return;
        case Damage::RandomBytes: {
            unsigned state = 12345;
            for (int i = 0; i < 4096; ++i) {
                state = state * 1103515245u + 12345u;
                bytes += static_cast<char>(state >> 16);
            }
            break;
        }
        case Damage::Empty: break;
        case Damage::Truncated: {
            HANDLE marker = CreateFileW(MarkerLibrary().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(marker, INVALID_HANDLE_VALUE);
            char head[512];
            DWORD got = 0;
            ReadFile(marker, head, sizeof head, &got, nullptr);
            CloseHandle(marker);
            bytes.assign(head, got); // the headers promise sections that are not there
            break;
        }
        }
        ASSERT_TRUE(testinstall::WriteBytes(path, bytes));
        files_.push_back(path);
    }

    std::vector<HANDLE> held_;

    static void ExpectRecorded(const ResLibraryProblem &problem, ResLibraryFault fault,
                               const std::wstring &file, const std::wstring &folder)
    {
        EXPECT_EQ(static_cast<int>(problem.Fault), static_cast<int>(fault));
        EXPECT_EQ(std::wstring(problem.File), file);
        EXPECT_EQ(std::wstring(problem.Folder), folder);
    }
};

TEST_F(DamagedLibraryTest, ADamagedStringLibraryGivesTheProgramsOwnTextsAndItsCause)
{
    for (const DamageCase &c : kDamages) {
        SCOPED_TRACE(c.Name);
        Forget();
        const std::wstring res = Folder(L"s" + std::to_wstring(static_cast<int>(c.Kind)));
        const std::wstring name = ProgramPrefix() + L"g.dll";
        Damaged(res, name, c.Kind);
        const std::wstring common = Library(res, L"kxcommog.dll");
        WriteProfile(L"German", res);

        EXPECT_TRUE(LocatesOwnTexts());
        EXPECT_EQ(ResCommonModule, Loaded(common));
        EXPECT_EQ(static_cast<int>(ResGetProblem().Kind), static_cast<int>(ResProblemKind::None));
        ExpectRecorded(ResGetProblem().Strings, c.Fault, name, res);
        EXPECT_FALSE(StubRan()) << "code of the library ran";
        if (ResCommonModule)
            FreeLibrary(ResCommonModule);
        ResCommonModule = nullptr;
    }
}

// A damaged English common library serves not and its cause is kept, for
// start-up to tell: when it is the library of the language, and when it
// fails to stand in for a missing one of the language.
TEST_F(DamagedLibraryTest, ADamagedEnglishCommonLibraryServesNotAndTellsItsCause)
{
    for (const wchar_t *language : {L"", L"German"}) {
        for (const DamageCase &c : kDamages) {
            SCOPED_TRACE(testing::Message()
                         << c.Name << ", language \"" << testfiles::Utf8(language) << "\"");
            Forget();
            const std::wstring res =
                Folder(language + std::wstring(L"c") + std::to_wstring(static_cast<int>(c.Kind)));
            Damaged(res, L"kxcommon.dll", c.Kind);
            WriteProfile(language, res);

            EXPECT_TRUE(ResLocate());
            EXPECT_EQ(ResCommonModule, nullptr);
            EXPECT_EQ(static_cast<int>(ResGetProblem().Kind),
                      static_cast<int>(ResProblemKind::CommonLibraryMissing));
            if (language[0]) {
                ExpectRecorded(ResGetProblem().Common, ResLibraryFault::Missing, L"kxcommog.dll",
                               res);
                ExpectRecorded(ResGetProblem().English, c.Fault, L"kxcommon.dll", res);
            } else {
                ExpectRecorded(ResGetProblem().Common, c.Fault, L"kxcommon.dll", res);
                EXPECT_EQ(ResGetProblem().Strings.Fault, ResLibraryFault::None);
            }
            EXPECT_FALSE(StubRan()) << "code of the library ran";
        }
    }
}

TEST_F(DamagedLibraryTest, TheEnglishCommonLibraryStandsInForADamagedOneAndTheCauseIsKept)
{
    const std::wstring res = Folder(L"res");
    const std::wstring strings = Library(res, ProgramPrefix() + L"f.dll");
    const std::wstring english = Library(res, L"kxcommon.dll");
    Damaged(res, L"kxcommof.dll", Damage::ForeignLibrary);
    WriteProfile(L"French", res);

    EXPECT_TRUE(ResLocate());
    EXPECT_EQ(ResStringModule, Loaded(strings));
    EXPECT_EQ(ResCommonModule, Loaded(english));
    EXPECT_EQ(static_cast<int>(ResGetProblem().Kind), static_cast<int>(ResProblemKind::None));
    ExpectRecorded(ResGetProblem().Common, ResLibraryFault::NoTexts, L"kxcommof.dll", res);
}

TEST_F(DamagedLibraryTest, LibrariesAreLoadedAsDataAndTheirTextsStillLoad)
{
    const std::wstring res = Folder(L"res");
    const std::wstring strings = Library(res, ProgramPrefix() + L"g.dll");
    const std::wstring common = Library(res, L"kxcommog.dll");
    WriteProfile(L"German", res);

    EXPECT_TRUE(ResLocate());
    ASSERT_NE(ResStringModule, Own());
    for (HMODULE module : {ResStringModule, ResCommonModule}) {
        ASSERT_NE(module, nullptr);
        // Not in the system's list of modules: no code of it was mapped to run.
        EXPECT_EQ(GetModuleHandleW(strings.c_str()), nullptr);
        EXPECT_EQ(GetModuleHandleW(common.c_str()), nullptr);
        wchar_t text[64];
        EXPECT_GT(LoadStringW(module, 1, text, 64), 0);
        EXPECT_STREQ(text, L"resource locator test library");
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), RT_STRING), nullptr);
    }
    wchar_t *shared = ResLoadCommonText(54);
    ASSERT_NE(shared, nullptr);
    EXPECT_STREQ(shared, L"resource locator test product");
    KxFree(shared);
}

} // namespace
