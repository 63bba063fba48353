#include "tests/support/process_observer.h"

#include <windows.h>

#include "runtime/seams.h"

namespace test_support {

namespace {

std::vector<StartedProcess> g_started;
decltype(runtime::Seams::createProcess) g_real = nullptr;
std::function<void(const StartedProcess&)> g_onStart;

BOOL WINAPI RecordingCreateProcess(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                                   LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                                   LPCWSTR directory, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION info) {
    g_started.push_back({application ? application : L"", commandLine ? commandLine : L"",
                         (startup && (startup->dwFlags & STARTF_USESHOWWINDOW)) ? startup->wShowWindow : -1});
    if (g_onStart) g_onStart(g_started.back());
    return g_real(application, commandLine, process, thread, inherit, flags, environment, directory, startup, info);
}

}  // namespace

ProcessObserver::ProcessObserver() {
    g_started.clear();
    g_real = runtime::seams.createProcess;
    runtime::seams.createProcess = &RecordingCreateProcess;
}

ProcessObserver::~ProcessObserver() {
    runtime::seams.createProcess = g_real;
    g_onStart = nullptr;
}

void ProcessObserver::OnStart(std::function<void(const StartedProcess&)> callback) { g_onStart = std::move(callback); }

const std::vector<StartedProcess>& ProcessObserver::Started() const { return g_started; }

std::vector<std::wstring> ProcessObserver::CommandLines() const {
    std::vector<std::wstring> lines;
    for (const StartedProcess& started : g_started) lines.push_back(started.commandLine);
    return lines;
}

void ProcessObserver::Clear() { g_started.clear(); }

}  // namespace test_support
