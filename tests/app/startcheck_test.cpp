// What start-up tells about a damaged installation, for every kind of damage
// of the string and common libraries and for profile places that cannot be
// used. Each case is a small installation of its own; the locator is made to
// locate anew for each, in this process. Each case is a row of the
// reliability table as well.
#include <gtest/gtest.h>

#include "relreport.h"
#include "resloc.h"
#include "reslocstate.h"
#include "startcheck.h"
#include "testfiles.h"
#include "testinstall.h"
#include "vel32.h"

#include <string>
#include <vector>

namespace {

enum class Lib { Good, Missing, RandomBytes, Foreign, Held, Folder };

struct StartCase {
    const char *Name;
    std::wstring Language;
    Lib Strings;         // uaseditg.dll (German only)
    Lib Common;          // the language's common library
    std::wstring SetDir; // empty: a short, usable folder
    // The expected text with {res} for the resource folder; empty: no message.
    std::wstring Told;
    Lib English = Lib::Good;  // kxcommon.dll beside the German libraries
    const char *Without = ""; // a key the profile leaves out
};

using testfiles::Utf8;

std::wstring Replace(std::wstring text, const std::wstring &place, const std::wstring &value)
{
    for (size_t at = text.find(place); at != std::wstring::npos; at = text.find(place, at))
        text.replace(at, place.size(), value), at += value.size();
    return text;
}

const std::wstring LongDir(size_t length)
{
    return L"C:\\" + std::wstring(length - 3, L'd');
}

const std::wstring kOwnTexts = L" The program shows its own English texts instead.";
const std::wstring kNotLocated =
    L"Because of this, the program does not load the installation's resource libraries: the "
    L"menus show placeholders instead of their names, and the program shows its own English "
    L"texts.";
const std::wstring kNoCommon =
    L" Menus and shared texts cannot be shown until the library is installed or repaired.";

// The English cause of a library's damage, as the start-up message begins it.
std::wstring NotFound(const std::wstring &file)
{
    return L"The library " + file + L" was not found in the folder {res}.";
}
std::wstring NotValid(const std::wstring &file)
{
    return L"The file " + file +
           L" in the folder {res} is not a valid library: it is damaged or of another kind.";
}
std::wstring NoTexts(const std::wstring &file)
{
    return L"The library " + file +
           L" in the folder {res} does not hold the texts that this program needs.";
}
std::wstring InUse(const std::wstring &file)
{
    return L"The library " + file +
           L" in the folder {res} cannot be read: it is in use by another program.";
}
std::wstring FolderInPlace(const std::wstring &file)
{
    return L"The library " + file +
           L" in the folder {res} cannot be loaded: a folder of that name is in its place.";
}

const StartCase kCases[] = {
    {"sound", L"German", Lib::Good, Lib::Good, L"", L""},
    {"string library missing", L"German", Lib::Missing, Lib::Good, L"",
     NotFound(L"uaseditg.dll") + kOwnTexts},
    {"string library damaged", L"German", Lib::RandomBytes, Lib::Good, L"",
     NotValid(L"uaseditg.dll") + kOwnTexts},
    {"string library without the texts", L"German", Lib::Foreign, Lib::Good, L"",
     NoTexts(L"uaseditg.dll") + kOwnTexts},
    {"common library missing", L"English", Lib::Good, Lib::Missing, L"",
     L"The common resource library kxcommon.dll was not found in the folder {res}. Menus and "
     L"shared texts cannot be shown until it is installed."},
    {"common library damaged", L"English", Lib::Good, Lib::RandomBytes, L"",
     NotValid(L"kxcommon.dll") + kNoCommon},
    {"common library without the texts", L"English", Lib::Good, Lib::Foreign, L"",
     NoTexts(L"kxcommon.dll") + kNoCommon},
    {"German common library damaged, in German", L"German", Lib::Good, Lib::RandomBytes, L"",
     L"Die Datei kxcommog.dll im Ordner {res} ist keine gültige Bibliothek: Sie ist beschädigt "
     L"oder von anderer Art. Menüs und gemeinsame Texte werden stattdessen auf Englisch "
     L"angezeigt."},
    {"both libraries", L"German", Lib::Foreign, Lib::Missing, L"",
     NoTexts(L"uaseditg.dll") + kOwnTexts + L"\n\n" + NotFound(L"kxcommog.dll") +
         L" Menus and shared texts are shown in English instead."},
    {"string library held open by another program", L"German", Lib::Held, Lib::Good, L"",
     InUse(L"uaseditg.dll") + kOwnTexts},
    {"string library: a folder in its place", L"German", Lib::Folder, Lib::Good, L"",
     FolderInPlace(L"uaseditg.dll") + kOwnTexts},
    {"common library held open by another program", L"English", Lib::Good, Lib::Held, L"",
     InUse(L"kxcommon.dll") + kNoCommon},
    {"common library: a folder in its place", L"English", Lib::Good, Lib::Folder, L"",
     FolderInPlace(L"kxcommon.dll") + kNoCommon},
    {"German common library held open, in German", L"German", Lib::Good, Lib::Held, L"",
     L"Die Bibliothek kxcommog.dll im Ordner {res} kann nicht gelesen werden: Sie wird von einem "
     L"anderen Programm verwendet. Menüs und gemeinsame Texte werden stattdessen auf Englisch "
     L"angezeigt.",
     Lib::Good},
    // Without the German string library, so that the message is in English.
    {"German libraries missing, the English common one held open", L"German", Lib::Missing,
     Lib::Missing, L"",
     NotFound(L"uaseditg.dll") + kOwnTexts + L"\n\n" + NotFound(L"kxcommog.dll") + L" " +
         InUse(L"kxcommon.dll") + kNoCommon,
     Lib::Held},
    {"German libraries missing, a folder in the English common one's place", L"German",
     Lib::Missing, Lib::Missing, L"",
     NotFound(L"uaseditg.dll") + kOwnTexts + L"\n\n" + NotFound(L"kxcommog.dll") + L" " +
         FolderInPlace(L"kxcommon.dll") + kNoCommon,
     Lib::Folder},
    {"set folder of 63 characters", L"English", Lib::Good, Lib::Good, LongDir(63), L""},
    {"set folder of 64 characters", L"English", Lib::Good, Lib::Good, LongDir(64),
     L"The set folder named by Set_Dir in section Kalvex_Section of the installation profile is "
     L"64 characters long: it leaves room for set names of at most 59 characters, while a set "
     L"name may have 60. Longer names cannot be saved until the profile names a folder of at "
     L"most 63 characters."},
    {"set folder of 122 characters", L"English", Lib::Good, Lib::Good, LongDir(122),
     L"The set folder named by Set_Dir in section Kalvex_Section of the installation profile is "
     L"122 characters long: it leaves room for set names of at most 1 characters, while a set "
     L"name may have 60. Longer names cannot be saved until the profile names a folder of at "
     L"most 63 characters."},
    {"set folder of 123 characters", L"English", Lib::Good, Lib::Good, LongDir(123),
     L"The set folder named by Set_Dir in section Kalvex_Section of the installation profile is "
     L"longer than 122 characters: the paths of its unit assignment sets would not fit. Sets "
     L"cannot be opened or saved until the profile names a shorter folder."},
    {"set folder of 300 characters, in German", L"German", Lib::Good, Lib::Good, LongDir(300),
     L"Der Ordner der Einheitensätze, den Set_Dir im Abschnitt Kalvex_Section des "
     L"Installationsprofils nennt, ist länger als 122 Zeichen: Die Pfade seiner Einheitensätze "
     L"hätten keinen Platz. Einheitensätze können erst geöffnet oder gespeichert werden, wenn "
     L"das Profil einen kürzeren Ordner nennt."},
    {"set folder with an unset variable", L"English", Lib::Good, Lib::Good,
     L"%UAS_NOT_SET_ANYWHERE%\\sets",
     L"The value of Set_Dir in section Kalvex_Section of the installation profile refers to the "
     L"environment variable UAS_NOT_SET_ANYWHERE, which is not set. The value is not used."},
    {"set folder with an unset variable, in German", L"German", Lib::Good, Lib::Good,
     L"%UAS_NOT_SET_ANYWHERE%\\sets",
     L"Der Wert von Set_Dir im Abschnitt Kalvex_Section des Installationsprofils verweist auf "
     L"die Umgebungsvariable UAS_NOT_SET_ANYWHERE, die nicht gesetzt ist. Der Wert wird nicht "
     L"verwendet."},
    {"set folder through a variable whose value names an unset one", L"English", Lib::Good,
     Lib::Good, L"%UAS_TEST_NESTED_SETS%",
     L"The value of Set_Dir in section Kalvex_Section of the installation profile refers to the "
     L"environment variable UAS_NOT_SET_ANYWHERE, which is not set. The value is not used."},
    {"set folder with an unset variable of blanks", L"English", Lib::Good, Lib::Good,
     L"%UAS NOPE 7%\\sets",
     L"The value of Set_Dir in section Kalvex_Section of the installation profile refers to the "
     L"environment variable UAS NOPE 7, which is not set. The value is not used."},
    {"profile without Root_Dir, in German", L"German", Lib::Good, Lib::Good, L"",
     L"The installation profile has no key Root_Dir in section Kalvex_Section.\n\n" + kNotLocated,
     Lib::Good, "Root_Dir"},
    {"profile without Language", L"German", Lib::Good, Lib::Good, L"",
     L"The installation profile has no key Language in section VelWin_Section.\n\n" + kNotLocated,
     Lib::Good, "Language"},
    {"profile with an unset variable as Language", L"%UAS_NOT_SET_ANYWHERE%", Lib::Good, Lib::Good,
     L"",
     L"The value of Language in section VelWin_Section of the installation profile refers to the "
     L"environment variable UAS_NOT_SET_ANYWHERE, which is not set. The value is not used.\n\n" +
         kNotLocated},
    {"profile with a Language of 80 characters", L"G" + std::wstring(79, L'g'), Lib::Good,
     Lib::Good, L"",
     L"The value of Language in section VelWin_Section of the installation profile is longer "
     L"than 79 characters. It is not used.\n\n" +
         kNotLocated},
};

// Files that a case holds open as another program would, until the case ends.
std::vector<HANDLE> heldFiles;

void Put(const std::wstring &folder, const std::wstring &name, Lib kind, const std::wstring &good)
{
    const std::wstring path = folder + L"\\" + name;
    switch (kind) {
    case Lib::Missing: return;
    case Lib::Good: ASSERT_TRUE(CopyFileW(good.c_str(), path.c_str(), FALSE)); return;
    case Lib::Folder: ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)); return;
    case Lib::Held: {
        // A sound library, opened for writing without sharing.
        ASSERT_TRUE(CopyFileW(good.c_str(), path.c_str(), FALSE));
        HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        heldFiles.push_back(held);
        return;
    }
    case Lib::Foreign:
        // A valid library with none of the texts: the general support library.
        ASSERT_TRUE(
            CopyFileW((testinstall::BinFolder() + L"\\vel32.dll").c_str(), path.c_str(), FALSE));
        return;
    case Lib::RandomBytes: {
        std::string bytes;
        unsigned state = 7;
        for (int i = 0; i < 2048; ++i) {
            state = state * 1103515245u + 12345u;
            bytes += static_cast<char>(state >> 16);
        }
        ASSERT_TRUE(testinstall::WriteBytes(path, bytes));
        return;
    }
    }
}

