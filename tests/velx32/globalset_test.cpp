// The user's global default set in the registry. Each test puts back the
// value that was there before.
#include <gtest/gtest.h>

#include "child.h"
#include "velx32.h"

#include <string>
#include <vector>

namespace {

constexpr wchar_t KeyPath[] = L"Software\\Kalvex";
constexpr wchar_t ValueName[] = L"GlobalUnitSet";
constexpr wchar_t Guard = 0xABCD;
constexpr size_t Guards = 8;

class GlobalSetTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                                  nullptr),
                  ERROR_SUCCESS);
        DWORD bytes = 0;
        if (RegQueryValueExW(key_, ValueName, nullptr, &savedType_, nullptr, &bytes) == ERROR_SUCCESS) {
            saved_.resize(bytes);
            RegQueryValueExW(key_, ValueName, nullptr, &savedType_, saved_.data(), &bytes);
            hadValue_ = true;
        }
    }

    void TearDown() override
    {
        if (hadValue_)
            RegSetValueExW(key_, ValueName, 0, savedType_, saved_.data(), static_cast<DWORD>(saved_.size()));
        else
            RegDeleteValueW(key_, ValueName);
        RegCloseKey(key_);
    }

    void StoreRaw(DWORD type, const void *data, size_t bytes)
    {
        ASSERT_EQ(RegSetValueExW(key_, ValueName, 0, type, static_cast<const BYTE *>(data),
                                 static_cast<DWORD>(bytes)),
                  ERROR_SUCCESS);
    }

    // The global set as the library gives it, in a buffer of the documented
    // capacity followed by guard characters.
    std::wstring Get()
    {
        std::vector<wchar_t> buffer(UNIT_GLOBAL_PATH_CHARS + Guards, Guard);
        UserGetGlobalUnitSet(buffer.data());
        for (size_t i = UNIT_GLOBAL_PATH_CHARS; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], Guard) << "written past the buffer at " << i;
        const size_t length = wcsnlen(buffer.data(), UNIT_GLOBAL_PATH_CHARS);
        EXPECT_LT(length, static_cast<size_t>(UNIT_GLOBAL_PATH_CHARS)) << "no terminator";
        return std::wstring(buffer.data(), length);
    }

    HKEY key_ = nullptr;
    bool hadValue_ = false;
    DWORD savedType_ = 0;
    std::vector<BYTE> saved_;
};

} // namespace

TEST_F(GlobalSetTest, NoneChosenGivesEmptyText)
{
    RegDeleteValueW(key_, ValueName);
    EXPECT_EQ(Get(), L"");
}

TEST_F(GlobalSetTest, RoundTripThroughTheRegistry)
{
    const std::wstring paths[] = {L"C:\\Kalvex\\sets\\Plant A.uas", L"Z:\\S\u00e4tze\\Gr\u00f6\u00dfe.uas",
                                  L"C:\\" + std::wstring(252, L'p')};
    for (const std::wstring &path : paths) {
        ASSERT_LE(path.size(), 255u);
        UserSetGlobalUnitSet(path.c_str());
        EXPECT_EQ(Get(), path);
        wchar_t raw[UNIT_GLOBAL_PATH_CHARS] = {};
        DWORD type = 0;
        DWORD bytes = sizeof raw;
        ASSERT_EQ(RegQueryValueExW(key_, ValueName, nullptr, &type, reinterpret_cast<BYTE *>(raw), &bytes),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(std::wstring(raw), path);
    }
    UserSetGlobalUnitSet(L"");
    EXPECT_EQ(Get(), L"");
}

TEST_F(GlobalSetTest, OverLongPathIsRefused)
{
    UserSetGlobalUnitSet(L"C:\\sets\\kept.uas");
    UserSetGlobalUnitSet((L"C:\\" + std::wstring(253, L'p')).c_str());
    UserSetGlobalUnitSet((L"C:\\" + std::wstring(2000, L'p')).c_str());
    UserSetGlobalUnitSet(nullptr);
    EXPECT_EQ(Get(), L"C:\\sets\\kept.uas");
}

// Values stored by other means: a string that fits is read even without its
// terminator; one that does not fit, or is not a string, counts as none
// rather than as a cut path.
TEST_F(GlobalSetTest, ValuesStoredByOtherMeans)
{
    const std::wstring fits(UNIT_GLOBAL_PATH_CHARS - 1, L'u');
    StoreRaw(REG_SZ, fits.data(), fits.size() * sizeof(wchar_t));
    EXPECT_EQ(Get(), fits);

    const std::wstring full(UNIT_GLOBAL_PATH_CHARS, L'r');
    StoreRaw(REG_SZ, full.data(), full.size() * sizeof(wchar_t));
    EXPECT_EQ(Get(), L"");
    const std::wstring longPath = L"C:\\" + std::wstring(297, L'q');
    StoreRaw(REG_SZ, longPath.c_str(), (longPath.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(Get(), L"");
    const DWORD number = 42;
    StoreRaw(REG_DWORD, &number, sizeof number);
    EXPECT_EQ(Get(), L"");
}

TEST_F(GlobalSetTest, SeenByTheNextProcess)
{
    UserSetGlobalUnitSet(L"C:\\sets\\next.uas");
    const childtest::ChildReport r = childtest::RunChild(nullptr);
    ASSERT_TRUE(r.Finished) << r.Why;
    EXPECT_EQ(r.GlobalSet, L"C:\\sets\\next.uas");
}
