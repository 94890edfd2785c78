// The general support library's lists and iterators.
#include <gtest/gtest.h>

#include "vel32.h"

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
    ListFree(list);
}
