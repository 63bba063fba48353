// The start-up shortcut on the real Form1: the start-up test, Auto Start and No Auto Start,
// against the Startup folder of the tests' Wine prefix and the test program's own folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "main_window/form1.h"
#include "main_window/module1.h"
#include "runtime/app.h"
#include "tests/support/child_process.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/paths.h"
#include "tests/support/pump.h"
#include "tests/support/scratch_files.h"
#include "tests/support/window_query.h"

namespace {

using main_window::Form1;
using test_support::Exists;
using test_support::kArc;
using test_support::kHid;
using test_support::kRO;
using test_support::kSys;
using test_support::PutFile;
using test_support::PutFolder;
using test_support::ReadBytes;
using test_support::RemoveEntry;
using test_support::WindowText;

constexpr DWORD kKeptBits = kRO | kHid | kSys;

// The program only copies its shortcut; any bytes do, NULs included.
const std::string kShortcutBytes("L\0\0\0\x01\x14\x02\0 the shortcut that ships with the program", 48);

constexpr wchar_t kNotFound[] = L"Could not find shortcut";

// The start-up panel, read from the real windows.
struct PanelState {
    std::wstring label;
    bool autoStart;
    bool noAutoStart;

    bool operator==(const PanelState&) const = default;
};

void PrintTo(const PanelState& s, std::ostream* out) {
    *out << "{\"" << std::string(s.label.begin(), s.label.end()) << "\", Auto Start " << s.autoStart
         << ", No Auto Start " << s.noAutoStart << "}";
}

PanelState ReadPanel() {
    return {WindowText(Form1.Label2.Window()), IsWindowEnabled(Form1.Command1.Window()) != FALSE,
            IsWindowEnabled(Form1.Command2.Window()) != FALSE};
}

const PanelState kWillRun{L"Hush will Run on Startup", false, true};
const PanelState kWillNotRun{L"Hush will Not Run on Startup", true, false};

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return (length > 0 && length < MAX_PATH) ? std::wstring(value, length) : std::wstring();
}

// A drive letter that the test run maps to a scratch folder, as "R:"; "" when not run so.
std::wstring RootDrive() { return EnvironmentValue(L"HUSHLINE_ROOT_DRIVE"); }

constexpr wchar_t kChildVariable[] = L"HUSHLINE_STARTUP_CHILD";

class StartupShortcutTest : public ::testing::Test {
protected:
    void SetUp() override {
        startupFolder_ = Module1::SpecialFolderPath(Module1::CSIDL_STARTUP_FOLDER);
        ASSERT_FALSE(startupFolder_.empty());
        installed_ = startupFolder_ + L"\\Hushline.lnk";
        shipped_ = runtime::App::Path() + L"\\Hushline.lnk";
        RemoveEntry(installed_);
        RemoveEntry(shipped_);
        boxes_.emplace();
    }
    void TearDown() override {
        UnloadForm1();
        RemoveEntry(installed_);
        RemoveEntry(shipped_);
    }

    void LoadForm1() {
        Form1.Show();
        test_support::PumpFor(20);
    }
    void UnloadForm1() {
        if (Form1.IsLoaded()) runtime::Unload(Form1);
        test_support::PumpFor(20);
    }
    void Restart() {
        UnloadForm1();
        LoadForm1();
    }
    void ClickAutoStart() { test_support::Click(Form1.Command1.Window()); }
    void ClickNoAutoStart() { test_support::Click(Form1.Command2.Window()); }

    void ExpectOneFailureBox() {
        ASSERT_EQ(boxes_->Boxes().size(), 1u);
        const test_support::RecordedBox& box = boxes_->Boxes()[0];
        EXPECT_EQ(box.text, kNotFound);
        EXPECT_EQ(box.caption, L"Hushline");
        EXPECT_EQ(box.type & (MB_TYPEMASK | MB_ICONMASK), static_cast<UINT>(MB_OK)) << "one OK button, no icon";
        boxes_->Clear();
    }

    std::wstring startupFolder_;
    std::wstring installed_;  // the shortcut in the Startup folder
    std::wstring shipped_;    // the shortcut in the program's folder
    std::optional<test_support::MessageBoxRecorder> boxes_;
};

struct AttributeCase {
    const char* what;
    DWORD attributes;
};

constexpr AttributeCase kShortcutAttributes[] = {
    {"plain", 0},
    {"read-only", kRO},
    {"hidden", kHid},
    {"system", kSys},
    {"archive", kArc},
    {"read-only hidden", kRO | kHid},
    {"hidden system", kHid | kSys},
    {"all four", kRO | kHid | kSys | kArc},
};

