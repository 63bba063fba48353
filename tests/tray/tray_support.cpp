#include "tests/tray/tray_support.h"

#include <algorithm>
#include <cstring>

#include "tests/support/pump.h"
#include "tests/support/window_query.h"

namespace tray_test {

Module2::ShellTrayRecord NotifyCall::Record() const {
    Module2::ShellTrayRecord record;
    std::memcpy(&record, bytes.data(), sizeof(record));
    return record;
}

NotifyRecorder::NotifyRecorder() : SeamOverride(Module2::seams.notifyIcon, &Record) {}

BOOL WINAPI NotifyRecorder::Record(DWORD operation, PNOTIFYICONDATAA data) {
    NotifyCall call{};
    call.operation = operation;
    call.cbSize = data ? data->cbSize : 0;
    if (data) std::memcpy(call.bytes.data(), data, std::min<size_t>(call.cbSize, call.bytes.size()));
    call.result = Active().Previous()(operation, data);
    Active().calls_.push_back(call);
    return call.result;
}

PreviousProcRecorder::PreviousProcRecorder(std::vector<UINT> probes)
    : SeamOverride(Module2::OldWindowProc, reinterpret_cast<LONG_PTR>(&Record)), probes_(std::move(probes)) {}

LRESULT CALLBACK PreviousProcRecorder::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PreviousProcRecorder& self = Active();
    self.passed_.push_back({message, wParam, lParam});
    if (std::find(self.probes_.begin(), self.probes_.end(), message) != self.probes_.end()) return kProbeResult;
    return CallWindowProcA(reinterpret_cast<WNDPROC>(self.Previous()), window, message, wParam, lParam);
}

bool PreviousProcRecorder::SawMessage(UINT message) const {
    return std::any_of(passed_.begin(), passed_.end(), [&](const PassedMessage& m) { return m.message == message; });
}

HWND FindPopupMenu() { return test_support::OwnVisibleWindow(test_support::kMenuClass); }

MenuDriver::MenuDriver(Script script, DWORD timeoutMs)
    : script_(std::move(script)), timeoutMs_(timeoutMs), thread_([this] { Run(); }) {}

MenuDriver::~MenuDriver() { Join(); }

void MenuDriver::Join() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void MenuDriver::Run() {
    using test_support::WaitUntil;
    HWND menu = nullptr;
    if (!WaitUntil([&] { return stop_ || (menu = FindPopupMenu()) != nullptr; }, timeoutMs_) || !menu) return;
    menuAppeared_ = true;
    GetWindowRect(menu, &menuRect_);
    script_(menu);
    closedByScript_ = WaitUntil([] { return FindPopupMenu() == nullptr; }, timeoutMs_);
    // Fallback: keys posted to the menu's thread, which its loop reads, so that a script
    // whose input went astray still lets the test's thread out of the menu.
    for (int tries = 0; tries < 50; ++tries) {
        HWND open = FindPopupMenu();
        if (!open) return;
        PostMessageW(open, WM_KEYDOWN, VK_ESCAPE, 0);
        Sleep(100);
    }
    EndMenu();
}

}  // namespace tray_test
