// Windows bound to their objects: a window that owns its object frees it exactly once,
// whichever step of its creation fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "runtime/bound_window.h"
#include "tests/support/failing_creation.h"

namespace {

using test_support::CreationStep;

constexpr wchar_t kOwningClass[] = L"HushlineOwningTest";

// Counts its lives, and what its window told it while it lived.
struct Counted {
    static inline int made = 0;
    static inline int freed = 0;
    static inline bool hadNcDestroy = false;

    Counted() { ++made; }
    ~Counted() { ++freed; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
};

LRESULT OnCountedMessage(Counted&, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) Counted::hadNcDestroy = true;
    return DefWindowProcW(window, message, wParam, lParam);
}

struct CreationCase {
    const char* name;
    CreationStep failing;
    bool created;
    bool windowTookIt;  // WM_NCCREATE reached the binding: the window frees it, not the caller
};

class OwningWindow : public ::testing::TestWithParam<CreationCase> {};

TEST_P(OwningWindow, FreesItsObjectExactlyOnce) {
    const CreationCase& c = GetParam();
    runtime::RegisterWindowClass(kOwningClass, &runtime::OwningWindowProc<Counted, &OnCountedMessage>);
    Counted::made = Counted::freed = 0;
    Counted::hadNcDestroy = false;
    {
        auto object = std::make_unique<Counted>();
        Counted* raw = object.get();
        HWND window = nullptr;
        {
            test_support::FailingCreation failing(kOwningClass, c.failing);
            window = CreateWindowExW(0, kOwningClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), &object);
        }
        EXPECT_EQ(window != nullptr, c.created);
        EXPECT_EQ(object == nullptr, c.windowTookIt) << "who holds the object after CreateWindowEx";
        if (window) {
            EXPECT_EQ(runtime::BoundObject<Counted>(window), raw);
            EXPECT_EQ(Counted::freed, 0) << "freed while its window lives";
            DestroyWindow(window);
        }
    }
    EXPECT_EQ(Counted::made, 1);
    EXPECT_EQ(Counted::freed, 1) << "freed twice, or leaked";
    EXPECT_EQ(Counted::hadNcDestroy, c.windowTookIt) << "WM_NCDESTROY reaches the object before it goes";
}

INSTANTIATE_TEST_SUITE_P(
    Creation, OwningWindow,
    ::testing::Values(CreationCase{"succeeds", CreationStep::None, true, true},
                      CreationCase{"refused_by_the_hook", CreationStep::Hook, false, false},
                      CreationCase{"fails_before_the_binding", CreationStep::NcCreate, false, false},
                      CreationCase{"fails_after_the_binding", CreationStep::Create, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
