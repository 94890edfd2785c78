// The program's own resources (string table, menu, icon; linked into this
// test program from the program's resource script) and the resource
// libraries that the locator loads: the translated string libraries and the
// common resource libraries of the four languages.
#include <gtest/gtest.h>

#include <windows.h>

#include "resource.h"
#include "testfiles.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

HMODULE Own()
{
    return GetModuleHandleW(nullptr);
}

std::wstring ResourceFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, n);
    return program.substr(0, program.find_last_of(L'\\') + 1) + L"..\\res\\";
}

// A string of the module's table exactly as stored (trailing blanks
// included); empty when the ID is missing.
std::wstring Text(HMODULE module, UINT id)
{
    const wchar_t *stored = nullptr;
    const int n = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&stored), 0);
    return n > 0 && stored ? std::wstring(stored, n) : std::wstring();
}

BOOL CALLBACK CollectBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT> *>(param)->push_back(
            LOWORD(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// Every string ID that the module's table holds.
std::set<UINT> Ids(HMODULE module)
{
    std::vector<UINT> blocks;
    EnumResourceNamesW(module, RT_STRING, CollectBlock, reinterpret_cast<LONG_PTR>(&blocks));
    std::set<UINT> ids;
    for (UINT block : blocks)
        for (UINT id = (block - 1) * 16; id < block * 16; ++id)
            if (!Text(module, id).empty())
                ids.insert(id);
    return ids;
}

// Whether the table's block holding id is stored under the language.
bool StoredInLanguage(HMODULE module, UINT id, LANGID language)
{
    return FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language) != nullptr;
}

int Count(const std::wstring &text, const std::wstring &part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::wstring::npos;
         at = text.find(part, at + part.size()))
        ++n;
    return n;
}

// The access key of a menu text: the character after its single '&'; 0 when
// the text has no single, usable one.
wchar_t AccessKey(const std::wstring &text)
{
    if (Count(text, L"&") != 1)
        return 0;
    const size_t at = text.find(L'&');
    if (at + 1 >= text.size() || iswspace(text[at + 1]))
        return 0;
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
        CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(text[at + 1])))));
}

using testfiles::Utf8;

