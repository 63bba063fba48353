// The hook in front of the main window's procedure, on the real Form1 window: what it
// handles, what it passes on, and the tray menu worked with real keyboard and mouse input.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "main_window/form1.h"
#include "tests/support/input.h"
#include "tests/support/process_observer.h"
#include "tests/support/pump.h"
#include "tests/tray/tray_support.h"

namespace {

using main_window::Form1;
using test_support::PressKeys;
using test_support::ProcessObserver;
using tray_test::FindPopupMenu;
using tray_test::MenuDriver;
using tray_test::PassedMessage;
using tray_test::PreviousProcRecorder;

constexpr UINT kCallback = 2025;
constexpr wchar_t kBlock[] = L"net stop messenger";
constexpr wchar_t kUnblock[] = L"net start messenger";

class TrayHook : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Form1.IsLoaded()) Form1.Show();
        Form1.Hide();
        test_support::PumpUntil([] { return true; });
        window_ = Form1.Window();
        ASSERT_NE(window_, nullptr);
    }

    LRESULT Callback(WPARAM wParam, LPARAM lParam) { return SendMessageW(window_, kCallback, wParam, lParam); }

    // Pops the tray menu up as the shell's right-button callback does, with script
    // working the menu meanwhile; returns the callback's result.
    LRESULT PopUp(MenuDriver::Script script, MenuDriver** driverOut = nullptr) {
        driver_ = std::make_unique<MenuDriver>(std::move(script));
        LRESULT result = Callback(0, WM_RBUTTONUP);
        driver_->Join();
        // As the program's message loop would next: input left over from the dismissal
        // (a press elsewhere stays queued for the window under it) is dealt with.
        test_support::PumpUntil([] { return true; });
        if (driverOut) *driverOut = driver_.get();
        return result;
    }

    HWND window_ = nullptr;
    std::unique_ptr<MenuDriver> driver_;
};

TEST_F(TrayHook, SitsInFrontOfTheRuntimeProcedureAndTheWindowStillWorks) {
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC)), &Module2::TrayWndProc);
    EXPECT_NE(Module2::OldWindowProc, 0);
    EXPECT_EQ(Module2::TrayForm, &Form1);
    EXPECT_EQ(Module2::TrayMenu, &Form1.MnuTray);

    // Texts cross the ANSI hook and come back whole to the runtime's Unicode procedure.
    wchar_t text[64] = {};
    EXPECT_EQ(GetWindowTextW(window_, text, 64), 8);
    EXPECT_STREQ(text, L"Hushline");
    ASSERT_TRUE(SetWindowTextW(window_, L"Hushline (test)"));
    EXPECT_EQ(GetWindowTextLengthW(window_), 15);
    GetWindowTextW(window_, text, 64);
    EXPECT_STREQ(text, L"Hushline (test)");
    char ansi[64] = {};
    GetWindowTextA(window_, ansi, 64);
    EXPECT_STREQ(ansi, "Hushline (test)");
    SetWindowTextW(window_, L"Hushline");

    // A button's click reaches the form through the hook.
    ProcessObserver observer;
    test_support::Click(Form1.Command3.Window());  // "Stop"
    test_support::Click(Form1.Command4.Window());  // "Go"
    EXPECT_EQ(observer.CommandLines(), (std::vector<std::wstring>{kUnblock, kBlock}));
    EXPECT_FALSE(Form1.Command4.Enabled());
    EXPECT_TRUE(Form1.Command3.Enabled());
}

