// The skin on real windows: the main window and small forms of the tests' own, under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "main_window/form1.h"
#include "resources/form1_design.h"
#include "resources/form2_design.h"
#include "resources/standard_skin.h"
#include "runtime/error.h"
#include "runtime/form.h"
#include "skin/skin.h"
#include "skin/skin_images.h"
#include "tests/support/capture.h"
#include "tests/support/input.h"
#include "tests/support/process_observer.h"
#include "tests/support/pump.h"

namespace {

using runtime::Colour;
using runtime::ControlDesign;
using runtime::ControlKind;
using test_support::Image;
using test_support::PumpFor;
using test_support::PumpUntil;

// Colours as captures give them, 0xRRGGBB.
constexpr uint32_t kForm1Back = 0x808080;
constexpr uint32_t kTestBack = 0x40A020;  // a colour no skin image holds

// Two buttons alike but for the second being disabled, on the form and on a panel.
constexpr ControlDesign kControls[] = {
    {.kind = ControlKind::CommandButton, .name = L"Enabled", .caption = L"Press", .left = 300, .top = 300,
     .width = 1200, .height = 375, .tabIndex = 0},
    {.kind = ControlKind::CommandButton, .name = L"Disabled", .caption = L"Press", .left = 1800, .top = 300,
     .width = 1200, .height = 375, .enabled = false, .tabIndex = 1},
    {.kind = ControlKind::PictureBox, .name = L"Panel", .left = 300, .top = 1200, .width = 2700, .height = 900,
     .tabIndex = 2, .backColour = Colour::FromRgb(0xC0C0FF)},
};

runtime::FormDesign Design(runtime::BorderStyle border, bool boxes) {
    runtime::FormDesign design;
    design.caption = L"Skin test";
    design.clientWidth = 3600;   // 240 pixels
    design.clientHeight = 2400;  // 160 pixels
    design.border = border;
    design.minButton = boxes;
    design.maxButton = boxes;
    design.backColour = Colour::FromRgb(0x40A020);
    design.controls = kControls;
    return design;
}

const runtime::FormDesign kFixedDesign = Design(runtime::BorderStyle::FixedSingle, false);
const runtime::FormDesign kSizableDesign = Design(runtime::BorderStyle::Sizable, true);
const skin::SkinDesign kColoursSkin = resources::StandardSkin(IDR_FORM1_SKIN, /*applyColors=*/true, /*skinClientArea=*/0);
const skin::SkinDesign kClientSkin = resources::StandardSkin(IDR_FORM2_SKIN, /*applyColors=*/false, /*skinClientArea=*/1);

// A form that applies its skin in Load, as the program's windows do; or none at all.
class SkinnedForm : public runtime::Form {
public:
    SkinnedForm(const runtime::FormDesign& design, const skin::SkinDesign* skin) : Form(design) {
        if (skin) skin_ = std::make_unique<skin::Skin>(*skin);
    }
    ~SkinnedForm() override { runtime::Unload(*this); }
    void Form_Load() override {
        ++loads;
        if (skin_) skin_->ApplySkin(hWnd());
    }
    skin::Skin* SkinControl() { return skin_.get(); }
    int loads = 0;

private:
    std::unique_ptr<skin::Skin> skin_;
};

uint32_t ClientPixel(HWND window, int x, int y) {
    return test_support::CaptureRect(window, RECT{x, y, x + 1, y + 1}, /*wholeWindow=*/false).At(0, 0);
}

Image WholeClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return test_support::CaptureRect(window, client, /*wholeWindow=*/false);
}

void ShowAndSettle(runtime::Form& form) {
    form.Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Window()) != FALSE; }));
    PumpFor(300);
}

// Screen points on a window's frame, worked out from its window and client rectangles.
struct FramePoints {
    POINT captionMiddle, closeBox, icon, leftBorder, bottomRight;
};

