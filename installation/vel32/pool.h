// The general library's memory pools, inside the library: blocks that no
// count sees (the lists' own nodes), beside the counted blocks that KxMalloc
// hands out from the same pools. Internal to vel32.dll.
#ifndef VEL32_POOL_H
#define VEL32_POOL_H

#include <cstddef>
#include <new>

namespace kxpool {

// A block of at least size bytes aligned as a heap block, or null.
void *Allocate(size_t size);
// Gives back a block of Allocate; null is ignored.
void Release(void *block);

// The pools as a standard allocator, for the library's containers.
template <typename T> struct Allocator {
    using value_type = T;
    Allocator() = default;
    template <typename U> Allocator(const Allocator<U> &) {}
    T *allocate(size_t count)
    {
        if (count > static_cast<size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        void *block = Allocate(count * sizeof(T));
        if (!block)
            throw std::bad_alloc();
        return static_cast<T *>(block);
    }
    void deallocate(T *block, size_t) { Release(block); }
    template <typename U> bool operator==(const Allocator<U> &) const { return true; }
    template <typename U> bool operator!=(const Allocator<U> &) const { return false; }
};

} // namespace kxpool

#endif // VEL32_POOL_H