void Relocate()
{
    if (ResCommonModule)
        FreeLibrary(ResCommonModule);
    if (ResStringModule && ResStringModule != GetModuleHandleW(nullptr))
        FreeLibrary(ResStringModule);
    reslocstate::Forget();
}

TEST(StartCheckTest, EveryDamageIsToldOnceWithFileFolderAndCause)
{
    SetEnvironmentVariableW(L"UAS_NOT_SET_ANYWHERE", nullptr);
    SetEnvironmentVariableW(L"UAS NOPE 7", nullptr);
    testfiles::ScopedEnv nested(L"UAS_TEST_NESTED_SETS", L"%UAS_NOT_SET_ANYWHERE%\\sets");
    int n = 0;
    for (const StartCase &c : kCases) {
        SCOPED_TRACE(c.Name);
        const std::wstring root = testinstall::Create(testinstall::Options());
        const std::wstring res = root + L"\\res" + std::to_wstring(++n);
        ASSERT_TRUE(CreateDirectoryW(res.c_str(), nullptr));
        const bool german = std::wstring(c.Language) == L"German";
        const std::wstring good = testinstall::ResFolder() + L"\\";
        Put(res, L"uaseditg.dll", german ? c.Strings : Lib::Missing, good + L"uaseditg.dll");
        Put(res, german ? L"kxcommog.dll" : L"kxcommon.dll", c.Common,
            good + (german ? L"kxcommog.dll" : L"kxcommon.dll"));
        if (german)
            Put(res, L"kxcommon.dll", c.English, good + L"kxcommon.dll");
        const std::wstring setDir = c.SetDir.empty() ? root + L"\\sets" : c.SetDir;
        const std::string without = c.Without;
        std::string profile = "[Kalvex_Section]\r\n";
        if (without != "Root_Dir")
            profile += "Root_Dir=" + Utf8(root) + "\r\n";
        profile += "Resource_Binary_Dir=" + Utf8(res) + "\r\nSet_Dir=" + Utf8(setDir) +
                   "\r\n[VelWin_Section]\r\n";
        if (without != "Language")
            profile += "Language=" + Utf8(c.Language) + "\r\n";
        const std::wstring profilePath = root + L"\\case.ini";
        ASSERT_TRUE(testinstall::WriteBytes(profilePath, profile));
        SetEnvironmentVariableW(L"KALVEX_PROFILE", profilePath.c_str());
        Relocate();

        wchar_t *text = AppStartupProblemText();
        const std::wstring told = text ? text : L"";
        if (text)
            KxFree(text);
        const std::wstring expected = Replace(c.Told, L"{res}", res);
        EXPECT_EQ(Utf8(told), Utf8(expected));
        const std::string shown =
            told.empty() ? "nothing told" : "told: " + Utf8(told.substr(0, 70)) + "...";
        const bool place = std::string(c.Name).rfind("set folder", 0) == 0 ||
                           std::string(c.Name).rfind("profile", 0) == 0;
        rel::Record({place ? "profile places" : "resource libraries", c.Name, 1,
                     told == expected ? 0u : 1u, shown});
        Relocate();
        for (HANDLE held : heldFiles)
            CloseHandle(held);
        heldFiles.clear();
    }
}

