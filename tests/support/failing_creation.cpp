#include "tests/support/failing_creation.h"

namespace test_support {

namespace {

struct Failing {
    const wchar_t* className = nullptr;
    CreationStep step = CreationStep::None;
    WNDPROC classProc = nullptr;
} g_failing;

LRESULT CALLBACK InFrontOfClass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE && g_failing.step == CreationStep::NcCreate) return FALSE;
    if (message == WM_CREATE && g_failing.step == CreationStep::Create) return -1;
    return CallWindowProcW(g_failing.classProc, window, message, wParam, lParam);
}

bool IsFailingClass(HWND window) {
    wchar_t name[128] = {};
    return GetClassNameW(window, name, 128) > 0 && lstrcmpiW(name, g_failing.className) == 0;
}

// The window exists but has had no message yet: the place to refuse it, or to stand in
// front of its procedure from its first message on.
LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && g_failing.step != CreationStep::None && IsFailingClass(window)) {
        if (g_failing.step == CreationStep::Hook) return 1;
        g_failing.classProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&InFrontOfClass)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

FailingCreation::FailingCreation(const wchar_t* className, CreationStep step) {
    g_failing = Failing{className, step, nullptr};
    hook_ = SetWindowsHookExW(WH_CBT, &OnCbt, nullptr, GetCurrentThreadId());
}

FailingCreation::~FailingCreation() {
    if (hook_) UnhookWindowsHookEx(hook_);
    g_failing = Failing{};
}

}  // namespace test_support
