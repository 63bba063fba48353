// The help window on the real Form2: its design and text, opening the home page, and its
// one instance as Form1's "Help" button reaches it.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "help_window/form2.h"
#include "main_window/form1.h"
#include "runtime/form.h"
#include "runtime/twips.h"
#include "tests/support/input.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/process_observer.h"
#include "tests/support/pump.h"
#include "tests/support/seam_override.h"
#include "tests/support/window_query.h"

// RECT lives in the global namespace, where the assertions look for these.
static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

static void PrintTo(const RECT& r, std::ostream* out) {
    *out << "{" << r.left << "," << r.top << " - " << r.right << "," << r.bottom << "}";
}

namespace {

using help_window::Form2;
using main_window::Form1;
using test_support::RectInParent;
using test_support::WindowText;

constexpr wchar_t kHelpText[] =
    L"Hushline will block all unwanted messenger popups. If you would like hushline to run on startup, click "
    L"the auto start button and it will be placed into your startup folder. Click the no autostart button to "
    L"remove hushline from the startup folder. You can start / stop hushline at any time by using the Manual "
    L"start / stop buttons. Click the Hide button to send Hushline to the system tray.";
constexpr wchar_t kButtonCaption[] = L"Click Here To View More Of Our Software";
constexpr char kHomePage[] = "https://hushline.example.org/";

RECT Pixels(int left, int top, int width, int height) {
    int x = runtime::TwipsToPixelsX(static_cast<float>(left));
    int y = runtime::TwipsToPixelsY(static_cast<float>(top));
    return {x, y, x + runtime::TwipsToPixelsX(static_cast<float>(width)),
            y + runtime::TwipsToPixelsY(static_cast<float>(height))};
}

// The skin's apply hooks the window's procedure in front of its class's.
bool SkinApplied(HWND window) {
    return GetWindowLongPtrW(window, GWLP_WNDPROC) != static_cast<LONG_PTR>(GetClassLongPtrW(window, GCLP_WNDPROC));
}

std::vector<HWND> HelpWindowsOnScreen() {
    std::vector<HWND> help;
    for (HWND window : test_support::OwnVisibleWindows()) {
        if (WindowText(window) == L"Help") help.push_back(window);
    }
    return help;
}

// One ShellExecuteA as the help window made it, with what the shell answered.
struct ShellCall {
    HWND owner;
    std::optional<std::string> verb, file, parameters, directory;
    INT show;
    INT_PTR result;
};

std::optional<std::string> Maybe(LPCSTR text) { return text ? std::optional<std::string>(text) : std::nullopt; }

// While alive, every ShellExecuteA of the help window is recorded before the real one runs.
class ShellObserver : public test_support::SeamOverride<ShellObserver, decltype(help_window::Seams::shellExecute)> {
public:
    ShellObserver() : SeamOverride(help_window::seams.shellExecute, &Record) {}
    const std::vector<ShellCall>& Calls() const { return calls_; }

private:
    static HINSTANCE WINAPI Record(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                   INT show) {
        ShellCall call{owner, Maybe(verb), Maybe(file), Maybe(parameters), Maybe(directory), show, 0};
        HINSTANCE result = Active().Previous()(owner, verb, file, parameters, directory, show);
        call.result = reinterpret_cast<INT_PTR>(result);
        Active().calls_.push_back(call);
        return result;
    }

    std::vector<ShellCall> calls_;
};

// This process's classes root replaced by a scratch key: with handler set, it holds one
// program for web addresses (the fake browser logging to log); without, no program at all.
class WebAddressPrograms {
public:
    explicit WebAddressPrograms(const std::wstring& handler = L"") {
        root_ = CreateKey(HKEY_CURRENT_USER, path_.c_str());
        if (!handler.empty()) {
            HKEY https = CreateKey(root_, kHttps);
            SetText(https, L"URL Protocol", L"");
            HKEY command = CreateKey(root_, kCommand);
            SetText(command, nullptr, handler);
            RegCloseKey(command);
            RegCloseKey(https);
        }
        EXPECT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, root_), ERROR_SUCCESS);
    }
    ~WebAddressPrograms() {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        for (const wchar_t* key : {kCommand, L"https\\shell\\open", L"https\\shell", kHttps}) RegDeleteKeyW(root_, key);
        RegCloseKey(root_);
        RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
    }
    WebAddressPrograms(const WebAddressPrograms&) = delete;
    WebAddressPrograms& operator=(const WebAddressPrograms&) = delete;

