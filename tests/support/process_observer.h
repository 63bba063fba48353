// Records each process the runtime starts, in front of the real start, which still happens.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace test_support {

struct StartedProcess {
    std::wstring application;
    std::wstring commandLine;
    int showWindow;
};

// While alive, every process start through the runtime's seam is recorded here.
class ProcessObserver {
public:
    ProcessObserver();
    ~ProcessObserver();
    ProcessObserver(const ProcessObserver&) = delete;
    ProcessObserver& operator=(const ProcessObserver&) = delete;

    const std::vector<StartedProcess>& Started() const;
    std::vector<std::wstring> CommandLines() const;
    void Clear();
    // Runs at each start, before the real one: lets a test see the state at that moment.
    void OnStart(std::function<void(const StartedProcess&)> callback);
};

}  // namespace test_support
