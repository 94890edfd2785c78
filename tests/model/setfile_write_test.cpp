// Writing set files: the header and body byte for byte, the wrapping of the
// description, and reading each written description back.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "modeltest.h"
#include "setfile.h"

using namespace modeltest;

namespace {

#define RULE "* ----------------------------------------------------------------------\r\n"
static_assert(sizeof(RULE) - 1 == 2 + 70 + 2, "a rule line holds 70 hyphens");

// 70 characters, spaces inside, no space at either end.
const char kText70[] = "Unit choices for the pilot plant: metric units, bar for all pressures.";
static_assert(sizeof(kText70) - 1 == 70, "70 characters");

std::wstring W(const std::string &s)
{
    return FromLatin1(s);
}

// A word of the given length whose characters show where a cut fell.
std::string Word(size_t length)
{
    std::string word;
    for (size_t i = 0; i < length; ++i)
        word += static_cast<char>('0' + i % 10);
    return word;
}

class SetFileWriteTest : public FreshEditorTest {
protected:

    std::string Header(const std::wstring &path, const std::wstring &name,
                       const std::wstring &description)
    {
        const std::wstring file = TempPath(L"header.bin");
        FILE *stream = _wfopen(file.c_str(), L"wb");
        EXPECT_NE(stream, nullptr);
        if (!stream)
            return std::string();
        EXPECT_EQ(SetFileWriteHeader(stream, path.c_str(), name.c_str(), description.c_str()), 1);
        fclose(stream);
        return ReadBytes(file);
    }

    // The description that reading these bytes as a set file yields.
    std::wstring ReadBack(const std::string &bytes)
    {
        const std::wstring file = TempPath(L"readback.uas");
        WriteBytes(file, bytes);
        std::vector<wchar_t> buffer(SetFileDescriptionChars + 1 + 8, L'#');
        ListHandle empty = MakeCatalogue({});
        EXPECT_EQ(SetFileRead(file.c_str(), empty, buffer.data()), 1);
        FreeCatalogue(empty);
        return std::wstring(buffer.data());
    }

