// The main window's look on real windows: the frame and client size, every control's place
// and font, the design's colours, the tab order by the keyboard, the status labels' line
// breaking, and a screenshot kept in the build's artifacts folder.
//
// Form1 itself is loaded (its start-up runs, skin included); the design values that the skin
// may draw over are checked on a bare form of the same design, which no skin touches.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "main_window/form1.h"
#include "resources/form1_design.h"
#include "runtime/form.h"
#include "runtime/handles.h"
#include "runtime/twips.h"
#include "tests/appearance/build_tree.h"
#include "tests/support/capture.h"
#include "tests/support/input.h"
#include "tests/support/pump.h"
#include "tests/support/window_query.h"

namespace {

using appearance::FromBuildTree;
using main_window::Form1;
using test_support::Capture;
using test_support::Image;
using test_support::PumpUntil;
using test_support::RectInParent;
using test_support::WindowText;

constexpr uint32_t kBlack = 0x000000;

// Where a control stands and what font it carries, in pixels at 96 DPI.
struct Place {
    const wchar_t* name;
    int index;       // element of a control array, -1 for none
    int panelIndex;  // the Picture1 element it stands on, -1 for the form itself
    int left, top, width, height;
    const wchar_t* face;
    int fontHeight;  // LOGFONT height: minus the character height in pixels
    int weight;
};

constexpr Place kPlaces[] = {
    {L"Picture1", 1, -1, 8, 8, 177, 73, nullptr, 0, 0},
    {L"Command4", -1, 1, 8, 8, 73, 25, L"Arial", -16, FW_BOLD},
    {L"Command3", -1, 1, 96, 8, 73, 25, L"Arial", -16, FW_BOLD},
    {L"Label3", -1, 1, 8, 40, 161, 25, L"Arial", -15, FW_NORMAL},
    {L"Picture1", 0, -1, 8, 88, 177, 89, nullptr, 0, 0},
    {L"Command1", -1, 0, 8, 8, 73, 25, L"MS Sans Serif", -11, FW_NORMAL},
    {L"Command2", -1, 0, 96, 8, 73, 25, L"MS Sans Serif", -11, FW_NORMAL},
    {L"Label2", -1, 0, 8, 40, 161, 41, L"Arial", -15, FW_NORMAL},
    {L"Command8", -1, -1, 8, 184, 57, 25, L"MS Sans Serif", -11, FW_NORMAL},
    {L"Command5", -1, -1, 72, 184, 57, 25, L"MS Sans Serif", -11, FW_NORMAL},
    {L"Command6", -1, -1, 136, 184, 49, 25, L"MS Sans Serif", -11, FW_NORMAL},
};

runtime::Control& ControlOf(runtime::Form& form, const wchar_t* name, int index) {
    for (runtime::Control* control : form.Controls()) {
        if (std::wstring_view(control->Name()) == name && control->Index() == index) return *control;
    }
    ADD_FAILURE() << "no control " << testing::PrintToString(std::wstring(name));
    throw std::runtime_error("missing control");
}

// A control of Form1 by its name, and index where it has one, for messages.
std::string DescribeControl(HWND window) {
    runtime::Control* control = Form1.ControlByWindow(window);
    if (!control) return window ? "a window that is no control" : "nothing";
    std::wstring name = control->Name();
    std::string text(name.begin(), name.end());
    return control->Index() < 0 ? text : text + "(" + std::to_string(control->Index()) + ")";
}

// Every control at its designed place on its designed parent.
void ExpectDesignPlaces(runtime::Form& form) {
    for (const Place& place : kPlaces) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(place.name)) + " " + std::to_string(place.index));
        HWND window = ControlOf(form, place.name, place.index).Window();
        ASSERT_NE(window, nullptr);
        HWND parent = place.panelIndex < 0 ? form.Window() : form.Panel(L"Picture1", place.panelIndex).Window();
        EXPECT_EQ(GetParent(window), parent);
        RECT rect = RectInParent(window);
        EXPECT_EQ(rect.left, place.left);
        EXPECT_EQ(rect.top, place.top);
        EXPECT_EQ(rect.right - rect.left, place.width);
        EXPECT_EQ(rect.bottom - rect.top, place.height);
        EXPECT_TRUE(IsWindowVisible(window));
    }
}

