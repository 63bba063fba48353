// The end-to-end suite's hands and eyes: a console program that works the real Hushline from
// outside, only through the platform, the way a user and the shell would. It finds the
// program's windows by their captions, clicks with real mouse input, sends the tray callback
// as the shell sends it, reads the pop-up menu off the screen, and asks the service control
// manager for the Messenger service's state.
//
// Every check goes through one snapshot of what can be seen (see Snapshot()); `expect` polls
// it until the wanted values show or the time runs out, and then prints all of it.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/class_names.h"
#include "tests/support/capture.h"
#include "tests/support/input.h"
#include "tests/support/window_query.h"

namespace {

using test_support::ClassOf;
using test_support::Descendants;
using test_support::Image;
using test_support::IsClass;
using test_support::kDialogClass;
using test_support::kMenuClass;
using test_support::ProcessOf;
using test_support::TopLevelWindows;
using test_support::WindowText;

constexpr wchar_t kTitle[] = L"Hushline";
constexpr wchar_t kHelpTitle[] = L"Help";
constexpr wchar_t kServiceName[] = L"messenger";
constexpr wchar_t kShortcutName[] = L"\\Hushline.lnk";
constexpr int kMessageBoxTextId = 0xFFFF;

// The shell's notification callback as Hushline registers it, and the two mouse messages it
// carries in lParam that the program acts on.
constexpr UINT kTrayCallback = 2025;
constexpr LPARAM kLeftButtonUp = WM_LBUTTONUP;   // 514
constexpr LPARAM kRightButtonUp = WM_RBUTTONUP;  // 517

// The tray menu's items, top to bottom; the separator between "Exit" and the rest draws no
// text, so the menu shows three rows of text.
const wchar_t* const kMenuRows[] = {L"Exit", L"Blocking Stopped", L"Blocking Started"};

constexpr DWORD kPollMs = 100;

// ---------------------------------------------------------------------------------------
// Output

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

void Out(const std::wstring& text) {
    std::string bytes = Utf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

void Err(const std::wstring& text) {
    std::string bytes = Utf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

// A check that failed, or a command that could not be carried out; main() prints it.
struct Failure {
    std::wstring what;
};

[[noreturn]] void Fail(std::wstring what) { throw Failure{std::move(what)}; }

std::wstring Quote(const std::wstring& text) { return L"\"" + text + L"\""; }

// ---------------------------------------------------------------------------------------
// Windows

// What a tooltip shows, which it gives only when asked by message.
std::wstring TipTextOf(HWND tooltip) {
    wchar_t buffer[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(tooltip, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                        &length);
    return buffer;
}

// Which of the program's processes a command is about; 0 means any.
DWORD g_pid = 0;

bool OfTarget(HWND window) { return g_pid == 0 || ProcessOf(window) == g_pid; }

// Top-level windows with this caption that are no message box, of every copy of the program.
std::vector<HWND> FormsCaptioned(const wchar_t* caption) {
    std::vector<HWND> found;
    for (HWND window : TopLevelWindows()) {
        if (WindowText(window) == caption && !IsClass(window, kDialogClass)) found.push_back(window);
    }
    return found;
}

std::vector<HWND> OfTarget(const std::vector<HWND>& windows) {
    std::vector<HWND> mine;
    for (HWND window : windows) {
        if (OfTarget(window)) mine.push_back(window);
    }
    return mine;
}

HWND MainWindow() {
    std::vector<HWND> mains = OfTarget(FormsCaptioned(kTitle));
    if (mains.size() > 1) Fail(L"more than one main window: say which copy with --pid");
    return mains.empty() ? nullptr : mains.front();
}

HWND HelpWindow() {
    std::vector<HWND> helps = FormsCaptioned(kHelpTitle);
    return helps.empty() ? nullptr : helps.front();
}

HWND MessageBoxWindow() {
    for (HWND window : TopLevelWindows()) {
        if (IsClass(window, kDialogClass) && WindowText(window) == kTitle && IsWindowVisible(window) &&
            OfTarget(window)) {
            return window;
        }
    }
    return nullptr;
}

HWND OpenMenu() {
    for (HWND window : TopLevelWindows()) {
        if (IsClass(window, kMenuClass) && IsWindowVisible(window) && OfTarget(window)) return window;
    }
    return nullptr;
}

// Wine's notification area: the taskbar's window draws the icons itself, packed in slots from
// its right-hand end, and shows each icon's tip in a tooltip window of its own.
RECT WindowRect(HWND window);

constexpr wchar_t kTrayClass[] = L"Shell_TrayWnd";
constexpr wchar_t kTooltipClass[] = L"tooltips_class32";
constexpr int kTrayIconBorder = 2;

HWND Tray() { return FindWindowW(kTrayClass, nullptr); }

std::vector<HWND> TrayTooltips() {
    std::vector<HWND> tips;
    HWND tray = Tray();
    if (!tray) return tips;
    for (HWND window : TopLevelWindows()) {
        if (IsClass(window, kTooltipClass) && ProcessOf(window) == ProcessOf(tray)) tips.push_back(window);
    }
    return tips;
}

int TraySlotSize() { return GetSystemMetrics(SM_CXSMICON) + 2 * kTrayIconBorder; }

// The middle of the icon in the slot'th place from the right.
POINT TraySlot(int slot) {
    RECT tray = WindowRect(Tray());
    int size = TraySlotSize();
    return POINT{tray.right - size * slot - size / 2, (tray.top + tray.bottom) / 2};
}

// How many icons the notification area shows: the slots from the right whose middle holds a
// picture, something other than the taskbar's own colour around it.
int TrayIcons() {
    HWND tray = Tray();
    if (!tray) return 0;
    int size = TraySlotSize();
    int count = 0;
    for (;; ++count) {
        POINT middle = TraySlot(count);
        RECT slot{middle.x - size / 2, middle.y - size / 2, middle.x + size / 2, middle.y + size / 2};
        if (slot.left < WindowRect(tray).left) break;
        Image pixels = test_support::CaptureScreen(slot);
        if (pixels.pixels.empty()) break;
        uint32_t background = pixels.At(1, 1);  // inside the slot's border
        bool picture = false;
        for (int y = kTrayIconBorder; y < size - kTrayIconBorder && !picture; ++y) {
            for (int x = kTrayIconBorder; x < size - kTrayIconBorder && !picture; ++x) {
                picture = pixels.At(x, y) != background;
            }
        }
        if (!picture) break;
    }
    return count;
}

// A control of the window by its caption; labels are never meant.
HWND ControlCaptioned(HWND root, const std::wstring& caption) {
    if (!root) return nullptr;
    for (HWND child : Descendants(root)) {
        if (!IsClass(child, L"Static") && WindowText(child) == caption) return child;
    }
    return nullptr;
}

// The status label that shares its panel with the control of this caption.
HWND LabelBeside(HWND root, const wchar_t* caption) {
    HWND control = ControlCaptioned(root, caption);
    if (!control) return nullptr;
    HWND panel = GetParent(control);
    if (!panel || !IsClass(panel, runtime::kPanelClass)) return nullptr;
    for (HWND child : Descendants(panel)) {
        if (IsClass(child, L"Static")) return child;
    }
    return nullptr;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

std::wstring Describe(HWND window) {
    if (!window) return L"no window";
    return L"a window of class " + Quote(ClassOf(window)) + L" captioned " + Quote(WindowText(window));
}

// ---------------------------------------------------------------------------------------
// Service, files

std::wstring ServiceState() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) return L"no service control manager";
    SC_HANDLE service = OpenServiceW(manager, kServiceName, SERVICE_QUERY_STATUS);
    std::wstring state = L"not registered";
    SERVICE_STATUS status{};
    if (service && QueryServiceStatus(service, &status)) {
        switch (status.dwCurrentState) {
            case SERVICE_STOPPED: state = L"stopped"; break;
            case SERVICE_START_PENDING: state = L"start pending"; break;
            case SERVICE_STOP_PENDING: state = L"stop pending"; break;
            case SERVICE_RUNNING: state = L"running"; break;
            default: state = L"state " + std::to_wstring(status.dwCurrentState); break;
        }
    }
    if (service) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return state;
}

std::wstring StartupFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) {
        Fail(L"the shell gives no Startup folder");
    }
    return path;
}

bool IsFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
    return length && length < std::size(buffer) ? buffer : L"";
}

