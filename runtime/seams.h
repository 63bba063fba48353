// The runtime's seams: one function pointer in front of each real call whose arguments
// are the program's observable output. Tests may put an observer in front that records
// the call and then makes the real one.
#pragma once

#include <windows.h>

namespace runtime {

struct Seams {
    decltype(&::CreateProcessW) createProcess = &::CreateProcessW;
    decltype(&::MessageBoxW) messageBox = &::MessageBoxW;
};

extern Seams seams;

}  // namespace runtime