private:
    static constexpr wchar_t kHttps[] = L"https";
    static constexpr wchar_t kCommand[] = L"https\\shell\\open\\command";

    static HKEY CreateKey(HKEY parent, const wchar_t* path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS)
            << "creating key";
        return key;
    }
    static void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
        EXPECT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    std::wstring path_ = L"Software\\HushlineTests\\classes-" + std::to_wstring(GetCurrentProcessId());
    HKEY root_ = nullptr;
};

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::string content;
    char buffer[1024];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) content.append(buffer, read);
    CloseHandle(file);
    size_t start = 0;
    for (size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(content.substr(start, end - start));
    }
    return lines;
}

// Closes, from inside whatever modal loop runs on this thread, each dialog box that
// appears, and notes its owner: a stand-in for the user answering it.
class DialogAnswerer {
public:
    DialogAnswerer() {
        owners_.clear();
        timer_ = SetTimer(nullptr, 0, 50, &DialogAnswerer::OnTimer);
    }
    ~DialogAnswerer() { KillTimer(nullptr, timer_); }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    static const std::vector<HWND>& Owners() { return owners_; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        for (HWND dialog : test_support::OwnVisibleWindows(test_support::kDialogClass)) {
            owners_.push_back(GetWindow(dialog, GW_OWNER));
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
    }
    static inline std::vector<HWND> owners_;
    UINT_PTR timer_ = 0;
};

class HelpWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form2.Show();
        ASSERT_TRUE(Form2.IsLoaded());
        test_support::PumpFor(100);
    }
    void TearDown() override {
        runtime::Unload(Form2);
        test_support::PumpFor(50);
    }
};

TEST_F(HelpWindowTest, FrameIsTheRuntimesSizableDefaultWithoutIcon) {
    HWND window = Form2.Window();
    EXPECT_EQ(WindowText(window), L"Help");
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client, Pixels(0, 0, 4980, 2550));
    LONG style = GetWindowLongW(window, GWL_STYLE);
    for (LONG bit : {WS_CAPTION, WS_THICKFRAME, WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX}) {
        EXPECT_EQ(style & bit, bit) << "style bit 0x" << std::hex << bit;
    }
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(GetClassLongPtrW(window, GCLP_HICON), 0u);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr) << "modeless, no owner";
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(HelpWindowTest, LabelHoldsTheExactTextInItsStoredFont) {
    HWND label = Form2.SkinLabel1.Window();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(WindowText(label), kHelpText);

    LOGFONTW font{};
    ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof(font), &font), 0);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(font.lfHeight, -MulDiv(825, runtime::ScreenDpiY(), 7200)) << "8.25 points";
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
}

TEST_F(HelpWindowTest, ControlsStandAtTheirDesignedPlaces) {
    EXPECT_EQ(RectInParent(Form2.SkinLabel1.Window()), Pixels(240, 240, 4575, 2295));
    EXPECT_EQ(RectInParent(Form2.Command1.Window()), Pixels(240, 1920, 4455, 375));
    EXPECT_EQ(WindowText(Form2.Command1.Window()), kButtonCaption);
    EXPECT_TRUE(IsWindowEnabled(Form2.Command1.Window()));
    EXPECT_TRUE(IsWindowVisible(Form2.Command1.Window()));
    EXPECT_TRUE(SkinApplied(Form2.Window())) << "Load applies the window's skin";
}

// The text wraps inside the label and ends above the button, so the button hides none of it.
TEST_F(HelpWindowTest, WholeTextFitsAboveTheButton) {
    HWND label = Form2.SkinLabel1.Window();
    RECT client{};
    GetClientRect(label, &client);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT text = client;
    DrawTextW(dc, kHelpText, -1, &text, DT_CALCRECT | DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);

    RECT button = RectInParent(Form2.Command1.Window());
    RECT labelRect = RectInParent(label);
    EXPECT_LE(text.right, client.right);
    EXPECT_LE(text.bottom, button.top - labelRect.top) << "text bottom " << text.bottom;
}