TEST(StartCheckTest, NothingIsCreatedForAnUnsetVariable)
{
    SetEnvironmentVariableW(L"UAS_NOT_SET_ANYWHERE", nullptr);
    const std::wstring root = testinstall::Create(testinstall::Options());
    const std::string profile = "[Kalvex_Section]\r\nRoot_Dir=" + Utf8(root) +
                                "\r\nSet_Dir=%UAS_NOT_SET_ANYWHERE%\\sets\r\n";
    const std::wstring profilePath = root + L"\\unset.ini";
    ASSERT_TRUE(testinstall::WriteBytes(profilePath, profile));
    SetEnvironmentVariableW(L"KALVEX_PROFILE", profilePath.c_str());
    wchar_t here[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, here);
    ASSERT_TRUE(SetCurrentDirectoryW(root.c_str()));
    KxStatus status = 0;
    ListHandle sets = UasCreateUasInfoList(&status);
    EXPECT_NE(status, 0) << "no set folder is configured";
    EXPECT_FALSE(testinstall::Exists(root + L"\\%UAS_NOT_SET_ANYWHERE%"));
    EXPECT_FALSE(testinstall::Exists(testinstall::BinFolder() + L"\\%UAS_NOT_SET_ANYWHERE%"));
    SetCurrentDirectoryW(here);
    if (sets)
        ListFree(sets);
}

} // namespace
