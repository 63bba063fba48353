// The benchmark's measuring program. It starts each program under test many times, taking
// turns, and measures it from outside: start-up until its tray icon is added and its main
// window is visible, its memory once started, what it does in ten idle seconds, and a drag
// of its main window. It stands in for the shell's notification area itself, so that it sees
// each tray call the moment it is made. Figures go to stdout and to the --out file.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "bench/counters.h"
#include "runtime/handles.h"
#include "tests/support/pe_imports.h"

namespace {

constexpr int kClientWidth = 193;
constexpr int kClientHeight = 214;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kChildTimeoutMs = 20000;
constexpr DWORD kSettleMs = 500;
constexpr POINT kGrab{4, 4};  // on the bare surface of both windows, left of and above every control

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;  // milliseconds
}

std::string Narrow(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(length > 0 ? length - 1 : 0, '\0');
    if (length > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), length, nullptr, nullptr);
    return result;
}

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "probe: %s\n", why.c_str());
    std::exit(2);
}

// ---- the notification area ----------------------------------------------------------------

// What the probe, as the shell, has been told by the program under test.
struct TrayLog {
    DWORD process = 0;          // whose calls count
    double added = 0;           // when its NIM_ADD arrived
    double tipped = 0;          // when a call first gave the icon a tooltip with text
};
TrayLog g_tray;

constexpr DWORD kNotifyFlagTip = 0x4;  // NIF_TIP

// Wine's shell32 sends each Shell_NotifyIcon call as WM_COPYDATA: the call in dwData, and a
// record of its own that starts with the owner window, the icon id, the flags and the
// callback message, followed (in Wine 8) by the tooltip in UTF-16.
constexpr size_t kTipOffset = 16;

void OnTrayCall(HWND owner, const COPYDATASTRUCT& data) {
    DWORD process = 0;
    GetWindowThreadProcessId(owner, &process);
    if (!g_tray.process || process != g_tray.process) return;
    double now = Now();
    if (data.dwData == NIM_ADD && !g_tray.added) g_tray.added = now;
    if (data.cbData < kTipOffset + sizeof(wchar_t)) return;
    DWORD flags = static_cast<const DWORD*>(data.lpData)[2];
    const auto* tip = static_cast<const BYTE*>(data.lpData) + kTipOffset;
    if ((flags & kNotifyFlagTip) && (tip[0] || tip[1]) && !g_tray.tipped) g_tray.tipped = now;
}

LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        OnTrayCall(reinterpret_cast<HWND>(wParam), *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A topmost window of the shell's tray class comes first in the z-order, so the shell32 of
// every program started after it sends its tray calls here rather than to Wine's explorer.
HWND CreateTray() {
    WNDCLASSW trayClass{};
    trayClass.lpfnWndProc = TrayProc;
    trayClass.hInstance = GetModuleHandleW(nullptr);
    trayClass.lpszClassName = L"Shell_TrayWnd";
    if (!RegisterClassW(&trayClass)) Fail("cannot register the tray window class");
    HWND tray = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, trayClass.hInstance, nullptr);
    if (!tray) Fail("cannot create the tray window");
    if (FindWindowExW(nullptr, nullptr, L"Shell_TrayWnd", nullptr) != tray) Fail("another tray window comes first");
    return tray;
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Waits up to ms, handling the probe's own messages (the tray calls) as they come.
void PumpFor(double ms) {
    double end = Now() + ms;
    for (double left = ms; left > 0; left = end - Now()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::max(1.0, std::min(left, 50.0))), QS_ALLINPUT);
        Pump();
    }
}

// ---- the program under test ---------------------------------------------------------------

struct MainWindowSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<MainWindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window)) return TRUE;
    RECT client{};
    GetClientRect(window, &client);
    if (client.right != kClientWidth || client.bottom != kClientHeight) return TRUE;
    search->found = window;
    return FALSE;
}

