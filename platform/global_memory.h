// global_memory.h - the program's global-memory allocations, with a test seam.
//
// An out-of-memory condition cannot be provoked on demand under Wine, so the
// allocation paths the program relies on go through these wrappers, which
// tests can tell to fail a given number of calls from now.
#pragma once

#include "platform/platform.h"

HGLOBAL AllocateGlobal(UINT flags, SIZE_T bytes);
HGLOBAL ReallocateGlobal(HGLOBAL block, SIZE_T bytes, UINT flags);

// Test seam: the call numbered `callsFromNow` (1 = the next one) of either
// function fails as if memory were exhausted. 0 switches failures off.
void FailGlobalAllocationAfter(int callsFromNow);
