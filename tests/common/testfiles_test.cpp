// The tests' temporary folders: a new folder is always empty, also when an
// earlier process with the same process ID left its folders behind.
#include <gtest/gtest.h>

#include "testfiles.h"

#include <string>

namespace {

bool Exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(NewTempFolderTest, PassesOverFoldersLeftUnderTheSameProcessId)
{
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    const std::wstring stem = L"uas-leftover";
    const auto leftover = [&](int n) {
        return std::wstring(base) + stem + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(n);
    };
    // What an earlier process of this ID could have left: every name this
    // process would try first, each with a file in it.
    for (int n = 1; n <= 200; ++n) {
        const std::wstring old = leftover(n);
        CreateDirectoryW(old.c_str(), nullptr);
        CloseHandle(CreateFileW((old + L"\\old.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    }
    const std::wstring fresh = testfiles::NewTempFolder(stem);
    ASSERT_FALSE(fresh.empty());
    EXPECT_TRUE(Exists(fresh));
    EXPECT_FALSE(Exists(fresh + L"\\old.txt")) << "a folder of an earlier process was handed out";
    const std::wstring next = testfiles::NewTempFolder(stem);
    EXPECT_NE(next, fresh);
    RemoveDirectoryW(fresh.c_str());
    RemoveDirectoryW(next.c_str());

    for (int n = 1; n <= 200; ++n) {
        const std::wstring old = leftover(n);
        DeleteFileW((old + L"\\old.txt").c_str());
        RemoveDirectoryW(old.c_str());
    }
}

} // namespace
