// The help in the profile's language: which file the help library picks
// (the language's own, else the plain one), and the shipped translations of
// the editor's help: the same topics as the English help, and the words the
// program shows in that language (menus, labels, buttons, messages, keys).
#include <gtest/gtest.h>

#include "helpfile.h"
#include "kxcommon.h"
#include "resource.h"
#include "tempinstall.h"
#include "uas_ids.h"
#include "uitest.h"
#include "velw32.h"
#include "velw32_ids.h"

#include <cwctype>
#include <ostream>
#include <string>
#include <vector>

namespace {

HWND HelpWindow()
{
    return FindWindowW(VELW_HELP_CLASS, nullptr);
}

// ---------------------------------------------------------------------------
// Which file: each test help file names itself in its title.

struct LookupCase {
    const wchar_t *Language;            // nullptr: the profile has no Language key
    std::vector<const wchar_t *> Files; // help files in Help_Dir (a name ending in '\' is a folder)
    const wchar_t *Shown;               // the file whose title the window shows; nullptr: none
};

void PrintTo(const LookupCase &c, std::ostream *os)
{
    *os << "Language " << testing::PrintToString(c.Language ? std::wstring(c.Language) : L"(none)")
        << ", " << c.Files.size() << " files";
}

std::string HelpNamed(const std::wstring &file)
{
    std::string title(file.begin(), file.end());
    return "@title " + title + "\r\n@topic Only\r\n@context 100\r\nText of " + title + ".\r\n";
}

class HelpLookupTest : public ::testing::TestWithParam<LookupCase> {
protected:
    void SetUp() override
    {
        owner_ = CreateWindowExW(0, L"static", L"owner", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
    }
    void TearDown() override
    {
        HelpQuit(owner_);
        DestroyWindow(owner_);
        uitest::PumpMessages();
    }
    HWND owner_ = nullptr;
    TempInstall install_;
};

TEST_P(HelpLookupTest, PicksTheLanguageFileElseThePlainOne)
{
    const LookupCase &c = GetParam();
    ProfileEntries keys = {{L"Kalvex_Section", L"Help_Dir", install_.Root()}};
    if (c.Language)
        keys.push_back({L"VelWin_Section", L"Language", c.Language});
    install_.WriteProfile(keys);
    for (const wchar_t *file : c.Files) {
        const std::wstring name = file;
        if (name.back() == L'\\')
            ASSERT_TRUE(CreateDirectoryW((install_.Root() + L"\\" + name).c_str(), nullptr));
        else
            install_.WriteFile(name, HelpNamed(name));
    }

    EXPECT_EQ(HelpInit(L"TESTHELP"), c.Shown ? 1 : 0);
    EXPECT_EQ(HelpContext(owner_, 100), c.Shown ? 1 : 0);
    ASSERT_NE(HelpWindow(), nullptr);
    if (c.Shown) {
        EXPECT_EQ(uitest::TextOf(HelpWindow()), std::wstring(c.Shown) + L" - Help");
        EXPECT_EQ(uitest::TextOf(GetDlgItem(HelpWindow(), VELW_IDC_HELP_TEXT)),
                  L"Text of " + std::wstring(c.Shown) + L".");
    } else {
        // Nothing to show: the message names the plain file, the one that
        // every installation should have.
        const std::wstring text = uitest::TextOf(GetDlgItem(HelpWindow(), VELW_IDC_HELP_TEXT));
        EXPECT_NE(text.find(install_.Root() + L"\\TESTHELP.txt"), std::wstring::npos)
            << "text: " << text.c_str();
    }
}

const std::vector<const wchar_t *> AllFiles = {L"TESTHELP.txt", L"TESTHELPg.txt", L"TESTHELPf.txt",
                                               L"TESTHELPj.txt"};

INSTANTIATE_TEST_SUITE_P(
    Languages, HelpLookupTest,
    ::testing::Values(
        LookupCase{L"German", AllFiles, L"TESTHELPg.txt"},
        LookupCase{L"French", AllFiles, L"TESTHELPf.txt"},
        LookupCase{L"Japan", AllFiles, L"TESTHELPj.txt"},
        LookupCase{
            L"German", {L"TESTHELP.txt", L"TESTHELPf.txt", L"TESTHELPj.txt"}, L"TESTHELP.txt"},
        LookupCase{L"French", {L"TESTHELP.txt", L"TESTHELPg.txt"}, L"TESTHELP.txt"},
        LookupCase{
            L"Japan", {L"TESTHELP.txt", L"TESTHELPg.txt", L"TESTHELPf.txt"}, L"TESTHELP.txt"},
        // The translation alone serves its language.
        LookupCase{L"German", {L"TESTHELPg.txt"}, L"TESTHELPg.txt"},
        LookupCase{L"Japan", {L"TESTHELPj.txt"}, L"TESTHELPj.txt"},
        // English, and every value the installation does not know, read the
        // plain file; the letters are no language names, and case counts.
        LookupCase{nullptr, AllFiles, L"TESTHELP.txt"}, LookupCase{L"", AllFiles, L"TESTHELP.txt"},
        LookupCase{L"English", AllFiles, L"TESTHELP.txt"},
        LookupCase{L"german", AllFiles, L"TESTHELP.txt"},
        LookupCase{L"g", AllFiles, L"TESTHELP.txt"},
        LookupCase{L"Klingon", AllFiles, L"TESTHELP.txt"},
        // A folder of the translation's name is no help file.
        LookupCase{L"German", {L"TESTHELP.txt", L"TESTHELPg.txt\\"}, L"TESTHELP.txt"},
        // No file at all, in the language or plain.
        LookupCase{L"French", {}, nullptr}, LookupCase{L"French", {L"TESTHELPg.txt"}, nullptr}));

// The language is read at each HelpInit, not once per process.
TEST(HelpLookup, FollowsTheProfileFromOneInitToTheNext)
{
    TempInstall install;
    for (const wchar_t *file : AllFiles)
        install.WriteFile(file, HelpNamed(file));
    HWND owner = CreateWindowExW(0, L"static", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    for (const wchar_t *language : {L"Japan", L"", L"German"}) {
        install.WriteProfile({{L"Kalvex_Section", L"Help_Dir", install.Root()},
                              {L"VelWin_Section", L"Language", language}});
        ASSERT_EQ(HelpInit(L"TESTHELP"), 1);
        HelpTopics(owner);
        const std::wstring letter = language[0] == L'J' ? L"j" : language[0] == L'G' ? L"g" : L"";
        EXPECT_EQ(uitest::TextOf(HelpWindow()), L"TESTHELP" + letter + L".txt - Help") << language;
        HelpQuit(owner);
    }
    DestroyWindow(owner);
    uitest::PumpMessages();
}

// ---------------------------------------------------------------------------
// The shipped help of the editor in each language.

std::wstring BuildFolder()
{
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring folder = program;
    folder.resize(folder.find_last_of(L'\\')); // ...\bin
    folder.resize(folder.find_last_of(L'\\'));
    return folder;
}

std::wstring LoadText(HMODULE module, UINT id)
{
    const wchar_t *text = nullptr;
    const int n = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

// A menu text as the help names it: without its access key ("&Open..." and
// "開く(&O)..." are "Open" and "開く") and without the dots that say a
// dialog follows.
std::wstring MenuName(std::wstring text)
{
    if (text.size() >= 3 && text.compare(text.size() - 3, 3, L"...") == 0)
        text.resize(text.size() - 3);
    const size_t open = text.find(L"(&");
    if (open != std::wstring::npos && text.size() >= open + 4 && text[open + 3] == L')')
        return text.erase(open, 4);
    const size_t amp = text.find(L'&');
    if (amp != std::wstring::npos)
        text.erase(amp, 1);
    return text;
}

// The access key of a menu text: the letter after '&', in capitals.
wchar_t AccessKey(const std::wstring &text)
{
    const size_t amp = text.find(L'&');
    return amp != std::wstring::npos && amp + 1 < text.size() ? towupper(text[amp + 1]) : L'\0';
}

// A label as the help names it: without its access key and its colon.
std::wstring LabelName(const std::wstring &text)
{
    std::wstring name = MenuName(text);
    while (!name.empty() &&
           (name.back() == L' ' || name.back() == L'\x00A0' || name.back() == L':'))
        name.pop_back();
    return name;
}

struct HelpLanguage {
    const wchar_t *Language;      // the profile's Language value
    const wchar_t *HelpFile;      // in data\help
    const wchar_t *CommonLibrary; // in res
    const wchar_t *ProgramTexts; // the program's string table: in res, or the program itself in bin
    std::vector<const wchar_t *> Keys; // New, Open, Save, Save As, and Save As's other key
};

void PrintTo(const HelpLanguage &l, std::ostream *os)
{
    *os << testing::PrintToString(std::wstring(l.HelpFile));
}

class ShippedHelpTest : public ::testing::TestWithParam<HelpLanguage> {
protected:
    void SetUp() override
    {
        const HelpLanguage &l = GetParam();
        const std::wstring root = BuildFolder();
        ASSERT_TRUE(HelpLoad(root + L"\\data\\help\\VOLPRA.txt", english_));
        ASSERT_TRUE(HelpLoad(root + L"\\data\\help\\" + l.HelpFile, help_)) << "missing help file";
        common_ = LoadLibraryExW((root + L"\\res\\" + l.CommonLibrary).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(common_, nullptr);
        const std::wstring program =
            std::wstring(l.ProgramTexts).find(L".exe") != std::wstring::npos
                ? root + L"\\bin\\" + l.ProgramTexts
                : root + L"\\res\\" + l.ProgramTexts;
        program_ = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(program_, nullptr);
        for (const HelpTopic &topic : help_.Topics)
            all_ += topic.Title + L"\r\n" + topic.Text + L"\r\n";
    }
    void TearDown() override
    {
        if (common_)
            FreeLibrary(common_);
        if (program_)
            FreeLibrary(program_);
    }
    // The help names the text somewhere in its topics.
    void ExpectNamed(const std::wstring &text, const char *what)
    {
        ASSERT_FALSE(text.empty()) << what << " has no text in the library";
        EXPECT_NE(all_.find(text), std::wstring::npos)
            << "the help does not name " << what << ": " << testing::PrintToString(text);
    }

    HelpDocument english_, help_;
    HMODULE common_ = nullptr, program_ = nullptr;
    std::wstring all_;
};

TEST_P(ShippedHelpTest, HasEveryTopicOfTheEnglishHelp)
{
    ASSERT_GE(english_.Topics.size(), 12u);
    ASSERT_EQ(help_.Topics.size(), english_.Topics.size());
    const bool translation = std::wstring(GetParam().HelpFile) != L"VOLPRA.txt";
    for (size_t i = 0; i < english_.Topics.size(); ++i) {
        const HelpTopic &en = english_.Topics[i], &topic = help_.Topics[i];
        SCOPED_TRACE(testing::PrintToString(en.Title));
        EXPECT_FALSE(en.Contexts.empty());
        EXPECT_EQ(topic.Contexts, en.Contexts) << "topic " << i;
        EXPECT_FALSE(topic.Text.empty());
        if (translation) {
            EXPECT_NE(topic.Title, en.Title) << "topic " << i << " is not translated";
            EXPECT_NE(topic.Text, en.Text) << "topic " << i << " is not translated";
        }
        for (const HelpTopic &other : help_.Topics) {
            if (&other != &topic) {
                EXPECT_NE(other.Title, topic.Title) << "two topics of one title";
            }
        }
    }
    // F1 in the main window finds its topic.
    EXPECT_GE(HelpFindContext(help_, HELPCTX_MAINWINDOW), 0);
}

TEST_P(ShippedHelpTest, TitleIsTheProgramsNameInThatLanguage)
{
    EXPECT_EQ(help_.Title, LoadText(program_, IDS_TITLE));
}

TEST_P(ShippedHelpTest, NamesTheMenusAsTheCommonLibraryShowsThem)
{
    for (UINT id : {KX_IDS_FILE, KX_IDS_NEW, KX_IDS_OPEN, KX_IDS_SAVE, KX_IDS_SAVEAS, KX_IDS_DELETE,
                    KX_IDS_EXIT, KX_IDS_HELP, KX_IDS_USINGHELP, KX_IDS_PRODUCTINFOMENU})
        ExpectNamed(MenuName(LoadText(common_, id)), ("menu text " + std::to_string(id)).c_str());
    ExpectNamed(MenuName(LoadText(program_, IDS_MENU_GLOBALDEFAULT)), "the Global Default item");
    // The keys that open the two menus.
    for (UINT id : {KX_IDS_FILE, KX_IDS_HELP})
        ExpectNamed(std::wstring(L"Alt+") + AccessKey(LoadText(common_, id)), "the key of a menu");
}

TEST_P(ShippedHelpTest, NamesTheShortcutKeys)
{
    for (const wchar_t *key : GetParam().Keys)
        ExpectNamed(key, "a shortcut");
}

TEST_P(ShippedHelpTest, NamesTheWindowsWordsAndQuotesItsMessages)
{
    for (UINT id : {IDS_NONE, IDS_DESCRIPTION, IDS_DIMENSIONS, IDS_UNITS, IDS_CLEAR, IDS_ERR_WRITE,
                    IDS_ERR_DELETE})
        ExpectNamed(LoadText(program_, id), ("program text " + std::to_string(id)).c_str());
    ExpectNamed(LabelName(LoadText(program_, IDS_SETNAMEPREFIX)), "the set name's label");
    // The set-selection dialog's buttons and the help window's own.
    for (UINT id : {IDS_UAS_OK_OPEN, IDS_UAS_OK_GLOBAL, IDS_UAS_CANCEL, VELW_IDS_HELP_CLOSE,
                    VELW_IDS_ABOUT_OK})
        ExpectNamed(LoadText(common_, id), ("common text " + std::to_string(id)).c_str());
}

// Where the text field shows a character: its left edge, and its line.
struct Place {
    int X;
    LRESULT Line;
};

Place PlaceOf(HWND field, size_t index)
{
    const LRESULT point = SendMessageW(field, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    return {static_cast<short>(LOWORD(point)),
            SendMessageW(field, EM_LINEFROMCHAR, static_cast<WPARAM>(index), 0)};
}

// The rows of the tables that the help window's text field shows (lines
// that start with a tab): every cell of a column starts at one place, the
// cells of a row do not run into each other, and the field wraps no row.
// Returns the number of rows.
int ExpectTablesLineUp(HWND field, const std::string &where)
{
    const std::wstring text = uitest::TextOf(field);
    std::vector<std::vector<int>> columns; // the left edges seen in each column
    int rows = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        if (text[start] == L'\t' && end > start + 1) {
            ++rows;
            EXPECT_EQ(PlaceOf(field, start).Line, PlaceOf(field, end - 1).Line)
                << where << ": the field wraps the row "
                << testing::PrintToString(text.substr(start, end - start));
            // A tab starts each cell; an empty cell is only a tab.
            int column = -1;
            int previousEnd = -1;
            for (size_t i = start; i < end; ++i) {
                if (text[i] != L'\t')
                    continue;
                ++column;
                if (i + 1 >= end || text[i + 1] == L'\t')
                    continue;
                const int x = PlaceOf(field, i + 1).X;
                if (columns.size() <= static_cast<size_t>(column))
                    columns.resize(static_cast<size_t>(column) + 1);
                columns[static_cast<size_t>(column)].push_back(x);
                EXPECT_GT(x, previousEnd)
                    << where << ": cells run into each other in "
                    << testing::PrintToString(text.substr(start, end - start));
                const size_t next = text.find(L'\t', i + 1);
                const size_t last = (next == std::wstring::npos || next > end ? end : next) - 1;
                previousEnd = PlaceOf(field, last).X;
            }
        }
        start = end + 2;
    }
    for (size_t c = 0; c < columns.size(); ++c)
        for (int x : columns[c])
            EXPECT_EQ(x, columns[c].front()) << where << ": column " << c << " is ragged";
    return rows;
}

// The key tables of the keyboard topic, in the help window at its start
// size and narrower, where long cells go on in their column.
TEST_P(ShippedHelpTest, TheKeyTablesLineUpInTheWindow)
{
    const HelpLanguage &l = GetParam();
    TempInstall install({{L"Kalvex_Section", L"Help_Dir", BuildFolder() + L"\\data\\help"},
                         {L"VelWin_Section", L"Language", l.Language}});
    HWND owner = CreateWindowExW(0, L"static", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    ASSERT_EQ(HelpInit(L"VOLPRA"), 1);
    EXPECT_EQ(HelpContext(owner, 4), 1);
    HWND window = HelpWindow();
    ASSERT_NE(window, nullptr);
    HWND field = GetDlgItem(window, VELW_IDC_HELP_TEXT);
    // The main window's eight keys, four of the lists, three of the help.
    EXPECT_GE(ExpectTablesLineUp(field, "start size"), 15);

    // The text field a quarter narrower (the topic list may keep its width
    // for a long title, so the window loses what the field loses).
    RECT rect = {};
    GetWindowRect(window, &rect);
    RECT fieldRect = {};
    GetWindowRect(field, &fieldRect);
    const int width = (rect.right - rect.left) - (fieldRect.right - fieldRect.left) / 4;
    SetWindowPos(window, nullptr, 0, 0, width, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_GE(ExpectTablesLineUp(field, "narrower"), 15);
    HelpQuit(owner);
    DestroyWindow(owner);
    uitest::PumpMessages();
}

std::string LanguageName(const testing::TestParamInfo<HelpLanguage> &info)
{
    const char *names[] = {"English", "German", "French", "Japanese"};
    return names[info.index % 4];
}

INSTANTIATE_TEST_SUITE_P(
    Languages, ShippedHelpTest,
    ::testing::Values(HelpLanguage{L"",
                                   L"VOLPRA.txt",
                                   L"kxcommon.dll",
                                   L"uasedit.exe",
                                   {L"Ctrl+N", L"Ctrl+O", L"Ctrl+S", L"Ctrl+Shift+S", L"F12"}},
                      HelpLanguage{L"German",
                                   L"VOLPRAg.txt",
                                   L"kxcommog.dll",
                                   L"uaseditg.dll",
                                   {L"Strg+N", L"Strg+O", L"Strg+S", L"Strg+Umschalt+S", L"F12"}},
                      HelpLanguage{L"French",
                                   L"VOLPRAf.txt",
                                   L"kxcommof.dll",
                                   L"uaseditf.dll",
                                   {L"Ctrl+N", L"Ctrl+O", L"Ctrl+S", L"Ctrl+Maj+S", L"F12"}},
                      HelpLanguage{L"Japan",
                                   L"VOLPRAj.txt",
                                   L"kxcommoj.dll",
                                   L"uaseditj.dll",
                                   {L"Ctrl+N", L"Ctrl+O", L"Ctrl+S", L"Ctrl+Shift+S", L"F12"}}),
    LanguageName);

// The menu and label names the checks above look for.
TEST(HelpWords, MenuAndLabelNamesDropAccessKeysAndDots)
{
    struct Case {
        const wchar_t *Text, *Name;
    };
    for (const Case &c : {Case{L"&Open...", L"Open"}, Case{L"Save &As...", L"Save As"},
                          Case{L"Ö&ffnen...", L"Öffnen"}, Case{L"開く(&O)...", L"開く"},
                          Case{L"ファイル(&F)", L"ファイル"}, Case{L"E&xit", L"Exit"},
                          Case{L"Utiliser l’aide", L"Utiliser l’aide"}})
        EXPECT_EQ(MenuName(c.Text), c.Name);
    EXPECT_EQ(LabelName(L"Nom du jeu\x00A0: "), L"Nom du jeu");
    EXPECT_EQ(LabelName(L"Set &name:"), L"Set name");
    EXPECT_EQ(AccessKey(L"&Datei"), L'D');
    EXPECT_EQ(AccessKey(L"ヘルプ(&H)"), L'H');
}

} // namespace
