#include "platform/memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    // Blocks below this come from the heap and are reused there rather
    // than mapped and unmapped one by one.
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
#endif
}

} // namespace platform
