// The count of live memory blocks: every block made is counted until it is
// released, with the bytes the heap gives it.
#include <gtest/gtest.h>

#include "vel32.h"

#include <algorithm>
#include <cstring>
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
        {"two blocks of size zero",
         [] {
             return std::vector<void *>{KxMalloc(0), KxMalloc(0)};
         },
         2},
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

// Blocks of every pooled size and of the heap's, many at a time: each is
// aligned for any object of its size (a multiple of 16 bytes as a heap
// block is), none overlaps another, and a released block is used again
// without touching the ones still live.
TEST(MemoryUsageTest, BlocksOfEverySizeKeepTheirContentsWhileOthersComeAndGo)
{
    const Usage before = Now();
    struct Block {
        unsigned char *At;
        uint32_t Size;
    };
    std::vector<Block> blocks;
    for (int round = 0; round < 3; ++round) {
        for (uint32_t size = 0; size <= 1100; size += (size < 64 ? 1 : 13))
            blocks.push_back({static_cast<unsigned char *>(KxMalloc(size)), size});
        // Every other block goes back; the next round takes their places.
        for (size_t i = blocks.size(); i-- > 0;) {
            if (i % 2 == 0 && blocks[i].At) {
                KxFree(blocks[i].At);
                blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        for (size_t i = 0; i < blocks.size(); ++i)
            memset(blocks[i].At, static_cast<int>(i & 0xFF), blocks[i].Size);
    }
    const Usage during = Now();
    EXPECT_EQ(during.Blocks, before.Blocks + blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        ASSERT_NE(blocks[i].At, nullptr) << "size " << blocks[i].Size;
        const uint32_t rounded = (blocks[i].Size + 7) / 8 * 8;
        const uintptr_t alignment = rounded % 16 == 0 ? 16 : 8;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(blocks[i].At) % alignment, 0u)
            << "size " << blocks[i].Size;
        const std::vector<unsigned char> expected(blocks[i].Size, static_cast<unsigned char>(i));
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), blocks[i].At))
            << "block " << i << " of " << blocks[i].Size << " bytes was overwritten";
        KxFree(blocks[i].At);
    }
    const Usage after = Now();
    EXPECT_EQ(after.Blocks, before.Blocks);
    EXPECT_EQ(after.Bytes, before.Bytes);
}

// A large block given back stays with the pools for small blocks (its pages
// stay committed) unless the pools hold enough spare already; and however
// many come back, the pools keep room for regions of their own: small
// blocks beyond all that was given back are still made, and each one is
// released again.
TEST(MemoryUsageTest, LargeBlocksGivenBackServeSmallOnesWithinBounds)
{
    const Usage before = Now();
    const struct {
        const char *What;
        uint32_t Size;
        bool Kept;
    } givenBack[] = {
        {"a block of 2 MB", 2u << 20, true},
        {"a block of 40 MB, more than the pools keep spare", 40u << 20, false},
    };
    for (const auto &g : givenBack) {
        void *block = KxMalloc(g.Size);
        ASSERT_NE(block, nullptr) << g.What;
        memset(block, 1, g.Size);
        KxFree(block);
        MEMORY_BASIC_INFORMATION page = {};
        ASSERT_NE(VirtualQuery(block, &page, sizeof page), 0u) << g.What;
        EXPECT_EQ(page.State == MEM_COMMIT, g.Kept) << g.What << ": state " << page.State;
    }

    for (int i = 0; i < 80; ++i)
        KxFree(KxMalloc(80 * 1024));
    std::vector<unsigned char *> small((48u << 20) / 1024);
    for (size_t i = 0; i < small.size(); ++i) {
        small[i] = static_cast<unsigned char *>(KxMalloc(1024));
        ASSERT_NE(small[i], nullptr) << "block " << i << " of " << small.size();
        small[i][0] = small[i][1023] = static_cast<unsigned char>(i);
    }
    for (size_t i = 0; i < small.size(); ++i) {
        EXPECT_EQ(small[i][0], static_cast<unsigned char>(i)) << "block " << i;
        EXPECT_EQ(small[i][1023], static_cast<unsigned char>(i)) << "block " << i;
        KxFree(small[i]);
    }
    const Usage after = Now();
    EXPECT_EQ(after.Blocks, before.Blocks);
    EXPECT_EQ(after.Bytes, before.Bytes);
}