const std::map<UINT, std::wstring> &EnglishTexts()
{
    static const std::map<UINT, std::wstring> texts = {
        {IDS_CLASSNAME, L"Unit Assignment Set Builder"},
        {IDS_TITLE, L"Unit Assignment Set Editor"},
        {IDS_SETNAMEPREFIX, L"Set Name: "},
        {IDS_DESCRIPTION, L"Description"},
        {IDS_DIMENSIONS, L"Dimensions"},
        {IDS_UNITS, L"Units"},
        {IDS_NONE, L"<none>"},
        {IDS_ALERT, L"Alert"},
        {IDS_WARNING, L"Warning"},
        {IDS_CONFIRMDELETE, L"Are you sure that you want to delete '%s'?"},
        {IDS_QUERYSAVEUNNAMED,
         L"The current set has been altered.  Do you want to save it prior to %s?"},
        {IDS_QUERYSAVENAMED, L"%s has been altered.  Do you want to save %s prior to %s?"},
        {IDS_OP_NEW, L"NEW"},
        {IDS_OP_OPEN, L"OPEN"},
        {IDS_OP_SAVE, L"SAVE"},
        {IDS_OP_SAVEAS, L"SAVE AS"},
        {IDS_OP_DELETE, L"DELETE"},
        {IDS_OP_PRINT, L"PRINT"},
        {IDS_OP_EXIT, L"EXIT"},
        {IDS_OP_CLOSE, L"CLOSE"},
        {IDS_OP_SELECTDEFAULT, L"SELECT DEFAULT"},
        {IDS_OP_EDITDESCRIPTION, L"EDIT DESCRIPTION"},
        {IDS_MENU_GLOBALDEFAULT, L"&Global Default..."},
        {IDS_CLEAR, L"Clear"},
        {IDS_ERR_UNITFILES, L"Error reading system unit files."},
        {IDS_ERR_DELETE, L"Cannot delete the unit assignment set."},
        {IDS_ERR_WRITE, L"Error opening/writing database."},
        {IDS_ERR_UNSTORABLE,
         L"The description contains a character that cannot be stored in a unit assignment set "
         L"file: \u201c%s\u201d (U+%s). It is selected in the description. Remove or replace it "
         L"and save again."},
        {IDS_ERR_OPEN, L"The unit assignment set '%s' cannot be read."},
        {IDS_ERR_UNSTORABLEUNIT,
         L"The unit '%s' chosen for %s cannot be stored in a unit assignment set "
         L"file. Choose another unit for it and save again."},
        {IDS_ERR_COMMONMISSING,
         L"The common resource library %s was not found in the folder %s. Menus and shared "
         L"texts cannot be shown until it is installed."},
        {IDS_ERR_PROFILETOOLONG, L"The value of %s in section %s of the installation profile is "
                                 L"longer than %s characters. It is not used."},
        {IDS_ERR_WRITECAUSE, L"File: %s\nReason: %s"},
        {IDS_CAUSE_ACCESSDENIED,
         L"access is denied (the file is read-only, or you may not write to its folder)."},
        {IDS_CAUSE_DISKFULL, L"the disk is full."},
        {IDS_CAUSE_INUSE, L"the file is in use by another program."},
        {IDS_CAUSE_ISFOLDER, L"a folder of that name is in the way."},
        {IDS_CAUSE_NOFOLDER, L"the folder does not exist."},
        {IDS_CAUSE_OTHER, L"system error %s."},
        {IDS_UNITS_FILE, L"File: %s"},
        {IDS_UNITS_LINE, L"Line %s: %s"},
        {IDS_UNITS_NOPROFILEKEY, L"the installation profile is missing or names no units file (key "
                                 L"Units_File in section Kalvex_Section)."},
        {IDS_UNITS_PROFILEEMPTY, L"the profile's key Units_File names no file."},
        {IDS_UNITS_PROFILETOOLONG,
         L"the profile's key Units_File is too long to be a usable path."},
        {IDS_UNITS_MISSING, L"the units file does not exist."},
        {IDS_UNITS_OPEN, L"the units file cannot be opened (system error %s)."},
        {IDS_UNITS_READ, L"the units file cannot be read (system error %s)."},
        {IDS_UNITS_TOOLARGE, L"the units file is larger than %s bytes."},
        {IDS_UNITS_NOTUTF8, L"the line is not UTF-8 text."},
        {IDS_UNITS_BADNAME, L"the name '%s' holds a control or invisible character."},
        {IDS_UNITS_BADSYMBOL, L"the unit '%s' holds a control or invisible character."},
        {IDS_UNITS_NAMETOOLONG, L"the name '%s' is longer than %s characters."},
        {IDS_UNITS_SYMBOLTOOLONG, L"the unit '%s' is longer than %s characters."},
        {IDS_UNITS_UNSTORABLENAME, L"the name '%s' holds a character that a unit assignment set "
                                   L"file cannot store (above code 255)."},
        {IDS_UNITS_UNSTORABLESYMBOL, L"the unit '%s' holds a character that a unit assignment set "
                                     L"file cannot store (above code 255)."},
        {IDS_UNITS_TOOMANYSYMBOLS, L"the dimension '%s' has more than %s units."},
        {IDS_UNITS_DUPLICATE, L"the name '%s' was given before (letter case does not count)."},
        {IDS_UNITS_TOOMANYDIMENSIONS, L"there are more than %s dimensions."},
        {IDS_UNITS_NODIMENSIONS, L"the units file lists no dimension."},
        {IDS_UNITS_NOMEMORY, L"there is not enough memory to load the units data."},
        {IDS_ASK_CHANGEDONDISK,
         L"The unit assignment set '%s' has been changed by another program or user since you "
         L"opened or last saved it.\n\nDo you want to replace it with your version? Choose No to "
         L"keep your changes in the editor without saving."},
        {IDS_ASK_DELETEDONDISK,
         L"The unit assignment set '%s' has been deleted by another program or user since you "
         L"opened or last saved it.\n\nDo you want to save your version again? Choose No to keep "
         L"your changes in the editor without saving."},
        {IDS_LIB_MISSING, L"The library %s was not found in the folder %s."},
        {IDS_LIB_INVALID,
         L"The file %s in the folder %s is not a valid library: it is damaged or of another kind."},
        {IDS_LIB_NOTEXTS,
         L"The library %s in the folder %s does not hold the texts that this program needs."},
        {IDS_LIB_OWNTEXTS, L"The program shows its own English texts instead."},
        {IDS_LIB_ENGLISHCOMMON, L"Menus and shared texts are shown in English instead."},
        {IDS_LIB_NOCOMMON,
         L"Menus and shared texts cannot be shown until the library is installed or repaired."},
        {IDS_ERR_SETDIRTOOLONG,
         L"The set folder named by %s in section %s of the installation profile is longer than %s "
         L"characters: the paths of its unit assignment sets would not fit. Sets cannot be opened "
         L"or saved until the profile names a shorter folder."},
        {IDS_ERR_PROFILEUNSETVAR,
         L"The value of %s in section %s of the installation profile refers to the environment "
         L"variable %s, which is not set. The value is not used."},
        {IDS_KEY_NEW, L"Ctrl+N"},
        {IDS_KEY_OPEN, L"Ctrl+O"},
        {IDS_KEY_SAVE, L"Ctrl+S"},
        {IDS_KEY_SAVEAS, L"Ctrl+Shift+S"},
        {IDS_ASK_PLAINCHARS,
         L"The description contains a character that cannot be stored in a unit assignment set "
         L"file: \u201c%s\u201d (U+%s).\n\nReplace the typographic dashes, quotes and ellipses in "
         L"the description with plain ones (-, ', \", ...) and save?"},
        {IDS_ERR_OPENFILE,
         L"This file cannot be opened as a unit assignment set.\n\nFile: %s\nReason: %s"},
        {IDS_OPENCAUSE_MISSING, L"the file does not exist."},
        {IDS_OPENCAUSE_FOLDER, L"it is a folder, not a file."},
        {IDS_OPENCAUSE_DEVICE,
         L"the name is that of a device (such as CON, NUL or COM1), not of a file."},
        {IDS_OPENCAUSE_FORMAT, L"the file is not a unit assignment set file: it does not begin "
                               L"with the header of one."},
        {IDS_OPENCAUSE_DENIED, L"you may not read the file."},
        {IDS_SETNAMEFROMFILE, L"%s (read from %s)"},
        {IDS_UNITS_PROFILEUNREADABLE,
         L"the profile's key Units_File cannot be read: it refers to an environment variable that "
         L"is not set, or the profile cannot be read."},
        {IDS_ERR_PROFILEMISSING, L"The installation profile has no key %s in section %s."},
        {IDS_ERR_NOTLOCATED,
         L"Because of this, the program does not load the installation's resource libraries: the "
         L"menus show placeholders instead of their names, and the program shows its own English "
         L"texts."},
        {IDS_ERR_NOPROFILE,
         L"No installation profile was found: there is no kalvex.ini beside the program, and the "
         L"environment variable KALVEX_PROFILE names no file that exists."},
        {IDS_ERR_PROFILEUNREADABLE, L"The installation profile cannot be read: it cannot be "
                                    L"opened, or it is larger than a profile can be."},
        {IDS_ERR_SETDIRSHORTNAMES,
         L"The set folder named by %s in section %s of the installation profile is %s characters "
         L"long: it leaves room for set names of at most %s characters, while a set name may have "
         L"60. Longer names cannot be saved until the profile names a folder of at most %s "
         L"characters."},
        {IDS_LIB_INUSE,
         L"The library %s in the folder %s cannot be read: it is in use by another program."},
        {IDS_LIB_FOLDER, L"The library %s in the folder %s cannot be loaded: a folder of that name "
                         L"is in its place."},
        {IDS_OPENCAUSE_TOOLONG, L"the path is too long: it has %s characters, and the editor opens "
                                L"paths of up to %s characters."},
        {IDS_PATHSHORTENED, L"%s\u2026%s"},
    };
    return texts;
}

