// The libraries' shared inline helpers: reading a whole profile value,
// trimming, joining paths.
#include <gtest/gtest.h>

#include "kxprofile.h"
#include "kxtext.h"
#include "testfiles.h"

#include <string>

TEST(KxProfileValueTest, ReadsValuesOfAnyLengthWhole)
{
    testfiles::TempDir dir;
    const std::wstring longValue = std::wstring(3000, L'x') + L"END";
    const std::wstring path =
        dir.Write(L"p.ini", "[S]\nShort=German\nLong=" + testfiles::Utf8(longValue) + "\nEmpty=\n");
    testfiles::ScopedEnv env(L"KALVEX_PROFILE", path.c_str());

    EXPECT_EQ(kx::ProfileValue(L"S", L"Short").value_or(L"<none>"), L"German");
    // Far past the first buffer: grown to the size the reader asks for.
    EXPECT_EQ(kx::ProfileValue(L"S", L"Long").value_or(L"<none>"), longValue);
    // Present but empty is not missing.
    EXPECT_EQ(kx::ProfileValue(L"S", L"Empty").value_or(L"<none>"), L"");
    EXPECT_FALSE(kx::ProfileValue(L"S", L"Absent").has_value());
    EXPECT_FALSE(kx::ProfileValue(L"Other", L"Short").has_value());

    std::wstring value = L"kept";
    EXPECT_FALSE(kx::ProfileValue(L"S", L"Absent", value));
    EXPECT_EQ(value, L"kept");
    EXPECT_TRUE(kx::ProfileValue(L"S", L"Long", value));
    EXPECT_EQ(value, longValue);
}

TEST(KxProfileValueTest, MissingProfileGivesNothing)
{
    testfiles::TempDir dir;
    testfiles::ScopedEnv env(L"KALVEX_PROFILE", (dir.Path() + L"\\absent.ini").c_str());
    EXPECT_FALSE(kx::ProfileValue(L"Kalvex_Section", L"Root_Dir").has_value());
}

TEST(KxTextTest, TrimTakesEveryKindOfBlankAtTheEndsOnly)
{
    EXPECT_EQ(kx::Trim(L"  Pump  set\t A \r\n"), L"Pump  set\t A");
    EXPECT_EQ(kx::Trim(L"\x3000\x00A0Name\v\f"), L"Name");
    EXPECT_EQ(kx::Trim(L" \t\r\n\x3000"), L"");
    EXPECT_EQ(kx::Trim(L""), L"");
    EXPECT_EQ(kx::Trim(L"x"), L"x");
    // The layout blanks of a file leave other spaces alone.
    EXPECT_EQ(kx::Trim(L" \x3000value\x00A0\t", kx::IsLayoutBlank), L"\x3000value\x00A0");
}

TEST(KxTextTest, TrimInPlaceMatchesTrim)
{
    for (const wchar_t *sample : {L"  a b  ", L"\x3000\x3000", L"", L"word", L"\r\nx\r\n", L" \x00A0y"}) {
        std::wstring buffer = sample;
        const size_t length = kx::TrimInPlace(&buffer[0]);
        EXPECT_EQ(std::wstring(buffer.c_str()), kx::Trim(sample)) << "sample [" << sample << "]";
        EXPECT_EQ(length, kx::Trim(sample).size());
    }
    EXPECT_EQ(kx::TrimInPlace(nullptr), 0u);
}

TEST(KxTextTest, JoinPathPutsOneSeparatorBetween)
{
    EXPECT_EQ(kx::JoinPath(L"C:\\sets", L"a.uas"), L"C:\\sets\\a.uas");
    EXPECT_EQ(kx::JoinPath(L"C:\\sets\\", L"a.uas"), L"C:\\sets\\a.uas");
    EXPECT_EQ(kx::JoinPath(L"C:/sets/", L"a.uas"), L"C:/sets/a.uas");
    EXPECT_EQ(kx::JoinPath(L"C:\\", L"a.uas"), L"C:\\a.uas");
    EXPECT_EQ(kx::JoinPath(L"", L"a.uas"), L"a.uas");
}