std::vector<std::wstring> Lines(const std::wstring& path) {
    std::vector<std::wstring> lines;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read) bytes.append(buffer, read);
    CloseHandle(file);
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            lines.emplace_back(line.begin(), line.end());
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    return lines;
}

bool ProcessRunning(DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return false;
    bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

// How many "net" commands are running: each takes the focus as it starts, which would cut a
// click short between its press and its release.
int NetCommandsRunning() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"net.exe") == 0) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// ---------------------------------------------------------------------------------------
// The tray menu, read off the screen: the platform gives another process no way into a
// menu, so the rows of text and the check marks are found in the menu window's pixels.

struct MenuRow {
    int top;
    int bottom;
    int inkLeft;  // leftmost dark pixel of the row, relative to the menu window
};

struct MenuPicture {
    RECT rect{};
    std::vector<MenuRow> rows;
};

MenuPicture ReadMenu(HWND menu) {
    MenuPicture picture;
    picture.rect = WindowRect(menu);
    Image pixels = test_support::CaptureScreen(picture.rect);
    if (pixels.pixels.empty()) return picture;
    int width = pixels.width;
    int height = pixels.height;

    // Text and check marks are drawn in the menu text colour; the frame and the separator in
    // greys that stay above this threshold.
    auto dark = [&](int x, int y) {
        uint32_t pixel = pixels.At(x, y);
        return (pixel & 0xFF) < 96 && ((pixel >> 8) & 0xFF) < 96 && ((pixel >> 16) & 0xFF) < 96;
    };
    constexpr int kFrame = 4;
    constexpr int kJoinGap = 2;  // blank lines inside one row of text, as under the dot of an i
    int blankRun = 0;
    for (int y = kFrame; y < height - kFrame; ++y) {
        int left = -1;
        for (int x = kFrame; x < width - kFrame; ++x) {
            if (dark(x, y)) {
                left = x;
                break;
            }
        }
        if (left < 0) {
            ++blankRun;
            continue;
        }
        if (!picture.rows.empty() && blankRun <= kJoinGap && y - picture.rows.back().bottom <= kJoinGap + 1) {
            MenuRow& row = picture.rows.back();
            row.bottom = y;
            row.inkLeft = std::min(row.inkLeft, left);
        } else {
            picture.rows.push_back(MenuRow{y, y, left});
        }
        blankRun = 0;
    }
    return picture;
}