// --- The English table in the program file ------------------------------

TEST(EnglishTable, HoldsEveryTextExactly)
{
    for (const auto &entry : EnglishTexts())
        EXPECT_EQ(Text(Own(), entry.first), entry.second) << "string " << entry.first;
}

TEST(EnglishTable, HoldsNoOtherStrings)
{
    std::set<UINT> expected;
    for (const auto &entry : EnglishTexts())
        expected.insert(entry.first);
    EXPECT_EQ(Ids(Own()), expected);
}

TEST(EnglishTable, IsStoredAsEnglish)
{
    for (const auto &entry : EnglishTexts())
        EXPECT_TRUE(
            StoredInLanguage(Own(), entry.first, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)))
            << "string " << entry.first;
}

// --- The translated string libraries ------------------------------------

struct Translation {
    const wchar_t *File;
    LANGID Language;
    const wchar_t *CommonFile;
};

// The names of the shortcut keys as each language's keyboards label them;
// the help quotes them. French and Japanese keyboards say Ctrl as English
// ones do, so these may read as the English names.
const std::map<std::wstring, std::vector<std::wstring>> kKeyNames = {
    {L"uaseditg.dll", {L"Strg+N", L"Strg+O", L"Strg+S", L"Strg+Umschalt+S"}},
    {L"uaseditf.dll", {L"Ctrl+N", L"Ctrl+O", L"Ctrl+S", L"Ctrl+Maj+S"}},
    {L"uaseditj.dll", {L"Ctrl+N", L"Ctrl+O", L"Ctrl+S", L"Ctrl+Shift+S"}},
};
const UINT kKeyNameIds[] = {IDS_KEY_NEW, IDS_KEY_OPEN, IDS_KEY_SAVE, IDS_KEY_SAVEAS};

