// A copy of a test program run as a child process, for what must happen in a process of its own.
#pragma once

#include <windows.h>

#include <string>

#include "runtime/handles.h"

namespace test_support {

// Starts exe running only the tests that filter names, with variable set to value in its
// environment (and in no one else's once started).
class ChildRun {
public:
    ChildRun(const std::wstring& exe, const std::wstring& filter, const wchar_t* variable, const std::wstring& value);

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    bool HasEnded() const { return WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }
    // Waits up to timeoutMs for its end, and ends it with code 99 when it overruns; says
    // whether it ended in time, and gives its exit code.
    bool Await(DWORD timeoutMs, DWORD& exitCode);

private:
    runtime::KernelHandle process_;
    DWORD id_ = 0;
};

}  // namespace test_support