// The main window: a visible top-level window of the process with the designed client size.
HWND FindMainWindow(DWORD process) {
    MainWindowSearch search{process, nullptr};
    EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether a process that the given one started (or one of theirs) still runs.
bool DescendantRunning(DWORD root) {
    runtime::KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    std::vector<PROCESSENTRY32W> all;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        all.push_back(entry);
    }
    std::vector<DWORD> family{root};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& process : all) {
            bool known = std::find(family.begin(), family.end(), process.th32ProcessID) != family.end();
            bool child = std::find(family.begin(), family.end(), process.th32ParentProcessID) != family.end();
            if (child && !known && process.th32ProcessID != process.th32ParentProcessID) {
                family.push_back(process.th32ProcessID);
                grew = true;
            }
        }
    }
    return family.size() > 1;
}

double ProcessTimesMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

std::string ReadWholeFile(const std::wstring& path) {
    runtime::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr) && got) text.append(buffer, got);
    return text;
}

// Under Wine the program is a Linux process, whose scheduler counts its CPU time to the
// nanosecond where GetProcessTimes reports whole ticks. Wine names that process by the
// program's path, which only the one program under test has at a time (the newest such
// process, should an ended one linger).
constexpr wchar_t kProcRoot[] = L"Z:\\proc\\";

