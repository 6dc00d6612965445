#include "app/ProcessSettings.h"

#include <csignal>
#include <malloc.h>

namespace nebulo {

namespace {

// A command's pictures are a few blocks of up to 16 MB (a 2023 x 2023 picture
// at 32 bits), freed by one thread and wanted again by the next command on
// another. Taken from one heap that keeps what is freed, a block comes back
// with its pages in place, where a fresh one costs a page fault per 4 KB
// (about 3000 for a 12 MB picture, milliseconds each command).
void KeepFreedPictureMemory()
{
    constexpr int LargestHeapBlock = 32 << 20; // the most the allocator takes
    constexpr int KeptFree = 128 << 20;
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, LargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, KeptFree);
}

} // namespace

void SettleProcess()
{
    KeepFreedPictureMemory();
    // The keeper of a copy may go away while it is handed the picture.
    ::signal(SIGPIPE, SIG_IGN);
}

} // namespace nebulo
