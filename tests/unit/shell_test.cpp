// Shell: the command line goes out as given, with its window style, a program named without
// a path never comes from the current folder, and no handle of the started process stays open.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <string>
#include <utility>

#include "runtime/error.h"
#include "runtime/seams.h"
#include "runtime/shell.h"
#include "tests/support/paths.h"
#include "tests/support/process_observer.h"
#include "tests/support/pump.h"
#include "tests/support/scratch_files.h"

namespace {

using test_support::ExeFolder;
using test_support::Exists;
using test_support::ScratchFolder;

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

// A scratch folder made the current folder, holding a planted net.exe.
class PlantedNetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\" PLANTED_NET).c_str(), (folder_ / L"net.exe").c_str(), FALSE));
        GetCurrentDirectoryW(MAX_PATH, previous_);
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.Path().c_str()));
        DWORD length = GetEnvironmentVariableW(L"PATH", nullptr, 0);
        path_.resize(length);
        GetEnvironmentVariableW(L"PATH", path_.data(), length);
        path_.resize(length ? length - 1 : 0);
    }

    void TearDown() override {
        SetEnvironmentVariableW(L"PATH", path_.c_str());
        SetCurrentDirectoryW(previous_);
    }

    // Waits long enough for a started net.exe to have left its mark.
    bool PlantedRan() {
        return test_support::PumpUntil([&] { return Exists(folder_ / L"planted-ran"); }, 3000);
    }

    ScratchFolder folder_{L"hushline-planted"};
    std::wstring path_;
    wchar_t previous_[MAX_PATH] = {};
};

TEST_F(PlantedNetTest, ThePlantedProgramLeavesItsMarkWhenItDoesRun) {
    runtime::Shell(L".\\net.exe", runtime::kHide);
    EXPECT_TRUE(PlantedRan()) << "the fixture's planted program must be detectable";
}

struct SearchCase {
    const char* name;
    const wchar_t* pathPrefix;  // put before PATH
};

class PlantedNetSearchTest : public PlantedNetTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(PlantedNetSearchTest, NetComesFromTheSystemNotTheCurrentFolder) {
    SetEnvironmentVariableW(L"PATH", (std::wstring(GetParam().pathPrefix) + path_).c_str());
    test_support::ProcessObserver observer;
    runtime::Shell(L"net stop messenger", runtime::kMinimizedFocus);

    ASSERT_EQ(observer.Started().size(), 1u);
    const test_support::StartedProcess& started = observer.Started()[0];
    EXPECT_EQ(started.commandLine, L"net stop messenger") << "the command line goes out unchanged";
    EXPECT_EQ(started.showWindow, SW_SHOWMINIMIZED);
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(Lower(started.application), Lower(std::wstring(system) + L"\\net.exe"));
    EXPECT_FALSE(PlantedRan()) << "the planted net.exe ran";
}