    // The header of a file with this description, and what it reads back as.
    void ExpectDescription(const std::string &description, const std::string &lines,
                           const std::string &readBack)
    {
        const std::string bytes = Header(L"C:\\sets\\pilot.uas", L"Pilot", W(description));
        EXPECT_EQ(bytes, RULE "* Pilot\r\n* pilot.uas\r\n*\r\n" + lines + "*\r\n" RULE);
        EXPECT_EQ(ReadBack(bytes), W(readBack));
    }
};

TEST_F(SetFileWriteTest, EmptyDescriptionHasNoDescriptionLines)
{
    const std::string bytes = Header(L"C:\\sets\\plant_a.uas", L"Plant A", L"");
    EXPECT_EQ(bytes, RULE "* Plant A\r\n"
                          "* plant_a.uas\r\n"
                          "*\r\n"
                          "*\r\n" RULE);
    EXPECT_EQ(ReadBack(bytes), L"");
}

TEST_F(SetFileWriteTest, SeventyCharactersFitOneLine)
{
    ExpectDescription(kText70, std::string("*    ") + kText70 + "\r\n", kText70);
}

TEST_F(SetFileWriteTest, SpaceAsSeventyFirstCharacterStartsTheSecondLine)
{
    const std::string text = std::string(kText70) + " Second line.";
    ExpectDescription(text,
                      std::string("*    ") + kText70 +
                          "\r\n"
                          "*     Second line.\r\n",
                      text);
}

TEST_F(SetFileWriteTest, CutFallsBeforeTheLastSpaceInsideTheWindow)
{
    // Spaces at 9, 19, ... 69; the 71st character begins a word.
    std::string text;
    for (int i = 0; i < 7; ++i)
        text += "abcdefghi ";
    text += "abcdefghij";
    ASSERT_EQ(text.size(), 80u);
    ExpectDescription(
        text,
        "*    abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi\r\n"
        "*     abcdefghij\r\n",
        text);
}

TEST_F(SetFileWriteTest, FirstWordLongerThanSeventyIsCutHard)
{
    const std::string word = Word(75);
    const std::string text = word + " end";
    ExpectDescription(text,
                      "*    " + word.substr(0, 70) +
                          "\r\n"
                          "*    " +
                          word.substr(70) + " end\r\n",
                      text);
}

TEST_F(SetFileWriteTest, SpaceBeforeALongWordStartsTheNextLine)
{
    const std::string word = Word(75);
    const std::string text = "intro " + word;
    ExpectDescription(text,
                      "*    intro\r\n"
                      "*     " +
                          word.substr(0, 69) +
                          "\r\n"
                          "*    " +
                          word.substr(69) + "\r\n",
                      text);
}

TEST_F(SetFileWriteTest, RemainderOfExactlySeventyIsWrittenWhole)
{
    const std::string tail = " " + Word(69);
    const std::string text = std::string(50, 'a') + tail;
    ExpectDescription(text,
                      "*    " + std::string(50, 'a') +
                          "\r\n"
                          "*    " +
                          tail + "\r\n",
                      text);
}

TEST_F(SetFileWriteTest, LineBreaksAreStoredAsSpaces)
{
    const std::string bytes =
        Header(L"C:\\sets\\pilot.uas", L"Pilot", L"First paragraph.\r\n\r\nSecond paragraph.");
    EXPECT_EQ(bytes, RULE "* Pilot\r\n* pilot.uas\r\n*\r\n"
                          "*    First paragraph.  Second paragraph.\r\n"
                          "*\r\n" RULE);
    EXPECT_EQ(ReadBack(bytes), L"First paragraph.  Second paragraph.");
}

TEST_F(SetFileWriteTest, LoneLineEndCharactersCannotBreakTheLine)
{
    const std::string bytes = Header(L"p.uas", L"P", L"one\ntwo\rthree");
    EXPECT_EQ(bytes, RULE "* P\r\n* p.uas\r\n*\r\n*    one two three\r\n*\r\n" RULE);
}

TEST_F(SetFileWriteTest, BaseNameIsWhatFollowsTheLastBackslash)
{
    EXPECT_EQ(Header(L"plain.uas", L"N", L""), RULE "* N\r\n* plain.uas\r\n*\r\n*\r\n" RULE);
    EXPECT_EQ(Header(L"C:/sets/slash.uas", L"N", L""),
              RULE "* N\r\n* C:/sets/slash.uas\r\n*\r\n*\r\n" RULE);
    EXPECT_EQ(Header(L"C:\\sets\\", L"N", L""), RULE "* N\r\n* \r\n*\r\n*\r\n" RULE);
    const std::wstring longName(200, L'b');
    EXPECT_EQ(Header(L"C:\\sets\\" + longName, L"N", L""),
              RULE "* N\r\n* " + std::string(200, 'b') + "\r\n*\r\n*\r\n" RULE);
}

TEST_F(SetFileWriteTest, NameCharactersBeyondOneByteBecomeQuestionMarks)
{
    // Latin-1 characters are stored as their own byte; others, surrogate
    // pairs included, as one "?" each.
    const std::string bytes =
        Header(L"C:\\sets\\caf\u00e9\u4e2d.uas", L"Caf\u00e9 \u20ac \U0001F600", L"");
    EXPECT_EQ(bytes, RULE "* Caf\xe9 ? ?\r\n* caf\xe9?.uas\r\n*\r\n*\r\n" RULE);
}

// The whole file: the header, then the body.
class SetFileBodyTest : public SetFileWriteTest {
protected:
    static SetFileOutcome Save(const std::wstring &path, const wchar_t *name, ListHandle catalogue,
                               const std::wstring &description)
    {
        return SetFileSave(path.c_str(), name, catalogue, description.c_str()).Outcome;
    }

