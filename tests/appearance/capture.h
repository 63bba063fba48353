// Pixels of a window as the system drew them, and a PNG writer to keep them as a file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace appearance {

// Colours as 0xRRGGBB, rows top first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Repaints window with its children and copies what it shows: the client area, or with
// wholeWindow its frame too. Children are included; windows overlapping it are not.
Image Capture(HWND window, bool wholeWindow);

// Writes image as an uncompressed 24-bit PNG; false if the file cannot be written.
bool WritePng(const std::wstring& path, const Image& image);

}  // namespace appearance
