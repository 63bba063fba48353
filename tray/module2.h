// The notification-area icon and the hook in front of the main window's procedure.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string_view>

#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/picture.h"

namespace Module2 {

// The message the shell sends to the main window for mouse events over the icon; lParam
// carries the mouse message.
constexpr UINT kTrayCallback = 2025;

// Characters of the tooltip field, its terminating NUL included.
constexpr int kTipLength = 64;

// The tray record as the program keeps it: the shell's notify-icon fields in the shell's
// order, with the tip held as wide characters.
struct TrayRecord {
    DWORD cbSize = 0;
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr;
    wchar_t szTip[kTipLength] = {};
};

// The record the shell receives: the first, ANSI form of its notify-icon record.
struct ShellTrayRecord {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    char szTip[kTipLength];
};
static_assert(sizeof(ShellTrayRecord) == NOTIFYICONDATAA_V1_SIZE, "the shell's first notify-icon record");
#ifndef _WIN64
static_assert(sizeof(ShellTrayRecord) == 88, "the 32-bit shell's first notify-icon record is 88 bytes");
#endif

// The one seam in front of the shell's notify-icon call. Tests may put an observer in
// front that records the record's bytes and then makes the real call.
struct Seams {
    decltype(&::Shell_NotifyIconA) notifyIcon = &::Shell_NotifyIconA;
};
extern Seams seams;

// Module state, zero until AddTrayIcon runs; one set for the whole process.
extern LONG_PTR OldWindowProc;      // the main window's procedure before the hook
extern runtime::Form* TrayForm;     // the hooked form, on which the menu pops up
extern runtime::Menu* TrayMenu;     // the icon's pop-up menu
extern TrayRecord TrayData;         // reused by every call to the shell

// Hooks form's window and adds the icon, with menu as the icon's pop-up menu.
void AddTrayIcon(runtime::Form& form, runtime::Menu& menu);
// Sets the icon's picture, when picture is an icon.
void SetTrayIcon(const runtime::Picture& picture);
// Sets the icon's tooltip; text beyond 63 characters is cut so that the NUL stays.
void SetTrayTip(std::wstring_view tip);

// The procedure put in front of the main window's own: shows the hooked form on a left
// release over the icon, pops up the menu on a right release, passes on everything else.
LRESULT CALLBACK TrayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace Module2
