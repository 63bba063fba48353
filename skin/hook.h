// Puts one skin procedure in front of a window's own, with its data; the procedure passes
// messages on with CallNext. Other code may later put its procedure in front of ours.
#pragma once

#include <windows.h>

#include <memory>

#include "runtime/error.h"

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

// A message as it reached a hook, to pass on as it came or with other parameters.
struct HookedMessage {
    HWND window;
    UINT id;
    WPARAM wParam;
    LPARAM lParam;

    LRESULT PassOn() const { return CallNext(window, id, wParam, lParam); }
    LRESULT PassOn(WPARAM otherWParam, LPARAM otherLParam) const {
        return CallNext(window, id, otherWParam, otherLParam);
    }
};

// The procedure of a hook that owns a State: each message goes to State::OnMessage, and
// the state is deleted when the window goes.
template <typename State>
LRESULT CALLBACK OwningHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    return runtime::Guarded<LRESULT>([&]() -> LRESULT {
        auto* state = reinterpret_cast<State*>(data);
        if (message == WM_NCDESTROY) {
            Unhook(window, &OwningHookProc<State>, id);
            delete state;
            return CallNext(window, message, wParam, lParam);
        }
        return state->OnMessage(HookedMessage{window, message, wParam, lParam});
    });
}

// Hooks window with OwningHookProc<State> under State::kHookId, or hands the hook already
// there the new state and deletes the old one.
template <typename State>
void HookOwning(HWND window, std::unique_ptr<State> state) {
    HookProc proc = &OwningHookProc<State>;
    DWORD_PTR old = 0;  // stays 0 when the window is not hooked yet
    HookData(window, proc, State::kHookId, &old);
    if (!Hook(window, proc, State::kHookId, reinterpret_cast<DWORD_PTR>(state.get()))) {
        runtime::Raise(runtime::kOutOfMemory);
    }
    state.release();
    delete reinterpret_cast<State*>(old);
}

}  // namespace skin
