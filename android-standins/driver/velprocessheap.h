#ifndef VELPROCESSHEAP_H
#define VELPROCESSHEAP_H

// How the desktop process that stands in for an app's process treats its heap.
namespace VelProcessHeap
{

// Freed memory at the top of the heap stays with the process instead of going
// back to the kernel at once. Mesa's software rasteriser takes and frees a
// 64 KiB block of scene memory for every texture change in a frame; with the
// C library's default those blocks are returned after each frame and faulted
// in again by the next one (a break, page faults and TLB shootdowns across the
// rasteriser's threads), which made a frame of 16 windows cost ten times its
// drawing. An app's process on a device has an allocator of its own. Returns
// whether the setting took.
bool keepFreedMemory();

// What keepFreedMemory lets the heap keep, in bytes.
constexpr int KeptBytes = 64 * 1024 * 1024;

} // namespace VelProcessHeap

#endif