void ExpectWindowFrame(HWND window) {
    LONG style = GetWindowLongW(window, GWL_STYLE);
    LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    EXPECT_EQ(style & WS_MINIMIZEBOX, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
    EXPECT_EQ(style & WS_CHILD, 0);
    // A taskbar button of its own: an unowned application window, not a tool window.
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
    EXPECT_EQ(exStyle & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_EQ(WindowText(window), L"Hushline");

    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 193);
    EXPECT_EQ(client.bottom, 214);

    // Dragging any part of the frame must not offer to resize.
    RECT outer{};
    GetWindowRect(window, &outer);
    const POINT edges[] = {
        {outer.left, outer.top},
        {outer.right - 1, outer.top},
        {outer.left, outer.bottom - 1},
        {outer.right - 1, outer.bottom - 1},
        {outer.left, (outer.top + outer.bottom) / 2},
        {outer.right - 1, (outer.top + outer.bottom) / 2},
        {(outer.left + outer.right) / 2, outer.top},
        {(outer.left + outer.right) / 2, outer.bottom - 1},
    };
    for (POINT at : edges) {
        LRESULT hit = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
        EXPECT_TRUE(hit < HTSIZEFIRST || hit > HTSIZELAST) << "hit " << hit << " at " << at.x << "," << at.y;
    }
}

void SaveScreenshot(HWND window, const wchar_t* fileName) {
    std::wstring folder = FromBuildTree(ARTIFACTS_DIR);
    CreateDirectoryW(folder.c_str(), nullptr);
    Image shot = Capture(window, /*wholeWindow=*/true);
    ASSERT_GT(shot.width, 0);
    EXPECT_TRUE(test_support::WritePng(folder + L"\\" + fileName, shot));
}

// Rows of a label's client area holding text, grouped into lines, each with its extent.
struct TextLine {
    int top, bottom;   // rows, inclusive
    int left, right;   // columns, inclusive
};

std::vector<TextLine> TextLines(const Image& image) {
    std::map<uint32_t, int> counts;
    for (uint32_t pixel : image.pixels) ++counts[pixel];
    uint32_t ground = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                          return a.second < b.second;
                      })->first;
    std::vector<TextLine> lines;
    bool inLine = false;
    for (int y = 0; y < image.height; ++y) {
        int left = image.width, right = -1;
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) != ground) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        if (right < 0) {
            inLine = false;
            continue;
        }
        if (!inLine) lines.push_back(TextLine{y, y, left, right});
        inLine = true;
        TextLine& line = lines.back();
        line.bottom = y;
        line.left = std::min(line.left, left);
        line.right = std::max(line.right, right);
    }
    return lines;
}

class MainWindow : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(runtime::ScreenDpiX(), 96);
        ASSERT_EQ(runtime::ScreenDpiY(), 96);
        Form1.Show();
        ASSERT_TRUE(PumpUntil([] { return IsWindowVisible(Form1.Window()) != FALSE; }));
    }

    static HWND Window() { return Form1.Window(); }

    void BringToFront() {
        SetForegroundWindow(Window());
        ASSERT_TRUE(PumpUntil([] { return GetForegroundWindow() == Form1.Window(); }));
    }
};

TEST_F(MainWindow, FrameIsFixedWithCloseBoxOnlyAndClientOfDesignSize) { ExpectWindowFrame(Window()); }

TEST_F(MainWindow, EveryControlStandsAtItsDesignedPlace) { ExpectDesignPlaces(Form1); }

TEST_F(MainWindow, TopLeftPixelOfClientIsBlack) {
    Image client = Capture(Window(), /*wholeWindow=*/false);
    ASSERT_EQ(client.width, 193);
    EXPECT_EQ(client.At(0, 0), kBlack);
}

