// The main window's start-up and its blocking control, on the real Form1.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "main_window/form1.h"
#include "tests/support/process_observer.h"
#include "tests/support/pump.h"
#include "tests/support/window_query.h"

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

class BlockingTest : public ::testing::Test {
protected:
    void SetUp() override {
        observer_.OnStart([this](const test_support::StartedProcess&) { atStart_.push_back(ReadState()); });
        Form1.Show();
        test_support::PumpFor(100);
    }
    void TearDown() override {
        runtime::Unload(Form1);
        test_support::PumpFor(50);
    }

    test_support::ProcessObserver observer_;
    std::vector<BlockingState> atStart_;  // the controls as each command was started
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

}  // namespace
