// Processes that tests start: helper programs, and copies of a test program for what must
// happen in a process of its own.
#pragma once

#include <windows.h>

#include <string>

#include "runtime/handles.h"

namespace test_support {

// A started process, ended (exit code 99) if it still runs when the test is done with it.
class ChildProcess {
public:
    // Starts program with arguments; folder, when given, is its current folder.
    ChildProcess(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder = L"");
    ~ChildProcess();
    ChildProcess(ChildProcess&&) = default;
    ChildProcess& operator=(ChildProcess&&) = delete;

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

// A copy of the test program exe running only the tests that filter names, with variable
// set to value in its environment (and in no one else's once started).
ChildProcess StartTestCopy(const std::wstring& exe, const std::wstring& filter, const wchar_t* variable,
                           const std::wstring& value);

}  // namespace test_support
