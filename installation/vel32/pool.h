// The general library's memory pools, inside the library: blocks that no
// count sees (the lists' own nodes), beside the counted blocks that KxMalloc
// hands out from the same pools. Internal to vel32.dll.
#ifndef VEL32_POOL_H
#define VEL32_POOL_H

#include <cstddef>

namespace kxpool {

// A block of at least size bytes aligned as a heap block, or null.
void *Allocate(size_t size);
// Gives back a block of Allocate; null is ignored.
void Release(void *block);

} // namespace kxpool

#endif // VEL32_POOL_H
