#include "skin/hook.h"

#include "runtime/error.h"

namespace skin {

namespace {

constexpr wchar_t kHookProperty[] = L"HushlineSkinHook";

struct HookRecord {
    WNDPROC previous = nullptr;
    HookProc proc = nullptr;  // nullptr once unhooked: a pass-through until the window goes
    UINT_PTR id = 0;
    DWORD_PTR data = 0;
};

HookRecord* Find(HWND window) { return static_cast<HookRecord*>(GetPropW(window, kHookProperty)); }

LRESULT CALLBACK HookEntry(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return runtime::Guarded<LRESULT>([&]() -> LRESULT {
        HookRecord* record = Find(window);
        if (!record) return DefWindowProcW(window, message, wParam, lParam);
        LRESULT result = record->proc ? record->proc(window, message, wParam, lParam, record->id, record->data)
                                      : CallWindowProcW(record->previous, window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            // The procedure can't be put back while another stands in front of ours, so the
            // record lives exactly as long as the window.
            RemovePropW(window, kHookProperty);
            delete record;
        }
        return result;
    });
}

}  // namespace

bool Hook(HWND window, HookProc proc, UINT_PTR id, DWORD_PTR data) {
    if (HookRecord* record = Find(window)) {
        if (record->proc && (record->proc != proc || record->id != id)) return false;
        record->proc = proc;
        record->id = id;
        record->data = data;
        return true;
    }
    auto* record = new HookRecord{nullptr, proc, id, data};
    if (!SetPropW(window, kHookProperty, record)) {
        delete record;
        return false;
    }
    record->previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookEntry)));
    if (!record->previous) {
        RemovePropW(window, kHookProperty);
        delete record;
        return false;
    }
    return true;
}

bool HookData(HWND window, HookProc proc, UINT_PTR id, DWORD_PTR* data) {
    HookRecord* record = Find(window);
    if (!record || record->proc != proc || record->id != id) return false;
    *data = record->data;
    return true;
}

bool Unhook(HWND window, HookProc proc, UINT_PTR id) {
    HookRecord* record = Find(window);
    if (!record || record->proc != proc || record->id != id) return false;
    record->proc = nullptr;
    record->data = 0;
    return true;
}

LRESULT CallNext(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HookRecord* record = Find(window);
    if (!record || !record->previous) return DefWindowProcW(window, message, wParam, lParam);
    return CallWindowProcW(record->previous, window, message, wParam, lParam);
}

}  // namespace skin
