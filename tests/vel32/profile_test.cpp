// Reading the installation profile from real files named by KALVEX_PROFILE,
// and from the demo profile beside the program.
#include <gtest/gtest.h>

#include "testfiles.h"
#include "vel32.h"

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr wchar_t Guard = 0xABCD;
constexpr int32_t Guards = 8;

class ProfileTest : public testing::Test {
protected:
    // Makes text (UTF-8) the profile.
    void Use(const std::string &bytes)
    {
        env_.reset();
        const std::wstring path = dir_.Write(L"profile" + std::to_wstring(++count_) + L".ini", bytes);
        env_.reset(new testfiles::ScopedEnv(L"KALVEX_PROFILE", path.c_str()));
    }

    // Reads with a buffer of capacity chars followed by guard characters.
    // Returns the status; value gets the text when it succeeded.
    KxStatus Read(const wchar_t *section, const wchar_t *key, int32_t capacity = 80)
    {
        buffer_.assign(static_cast<size_t>(capacity + Guards), Guard);
        int32_t size = capacity;
        KxStatus status = 77;
        const int16_t result = ProfReadStringW(section, key, buffer_.data(), &size, &status);
        EXPECT_EQ(result, status);
        for (int32_t i = capacity; i < capacity + Guards; ++i)
            EXPECT_EQ(buffer_[static_cast<size_t>(i)], Guard) << "written past the buffer at " << i;
        value_ = status == 0 ? std::wstring(buffer_.data()) : std::wstring();
        return status;
    }

    bool BufferUntouched() const
    {
        for (wchar_t c : buffer_)
            if (c != Guard)
                return false;
        return true;
    }

    testfiles::TempDir dir_;
    std::unique_ptr<testfiles::ScopedEnv> env_;
    std::vector<wchar_t> buffer_;
    std::wstring value_;
    int count_ = 0;
};

const char *const Plain = "[Kalvex_Section]\r\n"
                          "Root_Dir=C:\\Kalvex\r\n"
                          "  Set_Dir  =   C:\\Kalvex\\sets with blanks   \r\n"
                          "Empty=\r\n"
                          "Formula=a=b\r\n"
                          "; Language=commented\r\n"
                          "# Help_Dir=commented\r\n"
                          "[VelWin_Section]\r\n"
                          "Language=German\r\n";

} // namespace

TEST_F(ProfileTest, ReadsValuesOfTheirOwnSection)
{
    Use(Plain);
    ASSERT_EQ(Read(L"Kalvex_Section", L"Root_Dir"), 0);
    EXPECT_EQ(value_, L"C:\\Kalvex");
    ASSERT_EQ(Read(L"Kalvex_Section", L"Set_Dir"), 0);
    EXPECT_EQ(value_, L"C:\\Kalvex\\sets with blanks");
    ASSERT_EQ(Read(L"Kalvex_Section", L"Formula"), 0);
    EXPECT_EQ(value_, L"a=b");
    ASSERT_EQ(Read(L"VelWin_Section", L"Language"), 0);
    EXPECT_EQ(value_, L"German");
}

TEST_F(ProfileTest, EmptyValueIsPresent)
{
    Use(Plain);
    ASSERT_EQ(Read(L"Kalvex_Section", L"Empty"), 0);
    EXPECT_EQ(value_, L"");
}

TEST_F(ProfileTest, AbsentValuesFailAndLeaveTheBuffer)
{
    Use(Plain);
    EXPECT_NE(Read(L"Kalvex_Section", L"Units_File"), 0);
    EXPECT_TRUE(BufferUntouched());
    EXPECT_NE(Read(L"Other_Section", L"Root_Dir"), 0);
    EXPECT_TRUE(BufferUntouched());
    // A key of another section is not found.
    EXPECT_NE(Read(L"Kalvex_Section", L"Language"), 0);
    EXPECT_TRUE(BufferUntouched());
    // Commented-out keys do not count.
    EXPECT_NE(Read(L"Kalvex_Section", L"Help_Dir"), 0);
    EXPECT_TRUE(BufferUntouched());
}

TEST_F(ProfileTest, MissingFileFails)
{
    testfiles::ScopedEnv env(L"KALVEX_PROFILE", (dir_.Path() + L"\\none.ini").c_str());
    EXPECT_NE(Read(L"Kalvex_Section", L"Root_Dir"), 0);
    EXPECT_TRUE(BufferUntouched());
}

TEST_F(ProfileTest, NamesIgnoreCase)
{
    Use("[kalvex_SECTION]\nroot_dir=C:\\K\n");
    ASSERT_EQ(Read(L"Kalvex_Section", L"Root_Dir"), 0);
    EXPECT_EQ(value_, L"C:\\K");
}

TEST_F(ProfileTest, LongValueIsCutToTheBuffer)
{
    Use("[S]\nK=0123456789ABCDEFGHIJ\n");
    ASSERT_EQ(Read(L"S", L"K", 8), 0);
    EXPECT_EQ(value_, L"0123456");
    ASSERT_EQ(Read(L"S", L"K", 1), 0);
    EXPECT_EQ(value_, L"");
    ASSERT_EQ(Read(L"S", L"K", 21), 0);
    EXPECT_EQ(value_, L"0123456789ABCDEFGHIJ");
    EXPECT_NE(Read(L"S", L"K", 0), 0);
    EXPECT_TRUE(BufferUntouched());
}


TEST_F(ProfileTest, Utf8WithByteOrderMark)
{
    Use("\xEF\xBB\xBF[S]\nK=Z\xC3\xBCrich \xE6\x97\xA5\xE6\x9C\xAC\n");
    ASSERT_EQ(Read(L"S", L"K"), 0);
    EXPECT_EQ(value_, L"Z\u00fcrich \u65e5\u672c");
}



// Without KALVEX_PROFILE the demo profile beside the program is read.
TEST_F(ProfileTest, DemoProfileBesideTheProgram)
{
    testfiles::ScopedEnv env(L"KALVEX_PROFILE", nullptr);
    ASSERT_EQ(Read(L"Kalvex_Section", L"Units_File", 1024), 0);
    ASSERT_GT(value_.size(), 10u);
    EXPECT_EQ(value_.substr(value_.size() - 10), L"\\units.txt");
}
