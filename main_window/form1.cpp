#include "main_window/form1.h"

#include <exception>

#include "help_window/form2.h"
#include "main_window/module1.h"
#include "resources/form1_design.h"
#include "runtime/app.h"
#include "runtime/error.h"
#include "runtime/files.h"
#include "runtime/msgbox.h"
#include "runtime/numeric.h"
#include "runtime/shell.h"
#include "tray/module2.h"

namespace main_window {

namespace {

constexpr wchar_t kBlockCommand[] = L"net stop messenger";
constexpr wchar_t kUnblockCommand[] = L"net start messenger";

constexpr wchar_t kTrayTip[] = L"Right Click For Options";

constexpr wchar_t kBlockingOnAtStartup[] = L" Hush Enabled";
constexpr wchar_t kBlockingOn[] = L"Hush Enabled";
constexpr wchar_t kBlockingOff[] = L"Hush Not Enabled";

constexpr wchar_t kWillRun[] = L"Hush will Run on Startup";
constexpr wchar_t kWillNotRun[] = L"Hush will Not Run on Startup";
constexpr wchar_t kShortcutNotFound[] = L"Could not find shortcut";

// The shortcut's name, joined with its leading separator to a folder's path.
constexpr wchar_t kShortcutName[] = L"\\Hushline.lnk";
// A file of the shortcut's name counts whatever its read-only, hidden, system and archive
// bits; a directory of that name does not.
constexpr int kShortcutAttributes = runtime::kReadOnly | runtime::kHidden | runtime::kSystem | runtime::kArchive;

// The shortcut in the Startup folder. With no folder (a failed lookup) there is none to
// name: a bare "\Hushline.lnk" would be a file at the root of the current drive, not ours.
std::wstring StartupShortcut() {
    if (Module1::StartupFolder.empty()) runtime::Raise(runtime::kPathNotFound);
    return Module1::StartupFolder + kShortcutName;
}

// The one message of a failed start-up shortcut operation, its last step. A box that cannot
// be shown has no one left to tell: the failure stays handled and the program goes on.
void ReportShortcutNotFound() {
    try {
        runtime::MsgBox(kShortcutNotFound, runtime::kOkOnly);
    } catch (const std::exception&) {
    }
}

}  // namespace

Form1Class Form1;

Form1Class::Form1Class()
    : runtime::Form(resources::kForm1Design),
      Command1(Button(L"Command1")),
      Command2(Button(L"Command2")),
      Command3(Button(L"Command3")),
      Command4(Button(L"Command4")),
      Command5(Button(L"Command5")),
      Command6(Button(L"Command6")),
      Command8(Button(L"Command8")),
      Label2(LabelNamed(L"Label2")),
      Label3(LabelNamed(L"Label3")),
      MnuTray(MenuNamed(L"MnuTray")),
      exit(Item(L"exit")),
      sep(Item(L"sep")),
      stop2(Item(L"stop2")),
      start(Item(L"start")),
      Skin1(resources::kForm1Skin) {
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    Command4.Click = [this] { Command4_Click(); };
    Command5.Click = [this] { Command5_Click(); };
    Command6.Click = [this] { Command6_Click(); };
    Command8.Click = [this] { Command8_Click(); };
    exit.Click = [this] { exit_Click(); };
    start.Click = [this] { start_Click(); };
    stop2.Click = [this] { stop2_Click(); };
}

void Form1Class::Form_Load() {
    Skin1.ApplySkin(hWnd());
    Module2::AddTrayIcon(*this, MnuTray);
    Hide();
    Module2::SetTrayIcon(Icon());
    Module2::SetTrayTip(kTrayTip);
    BlockingOnAtStartup();
    StartupTest();
}

void Form1Class::BlockingOnAtStartup() {
    runtime::Shell(kBlockCommand, runtime::kMinimizedFocus);
    Command3.SetEnabled(true);
    Command4.SetEnabled(false);
    start.SetChecked(true);
    Label3.SetCaption(kBlockingOnAtStartup);
}

// The start-up panel shows whether the shortcut lies in the Startup folder.
void Form1Class::StartupTest() {
    Module1::StartupFolder = Module1::SpecialFolderPath(Module1::CSIDL_STARTUP_FOLDER);
    bool found = !Module1::StartupFolder.empty() &&
                 !runtime::Dir(Module1::StartupFolder + kShortcutName, kShortcutAttributes).empty();
    if (!found) {
        Command1.SetEnabled(true);
        Command2.SetEnabled(false);
        Label2.SetCaption(kWillNotRun);
    } else {
        Label2.SetCaption(kWillRun);
        Command2.SetEnabled(true);
        Command1.SetEnabled(false);
    }
}

// Blocking on: "Go" and "Blocking Started".
void Form1Class::BlockingOn() {
    runtime::Shell(kBlockCommand, runtime::kMinimizedFocus);
    Command4.SetEnabled(false);
    Command3.SetEnabled(true);
    start.SetChecked(true);
    stop2.SetChecked(false);
    Label3.SetCaption(kBlockingOn);
}

// Blocking off: "Stop" and "Blocking Stopped"; the label comes before the check marks.
void Form1Class::BlockingOff() {
    runtime::Shell(kUnblockCommand, runtime::kMinimizedFocus);
    Command3.SetEnabled(false);
    Command4.SetEnabled(true);
    Label3.SetCaption(kBlockingOff);
    start.SetChecked(false);
    stop2.SetChecked(true);
}

void Form1Class::Command4_Click() { BlockingOn(); }
void Form1Class::start_Click() { BlockingOn(); }
void Form1Class::Command3_Click() { BlockingOff(); }
void Form1Class::stop2_Click() { BlockingOff(); }

// "Auto Start": copies the shortcut from the program's folder into the Startup folder. Any
// failure shows the one message and leaves the panel as it was.
void Form1Class::Command1_Click() {
    try {
        std::wstring programFolder = runtime::App::Path();
        std::wstring target = StartupShortcut();
        std::wstring source = programFolder + kShortcutName;
        runtime::FileCopy(source, target);
        Label2.SetCaption(kWillRun);
        Command1.SetEnabled(false);
        Command2.SetEnabled(true);
    } catch (const runtime::RuntimeError&) {
        ReportShortcutNotFound();
    }
}

// "No Auto Start": deletes the shortcut from the Startup folder. Any failure shows the one
// message and leaves the panel as it was.
void Form1Class::Command2_Click() {
    try {
        runtime::Kill(StartupShortcut());
        Command2.SetEnabled(false);
        Command1.SetEnabled(true);
        Label2.SetCaption(kWillNotRun);
    } catch (const runtime::RuntimeError&) {
        ReportShortcutNotFound();
    }
}

// "Hide"
void Form1Class::Command5_Click() { Hide(); }

// "Exit"
void Form1Class::Command6_Click() { Unload(*this); }

// "Help"
void Form1Class::Command8_Click() { help_window::Form2.Show(); }

// Tray menu "Exit"
void Form1Class::exit_Click() { Unload(*this); }

// A press on the bare surface, any button, keeps the grab point in the drawing position.
void Form1Class::Form_MouseDown(int16_t, int16_t, float x, float y) {
    SetCurrentX(x);
    SetCurrentY(y);
}

// Dragging with the left button alone keeps the grabbed point under the pointer.
void Form1Class::Form_MouseMove(int16_t button, int16_t, float x, float y) {
    if (button != runtime::kLeftButton) return;
    float left = Left();
    float grabX = CurrentX();
    float top = Top();
    float grabY = CurrentY();
    float newTop = runtime::CheckedAddSub(top, y, grabY);
    float newLeft = runtime::CheckedAddSub(left, x, grabX);
    Move(newLeft, newTop);
}

}  // namespace main_window