// A real click on the button reaches it through the label that covers it.
TEST_F(HelpWindowTest, MouseClickOnTheButtonReachesIt) {
    WebAddressPrograms none;
    DialogAnswerer answerer;
    ShellObserver shell;
    HWND button = Form2.Command1.Window();
    RECT rect{};
    GetWindowRect(button, &rect);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(centre), button);

    SetForegroundWindow(Form2.Window());
    SetCursorPos(centre.x, centre.y);
    ASSERT_TRUE(test_support::SendMouse({{MOUSEEVENTF_LEFTDOWN}, {MOUSEEVENTF_LEFTUP}}));
    EXPECT_TRUE(test_support::PumpUntil([&] { return !shell.Calls().empty(); }));
    EXPECT_EQ(shell.Calls().size(), 1u);
}

// Resizing moves and resizes nothing inside the window.
TEST_F(HelpWindowTest, ResizingLeavesTheControlsInPlace) {
    const RECT label = Pixels(240, 240, 4575, 2295);
    const RECT button = Pixels(240, 1920, 4455, 375);
    HWND window = Form2.Window();
    struct Case {
        const char* what;
        int width, height;  // outer size in pixels; 0: maximize, -1: restore
    } cases[] = {{"larger", 700, 500}, {"smaller", 200, 120}, {"maximized", 0, 0}, {"restored", -1, -1}};
    for (const Case& c : cases) {
        if (c.width > 0) {
            SetWindowPos(window, nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER);
        } else {
            ShowWindow(window, c.width == 0 ? SW_MAXIMIZE : SW_RESTORE);
        }
        test_support::PumpFor(50);
        EXPECT_EQ(RectInParent(Form2.SkinLabel1.Window()), label) << c.what;
        EXPECT_EQ(RectInParent(Form2.Command1.Window()), button) << c.what;
        EXPECT_EQ(WindowText(Form2.SkinLabel1.Window()), kHelpText) << c.what;
    }
}

TEST_F(HelpWindowTest, EachPressAsksTheShellOnceForTheHomePage) {
    const std::wstring log = OwnFolder() + L"\\help-browser-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(log.c_str());
    WebAddressPrograms browser(L"\"" + OwnFolder() + L"\\" FAKE_BROWSER L"\" \"" + log + L"\" \"%1\"");
    ShellObserver shell;

    test_support::Click(Form2.Command1.Window());
    test_support::Click(Form2.Command1.Window());

    ASSERT_EQ(shell.Calls().size(), 2u);
    for (const ShellCall& call : shell.Calls()) {
        EXPECT_EQ(call.owner, Form2.Window());
        EXPECT_EQ(call.verb, std::nullopt) << "the shell's default verb";
        EXPECT_EQ(call.file, kHomePage);
        EXPECT_EQ(call.parameters, std::nullopt);
        EXPECT_EQ(call.directory, std::nullopt);
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
        EXPECT_GT(call.result, 32) << "the real call opened the address";
    }
    // The registered program really ran, once per press, with the address unchanged.
    EXPECT_TRUE(test_support::PumpUntil([&] { return ReadLines(log).size() >= 2; }, 10000));
    EXPECT_EQ(ReadLines(log), (std::vector<std::string>{kHomePage, kHomePage}));
    DeleteFileW(log.c_str());
}

TEST_F(HelpWindowTest, NoProgramForWebAddressesLeavesTheWindowAsItWas) {
    HWND window = Form2.Window();
    RECT before{};
    GetWindowRect(window, &before);
    std::vector<HWND> windowsBefore = test_support::OwnVisibleWindows();
    WebAddressPrograms none;
    ShellObserver shell;
    test_support::MessageBoxRecorder ourBoxes;
    DialogAnswerer answerer;

    test_support::Click(Form2.Command1.Window());
    test_support::PumpFor(300);

    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_LE(shell.Calls()[0].result, 32) << "the shell found no program";
    EXPECT_TRUE(ourBoxes.Boxes().empty()) << "the program reports nothing";
    for (HWND owner : DialogAnswerer::Owners()) EXPECT_EQ(owner, window) << "a shell message is owned by the help window";
    EXPECT_EQ(test_support::OwnVisibleWindows(), windowsBefore);
    EXPECT_TRUE(Form2.IsLoaded());
    EXPECT_EQ(Form2.Window(), window);
    EXPECT_TRUE(IsWindowVisible(window));
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(WindowText(Form2.SkinLabel1.Window()), kHelpText);
    EXPECT_TRUE(IsWindowEnabled(Form2.Command1.Window()));
}

