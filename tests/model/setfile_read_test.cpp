// Reading set files: the header and its description, the body's word pairs,
// and files that are damaged or cut short.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editstate.h"
#include "modeltest.h"
#include "setfile.h"
#include "setfiletext.h"

using namespace modeltest;

namespace {

// The header of a set "Name" with these description lines.
std::string Header(const std::vector<std::string> &lines = {})
{
    return setfiletext::Header("Name", "name.uas", lines);
}

class SetFileReadTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        Prepare({
            {L"Length", {L"m", L"cm", L"mm", L"km"}, 0},
            {L"Mass", {L"kg", L"g", L"t"}, 0},
            {L"Temperature", {L"K", L"degC", L"degF"}, 0},
            {L"Pressure", {L"Pa", L"bar"}, 0},
        });
        description.assign(EditDescriptionChars + kGuardChars, kGuard);
        wcscpy_s(description.data(), description.size(), L"before");
    }

    // Reads these bytes as a set file; the result of SetFileRead.
    int Read(const std::string &bytes)
    {
        const std::wstring path = TempPath(L"read.uas");
        WriteBytes(path, bytes);
        return SetFileRead(path.c_str(), catalogue, description.data());
    }

    std::wstring Text() const { return std::wstring(description.data()); }

    bool GuardIntact() const
    {
        for (size_t i = EditDescriptionChars; i < description.size(); ++i)
            if (description[i] != kGuard)
                return false;
        return true;
    }

    std::vector<wchar_t> description;
};

// One file per row: the description it gives and the selections after it,
// from the row's selections before (all first units when none are given).
TEST_F(SetFileReadTest, EachFileGivesItsDescriptionAndSelections)
{
    using Sel = std::vector<uint16_t>;
    const struct Row {
        const char *Name;
        std::string Bytes;
        std::wstring Text;
        Sel After;
        Sel Before = {0, 0, 0, 0};
    } rows[] = {
        {"canonical file",
         Header({"Pilot plant,", " metric."}) + "Length                          cm\r\n"
                                                "Mass                            t\r\n"
                                                "Temperature                     degC\r\n"
                                                "Pressure                        bar\r\n",
         L"Pilot plant, metric.", {1, 2, 1, 1}},
        {"bare line feeds read like CR LF",
         "* rule\n* Name\n* name.uas\n*\n*    Notes\n*\n* ---\nMass g\nLength km\n", L"Notes",
         {3, 1, 0, 0}},
        {"words match ignoring letter case", Header() + "LENGTH KM\r\nmass G\r\ntemperature DEGF\r\n",
         L"", {3, 1, 2, 0}},
        {"the later pair wins", Header() + "Length cm\r\nMass g\r\nLength mm\r\n", L"", {2, 1, 0, 0}},
        {"dimensions not named keep their selection", Header() + "Mass kg\r\n", L"", {2, 0, 2, 1},
         {2, 2, 2, 1}},
        {"unknown names and symbols change nothing",
         Header() + "Volume m3\r\nLength furlong\r\nMass\r\n", L"", {1, 1, 1, 1}, {1, 1, 1, 1}},
        {"pairs may split or join lines",
         Header() + "Length cm Mass\r\ng\r\n\r\n   Temperature\tdegF   Pressure\r\n\r\nbar", L"",
         {1, 1, 2, 1}},
        {"a trailing single word is ignored", Header() + "Length cm\r\nMass", L"", {1, 0, 0, 0}},
        // The first line would select km; it is consumed, the rest is body.
        {"first line without asterisk", "Length km\r\n* Name\r\nMass g\r\n", L"", {0, 1, 0, 0}},
        // "Length km" fails the header and is consumed; the body begins
        // with the line after it.
        {"header broken in its third line", "*\r\n*\r\nLength km\r\nMass g\r\nPressure bar\r\n", L"",
         {0, 1, 0, 1}},
        {"file ending inside the header", "* rule\r\n* Name\r\n", L"", {0, 0, 0, 0}},
        {"empty file", "", L"", {0, 0, 0, 0}},
        {"file ending inside the description",
         "*\r\n*\r\n*\r\n*\r\n*    Only notes, Length km\r\n*     and no rule",
         L"Only notes, Length km and no rule", {0, 0, 0, 0}},
        // Whatever the five are; a line shorter than four characters never
        // ends the section, and a hyphen as fourth character always does.
        {"description lines lose their first five characters",
         "*\r\n*\r\n*\r\n*\r\nabcdeFirst\r\n--\r\n12345 second\r\nxyz-rule\r\nMass g\r\n",
         L"First second", {0, 1, 0, 0}},
        {"spaces at line ends inside the description stay", Header({"a ", " b", "c  "}), L"a  bc",
         {0, 0, 0, 0}},
        {"last line without line end", Header({"Notes"}) + "Mass g", L"Notes", {0, 1, 0, 0}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.Name);
        SetSelections(catalogue, row.Before);
        wcscpy_s(description.data(), description.size(), L"before");
        ASSERT_EQ(Read(row.Bytes), 1);
        EXPECT_EQ(Text(), row.Text);
        EXPECT_EQ(Selections(catalogue), row.After);
    }
}