std::wstring FindLinuxProcess(const std::wstring& programPath) {
    std::string wanted = Narrow(programPath);
    std::transform(wanted.begin(), wanted.end(), wanted.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW((std::wstring(kProcRoot) + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::wstring found;
    unsigned long long newest = 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !iswdigit(entry.cFileName[0])) continue;
        std::wstring folder = kProcRoot + std::wstring(entry.cFileName);
        std::string name = ReadWholeFile(folder + L"\\cmdline");
        name = name.substr(0, name.find('\0'));
        name.erase(name.find_last_not_of(' ') + 1);
        std::transform(name.begin(), name.end(), name.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
        if (name != wanted) continue;
        // Fields of stat after the command's closing parenthesis: state is the first, start time the 20th.
        std::string stat = ReadWholeFile(folder + L"\\stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 1));
        std::string state, field;
        fields >> state;
        for (int i = 2; i < 20 && fields >> field;) ++i;
        unsigned long long startTime = 0;
        fields >> startTime;
        if (state != "Z" && startTime >= newest) {
            newest = startTime;
            found = folder;
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

// CPU time of every thread of the Linux process, from the first field of each schedstat.
double SchedulerMs(const std::wstring& linuxProcess) {
    WIN32_FIND_DATAW entry{};
    std::wstring tasks = linuxProcess + L"\\task\\";
    HANDLE search = FindFirstFileW((tasks + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return -1;
    double total = 0;
    do {
        if (!iswdigit(entry.cFileName[0])) continue;
        total += std::strtod(ReadWholeFile(tasks + entry.cFileName + L"\\schedstat").c_str(), nullptr) / 1e6;
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return total;
}

// The program's CPU time so far, in ms: from the scheduler when its process was found.
double CpuMs(HANDLE process, const std::wstring& linuxProcess) {
    return linuxProcess.empty() ? ProcessTimesMs(process) : SchedulerMs(linuxProcess);
}

// Committed private memory, region by region: the process's heaps, stacks and data that no
// file backs.
double PrivateCommittedKb(HANDLE process) {
    ULONGLONG total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (auto* address = static_cast<BYTE*>(nullptr);
         VirtualQueryEx(process, address, &region, sizeof(region)) == sizeof(region);
         address = static_cast<BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        if (region.RegionSize == 0) break;
    }
    return static_cast<double>(total) / 1024.0;
}

// ---- the executable on disk -----------------------------------------------------------------

std::vector<std::string> ImportedDlls(const std::wstring& path) {
    auto dlls = test_support::ImportedDlls(path);
    if (!dlls) Fail("malformed executable " + Narrow(path));
    return *dlls;
}

double FileKb(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) Fail("cannot read " + Narrow(path));
    return static_cast<double>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) / 1024.0;
}

// ---- one run --------------------------------------------------------------------------------

struct Program {
    std::wstring name;
    std::wstring path;       // the executable that runs (the release form, stripped)
    std::wstring builtPath;  // the executable as the build leaves it
};

struct Sample {
    double startupMs, trayMs, visibleMs;
    double workingSetKb, privateCommittedKb;
    double idleMessages, idleCpuMs;
    double dragUsPerStep, dragHeapAllocsPerStep, dragOwnAllocsPerStep, dragMessagesPerStep;
    double patchedSlots;
    bool dragMoved, schedulerCpu;
};

struct Hooks {
    HMODULE library;
    HOOKPROC getMessage;
    HOOKPROC callWndProc;
    bench::Counters* counters;
};

struct Settings {
    int runs = 10;
    int idleSeconds = 10;
    int dragSteps = 1000;
    std::wstring out;
    std::wstring hookLibrary;
    std::vector<Program> programs;
};

bench::Counters Snapshot(const bench::Counters& live) {
    bench::Counters copy;
    MemoryBarrier();
    copy = live;
    return copy;
}

Sample RunOnce(const Program& program, const Settings& settings, Hooks& hooks, bool startOnly = false) {
    Sample sample{};
    std::wstring folder = program.path.substr(0, program.path.find_last_of(L"\\/"));
    std::wstring commandLine = L"\"" + program.path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};

    g_tray = TrayLog{};
    double started = Now();
    // No console, as when the shell starts it: its "net" command gets a console of its own.
    if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        folder.c_str(), &startup, &info)) {
        Fail("cannot start " + Narrow(program.path));
    }
    runtime::KernelHandle process(info.hProcess);
    runtime::KernelHandle thread(info.hThread);
    g_tray.process = info.dwProcessId;

    HWND window = nullptr;
    double visible = 0;
    while (!(visible && g_tray.added && g_tray.tipped)) {
        if (Now() - started > kStartTimeoutMs) break;
        if (!visible && (window = FindMainWindow(info.dwProcessId))) visible = Now();
        if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) Fail(Narrow(program.name) + " ended during start-up");
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        Pump();
    }
    if (!visible) Fail(Narrow(program.name) + " showed no main window of 193 x 214 within 30 s");
    sample.visibleMs = visible - started;
    if (!g_tray.added || !g_tray.tipped) Fail(Narrow(program.name) + " added no tray icon with a tooltip within 30 s");
    sample.trayMs = std::max(g_tray.added, g_tray.tipped) - started;
    sample.startupMs = std::max(sample.visibleMs, sample.trayMs);
    if (startOnly) {
        TerminateProcess(process.Get(), 0);
        WaitForSingleObject(process.Get(), 10000);
        g_tray = TrayLog{};
        return sample;
    }

    // The "net" command and its console run beside the program; idle begins once they are gone.
    for (double waited = Now(); DescendantRunning(info.dwProcessId) && Now() - waited < kChildTimeoutMs;) PumpFor(20);
    PumpFor(kSettleMs);

    std::wstring linuxProcess = FindLinuxProcess(program.path);
    sample.schedulerCpu = !linuxProcess.empty();

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process.Get(), &memory, sizeof(memory))) {
        sample.workingSetKb = static_cast<double>(memory.WorkingSetSize) / 1024.0;
    }
    sample.privateCommittedKb = PrivateCommittedKb(process.Get());

    // The hooks load the counting library into the program at its next message.
    bench::Counters& live = *hooks.counters;
    ZeroMemory(&live, sizeof(live));
    live.targetProcess = info.dwProcessId;
    HHOOK getMessage = SetWindowsHookExW(WH_GETMESSAGE, hooks.getMessage, hooks.library, info.dwThreadId);
    HHOOK callWndProc = SetWindowsHookExW(WH_CALLWNDPROC, hooks.callWndProc, hooks.library, info.dwThreadId);
    if (!getMessage || !callWndProc) Fail("cannot hook " + Narrow(program.name));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    for (double waited = Now(); !InterlockedCompareExchange(&live.ready, 0, 0) && Now() - waited < 5000;) PumpFor(5);
    if (!live.ready) Fail("the hook library did not load into " + Narrow(program.name));
    sample.patchedSlots = live.patchedSlots;
    PumpFor(kSettleMs);

    bench::Counters before = Snapshot(live);
    double cpuBefore = CpuMs(process.Get(), linuxProcess);
    PumpFor(settings.idleSeconds * 1000.0);
    bench::Counters after = Snapshot(live);
    double cpuAfter = CpuMs(process.Get(), linuxProcess);
    sample.idleMessages = (after.postedMessages - before.postedMessages) + (after.sentMessages - before.sentMessages);
    sample.idleCpuMs = cpuAfter - cpuBefore;

    // The drag: a press on the bare surface, then moves with the left button held that take
    // the window one pixel right and one pixel back in turn.
    RECT home{}, moved{};
    GetWindowRect(window, &home);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kGrab.x, kGrab.y));
    before = Snapshot(live);
    double dragStart = Now();
    for (int step = 0; step < settings.dragSteps; ++step) {
        int x = kGrab.x + (step % 2 == 0 ? 1 : -1);
        SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, kGrab.y));
        if (step == 0) GetWindowRect(window, &moved);
    }
    double dragMs = Now() - dragStart;
    after = Snapshot(live);
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(kGrab.x, kGrab.y));
    double steps = settings.dragSteps;
    sample.dragMoved = moved.left == home.left + 1 && moved.top == home.top;
    sample.dragUsPerStep = dragMs * 1000.0 / steps;
    sample.dragHeapAllocsPerStep = (after.heapAllocations - before.heapAllocations) / steps;
    sample.dragOwnAllocsPerStep = (after.ownAllocations - before.ownAllocations) / steps;
    sample.dragMessagesPerStep =
        ((after.postedMessages - before.postedMessages) + (after.sentMessages - before.sentMessages)) / steps;

    // The program's code now runs through the library's allocators, so it ends before the
    // hooks (and with them, maybe, the library) go.
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), 10000);
    UnhookWindowsHookEx(getMessage);
    UnhookWindowsHookEx(callWndProc);
    g_tray = TrayLog{};
    Pump();
    return sample;
}

