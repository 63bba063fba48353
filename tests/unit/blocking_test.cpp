// The main window's start-up and its blocking control, on the real Form1.
#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "main_window/form1.h"
#include "main_window/module1.h"
#include "runtime/app.h"
#include "runtime/seams.h"
#include "tests/support/child_process.h"
#include "tests/support/process_observer.h"
#include "tests/support/pump.h"
#include "tests/support/window_query.h"
#include "tray/module2.h"

namespace {

using main_window::Form1;

// The five controls that show the blocking state.
struct BlockingState {
    bool goEnabled;
    bool stopEnabled;
    std::wstring label;
    bool startChecked;
    bool stop2Checked;

    bool operator==(const BlockingState&) const = default;
};

void PrintTo(const BlockingState& s, std::ostream* out) {
    *out << "{Go " << s.goEnabled << ", Stop " << s.stopEnabled << ", \"" << std::string(s.label.begin(), s.label.end())
         << "\", start " << s.startChecked << ", stop2 " << s.stop2Checked << "}";
}

// Read straight from the real windows and menu, not from the runtime's objects.
BlockingState ReadState() {
    using test_support::WindowText;
    HMENU menu = Form1.MnuTray.Handle();
    return {IsWindowEnabled(Form1.Command4.Window()) != FALSE, IsWindowEnabled(Form1.Command3.Window()) != FALSE,
            WindowText(Form1.Label3.Window()), (GetMenuState(menu, Form1.start.Id(), MF_BYCOMMAND) & MF_CHECKED) != 0,
            (GetMenuState(menu, Form1.stop2.Id(), MF_BYCOMMAND) & MF_CHECKED) != 0};
}

const BlockingState kOnAtStartup{false, true, L" Hush Enabled", true, false};
const BlockingState kOn{false, true, L"Hush Enabled", true, false};
const BlockingState kOff{true, false, L"Hush Not Enabled", false, true};

constexpr wchar_t kStop[] = L"net stop messenger";
constexpr wchar_t kStart[] = L"net start messenger";

// What the steps around the blocking command have written by the time it starts: the tray
// record's tip, the Startup folder looked up, and the start-up panel's label.
struct Neighbours {
    std::wstring tip;
    std::wstring startupFolder;
    std::wstring startupLabel;
};

Neighbours ReadNeighbours() {
    wchar_t label[128] = {};
    GetWindowTextW(Form1.Label2.Window(), label, 128);
    const wchar_t* tip = Module2::TrayData.szTip;
    return {std::wstring(tip, wcsnlen(tip, Module2::kTipLength)), Module1::StartupFolder, label};
}

class BlockingTest : public ::testing::Test {
protected:
    void SetUp() override {
        observer_.OnStart([this](const test_support::StartedProcess&) {
            atStart_.push_back(ReadState());
            neighboursAtStart_.push_back(ReadNeighbours());
        });
        // As a fresh process has them, so that what is seen is what this start-up set.
        Module2::TrayData = Module2::TrayRecord{};
        Module1::StartupFolder.clear();
        Form1.Show();
        test_support::PumpFor(100);
    }
    void TearDown() override {
        runtime::Unload(Form1);
        test_support::PumpFor(50);
    }

