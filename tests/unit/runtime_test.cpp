// The forms runtime on real windows: loading, showing, unloading, properties reaching the
// real controls and menu, pop-up menus, the uncaught-error rule, and twips.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <functional>
#include <string>

#include "runtime/app.h"
#include "runtime/error.h"
#include "runtime/form.h"
#include "runtime/seams.h"
#include "runtime/twips.h"
#include "tests/support/input.h"
#include "tests/support/pump.h"
#include "tests/support/window_query.h"

namespace {

using runtime::Colour;
using runtime::ControlDesign;
using runtime::ControlKind;

constexpr runtime::FontDesign kFont{L"MS Sans Serif", 8.25f, FW_NORMAL};

constexpr ControlDesign kControls[] = {
    {ControlKind::PictureBox, L"Panel", 0, L"", nullptr, -1, 120, 120, 3000, 1200, kFont, true, 0,
     Colour::FromRgb(0xC0C0FF), Colour::FromSystem(COLOR_WINDOWTEXT)},
    {ControlKind::CommandButton, L"Inner", -1, L"Inner", L"Panel", 0, 120, 120, 1200, 375, kFont, true, 1},
    {ControlKind::Label, L"Status", -1, L"placeholder", L"Panel", 0, 120, 600, 2400, 375, kFont, true, 3,
     Colour::FromRgb(0x404040), Colour::FromRgb(0xFFFFC0), true, true},
    {ControlKind::CommandButton, L"Press", -1, L"Press", nullptr, -1, 120, 1500, 1200, 375, kFont, true, 2},
    {ControlKind::CommandButton, L"Fail", -1, L"Fail", nullptr, -1, 1500, 1500, 1200, 375, kFont, false, 4},
};

constexpr runtime::MenuItemDesign kItems[] = {{L"one", L"One"}, {L"sep", L"-"}, {L"two", L"Two"}};
constexpr runtime::MenuDesign kMenus[] = {{L"Popup", L"Menu", false, kItems}};

constexpr runtime::FormDesign kDesign = {
    .caption = L"Runtime test form",
    .clientWidth = 4500,
    .clientHeight = 2250,
    .border = runtime::BorderStyle::FixedSingle,
    .minButton = false,
    .maxButton = false,
    .backColour = Colour::FromRgb(0x808080),
    .controls = kControls,
    .menus = kMenus,
};

class TestForm final : public runtime::Form {
public:
    TestForm() : Form(kDesign) {
        Button(L"Press").Click = [this] { ++pressed; };
        Button(L"Inner").Click = [this] { ++innerPressed; };
        Item(L"one").Click = [this] {
            ++onePicked;
            pickedInsidePopup = insidePopup;
        };
        Item(L"two").Click = [this] { ++twoPicked; };
    }

    void Form_Load() override {
        ++loads;
        if (hideInLoad) Hide();
        if (duringLoad) duringLoad();
    }

    void PopupAndRecord() {
        insidePopup = true;
        PopupMenu(MenuNamed(L"Popup"));
        insidePopup = false;
    }