FramePoints PointsOf(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    int border = origin.x - outer.left;
    int bandMiddle = (outer.top + border + origin.y) / 2;
    return {POINT{(outer.left + outer.right) / 2, bandMiddle}, POINT{outer.right - border - 2 - 9, bandMiddle},
            POINT{outer.left + border + 2 + 8, bandMiddle}, POINT{outer.left + 1, (outer.top + outer.bottom) / 2},
            POINT{outer.right - 1, outer.bottom - 1}};
}

LRESULT HitTest(HWND window, POINT screen) {
    return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
}

// One step of the user's mouse, from the input thread, which then lets the window's thread
// take it.
void SendMouse(DWORD flags, POINT at = {}) {
    test_support::SendMouse(flags, at);
    Sleep(60);
}

// Plays the user's mouse from another thread while this one pumps, since a move or a
// size loop of the system holds this thread until the button comes up.
void PlayMouse(const std::function<void()>& steps) {
    std::atomic<bool> done{false};
    std::thread player([&] {
        steps();
        done = true;
    });
    PumpUntil([&] { return done.load(); }, 10000);
    player.join();
    PumpFor(200);
}

// The user's drag with the left button, by real input.
void Drag(POINT from, POINT to) {
    PlayMouse([=] {
        SendMouse(MOUSEEVENTF_MOVE, from);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        for (int step = 1; step <= 4; ++step) {
            SendMouse(MOUSEEVENTF_MOVE,
                      POINT{from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
        }
        SendMouse(MOUSEEVENTF_LEFTUP);
    });
}

void ClickAt(POINT at) {
    PlayMouse([=] {
        SendMouse(MOUSEEVENTF_MOVE, at);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
    });
}

// ---- the stored skin -----------------------------------------------------------------

TEST(StoredSkin, EachWindowCarriesTheStandardSkinWithItsOwnSettings) {
    struct Case {
        const skin::SkinDesign& skin;
        bool applyColors;
        int skinClientArea;
    } cases[] = {{resources::kForm1Skin, true, 0}, {resources::kForm2Skin, false, 1}};
    for (const Case& c : cases) {
        EXPECT_STREQ(c.skin.name, L"Standard Skin");
        EXPECT_STREQ(c.skin.author, L"");
        EXPECT_STREQ(c.skin.description, L"");
        EXPECT_EQ(c.skin.settings.applyColors, c.applyColors);
        EXPECT_EQ(c.skin.settings.skinClientArea, c.skinClientArea);
        EXPECT_EQ(c.skin.settings.nHue, 0);
        EXPECT_EQ(skin::ToColorRef(c.skin.settings.backColor), RGB(0x9A, 0xB6, 0xC2));
        EXPECT_EQ(skin::ToColorRef(c.skin.settings.foreColor), RGB(0, 0, 0));
    }
    EXPECT_NE(resources::kForm1Skin.imagePack, resources::kForm2Skin.imagePack) << "each window keeps its own copy";
    for (const Case& c : cases) {
        EXPECT_NE(skin::SkinImages::FromResource(c.skin.imagePack)->Find(L"galaxy.bmp"), nullptr);
    }
}

TEST(StoredSkin, PackHoldsEveryNamedImageWithTheDrawnParts) {
    auto images = skin::SkinImages::FromResource(resources::kForm1Skin.imagePack);
    ASSERT_EQ(resources::kForm1Skin.images.size(), 6u);
    for (const wchar_t* name : resources::kForm1Skin.images) {
        const skin::SkinImage* image = images->Find(name);
        ASSERT_NE(image, nullptr) << std::wstring(name).c_str();
        EXPECT_FALSE(image->parts.empty());
    }
    const skin::SkinImage* buttons = images->Find(skin::kButtonImage);
    for (int state = 0; state < 5; ++state) EXPECT_NE(buttons->Part(static_cast<uint8_t>(state)), nullptr) << state;
}

TEST(StoredSkin, MalformedPacksRaiseTheRuntimesError) {
    auto good = [] {
        HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(resources::kForm1Skin.imagePack), MAKEINTRESOURCEW(10));
        auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
        return std::vector<uint8_t>(data, data + SizeofResource(nullptr, found));
    }();
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"wrong magic", [&] { auto b = good; b[0] = 'X'; return b; }()},
        {"cut short in an image", std::vector<uint8_t>(good.begin(), good.begin() + 200)},
        {"cut short in the last image's pixels", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"an image larger than any skin's", [&] { auto b = good; b[10 + 1 + 10 + 1] = 0xFF; return b; }()},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(skin::SkinImages::Decode(c.bytes), runtime::RuntimeError) << c.what;
    }
    EXPECT_NO_THROW(skin::SkinImages::Decode(good));
}