TEST_F(SetFileReadTest, FirstOfTwoEqualSymbolsIsSelected)
{
    ListHandle twice = MakeCatalogue({{L"Length", {L"m", L"cm", L"M", L"cm"}, 3}});
    const std::wstring path = TempPath(L"twice.uas");
    WriteBytes(path, Header() + "Length cm\r\n");
    ASSERT_EQ(SetFileRead(path.c_str(), twice, description.data()), 1);
    EXPECT_EQ(Selections(twice), std::vector<uint16_t>{1});
    WriteBytes(path, Header() + "Length m\r\n");
    ASSERT_EQ(SetFileRead(path.c_str(), twice, description.data()), 1);
    EXPECT_EQ(Selections(twice), std::vector<uint16_t>{0});
    FreeCatalogue(twice);
}

TEST_F(SetFileReadTest, FirstDimensionOfAName)
{
    ListHandle doubled =
        MakeCatalogue({{L"Length", {L"m", L"cm"}, 0}, {L"length", {L"m", L"cm"}, 0}});
    const std::wstring path = TempPath(L"doubled.uas");
    WriteBytes(path, Header() + "LENGTH cm\r\n");
    ASSERT_EQ(SetFileRead(path.c_str(), doubled, description.data()), 1);
    EXPECT_EQ(Selections(doubled), (std::vector<uint16_t>{1, 0}));
    FreeCatalogue(doubled);
}

TEST_F(SetFileReadTest, BytesAreLatin1Characters)
{
    ListHandle latin = MakeCatalogue({{L"Temp\u00e9rature", {L"\u00b0C", L"\u00b0F"}, 0}});
    const std::wstring path = TempPath(L"latin.uas");
    WriteBytes(path, Header({"Caf\xe9 \xbd"}) + "TEMP\xc9RATURE \xb0"
                                                     "F\r\n");
    ASSERT_EQ(SetFileRead(path.c_str(), latin, description.data()), 1);
    EXPECT_EQ(Text(), L"Caf\u00e9 \u00bd");
    EXPECT_EQ(Selections(latin), std::vector<uint16_t>{1});
    FreeCatalogue(latin);
}

TEST_F(SetFileReadTest, MissingFileChangesNothing)
{
    SetSelections(catalogue, {1, 2, 1, 0});
    EXPECT_EQ(SetFileRead(TempPath(L"no such file.uas").c_str(), catalogue, description.data()), 0);
    EXPECT_EQ(Text(), L"before");
    EXPECT_EQ(Selections(catalogue), (std::vector<uint16_t>{1, 2, 1, 0}));
}

// The limits of the reader: nothing overruns, nothing hangs.
TEST_F(SetFileReadTest, OverlongDescriptionIsCutAt2000)
{
    std::string lines;
    for (int i = 0; i < 60; ++i)
        lines += "*    " + std::string(69, static_cast<char>('a' + i % 26)) + " \r\n";
    ASSERT_EQ(Read(setfiletext::Rule() + "* N\r\n* n\r\n*\r\n" + lines + "*\r\n" + setfiletext::Rule() + "Mass t\r\n"), 1);
    const std::wstring text = Text();
    EXPECT_EQ(text.size(), 2000u);
    EXPECT_EQ(text.substr(0, 70), std::wstring(69, L'a') + L" ");
    EXPECT_TRUE(GuardIntact());
    EXPECT_EQ(Selections(catalogue), (std::vector<uint16_t>{0, 2, 0, 0}));
}

TEST_F(SetFileReadTest, OverlongWordIsOneWordThatMatchesNothing)
{
    // Were its rest taken as a word of its own, the pairs after it would
    // shift and Length would not be set.
    const std::string longWord(3000, 'L');
    Read(Header() + longWord + " x\r\nLength km\r\n");
    EXPECT_EQ(Selections(catalogue), (std::vector<uint16_t>{3, 0, 0, 0}));

    // Its first 1023 characters are not taken for the word either.
    ListHandle longNames = MakeCatalogue({{std::wstring(1023, L'D'), {L"u", L"v"}, 0}});
    const std::wstring path = TempPath(L"long.uas");
    WriteBytes(path, Header() + std::string(1500, 'D') + " v\r\n");
    ASSERT_EQ(SetFileRead(path.c_str(), longNames, description.data()), 1);
    EXPECT_EQ(Selections(longNames), std::vector<uint16_t>{0});
    WriteBytes(path, Header() + std::string(1023, 'D') + " v\r\n");
    ASSERT_EQ(SetFileRead(path.c_str(), longNames, description.data()), 1);
    EXPECT_EQ(Selections(longNames), std::vector<uint16_t>{1});
    FreeCatalogue(longNames);
}

TEST_F(SetFileReadTest, NulBytesSeparateWordsAndVanishFromTheDescription)
{
    std::string bytes = setfiletext::Rule() + "* Name\r\n* name.uas\r\n*\r\n*    ab";
    bytes += '\0';
    bytes += "cd\r\n*\r\n" + setfiletext::Rule() + "Length";
    bytes += '\0';
    bytes += "cm";
    ASSERT_EQ(Read(bytes), 1);
    EXPECT_EQ(Text(), L"abcd");
    EXPECT_EQ(Selections(catalogue), (std::vector<uint16_t>{1, 0, 0, 0}));
}

TEST_F(SetFileReadTest, MegabytesOfBodyAreReadToTheEnd)
{
    std::string body;
    body.reserve(4 << 20);
    while (body.size() < (4u << 20))
        body += "Volume m3 Length mm\r\n";
    body += "Length km\r\n";
    const DWORD start = GetTickCount();
    ASSERT_EQ(Read(Header() + body), 1);
    EXPECT_EQ(Selections(catalogue), (std::vector<uint16_t>{3, 0, 0, 0}));
    EXPECT_LT(GetTickCount() - start, 10000u);
}

} // namespace