// Everything but a button release over the icon goes on to the previous procedure, with
// its parameters untouched and its result returned.
TEST_F(TrayHook, PassesOnEveryOtherMessageWithThePreviousResult) {
    const PassedMessage cases[] = {
        {kCallback, 0, WM_LBUTTONDOWN},
        {kCallback, 0, WM_RBUTTONDOWN},
        {kCallback, 0, WM_MBUTTONDOWN},
        {kCallback, 0, WM_MBUTTONUP},
        {kCallback, 0, WM_MOUSEMOVE},
        {kCallback, 0, WM_LBUTTONDBLCLK},
        {kCallback, 0, WM_RBUTTONDBLCLK},
        {kCallback, 0, 0},
        {kCallback, 0, WM_LBUTTONUP | 0x10000},  // not the release itself
        {kCallback, 7, WM_MOUSEMOVE},
        {kCallback, 0xFFFFFFFF, WM_RBUTTONDOWN},
        {WM_LBUTTONUP, 0, WM_LBUTTONUP},  // a release over the window itself
        {WM_RBUTTONUP, 0, WM_RBUTTONUP},
        {WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(10, 20)},
        {WM_RBUTTONUP, 0, MAKELPARAM(10, 20)},
        {kCallback - 1, 0, WM_LBUTTONUP},
        {kCallback + 1, 0, WM_RBUTTONUP},
    };
    for (const PassedMessage& c : cases) {
        SCOPED_TRACE(testing::Message() << "message " << c.message << " wParam " << c.wParam << " lParam " << c.lParam);
        MenuDriver guard([](HWND) { PressKeys({VK_ESCAPE}); });
        PreviousProcRecorder previous({kCallback, kCallback - 1, kCallback + 1, WM_LBUTTONUP, WM_RBUTTONUP});
        EXPECT_EQ(SendMessageW(window_, c.message, c.wParam, c.lParam), PreviousProcRecorder::kProbeResult);
        guard.Join();
        ASSERT_EQ(previous.Passed().size(), 1u);
        EXPECT_EQ(previous.Passed()[0].message, c.message);
        EXPECT_EQ(previous.Passed()[0].wParam, c.wParam);
        EXPECT_EQ(previous.Passed()[0].lParam, c.lParam);
        EXPECT_FALSE(guard.MenuAppeared());
        EXPECT_FALSE(IsWindowVisible(window_));
    }
}

TEST_F(TrayHook, LeftReleaseShowsTheFormWithoutThePreviousProcedure) {
    const WPARAM wParams[] = {0, 1, 0xFFFFFFFF};
    for (WPARAM wParam : wParams) {
        SCOPED_TRACE(wParam);
        Form1.Hide();
        PreviousProcRecorder previous({kCallback});
        EXPECT_EQ(Callback(wParam, WM_LBUTTONUP), 0);
        EXPECT_TRUE(IsWindowVisible(window_));
        // Already visible: shown again, same answer.
        EXPECT_EQ(Callback(wParam, WM_LBUTTONUP), 0);
        EXPECT_TRUE(IsWindowVisible(window_));
        EXPECT_FALSE(previous.SawMessage(kCallback));
    }
}

// The menu the runtime built, read back item by item: captions, the separator, and which
// item's handler each position runs.
TEST_F(TrayHook, MenuHoldsTheDesignedItemsInOrder) {
    struct Item {
        const wchar_t* caption;  // nullptr: a separator
        runtime::MenuItem* item;
    };
    const Item expected[] = {
        {L"Exit", &Form1.exit},
        {nullptr, &Form1.sep},
        {L"Blocking Stopped", &Form1.stop2},
        {L"Blocking Started", &Form1.start},
    };
    HMENU menu = Form1.MnuTray.Handle();
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    for (UINT position = 0; position < 4; ++position) {
        SCOPED_TRACE(position);
        wchar_t caption[64] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = caption;
        info.cch = 64;
        ASSERT_TRUE(GetMenuItemInfoW(menu, position, TRUE, &info));
        EXPECT_EQ(info.wID, expected[position].item->Id());
        EXPECT_EQ(info.hSubMenu, nullptr);
        if (!expected[position].caption) {
            EXPECT_EQ(info.fType & MFT_SEPARATOR, static_cast<UINT>(MFT_SEPARATOR));
            continue;
        }
        EXPECT_EQ(info.fType & MFT_SEPARATOR, 0u);
        EXPECT_STREQ(caption, expected[position].caption) << "exactly: no shortcut key, no accelerator text";
    }
}