TEST(Apply, RaisesOnAWindowThatIsNotThere) {
    skin::Skin skin(kColoursSkin);
    EXPECT_THROW(skin.ApplySkin(0), runtime::RuntimeError);
}

// ---- the frame -------------------------------------------------------------------------

struct SizeCase {
    const char* name;
    const runtime::FormDesign* design;
    const skin::SkinDesign* skin;
};

class ClientSize : public testing::TestWithParam<SizeCase> {};

TEST_P(ClientSize, StaysAsDesignedWhateverFrameTheSkinDraws) {
    SkinnedForm plain(*GetParam().design, nullptr);
    SkinnedForm skinned(*GetParam().design, GetParam().skin);
    ShowAndSettle(plain);
    ShowAndSettle(skinned);
    RECT a{}, b{}, outerA{}, outerB{};
    GetClientRect(plain.Window(), &a);
    GetClientRect(skinned.Window(), &b);
    EXPECT_EQ(b.right, 240);
    EXPECT_EQ(b.bottom, 160);
    EXPECT_TRUE(EqualRect(&a, &b));
    GetWindowRect(plain.Window(), &outerA);
    GetWindowRect(skinned.Window(), &outerB);
    EXPECT_EQ(outerA.right - outerA.left, outerB.right - outerB.left);
    EXPECT_EQ(outerA.bottom - outerA.top, outerB.bottom - outerB.top);
}

INSTANTIATE_TEST_SUITE_P(Skin, ClientSize,
                         testing::Values(SizeCase{"fixed", &kFixedDesign, &kColoursSkin},
                                         SizeCase{"sizable", &kSizableDesign, &kClientSkin}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Frame, HitTestingFollowsTheSkinsCaptionAndTheWindowsBorder) {
    struct Case {
        const runtime::FormDesign* design;
        POINT FramePoints::*where;
        LRESULT expected;
    } cases[] = {
        {&kFixedDesign, &FramePoints::captionMiddle, HTCAPTION},
        {&kFixedDesign, &FramePoints::closeBox, HTCLOSE},
        {&kFixedDesign, &FramePoints::icon, HTSYSMENU},
        {&kFixedDesign, &FramePoints::leftBorder, HTBORDER},
        {&kFixedDesign, &FramePoints::bottomRight, HTBORDER},
        {&kSizableDesign, &FramePoints::closeBox, HTCLOSE},
        {&kSizableDesign, &FramePoints::leftBorder, HTLEFT},
        {&kSizableDesign, &FramePoints::bottomRight, HTBOTTOMRIGHT},
    };
    for (const Case& c : cases) {
        SkinnedForm form(*c.design, &kColoursSkin);
        ShowAndSettle(form);
        EXPECT_EQ(HitTest(form.Window(), PointsOf(form.Window()).*c.where), c.expected)
            << (c.design == &kFixedDesign ? "fixed" : "sizable") << " expecting " << c.expected;
    }
}

TEST(Frame, SizableWindowShowsOnlyTheBoxesItsStylesAllow) {
    SkinnedForm fixed(kFixedDesign, &kColoursSkin);
    SkinnedForm sizable(kSizableDesign, &kColoursSkin);
    ShowAndSettle(fixed);
    ShowAndSettle(sizable);
    auto boxesLeftOfClose = [](HWND window) {
        FramePoints points = PointsOf(window);
        std::vector<LRESULT> hits;
        for (int box = 1; box <= 2; ++box) {
            hits.push_back(HitTest(window, POINT{points.closeBox.x - box * 20, points.closeBox.y}));
        }
        return hits;
    };
    EXPECT_EQ(boxesLeftOfClose(fixed.Window()), (std::vector<LRESULT>{HTCAPTION, HTCAPTION}));
    EXPECT_EQ(boxesLeftOfClose(sizable.Window()), (std::vector<LRESULT>{HTMAXBUTTON, HTMINBUTTON}));
}

TEST(Frame, CloseBoxClosesWhenReleasedOverItOnly) {
    SkinnedForm form(kFixedDesign, &kColoursSkin);
    ShowAndSettle(form);
    HWND window = form.Window();
    POINT box = PointsOf(window).closeBox;
    auto clientPoint = [&](POINT screen) {
        ScreenToClient(window, &screen);
        return MAKELPARAM(screen.x, screen.y);
    };

    // Pressed on the box, moved off and released elsewhere: nothing closes.
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(box.x, box.y));
    EXPECT_EQ(GetCapture(), window);
    POINT away = PointsOf(window).captionMiddle;
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, clientPoint(away));
    SendMessageW(window, WM_LBUTTONUP, 0, clientPoint(away));
    PumpFor(100);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_NE(GetCapture(), window);

    SendMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(box.x, box.y));
    SendMessageW(window, WM_LBUTTONUP, 0, clientPoint(box));
    EXPECT_TRUE(PumpUntil([&] { return !form.IsLoaded(); }));
}

