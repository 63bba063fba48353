#include "tests/support/process_observer.h"

namespace test_support {

ProcessObserver::ProcessObserver() : SeamOverride(runtime::seams.createProcess, &Record) {}

BOOL WINAPI ProcessObserver::Record(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                                    LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                                    LPCWSTR directory, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION info) {
    ProcessObserver& self = Active();
    self.started_.push_back({application ? application : L"", commandLine ? commandLine : L"",
                             (startup && (startup->dwFlags & STARTF_USESHOWWINDOW)) ? startup->wShowWindow : -1});
    if (self.onStart_) self.onStart_(self.started_.back());
    return self.Previous()(application, commandLine, process, thread, inherit, flags, environment, directory, startup,
                           info);
}

std::vector<std::wstring> ProcessObserver::CommandLines() const {
    std::vector<std::wstring> lines;
    for (const StartedProcess& started : started_) lines.push_back(started.commandLine);
    return lines;
}

}  // namespace test_support
