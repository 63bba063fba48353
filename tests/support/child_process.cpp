#include "tests/support/child_process.h"

namespace test_support {

namespace {
constexpr UINT kEndedByTest = 99;
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder) {
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &child)) {
        return;
    }
    CloseHandle(child.hThread);
    process_.Reset(child.hProcess);
    id_ = child.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (!process_ || HasEnded()) return;
    TerminateProcess(process_.Get(), kEndedByTest);
    WaitForSingleObject(process_.Get(), 10000);
}

bool ChildProcess::Await(DWORD timeoutMs, DWORD& exitCode) {
    bool inTime = WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
    if (!inTime) {
        TerminateProcess(process_.Get(), kEndedByTest);
        WaitForSingleObject(process_.Get(), 10000);
    }
    exitCode = kEndedByTest;
    GetExitCodeProcess(process_.Get(), &exitCode);
    return inTime;
}

ChildProcess StartTestCopy(const std::wstring& exe, const std::wstring& filter, const wchar_t* variable,
                           const std::wstring& value) {
    SetEnvironmentVariableW(variable, value.c_str());
    ChildProcess child(exe, L"--gtest_filter=" + filter);
    SetEnvironmentVariableW(variable, nullptr);
    return child;
}

}  // namespace test_support