TEST(Frame, UserClosesByTheBoxAndDragsByTheCaption) {
    SkinnedForm form(kSizableDesign, &kClientSkin);
    ShowAndSettle(form);
    SetForegroundWindow(form.Window());
    PumpFor(100);
    RECT before{}, after{};
    GetWindowRect(form.Window(), &before);
    POINT caption = PointsOf(form.Window()).captionMiddle;
    Drag(caption, POINT{caption.x + 40, caption.y + 30});
    GetWindowRect(form.Window(), &after);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
    EXPECT_EQ(after.right - after.left, before.right - before.left);

    ClickAt(PointsOf(form.Window()).closeBox);
    EXPECT_TRUE(PumpUntil([&] { return !form.IsLoaded(); }));
}

TEST(Frame, DrawnFromTheSkinAndPressedBoxShowsIt) {
    SkinnedForm plain(kFixedDesign, nullptr);
    SkinnedForm skinned(kFixedDesign, &kColoursSkin);
    ShowAndSettle(plain);
    ShowAndSettle(skinned);
    auto captionStrip = [](HWND window) {
        RECT outer{};
        GetWindowRect(window, &outer);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        return test_support::CaptureRect(window, RECT{0, 0, outer.right - outer.left, origin.y - outer.top},
                                         /*wholeWindow=*/true);
    };
    EXPECT_NE(captionStrip(plain.Window()), captionStrip(skinned.Window()));

    HWND window = skinned.Window();
    Image normal = captionStrip(window);
    POINT box = PointsOf(window).closeBox;
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(box.x, box.y));
    Image pressed = captionStrip(window);
    ReleaseCapture();
    PumpFor(100);
    EXPECT_NE(normal, pressed);
    EXPECT_EQ(captionStrip(window), normal) << "released away: drawn as before";
    EXPECT_TRUE(skinned.IsLoaded());
}

// ---- buttons, client area, panels -----------------------------------------------------

