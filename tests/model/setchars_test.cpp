// The characters a set file cannot store and their plain equivalents, and
// what a path names before it is read as a set file.
#include <gtest/gtest.h>

#include "setchars.h"
#include "setprobe.h"
#include "testfiles.h"

#include <string>
#include <vector>

namespace {

TEST(SetCharsTest, TheFirstUnstorableCharacterIsFound)
{
    struct Case {
        const wchar_t *Text;
        bool Found;
        size_t Offset;
        size_t Length;
        uint32_t CodePoint;
    };
    const std::vector<Case> cases = {
        {L"", false, 0, 0, 0},
        {L"plain \u00fc\u00e9\u00ff text", false, 0, 0, 0},
        {L"a \u2013 b \u2014", true, 2, 1, 0x2013},
        {L"\u0100", true, 0, 1, 0x100},
        {L"ab\U0001F600", true, 2, 2, 0x1F600},
        {L"x\xD800y", true, 1, 1, 0xD800},   // a lone high half
        {L"x\xDC00", true, 1, 1, 0xDC00},    // a lone low half
        {L"\xD83D", true, 0, 1, 0xD83D},     // a high half at the end
    };
    for (const Case &c : cases) {
        SetFileCharacter found = {99, 99, 99};
        EXPECT_EQ(SetFileFindUnstorable(c.Text, &found), c.Found) << c.CodePoint;
        if (c.Found) {
            EXPECT_EQ(found.Offset, c.Offset);
            EXPECT_EQ(found.Length, c.Length);
            EXPECT_EQ(found.CodePoint, c.CodePoint);
        }
    }
    EXPECT_FALSE(SetFileFindUnstorable(nullptr, nullptr));
}

TEST(SetCharsTest, PlainEquivalentsOnlyWhenEveryCharacterHasOne)
{
    struct Case {
        const wchar_t *Text;
        bool Plain;
        const wchar_t *Expected;
    };
    const std::vector<Case> cases = {
        {L"no change \u00e4", true, L"no change \u00e4"},
        {L"a\u2013b\u2014c", true, L"a-b-c"},
        {L"\u2018\u2019\u201a\u201b", true, L"''''"},
        {L"\u201c\u201d\u201e\u201f", true, L"\"\"\"\""},
        {L"\u2026", true, L"..."},
        {L"a\u2013b\u20ac", false, nullptr},
        {L"\u2212", false, nullptr},         // the minus sign is no dash here
        {L"\U0001F600", false, nullptr},
    };
    for (const Case &c : cases) {
        std::wstring plain = L"untouched";
        EXPECT_EQ(SetFilePlainText(c.Text, &plain), c.Plain);
        EXPECT_EQ(plain, c.Plain ? c.Expected : L"untouched");
    }
}

class SetProbeTest : public ::testing::Test {
protected:
    // The folder goes with dir_; the folder made in it first.
    void TearDown() override { RemoveDirectoryW((folder_ + L"\\sub.uas").c_str()); }
    std::wstring Write(const std::wstring &name, const std::string &bytes)
    {
        return dir_.Write(name, bytes);
    }
    testfiles::TempDir dir_;
    const std::wstring folder_ = dir_.Path();
};

TEST_F(SetProbeTest, EachKindOfPath)
{
    const std::string rule = "* " + std::string(70, '-');
    const std::string header = rule + "\r\n* A\r\n* A.uas\r\n*\r\n*\r\n" + rule + "\r\n";
    CreateDirectoryW((folder_ + L"\\sub.uas").c_str(), nullptr);
    struct Case {
        std::wstring Path;
        SetFileKind Kind;
    };
    const std::vector<Case> cases = {
        {Write(L"good.uas", header + "Temperature K\r\n"), SetFileKind::SetFile},
        {Write(L"lf only.uas", rule + "\n* A\n* A.uas\n*\n"), SetFileKind::SetFile},
        {Write(L"short rule.uas", "* ---  \r\n*\r\n*\r\n*\r\n"), SetFileKind::SetFile},
        {Write(L"three lines.uas", rule + "\r\n* A\r\n* A.uas\r\n"), SetFileKind::OtherFormat},
        {Write(L"no rule.uas", "* A\r\n* A\r\n* A.uas\r\n*\r\n"), SetFileKind::OtherFormat},
        {Write(L"text after rule.uas", rule + "x\r\n*\r\n*\r\n*\r\n"), SetFileKind::OtherFormat},
        {Write(L"body only.uas", "Temperature K\r\n"), SetFileKind::OtherFormat},
        {Write(L"empty.uas", ""), SetFileKind::OtherFormat},
        {Write(L"zero byte.uas", header + std::string(1, '\0')), SetFileKind::OtherFormat},
        {Write(L"line 3.uas", rule + "\r\n* A\r\nA.uas\r\n*\r\n"), SetFileKind::OtherFormat},
        {folder_ + L"\\missing.uas", SetFileKind::Missing},
        {folder_ + L"\\no folder\\x.uas", SetFileKind::Missing},
        {L"", SetFileKind::Missing},
        {folder_ + L"\\sub.uas", SetFileKind::Folder},
        {folder_, SetFileKind::Folder},
        {L"NUL", SetFileKind::Device},
        {L"\\\\.\\NUL", SetFileKind::Device},
        // Device names that the system cannot open here, or only as a
        // console: still no file on disk.
        {L"CON", SetFileKind::Device},
        {L"CONIN$", SetFileKind::Device},
        {L"con.uas", SetFileKind::Device},
        {L"\\\\.\\CON", SetFileKind::Device},
        {L"LPT1", SetFileKind::Device},
        {L"PRN.uas", SetFileKind::Device},
        {folder_ + L"\\aux.uas", SetFileKind::Device},
        {folder_ + L"\\lpt9.txt", SetFileKind::Device},
        {folder_ + L"\\conx.uas", SetFileKind::Missing},
        {L"\\\\?\\" + folder_ + L"\\con.uas", SetFileKind::Missing},
    };
    for (const Case &c : cases) {
        const SetFileProbeResult result = SetFileProbe(c.Path.c_str());
        EXPECT_EQ(static_cast<int>(result.Kind), static_cast<int>(c.Kind))
            << std::string(c.Path.begin(), c.Path.end());
    }
    EXPECT_EQ(static_cast<int>(SetFileProbe(nullptr).Kind), static_cast<int>(SetFileKind::Missing));
}

} // namespace