    test_support::ProcessObserver observer_;
    std::vector<BlockingState> atStart_;  // the controls as each command was started
    std::vector<Neighbours> neighboursAtStart_;
};

TEST_F(BlockingTest, StartUpStopsTheServiceOnceThenShowsBlockingOn) {
    ASSERT_EQ(observer_.CommandLines(), std::vector<std::wstring>{kStop});
    EXPECT_EQ(observer_.Started()[0].showWindow, SW_SHOWMINIMIZED) << "window style 2: minimized, with focus";
    ASSERT_EQ(atStart_.size(), 1u);
    EXPECT_EQ(atStart_[0].label, L"Label2") << "the command starts before any control is written";
    EXPECT_TRUE(atStart_[0].goEnabled);
    EXPECT_EQ(ReadState(), kOnAtStartup);
    EXPECT_TRUE(IsWindowVisible(Form1.Window())) << "shown after Load although Load hid it";
}

// The tooltip is set before the command starts, and the Startup folder is looked up after.
TEST_F(BlockingTest, StartUpStartsTheCommandBetweenTheTooltipAndTheStartupTest) {
    ASSERT_EQ(neighboursAtStart_.size(), 1u);
    EXPECT_EQ(neighboursAtStart_[0].tip, L"Right Click For Options");
    EXPECT_EQ(neighboursAtStart_[0].startupFolder, L"") << "the Startup folder was looked up before the command";
    EXPECT_EQ(neighboursAtStart_[0].startupLabel, L"Label1") << "the start-up test ran before the command";
    Neighbours after = ReadNeighbours();
    EXPECT_NE(after.startupFolder, L"");
    EXPECT_NE(after.startupLabel, L"Label1");
}

TEST_F(BlockingTest, StartUpLeavesNoPlaceholderOnScreen) {
    EXPECT_NE(Form1.Label3.Caption(), L"Label2");
    EXPECT_NE(Form1.Label2.Caption(), L"Label1");
}

struct SwitchCase {
    const char* name;
    std::vector<const char*> steps;  // "Go", "Stop": buttons; "start", "stop2": tray items
    BlockingState after;
    std::vector<std::wstring> commands;  // after start-up's own
};

class BlockingSwitchTest : public BlockingTest, public ::testing::WithParamInterface<SwitchCase> {};

void Perform(const std::string& step) {
    if (step == "Go") test_support::Click(Form1.Command4.Window());
    else if (step == "Stop") test_support::Click(Form1.Command3.Window());
    else if (step == "start") Form1.start.Click();
    else if (step == "stop2") Form1.stop2.Click();
}

TEST_P(BlockingSwitchTest, EachSwitchStartsItsCommandFirstThenWritesTheState) {
    const SwitchCase& c = GetParam();
    observer_.Clear();
    atStart_.clear();
    BlockingState before = ReadState();
    for (const char* step : c.steps) {
        BlockingState previous = ReadState();
        size_t started = atStart_.size();
        Perform(step);
        ASSERT_EQ(atStart_.size(), started + 1) << step << " started no command";
        EXPECT_EQ(atStart_.back(), previous) << step << " wrote a control before starting its command";
    }
    EXPECT_EQ(observer_.CommandLines(), c.commands);
    EXPECT_EQ(ReadState(), c.after) << "from " << ::testing::PrintToString(before);
    EXPECT_NE(ReadState().goEnabled, ReadState().stopEnabled) << "exactly one of Go and Stop is enabled";
}

INSTANTIATE_TEST_SUITE_P(
    Switches, BlockingSwitchTest,
    ::testing::Values(SwitchCase{"Stop", {"Stop"}, kOff, {kStart}},
                      SwitchCase{"StopThenGo", {"Stop", "Go"}, kOn, {kStart, kStop}},
                      SwitchCase{"TrayStopped", {"stop2"}, kOff, {kStart}},
                      SwitchCase{"TrayStoppedThenTrayStarted", {"stop2", "start"}, kOn, {kStart, kStop}},
                      // The tray items test nothing: picking the state already on starts the command again.
                      SwitchCase{"TrayStartedWhileOn", {"start"}, kOn, {kStop}},
                      SwitchCase{"TrayStoppedTwice", {"stop2", "stop2"}, kOff, {kStart, kStart}},
                      SwitchCase{"StopThenTrayStarted", {"Stop", "start"}, kOn, {kStart, kStop}},
                      SwitchCase{"TrayStoppedThenGo", {"stop2", "Go"}, kOn, {kStart, kStop}}),
    [](const auto& info) { return std::string(info.param.name); });

// A start-up step that fails ends the program with the runtime's message before its window
// is ever shown. The start path ends the process, so a copy of this program runs it, with
// the process start at the seam refused; this side reads the real message box, closes it
// and takes the exit code. The copy's hook signals the event if any window of its shows.
constexpr wchar_t kFailingStartVariable[] = L"HUSHLINE_FAILING_START_EVENT";

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return (length > 0 && length < MAX_PATH) ? std::wstring(value, length) : std::wstring();
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

struct ProcessWindows {
    DWORD process;
    HWND box = nullptr;        // a visible dialog: the message box
    HWND form = nullptr;       // the main window, shown or not
    bool otherShown = false;   // any other visible top-level window
};

BOOL CALLBACK NoteWindowOf(HWND window, LPARAM param) {
    auto* windows = reinterpret_cast<ProcessWindows*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != windows->process) return TRUE;
    std::wstring name = ClassOf(window);
    if (name == L"#32770" && IsWindowVisible(window)) windows->box = window;
    else if (name == L"HushlineForm") windows->form = window;
    else if (IsWindowVisible(window)) windows->otherShown = true;
    return TRUE;
}

