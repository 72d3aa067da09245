// Large pages for the heap. Loading an index fills some ten megabytes of
// fresh memory, and on a virtual machine the first touch of every 4 KB page
// costs a few microseconds: together more than the decompression of the
// index. Heap memory backed by 2 MB pages costs a five-hundredth of the
// faults.
#pragma once

namespace orvane {

// Lets the heap grow in large steps, takes large blocks from it too (not
// from separate mappings), keeps it (a returned part would lose the
// advice), and advises the kernel to back it with transparent huge pages.
// The heap is never given back, so this suits a one-shot command-line run,
// not windows that stay open. Call once at the start of the run, before
// much is allocated. Does nothing where the C library or the kernel offers
// no such means (or under the sanitizers, which bring their own allocator).
void UseLargeHeapPages();

}  // namespace orvane