bool IsKeyName(UINT id)
{
    for (UINT key : kKeyNameIds)
        if (key == id)
            return true;
    return false;
}

// Patterns without words, which may read the same in every language: the
// ellipsis between the ends of a shortened path.
bool IsWordless(UINT id)
{
    return id == IDS_PATHSHORTENED;
}

const Translation kTranslations[] = {
    {L"uaseditg.dll", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), L"kxcommog.dll"},
    {L"uaseditf.dll", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), L"kxcommof.dll"},
    {L"uaseditj.dll", MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), L"kxcommoj.dll"},
};

class TranslatedTable : public ::testing::TestWithParam<Translation> {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryW((ResourceFolder() + GetParam().File).c_str());
        ASSERT_NE(module_, nullptr) << "cannot load " << Utf8(GetParam().File);
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_P(TranslatedTable, HoldsExactlyTheEnglishIds)
{
    std::set<UINT> expected;
    for (const auto &entry : EnglishTexts())
        expected.insert(entry.first);
    EXPECT_EQ(Ids(module_), expected);
}

TEST_P(TranslatedTable, KeepsEveryPlaceholderAndNoOtherDirective)
{
    for (const auto &entry : EnglishTexts()) {
        const std::wstring text = Text(module_, entry.first);
        const int placeholders = Count(entry.second, L"%s");
        EXPECT_EQ(Count(text, L"%s"), placeholders)
            << "string " << entry.first << ": " << Utf8(text);
        EXPECT_EQ(Count(text, L"%"), placeholders)
            << "string " << entry.first << ": " << Utf8(text);
    }
}

TEST_P(TranslatedTable, IsTranslatedAndStoredInItsLanguage)
{
    int same = 0;
    for (const auto &entry : EnglishTexts()) {
        if (Text(module_, entry.first) == entry.second && !IsKeyName(entry.first) &&
            !IsWordless(entry.first))
            ++same;
        EXPECT_TRUE(StoredInLanguage(module_, entry.first, GetParam().Language))
            << "string " << entry.first;
    }
    // The class name stays; at most one word may happen to read the same.
    EXPECT_EQ(Text(module_, IDS_CLASSNAME), EnglishTexts().at(IDS_CLASSNAME));
    EXPECT_LE(same, 2);
    EXPECT_NE(Text(module_, IDS_TITLE), EnglishTexts().at(IDS_TITLE));
}

TEST_P(TranslatedTable, TextsFitWhereTheProgramPutsThem)
{
    // The set name follows the prefix directly.
    const std::wstring prefix = Text(module_, IDS_SETNAMEPREFIX);
    ASSERT_FALSE(prefix.empty());
    EXPECT_EQ(prefix.back(), L' ');
    // The product information window takes the title into 160 characters.
    EXPECT_LT(Text(module_, IDS_TITLE).size(), 160u);
    EXPECT_NE(AccessKey(Text(module_, IDS_MENU_GLOBALDEFAULT)), 0)
        << Utf8(Text(module_, IDS_MENU_GLOBALDEFAULT));
}

TEST_P(TranslatedTable, NamesTheShortcutKeysAsTheKeyboardsDo)
{
    const std::vector<std::wstring> &names = kKeyNames.at(GetParam().File);
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(Text(module_, kKeyNameIds[i]), names[i]) << "string " << kKeyNameIds[i];
}

INSTANTIATE_TEST_SUITE_P(Languages, TranslatedTable, ::testing::ValuesIn(kTranslations));

// --- The common resource libraries --------------------------------------

struct Common {
    const wchar_t *File;
    LANGID Language;
    const wchar_t *StringLibrary; // the program's table of that language; null: the program's own
};

const Common kCommons[] = {
    {L"kxcommon.dll", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), nullptr},
    {L"kxcommog.dll", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), L"uaseditg.dll"},
    {L"kxcommof.dll", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), L"uaseditf.dll"},
    {L"kxcommoj.dll", MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), L"uaseditj.dll"},
};