// ---------------------------------------------------------------------------------------
// Input. The pointer is moved and clicked by the suite on the X display (xdotool), as a hand
// moves it: Wine's cursor then follows the X pointer. Cursor moves made from a Windows
// program would be echoed back late by the X server and could carry the pointer away again
// before the click. The driver says where to click and checks what the click did.

// Waits until the window's program has handled all its pending input and waits for more.
void WaitForIdle(HWND window) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, ProcessOf(window));
    if (!process) return;
    WaitForInputIdle(process, 3000);
    CloseHandle(process);
}

// Whether the point shows the target's own window rather than another program window. Within
// the window, which child takes the click is the program's own hit testing, which another
// process cannot ask for; the click's effect tells.
bool Shows(POINT point, HWND target) {
    HWND hit = WindowFromPoint(point);
    return hit && GetAncestor(hit, GA_ROOT) == GetAncestor(target, GA_ROOT);
}

void PrintPoint(POINT point) { Out(std::to_wstring(point.x) + L" " + std::to_wstring(point.y) + L"\n"); }

// A point of the main window's client area that no control covers and nothing lies over.
std::optional<POINT> BareSurface(HWND main) {
    RECT client{};
    GetClientRect(main, &client);
    for (int y = 2; y < client.bottom - 2; y += 3) {
        for (int x = 2; x < client.right - 2; x += 3) {
            POINT local{x, y};
            if (ChildWindowFromPointEx(main, local, CWP_ALL) != main) continue;
            POINT screen = local;
            ClientToScreen(main, &screen);
            if (WindowFromPoint(screen) == main) return screen;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------
// What can be seen

using Snapshot = std::vector<std::pair<std::wstring, std::wstring>>;

const wchar_t* const kMainButtons[] = {L"Go", L"Stop", L"Auto Start", L"No Auto Start", L"Help", L"Hide", L"Exit"};
constexpr wchar_t kHelpButton[] = L"Click Here To View More Of Our Software";

std::wstring Shown(HWND window) { return !window ? L"absent" : IsWindowVisible(window) ? L"shown" : L"hidden"; }

std::wstring EnabledState(HWND control) {
    return !control ? L"absent" : IsWindowEnabled(control) ? L"enabled" : L"disabled";
}

Snapshot TakeSnapshot() {
    Snapshot shot;
    auto add = [&](const std::wstring& key, const std::wstring& value) { shot.emplace_back(key, value); };

    add(L"service", ServiceState());
    add(L"active window", Describe(GetForegroundWindow()));
    add(L"net commands running", std::to_wstring(NetCommandsRunning()));
    if (g_pid) add(L"process", ProcessRunning(g_pid) ? L"running" : L"ended");

    std::vector<HWND> mains = FormsCaptioned(kTitle);
    add(L"main windows", std::to_wstring(mains.size()));
    HWND main = nullptr;
    std::vector<HWND> mine = OfTarget(mains);
    if (mine.size() == 1) main = mine.front();
    add(L"main", mine.size() > 1 ? L"several: say which copy with --pid" : Shown(main));
    if (main) {
        RECT rect = WindowRect(main);
        add(L"main position", std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top));
    }
    for (const wchar_t* caption : kMainButtons) add(caption, EnabledState(ControlCaptioned(main, caption)));
    HWND blocking = LabelBeside(main, L"Go");
    HWND startup = LabelBeside(main, L"Auto Start");
    add(L"blocking label", blocking ? WindowText(blocking) : L"(none)");
    add(L"startup label", startup ? WindowText(startup) : L"(none)");

    std::vector<HWND> helps = FormsCaptioned(kHelpTitle);
    add(L"help windows", std::to_wstring(helps.size()));
    add(L"help", Shown(helps.empty() ? nullptr : helps.front()));
    if (!helps.empty()) add(L"help button", EnabledState(ControlCaptioned(helps.front(), kHelpButton)));

    HWND box = MessageBoxWindow();
    add(L"message box", box ? WindowText(GetDlgItem(box, kMessageBoxTextId)) : L"(none)");

    add(L"notification area", Tray() ? L"present" : L"absent");
    add(L"tray icons", std::to_wstring(TrayIcons()));

    HWND menu = OpenMenu();
    add(L"menu", menu ? L"open" : L"closed");
    if (menu) {
        MenuPicture picture = ReadMenu(menu);
        add(L"menu rows", std::to_wstring(picture.rows.size()));
        if (picture.rows.size() == std::size(kMenuRows)) {
            // "Exit" never carries a check mark, so its ink starts where the texts start.
            int textLeft = picture.rows.front().inkLeft;
            for (size_t i = 0; i < picture.rows.size(); ++i) {
                add(std::wstring(L"menu ") + kMenuRows[i],
                    picture.rows[i].inkLeft < textLeft - 3 ? L"checked" : L"not checked");
            }
        }
    }

    add(L"startup shortcut", IsFile(StartupFolder() + kShortcutName) ? L"present" : L"absent");
    std::wstring urlLog = Environment(L"E2E_URL_LOG");
    if (!urlLog.empty()) {
        std::vector<std::wstring> urls = Lines(urlLog);
        add(L"browser requests", std::to_wstring(urls.size()));
        if (!urls.empty()) add(L"browser address", urls.back());
    }
    return shot;
}

std::wstring Format(const Snapshot& shot) {
    std::wstring text;
    for (const auto& [key, value] : shot) text += L"  " + key + L": " + Quote(value) + L"\n";
    return text;
}

const std::wstring* Find(const Snapshot& shot, const std::wstring& key) {
    for (const auto& [k, v] : shot) {
        if (k == key) return &v;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Commands

double g_timeout = 10.0;

template <typename Condition>
bool WaitFor(Condition condition) {
    DWORD limit = static_cast<DWORD>(g_timeout * 1000);
    for (DWORD start = GetTickCount();;) {
        if (condition()) return true;
        if (GetTickCount() - start >= limit) return false;
        Sleep(kPollMs);
    }
}

// expect key=value...: waits until the snapshot shows every value.
void Expect(const std::vector<std::wstring>& wanted) {
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    for (const std::wstring& item : wanted) {
        size_t equals = item.find(L'=');
        if (equals == std::wstring::npos) Fail(L"expect takes key=value, not " + Quote(item));
        pairs.emplace_back(item.substr(0, equals), item.substr(equals + 1));
    }
    Snapshot shot;
    std::wstring mismatches;
    bool met = WaitFor([&] {
        shot = TakeSnapshot();
        mismatches.clear();
        for (const auto& [key, value] : pairs) {
            const std::wstring* seen = Find(shot, key);
            if (!seen) {
                mismatches += L"  " + key + L": wanted " + Quote(value) + L", not shown at all\n";
            } else if (*seen != value) {
                mismatches += L"  " + key + L": wanted " + Quote(value) + L", saw " + Quote(*seen) + L"\n";
            }
        }
        return mismatches.empty();
    });
    if (!met) Fail(L"after " + std::to_wstring(static_cast<int>(g_timeout)) + L" s:\n" + mismatches + L"all it saw:\n" + Format(shot));
}

HWND WaitForMain() {
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = MainWindow()) != nullptr; })) Fail(L"no main window captioned \"Hushline\"");
    return main;
}

