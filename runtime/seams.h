// The runtime's seams: one function pointer in front of each real call whose arguments
// are the program's observable output, or whose failure decides where a program is taken
// from. Tests may put an observer in front that records the call and then makes the real
// one, or a stand-in that fails.
#pragma once

#include <windows.h>

namespace runtime {

struct Seams {
    decltype(&::CreateProcessW) createProcess = &::CreateProcessW;
    decltype(&::MessageBoxW) messageBox = &::MessageBoxW;
    decltype(&::GetSystemDirectoryW) systemDirectory = &::GetSystemDirectoryW;
    decltype(&::GetWindowsDirectoryW) windowsDirectory = &::GetWindowsDirectoryW;
};

extern Seams seams;

}  // namespace runtime