TEST(Buttons, DisabledIsDrawnDifferentlyFromEnabledAndTheSkinDrawsBoth) {
    SkinnedForm plain(kFixedDesign, nullptr);
    SkinnedForm skinned(kFixedDesign, &kColoursSkin);
    ShowAndSettle(plain);
    ShowAndSettle(skinned);
    auto face = [](runtime::Form& form, const wchar_t* name) { return WholeClient(form.Button(name).Window()); };
    EXPECT_NE(face(skinned, L"Enabled"), face(skinned, L"Disabled"));
    EXPECT_NE(face(plain, L"Enabled"), face(skinned, L"Enabled"));
    EXPECT_NE(face(plain, L"Disabled"), face(skinned, L"Disabled"));

    // Enabling it at run time draws it as the enabled one (with the focus on neither).
    skinned.Button(L"Disabled").SetEnabled(true);
    SetFocus(skinned.Window());
    PumpFor(200);
    EXPECT_EQ(face(skinned, L"Enabled"), face(skinned, L"Disabled"));
}

TEST(Buttons, FocusAndPressAreDrawnAndClicksStillArrive) {
    SkinnedForm form(kFixedDesign, &kColoursSkin);
    ShowAndSettle(form);
    runtime::CommandButton& button = form.Button(L"Enabled");
    int clicks = 0;
    button.Click = [&] { ++clicks; };
    HWND other = form.Button(L"Disabled").Window();
    EnableWindow(other, TRUE);
    SetFocus(other);
    PumpFor(150);
    Image unfocused = WholeClient(button.Window());
    SetFocus(button.Window());
    PumpFor(150);
    EXPECT_EQ(GetFocus(), button.Window());
    Image focused = WholeClient(button.Window());
    EXPECT_NE(unfocused, focused);
    SendMessageW(button.Window(), BM_SETSTATE, TRUE, 0);
    PumpFor(150);
    EXPECT_NE(WholeClient(button.Window()), focused);
    SendMessageW(button.Window(), BM_SETSTATE, FALSE, 0);
    PumpFor(150);
    EXPECT_EQ(WholeClient(button.Window()), focused);

    RECT rect{};
    GetWindowRect(button.Window(), &rect);
    SetForegroundWindow(form.Window());
    ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
    test_support::Click(button.Window());
    EXPECT_EQ(clicks, 2);
}

TEST(ClientArea, DrawnFromTheSkinOnlyWhenTheSkinSaysSo) {
    SkinnedForm colours(kFixedDesign, &kColoursSkin);
    SkinnedForm client(kFixedDesign, &kClientSkin);
    ShowAndSettle(colours);
    ShowAndSettle(client);
    // A margin of bare client area, left of the first button.
    EXPECT_EQ(ClientPixel(colours.Window(), 5, 5), kTestBack);
    EXPECT_EQ(ClientPixel(colours.Window(), 5, 150), kTestBack);
    std::vector<uint32_t> margin;
    for (int y = 0; y < 64; y += 3) margin.push_back(ClientPixel(client.Window(), 5, y));
    for (uint32_t pixel : margin) EXPECT_NE(pixel, kTestBack);
    EXPECT_NE(std::count(margin.begin(), margin.end(), margin[0]), static_cast<long>(margin.size()))
        << "a surface with its texture, not a flat fill";
}

TEST(ClientArea, SkinsColoursReplaceThePanelsOnlyWhenApplied) {
    SkinnedForm colours(kFixedDesign, &kColoursSkin);
    SkinnedForm client(kFixedDesign, &kClientSkin);
    ShowAndSettle(colours);
    ShowAndSettle(client);
    EXPECT_EQ(ClientPixel(colours.Panel(L"Panel", -1).Window(), 3, 3), 0x9AB6C2u);
    EXPECT_EQ(ClientPixel(client.Panel(L"Panel", -1).Window(), 3, 3), 0xC0C0FFu);
}

// ---- painting at rest, applying again ---------------------------------------------------

int g_nonClientPaints = 0;
HWND g_watched = nullptr;

