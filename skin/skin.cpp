#include "skin/skin.h"

#include <windows.h>
#include <commctrl.h>

#include "runtime/error.h"

namespace skin {

namespace {

constexpr UINT_PTR kSubclassId = 0x534B4E31;  // 'SKN1'

LRESULT CALLBACK SkinnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR) {
    return runtime::Guarded<LRESULT>([&] { return DefSubclassProc(window, message, wParam, lParam); });
}

}  // namespace

int32_t Skin::ApplySkin(int32_t hWnd) {
    HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(hWnd));
    if (!IsWindow(window)) runtime::Raise(runtime::kInvalidCall);
    if (!SetWindowSubclass(window, &SkinnedWindowProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        runtime::Raise(runtime::kOutOfMemory);
    }
    return 0;
}

}  // namespace skin
