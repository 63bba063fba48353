// Dragging the main window by its bare surface, on the real Form1.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "main_window/form1.h"
#include "runtime/error.h"
#include "runtime/numeric.h"
#include "tests/support/input.h"
#include "tests/support/pump.h"

// Counts the program's own heap allocations, to show that a drag step makes none.
static std::atomic<long> g_allocations{0};

void* operator new(size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

using main_window::Form1;
using test_support::SendMouse;

constexpr int kStartLeft = 200;
constexpr int kStartTop = 150;

POINT WindowOrigin() {
    RECT rect{};
    GetWindowRect(Form1.Window(), &rect);
    return {rect.left, rect.top};
}

POINT ClientToScreenPoint(int x, int y) {
    POINT point{x, y};
    ClientToScreen(Form1.Window(), &point);
    return point;
}

// Waits for the window to stop moving after real input; gives its final origin.
POINT SettledOrigin() {
    POINT last = WindowOrigin();
    int still = 0;
    test_support::PumpUntil(
        [&] {
            POINT now = WindowOrigin();
            still = (now.x == last.x && now.y == last.y) ? still + 1 : 0;
            last = now;
            return still >= 15;
        },
        3000);
    return last;
}

class DragTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form1.Show();
        Form1.Move(static_cast<float>(kStartLeft * 15), static_cast<float>(kStartTop * 15));
        test_support::PumpFor(150);
    }
    void TearDown() override {
        for (DWORD up : {MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_MIDDLEUP}) SendMouse(up);
        test_support::PumpFor(100);
        runtime::Unload(Form1);
        test_support::PumpFor(50);
    }
};

enum class Step { LeftDown, LeftUp, RightDown, RightUp, MiddleDown, MiddleUp, Move };

struct RealInputCase {
    const char* name;
    POINT pressAt;  // client coordinates where the pointer starts
    std::vector<Step> steps;
    POINT moveBy;   // pointer displacement of each Move step
    POINT expectedShift;
};

class RealInputDragTest : public DragTest, public ::testing::WithParamInterface<RealInputCase> {};

TEST_P(RealInputDragTest, WindowFollowsOnlyALeftButtonDragOnTheBareSurface) {
    const RealInputCase& c = GetParam();
    POINT before = WindowOrigin();
    POINT pointer = ClientToScreenPoint(c.pressAt.x, c.pressAt.y);
    SendMouse(MOUSEEVENTF_MOVE, pointer);
    test_support::PumpFor(100);
    for (Step step : c.steps) {
        switch (step) {
            case Step::LeftDown: SendMouse(MOUSEEVENTF_LEFTDOWN); break;
            case Step::LeftUp: SendMouse(MOUSEEVENTF_LEFTUP); break;
            case Step::RightDown: SendMouse(MOUSEEVENTF_RIGHTDOWN); break;
            case Step::RightUp: SendMouse(MOUSEEVENTF_RIGHTUP); break;
            case Step::MiddleDown: SendMouse(MOUSEEVENTF_MIDDLEDOWN); break;
            case Step::MiddleUp: SendMouse(MOUSEEVENTF_MIDDLEUP); break;
            case Step::Move:
                pointer.x += c.moveBy.x;
                pointer.y += c.moveBy.y;
                SendMouse(MOUSEEVENTF_MOVE, pointer);
                break;
        }
        test_support::PumpFor(60);
    }
    POINT after = SettledOrigin();
    EXPECT_EQ(after.x - before.x, c.expectedShift.x);
    EXPECT_EQ(after.y - before.y, c.expectedShift.y);
}

using enum Step;
constexpr POINT kBare{4, 4};        // the top-left margin
constexpr POINT kPanel{60, 30};     // the top panel, between its buttons and label
constexpr POINT kGoButton{20, 20};  // "Go", disabled after start-up
constexpr POINT kStopButton{110, 20};
constexpr POINT kLabel{40, 50};     // the blocking status label