// Tab follows the tab index across the form and its panels: from "Stop" the bottom row from
// right to left, the start-up panel and what it holds, the top panel and what it holds,
// passing over the labels and whichever buttons are disabled, and round again.
TEST_F(MainWindow, TabMovesFocusInDesignedOrder) {
    runtime::Control* topPanel = &Form1.Panel(L"Picture1", 1);
    runtime::Control* startupPanel = &Form1.Panel(L"Picture1", 0);
    struct Case {
        const char* what;
        bool goEnabled, autoStartEnabled, noAutoStartEnabled;
        std::vector<runtime::Control*> after;  // focus after each Tab, starting at "Stop"
    };
    const Case cases[] = {
        {"blocking on, no shortcut", false, true, false,
         {&Form1.Command6, &Form1.Command5, &Form1.Command8, startupPanel, &Form1.Command1, topPanel, &Form1.Command3}},
        {"blocking off, shortcut placed", true, false, true,
         {&Form1.Command6, &Form1.Command5, &Form1.Command8, startupPanel, &Form1.Command2, topPanel, &Form1.Command4,
          &Form1.Command3}},
    };
    auto expectFocusAfterKey = [](bool withShift, runtime::Control* expected) {
        HWND before = GetFocus();
        test_support::PressKeys({VK_TAB}, withShift ? VK_SHIFT : 0);
        PumpUntil([&] { return GetFocus() != before; }, 3000);
        ASSERT_EQ(GetFocus(), expected->Window())
            << "expected " << DescribeControl(expected->Window()) << ", focus on " << DescribeControl(GetFocus());
    };
    BringToFront();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Form1.Command3.SetEnabled(true);
        Form1.Command4.SetEnabled(c.goEnabled);
        Form1.Command1.SetEnabled(c.autoStartEnabled);
        Form1.Command2.SetEnabled(c.noAutoStartEnabled);
        SetFocus(Form1.Command3.Window());
        ASSERT_EQ(GetFocus(), Form1.Command3.Window());
        for (runtime::Control* expected : c.after) ASSERT_NO_FATAL_FAILURE(expectFocusAfterKey(false, expected));
    }
    // Shift+Tab goes back the same way.
    for (runtime::Control* expected : std::vector<runtime::Control*>{&Form1.Command4, topPanel, &Form1.Command2}) {
        SCOPED_TRACE("Shift+Tab");
        ASSERT_NO_FATAL_FAILURE(expectFocusAfterKey(true, expected));
    }

    // The state that the start-up left.
    Form1.Command4.SetEnabled(false);
    Form1.Command1.SetEnabled(true);
    Form1.Command2.SetEnabled(false);
}

// A status text too wide for its label breaks between words; each line is centred and the
// label shows all of it.
TEST_F(MainWindow, StatusLabelsBreakTextIntoCentredLinesShownInFull) {
    struct Case {
        runtime::Label* label;
        const wchar_t* text;
        size_t lines;
    };
    const Case cases[] = {
        {&Form1.Label2, L"Hush will Not Run on Startup", 2},
        {&Form1.Label2, L"Hush will Run on Startup", 2},
        {&Form1.Label3, L" Hush Enabled", 1},
        {&Form1.Label3, L"Hush Not Enabled", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        c.label->SetCaption(c.text);
        HWND window = c.label->Window();
        Image client = Capture(window, /*wholeWindow=*/false);
        ASSERT_GT(client.height, 0);
        std::vector<TextLine> lines = TextLines(client);
        ASSERT_EQ(lines.size(), c.lines);
        for (const TextLine& line : lines) {
            int leftMargin = line.left;
            int rightMargin = client.width - 1 - line.right;
            EXPECT_LE(std::abs(leftMargin - rightMargin), 2) << "margins " << leftMargin << " and " << rightMargin;
            EXPECT_GT(leftMargin, 0);
        }
        // Nothing cut off at the bottom: the text's own measure fits the label.
        runtime::WindowDc dc(window);
        runtime::SelectObjectScope font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
        RECT needed{0, 0, client.width, 0};
        DrawTextW(dc.Get(), c.text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
        EXPECT_LE(needed.bottom, client.height);
        EXPECT_LT(lines.back().bottom, client.height - 1);
    }
    Form1.Label2.SetCaption(L"Hush will Not Run on Startup");
    Form1.Label3.SetCaption(L" Hush Enabled");
}

TEST_F(MainWindow, ScreenshotIsKept) {
    Form1.Label2.SetCaption(L"Hush will Not Run on Startup");
    Form1.Label3.SetCaption(L" Hush Enabled");
    SaveScreenshot(Window(), L"main_window.png");
}

// A form of Form1's design with no skin applied: what the runtime alone makes of the values.
class BareDesign : public testing::Test {
protected:
    void SetUp() override {
        form_.Show();
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form_.Window()) != FALSE; }));
        // Away from Form1, so that neither covers the other.
        SetWindowPos(form_.Window(), HWND_TOP, 600, 40, 0, 0, SWP_NOSIZE);
        form_.LabelNamed(L"Label2").SetCaption(L"Hush will Not Run on Startup");
        form_.LabelNamed(L"Label3").SetCaption(L" Hush Enabled");
    }
    void TearDown() override { runtime::Unload(form_); }

    runtime::Form form_{resources::kForm1Design};
};

