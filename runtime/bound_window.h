// Windows bound to the C++ object that handles their messages, and the registration of
// their classes.
#pragma once

#include <windows.h>

#include <memory>

#include "runtime/error.h"

namespace runtime {

// Registers a class of this module's windows with the arrow cursor, unless it is there
// already; raises when it can't be registered.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style = 0);

// The object a window is bound to; nullptr before WM_NCCREATE and after the binding ends.
template <typename Object>
Object* BoundObject(HWND window) {
    return reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

template <typename Object>
using MessageHandler = LRESULT (*)(Object& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace detail {

void Bind(HWND window, void* object);

template <typename Object, MessageHandler<Object> Handle, bool owns>
LRESULT BoundMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        void* parameter = reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams;
        if constexpr (owns) {
            // Taken from the creator here: from now on the window's destruction frees it,
            // also when creation fails after this point.
            auto* owner = static_cast<std::unique_ptr<Object>*>(parameter);
            Bind(window, owner ? owner->release() : nullptr);
        } else {
            Bind(window, parameter);
        }
    }
    Object* object = BoundObject<Object>(window);
    if (!object) return DefWindowProcW(window, message, wParam, lParam);
    if (owns && message == WM_NCDESTROY) {
        std::unique_ptr<Object> last(object);
        Bind(window, nullptr);
        return Handle(*last, window, message, wParam, lParam);
    }
    return Handle(*object, window, message, wParam, lParam);
}

}  // namespace detail

// The window procedure of a class whose windows are bound to an Object that outlives
// them: CreateWindowEx's parameter is an Object*, bound at WM_NCCREATE, and each message
// from then on goes to Handle.
template <typename Object, MessageHandler<Object> Handle>
LRESULT CALLBACK BoundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded<LRESULT>(
        [&]() -> LRESULT { return detail::BoundMessage<Object, Handle, false>(window, message, wParam, lParam); });
}

// The same for windows that own their Object: CreateWindowEx's parameter is a
// std::unique_ptr<Object>*, emptied at WM_NCCREATE, and the Object is deleted once Handle
// has had WM_NCDESTROY. Whether creation fails before WM_NCCREATE or after, the Object is
// freed once: by the caller's pointer, or by the window.
template <typename Object, MessageHandler<Object> Handle>
LRESULT CALLBACK OwningWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded<LRESULT>(
        [&]() -> LRESULT { return detail::BoundMessage<Object, Handle, true>(window, message, wParam, lParam); });
}

}  // namespace runtime