    int loads = 0;
    bool hideInLoad = false;
    std::function<void()> duringLoad;
    int pressed = 0;
    int innerPressed = 0;
    int onePicked = 0;
    int twoPicked = 0;
    bool insidePopup = false;
    bool pickedInsidePopup = false;
};

TestForm g_form;

class RuntimeTest : public ::testing::Test {
protected:
    void TearDown() override {
        runtime::Unload(g_form);
        g_form.loads = 0;
        g_form.hideInLoad = false;
        g_form.duringLoad = nullptr;
        g_form.pressed = g_form.innerPressed = g_form.onePicked = g_form.twoPicked = 0;
        g_form.pickedInsidePopup = false;
    }
};

TEST_F(RuntimeTest, ShowLoadsOnceRunsLoadThenShowsEvenIfLoadHid) {
    g_form.hideInLoad = true;
    g_form.Show();
    EXPECT_EQ(g_form.loads, 1);
    ASSERT_TRUE(g_form.IsLoaded());
    EXPECT_TRUE(IsWindowVisible(g_form.Window()));

    g_form.Show();
    EXPECT_EQ(g_form.loads, 1) << "a second Show reaches the loaded form";
}

TEST_F(RuntimeTest, HideKeepsTheFormLoaded) {
    g_form.Show();
    HWND window = g_form.Window();
    g_form.Hide();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(g_form.IsLoaded());
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(RuntimeTest, UnloadDestroysTheWindowAndEndsTheLoopWhenNoFormIsLeft) {
    g_form.Show();
    HWND window = g_form.Window();
    runtime::Unload(g_form);
    EXPECT_FALSE(g_form.IsLoaded());
    EXPECT_FALSE(IsWindow(window));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no quit message posted";
    EXPECT_FALSE(runtime::Form::AnyLoaded());
}

TEST_F(RuntimeTest, CloseBoxUnloadsAndTheNextShowLoadsAfresh) {
    g_form.Show();
    HWND first = g_form.Window();
    SendMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_FALSE(g_form.IsLoaded());
    EXPECT_FALSE(IsWindow(first));

    g_form.Show();
    EXPECT_TRUE(g_form.IsLoaded());
    EXPECT_EQ(g_form.loads, 2);
    EXPECT_NE(g_form.Window(), first);
}

TEST_F(RuntimeTest, PropertiesReachTheRealWindowsAndMenu) {
    g_form.Show();
    runtime::CommandButton& press = g_form.Button(L"Press");
    runtime::Label& status = g_form.LabelNamed(L"Status");
    runtime::MenuItem& one = g_form.Item(L"one");

    press.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(press.Window()));
    press.SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(press.Window()));

    status.SetCaption(L" Leading blank kept");
    EXPECT_EQ(test_support::WindowText(status.Window()), L" Leading blank kept");

