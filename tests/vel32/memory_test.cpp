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

// Blocks made one way or another: each is counted, with at least its
// bytes, until it is released.
TEST(MemoryUsageTest, EveryKindOfBlockIsCountedUntilReleased)
{
    const struct {
        const char *Kind;
        std::vector<void *> (*Make)();
        uint64_t MinBytes;
    } kinds[] = {
        {"a copy of \"Pressure\" (with its terminator)",
         [] { return std::vector<void *>{KxStrdupW(L"Pressure")}; }, 9 * sizeof(wchar_t)},
        {"two blocks of size zero", [] { return std::vector<void *>{KxMalloc(0), KxMalloc(0)}; }, 2},
    };
    for (const auto &k : kinds) {
        const Usage before = Now();
        const std::vector<void *> blocks = k.Make();
        for (void *block : blocks) {
            ASSERT_NE(block, nullptr) << k.Kind;
        }
        if (blocks.size() == 2) {
            EXPECT_NE(blocks[0], blocks[1]) << k.Kind;
        }
        const Usage during = Now();
        EXPECT_EQ(during.Blocks, before.Blocks + blocks.size()) << k.Kind;
        EXPECT_GE(during.Bytes - before.Bytes, k.MinBytes) << k.Kind;
        for (void *block : blocks)
            KxFree(block);
        const Usage after = Now();
        EXPECT_EQ(after.Blocks, before.Blocks) << k.Kind;
        EXPECT_EQ(after.Bytes, before.Bytes) << k.Kind;
    }
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