const UINT kMenuTexts[] = {IDS_COMMON_FILE,           IDS_COMMON_NEW,  IDS_COMMON_SAVE,
                           IDS_COMMON_SAVEAS,         IDS_COMMON_EXIT, IDS_COMMON_DELETE,
                           IDS_COMMON_OPEN,           IDS_COMMON_HELP, IDS_COMMON_USINGHELP,
                           IDS_COMMON_PRODUCTINFOMENU};

class CommonLibrary : public ::testing::TestWithParam<Common> {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryW((ResourceFolder() + GetParam().File).c_str());
        ASSERT_NE(module_, nullptr) << "cannot load " << Utf8(GetParam().File);
        if (GetParam().StringLibrary) {
            strings_ = LoadLibraryW((ResourceFolder() + GetParam().StringLibrary).c_str());
            ASSERT_NE(strings_, nullptr);
        }
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
        if (strings_)
            FreeLibrary(strings_);
    }
    HMODULE StringModule() const { return strings_ ? strings_ : Own(); }

    HMODULE module_ = nullptr;
    HMODULE strings_ = nullptr;
};

TEST_P(CommonLibrary, HoldsTheTwelveSharedStrings)
{
    std::set<UINT> shared;
    for (UINT id : Ids(module_))
        if (id < 1024)
            shared.insert(id);
    const std::set<UINT> expected = {
        IDS_COMMON_PRODUCT, IDS_COMMON_PRODUCTINFO, IDS_COMMON_FILE,
        IDS_COMMON_NEW,     IDS_COMMON_SAVE,        IDS_COMMON_SAVEAS,
        IDS_COMMON_EXIT,    IDS_COMMON_DELETE,      IDS_COMMON_OPEN,
        IDS_COMMON_HELP,    IDS_COMMON_USINGHELP,   IDS_COMMON_PRODUCTINFOMENU};
    EXPECT_EQ(shared, expected);
    for (UINT id : expected)
        EXPECT_TRUE(StoredInLanguage(module_, id, GetParam().Language)) << "string " << id;
}

TEST_P(CommonLibrary, ProductTextsFitTheProductInformationWindow)
{
    for (UINT id : {IDS_COMMON_PRODUCT, IDS_COMMON_PRODUCTINFO}) {
        const std::wstring text = Text(module_, id);
        EXPECT_FALSE(text.empty()) << "string " << id;
        EXPECT_LT(text.size(), 160u) << "string " << id;
        EXPECT_EQ(Count(text, L"%"), 0) << "string " << id;
    }
}

TEST_P(CommonLibrary, EveryMenuTextHasOneAccessKey)
{
    for (UINT id : kMenuTexts)
        EXPECT_NE(AccessKey(Text(module_, id)), 0)
            << "string " << id << ": " << Utf8(Text(module_, id));
}

TEST_P(CommonLibrary, AccessKeysAreUniqueWithinEachMenu)
{
    struct Item {
        HMODULE Module;
        UINT Id;
    };
    const std::vector<std::vector<Item>> menus = {
        {{module_, IDS_COMMON_FILE}, {module_, IDS_COMMON_HELP}},
        {{module_, IDS_COMMON_NEW},
         {module_, IDS_COMMON_OPEN},
         {module_, IDS_COMMON_SAVE},
         {module_, IDS_COMMON_SAVEAS},
         {module_, IDS_COMMON_DELETE},
         {StringModule(), IDS_MENU_GLOBALDEFAULT},
         {module_, IDS_COMMON_EXIT}},
        {{module_, IDS_COMMON_USINGHELP}, {module_, IDS_COMMON_PRODUCTINFOMENU}},
    };
    for (const auto &menu : menus) {
        std::map<wchar_t, std::wstring> keys;
        for (const Item &item : menu) {
            const std::wstring text = Text(item.Module, item.Id);
            const wchar_t key = AccessKey(text);
            ASSERT_NE(key, 0) << Utf8(text);
            EXPECT_EQ(keys.count(key), 0u)
                << Utf8(text) << " and " << Utf8(keys[key]) << " share a key";
            keys[key] = text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, CommonLibrary, ::testing::ValuesIn(kCommons));

// --- The menu template ----------------------------------------------------

struct MenuEntry {
    UINT Id; // 0: separator
    const wchar_t *Text;
};

void ExpectMenu(HMENU menu, const std::vector<MenuEntry> &expected)
{
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        wchar_t text[128] = {0};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        if (expected[i].Id == 0) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << "position " << i;
        } else {
            EXPECT_FALSE(info.fType & MFT_SEPARATOR) << "position " << i;
            EXPECT_EQ(info.wID, expected[i].Id) << "position " << i;
            EXPECT_EQ(std::wstring(text), expected[i].Text) << "position " << i;
        }
    }
}