INSTANTIATE_TEST_SUITE_P(
    Buttons, RealInputDragTest,
    ::testing::Values(
        RealInputCase{"left", kBare, {LeftDown, Move, Move}, {15, 10}, {30, 20}},
        RealInputCase{"left_past_the_edge_in_one_step", kBare, {LeftDown, Move}, {-150, 120}, {-150, 120}},
        // The second press of a double click comes as a double-click message: it grabs and
        // holds the pointer like any press.
        RealInputCase{"double_click_then_past_the_edge", kBare, {LeftDown, LeftUp, LeftDown, Move}, {-150, 120},
                      {-150, 120}},
        RealInputCase{"right", kBare, {RightDown, Move, Move}, {15, 10}, {0, 0}},
        RealInputCase{"middle", kBare, {MiddleDown, Move, Move}, {15, 10}, {0, 0}},
        RealInputCase{"none", kBare, {Move, Move}, {15, 10}, {0, 0}},
        RealInputCase{"left_and_right", kBare, {LeftDown, RightDown, Move, Move}, {15, 10}, {0, 0}},
        RealInputCase{"left_and_middle", kBare, {LeftDown, MiddleDown, Move, Move}, {15, 10}, {0, 0}},
        RealInputCase{"all_three", kBare, {LeftDown, RightDown, MiddleDown, Move, Move}, {15, 10}, {0, 0}},
        // Releasing the right button while the left stays down resumes the drag: the grabbed
        // point catches up with the pointer, both moves included.
        RealInputCase{"left_resumes_after_right_released", kBare, {LeftDown, RightDown, Move, RightUp, Move},
                      {15, 10}, {30, 20}},
        RealInputCase{"press_on_panel", kPanel, {LeftDown, Move, Move}, {15, 10}, {0, 0}},
        RealInputCase{"press_on_disabled_button", kGoButton, {LeftDown, Move, Move}, {15, 10}, {0, 0}},
        RealInputCase{"press_on_button", kStopButton, {LeftDown, Move, Move}, {15, 10}, {0, 0}},
        RealInputCase{"press_on_label", kLabel, {LeftDown, Move, Move}, {15, 10}, {0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

// Mouse messages as the system delivers them, for exact grab points.
LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

TEST_F(DragTest, BeforeAnyPressTheGrabPointIsTheClientsTopLeft) {
    POINT before = WindowOrigin();
    SendMessageW(Form1.Window(), WM_MOUSEMOVE, MK_LBUTTON, At(7, 5));
    POINT after = WindowOrigin();
    EXPECT_EQ(after.x - before.x, 7);
    EXPECT_EQ(after.y - before.y, 5);
}

TEST_F(DragTest, ARightPressReplacesTheGrabPoint) {
    HWND window = Form1.Window();
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 4));
    SendMessageW(window, WM_LBUTTONUP, 0, At(4, 4));
    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, At(50, 4));
    SendMessageW(window, WM_RBUTTONUP, 0, At(50, 4));
    EXPECT_FLOAT_EQ(Form1.CurrentX(), 750.0f);
    EXPECT_FLOAT_EQ(Form1.CurrentY(), 60.0f);

    POINT before = WindowOrigin();
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(60, 2));
    POINT after = WindowOrigin();
    EXPECT_EQ(after.x - before.x, 10);
    EXPECT_EQ(after.y - before.y, -2);
}

// Each button's double click is its press: it replaces the grab point, and holds the
// pointer exactly when that button's press does.
TEST_F(DragTest, ADoubleClickIsAPress) {
    struct Case {
        const char* name;
        UINT down, up, doubleClick;
        WPARAM held;
    };
    const Case cases[] = {
        {"left", WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, MK_LBUTTON},
        {"right", WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, MK_RBUTTON},
        {"middle", WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, MK_MBUTTON},
    };
    HWND window = Form1.Window();
    int x = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        x += 10;
        SendMessageW(window, c.down, c.held, At(4, 4));
        bool pressHolds = GetCapture() == window;
        SendMessageW(window, c.up, 0, At(4, 4));
        SendMessageW(window, WM_LBUTTONUP, 0, At(4, 4));  // lets go whatever the press held
        ASSERT_NE(GetCapture(), window);

        SendMessageW(window, c.doubleClick, c.held, At(x, 6));
        EXPECT_FLOAT_EQ(Form1.CurrentX(), x * 15.0f);
        EXPECT_FLOAT_EQ(Form1.CurrentY(), 90.0f);
        EXPECT_EQ(GetCapture() == window, pressHolds);
        SendMessageW(window, c.up, 0, At(x, 6));
        SendMessageW(window, WM_LBUTTONUP, 0, At(x, 6));
    }
}

TEST_F(DragTest, NegativePositionsGoToMoveUnchanged) {
    Form1.Move(150.0f, 0.0f);  // 10, 0 pixels
    HWND window = Form1.Window();
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 4));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(40, -26));
    EXPECT_FLOAT_EQ(Form1.Left(), -750.0f);
    EXPECT_FLOAT_EQ(Form1.Top(), -450.0f);
    SendMessageW(window, WM_LBUTTONUP, 0, At(40, -26));
}

TEST_F(DragTest, ADragStepAllocatesNothing) {
    HWND window = Form1.Window();
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 4));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(5, 5));  // first step: anything lazily made
    long before = g_allocations.load();
    for (int step = 0; step < 200; ++step) {
        SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(4 + step % 3, 4));
        SendMessageW(window, WM_MOUSEMOVE, MK_RBUTTON, At(4, 4));
    }
    EXPECT_EQ(g_allocations.load() - before, 0);
    SendMessageW(window, WM_LBUTTONUP, 0, At(4, 4));
}

TEST(CheckedAddSub, OverflowRaisesTheRuntimesErrorInsteadOfMoving) {
    EXPECT_FLOAT_EQ(runtime::CheckedAddSub(3000.0f, -45.0f, 60.0f), 2895.0f);
    try {
        runtime::CheckedAddSub(3.0e38f, 3.0e38f, 0.0f);
        FAIL() << "no error raised";
    } catch (const runtime::RuntimeError& error) {
        EXPECT_EQ(error.Number(), runtime::kOverflow);
    }
}

}  // namespace
