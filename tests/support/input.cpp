#include "tests/support/input.h"

namespace test_support {

namespace {

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

bool Send(std::vector<INPUT>& inputs) {
    UINT count = static_cast<UINT>(inputs.size());
    return SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

}  // namespace

LONG AbsoluteCoordinate(int pixel, int extent) {
    return static_cast<LONG>((static_cast<LONGLONG>(pixel) * 65536 + extent - 1) / extent);
}

bool SendMouse(std::initializer_list<MouseStep> steps) {
    std::vector<INPUT> inputs;
    for (const MouseStep& step : steps) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = step.flags;
        if (step.flags & MOUSEEVENTF_MOVE) {
            input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
            input.mi.dx = AbsoluteCoordinate(step.at.x, GetSystemMetrics(SM_CXSCREEN));
            input.mi.dy = AbsoluteCoordinate(step.at.y, GetSystemMetrics(SM_CYSCREEN));
        }
        inputs.push_back(input);
    }
    return Send(inputs);
}

bool SendMouse(DWORD flags, POINT at) { return SendMouse({MouseStep{flags, at}}); }

bool PressLeftAt(int x, int y) {
    return SendMouse({{MOUSEEVENTF_MOVE, POINT{x, y}}, {MOUSEEVENTF_LEFTDOWN}});
}

bool ReleaseLeftAt(int x, int y) {
    return SendMouse({{MOUSEEVENTF_MOVE, POINT{x, y}}, {MOUSEEVENTF_LEFTUP}});
}

bool PressKeys(const std::vector<WORD>& keys, WORD heldDown) {
    std::vector<INPUT> inputs;
    if (heldDown) inputs.push_back(KeyInput(heldDown, false));
    for (WORD key : keys) {
        inputs.push_back(KeyInput(key, false));
        inputs.push_back(KeyInput(key, true));
    }
    if (heldDown) inputs.push_back(KeyInput(heldDown, true));
    return Send(inputs);
}

}  // namespace test_support
