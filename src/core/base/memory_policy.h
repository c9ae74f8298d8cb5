// How the process's allocator is set up for long runs (the window and skimlet-cli call it first thing).
#pragma once

namespace skimlet {

// Every refresh builds and frees the same few large blocks (a BSS list of a few hundred KiB and its copies).
// glibc's malloc raises its mmap threshold to the size of each mapped block freed, so after the first
// refresh those blocks come from the heap, between the records and samples allocated in the same refresh;
// now and then one of those pins the heap's top and the heap grows for good. A fixed threshold keeps blocks
// of 128 KiB and more in mappings of their own, given back to the system when freed, and the heap's free
// top is trimmed at the same size. Elsewhere than glibc it does nothing.
void SetLongRunMemoryPolicy();

// The block size from which allocations get mappings of their own under the policy.
inline constexpr unsigned long LongRunMmapThreshold = 128 * 1024;

}  // namespace skimlet
