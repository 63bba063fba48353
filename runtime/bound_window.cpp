#include "runtime/bound_window.h"

namespace runtime {

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, name, &existing)) return;
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.style = style;
    cls.lpfnWndProc = procedure;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = name;
    if (!RegisterClassExW(&cls)) Raise(kOutOfMemory);
}

namespace detail {

void Bind(HWND window, void* object) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

}  // namespace detail

}  // namespace runtime
