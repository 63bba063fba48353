#include "tests/tray/tray_support.h"

#include <algorithm>
#include <cstring>

namespace tray_test {

namespace {

std::vector<NotifyCall> g_calls;
decltype(Module2::Seams::notifyIcon) g_realNotify = nullptr;

BOOL WINAPI RecordingNotify(DWORD operation, PNOTIFYICONDATAA data) {
    NotifyCall call{};
    call.operation = operation;
    call.cbSize = data ? data->cbSize : 0;
    if (data) std::memcpy(call.bytes.data(), data, std::min<size_t>(call.cbSize, call.bytes.size()));
    call.result = g_realNotify(operation, data);
    g_calls.push_back(call);
    return call.result;
}

std::vector<PassedMessage> g_passed;
std::vector<UINT> g_probes;
LONG_PTR g_realPrevious = 0;

LRESULT CALLBACK RecordingPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_passed.push_back({message, wParam, lParam});
    if (std::find(g_probes.begin(), g_probes.end(), message) != g_probes.end()) {
        return PreviousProcRecorder::kProbeResult;
    }
    return CallWindowProcA(reinterpret_cast<WNDPROC>(g_realPrevious), window, message, wParam,
                           lParam);
}

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameW(window, className, 16) && std::wcscmp(className, L"#32768") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

Module2::ShellTrayRecord NotifyCall::Record() const {
    Module2::ShellTrayRecord record;
    std::memcpy(&record, bytes.data(), sizeof(record));
    return record;
}

NotifyRecorder::NotifyRecorder() {
    g_calls.clear();
    g_realNotify = Module2::seams.notifyIcon;
    Module2::seams.notifyIcon = &RecordingNotify;
}

NotifyRecorder::~NotifyRecorder() { Module2::seams.notifyIcon = g_realNotify; }

const std::vector<NotifyCall>& NotifyRecorder::Calls() const { return g_calls; }

void NotifyRecorder::Clear() { g_calls.clear(); }

PreviousProcRecorder::PreviousProcRecorder(std::vector<UINT> probes) {
    g_passed.clear();
    g_probes = std::move(probes);
    g_realPrevious = Module2::OldWindowProc;
    Module2::OldWindowProc = reinterpret_cast<LONG_PTR>(&RecordingPrevious);
}

PreviousProcRecorder::~PreviousProcRecorder() { Module2::OldWindowProc = g_realPrevious; }

const std::vector<PassedMessage>& PreviousProcRecorder::Passed() const { return g_passed; }

bool PreviousProcRecorder::SawMessage(UINT message) const {
    return std::any_of(g_passed.begin(), g_passed.end(), [&](const PassedMessage& m) { return m.message == message; });
}

void PreviousProcRecorder::Clear() { g_passed.clear(); }

HWND FindPopupMenu() {
    HWND found = nullptr;
    EnumWindows(&FindMenuWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void PressKeys(const std::vector<WORD>& keys) {
    for (WORD key : keys) {
        INPUT input[2] = {};
        input[0].type = INPUT_KEYBOARD;
        input[0].ki.wVk = key;
        input[1] = input[0];
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
    }
}

namespace {

void SendMouse(int x, int y, DWORD button) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input[2] = {};
    for (INPUT& one : input) {
        one.type = INPUT_MOUSE;
        one.mi.dx = (x * 65536 + width / 2) / width;
        one.mi.dy = (y * 65536 + height / 2) / height;
    }
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].mi.dwFlags = button | MOUSEEVENTF_ABSOLUTE;
    SendInput(2, input, sizeof(INPUT));
}

}  // namespace

void PressLeftAt(int x, int y) { SendMouse(x, y, MOUSEEVENTF_LEFTDOWN); }

void ReleaseLeftAt(int x, int y) { SendMouse(x, y, MOUSEEVENTF_LEFTUP); }

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(10);
    }
}

MenuDriver::MenuDriver(Script script, DWORD timeoutMs)
    : script_(std::move(script)), timeoutMs_(timeoutMs), thread_([this] { Run(); }) {}

MenuDriver::~MenuDriver() { Join(); }

void MenuDriver::Join() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void MenuDriver::Run() {
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
