// The shared test support itself, where a fault would make other tests wrong without failing.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "tests/support/input.h"
#include "tests/support/seam_override.h"

namespace {

// Every pixel column and row of the screen is reachable by an absolute mouse move: a formula
// a pixel short on some of them moves a drag by the wrong amount.
TEST(AbsoluteCoordinate, LandsOnEveryPixelOfTheScreen) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(width, 1);
    ASSERT_GT(height, 1);
    int misses = 0;
    for (int i = 0; i < std::max(width, height) && misses < 5; ++i) {
        POINT wanted{i % width, i % height};
        ASSERT_TRUE(test_support::SendMouse(MOUSEEVENTF_MOVE, wanted));
        POINT landed{};
        GetCursorPos(&landed);
        if (landed.x != wanted.x || landed.y != wanted.y) {
            ++misses;
            ADD_FAILURE() << "moved to " << wanted.x << "," << wanted.y << ", landed on " << landed.x << "," << landed.y;
        }
    }
}

int Real(int value) { return value + 1; }
int (*g_seam)(int) = &Real;

// Two kinds of override on the same seam, each noting its calls and going on.
class Doubling : public test_support::SeamOverride<Doubling, int (*)(int)> {
public:
    Doubling() : SeamOverride(g_seam, &Call) {}
    int calls = 0;

private:
    static int Call(int value) {
        ++Active().calls;
        return Active().Previous()(value) * 2;
    }
};

class Negating : public test_support::SeamOverride<Negating, int (*)(int)> {
public:
    Negating() : SeamOverride(g_seam, &Call) {}

private:
    static int Call(int value) { return -Active().Previous()(value); }
};

TEST(SeamOverride, NestsAndPutsBackWhatTheSeamHeld) {
    {
        Doubling outer;
        EXPECT_EQ(g_seam(3), 8);
        {
            Negating other;
            EXPECT_EQ(g_seam(3), -8) << "goes on through the override of another kind";
        }
        {
            Doubling inner;
            EXPECT_EQ(g_seam(3), 8) << "the same kind takes over, once";
            EXPECT_EQ(inner.calls, 1);
        }
        EXPECT_EQ(outer.calls, 2);
        EXPECT_EQ(g_seam(3), 8);
        EXPECT_EQ(outer.calls, 3);
    }
    EXPECT_EQ(g_seam, &Real);
}

}  // namespace
