// Owning wrappers for the kernel, GDI and user handles the runtime creates.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace runtime {

// The runtime hands window, icon and GDI handles out as 32-bit Longs. Such handles have 32
// significant bits on 64-bit Windows too, which issues them sign-extended: widen them back
// the same way.
template <typename Handle>
int32_t ToLong(Handle handle) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(handle));
}
template <typename Handle>
Handle FromLong(int32_t value) {
    return reinterpret_cast<Handle>(static_cast<intptr_t>(value));
}

// Owns one handle and releases it as Release says; moves, never copies. IsValid says which
// values are handles at all, and only those are released.
template <typename Handle, auto Release, auto IsValid>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return IsValid(handle_); }
    void Reset(Handle handle = nullptr) {
        if (*this) Release(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

inline bool NotNull(const void* handle) { return handle != nullptr; }
// Kernel calls report failure with either null or INVALID_HANDLE_VALUE.
inline bool IsKernelHandle(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }

// A GDI object (font, brush, bitmap), deleted.
template <typename Handle>
using GdiObject = UniqueHandle<Handle, &DeleteObject, &NotNull>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

// A kernel handle (process, thread, file, mapping, snapshot), closed.
using KernelHandle = UniqueHandle<HANDLE, &CloseHandle, &IsKernelHandle>;

// A menu that no window holds as its menu bar, destroyed.
using OwnedMenu = UniqueHandle<HMENU, &DestroyMenu, &NotNull>;

// Selects an object into a DC for a scope and puts the previous one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectObjectScope() { SelectObject(dc_, previous_); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// A memory DC compatible with another DC.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// GetDC (or GetDCEx with flags) / ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(HWND window, DWORD flags) : window_(window), dc_(GetDCEx(window, nullptr, flags)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace runtime
