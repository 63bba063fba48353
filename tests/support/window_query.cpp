#include "tests/support/window_query.h"

#include <iterator>

namespace test_support {

namespace {

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, &Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

bool IsClass(HWND window, const wchar_t* className) { return _wcsicmp(ClassOf(window).c_str(), className) == 0; }

std::vector<HWND> VisibleWindowsOf(DWORD process, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND window : TopLevelWindows()) {
        if (ProcessOf(window) == process && IsWindowVisible(window) && (!className || IsClass(window, className))) {
            found.push_back(window);
        }
    }
    return found;
}

std::vector<HWND> OwnVisibleWindows(const wchar_t* className) {
    return VisibleWindowsOf(GetCurrentProcessId(), className);
}

HWND OwnVisibleWindow(const wchar_t* className) {
    std::vector<HWND> own = OwnVisibleWindows(className);
    return own.empty() ? nullptr : own.front();
}

std::wstring WindowText(HWND window) {
    // GetWindowTextW, unlike WM_GETTEXTLENGTH, reads another process's window without a
    // message; a text that fills the buffer may go on, so the buffer grows until it does not.
    std::wstring text(256, L'\0');
    for (;;) {
        int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
        if (length < static_cast<int>(text.size()) - 1 || text.size() >= 0x10000) {
            text.resize(static_cast<size_t>(length));
            return text;
        }
        text.resize(text.size() * 4);
    }
}

RECT RectInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace test_support
