// Painters of the skin: each draws one piece of a skinned window into a DC and a rectangle.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "skin/skin_images.h"

namespace skin {

// Where the skin draws each piece of a window's frame, in window coordinates.
struct FrameLayout {
    struct Box {
        BoxKind kind;
        RECT rect;
        int hit;  // HTCLOSE, HTMAXBUTTON or HTMINBUTTON
    };
    SIZE window{};
    RECT client{};   // the client area, which the frame leaves alone
    RECT caption{};  // the caption band, from the outer edge down to the client area
    RECT icon{};     // the system-menu icon; empty without a system menu
    RECT text{};
    std::vector<Box> boxes;  // right to left

    static FrameLayout Of(HWND window, const SkinImages& images);
    // The caption part under a window point: HTCLOSE, HTMAXBUTTON, HTMINBUTTON,
    // HTSYSMENU, HTCAPTION, or HTNOWHERE outside the caption.
    int HitCaption(POINT windowPoint) const;
};

struct FrameLook {
    bool active = true;
    int hotBox = HTNOWHERE;      // box under the mouse
    int pressedBox = HTNOWHERE;  // box held down with the mouse over it
    HICON icon = nullptr;
    std::wstring caption;
};

// Draws the whole frame (everything outside layout.client) into dc, whose origin is the
// window's top-left corner.
void PaintFrame(HDC dc, const SkinImages& images, const FrameLayout& layout, const FrameLook& look);

// Fills rect with the skin's client surface, tiled from the DC's origin.
void PaintClientSurface(HDC dc, const SkinImages& images, const RECT& rect);

// Draws a push button's face and caption; the background behind its rounded corners must
// already be in dc.
void PaintButton(HDC dc, const SkinImages& images, const RECT& rect, ButtonState state, const std::wstring& text,
                 HFONT font, COLORREF textColour);

}  // namespace skin
