// The skin's procedures in front of the windows it draws, one for each kind of window, and
// what they share.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "runtime/handles.h"
#include "skin/skin.h"

namespace skin {

// What every window and control of one apply shares.
struct Look {
    std::shared_ptr<const SkinImages> images;
    SkinSettings settings;
    runtime::Brush panelBrush;  // m_PanelColor, when the skin's colours apply
};

// Each has the skin draw one kind of window with look from then on; hooking a window again
// gives it the new look.
void HookFrame(HWND window, const std::shared_ptr<Look>& look);
void HookPushButton(HWND button, const std::shared_ptr<Look>& look);
void HookPanel(HWND panel, const std::shared_ptr<Look>& look);

// An off-screen buffer of that size, to draw in before one blit to the window.
runtime::Bitmap MakeBuffer(int width, int height);
std::wstring WindowText(HWND window);

}  // namespace skin
