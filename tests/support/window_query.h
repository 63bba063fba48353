// What tests ask of windows: which ones there are and whose, their class, text and place.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace test_support {

// Classes the system gives its own windows.
constexpr wchar_t kDialogClass[] = L"#32770";  // dialog boxes, message boxes among them
constexpr wchar_t kMenuClass[] = L"#32768";    // pop-up menus

// Every top-level window on the desktop, front to back.
std::vector<HWND> TopLevelWindows();
// Every window inside parent, at any depth.
std::vector<HWND> Descendants(HWND parent);

DWORD ProcessOf(HWND window);
std::wstring ClassOf(HWND window);
// Whether window is of the class, named in any case as the system compares them.
bool IsClass(HWND window, const wchar_t* className);

// A process's visible top-level windows, of className when one is given.
std::vector<HWND> VisibleWindowsOf(DWORD process, const wchar_t* className = nullptr);
// This process's.
std::vector<HWND> OwnVisibleWindows(const wchar_t* className = nullptr);
// The first of them, or nullptr.
HWND OwnVisibleWindow(const wchar_t* className);

// A window's text as the system holds it, whole. For another process's window this sends
// the window no message, so it cannot change what that program does.
std::wstring WindowText(HWND window);

// A child's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);

}  // namespace test_support