INSTANTIATE_TEST_SUITE_P(Paths, PlantedNetSearchTest,
                         ::testing::Values(SearchCase{"plain_path", L""}, SearchCase{"dot_first_on_path", L".;"},
                                           SearchCase{"empty_entry_first", L";"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The system folder lookups, failing where a case says so.
enum class Lookup { Real, Fails };

UINT WINAPI FailingFolderLookup(LPWSTR, UINT) { return 0; }

class FolderLookups {
public:
    FolderLookups(Lookup system, Lookup windows) : saved_(runtime::seams) {
        if (system == Lookup::Fails) runtime::seams.systemDirectory = &FailingFolderLookup;
        if (windows == Lookup::Fails) runtime::seams.windowsDirectory = &FailingFolderLookup;
    }
    ~FolderLookups() { runtime::seams = saved_; }
    FolderLookups(const FolderLookups&) = delete;
    FolderLookups& operator=(const FolderLookups&) = delete;

private:
    runtime::Seams saved_;
};

std::wstring SystemFolder() {
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system, length);
}

struct LookupCase {
    const char* name;
    Lookup system;
    Lookup windows;
    bool pathHasSystemFolder;  // else PATH holds only an empty, a relative and a "." entry
};

void PrintTo(const LookupCase& c, std::ostream* out) { *out << c.name; }

class FailedLookupTest : public PlantedNetTest, public ::testing::WithParamInterface<LookupCase> {};

// A failed lookup leaves no empty element in the search path: the search would take that
// from the current folder, where net.exe is planted. With no absolute folder left, there is
// nowhere to look.
TEST_P(FailedLookupTest, NetComesFromAnAbsoluteFolderOrNowhere) {
    const LookupCase& c = GetParam();
    SetEnvironmentVariableW(L"PATH", c.pathHasSystemFolder ? SystemFolder().c_str() : L";bin;.");
    FolderLookups lookups(c.system, c.windows);
    test_support::ProcessObserver observer;

    int raised = 0;
    try {
        runtime::Shell(L"net stop messenger", runtime::kMinimizedFocus);
    } catch (const runtime::RuntimeError& error) {
        raised = error.Number();
    }
    if (c.pathHasSystemFolder) {
        EXPECT_EQ(raised, 0);
        ASSERT_EQ(observer.Started().size(), 1u);
        EXPECT_EQ(Lower(observer.Started()[0].application), Lower(SystemFolder() + L"\\net.exe"));
    } else {
        EXPECT_EQ(raised, runtime::kFileNotFound);
        EXPECT_TRUE(observer.Started().empty());
    }
    EXPECT_FALSE(PlantedRan()) << "the planted net.exe ran";
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, FailedLookupTest,
    ::testing::Values(LookupCase{"system_folder_fails", Lookup::Fails, Lookup::Real, true},
                      LookupCase{"both_fail", Lookup::Fails, Lookup::Fails, true},
                      LookupCase{"both_fail_and_path_has_no_absolute_entry", Lookup::Fails, Lookup::Fails, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Shell, AProgramThatIsNowhereRaisesFileNotFound) {
    test_support::ProcessObserver observer;
    try {
        runtime::Shell(L"no-such-program-hushline /x", runtime::kMinimizedFocus);
        FAIL() << "no error raised";
    } catch (const runtime::RuntimeError& error) {
        EXPECT_EQ(error.Number(), runtime::kFileNotFound);
    }
    EXPECT_TRUE(observer.Started().empty());
}

// In front of the real process start: keeps the handles it hands back, so that a test can
// tell whether Shell closed them.
PROCESS_INFORMATION g_handedBack{};
decltype(runtime::Seams::createProcess) g_realStart = nullptr;

BOOL WINAPI KeepingCreateProcess(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                                 LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                                 LPCWSTR directory, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION info) {
    BOOL started = g_realStart(application, commandLine, process, thread, inherit, flags, environment, directory,
                               startup, info);
    if (started) g_handedBack = *info;
    return started;
}

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

// Shell does not wait for what it starts: a handle left open would keep every ended
// process's record alive for as long as the program runs.
TEST(Shell, LeavesNoHandleOfTheStartedProcessOpen) {
    g_handedBack = {};
    g_realStart = std::exchange(runtime::seams.createProcess, &KeepingCreateProcess);
    int32_t task = runtime::Shell(L"cmd /c exit", runtime::kHide);
    runtime::seams.createProcess = g_realStart;

    ASSERT_TRUE(g_handedBack.hProcess && g_handedBack.hThread);
    EXPECT_EQ(static_cast<DWORD>(task), g_handedBack.dwProcessId);
    EXPECT_FALSE(IsOpen(g_handedBack.hProcess));
    EXPECT_FALSE(IsOpen(g_handedBack.hThread));
}

TEST(Shell, AnUnknownWindowStyleRaisesInvalidCall) {
    try {
        runtime::Shell(L"net stop messenger", 5);
        FAIL() << "no error raised";
    } catch (const runtime::RuntimeError& error) {
        EXPECT_EQ(error.Number(), runtime::kInvalidCall);
    }
}

}  // namespace