TEST_F(TrayHook, RightReleasePopsTheMenuUpAtTheMouse) {
    ASSERT_TRUE(SetCursorPos(300, 250));
    ProcessObserver observer;
    PreviousProcRecorder previous({kCallback});
    MenuDriver* driver = nullptr;
    EXPECT_EQ(PopUp([](HWND) { PressKeys({VK_ESCAPE}); }, &driver), 0);
    ASSERT_TRUE(driver->MenuAppeared());
    EXPECT_TRUE(driver->ClosedByScript()) << "Escape closes the menu";
    EXPECT_EQ(driver->MenuRect().left, 300);
    EXPECT_EQ(driver->MenuRect().top, 250);
    EXPECT_FALSE(previous.SawMessage(kCallback));
    EXPECT_TRUE(previous.SawMessage(WM_INITMENUPOPUP)) << "the menu's own messages go on to the runtime";
    // Dismissed: no handler ran.
    EXPECT_TRUE(observer.CommandLines().empty());
    EXPECT_TRUE(Form1.start.Checked());
    EXPECT_FALSE(Form1.stop2.Checked());
    EXPECT_FALSE(IsWindowVisible(window_));
}

// Escape and a click elsewhere each close the menu, it opens again at once, whether the
// form is shown or hidden, and no handler runs.
TEST_F(TrayHook, MenuClosesOnEscapeOrAClickElsewhereAndOpensAgain) {
    struct Dismissal {
        const char* name;
        MenuDriver::Script script;
    };
    const Dismissal dismissals[] = {
        {"Escape", [](HWND) { PressKeys({VK_ESCAPE}); }},
        // The press closes the menu; the release comes after, as a user's hand would.
        {"click elsewhere",
         [](HWND) {
             test_support::PressLeftAt(1000, 20);
             test_support::WaitUntil([] { return FindPopupMenu() == nullptr; });
             test_support::ReleaseLeftAt(1000, 20);
         }},
        {"Escape after moving", [](HWND) { PressKeys({VK_DOWN, VK_DOWN, VK_ESCAPE}); }},
    };
    ProcessObserver observer;
    for (bool shown : {false, true}) {
        if (shown) Form1.Show(); else Form1.Hide();
        for (int round = 0; round < 2; ++round) {
            for (const Dismissal& d : dismissals) {
                SCOPED_TRACE(testing::Message() << d.name << (shown ? ", shown" : ", hidden") << ", round " << round);
                ASSERT_TRUE(SetCursorPos(200, 200));
                MenuDriver* driver = nullptr;
                EXPECT_EQ(PopUp(d.script, &driver), 0);
                EXPECT_TRUE(driver->MenuAppeared());
                EXPECT_TRUE(driver->ClosedByScript());
                EXPECT_EQ(FindPopupMenu(), nullptr);
            }
        }
    }
    EXPECT_TRUE(observer.CommandLines().empty());
    EXPECT_TRUE(Form1.start.Checked());
    EXPECT_FALSE(Form1.stop2.Checked());
}

// The blocking items switch blocking and move the check mark, each picked from the real
// menu with the keys a user would press.
TEST_F(TrayHook, PickingABlockingItemSwitchesBlocking) {
    struct Pick {
        const char* item;
        std::vector<WORD> keys;
        const wchar_t* command;
        bool startChecked, stop2Checked, goEnabled, stopEnabled;
        const wchar_t* label;
    };
    const Pick picks[] = {
        {"Blocking Stopped", {VK_DOWN, VK_DOWN, VK_RETURN}, kUnblock, false, true, true, false, L"Hush Not Enabled"},
        {"Blocking Started", {VK_UP, VK_RETURN}, kBlock, true, false, false, true, L"Hush Enabled"},
        {"Blocking Stopped", {VK_UP, VK_UP, VK_RETURN}, kUnblock, false, true, true, false, L"Hush Not Enabled"},
        {"Blocking Started", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, kBlock, true, false, false, true, L"Hush Enabled"},
    };
    for (const Pick& pick : picks) {
        SCOPED_TRACE(pick.item);
        ProcessObserver observer;
        MenuDriver* driver = nullptr;
        std::vector<WORD> keys = pick.keys;
        EXPECT_EQ(PopUp([keys](HWND) { PressKeys(keys); }, &driver), 0);
        EXPECT_TRUE(driver->MenuAppeared());
        EXPECT_TRUE(driver->ClosedByScript());
        EXPECT_EQ(observer.CommandLines(), std::vector<std::wstring>{pick.command});
        ASSERT_EQ(observer.Started().size(), 1u);
        EXPECT_EQ(observer.Started()[0].showWindow, SW_SHOWMINIMIZED);
        EXPECT_EQ(Form1.start.Checked(), pick.startChecked);
        EXPECT_EQ(Form1.stop2.Checked(), pick.stop2Checked);
        EXPECT_EQ(Form1.Command4.Enabled(), pick.goEnabled);
        EXPECT_EQ(Form1.Command3.Enabled(), pick.stopEnabled);
        EXPECT_EQ(Form1.Label3.Caption(), pick.label);
        EXPECT_FALSE(IsWindowVisible(window_)) << "picking from the menu leaves the form hidden";
    }
}