// The middle of a control, ready for a click: the window in front (as the user's click on a
// visible part of it would bring it), and the program done with what it was doing.
POINT ClickPoint(HWND control) {
    POINT centre = Centre(WindowRect(control));
    if (!Shows(centre, control)) {
        SetForegroundWindow(GetAncestor(control, GA_ROOT));
        WaitFor([&] { return Shows(centre, control); });
        if (!Shows(centre, control)) {
            Fail(Quote(WindowText(control)) + L" is covered by " + Describe(WindowFromPoint(centre)));
        }
    }
    WaitForIdle(control);
    return centre;
}

// locate caption: where to click the button of that caption on the main window, the help
// window or the message box, once it is shown and enabled.
void Locate(const std::wstring& caption) {
    HWND control = nullptr;
    WaitFor([&] {
        control = ControlCaptioned(MainWindow(), caption);
        if (!control) control = ControlCaptioned(HelpWindow(), caption);
        if (!control) control = ControlCaptioned(MessageBoxWindow(), caption);
        return control && IsWindowVisible(control) && IsWindowEnabled(control);
    });
    if (!control) Fail(L"no button " + Quote(caption) + L" on a Hushline window");
    if (!IsWindowVisible(control)) Fail(Quote(caption) + L" is not shown");
    if (!IsWindowEnabled(control)) Fail(Quote(caption) + L" is disabled");
    // The user sees the command's window come and go before clicking on: the focus that it
    // takes as it starts would cut a click short.
    if (!WaitFor([] { return NetCommandsRunning() == 0; })) Fail(L"a net command is still running");
    PrintPoint(ClickPoint(control));
}

