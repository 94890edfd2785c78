// The count of live memory blocks: every block made is counted until it is
// released, with the bytes the heap gives it.
#include <gtest/gtest.h>

#include "vel32.h"

#include <vector>

namespace {

struct Usage {
    uint32_t Blocks = 0;
    uint64_t Bytes = 0;
};

Usage Now()
{
    Usage u;
    KxMemoryUsage(&u.Blocks, &u.Bytes);
    return u;
}

} // namespace

TEST(MemoryUsageTest, AllocAndFreeBalance)
{
    const Usage before = Now();
    std::vector<void *> blocks;
    uint64_t sizes = 0;
    for (uint32_t size : {1u, 16u, 100u, 4096u, 70000u}) {
        blocks.push_back(KxMalloc(size));
        ASSERT_NE(blocks.back(), nullptr);
        sizes += size;
    }
    const Usage during = Now();
    EXPECT_EQ(during.Blocks, before.Blocks + 5);
    // The heap may round up, never down.
    EXPECT_GE(during.Bytes - before.Bytes, sizes);
    EXPECT_LT(during.Bytes - before.Bytes, sizes + 5 * 64);

    KxFree(blocks[2]);
    const Usage oneGone = Now();
    EXPECT_EQ(oneGone.Blocks, before.Blocks + 4);
    EXPECT_GE(during.Bytes - oneGone.Bytes, 100u);

    for (size_t i = 0; i < blocks.size(); ++i)
        if (i != 2)
            KxFree(blocks[i]);
    const Usage after = Now();
    EXPECT_EQ(after.Blocks, before.Blocks);
    EXPECT_EQ(after.Bytes, before.Bytes);
}

TEST(MemoryUsageTest, StrdupIsCountedWithItsTerminator)
{
    const Usage before = Now();
    wchar_t *copy = KxStrdupW(L"Pressure");
    ASSERT_NE(copy, nullptr);
    const Usage during = Now();
    EXPECT_EQ(during.Blocks, before.Blocks + 1);
    EXPECT_GE(during.Bytes - before.Bytes, 9 * sizeof(wchar_t));
    KxFree(copy);
    const Usage after = Now();
    EXPECT_EQ(after.Blocks, before.Blocks);
    EXPECT_EQ(after.Bytes, before.Bytes);
}

TEST(MemoryUsageTest, ZeroSizedBlocksCountAndRelease)
{
    const Usage before = Now();
    void *a = KxMalloc(0);
    void *b = KxMalloc(0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    const Usage during = Now();
    EXPECT_EQ(during.Blocks, before.Blocks + 2);
    EXPECT_GE(during.Bytes, before.Bytes + 2);
    KxFree(a);
    KxFree(b);
    const Usage after = Now();
    EXPECT_EQ(after.Blocks, before.Blocks);
    EXPECT_EQ(after.Bytes, before.Bytes);
}

TEST(MemoryUsageTest, NullFreeAndNullOutputsChangeNothing)
{
    const Usage before = Now();
    KxFree(nullptr);
    KxMemoryUsage(nullptr, nullptr);
    uint32_t blocks = 0;
    KxMemoryUsage(&blocks, nullptr);
    EXPECT_EQ(blocks, before.Blocks);
    const Usage after = Now();
    EXPECT_EQ(after.Blocks, before.Blocks);
    EXPECT_EQ(after.Bytes, before.Bytes);
}
