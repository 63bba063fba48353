// Records each process the runtime starts, in front of the real start, which still happens.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/seams.h"
#include "tests/support/seam_override.h"

namespace test_support {

struct StartedProcess {
    std::wstring application;
    std::wstring commandLine;
    int showWindow;
};

// While alive, every process start through the runtime's seam is recorded here.
class ProcessObserver : public SeamOverride<ProcessObserver, decltype(runtime::Seams::createProcess)> {
public:
    ProcessObserver();

    const std::vector<StartedProcess>& Started() const { return started_; }
    std::vector<std::wstring> CommandLines() const;
    void Clear() { started_.clear(); }
    // Runs at each start, before the real one: lets a test see the state at that moment.
    void OnStart(std::function<void(const StartedProcess&)> callback) { onStart_ = std::move(callback); }

private:
    static BOOL WINAPI Record(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                              LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                              LPCWSTR directory, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION info);

    std::vector<StartedProcess> started_;
    std::function<void(const StartedProcess&)> onStart_;
};

}  // namespace test_support
