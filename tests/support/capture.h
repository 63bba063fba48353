// Pixels of a window or of the screen as the system drew them, and a PNG writer to keep them
// as a file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace test_support {

// Colours as 0xRRGGBB, rows top first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool operator==(const Image&) const = default;
};

// How a failed comparison shows an image: its size, not a dump of its bytes.
inline void PrintTo(const Image& image, std::ostream* out) { *out << image.width << " x " << image.height << " image"; }

// Repaints window with its children and copies what it shows: the client area, or with
// wholeWindow its frame too. Children are included; windows overlapping it are not.
Image Capture(HWND window, bool wholeWindow);

// Copies what window shows now in rect, without repainting: rect is in client coordinates,
// or with wholeWindow in the coordinates of the whole window, frame included.
Image CaptureRect(HWND window, const RECT& rect, bool wholeWindow);

// The screen's pixels in rect, windows of every process as the system composes them.
Image CaptureScreen(const RECT& rect);

// Writes image as an uncompressed 24-bit PNG; false if the file cannot be written.
bool WritePng(const std::wstring& path, const Image& image);

}  // namespace test_support