// Tray callbacks that arrive while the menu is open are handled nested in the waiting
// call: a second right release opens no second menu, a left release shows the form, and
// the first menu still works.
TEST_F(TrayHook, CallbacksWhileTheMenuIsOpenAreHandledNested) {
    ProcessObserver observer;
    HWND window = window_;
    LRESULT nestedRight = -1, nestedLeft = -1;
    HWND menuBefore = nullptr, menuAfter = nullptr;
    bool shownInside = false;
    MenuDriver* driver = nullptr;
    LRESULT result = PopUp(
        [&](HWND menu) {
            menuBefore = menu;
            nestedRight = SendMessageW(window, kCallback, 0, WM_RBUTTONUP);
            nestedLeft = SendMessageW(window, kCallback, 0, WM_LBUTTONUP);
            shownInside = IsWindowVisible(window);
            menuAfter = FindPopupMenu();
            PressKeys({VK_DOWN, VK_DOWN, VK_RETURN});  // "Blocking Stopped"
        },
        &driver);
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(driver->MenuAppeared());
    EXPECT_TRUE(driver->ClosedByScript());
    EXPECT_EQ(nestedRight, 0);
    EXPECT_EQ(nestedLeft, 0);
    EXPECT_TRUE(shownInside);
    EXPECT_EQ(menuAfter, menuBefore) << "the first menu stayed open, and no second one";
    EXPECT_EQ(observer.CommandLines(), std::vector<std::wstring>{kUnblock});
    EXPECT_TRUE(Form1.stop2.Checked());

    // Back to blocking on for the tests that follow.
    observer.Clear();
    EXPECT_EQ(PopUp([](HWND) { PressKeys({VK_UP, VK_RETURN}); }), 0);
    EXPECT_EQ(observer.CommandLines(), std::vector<std::wstring>{kBlock});
}

// "Exit" unloads the form inside the pop-up's own call; that call then returns 0 without
// touching the destroyed window, and the next show loads and hooks the form afresh.
TEST_F(TrayHook, ExitFromTheMenuWhileHiddenUnloadsTheForm) {
    ProcessObserver observer;
    MenuDriver* driver = nullptr;
    EXPECT_EQ(PopUp([](HWND) { PressKeys({VK_DOWN, VK_RETURN}); }, &driver), 0);
    EXPECT_TRUE(driver->MenuAppeared());
    EXPECT_TRUE(driver->ClosedByScript());
    EXPECT_FALSE(Form1.IsLoaded());
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(observer.CommandLines().empty());
    test_support::PumpUntil([] { return true; });

    tray_test::NotifyRecorder recorder;
    Form1.Show();
    HWND again = Form1.Window();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(again, GWLP_WNDPROC)), &Module2::TrayWndProc);
    ASSERT_EQ(recorder.Calls().size(), 3u);
    EXPECT_EQ(recorder.Calls()[0].operation, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(recorder.Calls()[0].Record().hWnd, again);
    EXPECT_EQ(observer.CommandLines(), std::vector<std::wstring>{kBlock});
    EXPECT_EQ(SendMessageW(again, kCallback, 0, WM_LBUTTONUP), 0);
    EXPECT_TRUE(IsWindowVisible(again));
}

}  // namespace