    HMENU menu = g_form.MenuNamed(L"Popup").Handle();
    one.SetChecked(true);
    EXPECT_TRUE(GetMenuState(menu, one.Id(), MF_BYCOMMAND) & MF_CHECKED);
    one.SetChecked(false);
    EXPECT_FALSE(GetMenuState(menu, one.Id(), MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(RuntimeTest, ALoadStartsEveryControlInItsDesignState) {
    g_form.Show();
    g_form.LabelNamed(L"Status").SetCaption(L"changed");
    g_form.Button(L"Fail").SetEnabled(true);
    g_form.Item(L"two").SetChecked(true);
    runtime::Unload(g_form);

    g_form.Show();
    EXPECT_EQ(g_form.LabelNamed(L"Status").Caption(), L"placeholder");
    EXPECT_FALSE(g_form.Button(L"Fail").Enabled());
    EXPECT_FALSE(g_form.Item(L"two").Checked());
    EXPECT_EQ(GetMenu(g_form.Window()), nullptr) << "a hidden menu must give no menu bar";
}

TEST_F(RuntimeTest, ClicksOfButtonsOnTheFormAndOnAPanelRaiseTheirEvents) {
    g_form.Show();
    test_support::Click(g_form.Button(L"Press").Window());
    test_support::Click(g_form.Button(L"Inner").Window());
    EXPECT_EQ(g_form.pressed, 1);
    EXPECT_EQ(g_form.innerPressed, 1);
}

// Feeds keys to the menu loop once the pop-up menu is open.
struct MenuKeys {
    const WORD* keys;
    int count;
};

MenuKeys g_menuKeys{};

void CALLBACK SendMenuKeys(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!test_support::OwnVisibleWindow(test_support::kMenuClass)) return;  // not open yet
    KillTimer(nullptr, timer);
    test_support::PressKeys({g_menuKeys.keys, g_menuKeys.keys + g_menuKeys.count});
}

struct PopupCase {
    const char* name;
    std::vector<WORD> keys;
    int one, two;
};

class PopupMenuTest : public RuntimeTest, public ::testing::WithParamInterface<PopupCase> {};

TEST_P(PopupMenuTest, PickedItemRunsInsidePopupMenu) {
    const PopupCase& c = GetParam();
    g_form.Show();
    test_support::PumpFor(200);
    g_menuKeys = {c.keys.data(), static_cast<int>(c.keys.size())};
    SetTimer(nullptr, 0, 50, &SendMenuKeys);
    g_form.PopupAndRecord();
    EXPECT_EQ(g_form.onePicked, c.one);
    EXPECT_EQ(g_form.twoPicked, c.two);
    if (c.one) EXPECT_TRUE(g_form.pickedInsidePopup) << "Click must run before PopupMenu returns";
}

INSTANTIATE_TEST_SUITE_P(Keys, PopupMenuTest,
                         ::testing::Values(PopupCase{"first", {VK_DOWN, VK_RETURN}, 1, 0},
                                           PopupCase{"past_separator", {VK_DOWN, VK_DOWN, VK_RETURN}, 0, 1},
                                           PopupCase{"escape", {VK_ESCAPE}, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Twips, FifteenTwipsAPixelAt96Dpi) {
    ASSERT_EQ(runtime::ScreenDpiX(), 96) << "these expectations assume the test display's 96 DPI";
    EXPECT_EQ(runtime::TwipsToPixelsX(2895), 193);
    EXPECT_EQ(runtime::TwipsToPixelsY(3210), 214);
    EXPECT_FLOAT_EQ(runtime::PixelsToTwipsX(-3), -45.0f);
}

TEST_F(RuntimeTest, ClientAreaAndMoveAreInTwips) {
    g_form.Show();
    RECT client{};
    GetClientRect(g_form.Window(), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 150);

    g_form.Move(1500.0f, -300.0f);
    RECT outer{};
    GetWindowRect(g_form.Window(), &outer);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, -20);
    EXPECT_FLOAT_EQ(g_form.Left(), 1500.0f);
    EXPECT_FLOAT_EQ(g_form.Top(), -300.0f);
    RECT designed{0, 0, 300, 150};
    AdjustWindowRectEx(&designed, GetWindowLongW(g_form.Window(), GWL_STYLE), FALSE,
                       GetWindowLongW(g_form.Window(), GWL_EXSTYLE));
    EXPECT_EQ(outer.right - outer.left, designed.right - designed.left) << "Move keeps the size";
}

// Whether this thread is in a single-threaded COM apartment: one that is refuses to become
// multithreaded.
bool InSingleThreadedApartment() {
    HRESULT multiThreaded = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(multiThreaded)) CoUninitialize();
    return multiThreaded == RPC_E_CHANGED_MODE;
}

// The shell's opening of a web address may go through COM, which must be ready on the UI
// thread, apartment-threaded, before any form's code runs.
TEST_F(RuntimeTest, RunStartsComInASingleThreadedApartmentBeforeTheFirstLoad) {
    ASSERT_FALSE(InSingleThreadedApartment()) << "the test thread must start without COM";
    bool inLoad = false;
    g_form.duringLoad = [&] {
        inLoad = InSingleThreadedApartment();
        PostMessageW(g_form.Window(), WM_CLOSE, 0, 0);
    };
    runtime::App::Run(g_form);
    EXPECT_EQ(g_form.loads, 1);
    EXPECT_TRUE(inLoad);
}

TEST(AppPath, IsTheProgramsFolderWithoutTrailingSeparator) {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring expected(module);
    expected.resize(expected.find_last_of(L'\\'));
    EXPECT_EQ(runtime::App::Path(), expected);
}

// The uncaught-error rule: the runtime's message, titled "Hushline", then the end.
int WINAPI PrintingMessageBox(HWND, LPCWSTR text, LPCWSTR title, UINT) {
    fwprintf(stderr, L"[%ls] %ls\n", title, text);
    fflush(stderr);
    return IDOK;
}

TEST(UncaughtError, InAWindowProcedureShowsTheMessageAndEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            runtime::seams.messageBox = &PrintingMessageBox;
            g_form.Show();
            g_form.Button(L"Press").Click = [] { runtime::Raise(runtime::kFileNotFound); };
            test_support::Click(g_form.Button(L"Press").Window());
            std::fprintf(stderr, "still running\n");
            std::exit(0);
        },
        ::testing::ExitedWithCode(runtime::kFileNotFound), "\\[Hushline\\] Run-time error '53':");
}

TEST(ErrorHandler, ACaughtErrorGoesNoFurther) {
    bool handled = false;
    try {
        runtime::Raise(runtime::kPathNotFound);
    } catch (const runtime::RuntimeError& error) {
        handled = error.Number() == runtime::kPathNotFound && error.Description() == L"Path not found";
    }
    EXPECT_TRUE(handled);
}

}  // namespace
