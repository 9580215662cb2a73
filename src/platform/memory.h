#pragma once
// How the process's allocator treats freed memory.

namespace platform {

// A scan allocates and frees a page's worth of memory many times a second.
// Left to its defaults the allocator hands the top of its heap back to the
// system after nearly every page and takes it again for the next, which costs
// a page fault per touched page and, with the program's helper threads, a
// flush of every processor's address cache. Called once at start-up, it keeps
// up to a few tens of megabytes of freed memory for reuse instead.
void keepFreedMemoryForReuse();

} // namespace platform