void RequireTray(int slot) {
    if (!Tray()) Fail(L"no notification area (no window of class \"Shell_TrayWnd\")");
    int icons = 0;
    WaitFor([&] { return (icons = TrayIcons()) > slot; });
    if (slot < 0 || slot >= icons) {
        Fail(L"the notification area holds " + std::to_wstring(icons) + L" icon(s), none in place " + std::to_wstring(slot));
    }
}

// locate-tray slot: the middle of the icon in that place from the right.
void LocateTray(int slot) {
    RequireTray(slot);
    PrintPoint(TraySlot(slot));
}

// tray-tip text: waits for the tooltip of the icon under the pointer to say text.
void TrayTip(const std::wstring& wanted) {
    std::wstring seen = L"(no tooltip shown)";
    bool shown = WaitFor([&] {
        for (HWND tip : TrayTooltips()) {
            if (IsWindowVisible(tip)) {
                seen = TipTextOf(tip);
                if (seen == wanted) return true;
            }
        }
        return false;
    });
    if (!shown) Fail(L"the icon's tooltip: wanted " + Quote(wanted) + L", saw " + Quote(seen));
}

// tray left|right: the notification area's report of a button released over the icon, sent
// as the shell sends it (a sent message that does not wait for the answer).
void Tray(const std::wstring& button) {
    LPARAM mouse = button == L"left" ? kLeftButtonUp : button == L"right" ? kRightButtonUp : 0;
    if (!mouse) Fail(L"tray takes left or right");
    HWND main = WaitForMain();
    if (!SendNotifyMessageW(main, kTrayCallback, 0, mouse)) Fail(L"the main window takes no message");
}