// ---- the report -----------------------------------------------------------------------------

struct Stats {
    double min, median, max;
};

Stats Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return Stats{values.front(), median, values.back()};
}

std::string Number(double value, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}

std::string Triple(const Stats& s, int decimals) {
    return Number(s.min, decimals) + " / " + Number(s.median, decimals) + " / " + Number(s.max, decimals);
}

std::string Pad(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

void Report(const Settings& settings, const std::vector<std::vector<Sample>>& samples) {
    std::ostringstream out;
    const Program& product = settings.programs[0];
    const Program& baseline = settings.programs[1];
#ifdef _WIN64
    constexpr const char* kArchitecture = "x86-64";
#else
    constexpr const char* kArchitecture = "i686, as shipped";
#endif
    out << "Hushline benchmark (" << kArchitecture << " build): " << settings.runs << " runs of each program, taking turns; idle "
        << settings.idleSeconds << " s; drag " << settings.dragSteps << " steps\n";
    out << "figures are min / median / max over the runs\n\n";

    struct Metric {
        const char* label;
        double Sample::*field;
        int decimals;
    };
    const Metric metrics[] = {
        {"start-up: tray icon and main window in place (ms)", &Sample::startupMs, 1},
        {"  tray icon added with its tooltip (ms)", &Sample::trayMs, 1},
        {"  main window visible (ms)", &Sample::visibleMs, 1},
        {"working set once started (KB)", &Sample::workingSetKb, 0},
        {"private committed memory (KB)", &Sample::privateCommittedKb, 0},
        {"messages handled in the idle seconds", &Sample::idleMessages, 0},
        {"CPU time in the idle seconds (ms)", &Sample::idleCpuMs, 3},
        {"drag: time per step (us)", &Sample::dragUsPerStep, 1},
        {"drag: heap allocations per step, all modules", &Sample::dragHeapAllocsPerStep, 3},
        {"drag: allocations per step by the program's own code", &Sample::dragOwnAllocsPerStep, 3},
        {"drag: messages handled per step", &Sample::dragMessagesPerStep, 1},
    };
    auto column = [&](size_t which, const Metric& metric) {
        std::vector<double> values;
        for (const Sample& s : samples[which]) values.push_back(s.*metric.field);
        return Summarise(values);
    };
    const size_t labelWidth = 54, valueWidth = 30;
    out << Pad("", labelWidth) << Pad(Narrow(product.name), valueWidth) << Narrow(baseline.name) << "\n";
    for (const Metric& metric : metrics) {
        out << Pad(metric.label, labelWidth) << Pad(Triple(column(0, metric), metric.decimals), valueWidth)
            << Triple(column(1, metric), metric.decimals) << "\n";
    }
    for (size_t which = 0; which < 2; ++which) {
        const Program& program = settings.programs[which];
        int moved = 0, scheduler = 0;
        double slots = 0;
        for (const Sample& s : samples[which]) {
            moved += s.dragMoved;
            scheduler += s.schedulerCpu;
            slots = std::max(slots, s.patchedSlots);
        }
        out << "\n" << Narrow(program.name) << ": executable " << Number(FileKb(program.builtPath), 1)
            << " KB as built, " << Number(FileKb(program.path), 1) << " KB stripped; imports";
        for (const std::string& dll : ImportedDlls(program.path)) out << " " << dll;
        out << "\n  drag moved the window in " << moved << " of " << samples[which].size()
            << " runs; allocations counted through " << Number(slots, 0) << " import slots; CPU time from the scheduler in "
            << scheduler << " runs, else GetProcessTimes\n";
    }

    auto median = [&](size_t which, double Sample::*field) {
        std::vector<double> values;
        for (const Sample& s : samples[which]) values.push_back(s.*field);
        return Summarise(values).median;
    };
    auto ratioLine = [&](const char* label, double ours, double theirs, const char* goal, double limit) {
        double ratio = theirs > 0 ? ours / theirs : 0;
        out << Pad(label, 26) << Pad(Number(ratio, 2), 8) << goal;
        if (limit > 0) out << (ratio <= limit ? "  met" : "  MISSED by " + Number((ratio / limit - 1) * 100, 0) + "%");
        out << "\n";
    };
    auto zeroLine = [&](const char* label, double value, int decimals) {
        out << Pad(label, 26) << Pad(Number(value, decimals), 8) << "goal 0"
            << (value == 0 ? "  met" : "  MISSED") << "\n";
    };
    double exeKb = FileKb(product.path);
    out << "\n" << Narrow(product.name) << " / " << Narrow(baseline.name) << " (medians):\n";
    ratioLine("start-up", median(0, &Sample::startupMs), median(1, &Sample::startupMs), "goal <= 1.25", 1.25);
    ratioLine("working set", median(0, &Sample::workingSetKb), median(1, &Sample::workingSetKb), "goal <= 1.50", 1.5);
    ratioLine("private committed", median(0, &Sample::privateCommittedKb), median(1, &Sample::privateCommittedKb), "",
              0);
    ratioLine("executable (stripped)", exeKb, FileKb(baseline.path), "", 0);
    ratioLine("drag time per step", median(0, &Sample::dragUsPerStep), median(1, &Sample::dragUsPerStep), "", 0);
    out << Pad("executable KB", 26) << Pad(Number(exeKb, 1), 8) << "goal <= 400"
        << (exeKb <= 400 ? "  met" : "  MISSED by " + Number(exeKb - 400, 1) + " KB") << "\n";
    zeroLine("idle messages", median(0, &Sample::idleMessages), 0);
    zeroLine("idle CPU ms", median(0, &Sample::idleCpuMs), 3);
    zeroLine("allocations per drag step", median(0, &Sample::dragOwnAllocsPerStep), 3);

    std::string text = out.str();
    std::fputs(text.c_str(), stdout);
    std::ofstream file(std::filesystem::path(settings.out), std::ios::binary);
    file << text;
    if (!file) Fail("cannot write " + Narrow(settings.out));
}

Settings Parse(int argc, wchar_t** argv) {
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        auto value = [&]() -> std::wstring {
            if (i + 1 >= argc) Fail("missing value after " + Narrow(arg));
            return argv[++i];
        };
        if (arg == L"--runs") {
            settings.runs = std::max(1, _wtoi(value().c_str()));
        } else if (arg == L"--idle") {
            settings.idleSeconds = std::max(1, _wtoi(value().c_str()));
        } else if (arg == L"--steps") {
            settings.dragSteps = std::max(2, _wtoi(value().c_str()));
        } else if (arg == L"--out") {
            settings.out = value();
        } else if (arg == L"--hook") {
            settings.hookLibrary = value();
        } else if (arg == L"--program") {
            Program program;
            program.name = value();
            program.path = value();
            program.builtPath = value();
            settings.programs.push_back(program);
        } else {
            Fail("unknown argument " + Narrow(arg));
        }
    }
    if (settings.programs.size() != 2 || settings.out.empty() || settings.hookLibrary.empty()) {
        Fail("usage: probe --hook LIBRARY --out FILE [--runs N] [--idle S] [--steps N] "
             "--program NAME RUN_EXE BUILT_EXE --program NAME RUN_EXE BUILT_EXE (the product first)");
    }
    return settings;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Settings settings = Parse(argc, argv);
    CreateTray();

    Hooks hooks{};
    hooks.library = LoadLibraryW(settings.hookLibrary.c_str());
    if (!hooks.library) Fail("cannot load " + Narrow(settings.hookLibrary));
    hooks.getMessage = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hooks.library, "BenchGetMessageHook")));
    hooks.callWndProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hooks.library, "BenchCallWndProcHook")));
    if (!hooks.getMessage || !hooks.callWndProc) Fail("the hook library lacks its hooks");
    runtime::KernelHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                     sizeof(bench::Counters), bench::kCountersMapping));
    if (!mapping) Fail("cannot create the counters");
    hooks.counters = static_cast<bench::Counters*>(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!hooks.counters) Fail("cannot map the counters");

    // One unmeasured run of each first: the first start in a prefix pays for its caches.
    for (const Program& program : settings.programs) RunOnce(program, settings, hooks, true);

    std::vector<std::vector<Sample>> samples(2);
    for (int run = 0; run < settings.runs; ++run) {
        // Turns alternate in pairs (A B, B A, ...) so that drift over the session falls on both.
        for (size_t turn = 0; turn < 2; ++turn) {
            size_t which = (run % 2 == 0) ? turn : 1 - turn;
            const Program& program = settings.programs[which];
            samples[which].push_back(RunOnce(program, settings, hooks));
            const Sample& s = samples[which].back();
            std::fprintf(stderr, "run %d %s: start-up %.1f ms, working set %.0f KB, idle %g messages %.1f ms CPU, drag %.1f us/step %.3f allocs/step\n",
                         run + 1, Narrow(program.name).c_str(), s.startupMs, s.workingSetKb, s.idleMessages,
                         s.idleCpuMs, s.dragUsPerStep, s.dragHeapAllocsPerStep);
        }
    }
    Report(settings, samples);
    return 0;
}
