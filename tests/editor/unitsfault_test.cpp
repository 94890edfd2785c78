// The units library's fault as the user reads it, for a units file with one
// dimension more than the library holds: the reason names the limit, in
// English and in German. The library reads its file once per process, so
// this program is its own test and the one fault is worded in both languages.
#include <gtest/gtest.h>

#include "resloc.h"
#include "testfiles.h"
#include "testinstall.h"
#include "unitsfault.h"
#include "vel32.h"
#include "velx32.h"

#include <string>

namespace {

using testfiles::Utf8;

std::wstring Told()
{
    wchar_t *text = EditUnitsFailureText();
    std::wstring told = text ? text : L"";
    if (text)
        KxFree(text);
    return told;
}

TEST(UnitsFaultTextTest, TooManyDimensionsNamesTheLimitInEveryLanguage)
{
    const std::wstring root = testinstall::Create(testinstall::Options());
    const std::wstring units = root + L"\\many.txt";
    std::string text = "# many\r\n\r\n";
    for (int i = 0; i <= UNIT_MAX_DIMENSIONS; ++i)
        text += "D" + std::to_string(i) + " a\r\n";
    ASSERT_TRUE(testinstall::WriteBytes(units, text));
    const std::wstring line = std::to_wstring(UNIT_MAX_DIMENSIONS + 3);
    const std::wstring limit = std::to_wstring(UNIT_MAX_DIMENSIONS);

    const struct {
        const wchar_t *Language;
        std::wstring Told;
    } cases[] = {
        {L"English", L"Error reading system unit files.\n\nFile: " + units + L"\nLine " + line +
                         L": there are more than " + limit + L" dimensions."},
        {L"German", L"Fehler beim Lesen der Einheitendateien des Systems.\n\nDatei: " + units +
                        L"\nZeile " + line + L": Es gibt mehr als " + limit + L" Dimensionen."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(Utf8(c.Language));
        const std::string profile = "[Kalvex_Section]\r\nRoot_Dir=" + Utf8(root) +
                                    "\r\nResource_Binary_Dir=" + Utf8(testinstall::ResFolder()) +
                                    "\r\nUnits_File=" + Utf8(units) +
                                    "\r\n[VelWin_Section]\r\nLanguage=" + Utf8(c.Language) +
                                    "\r\n";
        const std::wstring path = root + L"\\units.ini";
        ASSERT_TRUE(testinstall::WriteBytes(path, profile));
        SetEnvironmentVariableW(L"KALVEX_PROFILE", path.c_str());
        ResLocated = false;
        ResBaseModule = ResStringModule = ResCommonModule = nullptr;
        const std::wstring told = Told();
        EXPECT_EQ(Utf8(told), Utf8(c.Told));
        EXPECT_EQ(told.find(L"D" + limit), std::wstring::npos) << "no dimension stands for the limit";
    }
}

} // namespace
