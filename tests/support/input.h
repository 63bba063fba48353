// Real mouse and keyboard input, through the system's input queue like the user's own.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

namespace test_support {

// SendInput's absolute coordinate for the pixel at `pixel` of a screen `extent` pixels across.
// The system finds the pixel as coordinate * extent / 65536, rounded down, so the smallest
// coordinate that does so lands exactly on it.
LONG AbsoluteCoordinate(int pixel, int extent);

// One movement of the user's mouse: flags are MOUSEEVENTF_ values; with MOUSEEVENTF_MOVE the
// pointer goes to screen point `at`, otherwise buttons act wherever it is.
struct MouseStep {
    DWORD flags;
    POINT at{};
};

// Sends the steps in one input, so that nothing comes between them; says whether the system
// took them all.
bool SendMouse(std::initializer_list<MouseStep> steps);
bool SendMouse(DWORD flags, POINT at = {});

// The pointer moved to x, y and the left button pressed there, or released there.
bool PressLeftAt(int x, int y);
bool ReleaseLeftAt(int x, int y);

// Each key pressed and released in turn, with heldDown (VK_SHIFT, say) held around them all.
bool PressKeys(const std::vector<WORD>& keys, WORD heldDown = 0);

}  // namespace test_support
