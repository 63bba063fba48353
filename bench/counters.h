// The counters that the hook library keeps inside the measured process, in a named mapping
// that the probe creates and reads.
#pragma once

#include <windows.h>

namespace bench {

inline constexpr wchar_t kCountersMapping[] = L"HushlineBenchCounters";

struct Counters {
    DWORD targetProcess;    // only this process counts; the probe, which loads the library too, does not
    LONG ready;             // set once the library has patched the process's import slots
    LONG patchedSlots;      // import slots redirected through the counting allocators
    LONG postedMessages;    // queued messages taken off the queue (GetMessage, PeekMessage with PM_REMOVE)
    LONG sentMessages;      // sent messages handed to a window procedure
    LONG ownAllocations;    // allocator calls made by the executable's own code
    LONG heapAllocations;   // calls into the Windows heap from every module, the executable's included
};

}  // namespace bench
