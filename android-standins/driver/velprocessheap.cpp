#include "velprocessheap.h"

#include <malloc.h>

bool VelProcessHeap::keepFreedMemory()
{
    return mallopt(M_TRIM_THRESHOLD, KeptBytes) == 1;
}
