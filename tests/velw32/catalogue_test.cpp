// The set catalogue built from the set folder, its look-ups, and the set
// name of a set path.
#include <gtest/gtest.h>

#include "listcheck.h"
#include "tempinstall.h"
#include "velw32.h"

#include <strsafe.h>

#include <iterator>
#include <vector>

namespace {

struct Catalogue {
    KxStatus Status = -1;
    ListHandle List = UasCreateUasInfoList(&Status);
    std::vector<UasInfo *> Records;

    Catalogue() : Records(listcheck::Items<UasInfo>(List)) {}
    ~Catalogue()
    {
        for (UasInfo *info : Records)
            KxFree(info);
        ListFree(List);
    }
    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        for (const UasInfo *info : Records)
            names.push_back(info->UasName);
        return names;
    }
};

using Names = std::vector<std::wstring>;

TEST(UasCatalogueTest, ListsEachUasFileWithItsNameAndPath)
{
    TempInstall install;
    install.AddSet(L"Metric");
    for (const wchar_t *file : {L"imperial.UAS", L"notes.txt", L"old.uasx", L"data.v2.uas"})
        install.AddFile(install.SetDir() + L"\\" + file);
    CreateDirectoryW((install.SetDir() + L"\\folder.uas").c_str(), nullptr);

    Catalogue cat;
    EXPECT_EQ(cat.Status, 0);
    ASSERT_EQ(cat.Names(), (Names{L"data.v2", L"imperial", L"Metric"}));
    EXPECT_EQ(std::wstring(cat.Records[1]->UasPath), install.SetDir() + L"\\imperial.UAS");
    EXPECT_EQ(std::wstring(cat.Records[2]->UasPath), install.PathOf(L"Metric"));

    // The folder named with a final separator gives the same paths.
    install.WriteProfile({{L"Kalvex_Section", L"Set_Dir", install.SetDir() + L"\\"}});
    Catalogue again;
    ASSERT_EQ(again.Records.size(), 3u);
    EXPECT_EQ(std::wstring(again.Records[2]->UasPath), install.PathOf(L"Metric"));
}

TEST(UasCatalogueTest, LeavesOutNamesAndPathsThatDoNotFitTheRecord)
{
    TempInstall install;
    install.AddSet(std::wstring(60, L'n'));
    install.AddSet(std::wstring(61, L'o'));
    EXPECT_EQ(Catalogue().Names(), Names{std::wstring(60, L'n')});

    // In a folder of 200 characters, a 55-character name makes a path of
    // 260 characters, a 56-character one a path of 261.
    const std::wstring deep = install.FolderOfLength(200);
    install.WriteProfile({{L"Kalvex_Section", L"Set_Dir", deep}});
    const std::wstring fits(55, L'f'), over(56, L'g');
    install.AddFile(deep + L"\\" + fits + L".uas");
    install.AddFile(deep + L"\\" + over + L".uas");
    Catalogue cat;
    ASSERT_EQ(cat.Names(), Names{fits});
    EXPECT_EQ(wcslen(cat.Records[0]->UasPath), 260u);
}

