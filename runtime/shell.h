// Starting a command line in a process of its own, without waiting for it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

// Window styles of Shell.
enum ShellWindowStyle : int {
    kHide = 0,
    kNormalFocus = 1,
    kMinimizedFocus = 2,
    kMaximizedFocus = 3,
    kNormalNoFocus = 4,
    kMinimizedNoFocus = 6,
};

// Starts commandLine and returns its task id at once. A program named without a path is
// looked for in the system folders and on PATH, never in the current folder, so a program
// of that name planted there is not run; the command line itself goes to the process as given.
int32_t Shell(std::wstring_view commandLine, int windowStyle);

// The program file Shell would start for commandLine's first word; "" when there is none.
std::wstring ResolveShellProgram(std::wstring_view commandLine);

}  // namespace runtime