TEST_F(StartupShortcutTest, StartUpFindsTheShortcutWhateverItsAttributes) {
    for (const AttributeCase& c : kShortcutAttributes) {
        SCOPED_TRACE(c.what);
        PutFile(installed_, kShortcutBytes, c.attributes);
        ASSERT_EQ(GetFileAttributesW(installed_.c_str()) & kKeptBits, c.attributes & kKeptBits);
        LoadForm1();
        EXPECT_EQ(Module1::StartupFolder, startupFolder_);
        EXPECT_EQ(ReadPanel(), kWillRun);
        UnloadForm1();
        RemoveEntry(installed_);
    }
}

struct AbsentCase {
    const char* what;
    bool folder;
    DWORD attributes;
};

constexpr AbsentCase kNoShortcut[] = {
    {"nothing of that name", false, 0},
    {"a folder of that name", true, 0},
    {"a hidden system folder of that name", true, kHid | kSys},
};

TEST_F(StartupShortcutTest, StartUpWithoutAFileOfThatNameShowsWillNotRun) {
    for (const AbsentCase& c : kNoShortcut) {
        SCOPED_TRACE(c.what);
        if (c.folder) PutFolder(installed_, c.attributes);
        LoadForm1();
        EXPECT_EQ(ReadPanel(), kWillNotRun);
        UnloadForm1();
        RemoveEntry(installed_);
    }
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(StartupShortcutTest, AutoStartCopiesTheShortcutAndTheNextStartFindsIt) {
    PutFile(shipped_, kShortcutBytes);
    LoadForm1();
    ASSERT_EQ(ReadPanel(), kWillNotRun);

    ClickAutoStart();
    EXPECT_EQ(ReadBytes(installed_), kShortcutBytes);
    EXPECT_EQ(ReadPanel(), kWillRun);

    Restart();
    EXPECT_EQ(ReadPanel(), kWillRun) << "the file is the only record of the choice";

    ClickNoAutoStart();
    EXPECT_FALSE(Exists(installed_));
    EXPECT_EQ(ReadPanel(), kWillNotRun);
    EXPECT_EQ(ReadBytes(shipped_), kShortcutBytes) << "the program's own copy stays";

    Restart();
    EXPECT_EQ(ReadPanel(), kWillNotRun);
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(StartupShortcutTest, AutoStartReplacesAFilePlacedThereWhileRunning) {
    PutFile(shipped_, kShortcutBytes);
    LoadForm1();
    PutFile(installed_, "someone else's file");
    ClickAutoStart();
    EXPECT_EQ(ReadBytes(installed_), kShortcutBytes);
    EXPECT_EQ(ReadPanel(), kWillRun);
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(StartupShortcutTest, AutoStartWithoutTheShortcutInTheProgramFolderFailsAndCanBeTriedAgain) {
    LoadForm1();
    ClickAutoStart();
    ExpectOneFailureBox();
    EXPECT_FALSE(Exists(installed_));
    EXPECT_EQ(ReadPanel(), kWillNotRun);

    PutFile(shipped_, kShortcutBytes);
    ClickAutoStart();
    EXPECT_TRUE(boxes_->Boxes().empty());
    EXPECT_EQ(ReadBytes(installed_), kShortcutBytes);
    EXPECT_EQ(ReadPanel(), kWillRun);
}

TEST_F(StartupShortcutTest, AutoStartOntoAFolderOfThatNameFailsAndKeepsThePanel) {
    PutFile(shipped_, kShortcutBytes);
    PutFolder(installed_);
    LoadForm1();
    ASSERT_EQ(ReadPanel(), kWillNotRun);
    ClickAutoStart();
    ExpectOneFailureBox();
    EXPECT_EQ(ReadPanel(), kWillNotRun);
    EXPECT_TRUE(GetFileAttributesW(installed_.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

struct DeleteFailureCase {
    const char* what;
    DWORD attributes;
    bool deletedByHand;
};

constexpr DeleteFailureCase kDeleteFailures[] = {
    {"deleted by hand while running", 0, true},
    {"read-only, so the delete is refused", kRO, false},
};

TEST_F(StartupShortcutTest, NoAutoStartThatFailsShowsTheMessageAndStaysInWillRun) {
    for (const DeleteFailureCase& c : kDeleteFailures) {
        SCOPED_TRACE(c.what);
        PutFile(installed_, kShortcutBytes, c.attributes);
        LoadForm1();
        ASSERT_EQ(ReadPanel(), kWillRun);
        if (c.deletedByHand) RemoveEntry(installed_);
        ClickNoAutoStart();
        ExpectOneFailureBox();
        EXPECT_EQ(ReadPanel(), kWillRun);
        EXPECT_EQ(Exists(installed_), !c.deletedByHand);
        UnloadForm1();
        RemoveEntry(installed_);
    }
}

struct UnshownBoxCase {
    const char* what;
    bool autoStart;         // else No Auto Start
    bool installedAtStart;  // the shortcut lies in the Startup folder when Form1 loads
    PanelState panel;  // as the start-up test left it
};

const UnshownBoxCase kUnshownBoxes[] = {
    {"Auto Start without the shortcut in the program folder", true, false, kWillNotRun},
    {"No Auto Start after the shortcut was deleted by hand", false, true, kWillRun},
};

// The failure box is the operation's last step: one that cannot be shown ends nothing. Were
// its failure to get past the handler, the runtime would report it and end the program.
TEST_F(StartupShortcutTest, AFailureBoxThatCannotBeShownLeavesTheProgramRunning) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const UnshownBoxCase& c : kUnshownBoxes) {
        SCOPED_TRACE(c.what);
        EXPECT_EXIT(
            {
                boxes_.emplace(test_support::MessageBoxRecorder::Answer::CannotShow);
                if (c.installedAtStart) PutFile(installed_, kShortcutBytes);
                LoadForm1();
                RemoveEntry(installed_);
                if (c.autoStart) {
                    ClickAutoStart();
                } else {
                    ClickNoAutoStart();
                }
                bool kept = Form1.IsLoaded() && ReadPanel() == c.panel && boxes_->Boxes().size() == 1 &&
                            boxes_->Boxes()[0].text == kNotFound;
                UnloadForm1();
                std::fprintf(stderr, "the handler returned; %s\n", kept ? "all as before" : "something changed");
                std::exit(kept ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "the handler returned; all as before");
    }
}

struct SeenBox {
    bool found = false;
    std::wstring title;
    std::vector<std::wstring> texts;    // its visible static texts
    std::vector<std::wstring> buttons;  // its visible buttons
    bool formEnabled = true;
};

TEST_F(StartupShortcutTest, FailureShowsARealBoxThatHoldsTheProgramUntilClosed) {
    boxes_.reset();
    LoadForm1();
    HWND form = Form1.Window();

    SeenBox seen;
    std::thread driver([&] {
        HWND box = nullptr;
        // A dialog window of this process: the message box while it is up.
        for (DWORD start = GetTickCount(); !box && GetTickCount() - start < 15000; Sleep(20)) {
            box = test_support::OwnVisibleWindow(test_support::kDialogClass);
        }
        if (!box) return;
        seen.found = true;
        seen.title = WindowText(box);
        seen.formEnabled = IsWindowEnabled(form) != FALSE;
        HWND ok = nullptr;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) continue;
            std::wstring text = WindowText(child);
            if (test_support::IsClass(child, L"Button")) {
                seen.buttons.push_back(text);
                ok = child;
            } else if (test_support::IsClass(child, L"Static") && !text.empty()) {
                seen.texts.push_back(text);
            }
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(ok ? GetDlgCtrlID(ok) : IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(ok));
    });
    ClickAutoStart();  // returns once the box is closed
    driver.join();

    ASSERT_TRUE(seen.found) << "no message box came up";
    EXPECT_EQ(seen.title, L"Hushline");
    EXPECT_EQ(seen.texts, std::vector<std::wstring>{kNotFound});
    EXPECT_EQ(seen.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_FALSE(seen.formEnabled) << "modal: the main window cannot be used while the box is up";
    EXPECT_TRUE(IsWindowEnabled(form));
    EXPECT_EQ(ReadPanel(), kWillNotRun);
}

// With the user's Startup folder pointed at a place that cannot exist, the shell refuses
// the lookup for real. The current folder is the root of the scratch drive, where a file
// named like the shortcut belongs to the user.
class NoStartupFolderTest : public StartupShortcutTest {
protected:
    static constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

    void SetUp() override {
        StartupShortcutTest::SetUp();
        if (HasFatalFailure()) return;
        root_ = RootDrive();
        if (root_.empty()) GTEST_SKIP() << "needs the scratch drive of the test run (HUSHLINE_ROOT_DRIVE)";
        root_ += L"\\";
        userFile_ = root_ + L"Hushline.lnk";
        blocker_ = root_ + L"blocker";

        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_),
                  ERROR_SUCCESS);
        DWORD size = 0;
        if (RegQueryValueExW(key_, L"Startup", nullptr, &savedType_, nullptr, &size) == ERROR_SUCCESS) {
            saved_.emplace(size, '\0');
            RegQueryValueExW(key_, L"Startup", nullptr, &savedType_, reinterpret_cast<BYTE*>(saved_->data()), &size);
        }
        // A folder inside a plain file can be neither found nor made.
        PutFile(blocker_, "not a folder");
        std::wstring impossible = blocker_ + L"\\StartUp";
        ASSERT_EQ(RegSetValueExW(key_, L"Startup", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(impossible.c_str()),
                                 static_cast<DWORD>((impossible.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        ASSERT_EQ(Module1::SpecialFolderPath(Module1::CSIDL_STARTUP_FOLDER), L"");

        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        savedCurrent_ = current;
        ASSERT_TRUE(SetCurrentDirectoryW(root_.c_str()));
    }
    void TearDown() override {
        UnloadForm1();
        if (!savedCurrent_.empty()) SetCurrentDirectoryW(savedCurrent_.c_str());
        if (key_) {
            if (saved_) {
                RegSetValueExW(key_, L"Startup", 0, savedType_, reinterpret_cast<const BYTE*>(saved_->data()),
                               static_cast<DWORD>(saved_->size()));
            } else {
                RegDeleteValueW(key_, L"Startup");
            }
            RegCloseKey(key_);
        }
        if (!root_.empty()) {
            RemoveEntry(userFile_);
            RemoveEntry(blocker_);
        }
        StartupShortcutTest::TearDown();
        EXPECT_EQ(Module1::SpecialFolderPath(Module1::CSIDL_STARTUP_FOLDER), startupFolder_)
            << "the prefix's Startup folder must be back";
    }

    std::wstring root_;
    std::wstring userFile_;
    std::wstring blocker_;
    std::wstring savedCurrent_;
    HKEY key_ = nullptr;
    DWORD savedType_ = REG_EXPAND_SZ;
    std::optional<std::string> saved_;
};

TEST_F(NoStartupFolderTest, ShowsWillNotRunAndLeavesAFileAtTheDriveRootAlone) {
    const std::string users = "the user's own file";
    PutFile(userFile_, users);
    PutFile(shipped_, kShortcutBytes);

    LoadForm1();
    EXPECT_EQ(Module1::StartupFolder, L"");
    EXPECT_EQ(ReadPanel(), kWillNotRun) << "a file at the drive root is no shortcut of ours";
    EXPECT_TRUE(boxes_->Boxes().empty()) << "the failed lookup itself tells nothing";

    ClickAutoStart();
    ExpectOneFailureBox();
    EXPECT_EQ(ReadPanel(), kWillNotRun);
    EXPECT_EQ(ReadBytes(userFile_), users);

    Form1.Command2_Click();  // its button is disabled; the operation itself must still refuse
    ExpectOneFailureBox();
    EXPECT_EQ(ReadPanel(), kWillNotRun);
    EXPECT_EQ(ReadBytes(userFile_), users);
}

// Runs a copy of this test program from the root of the scratch drive, so that its program
// folder is a drive root and the shortcut's source has two separators in a row.
TEST_F(StartupShortcutTest, AutoStartFromAProgramFolderAtADriveRoot) {
    std::wstring root = RootDrive();
    if (root.empty()) GTEST_SKIP() << "needs the scratch drive of the test run (HUSHLINE_ROOT_DRIVE)";
    root += L"\\";
    const std::wstring copy = root + L"startup_tests.exe";
    const std::wstring rootShortcut = root + L"Hushline.lnk";
    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));
    PutFile(rootShortcut, kShortcutBytes);

    DWORD exitCode = 0;
    bool ended = false;
    {
        test_support::ChildProcess child = test_support::StartTestCopy(copy, L"DriveRootChild.*", kChildVariable, L"1");
        ASSERT_TRUE(child.Started());
        ended = child.Await(60000, exitCode);
    }

    EXPECT_TRUE(ended) << "the copy did not end in time";
    EXPECT_EQ(exitCode, 0u) << "the copy's test failed; see its output above";
    EXPECT_EQ(ReadBytes(installed_), kShortcutBytes);
    RemoveEntry(rootShortcut);
    EXPECT_TRUE(test_support::RemoveWhenReleased(copy));
}

// The copy's half of the test above; skipped when the test program runs on its own.
TEST(DriveRootChild, AutoStartCopiesTheShortcutFromTheRoot) {
    if (EnvironmentValue(kChildVariable).empty()) GTEST_SKIP() << "run by AutoStartFromAProgramFolderAtADriveRoot";
    std::wstring folder = runtime::App::Path();
    ASSERT_EQ(folder.size(), 3u);
    ASSERT_EQ(folder.substr(1), L":\\");
    ASSERT_TRUE(Exists(folder + L"\\Hushline.lnk"));

    test_support::MessageBoxRecorder boxes;
    Form1.Show();
    EXPECT_EQ(ReadPanel(), kWillNotRun);
    test_support::Click(Form1.Command1.Window());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(ReadPanel(), kWillRun);
    runtime::Unload(Form1);
}

}  // namespace