// Closing from the frame unloads the window; the next Show loads it afresh and Load runs.
TEST(HelpWindowLifecycle, CloseUnloadsAndShowLoadsAfresh) {
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        Form2.Show();
        HWND window = Form2.Window();
        ASSERT_TRUE(IsWindow(window));
        EXPECT_TRUE(SkinApplied(window)) << "Load ran and applied the skin";
        EXPECT_EQ(WindowText(Form2.SkinLabel1.Window()), kHelpText);
        EXPECT_EQ(HelpWindowsOnScreen().size(), 1u);

        SendMessageW(window, WM_CLOSE, 0, 0);  // what the close box sends
        EXPECT_FALSE(Form2.IsLoaded());
        EXPECT_FALSE(IsWindow(window));
        test_support::PumpFor(50);
    }
}

// Form1's "Help" reaches the one help window, which outlives the main window.
class HelpFromMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form1.Show();
        test_support::PumpFor(100);
    }
    void TearDown() override {
        runtime::Unload(Form2);
        runtime::Unload(Form1);
        test_support::PumpFor(50);
    }
    test_support::ProcessObserver processes_;  // start-up's service command
};

bool QuitPosted() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

TEST_F(HelpFromMainWindowTest, HelpTwiceMakesOneWindow) {
    test_support::Click(Form1.Command8.Window());
    ASSERT_TRUE(Form2.IsLoaded());
    HWND first = Form2.Window();
    test_support::Click(Form1.Command8.Window());
    EXPECT_EQ(Form2.Window(), first);
    test_support::PumpFor(100);
    EXPECT_EQ(HelpWindowsOnScreen(), std::vector<HWND>{first});
    EXPECT_TRUE(SkinApplied(first));
}

TEST_F(HelpFromMainWindowTest, HelpAfterClosingLoadsTheWindowAgain) {
    test_support::Click(Form1.Command8.Window());
    HWND first = Form2.Window();
    SendMessageW(first, WM_CLOSE, 0, 0);
    ASSERT_FALSE(Form2.IsLoaded());
    EXPECT_TRUE(Form1.IsLoaded()) << "closing help leaves the main window";

    test_support::Click(Form1.Command8.Window());
    ASSERT_TRUE(Form2.IsLoaded());
    EXPECT_TRUE(SkinApplied(Form2.Window())) << "Load ran again";
    test_support::PumpFor(100);
    EXPECT_EQ(HelpWindowsOnScreen().size(), 1u);
}

// What the user does to the main window while the help window is open.
enum class MainWindowStep { Hide, Exit, TrayExit };

struct OutlivingCase {
    const char* name;
    std::vector<MainWindowStep> steps;
    bool mainUnloaded;  // once the steps are done
};

class HelpWindowOutlives : public HelpFromMainWindowTest, public ::testing::WithParamInterface<OutlivingCase> {};

// The help window stays when the main window hides or goes, and the program ends only when
// no form is left loaded.
TEST_P(HelpWindowOutlives, TheMainWindowsHideAndExit) {
    const OutlivingCase& c = GetParam();
    test_support::Click(Form1.Command8.Window());  // "Help"
    ASSERT_TRUE(Form2.IsLoaded());
    HWND help = Form2.Window();
    HWND main = Form1.Window();
    for (MainWindowStep step : c.steps) {
        switch (step) {
            case MainWindowStep::Hide: test_support::Click(Form1.Command5.Window()); break;
            case MainWindowStep::Exit: test_support::Click(Form1.Command6.Window()); break;
            case MainWindowStep::TrayExit: Form1.exit.Click(); break;  // the way out while hidden
        }
    }
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(Form1.IsLoaded(), !c.mainUnloaded);
    EXPECT_EQ(IsWindow(main) != FALSE, !c.mainUnloaded);
    EXPECT_TRUE(Form2.IsLoaded());
    EXPECT_TRUE(IsWindowVisible(help));
    EXPECT_FALSE(QuitPosted()) << "the process goes on while the help window is loaded";

    SendMessageW(help, WM_CLOSE, 0, 0);
    EXPECT_EQ(QuitPosted(), c.mainUnloaded) << "the program ends once no form is left loaded";
}

using enum MainWindowStep;
INSTANTIATE_TEST_SUITE_P(
    MainWindow, HelpWindowOutlives,
    ::testing::Values(OutlivingCase{"hide", {Hide}, false},
                      OutlivingCase{"exit_button", {Exit}, true},
                      OutlivingCase{"tray_exit_while_hidden", {Hide, TrayExit}, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