TEST(MenuTemplate, HasTheFileAndHelpPopups)
{
    HMENU menu = LoadMenuW(Own(), MAKEINTRESOURCEW(IDM_MAINMENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    wchar_t text[64];
    GetMenuStringW(menu, MENUPOS_FILE, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&Filexxx");
    GetMenuStringW(menu, MENUPOS_HELP, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&Helpxxx");

    HMENU file = GetSubMenu(menu, MENUPOS_FILE);
    ASSERT_NE(file, nullptr);
    ExpectMenu(file, {{IDM_NEW, L"&Newxxx"},
                      {0, nullptr},
                      {IDM_OPEN, L"&Openxxx..."},
                      {IDM_SAVE, L"&Savexxx"},
                      {IDM_SAVEAS, L"Save &Asxxx..."},
                      {IDM_DELETE, L"&Deletexxx..."},
                      {0, nullptr},
                      {IDM_GLOBALDEFAULT, L"&Global Defaultxxx..."},
                      {0, nullptr},
                      {IDM_EXIT, L"E&xitxxx"}});
    HMENU help = GetSubMenu(menu, MENUPOS_HELP);
    ASSERT_NE(help, nullptr);
    ExpectMenu(help, {{IDM_USINGHELP, L"&Using helpxxx..."},
                      {0, nullptr},
                      {IDM_PRODUCTINFO, L"&Product informationxxx..."}});
    DestroyMenu(menu);
}

// --- The icon -------------------------------------------------------------

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE Width;
    BYTE Height;
    BYTE ColorCount;
    BYTE Reserved;
    WORD Planes;
    WORD BitCount;
    DWORD BytesInRes;
    WORD Id;
};
struct GroupIconHeader {
    WORD Reserved;
    WORD Type;
    WORD Count;
};
#pragma pack(pop)

TEST(ProgramIcon, HoldsThreeImagesOfTheRightSizesAndColours)
{
    HRSRC found = FindResourceW(Own(), MAKEINTRESOURCEW(IDI_UASEDIT), RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(Own(), found)));
    ASSERT_NE(data, nullptr);
    ASSERT_GE(SizeofResource(Own(), found), sizeof(GroupIconHeader));
    const GroupIconHeader *header = reinterpret_cast<const GroupIconHeader *>(data);
    EXPECT_EQ(header->Type, 1);
    ASSERT_EQ(header->Count, 3);
    ASSERT_GE(SizeofResource(Own(), found), sizeof(GroupIconHeader) + 3 * sizeof(GroupIconEntry));
    const GroupIconEntry *entries =
        reinterpret_cast<const GroupIconEntry *>(data + sizeof(GroupIconHeader));

    // Width, height, bits per pixel; 16-colour images say so.
    const struct {
        int Size;
        int Bits;
    } expected[] = {{32, 4}, {32, 8}, {16, 4}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].Width, expected[i].Size) << "image " << i;
        EXPECT_EQ(entries[i].Height, expected[i].Size) << "image " << i;
        EXPECT_EQ(entries[i].BitCount, expected[i].Bits) << "image " << i;
        EXPECT_EQ(entries[i].ColorCount, expected[i].Bits == 4 ? 16 : 0) << "image " << i;

        // Each image must make a real icon of its size.
        HRSRC image = FindResourceW(Own(), MAKEINTRESOURCEW(entries[i].Id), RT_ICON);
        ASSERT_NE(image, nullptr) << "image " << i;
        BYTE *bits = static_cast<BYTE *>(LockResource(LoadResource(Own(), image)));
        HICON icon = CreateIconFromResourceEx(bits, SizeofResource(Own(), image), TRUE, 0x00030000,
                                              expected[i].Size, expected[i].Size, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr) << "image " << i;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP mask = {};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, expected[i].Size) << "image " << i;
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DestroyIcon(icon);
    }
}

} // namespace
