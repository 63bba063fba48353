// Top-down 32-bit device-independent bitmaps: rows from the top, one 0x00RRGGBB word a pixel.
// Header-only, so that tools outside the runtime can use it without linking it.
#pragma once

#include <windows.h>

#include "runtime/handles.h"

namespace runtime {

inline BITMAPINFO TopDownDibInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A DIB section of that layout, null when it can't be made; bits, when given, receives
// its pixels.
inline Bitmap CreateTopDownDib(int width, int height, void** bits = nullptr, HDC dc = nullptr) {
    BITMAPINFO info = TopDownDibInfo(width, height);
    void* ignored = nullptr;
    return Bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits ? bits : &ignored, nullptr, 0));
}

}  // namespace runtime
