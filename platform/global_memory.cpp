// global_memory.cpp - global-memory allocation with an injectable failure.
#include "platform/global_memory.h"

namespace {

int allocationsUntilFailure = 0;

// Counts one allocation; true when this one is to fail.
bool AllocationFails()
{
    if (allocationsUntilFailure <= 0)
        return false;
    return --allocationsUntilFailure == 0;
}

} // namespace

HGLOBAL AllocateGlobal(UINT flags, SIZE_T bytes)
{
    if (AllocationFails())
        return nullptr;
    return GlobalAlloc(flags, bytes);
}

HGLOBAL ReallocateGlobal(HGLOBAL block, SIZE_T bytes, UINT flags)
{
    if (AllocationFails())
        return nullptr;
    return GlobalReAlloc(block, bytes, flags);
}

void FailGlobalAllocationAfter(int callsFromNow)
{
    allocationsUntilFailure = callsFromNow;
}
