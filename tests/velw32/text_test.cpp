// Loading string-table texts and trimming texts in place.
#include <gtest/gtest.h>

#include "velw32.h"
#include "test_ids.h"

#include <string>
#include <vector>

namespace {

HMODULE Self() { return GetModuleHandleW(nullptr); }

TEST(StrLoadNewTest, LoadsTheWholeString)
{
    wchar_t *text = StrLoadNewW(Self(), TEST_IDS_LONG);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"Twenty characters ok");
    KxFree(text);
}

TEST(StrLoadNewTest, MissingStringGivesAnEmptyBlock)
{
    wchar_t *text = StrLoadNewW(Self(), TEST_IDS_MISSING);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"");
    KxFree(text);
}

// The texts' blocks are vel32's, counted like every other block, so that a
// text the program forgets to release shows in the count.
TEST(StrLoadNewTest, BlocksAreCountedUntilReleased)
{
    uint32_t blocksBefore = 0, blocksDuring = 0, blocksAfter = 0;
    uint64_t bytesBefore = 0, bytesDuring = 0, bytesAfter = 0;
    KxMemoryUsage(&blocksBefore, &bytesBefore);
    wchar_t *text = StrLoadNewW(Self(), TEST_IDS_LONG);
    wchar_t *empty = StrLoadNewW(Self(), TEST_IDS_MISSING);
    KxMemoryUsage(&blocksDuring, &bytesDuring);
    EXPECT_EQ(blocksDuring, blocksBefore + 2);
    EXPECT_GE(bytesDuring - bytesBefore, (20 + 1) * sizeof(wchar_t));
    KxFree(text);
    KxFree(empty);
    KxMemoryUsage(&blocksAfter, &bytesAfter);
    EXPECT_EQ(blocksAfter, blocksBefore);
    EXPECT_EQ(bytesAfter, bytesBefore);
}

TEST(StrLoadNewTest, NullModuleMeansTheProgramFile)
{
    wchar_t *text = StrLoadNewW(nullptr, TEST_IDS_SHORT);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"Short");
    KxFree(text);
}

TEST(StrLoadTest, FitsAndReturnsTheLength)
{
    wchar_t buffer[100];
    EXPECT_EQ(StrLoadW(Self(), TEST_IDS_SHORT, buffer, 100), 5);
    EXPECT_STREQ(buffer, L"Short");
}

TEST(StrLoadTest, CutsAtTheCapacityWithoutOverrun)
{
    // Ten usable places and guard characters after them.
    wchar_t buffer[16];
    for (wchar_t &c : buffer)
        c = L'#';
    EXPECT_EQ(StrLoadW(Self(), TEST_IDS_LONG, buffer, 10), 9);
    EXPECT_EQ(std::wstring(buffer), L"Twenty ch");
    for (int i = 10; i < 16; ++i)
        EXPECT_EQ(buffer[i], L'#') << "guard " << i;
}

TEST(StrLoadTest, ExactFitAndNoRoom)
{
    wchar_t buffer[8];
    for (wchar_t &c : buffer)
        c = L'#';
    EXPECT_EQ(StrLoadW(Self(), TEST_IDS_SHORT, buffer, 6), 5);
    EXPECT_STREQ(buffer, L"Short");
    EXPECT_EQ(buffer[6], L'#');
    EXPECT_EQ(StrLoadW(Self(), TEST_IDS_SHORT, buffer, 5), 4);
    EXPECT_STREQ(buffer, L"Shor");
    EXPECT_EQ(buffer[5], L'\0') << "left from the previous call";

    // No room even for the terminator: nothing is written.
    buffer[0] = buffer[1] = L'#';
    EXPECT_EQ(StrLoadW(Self(), TEST_IDS_SHORT, buffer, 0), 0);
    EXPECT_EQ(buffer[0], L'#');
    EXPECT_EQ(StrLoadW(Self(), TEST_IDS_SHORT, buffer, 1), 0);
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(buffer[1], L'#');
}

TEST(StrLoadTest, MissingStringGivesTheEmptyText)
{
    wchar_t buffer[10] = L"old";
    EXPECT_EQ(StrLoadW(Self(), TEST_IDS_MISSING, buffer, 10), 0);
    EXPECT_STREQ(buffer, L"");
}

// What a trimming routine makes of a copy of the text.
std::wstring Applied(void(WINAPI *trim)(wchar_t *), const std::wstring &in)
{
    std::wstring copy = in;
    trim(&copy[0]);
    return copy.c_str();
}
std::wstring Trimmed(const std::wstring &in) { return Applied(RemoveBlanks, in); }

// RemoveBlanks trims both ends and keeps the blanks inside; RemoveEoln
// removes the line ends at the end only and keeps the blanks before them.
TEST(TrimTest, EachTextAsTheRoutineLeavesIt)
{
    struct Row {
        const wchar_t *Text, *Left;
    };
    const struct {
        void(WINAPI *Trim)(wchar_t *);
        const char *Routine;
        std::vector<Row> Rows;
    } routines[] = {
        {RemoveBlanks,
         "RemoveBlanks",
         {{L"  Pump  set\t A \r\n", L"Pump  set\t A"},
          {L"\x3000\x00A0Name\x3000", L"Name"},
          {L"word", L"word"},
          {L" \t \r\n ", L""},
          {L"", L""}}},
        {RemoveEoln,
         "RemoveEoln",
         {{L"Pressure\n", L"Pressure"},
          {L"Pressure\r\n", L"Pressure"},
          {L"two\nlines\n", L"two\nlines"},
          {L"\n", L""},
          {L"none", L"none"},
          {L"bar \n", L"bar "},
          {L" lead\t\r\n", L" lead\t"}}},
    };
    for (const auto &routine : routines)
        for (const Row &row : routine.Rows)
            EXPECT_EQ(Applied(routine.Trim, row.Text), row.Left)
                << routine.Routine << " of " << testing::PrintToString(std::wstring(row.Text));
}

TEST(RemoveBlanksTest, SecondTrimChangesNothing)
{
    const wchar_t *samples[] = {L"  a b  ", L"\tx\t", L"  ", L"one", L" \n two  three \n "};
    for (const wchar_t *sample : samples) {
        const std::wstring once = Trimmed(sample);
        EXPECT_EQ(Trimmed(once), once) << "sample: [" << sample << "]";
    }
}

TEST(RemoveBlanksTest, NullIsIgnored)
{
    RemoveBlanks(nullptr);
    RemoveEoln(nullptr);
}

} // namespace
