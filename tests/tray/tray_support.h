// Test helpers for the tray: a recorder at the shell seam, a recorder put behind the tray
// hook, and a driver that works a pop-up menu with real keyboard and mouse input.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/seam_override.h"
#include "tray/module2.h"

namespace tray_test {

// The size of the shell's first notify-icon record: 88 bytes in the 32-bit build, and in a
// 64-bit one the platform's own layout, with its 8-byte handles aligned.
#ifdef _WIN64
constexpr DWORD kRecordSize = 104;
constexpr char kRecordSizeBytes[] = "\x68\0\0\0";
#else
constexpr DWORD kRecordSize = 88;
constexpr char kRecordSizeBytes[] = "\x58\0\0\0";
#endif

struct NotifyCall {
    DWORD operation;
    std::array<unsigned char, sizeof(Module2::ShellTrayRecord)> bytes;  // what the shell got, up to cbSize
    DWORD cbSize;
    BOOL result;                          // the real call's answer

    Module2::ShellTrayRecord Record() const;
};

// While alive, every call through the tray's shell seam is recorded, then made for real.
class NotifyRecorder : public test_support::SeamOverride<NotifyRecorder, decltype(Module2::Seams::notifyIcon)> {
public:
    NotifyRecorder();

    const std::vector<NotifyCall>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }

private:
    static BOOL WINAPI Record(DWORD operation, PNOTIFYICONDATAA data);

    std::vector<NotifyCall> calls_;
};

struct PassedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// While alive, sits between the tray hook and the main window's previous procedure: it
// records every message that is passed on, answers the probe messages itself with
// kProbeResult, and hands the rest to the real previous procedure.
class PreviousProcRecorder : public test_support::SeamOverride<PreviousProcRecorder, LONG_PTR> {
public:
    static constexpr LRESULT kProbeResult = 0x5EED1;

    explicit PreviousProcRecorder(std::vector<UINT> probes);

    const std::vector<PassedMessage>& Passed() const { return passed_; }
    bool SawMessage(UINT message) const;
    void Clear() { passed_.clear(); }

private:
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<UINT> probes_;
    std::vector<PassedMessage> passed_;
};

// The visible pop-up menu window of this process, or nullptr.
HWND FindPopupMenu();

// Runs script on a thread of its own once a pop-up menu of this process is on screen,
// while the test's thread sits in the menu's loop. Whatever happens, the menu is closed
// before the driver is joined, so a failed step cannot hang the test. Joining before any
// menu appeared ends the wait: a driver also serves as a guard where no menu may open.
class MenuDriver {
public:
    using Script = std::function<void(HWND menu)>;
    explicit MenuDriver(Script script, DWORD timeoutMs = 5000);
    ~MenuDriver();
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;

    // Ends the wait for a menu, then waits for the script to end.
    void Join();
    bool MenuAppeared() const { return menuAppeared_; }
    RECT MenuRect() const { return menuRect_; }
    // Whether the menu closed after the script without the driver's fallback.
    bool ClosedByScript() const { return closedByScript_; }

private:
    void Run();

    Script script_;
    DWORD timeoutMs_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> menuAppeared_{false};
    std::atomic<bool> closedByScript_{false};
    RECT menuRect_{};
    std::thread thread_;  // last: starts once the members above exist
};

}  // namespace tray_test
