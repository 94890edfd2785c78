// Filling the "%s" places of translated texts: the values go in, in order,
// and nothing else of the text is interpreted.
#include <gtest/gtest.h>

#include "textutil.h"
#include "vel32.h"

#include <string>

namespace {

std::wstring Fill(const wchar_t *pattern, std::initializer_list<const wchar_t *> values)
{
    wchar_t *text = EditSubstitute(pattern, values);
    std::wstring result = text;
    KxFree(text);
    return result;
}

TEST(SubstituteTest, PutsTheValuesInOrder)
{
    EXPECT_EQ(
        Fill(L"%s has been altered.  Do you want to save %s prior to %s?", {L"A", L"B", L"CLOSE"}),
        L"A has been altered.  Do you want to save B prior to CLOSE?");
    EXPECT_EQ(Fill(L"Voulez-vous supprimer « %s » ?", {L"Métrique"}),
              L"Voulez-vous supprimer « Métrique » ?");
}

TEST(SubstituteTest, ATranslationWithMorePlacesThanValuesReadsNothingBeyondThem)
{
    EXPECT_EQ(Fill(L"%s and %s and %s", {L"one"}), L"one and  and ");
    EXPECT_EQ(Fill(L"%s", {}), L"");
}

TEST(SubstituteTest, OtherPercentSignsAndFormatCharactersStayAsTheyAre)
{
    EXPECT_EQ(Fill(L"100% %d %n %x %", {L"v"}), L"100% %d %n %x %");
    EXPECT_EQ(Fill(L"%%s", {L"v"}), L"%v");
    EXPECT_EQ(Fill(L"%s", {L"%s%n%d"}), L"%s%n%d") << "a value is never read as a pattern";
}

TEST(SubstituteTest, TheBlockFitsLongValues)
{
    const std::wstring longName(5000, L'x');
    const std::wstring text = Fill(L"[%s]", {longName.c_str()});
    EXPECT_EQ(text.size(), longName.size() + 2);
    EXPECT_EQ(text.front(), L'[');
    EXPECT_EQ(text.back(), L']');
}

} // namespace