HWND WaitForMenu() {
    HWND menu = nullptr;
    if (!WaitFor([&] { return (menu = OpenMenu()) != nullptr; })) Fail(L"no pop-up menu opened");
    return menu;
}

// locate-menu caption: the middle of that row of the open tray menu.
void LocateMenu(const std::wstring& caption) {
    HWND menu = WaitForMenu();
    size_t index = std::size(kMenuRows);
    for (size_t i = 0; i < std::size(kMenuRows); ++i) {
        if (caption == kMenuRows[i]) index = i;
    }
    if (index == std::size(kMenuRows)) Fail(L"the tray menu has no item " + Quote(caption));
    MenuPicture picture;
    WaitFor([&] { return (picture = ReadMenu(menu)).rows.size() == std::size(kMenuRows); });
    if (picture.rows.size() != std::size(kMenuRows)) {
        Fail(L"the menu shows " + std::to_wstring(picture.rows.size()) + L" rows of text, not 3");
    }
    const MenuRow& row = picture.rows[index];
    PrintPoint(POINT{(picture.rect.left + picture.rect.right) / 2, picture.rect.top + (row.top + row.bottom) / 2});
}

// menu-dismiss: closes the open menu without a pick, as Escape does.
void MenuDismiss() {
    WaitForMenu();
    test_support::PressKeys({VK_ESCAPE});
    if (!WaitFor([] { return OpenMenu() == nullptr; })) Fail(L"the menu stayed open after Escape");
}

// locate-bare: a point of the main window's bare surface, to take hold of it for a drag.
void LocateBare() {
    HWND main = WaitForMain();
    std::optional<POINT> grab = BareSurface(main);
    if (!grab) Fail(L"the main window shows no bare surface to take hold of");
    WaitForIdle(main);
    PrintPoint(*grab);
}

// screenshot file.png: the whole screen as the system composes it, which is also what the
// checks read; a picture taken from the X server may still lag behind it.
void Screenshot(const std::wstring& path) {
    RECT whole{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Image screen = test_support::CaptureScreen(whole);
    if (screen.pixels.empty()) Fail(L"could not read the screen");
    if (!test_support::WritePng(path, screen)) Fail(L"could not write " + path);
}

// close caption: the close box of the program's window of that caption, as the frame's
// close box asks for it.
void Close(const std::wstring& caption) {
    std::vector<HWND> windows = OfTarget(FormsCaptioned(caption.c_str()));
    if (windows.empty()) Fail(L"no window captioned " + Quote(caption));
    PostMessageW(windows.front(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

// launch exe: starts a copy of the program in its own folder and prints its process id.
void Launch(const std::wstring& exe) {
    std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    std::wstring commandLine = Quote(exe);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        Fail(L"could not start " + exe + L": error " + std::to_wstring(GetLastError()));
    }
    Out(std::to_wstring(process.dwProcessId) + L"\n");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// The file name of a running process's program, or "" when there is no such process.
std::wstring ProgramOf(DWORD pid) {
    std::wstring name;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return name;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == pid) name = entry.szExeFile;
    }
    CloseHandle(snapshot);
    return name;
}

// kill pid...: ends copies of the program left over from a failed scenario. Process ids are
// reused, so only a process that still runs Hushline.exe is ended.
void Kill(DWORD pid) {
    if (_wcsicmp(ProgramOf(pid).c_str(), L"Hushline.exe") != 0) return;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process) return;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

// make-shortcut lnk target: a shell link to target that starts in target's folder.
void MakeShortcut(const std::wstring& lnk, const std::wstring& target) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) Fail(L"COM did not start");
    IShellLinkW* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link));
    if (FAILED(result)) Fail(L"no shell link object");
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(target.substr(0, target.find_last_of(L'\\')).c_str());
    IPersistFile* file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) {
        result = file->Save(lnk.c_str(), TRUE);
        file->Release();
    }
    link->Release();
    CoUninitialize();
    if (FAILED(result)) Fail(L"could not save " + lnk);
}