ProcessWindows WindowsOf(DWORD process) {
    ProcessWindows windows{process};
    EnumWindows(&NoteWindowOf, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

struct SeenBox {
    std::wstring title;
    std::vector<std::wstring> texts;    // its static texts
    std::vector<std::wstring> buttons;  // its visible buttons
    HWND ok = nullptr;
};

SeenBox ReadBox(HWND box) {
    SeenBox seen{TextOf(box)};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        std::wstring text = TextOf(child);
        if (ClassOf(child) == L"Button") {
            seen.buttons.push_back(text);
            seen.ok = child;
        } else if (ClassOf(child) == L"Static" && !text.empty()) {
            seen.texts.push_back(text);
        }
    }
    return seen;
}

TEST(StartUpFailure, AFailingProcessStartEndsTheProgramWithTheRuntimesMessageBeforeTheWindowShows) {
    std::wstring eventName = L"HushlineTestWindowShown" + std::to_wstring(GetCurrentProcessId());
    HANDLE shown = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(shown, nullptr);

    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    test_support::ChildProcess child = test_support::StartTestCopy(self, L"FailingStartChild.*", kFailingStartVariable, eventName);
    ASSERT_TRUE(child.Started());

    ProcessWindows windows{child.Id()};
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(20)) {
        windows = WindowsOf(child.Id());
        if (windows.box || child.HasEnded()) break;
    }
    SeenBox seen;
    if (windows.box) {
        seen = ReadBox(windows.box);
        PostMessageW(windows.box, WM_COMMAND, MAKEWPARAM(seen.ok ? GetDlgCtrlID(seen.ok) : IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(seen.ok));
    }
    DWORD exitCode = 0;
    bool ended = child.Await(30000, exitCode);
    bool anyShown = WaitForSingleObject(shown, 0) == WAIT_OBJECT_0;
    CloseHandle(shown);

    ASSERT_NE(windows.box, nullptr) << "no message box came up; the copy ended with " << exitCode;
    EXPECT_EQ(seen.title, L"Hushline");
    EXPECT_EQ(seen.texts, std::vector<std::wstring>{L"Run-time error '70':\n\nPermission denied"});
    EXPECT_EQ(seen.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_NE(windows.form, nullptr) << "the failure came before the main window was made";
    EXPECT_FALSE(IsWindowVisible(windows.form));
    EXPECT_FALSE(windows.otherShown);
    EXPECT_TRUE(ended) << "the program went on after its message";
    EXPECT_EQ(exitCode, 70u);
    EXPECT_FALSE(anyShown) << "a window of the program was shown";
}

HANDLE g_shownEvent = nullptr;

// Signals the event when a top-level window other than the message box is shown.
LRESULT CALLBACK NoteShownWindow(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    bool showing = (sent->message == WM_SHOWWINDOW && sent->wParam) ||
                   (sent->message == WM_WINDOWPOSCHANGING &&
                    (reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags & SWP_SHOWWINDOW));
    if (code == HC_ACTION && showing && GetAncestor(sent->hwnd, GA_ROOT) == sent->hwnd &&
        ClassOf(sent->hwnd) != L"#32770") {
        SetEvent(g_shownEvent);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI RefusedCreateProcess(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
                                 LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// The copy's half of the test above: the program's own start path, which must end the
// process; skipped when the test program runs on its own.
TEST(FailingStartChild, RunsTheStartPath) {
    std::wstring eventName = EnvironmentValue(kFailingStartVariable);
    if (eventName.empty()) GTEST_SKIP() << "run by StartUpFailure";
    g_shownEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str());
    ASSERT_NE(g_shownEvent, nullptr);
    ASSERT_NE(SetWindowsHookExW(WH_CALLWNDPROC, &NoteShownWindow, nullptr, GetCurrentThreadId()), nullptr);
    runtime::seams.createProcess = &RefusedCreateProcess;
    runtime::App::Run(Form1);
    FAIL() << "the start path returned";
}

}  // namespace
