// Twips (1440 to the inch) to and from pixels at the display's real DPI.
#pragma once

namespace runtime {

int ScreenDpiX();
int ScreenDpiY();

// Twips per pixel: 15 at 96 DPI.
float TwipsPerPixelX();
float TwipsPerPixelY();

int TwipsToPixelsX(float twips);
int TwipsToPixelsY(float twips);
float PixelsToTwipsX(int pixels);
float PixelsToTwipsY(int pixels);

// Font height in logical units for a size in points, as CreateFont takes it.
int PointsToFontHeight(float points);

}  // namespace runtime
