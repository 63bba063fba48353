#include "runtime/twips.h"

#include <windows.h>

#include <cmath>

namespace runtime {

namespace {

constexpr float kTwipsPerInch = 1440.0f;

int ReadDpi(int index) {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, index) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

int ScreenDpiX() {
    static const int dpi = ReadDpi(LOGPIXELSX);
    return dpi;
}

int ScreenDpiY() {
    static const int dpi = ReadDpi(LOGPIXELSY);
    return dpi;
}

float TwipsPerPixelX() { return kTwipsPerInch / static_cast<float>(ScreenDpiX()); }
float TwipsPerPixelY() { return kTwipsPerInch / static_cast<float>(ScreenDpiY()); }

int TwipsToPixelsX(float twips) { return static_cast<int>(std::lround(twips / TwipsPerPixelX())); }
int TwipsToPixelsY(float twips) { return static_cast<int>(std::lround(twips / TwipsPerPixelY())); }
float PixelsToTwipsX(int pixels) { return static_cast<float>(pixels) * TwipsPerPixelX(); }
float PixelsToTwipsY(int pixels) { return static_cast<float>(pixels) * TwipsPerPixelY(); }

int PointsToFontHeight(float points) {
    return -static_cast<int>(std::lround(points * static_cast<float>(ScreenDpiY()) / 72.0f));
}

}  // namespace runtime