// Files with a device's name: through the \\?\ prefix they can exist,
// but opened by their plain path they would open the device.
TEST(UasCatalogueTest, LeavesOutFilesNamedAsDevices)
{
    TempInstall install;
    install.AddSet(L"Metric");
    const wchar_t *const devices[] = {L"com1",  L"AUX",     L"NUL",     L"con",     L"Prn",
                                      L"LPT9",  L"COM\x00B9", L"lpt\x00B3", L"CONIN$", L"conout$",
                                      L"nul.x", L"Com2 ", L"COM0", L"lpt0"};
    for (const wchar_t *name : devices)
        install.AddFile(L"\\\\?\\" + install.PathOf(name));
    // Near misses are ordinary names.
    for (const wchar_t *name : {L"COM10", L"CONSOLE", L"LPT", L"COMO", L"xNUL"})
        install.AddSet(name);

    // The device files are really there to be listed.
    size_t files = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((install.SetDir() + L"\\*.uas").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            ++files;
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    ASSERT_EQ(files, std::size(devices) + 6);

    Catalogue cat;
    EXPECT_EQ(cat.Status, 0);
    EXPECT_EQ(cat.Names(), (Names{L"COM10", L"COMO", L"CONSOLE", L"LPT", L"Metric", L"xNUL"}));
}

// A per-user set folder does not exist before its first use.
TEST(UasCatalogueTest, MakesAMissingFolderWithItsParents)
{
    TempInstall install;
    const std::wstring folder = install.Root() + L"\\user\\Kalvex\\Sets";
    install.WriteProfile({{L"Kalvex_Section", L"Set_Dir", folder}});
    Catalogue cat;
    EXPECT_EQ(cat.Status, 0);
    EXPECT_TRUE(cat.Records.empty());
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(UasCatalogueTest, FolderThatCannotBeMadeOrUnnamedGivesEmptyListAndFailure)
{
    TempInstall install;
    // Below a file, no folder can be made.
    install.AddFile(install.Root() + L"\\plain.txt");
    install.WriteProfile({{L"Kalvex_Section", L"Set_Dir", install.Root() + L"\\plain.txt\\sets"}});
    for (bool named : {true, false}) {
        if (!named)
            install.WriteProfile({}, false);
        Catalogue cat;
        ASSERT_NE(cat.List, nullptr);
        EXPECT_NE(cat.Status, 0);
        EXPECT_TRUE(cat.Records.empty());
    }
}

TEST(UasCatalogueTest, LooksUpNamesWithoutRegardToCaseIncludingAddedRecords)
{
    TempInstall install;
    install.AddSet(L"Metric");
    Catalogue cat;
    EXPECT_NE(UasInfoExists(cat.List, L"METRIC"), 0);
    EXPECT_EQ(UasInfoExists(cat.List, L"Metri"), 0);
    EXPECT_EQ(UasInfoExists(cat.List, L"Metric "), 0);
    EXPECT_EQ(UasInfoExists(nullptr, L"Metric"), 0);

    KxStatus status = -1;
    UasInfo *info = UasGetUasInfo(cat.List, L"mEtRiC", &status);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(status, 0);
    EXPECT_STREQ(info->UasName, L"Metric");
    EXPECT_EQ(UasGetUasInfo(cat.List, L"Imperial", &status), nullptr);
    EXPECT_NE(status, 0);

    // Records that the editor appends are found the same way.
    auto *added = static_cast<UasInfo *>(KxMalloc(sizeof(UasInfo)));
    StringCchCopyW(added->UasName, UAS_NAME_CHARS, L"New Set");
    StringCchCopyW(added->UasPath, UAS_PATH_CHARS, L"C:\\elsewhere\\New Set.uas");
    ListAddBack(cat.List, added, &status);
    cat.Records.push_back(added);
    EXPECT_EQ(UasGetUasInfo(cat.List, L"NEW SET", &status), added);
}

TEST(UasGetUasNameTest, GivesTheBaseNameWithoutTheSetExtension)
{
    const std::pair<const wchar_t *, std::wstring> cases[] = {
        {L"C:\\sets\\Metric.uas", L"Metric"},     {L"Metric.uas", L"Metric"},
        {L"C:/sets/Metric.UAS", L"Metric"},       {L"C:\\a/b\\Process SI.Uas", L"Process SI"},
        {L"C:\\sets\\data.v2.uas", L"data.v2"},   {L"C:\\sets\\notes.txt", L"notes.txt"},
        {L"C:Metric.uas", L"Metric"},             {L"C:\\sets\\", L""},
        {L"", L""},                               {nullptr, L""},
    };
    for (const auto &c : cases) {
        wchar_t name[UAS_NAME_CHARS] = L"stale";
        UasGetUasName(c.first, name);
        EXPECT_EQ(std::wstring(name), c.second) << testing::PrintToString(c.second);
    }
}

TEST(UasGetUasNameTest, LongNamesStopAtTheBufferCapacity)
{
    wchar_t name[UAS_NAME_CHARS + 8];
    wmemset(name, L'#', UAS_NAME_CHARS + 8);
    UasGetUasName((L"C:\\sets\\" + std::wstring(80, L'x') + L".uas").c_str(), name);
    EXPECT_EQ(std::wstring(name), std::wstring(60, L'x'));
    EXPECT_EQ(std::wstring(name + UAS_NAME_CHARS, 8), std::wstring(8, L'#'));

    // A character outside the basic plane is not cut in half.
    UasGetUasName((std::wstring(59, L'y') + L"\xD83D\xDE00z.uas").c_str(), name);
    EXPECT_EQ(std::wstring(name), std::wstring(59, L'y'));
}

} // namespace
