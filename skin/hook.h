// Puts one skin procedure in front of a window's own, with its data; the procedure passes
// messages on with CallNext. Other code may later put its procedure in front of ours.
#pragma once

#include <windows.h>

namespace skin {

using HookProc = LRESULT(CALLBACK*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR data);

// Hooks window, or gives the hook that is already there with the same proc and id new data.
bool Hook(HWND window, HookProc proc, UINT_PTR id, DWORD_PTR data);
// The data of the hook proc/id on window, if there is one.
bool HookData(HWND window, HookProc proc, UINT_PTR id, DWORD_PTR* data);
// Stops calling proc; the window's messages pass straight on from then on.
bool Unhook(HWND window, HookProc proc, UINT_PTR id);
// Passes a message on to the procedure the window had before the hook.
LRESULT CallNext(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace skin
