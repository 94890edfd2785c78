// The general support library's string comparisons and string copies.
#include <gtest/gtest.h>

#include "vel32.h"

#include <string>

namespace {

struct ComparePair {
    const wchar_t *A;
    const wchar_t *B;
    bool EqualExact;
    bool EqualIgnoringCase;
};

class CompareTest : public testing::TestWithParam<ComparePair> {};

int Sign(int32_t v)
{
    return (v > 0) - (v < 0);
}

} // namespace

TEST_P(CompareTest, ZeroExactlyForEqualTexts)
{
    const ComparePair &p = GetParam();
    EXPECT_EQ(IntlStrCmpW(p.A, p.B) == 0, p.EqualExact);
    EXPECT_EQ(IntlStrCmpIW(p.A, p.B) == 0, p.EqualIgnoringCase);
    // Swapping the arguments swaps the order.
    EXPECT_EQ(Sign(IntlStrCmpW(p.A, p.B)), -Sign(IntlStrCmpW(p.B, p.A)));
    EXPECT_EQ(Sign(IntlStrCmpIW(p.A, p.B)), -Sign(IntlStrCmpIW(p.B, p.A)));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, CompareTest,
    testing::Values(ComparePair{L"Pressure", L"Pressure", true, true},
                    ComparePair{L"", L"", true, true},
                    ComparePair{L"kPa", L"KPA", false, true},
                    ComparePair{L"mw", L"MW", false, true},
                    ComparePair{L"abc", L"abcd", false, false},
                    ComparePair{L"", L"a", false, false},
                    ComparePair{L"abc", L"abd", false, false},
                    ComparePair{L"\u00c4\u00d6\u00dc", L"\u00e4\u00f6\u00fc", false, true},
                    ComparePair{L"\u0394p", L"\u03b4P", false, true},
                    ComparePair{L"\u00e9", L"e", false, false},
                    // A soft hyphen is ignorable in a locale collation, never here.
                    ComparePair{L"ab", L"a\u00adb", false, false},
                    ComparePair{L"stra\u00dfe", L"STRASSE", false, false}));


TEST(StrdupTest, CopyIsIndependent)
{
    wchar_t original[] = L"m3/h \u00b5m";
    wchar_t *copy = KxStrdupW(original);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    EXPECT_EQ(std::wstring(copy), std::wstring(original));
    original[0] = L'X';
    EXPECT_EQ(std::wstring(copy), L"m3/h \u00b5m");
    copy[1] = L'Y';
    EXPECT_EQ(std::wstring(original), L"X3/h \u00b5m");
    KxFree(copy);
}

TEST(StrdupTest, EmptyAndLongTexts)
{
    wchar_t *empty = KxStrdupW(L"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], L'\0');
    KxFree(empty);

    const std::wstring text(100000, L'k');
    wchar_t *copy = KxStrdupW(text.c_str());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::wstring(copy), text);
    KxFree(copy);
}