// record-url log url: the suite's stand-in browser; notes each address it is asked to open.
void RecordUrl(const std::wstring& log, const std::wstring& url) {
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail(L"could not open " + log);
    std::string line = Utf8(url) + "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

// windows: every window on the desktop with its class, caption, place and process, for a
// look at what is there when a check fails.
void ListWindows() {
    auto line = [](HWND window, int depth) {
        RECT rect = WindowRect(window);
        Out(std::wstring(depth * 2, L' ') + Quote(ClassOf(window)) + L" " + Quote(WindowText(window)) + L" (" +
            std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L")-(" + std::to_wstring(rect.right) +
            L"," + std::to_wstring(rect.bottom) + L") " + (IsWindowVisible(window) ? L"visible" : L"hidden") +
            L" process " + std::to_wstring(ProcessOf(window)) + L"\n");
    };
    for (HWND window : TopLevelWindows()) {
        line(window, 0);
        for (HWND child : Descendants(window)) {
            int depth = 1;
            for (HWND up = GetParent(child); up && up != window; up = GetParent(up)) ++depth;
            line(child, depth);
        }
    }
}

void Usage() {
    Err(L"usage: driver [--pid N] [--timeout S] command ...\n"
        L"  windows | snapshot | expect key=value...\n"
        L"  locate caption | locate-tray slot | locate-menu caption | locate-bare   (print x y)\n"
        L"  tray left|right | tray-tip text | menu-dismiss | close caption\n"
        L"  launch exe | kill pid... | make-shortcut lnk target | startup-folder\n"
        L"  screenshot file.png | record-url log url\n");
}

int Run(std::vector<std::wstring> args) {
    while (!args.empty() && args.front().rfind(L"--", 0) == 0) {
        if (args.size() < 2) return Usage(), 2;
        if (args[0] == L"--pid") {
            g_pid = static_cast<DWORD>(std::wcstoul(args[1].c_str(), nullptr, 10));
        } else if (args[0] == L"--timeout") {
            g_timeout = std::wcstod(args[1].c_str(), nullptr);
        } else {
            return Usage(), 2;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) return Usage(), 2;
    std::wstring command = args.front();
    std::vector<std::wstring> rest(args.begin() + 1, args.end());
    auto need = [&](size_t count) {
        if (rest.size() != count) throw Failure{command + L" takes " + std::to_wstring(count) + L" argument(s)"};
    };

    if (command == L"windows") {
        ListWindows();
    } else if (command == L"snapshot") {
        Out(Format(TakeSnapshot()));
    } else if (command == L"expect") {
        Expect(rest);
    } else if (command == L"locate") {
        need(1);
        Locate(rest[0]);
    } else if (command == L"locate-tray") {
        need(1);
        LocateTray(std::stoi(rest[0]));
    } else if (command == L"locate-menu") {
        need(1);
        LocateMenu(rest[0]);
    } else if (command == L"locate-bare") {
        LocateBare();
    } else if (command == L"tray") {
        need(1);
        Tray(rest[0]);
    } else if (command == L"tray-tip") {
        need(1);
        TrayTip(rest[0]);
    } else if (command == L"menu-dismiss") {
        MenuDismiss();
    } else if (command == L"screenshot") {
        need(1);
        Screenshot(rest[0]);
    } else if (command == L"close") {
        need(1);
        Close(rest[0]);
    } else if (command == L"launch") {
        need(1);
        Launch(rest[0]);
    } else if (command == L"kill") {
        for (const std::wstring& pid : rest) Kill(static_cast<DWORD>(std::wcstoul(pid.c_str(), nullptr, 10)));
    } else if (command == L"make-shortcut") {
        need(2);
        MakeShortcut(rest[0], rest[1]);
    } else if (command == L"startup-folder") {
        Out(StartupFolder() + L"\n");
    } else if (command == L"record-url") {
        need(2);
        RecordUrl(rest[0], rest[1]);
    } else {
        Usage();
        return 2;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return Run(std::vector<std::wstring>(argv + 1, argv + argc));
    } catch (const Failure& failure) {
        Err(failure.what + L"\n");
        return 1;
    } catch (const std::exception& error) {
        Err(L"driver: " + std::wstring(error.what(), error.what() + std::strlen(error.what())) + L"\n");
        return 2;
    }
}
