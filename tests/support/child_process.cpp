#include "tests/support/child_process.h"

namespace test_support {

ChildRun::ChildRun(const std::wstring& exe, const std::wstring& filter, const wchar_t* variable,
                   const std::wstring& value) {
    std::wstring commandLine = L"\"" + exe + L"\" --gtest_filter=" + filter;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    SetEnvironmentVariableW(variable, value.c_str());
    BOOL started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &child);
    SetEnvironmentVariableW(variable, nullptr);
    if (!started) return;
    CloseHandle(child.hThread);
    process_.Reset(child.hProcess);
    id_ = child.dwProcessId;
}

bool ChildRun::Await(DWORD timeoutMs, DWORD& exitCode) {
    bool inTime = WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
    if (!inTime) {
        TerminateProcess(process_.Get(), 99);
        WaitForSingleObject(process_.Get(), 5000);
    }
    exitCode = 99;
    GetExitCodeProcess(process_.Get(), &exitCode);
    return inTime;
}

}  // namespace test_support