TEST_F(BareDesign, FrameIsFixedWithCloseBoxOnlyAndClientOfDesignSize) { ExpectWindowFrame(form_.Window()); }

TEST_F(BareDesign, EveryControlStandsAtItsDesignedPlace) { ExpectDesignPlaces(form_); }

TEST_F(BareDesign, ControlsCarryTheirDesignedFonts) {
    for (const Place& place : kPlaces) {
        if (!place.face) continue;  // panels: their font is used by nothing
        SCOPED_TRACE(testing::PrintToString(std::wstring(place.name)));
        HWND window = ControlOf(form_, place.name, place.index).Window();
        auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW logFont{};
        ASSERT_EQ(GetObjectW(font, sizeof(logFont), &logFont), static_cast<int>(sizeof(logFont)));
        EXPECT_EQ(std::wstring(logFont.lfFaceName), place.face);
        EXPECT_EQ(logFont.lfHeight, place.fontHeight);
        EXPECT_EQ(logFont.lfWeight, place.weight);
        EXPECT_EQ(logFont.lfCharSet, ANSI_CHARSET);
        EXPECT_FALSE(logFont.lfItalic);
        EXPECT_FALSE(logFont.lfUnderline);
        EXPECT_FALSE(logFont.lfStrikeOut);
    }
}

TEST_F(BareDesign, ShowsTheDesignedColours) {
    Image client = Capture(form_.Window(), /*wholeWindow=*/false);
    ASSERT_EQ(client.width, 193);
    ASSERT_EQ(client.height, 214);
    EXPECT_EQ(client.At(0, 0), kBlack);  // the one-pixel picture
    EXPECT_EQ(client.At(1, 0), 0x808080u);
    EXPECT_EQ(client.At(0, 1), 0x808080u);
    EXPECT_EQ(client.At(4, 100), 0x808080u);    // left margin
    EXPECT_EQ(client.At(100, 84), 0x808080u);   // between the panels
    EXPECT_EQ(client.At(68, 200), 0x808080u);   // between "Help" and "Hide"
    EXPECT_EQ(client.At(100, 211), 0x808080u);  // bottom margin
    EXPECT_EQ(client.At(12, 12), 0xC0C0FFu);    // top panel, no frame
    EXPECT_EQ(client.At(8, 8), 0xC0C0FFu);
    EXPECT_EQ(client.At(90, 92), 0xC0C0FFu);    // start-up panel, between its buttons

    for (const wchar_t* name : {L"Label2", L"Label3"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        HWND label = form_.LabelNamed(name).Window();
        EXPECT_EQ(GetWindowLongW(label, GWL_STYLE) & WS_BORDER, WS_BORDER);
        Image text = Capture(label, /*wholeWindow=*/false);
        ASSERT_GT(text.width, 0);
        EXPECT_EQ(text.At(0, 0), 0x404040u);
        // The brightest pixel is the text colour itself.
        EXPECT_EQ(*std::max_element(text.pixels.begin(), text.pixels.end(),
                                    [](uint32_t a, uint32_t b) {
                                        return (a & 0xFF) + ((a >> 8) & 0xFF) + (a >> 16) <
                                               (b & 0xFF) + ((b >> 8) & 0xFF) + (b >> 16);
                                    }),
                  0xFFFFC0u);
    }
}

TEST_F(BareDesign, ScreenshotIsKept) { SaveScreenshot(form_.Window(), L"main_window_unskinned.png"); }

}  // namespace
