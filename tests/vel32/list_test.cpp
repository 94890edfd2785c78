// The general support library's lists and iterators.
#include <gtest/gtest.h>

#include "vel32.h"

#include <climits>
#include <cstring>
#include <vector>

namespace {

// A list of the given items, built through the library.
ListHandle MakeList(const std::vector<void *> &items)
{
    KxStatus status = 99;
    ListHandle list = ListCreate(&status);
    EXPECT_EQ(status, 0);
    for (void *item : items) {
        status = 99;
        ListAddBack(list, item, &status);
        EXPECT_EQ(status, 0);
    }
    return list;
}

std::vector<void *> Walk(ListIterator &it)
{
    std::vector<void *> seen;
    void *item = nullptr;
    while (ListIteratorNext(&it, &item) && seen.size() < 100000)
        seen.push_back(item);
    return seen;
}

} // namespace

TEST(ListTest, EmptyListYieldsNothing)
{
    KxStatus status = 99;
    ListHandle list = ListCreate(&status);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(status, 0);
    ListIterator it;
    ListIteratorInit(&it, list);
    void *item = &status;
    EXPECT_EQ(ListIteratorNext(&it, &item), 0);
    ListFindIth(list, 0, &status);
    EXPECT_NE(status, 0);
    ListFree(list);
}

// Items are stored as given, null and repeated ones included.
TEST(ListTest, KeepsOrderForIterationAndPosition)
{
    int values[3] = {};
    const std::vector<void *> items = {&values[0], nullptr, &values[1], &values[0], &values[2]};
    ListHandle list = MakeList(items);

    ListIterator it;
    ListIteratorInit(&it, list);
    EXPECT_EQ(Walk(it), items);
    for (int i = 0; i < 5; ++i) {
        KxStatus status = 99;
        EXPECT_EQ(ListFindIth(list, i, &status), items[i]) << "position " << i;
        EXPECT_EQ(status, 0);
    }
    ListFree(list);
}

TEST(ListTest, FindIthOutOfRangeFails)
{
    int a = 0, b = 0;
    ListHandle list = MakeList({&a, &b});
    for (int32_t position : {-1, 2, 3, INT32_MAX, INT32_MIN}) {
        KxStatus status = 0;
        EXPECT_EQ(ListFindIth(list, position, &status), nullptr) << "position " << position;
        EXPECT_NE(status, 0) << "position " << position;
    }
    ListFree(list);
}

TEST(ListTest, IteratorStartsAgainOnAnotherList)
{
    int a = 1, b = 2, c = 3;
    ListHandle first = MakeList({&a, &b});
    ListHandle second = MakeList({&c});
    ListIterator it;
    ListIteratorInit(&it, first);
    void *item = nullptr;
    ASSERT_NE(ListIteratorNext(&it, &item), 0);
    EXPECT_EQ(item, &a);

    ListIteratorInit(&it, second);
    EXPECT_EQ(Walk(it), std::vector<void *>{&c});
    ListIteratorInit(&it, first);
    EXPECT_EQ(Walk(it), (std::vector<void *>{&a, &b}));
    ListFree(first);
    ListFree(second);
}

TEST(ListTest, FreeLeavesItemsAlone)
{
    std::vector<void *> blocks;
    for (int i = 0; i < 3; ++i) {
        auto *block = static_cast<char *>(KxMalloc(16));
        ASSERT_NE(block, nullptr);
        memset(block, 'a' + i, 16);
        blocks.push_back(block);
    }
    uint32_t live = 0;
    KxMemoryUsage(&live, nullptr);
    ListFree(MakeList(blocks));
    // Still allocated, and untouched.
    uint32_t after = 0;
    KxMemoryUsage(&after, nullptr);
    EXPECT_EQ(after, live);
    for (int i = 0; i < 3; ++i) {
        const char *block = static_cast<const char *>(blocks[i]);
        EXPECT_EQ(std::string(block, 16), std::string(16, static_cast<char>('a' + i)));
        KxFree(blocks[i]);
    }
}