LRESULT CALLBACK CountSent(int code, WPARAM wParam, LPARAM lParam) {
    auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_NCPAINT && GetAncestor(sent->hwnd, GA_ROOT) == g_watched) {
        ++g_nonClientPaints;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Pumps for ms and counts the paints of the watched window and its children.
int PaintsWhilePumping(DWORD ms) {
    int paints = 0;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_PAINT && GetAncestor(msg.hwnd, GA_ROOT) == g_watched) ++paints;
            if (runtime::Form::PreTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return paints + g_nonClientPaints;
}

struct IdleCase {
    const char* name;
    bool mainWindow;
    const skin::SkinDesign* skin;
};

class Idle : public testing::TestWithParam<IdleCase> {};

TEST_P(Idle, NoPaintingOnceFirstPainted) {
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &CountSent, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    test_support::ProcessObserver observer;  // the main window's start-up runs its command
    std::unique_ptr<SkinnedForm> own;
    runtime::Form* form = &main_window::Form1;
    if (!GetParam().mainWindow) {
        own = std::make_unique<SkinnedForm>(kSizableDesign, GetParam().skin);
        form = own.get();
    }
    form->Show();
    g_watched = form->Window();
    g_nonClientPaints = 0;
    EXPECT_GT(PaintsWhilePumping(700), 0) << "painted at first";
    g_nonClientPaints = 0;
    EXPECT_EQ(PaintsWhilePumping(1000), 0);
    UnhookWindowsHookEx(hook);
    runtime::Unload(*form);
}

INSTANTIATE_TEST_SUITE_P(Skin, Idle,
                         testing::Values(IdleCase{"main_window", true, nullptr},
                                         IdleCase{"client_area", false, &kClientSkin},
                                         IdleCase{"colours", false, &kColoursSkin}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindow, KeepsItsGreyClientAreaAndItsSizeAndCannotBeResized) {
    test_support::ProcessObserver observer;
    main_window::Form1.Show();
    HWND window = main_window::Form1.Window();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
    PumpFor(300);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 193);
    EXPECT_EQ(client.bottom, 214);
    // Left margin beside the panels, and the gap between the panels.
    EXPECT_EQ(ClientPixel(window, 4, 60), kForm1Back);
    EXPECT_EQ(ClientPixel(window, 100, 85), kForm1Back);
    FramePoints points = PointsOf(window);
    EXPECT_EQ(HitTest(window, points.bottomRight), HTBORDER);
    EXPECT_EQ(HitTest(window, points.leftBorder), HTBORDER);
    EXPECT_EQ(HitTest(window, points.closeBox), HTCLOSE);

    RECT before{}, after{};
    GetWindowRect(window, &before);
    SetForegroundWindow(window);
    Drag(points.bottomRight, POINT{points.bottomRight.x + 30, points.bottomRight.y + 30});
    GetWindowRect(window, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    runtime::Unload(main_window::Form1);
}

TEST(Apply, AgainOnAWindowLoadedAfreshAndTwiceOnTheSameWindow) {
    SkinnedForm form(kFixedDesign, &kColoursSkin);
    ShowAndSettle(form);
    Image first = WholeClient(form.Button(L"Disabled").Window());
    runtime::Unload(form);
    ASSERT_FALSE(form.IsLoaded());
    ShowAndSettle(form);
    EXPECT_EQ(form.loads, 2);
    EXPECT_EQ(WholeClient(form.Button(L"Disabled").Window()), first);
    EXPECT_EQ(HitTest(form.Window(), PointsOf(form.Window()).closeBox), HTCLOSE);

    form.SkinControl()->ApplySkin(form.hWnd());
    PumpFor(200);
    EXPECT_EQ(WholeClient(form.Button(L"Disabled").Window()), first);
    RECT client{};
    GetClientRect(form.Window(), &client);
    EXPECT_EQ(client.right, 240);
    POINT box = PointsOf(form.Window()).closeBox;
    SendMessageW(form.Window(), WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(box.x, box.y));
    ScreenToClient(form.Window(), &box);
    SendMessageW(form.Window(), WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
    EXPECT_TRUE(PumpUntil([&] { return !form.IsLoaded(); }));
}

}  // namespace