    const std::wstring name31 = L"HeatTransferCoefficientPerAreaX";
    const std::wstring name32 = L"HeatTransferCoefficientPerAreaXY";

    ListHandle Catalogue()
    {
        return MakeCatalogue({
            {L"Length", {L"m", L"cm", L"mm"}, 1},
            {name31, {L"W/m2K", L"kW/m2K"}, 1},
            {name32, {L"Btu"}, 0},
            {L"Empty", {}, 0},
            {L"Mass", {L"kg", L"g"}, 0},
        });
    }
};

TEST_F(SetFileBodyTest, SymbolsStartAtColumn33)
{
    const std::wstring folder = NewFolder(L"body");
    const std::wstring path = folder + L"full.uas";
    ListHandle catalogue = Catalogue();
    ASSERT_EQ(Save(path, L"Pilot", catalogue, L"Pilot plant units."), SetFileOutcome::Written);
    EXPECT_EQ(ReadBytes(path), RULE "* Pilot\r\n"
                                    "* full.uas\r\n"
                                    "*\r\n"
                                    "*    Pilot plant units.\r\n"
                                    "*\r\n" RULE "Length                          cm\r\n"
                                    "HeatTransferCoefficientPerAreaX kW/m2K\r\n"
                                    "HeatTransferCoefficientPerAreaXY Btu\r\n"
                                    "Mass                            kg\r\n");
    // Nothing but the set file is left in the folder.
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"full.uas"});
    FreeCatalogue(catalogue);
}

TEST_F(SetFileBodyTest, SelectionOutsideTheSymbolsWritesNoLine)
{
    const std::wstring path = NewFolder(L"outside") + L"set.uas";
    ListHandle catalogue = MakeCatalogue({{L"Length", {L"m", L"cm"}, 2}, {L"Mass", {L"kg"}, 0}});
    ASSERT_EQ(Save(path, L"Outside", catalogue, L""), SetFileOutcome::Written);
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.find("Length"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 36), "Mass                            kg\r\n");
    FreeCatalogue(catalogue);
}

TEST_F(SetFileBodyTest, SavingAndReadingBackRestoresEverySelection)
{
    const std::wstring path = NewFolder(L"roundtrip") + L"set.uas";
    ListHandle catalogue = Catalogue();
    SetSelections(catalogue, {2, 1, 0, 0, 1});
    const std::wstring typed =
        L"Line one of the notes.\r\nLine two, which is long enough to need wrapping "
        L"because it goes on and on past seventy characters.\r\n\r\nCaf\u00e9 \u00bd";
    ASSERT_EQ(Save(path, L"Round trip", catalogue, typed), SetFileOutcome::Written);

    SetSelections(catalogue, {0, 0, 0, 0, 0});
    std::vector<wchar_t> buffer(SetFileDescriptionChars + 1, L'#');
    ASSERT_EQ(SetFileRead(path.c_str(), catalogue, buffer.data()), 1);
    EXPECT_EQ(Selections(catalogue), (std::vector<uint16_t>{2, 1, 0, 0, 1}));
    EXPECT_EQ(std::wstring(buffer.data()),
              L"Line one of the notes. Line two, which is long enough to need wrapping "
              L"because it goes on and on past seventy characters.  Caf\u00e9 \u00bd");
    FreeCatalogue(catalogue);
}

TEST_F(SetFileBodyTest, SavingReplacesTheWholePreviousFile)
{
    const std::wstring folder = NewFolder(L"replace");
    const std::wstring path = folder + L"set.uas";
    WriteBytes(path, std::string(5000, 'x'));
    ListHandle catalogue = Catalogue();
    ASSERT_EQ(Save(path, L"Replace", catalogue, L""), SetFileOutcome::Written);
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.find('x'), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 36), "Mass                            kg\r\n");
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"set.uas"});
    FreeCatalogue(catalogue);
}

} // namespace
